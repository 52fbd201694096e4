#pragma once

#include <optional>
#include <string>

// Text as the content of an XML 1.0 element: markup characters escaped, and
// carriage returns as references, since readers turn a raw one into a line
// feed. Nothing when the text is not valid UTF-8 or holds a character XML
// documents may not hold.
std::optional<std::string> XMLElementText(const std::string& text);
