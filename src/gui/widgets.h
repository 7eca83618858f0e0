// Small helpers every window uses to make its controls.
//
// Controls carry their design names as object names, so that tests and
// anyone reading the windows find them by name. A control array (several
// controls under one name, told apart by an index) is named "<name>_<index>":
// cmdGo index 0 ("Selected") is "cmdGo_0", index 1 ("All") is "cmdGo_1".
#pragma once

#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace pagorin {

template <typename W>
W* Named(W* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

inline QString ArrayName(const QString& name, int index) {
  return name + "_" + QString::number(index);
}

// A button of a dialog's button row that never takes Return by itself.
inline QPushButton* AddButton(QDialogButtonBox* row, const QString& name, const QString& caption,
                              QDialogButtonBox::ButtonRole role) {
  QPushButton* button = row->addButton(caption, role);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// Controls whose work comes with a later version stand in their places,
// disabled, with this tooltip after their own.
inline constexpr const char* kComesLater = "Not available yet: this comes in a later version.";

inline void MarkComesLater(QWidget* widget, const QString& own_tooltip = {}) {
  widget->setProperty("comesLater", true);
  widget->setEnabled(false);
  widget->setToolTip(own_tooltip.isEmpty() ? QString(kComesLater)
                                           : own_tooltip + "\n" + kComesLater);
}

// True for a control marked by MarkComesLater: unlocking the window leaves it
// disabled.
inline bool ComesLater(const QWidget* widget) {
  return widget->property("comesLater").toBool();
}

}  // namespace pagorin
