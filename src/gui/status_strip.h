// The status strips of the main window (picStatus, picUploadStatus): a bar
// filled from the left with a caption centred over it.
#pragma once

#include <QWidget>

#include "shared/user_interface.h"

namespace pagorin {

// Shows the last StatusFrame it was given. The bar covers `fraction` of the
// width (a fraction above 1 is clipped by the strip, below 0 shows none), on
// the palette's base colour; the caption is drawn in the button-text colour.
class StatusStripWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit StatusStripWidget(QWidget* parent = nullptr);

  // Keeps the frame and asks for a repaint; the strip is drawn when events
  // next run.
  void ShowFrame(const StatusFrame& frame);
  const StatusFrame& frame() const { return frame_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  StatusFrame frame_;
};

}  // namespace pagorin
