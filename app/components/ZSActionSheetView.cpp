#include "app/components/ZSActionSheetView.h"

#include <algorithm>
#include <utility>

#include "app/components/ZSActionSheetCell.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIViewExt.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UITouch.h"
#include "uikit/UIWindow.h"

namespace {

constexpr double kSheetRowHeight = 44;
constexpr double kCancelRowHeight = 54;
constexpr double kSheetEntrySeconds = 0.25;
constexpr double kSheetExitSeconds = 0.3;
constexpr double kAlertSeconds = 0.5;
constexpr int kAlertInitialStyle = 5;
const char* const kSheetCellIdentifier = "actionSheetCell";

}  // namespace

ZSActionSheetView::ZSActionSheetView(std::vector<std::string> actionSheetArray)
    : UIView(currentScreenBounds()), dataArray_(std::move(actionSheetArray)), viewStyle_(kActionSheetStyle) {}

ZSActionSheetView::ZSActionSheetView(const Ref<UIView>& alertView)
    : UIView(currentScreenBounds()), alertView_(alertView), viewStyle_(kAlertStyle) {}

void ZSActionSheetView::didCreate() {
    UIView::didCreate();
    if (viewStyle_ == kAlertStyle)
        setUpAlertView();
    else
        setUpActionSheet();
}

void ZSActionSheetView::showWithTap(Ref<UITapGestureRecognizer>& tap) {
    setBackgroundColor(UIColor::colorWithWhite(0, 0.1));
    if (auto window = UIApplication::sharedApplication()->keyWindow()) window->addSubview(self<UIView>());
    tap = make<UITapGestureRecognizer>(self<ZSActionSheetView>(), &ZSActionSheetView::tap);
    tap->setDelegate(self<ZSActionSheetView>());
    addGestureRecognizer(tap);
}

// --- The action sheet ---

void ZSActionSheetView::setUpActionSheet() {
    auto table = actionSheetTableView();
    table->setDataSource(self<ZSActionSheetView>());
    table->setDelegate(self<ZSActionSheetView>());
    const CGRect screen = currentScreenBounds();
    UIView::animateWithDuration(kSheetEntrySeconds, [&] {
        table->setFrame({0, screen.size.height - recodeTableViewHeight_, screen.size.width, recodeTableViewHeight_});
    });
    table->registerClass(
        [](const std::string& identifier) { return make<ZSActionSheetCell>(UITableViewCellStyle::Default, identifier); },
        kSheetCellIdentifier);
    showWithTap(sheetTap_);
}

Ref<UITableView> ZSActionSheetView::actionSheetTableView() {
    if (!actionSheetTableView_) {
        const CGRect screen = currentScreenBounds();
        auto table = make<UITableView>(CGRect{}, UITableViewStyle::Plain);
        table->setAccessibilityIdentifier("actionSheetTableView");
        const double needed = static_cast<double>(dataArray_.size()) * kSheetRowHeight + 10;
        const double limit = screen.size.height / 3 * 2;
        table->setScrollEnabled(limit < needed);
        recodeTableViewHeight_ = std::min(needed, limit);
        table->setFrame({0, screen.size.height, screen.size.width, recodeTableViewHeight_});
        addSubview(table);
        actionSheetTableView_ = table;
    }
    return actionSheetTableView_;
}

long ZSActionSheetView::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataArray_.size());
}

std::optional<CGFloat> ZSActionSheetView::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                           NSIndexPath indexPath) {
    return indexPath.row() + 1 == static_cast<long>(dataArray_.size()) ? kCancelRowHeight : kSheetRowHeight;
}

Ref<UITableViewCell> ZSActionSheetView::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                       NSIndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<ZSActionSheetCell>(
        tableView->dequeueReusableCellWithIdentifier(kSheetCellIdentifier, indexPath));
    if (!cell) return make<UITableViewCell>(UITableViewCellStyle::Default, kSheetCellIdentifier);
    auto selected = make<UIView>(cell->frame());
    selected->setBackgroundColor(UIColor::colorWithRed(246 / 255.0, 246 / 255.0, 246 / 255.0, 1));
    cell->setSelectedBackgroundView(selected);

    const auto row = static_cast<std::size_t>(indexPath.row());
    cell->infoLabel()->setText(row < dataArray_.size() ? dataArray_[row] : std::string());
    const bool cancelRow = row + 1 == dataArray_.size();
    cell->topView()->setHidden(!cancelRow);
    // A reused cell may come from a middle row: the cancel row puts the
    // label back under its band.
    cell->toTopCconstraint()->setConstant(cancelRow ? 0 : -10);
    return cell;
}

void ZSActionSheetView::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.row());
    // The block may take the sheet off the window and forget it.
    Ref<ZSActionSheetView> keepAlive = self<ZSActionSheetView>();
    if (cellDidSelectBlock_ && row < dataArray_.size()) cellDidSelectBlock_(dataArray_[row], indexPath.row());
    dissMissView();
}

