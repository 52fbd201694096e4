#pragma once

#include <optional>
#include <string>
#include <vector>

#include "media/AVMetadataObject.h"

// A QR code or bar code the camera read: its text and its corners, from the
// symbol's top-left going counter-clockwise as it reads upright.
class AVMetadataMachineReadableCodeObject : public AVMetadataObject {
public:
    AVMetadataMachineReadableCodeObject(AVMetadataObjectType type, std::optional<std::string> stringValue,
                                        std::vector<CGPoint> corners);

    // Nothing when the code's content is not text.
    const std::optional<std::string>& stringValue() const { return stringValue_; }
    const std::vector<CGPoint>& corners() const { return corners_; }

private:
    std::optional<std::string> stringValue_;
    std::vector<CGPoint> corners_;
};
