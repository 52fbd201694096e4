#include "media/QRCodeEncoder.h"

#include <qrencode.h>

#include <memory>

std::optional<QRCodeEncoder::CorrectionLevel> QRCodeEncoder::correctionLevelNamed(std::string_view name) {
    if (name == "L") return CorrectionLevel::L;
    if (name == "M") return CorrectionLevel::M;
    if (name == "Q") return CorrectionLevel::Q;
    if (name == "H") return CorrectionLevel::H;
    return std::nullopt;
}

std::optional<QRCodeEncoder::Symbol> QRCodeEncoder::symbolForData(const NSData& message, CorrectionLevel level) {
    static constexpr QRecLevel kLevels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    if (message.empty()) return std::nullopt;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(message.length()), message.bytes(), 0, kLevels[static_cast<int>(level)]),
        QRcode_free);
    if (!code) return std::nullopt;

    Symbol symbol;
    symbol.size = static_cast<std::size_t>(code->width);
    symbol.modules.resize(symbol.size * symbol.size);
    // libqrencode marks a dark module with the lowest bit.
    for (std::size_t i = 0; i < symbol.modules.size(); ++i) symbol.modules[i] = code->data[i] & 1;
    return symbol;
}
