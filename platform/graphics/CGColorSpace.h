#pragma once

// The device colour spaces bitmap contexts and gradients are made in.
enum class CGColorSpaceModel { Monochrome, RGB };

struct CGColorSpace {
    CGColorSpaceModel model = CGColorSpaceModel::RGB;
    // Components per colour, alpha not counted.
    int numberOfComponents() const { return model == CGColorSpaceModel::RGB ? 3 : 1; }
    bool operator==(const CGColorSpace&) const = default;
};

inline CGColorSpace CGColorSpaceCreateDeviceRGB() { return {CGColorSpaceModel::RGB}; }
inline CGColorSpace CGColorSpaceCreateDeviceGray() { return {CGColorSpaceModel::Monochrome}; }
