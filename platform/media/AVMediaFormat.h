#pragma once

#include <string>

// The kind of media a device or a port carries.
using AVMediaType = std::string;
inline constexpr const char* AVMediaTypeVideo = "vide";
inline constexpr const char* AVMediaTypeAudio = "soun";
