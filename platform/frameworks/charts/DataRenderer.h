#pragma once

#include <vector>

#include "frameworks/charts/ChartComponents.h"

// Draws a chart's data in the view port: the series, their value texts,
// what lies over them (a pie's hole), and the selected entries.
class DataRenderer : public NSObject {
public:
    DataRenderer(Ref<Animator> animator, Ref<ViewPortHandler> viewPortHandler)
        : animator_(std::move(animator)), viewPortHandler_(std::move(viewPortHandler)) {}

    const Ref<Animator>& animator() const { return animator_; }
    const Ref<ViewPortHandler>& viewPortHandler() const { return viewPortHandler_; }

    virtual void drawData(const CGContextRef& context) = 0;
    virtual void drawValues(const CGContextRef& context) = 0;
    virtual void drawExtras(const CGContextRef& context) = 0;
    virtual void drawHighlighted(const CGContextRef& context, const std::vector<Highlight>& highlights) = 0;

private:
    Ref<Animator> animator_;
    Ref<ViewPortHandler> viewPortHandler_;
};
