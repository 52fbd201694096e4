#pragma once

#include <string>
#include <string_view>

namespace backend {

// A small square PNG in one colour chosen from `name`, so that every image
// address the back end hands out loads, and different addresses look
// different. Answers the PNG file's bytes.
std::string placeholderPNG(std::string_view name, int side = 96);

}  // namespace backend
