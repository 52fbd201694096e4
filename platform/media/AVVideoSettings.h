#pragma once

// Keys and values of still-image output settings.
inline constexpr const char* AVVideoCodecKey = "AVVideoCodecKey";
inline constexpr const char* AVVideoCodecJPEG = "jpeg";
