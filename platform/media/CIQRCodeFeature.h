#pragma once

#include <optional>
#include <string>

#include "media/CIFeature.h"

// A QR code found in a picture: its message and its corners as the symbol
// reads upright, in the picture's Core Image space.
class CIQRCodeFeature : public CIFeature {
public:
    struct Corners {
        CGPoint topLeft, topRight, bottomLeft, bottomRight;
    };

    CIQRCodeFeature(std::optional<std::string> messageString, Corners corners);

    // Nothing when the symbol's bytes are not text.
    const std::optional<std::string>& messageString() const { return message_; }
    CGPoint topLeft() const { return corners_.topLeft; }
    CGPoint topRight() const { return corners_.topRight; }
    CGPoint bottomLeft() const { return corners_.bottomLeft; }
    CGPoint bottomRight() const { return corners_.bottomRight; }

private:
    std::optional<std::string> message_;
    Corners corners_;
};
