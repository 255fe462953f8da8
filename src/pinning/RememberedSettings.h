#pragma once
// The item, icon and title kept between runs in the settings store.

#include "pinning/Fields.h"
#include "platform/Window.h"

namespace brindlework::pinning {

// At load: the item, icon and title as last remembered; "" for what was never remembered.
void RestoreFields(FormView& form, const Fields& fields, const Services& services);

// "Remember all": stores the item, icon and title as they stand, empty ones included.
void RememberFields(FormView& form, const Fields& fields, const Services& services);

// "Clear all": empties the item, icon, title and hotkey on screen; the store keeps its values.
void ClearFields(FormView& form, const Fields& fields);

}  // namespace brindlework::pinning
