#pragma once

#include <string>
#include <string_view>

namespace backend {

// The picture served at a placeholder address: a rounded tile of `side`
// pixels in a colour picked from `name`, with the first character of
// `caption` (when there is one) in white, so a menu or a game list reads at a
// glance. Answers the PNG file's bytes.
std::string placeholderPNG(std::string_view name, std::string_view caption = {}, int side = 96);

// A QR code of `text`: black modules of four pixels on white, with the
// four-module quiet zone readers need. Empty when the text cannot be encoded.
std::string qrCodePNG(std::string_view text);

}  // namespace backend
