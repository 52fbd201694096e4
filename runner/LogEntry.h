#pragma once

#include <cstddef>
#include <string>

// How the runner's `log` prints one logged entry. A plain log line of the
// app or a kit is kept whole. An entry that spans several lines (a whole
// back-end answer or model, printed as a dictionary or array) becomes one
// line, its lines joined by single spaces, cut after kAnswerWidth
// characters with an ellipsis.
namespace LogEntry {

constexpr std::size_t kAnswerWidth = 200;

std::string oneLine(const std::string& entry);

}  // namespace LogEntry
