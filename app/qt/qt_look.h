// The look the desktop shares with its tests and pictures: the style and font under which
// every caption fits its control at the fixed layout, and the program's icon.
#pragma once

#include <QApplication>
#include <QIcon>

namespace brisvel {

// The Fusion style and Liberation Sans at an 11-pixel size.
void UseDesktopLook(QApplication& application);

// The program's own icon; the style's computer icon where the SVG cannot be drawn.
QIcon BrisvelIcon();

}  // namespace brisvel
