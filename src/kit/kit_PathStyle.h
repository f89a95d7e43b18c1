#pragma once

namespace kit {

enum class PathStyle {
    Posix,   // '/' separates; ':' is an ordinary character
    Windows, // '\' separates, and ':' ends a drive name
};

} // namespace kit
