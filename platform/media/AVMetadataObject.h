#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

// What a metadata object is: its raw text names the kind.
using AVMetadataObjectType = std::string;
inline constexpr const char* AVMetadataObjectTypeQRCode = "org.iso.QRCode";
inline constexpr const char* AVMetadataObjectTypeEAN13Code = "org.gs1.EAN-13";
inline constexpr const char* AVMetadataObjectTypeCode128Code = "org.iso.Code128";
inline constexpr const char* AVMetadataObjectTypeFace = "face";

// Something the camera recognised in a frame. Positions are in the metadata
// output's space: the frame turned to the sensor's landscape orientation and
// normalised to 0...1, x running down the upright picture and y from its
// right edge to its left.
class AVMetadataObject : public NSObject {
public:
    AVMetadataObject(AVMetadataObjectType type, CGRect bounds) : type_(std::move(type)), bounds_(bounds) {}

    const AVMetadataObjectType& type() const { return type_; }
    CGRect bounds() const { return bounds_; }

private:
    AVMetadataObjectType type_;
    CGRect bounds_;
};
