#pragma once
// The application icon's picture: a red push pin, tilted, its point toward the lower left.

#include "Image.h"

namespace brindlework::icon {

// The pin drawn for `size` x `size` pixels: anti-aliased, transparent around it. Small sizes
// get thicker lines and no shadow so that they stay clear.
Image DrawPin(int size);

}  // namespace brindlework::icon
