#pragma once

#include <optional>
#include <string_view>
#include <vector>

// Code 128 symbols for printable ASCII text (code sets B and C).
//
// Runs of digits long enough to pay for the switch are packed two to a symbol
// in code set C; everything else goes in code set B. The result is the row of
// modules from the start symbol to the end of the stop pattern, true for a
// bar, without quiet zones.
class Code128Encoder {
public:
    // Nothing for empty text or text with a byte outside 32...127.
    static std::optional<std::vector<bool>> modulesForText(std::string_view text);

private:
    static std::vector<int> symbolValues(std::string_view text);
};
