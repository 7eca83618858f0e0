// The splash window shown while the program starts.
#pragma once

#include <QWidget>

namespace pagorin {

// A frameless window with the program's name and version, centred on the
// screen. Not modal; the start-up hides and deletes it.
class frmSplash final : public QWidget {
  Q_OBJECT

 public:
  explicit frmSplash(QWidget* parent = nullptr);

  QSize sizeHint() const override { return {420, 220}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace pagorin
