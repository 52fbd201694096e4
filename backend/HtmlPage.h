#pragma once

#include <string>

namespace backend {

// The small HTML documents the back end and its stand-ins serve.

// A UTF-8 document titled `title` (escaped here) around `body`, which is
// HTML already.
std::string htmlPage(const std::string& title, const std::string& body);
// A paragraph holding one link, its address and its text escaped.
std::string htmlLink(const std::string& href, const std::string& text);

}  // namespace backend
