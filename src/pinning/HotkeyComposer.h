#pragma once
// The hotkey row: composes CTRL+<modifier>+<key> into txtHotKey, or empties the row.

#include "pinning/Fields.h"
#include "platform/Window.h"

namespace brindlework::pinning {

inline constexpr TextView kNotValidHotkey = u"Not valid hotkey";

// "Set hotkey": writes CTRL+, the selected modifier (none selected: nothing), + and the key
// into txtHotKey, then stores it when it holds SHIFT or ALT. A key that is not exactly one
// UTF-16 unit changes nothing. Every press ends with one message, after its changes.
void SetHotkey(FormView& form, const Fields& fields, const Services& services);

// "Delete hotkey": stores an empty hotkey, empties the key, the hotkey and the modifier text,
// and leaves no modifier selected.
void DeleteHotkey(FormView& form, const Fields& fields, const Services& services);

}  // namespace brindlework::pinning
