#include "app/qt/qt_look.h"

#include <QFont>
#include <QStyle>
#include <QStyleFactory>

namespace brisvel {

static constexpr int kFontPixels = 11;

void UseDesktopLook(QApplication& application) {
  if (QStyle* fusion = QStyleFactory::create("Fusion")) application.setStyle(fusion);
  QFont font("Liberation Sans");
  font.setPixelSize(kFontPixels);
  application.setFont(font);
  application.setWindowIcon(BrisvelIcon());
}

QIcon BrisvelIcon() {
  QIcon icon(":/brisvel.svg");
  if (!icon.pixmap(32, 32).isNull()) return icon;
  return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

}  // namespace brisvel
