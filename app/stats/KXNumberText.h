#pragma once

#include <string>

// A double as the app writes counts: the shortest text that reads back as
// the same number, with a fraction always ("120.0", "1234.5", "0.0").
std::string shortestDoubleText(double value);