void ZSActionSheetView::dissMissView() {
    phase_ = Phase::Closing;
    auto table = actionSheetTableView_;
    const CGRect screen = currentScreenBounds();
    const double height = recodeTableViewHeight_;
    UIView::animateWithDuration(
        kSheetExitSeconds, 0, UIViewAnimationOptionCurveEaseOut,
        [&] {
            if (table) table->setFrame({0, screen.size.height, screen.size.width, height});
        },
        [self = self<ZSActionSheetView>()](bool) {
            self->actionSheetTableView_ = nullptr;
            self->didLeave();
        });
}

// --- The alert form ---

void ZSActionSheetView::setUpAlertView() {
    if (alertView_) {
        alertViewH_ = UIViewExt::height(*alertView_);
        alertViewW_ = UIViewExt::width(*alertView_);
    }
    setViewAnimateStyle(kAlertInitialStyle);
    showWithTap(alertTap_);
}

void ZSActionSheetView::setViewAnimateStyle(int style) {
    viewAnimateStyle_ = style;
    if (!alertView_) return;
    const CGRect screen = currentScreenBounds();
    const CGFloat middleY = center().y - alertViewH_ / 2;
    const CGFloat centredX = (screen.size.width - alertViewW_) / 2;
    switch (style) {
    case 0: alertView_->setFrame(alertFrameAt({centredX, -alertViewH_})); break;
    case 1: alertView_->setFrame(alertFrameAt({-alertViewW_, middleY})); break;
    case 2: alertView_->setFrame(alertFrameAt({screen.size.width, middleY})); break;
    case 3: alertView_->setFrame(alertFrameAt({centredX, screen.size.height})); break;
    case 4:
        alertView_->setCenter(center());
        alertView_->setTransform(CGAffineTransformMakeScale(0, 0));
        break;
    default: alertView_->setCenter(center()); break;
    }
    UIView::animateWithDuration(kAlertSeconds, 0, 0.5, 0.5, UIViewAnimationOptionCurveLinear, [&] {
        if (style == 4) alertView_->setTransform(CGAffineTransformMakeScale(1, 1));
        alertView_->setCenter(center());
    });
    addSubview(alertView_);
}

void ZSActionSheetView::dissMissAlertView() {
    phase_ = Phase::Closing;
    const CGRect screen = currentScreenBounds();
    const CGFloat middleY = center().y - alertViewH_ / 2;
    const CGFloat centredX = (screen.size.width - alertViewW_) / 2;
    UIView::animateWithDuration(
        kAlertSeconds,
        [&] {
            if (!alertView_) return;
            switch (viewAnimateStyle_) {
            case 0: alertView_->setFrame(alertFrameAt({centredX, screen.size.height})); break;
            case 1: alertView_->setFrame(alertFrameAt({screen.size.width, middleY})); break;
            case 2: alertView_->setFrame(alertFrameAt({-alertViewW_, middleY})); break;
            case 3: alertView_->setFrame(alertFrameAt({centredX, -alertViewH_})); break;
            case 4:
                alertView_->setCenter(center());
                alertView_->setTransform(CGAffineTransformMakeScale(0.01, 0.01));
                break;
            default: break;
            }
        },
        [self = self<ZSActionSheetView>()](bool) { self->didLeave(); });
}

void ZSActionSheetView::didLeave() {
    removeFromSuperview();
    phase_ = Phase::Gone;
    // A block may close another overlay, or give this one another block.
    const auto blocks = std::exchange(blocksAfterExit_, {});
    for (const auto& block : blocks) block();
}

void ZSActionSheetView::setIsBGClose(bool close) {
    isBGClose_ = close;
    if (close && alertTap_) removeGestureRecognizer(alertTap_);
}

void ZSActionSheetView::closeAlertView(CloseAlertviewBlock block) {
    closeAlertviewBlock_ = block;
    switch (phase_) {
    case Phase::Shown: tap(); break;
    case Phase::Closing:
        if (block) blocksAfterExit_.push_back(std::move(block));
        break;
    case Phase::Gone:
        if (block) block();
        break;
    }
}

// --- Background taps ---

void ZSActionSheetView::tap(const Ref<UIGestureRecognizer>&) {
    // A tap during the exit, or after it, closes nothing again.
    if (phase_ != Phase::Shown) return;
    // The close block may take the overlay off the window and forget it
    // (closeAlertView is called through the owner's reference).
    Ref<ZSActionSheetView> keepAlive = self<ZSActionSheetView>();
    // Closing from here on: a close block that calls closeAlertView has its
    // block run once the overlay has left, not a second exit.
    phase_ = Phase::Closing;
    if (closeAlertviewBlock_) closeAlertviewBlock_();
    if (viewStyle_ == kAlertStyle)
        dissMissAlertView();
    else
        dissMissView();
}

Ref<UIView> ZSActionSheetView::hitTestWithin(CGPoint point, UIEvent* event, TouchArea area) {
    auto hit = UIView::hitTestWithin(point, event, area);
    return hit && phase_ == Phase::Closing ? self<UIView>() : hit;
}

bool ZSActionSheetView::gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>& recognizer,
                                                            const Ref<UITouch>& touch) {
    auto touched = touch ? touch->view() : nullptr;
    if (!touched) return true;
    const Ref<UIView> inside = recognizer == sheetTap_ ? Ref<UIView>(actionSheetTableView_) : alertView_;
    return !(inside && touched->isDescendantOfView(inside));
}
