#include "graphics/UIFont.h"

#include <pango/pango.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "graphics/FontLibrary.h"

namespace {

constexpr const char* systemFontName = ".AppleSystemUIFont";

// The nearest CSS-style weight (100...900) to a platform weight.
int pangoWeight(UIFontWeight weight) {
    static constexpr std::array<std::pair<UIFontWeight, int>, 9> scale{{
        {UIFontWeightUltraLight, 100}, {UIFontWeightThin, 200}, {UIFontWeightLight, 300},
        {UIFontWeightRegular, 400}, {UIFontWeightMedium, 500}, {UIFontWeightSemibold, 600},
        {UIFontWeightBold, 700}, {UIFontWeightHeavy, 800}, {UIFontWeightBlack, 900},
    }};
    auto nearest = std::min_element(scale.begin(), scale.end(), [&](const auto& a, const auto& b) {
        return std::fabs(a.first - weight) < std::fabs(b.first - weight);
    });
    return nearest->second;
}

std::optional<UIFontWeight> weightForSuffix(std::string_view suffix) {
    static constexpr std::array<std::pair<std::string_view, UIFontWeight>, 10> suffixes{{
        {"", UIFontWeightRegular}, {"Regular", UIFontWeightRegular}, {"Ultralight", UIFontWeightUltraLight},
        {"Thin", UIFontWeightThin}, {"Light", UIFontWeightLight}, {"Medium", UIFontWeightMedium},
        {"Semibold", UIFontWeightSemibold}, {"Bold", UIFontWeightBold}, {"Heavy", UIFontWeightHeavy},
        {"Black", UIFontWeightBlack},
    }};
    for (const auto& [name, weight] : suffixes) {
        if (name == suffix) return weight;
    }
    return std::nullopt;
}

CGFloat validSize(CGFloat size) { return std::isfinite(size) && size > 0 ? size : 0; }

PangoFontMetrics* metricsFor(const UIFont& font) {
    PangoFontDescription* description = font.newPangoDescription();
    PangoFontMetrics* metrics = pango_context_get_metrics(FontLibrary::shared().context(), description, nullptr);
    pango_font_description_free(description);
    return metrics;
}

}  // namespace

UIFont::UIFont(std::string name, CGFloat size, UIFontWeight weight)
    : name_(std::move(name)), size_(validSize(size)), weight_(weight) {}

UIFont UIFont::systemFontOfSize(CGFloat size) { return systemFontOfSize(size, UIFontWeightRegular); }

UIFont UIFont::boldSystemFontOfSize(CGFloat size) { return systemFontOfSize(size, UIFontWeightBold); }

UIFont UIFont::systemFontOfSize(CGFloat size, UIFontWeight weight) {
    return UIFont(systemFontName, size, std::clamp(weight, -1.0, 1.0));
}

std::optional<UIFont> UIFont::fontWithName(std::string_view name, CGFloat size) {
    static constexpr std::array<std::string_view, 6> families{
        "PingFangSC", "PingFang SC", "HelveticaNeue", "Helvetica", "Noto Sans CJK SC", systemFontName};
    for (std::string_view family : families) {
        if (!name.starts_with(family)) continue;
        std::string_view rest = name.substr(family.size());
        if (!rest.empty() && rest.front() != '-' && rest.front() != ' ') continue;
        if (!rest.empty()) rest.remove_prefix(1);
        if (auto weight = weightForSuffix(rest)) return UIFont(std::string(name), size, *weight);
    }
    return std::nullopt;
}

UIFont UIFont::fontWithSize(CGFloat size) const { return UIFont(name_, size, weight_); }

CGFloat UIFont::ascender() const {
    auto lock = FontLibrary::shared().lock();
    PangoFontMetrics* metrics = metricsFor(*this);
    CGFloat ascent = pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE);
    pango_font_metrics_unref(metrics);
    return ascent;
}

CGFloat UIFont::descender() const {
    auto lock = FontLibrary::shared().lock();
    PangoFontMetrics* metrics = metricsFor(*this);
    CGFloat descent = pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE);
    pango_font_metrics_unref(metrics);
    return -descent;
}

CGFloat UIFont::lineHeight() const { return ascender() - descender(); }

PangoFontDescription* UIFont::newPangoDescription() const {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, FontLibrary::familyList);
    pango_font_description_set_weight(description, static_cast<PangoWeight>(pangoWeight(weight_)));
    pango_font_description_set_absolute_size(description, size_ * PANGO_SCALE);
    return description;
}
