#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frameworks/charts/ChartData.h"
#include "frameworks/charts/DataRenderer.h"
#include "uikit/UIView.h"

class ChartViewBase;

// Told when a tap selects an entry, or selects nothing.
class ChartViewDelegate {
public:
    virtual ~ChartViewDelegate() = default;
    virtual void chartValueSelected(const Ref<ChartViewBase>& chartView, const Ref<ChartDataEntry>& entry,
                                    const Highlight& highlight) = 0;
    virtual void chartValueNothingSelected(const Ref<ChartViewBase>&) {}
};

// What a chart draws at its selected entry.
class IMarker {
public:
    virtual ~IMarker() = default;
    // Where the marker goes relative to the entry's point, kept in the chart.
    virtual CGPoint offsetForDrawingAtPoint(CGPoint point) const = 0;
    virtual void refreshContent(const Ref<ChartDataEntry>& entry, const Highlight& highlight) = 0;
    virtual void draw(const CGContextRef& context, CGPoint point) = 0;
};

// The base of the chart views. Everything is drawn in drawRect, through the
// graphics layer, from the data and the settings of the moment: the offsets
// (legend, axis labels, minimum and extra offsets) give the view port, the
// renderer draws the data in it, then come the legend, the description and
// the marker at the selected entry. Without data, or with data holding no
// entry, the chart shows `noDataText`.
//
// A tap (with highlightPerTapEnabled) selects the entry under it as the
// chart type decides (highlightForTouch) and tells the delegate; a tap on
// the selected entry or on no entry clears the selection.
class ChartViewBase : public UIView {
public:
    using UIView::UIView;

    Ref<ChartData> data() const { return data_; }
    // Replaces the data, clears the selection and redraws.
    void setData(const Ref<ChartData>& data);
    // Works the derived values out again after the data changed in place.
    virtual void notifyDataSetChanged();

    Ref<ChartViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<ChartViewDelegate>& delegate) { delegate_ = delegate; }

    const Ref<Description>& chartDescription() const { return description_; }
    const Ref<Legend>& legend() const { return legend_; }
    const Ref<Animator>& chartAnimator() const { return animator_; }
    const Ref<ViewPortHandler>& viewPortHandler() const { return viewPortHandler_; }
    Ref<DataRenderer> renderer() const { return renderer_; }
    void setRenderer(Ref<DataRenderer> renderer) { renderer_ = std::move(renderer); }

    const std::string& noDataText() const { return noDataText_; }
    void setNoDataText(std::string text) { noDataText_ = std::move(text); }
    void setNoDataTextColor(UIColor color) { noDataTextColor_ = color; }
    void setNoDataFont(UIFont font) { noDataFont_ = std::move(font); }

    Ref<IMarker> marker() const { return marker_; }
    void setMarker(Ref<IMarker> marker) { marker_ = std::move(marker); }
    bool isDrawMarkersEnabled() const { return drawMarkers_; }
    void setDrawMarkers(bool enabled) { drawMarkers_ = enabled; }
    bool isHighLightPerTapEnabled() const { return highlightPerTap_; }
    void setHighlightPerTapEnabled(bool enabled) { highlightPerTap_ = enabled; }

    CGFloat extraLeftOffset() const { return extraOffsets_.left; }
    void setExtraLeftOffset(CGFloat offset) { extraOffsets_.left = offset; }
    CGFloat extraTopOffset() const { return extraOffsets_.top; }
    void setExtraTopOffset(CGFloat offset) { extraOffsets_.top = offset; }
    CGFloat extraRightOffset() const { return extraOffsets_.right; }
    void setExtraRightOffset(CGFloat offset) { extraOffsets_.right = offset; }
    CGFloat extraBottomOffset() const { return extraOffsets_.bottom; }
    void setExtraBottomOffset(CGFloat offset) { extraOffsets_.bottom = offset; }
    CGFloat minOffset() const { return minOffset_; }
    void setMinOffset(CGFloat offset) { minOffset_ = offset; }

    const std::vector<Highlight>& highlighted() const { return highlighted_; }
    // Selects the entry (none clears), telling the delegate when asked to.
    void highlightValue(std::optional<Highlight> highlight, bool callDelegate = false);
    // The entry a touch at the point (in the view) selects, if any.
    virtual std::optional<Highlight> highlightForTouch(CGPoint point) = 0;

    // Lays the chart out for the view's current size: the view port, and
    // whatever the chart type works out from it.
    void prepareForDrawing();

    void drawRect(CGRect rect) override;
    bool handleTapAt(CGPoint point) override;

protected:
    void didCreate() override;
    // The offsets of the view port from the view's edges.
    virtual UIEdgeInsets calculateOffsets() const = 0;
    // After the view port is set.
    virtual void didLayOutViewPort() {}
    // Derived values and legend entries from new data.
    virtual void dataDidChange() = 0;
    virtual void drawChart(const CGContextRef& context) = 0;
    // The point the marker of a selection is drawn at.
    virtual CGPoint markerPosition(const Highlight& highlight) const { return highlight.drawPoint; }
    // The legend's height in the view (with its offset), 0 when it takes no room.
    CGFloat legendHeight() const;

private:
    void drawNoData(const CGContextRef& context) const;
    void drawDescription(const CGContextRef& context) const;
    void drawMarkers(const CGContextRef& context);

    Ref<ChartData> data_;
    WeakRef<ChartViewDelegate> delegate_;
    Ref<Description> description_ = make<Description>();
    Ref<Legend> legend_ = make<Legend>();
    Ref<Animator> animator_ = make<Animator>();
    Ref<ViewPortHandler> viewPortHandler_ = make<ViewPortHandler>();
    Ref<DataRenderer> renderer_;
    std::string noDataText_ = "No chart data available.";
    UIColor noDataTextColor_ = UIColor::blackColor();
    UIFont noDataFont_ = UIFont::systemFontOfSize(12);
    Ref<IMarker> marker_;
    bool drawMarkers_ = true;
    bool highlightPerTap_ = true;
    UIEdgeInsets extraOffsets_{};
    CGFloat minOffset_ = 10;
    std::vector<Highlight> highlighted_;
};

// A marker made of views: the view (with its subviews) is drawn with its
// top-left corner at the selected point plus `offset`, moved as far as
// needed to stay inside `chartView`.
class MarkerView : public UIView, public IMarker {
public:
    using UIView::UIView;

    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset) { offset_ = offset; }
    Ref<ChartViewBase> chartView() const { return chartView_.lock(); }
    void setChartView(const Ref<ChartViewBase>& chartView) { chartView_ = chartView; }

    CGPoint offsetForDrawingAtPoint(CGPoint point) const override;
    void refreshContent(const Ref<ChartDataEntry>&, const Highlight&) override {}
    void draw(const CGContextRef& context, CGPoint point) override;

private:
    CGPoint offset_{};
    WeakRef<ChartViewBase> chartView_;
};
