#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSTimer.h"
#include "foundation/StoredBlock.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIScrollViewDelegate.h"

class UILabel;

// A one-line ticker: one label per text stacked in a paged scroll view that
// moves up a line every 3 seconds and wraps around without a visible jump.
// The lines are the last text followed by all texts in order; the widget
// starts on the first text, and after the last one it jumps to the leading
// copy of the last text, so the next step shows the first text again.
//
// The timer runs in the common modes from creation, pauses while the user
// drags and restarts when the drag ends; one text (or none) stops it.
class ZSScrollView : public UIView, public UIScrollViewDelegate {
public:
    using ClickLabelBlock = StoredBlock<void(long index, const std::string& text)>;

    using UIView::UIView;
    ~ZSScrollView() override;

    // The inner scroll view, made on first use.
    Ref<UIScrollView> ccpScrollView();
    double labelW() const { return labelW_; }
    double labelH() const { return labelH_; }
    const Ref<NSTimer>& timer() const { return timer_; }

    const std::optional<std::vector<std::string>>& titleArray() const { return titleArray_; }
    // Lays the lines out anew. None stops the timer and keeps the lines
    // shown; one text stops it too. An empty list removes the lines.
    // Colours and fonts apply to the lines present when they are set, so
    // set them after the texts.
    void setTitleArray(std::optional<std::vector<std::string>> titles);
    const std::vector<std::string>& titleNewArray() const { return titleNewArray_; }

    bool isCanScroll() const { return isCanScroll_; }
    // Whether the user may drag the lines.
    void setIsCanScroll(bool canScroll);
    // Raised by a tap on a line with its index in titleArray and its text.
    void clickTitleLabel(ClickLabelBlock block) { clickLabelBlock_ = std::move(block); }

    const std::optional<UIColor>& titleColor() const { return titleColor_; }
    void setTitleColor(const UIColor& color);
    double titleFont() const { return titleFont_; }
    void setTitleFont(double size);
    const std::optional<UIColor>& BGColor() const { return BGColor_; }
    void setBGColor(const UIColor& color);

    void addTimer();
    void removeTimer();
    // Moves the lines up by one.
    void nextLabel();

    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate) override;
    void clickTheLabel(const Ref<UIGestureRecognizer>& recognizer);

protected:
    void didCreate() override;

private:
    std::vector<Ref<UILabel>> lines() const;

    Ref<UIScrollView> ccpScrollView_;
    double labelW_ = 0, labelH_ = 0;
    Ref<NSTimer> timer_;
    std::optional<std::vector<std::string>> titleArray_;
    std::vector<std::string> titleNewArray_;
    bool isCanScroll_ = false;
    ClickLabelBlock clickLabelBlock_;
    std::optional<UIColor> titleColor_;
    std::optional<UIColor> BGColor_;
    double titleFont_ = 0;
};
