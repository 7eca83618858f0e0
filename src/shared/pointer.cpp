#include "shared/pointer.h"

namespace pagorin {

namespace {

void SetPointerAndYield(UserInterface& ui, Pointer pointer) {
  ui.SetPointer(pointer);
  ui.ProcessEvents();
}

}  // namespace

void ShowBusy(UserInterface& ui) {
  SetPointerAndYield(ui, Pointer::kBusy);
}

void ShowBusyArrow(UserInterface& ui) {
  SetPointerAndYield(ui, Pointer::kBusyArrow);
}

void ShowNormal(UserInterface& ui) {
  SetPointerAndYield(ui, Pointer::kNormal);
}

}  // namespace pagorin
