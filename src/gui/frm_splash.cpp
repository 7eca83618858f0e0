#include "gui/frm_splash.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "gui/qt_text.h"
#include "shared/log.h"

namespace pagorin {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("frmSplash");
  setWindowTitle("Pagorin");
  resize(sizeHint());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void frmSplash::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect box = rect();
  QLinearGradient background(box.topLeft(), box.bottomRight());
  background.setColorAt(0, QColor(36, 74, 110));
  background.setColorAt(1, QColor(22, 44, 66));
  painter.fillRect(box, background);

  QFont title = font();
  title.setPointSizeF(title.pointSizeF() * 2.6);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(box.adjusted(28, 36, -28, 0), Qt::AlignLeft | Qt::AlignTop, "Pagorin");

  QFont body = font();
  body.setPointSizeF(body.pointSizeF() * 1.1);
  painter.setFont(body);
  painter.setPen(QColor(200, 220, 240));
  painter.drawText(box.adjusted(30, 100, -28, 0), Qt::AlignLeft | Qt::AlignTop,
                   "A desktop website generator");
  painter.drawText(box.adjusted(30, 0, -28, -24), Qt::AlignLeft | Qt::AlignBottom,
                   "Version " + ToQt(AppVersion()) + "   \xc2\xb7   starting\xe2\x80\xa6");
  painter.fillRect(QRect(box.left(), box.bottom() - 5, box.width(), 6), QColor(128, 255, 128));
}

}  // namespace pagorin
