#pragma once

#include "kit_PathStyle.h"

namespace kit {

// The path style of the system the program runs on.
inline constexpr PathStyle nativePathStyle = PathStyle::Posix;

} // namespace kit
