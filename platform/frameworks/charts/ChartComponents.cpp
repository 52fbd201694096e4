#include "frameworks/charts/ChartComponents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frameworks/charts/ChartUtils.h"
#include "graphics/NSStringDrawing.h"

// --- Formatters ---

std::string IndexAxisValueFormatter::stringForValue(double value, const AxisBase&) const {
    if (!std::isfinite(value)) return "";
    long index = std::lround(value);
    if (index < 0 || index >= static_cast<long>(values_.size())) return "";
    return values_[static_cast<std::size_t>(index)];
}

std::string DefaultAxisValueFormatter::stringForValue(double value, const AxisBase& axis) const {
    double interval = axis.labelInterval();
    int decimals = interval > 0 && interval < 1 ? static_cast<int>(std::ceil(-std::log10(interval))) : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value == 0 ? 0.0 : value);
    return text;
}

// --- Legend ---

bool Legend::showsForm(const Entry& entry) const {
    Form form = entry.form == Form::Default ? form_ : entry.form;
    return form != Form::None && form != Form::Empty;
}

CGFloat Legend::entryWidth(const Entry& entry) const {
    CGFloat width = showsForm(entry) || entry.form == Form::Empty ? formSize_ : 0;
    if (!entry.label.empty()) {
        if (width > 0) width += formToTextSpace_;
        width += NSStringDrawing::sizeWithAttributes(entry.label, {.font = font_}).width;
    }
    return width;
}

bool Legend::takesRoom() const {
    if (!enabled_) return false;
    return std::any_of(entries_.begin(), entries_.end(),
                       [this](const Entry& entry) { return !entry.label.empty() || showsForm(entry); });
}

Legend::Placement Legend::layout(CGFloat width) const {
    Placement placement;
    CGFloat lineHeight = std::max(ChartUtils::lineHeight(font_), formSize_);
    CGFloat x = 0, y = 0;
    bool lineStarted = false;
    for (const auto& entry : entries_) {
        CGFloat entryWide = entryWidth(entry);
        if (lineStarted && x + entryWide > width) {
            x = 0;
            y += lineHeight + yEntrySpace_;
        }
        placement.origins.push_back({x, y});
        x += entryWide + xEntrySpace_;
        lineStarted = true;
    }
    placement.height = entries_.empty() ? 0 : y + lineHeight;
    return placement;
}

void Legend::draw(const CGContextRef& context, CGRect area) const {
    if (!takesRoom()) return;
    Placement placement = layout(area.size.width);
    CGFloat lineHeight = std::max(ChartUtils::lineHeight(font_), formSize_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        CGPoint origin{area.origin.x + placement.origins[i].x, area.origin.y + placement.origins[i].y};
        CGFloat x = origin.x;
        Form form = entry.form == Form::Default ? form_ : entry.form;
        if (showsForm(entry)) {
            CGRect box{{x, origin.y + (lineHeight - formSize_) / 2}, {formSize_, formSize_}};
            CGContextSetFillColorWithColor(context, entry.formColor);
            if (form == Form::Circle) {
                CGContextFillEllipseInRect(context, box);
            } else if (form == Form::Line) {
                CGContextFillRect(context, {{box.origin.x, CGRectGetMidY(box) - 1}, {formSize_, 2}});
            } else {
                CGContextFillRect(context, box);
            }
        }
        if (showsForm(entry) || form == Form::Empty) x += formSize_ + formToTextSpace_;
        if (!entry.label.empty()) {
            CGFloat textTop = origin.y + (lineHeight - ChartUtils::lineHeight(font_)) / 2;
            ChartUtils::drawText(context, entry.label, {x, textTop}, NSTextAlignment::Left,
                                 {.font = font_, .foregroundColor = textColor_});
        }
    }
}

// --- View port ---

void ViewPortHandler::setChartDimens(CGFloat width, CGFloat height) {
    CGFloat left = offsetLeft(), top = offsetTop(), right = offsetRight(), bottom = offsetBottom();
    chartWidth_ = width;
    chartHeight_ = height;
    restrainViewPort(left, top, right, bottom);
}

void ViewPortHandler::restrainViewPort(CGFloat left, CGFloat top, CGFloat right, CGFloat bottom) {
    contentRect_ = {{left, top},
                    {std::max<CGFloat>(0, chartWidth_ - left - right), std::max<CGFloat>(0, chartHeight_ - top - bottom)}};
}

// --- Axes ---

void AxisBase::setGranularity(double granularity) {
    granularity_ = granularity;
    granularityEnabled_ = true;
}

void AxisBase::setValueFormatter(Ref<AxisValueFormatter> formatter) { valueFormatter_ = std::move(formatter); }

std::string AxisBase::labelForValue(double value) const {
    if (valueFormatter_) return valueFormatter_->stringForValue(value, *this);
    return DefaultAxisValueFormatter().stringForValue(value, *this);
}

void AxisBase::computeAxis(double dataMin, double dataMax) {
    double range = std::abs(dataMax - dataMin);
    if (range == 0) {
        dataMax += 1;
        dataMin -= 1;
        range = 2;
    }
    axisMinimum_ = dataMin - range * spaceMin_;
    axisMaximum_ = dataMax + range * spaceMax_;
    computeLabels();
}

namespace {

// The interval rounded to one significant digit, moved up to 10 × the
// magnitude when that digit is above 5 (as 1, 2, 3, 4, 5, 10, 20...).
double roundedInterval(double raw) {
    if (raw <= 0 || !std::isfinite(raw)) return 0;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double digit = std::round(raw / magnitude);
    if (digit > 5) digit = 10;
    return std::max(digit, 1.0) * magnitude;
}

}  // namespace

void AxisBase::computeLabels() {
    entries_.clear();
    long count = std::max(labelCount_, 1L);
    double range = axisRange();
    if (range <= 0 || !std::isfinite(range)) return;
    if (forceLabelsEnabled_) {
        interval_ = count > 1 ? range / static_cast<double>(count - 1) : range;
        for (long i = 0; i < count; ++i) entries_.push_back(axisMinimum_ + interval_ * static_cast<double>(i));
        return;
    }
    double interval = roundedInterval(range / static_cast<double>(count));
    if (granularityEnabled_ && interval < granularity_) interval = granularity_;
    if (interval <= 0) return;
    interval_ = interval;
    double first = std::ceil(axisMinimum_ / interval) * interval;
    for (double value = first; value <= axisMaximum_ + interval * 1e-9; value += interval)
        entries_.push_back(std::abs(value) < interval * 1e-9 ? 0 : value);
}

YAxis::YAxis(AxisDependency side) : side_(side) {
    spaceMin_ = 0.1;
    spaceMax_ = 0.1;
}
