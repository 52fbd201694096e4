#pragma once

#include "frameworks/segmented/JXSegmentedViewTool.h"
#include "uikit/UIView.h"

// Where the selected item is (frames in the title bar's content space).
struct JXSegmentedIndicatorSelectedParams {
    long currentSelectedIndex = 0;
    CGRect currentSelectedItemFrame{};
    JXSegmentedViewItemSelectedType selectedType = JXSegmentedViewItemSelectedType::Unknown;
};

// Two items the pages are caught between, and how far (0 at the left one).
struct JXSegmentedIndicatorTransitionParams {
    long leftIndex = 0;
    CGRect leftItemFrame{};
    long rightIndex = 0;
    CGRect rightItemFrame{};
    CGFloat percent = 0;
};

// A mark a title bar draws behind or under its selected item. It follows
// the selection and, while the pages are swiped, moves between two items.
// A width, height or corner radius of kAutomatic lets the indicator kind
// choose.
class JXSegmentedIndicatorBaseView : public UIView {
public:
    static constexpr CGFloat kAutomatic = -1;

    UIColor indicatorColor() const { return indicatorColor_; }
    void setIndicatorColor(UIColor color);
    CGFloat indicatorWidth = kAutomatic;
    CGFloat indicatorWidthIncrement = 0;
    CGFloat indicatorHeight = kAutomatic;
    CGFloat indicatorCornerRadius = kAutomatic;

    void refreshIndicatorState(const JXSegmentedIndicatorSelectedParams& params) { selectItem(params); }
    virtual void contentScrollViewDidScroll(const JXSegmentedIndicatorTransitionParams& params);
    virtual void selectItem(const JXSegmentedIndicatorSelectedParams& params);

protected:
    void didCreate() override;
    // The indicator's frame over an item's frame.
    virtual CGRect frameOver(CGRect itemFrame) const = 0;

private:
    UIColor indicatorColor_ = UIColor::lightGrayColor();
};
