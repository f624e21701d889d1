# Cross-building for Windows with Debian's mingw-w64 compilers:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DBRISVEL_WINDOWS_ARCH=x86_64 ...
# BRISVEL_WINDOWS_ARCH is x86_64 (the default) or i686. The -posix compilers are the ones whose
# standard library has std::thread and std::mutex; the runtime is linked statically so that the
# program needs no DLL beside it.
set(BRISVEL_WINDOWS_ARCH "x86_64" CACHE STRING "x86_64 or i686")
set(BRISVEL_WINDOWS_PREFIX "" CACHE PATH "Where Expat and GoogleTest for this target are installed")
set(triple ${BRISVEL_WINDOWS_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BRISVEL_WINDOWS_ARCH})
set(CMAKE_C_COMPILER /usr/bin/${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${triple}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${BRISVEL_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's pkg-config must never hand a Linux library to this build.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${triple}/lib/pkgconfig")
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
if(BRISVEL_WINDOWS_ARCH STREQUAL "i686")
  # The 32-bit runtime's time_t is 32 bits unless asked otherwise.
  add_compile_definitions(__MINGW_USE_VC2005_COMPAT)
endif()

# Tests run under Wine.
find_program(BRISVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(BRISVEL_WINE AND BRISVEL_WINDOWS_ARCH STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRISVEL_WINE})
endif()
