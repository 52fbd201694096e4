#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/StoredBlock.h"
#include "uikit/UIGestureRecognizerDelegate.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"
#include "uikit/UITapGestureRecognizer.h"

// A full-screen overlay on the key window, in one of two forms:
// - the action sheet: a list of texts rising from the bottom, the last one
//   set apart as the cancel row; choosing a row reports it and closes;
// - the alert form: a caller's view that flies in from a chosen side to the
//   centre and out again.
// Creating it shows it. A tap on the dimmed area (not on the sheet or the
// alert view) closes it. It takes every tap on the screen until it has left:
// while it closes, taps do nothing (the close block runs once, and nothing
// beneath the still dimmed screen is reached). The overlay closes once;
// every block given to closeAlertView runs once, a block given while it
// closes when it has left.
class ZSActionSheetView : public UIView,
                          public UITableViewDataSource,
                          public UITableViewDelegate,
                          public UIGestureRecognizerDelegate {
public:
    // A block may give the overlay another block, or close it, while it
    // runs: it finishes as it began, and the new block serves the next call.
    using CellDidSelectBlock = StoredBlock<void(const std::string& text, long index)>;
    using CloseAlertviewBlock = StoredBlock<void()>;

    inline static const std::string kActionSheetStyle = "actionSheetView";
    inline static const std::string kAlertStyle = "alertView";

    // initWithActionSheetArray:
    explicit ZSActionSheetView(std::vector<std::string> actionSheetArray);
    // initWithAlertView:
    explicit ZSActionSheetView(const Ref<UIView>& alertView);

    const std::vector<std::string>& dataArray() const { return dataArray_; }
    // The sheet's table, made (below the screen) on first read.
    Ref<UITableView> actionSheetTableView();
    // The table's height: the rows' (44 each, 54 for the cancel row) plus 10,
    // at most two thirds of the screen's height, scrolling beyond.
    double recodeTableViewHeight() const { return recodeTableViewHeight_; }
    const Ref<UIView>& alertView() const { return alertView_; }
    const std::string& viewStyle() const { return viewStyle_; }
    const Ref<UITapGestureRecognizer>& sheetTap() const { return sheetTap_; }
    const Ref<UITapGestureRecognizer>& alertTap() const { return alertTap_; }
    double alertViewW() const { return alertViewW_; }
    double alertViewH() const { return alertViewH_; }

    const CellDidSelectBlock& cellDidSelectBlock() const { return cellDidSelectBlock_; }
    void setCellDidSelectBlock(CellDidSelectBlock block) { cellDidSelectBlock_ = std::move(block); }
    // Called with the chosen row's text and index (the cancel row too).
    void cellDidSelectBlock(CellDidSelectBlock block) { setCellDidSelectBlock(std::move(block)); }
    const CloseAlertviewBlock& closeAlertviewBlock() const { return closeAlertviewBlock_; }
    void setCloseAlertviewBlock(CloseAlertviewBlock block) { closeAlertviewBlock_ = std::move(block); }
    // Stores the block and closes as a background tap does (the block runs).
    // While the overlay closes, the block runs once it has left; after that,
    // at once.
    void closeAlertView(CloseAlertviewBlock block);

    // The alert form's movement: 0 from above, out below; 1 from the left,
    // out right; 2 from the right, out left; 3 from below, out above; 4
    // growing at the centre, shrinking to 1 %; others appear and vanish in
    // place. Setting it runs the entry again.
    int viewAnimateStyle() const { return viewAnimateStyle_; }
    void setViewAnimateStyle(int style);
    bool isBGClose() const { return isBGClose_; }
    // True stops background taps from closing the alert form for good
    // (closeAlertView still closes it).
    void setIsBGClose(bool close);

    // The background tap: the close block, then the form's exit.
    void tap(const Ref<UIGestureRecognizer>& recognizer = nullptr);
    void dissMissView();
    void dissMissAlertView();

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>& recognizer,
                                             const Ref<UITouch>& touch) override;

    // While closing, every point inside goes to the overlay itself.
    Ref<UIView> hitTestWithin(CGPoint point, UIEvent* event, TouchArea area) override;

protected:
    void didCreate() override;

private:
    void setUpActionSheet();
    void setUpAlertView();
    // Dims the screen, joins the key window and listens for background taps.
    void showWithTap(Ref<UITapGestureRecognizer>& tap);
    CGRect alertFrameAt(CGPoint origin) const { return {origin.x, origin.y, alertViewW_, alertViewH_}; }
    // The end of either exit: leaves the window and runs the blocks given
    // to closeAlertView meanwhile.
    void didLeave();

    std::vector<std::string> dataArray_;
    Ref<UITableView> actionSheetTableView_;
    double recodeTableViewHeight_ = 0;
    Ref<UIView> alertView_;
    std::string viewStyle_;
    Ref<UITapGestureRecognizer> sheetTap_;
    Ref<UITapGestureRecognizer> alertTap_;
    double alertViewW_ = 0, alertViewH_ = 0;
    CellDidSelectBlock cellDidSelectBlock_;
    CloseAlertviewBlock closeAlertviewBlock_;
    int viewAnimateStyle_ = 0;
    bool isBGClose_ = false;
    // Closing: an exit is under way, and taps are swallowed until the
    // overlay leaves.
    enum class Phase { Shown, Closing, Gone };
    Phase phase_ = Phase::Shown;
    // The blocks given to closeAlertView while closing, in order.
    std::vector<CloseAlertviewBlock> blocksAfterExit_;
};
