#pragma once

#include <optional>
#include <string>
#include <utility>

// The text a command takes (a caption, a field's text, a file, an address),
// read the same way by every command: the rest of the line without the
// spaces around it, or, between double quotes, exactly what lies between
// them, spaces included (`type "  "` types two spaces). Inside the quotes
// \" stands for a quote and \\ for a backslash; a backslash before any
// other character stands for itself.
namespace CommandText {

// The text of `rest`; nothing, with `problem` set (the end of a sentence,
// such as "the quoted text has no closing quote"), when the quotes are
// not closed or something follows them.
std::optional<std::string> parse(const std::string& rest, std::string& problem);

// The line's first word and the rest, without the spaces around either.
std::pair<std::string, std::string> firstWord(const std::string& line);

}  // namespace CommandText
