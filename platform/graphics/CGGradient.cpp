#include "graphics/CGGradient.h"

namespace {

CGFloat spreadLocation(const CGFloat* locations, std::size_t index, std::size_t count) {
    if (locations) return locations[index];
    return count == 1 ? 0 : static_cast<CGFloat>(index) / static_cast<CGFloat>(count - 1);
}

}  // namespace

CGGradientRef CGGradientCreateWithColorComponents(CGColorSpace space, const CGFloat* components,
                                                  const CGFloat* locations, std::size_t count) {
    if (!components || count == 0) return nullptr;
    std::size_t perColor = static_cast<std::size_t>(space.numberOfComponents()) + 1;
    std::vector<CGGradient::Stop> stops;
    for (std::size_t i = 0; i < count; ++i) {
        const CGFloat* c = components + i * perColor;
        UIColor color = space.model == CGColorSpaceModel::RGB ? UIColor::colorWithRed(c[0], c[1], c[2], c[3])
                                                              : UIColor::colorWithWhite(c[0], c[1]);
        stops.push_back({spreadLocation(locations, i, count), color});
    }
    return make<CGGradient>(std::move(stops));
}

CGGradientRef CGGradientCreateWithColors(CGColorSpace, const std::vector<UIColor>& colors, const CGFloat* locations) {
    if (colors.empty()) return nullptr;
    std::vector<CGGradient::Stop> stops;
    for (std::size_t i = 0; i < colors.size(); ++i) stops.push_back({spreadLocation(locations, i, colors.size()), colors[i]});
    return make<CGGradient>(std::move(stops));
}
