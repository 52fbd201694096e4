#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "frameworks/charts/PieChartView.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSStringAttributes.h"

// The type statistics' pie: a pie chart whose renderer is a
// KXPieChartRenderer.
class KXPieChartView : public PieChartView {
public:
    using PieChartView::PieChartView;
    std::string className() const override { return "KXPieChartView"; }

protected:
    void didCreate() override;
};

// One text a slice shows: where it goes and how it looks.
struct KXPieValueText {
    std::string text;
    CGPoint point{};
    NSTextAlignment alignment = NSTextAlignment::Left;
    NSStringAttributes attributes;
    // Where it is drawn.
    CGRect frame() const;
};

// What the renderer draws for one slice: its leader line (outside texts
// only), its value and label texts, and its icon.
struct KXPieSliceValues {
    long entryIndex = 0;
    bool outside = false;
    std::optional<std::array<CGPoint, 3>> line;
    UIColor lineColor{};
    CGFloat lineWidth = 1;
    std::vector<KXPieValueText> texts;
    Ref<UIImage> icon;
    CGPoint iconCenter{};
};

// Draws the slices' values and names like the pie renderer, but places
// texts outside the pie so that neighbours do not overlap: on each side
// (the left for slice middles from 90 to 270 degrees), a text whose anchor
// (the end of the leader line's first part) lies within a value line and a
// label line of the nearest anchor already placed goes one label line past
// that text's place (down on the right, up on the left), and a text that
// would still cover one placed earlier on its side moves on past it.
class KXPieChartRenderer : public PieChartRenderer {
public:
    using PieChartRenderer::PieChartRenderer;

    // The drawing of every slice in this pass, in order; it ends early at a
    // slice whose leader line has no colour.
    std::vector<KXPieSliceValues> layOutValues() const;
    // The frames of the texts drawn outside the pie.
    std::vector<CGRect> outsideTextFrames() const;

    void drawValues(const CGContextRef& context) override;
};
