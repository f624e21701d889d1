// <windows.h> for the program's Windows files, without the macros that would rename the
// program's own CopyFile, DeleteFile and CreateWindow: the wide calls are named in full.
#pragma once

#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef CreateWindow
#undef MoveFile
#undef GetMessage
