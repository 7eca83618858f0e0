// The mouse pointer during long operations.
#pragma once

#include "shared/user_interface.h"

namespace pagorin {

// Each sets the pointer through the user interface and then lets pending
// window events run, so the new pointer shows before the work starts.
void ShowBusy(UserInterface& ui);       // the hourglass
void ShowBusyArrow(UserInterface& ui);  // the arrow with an hourglass
void ShowNormal(UserInterface& ui);

}  // namespace pagorin
