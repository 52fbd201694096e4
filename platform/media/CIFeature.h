#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

inline constexpr const char* CIFeatureTypeQRCode = "QRCode";

// Something a detector found in a picture, placed in the picture's Core
// Image space (y up).
class CIFeature : public NSObject {
public:
    CIFeature(std::string type, CGRect bounds) : type_(std::move(type)), bounds_(bounds) {}

    const std::string& type() const { return type_; }
    CGRect bounds() const { return bounds_; }

private:
    std::string type_;
    CGRect bounds_;
};
