#include "gui/status_strip.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "gui/qt_text.h"

namespace pagorin {

StatusStripWidget::StatusStripWidget(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusStripWidget::ShowFrame(const StatusFrame& frame) {
  frame_ = frame;
  update();
}

QSize StatusStripWidget::sizeHint() const {
  return {320, fontMetrics().height() + 10};
}

QSize StatusStripWidget::minimumSizeHint() const {
  return {60, fontMetrics().height() + 10};
}

void StatusStripWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect box = rect();
  painter.fillRect(box, palette().color(QPalette::Base));

  const double fraction = std::isfinite(frame_.fraction) ? std::max(0.0, frame_.fraction) : 0.0;
  const int bar_width = static_cast<int>(std::lround(std::min(fraction, 1.0) * box.width()));
  if (bar_width > 0) {
    const Rgb& colour = frame_.bar_colour;
    painter.fillRect(QRect(box.left(), box.top(), bar_width, box.height()),
                     QColor(colour.red, colour.green, colour.blue));
  }
  if (!frame_.caption.empty()) {
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(box, Qt::AlignCenter, ToQt(frame_.caption));
  }
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(box.adjusted(0, 0, -1, -1));
}

}  // namespace pagorin
