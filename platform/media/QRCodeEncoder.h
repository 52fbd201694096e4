#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"

// QR code symbols over libqrencode.
class QRCodeEncoder {
public:
    // How much of the symbol may be damaged and still read: about 7 % (L),
    // 15 % (M), 25 % (Q) or 30 % (H).
    enum class CorrectionLevel { L, M, Q, H };

    // The square of modules, row by row from the top, true for dark.
    struct Symbol {
        std::size_t size = 0;
        std::vector<bool> modules;
        bool isDark(std::size_t column, std::size_t row) const { return modules[row * size + column]; }
    };

    // "L", "M", "Q" or "H"; nothing for any other text.
    static std::optional<CorrectionLevel> correctionLevelNamed(std::string_view name);

    // The smallest symbol holding the bytes (byte mode; texts go in as their
    // UTF-8 bytes). Nothing for no bytes or more than the largest symbol
    // holds.
    static std::optional<Symbol> symbolForData(const NSData& message, CorrectionLevel level);
};
