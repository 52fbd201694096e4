#include "frameworks/hud/SVProgressHUD.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIApplication.h"
#include "uikit/UILabel.h"
#include "uikit/UIWindow.h"

namespace {

constexpr CGFloat kBoxPadding = 16;
constexpr CGFloat kMarkSide = 28;
constexpr CGFloat kMarkSpacing = 8;
constexpr CGFloat kMaxTextWidth = 200;

// The circled "i" of an information status, in white.
class InfoMarkView : public UIView {
public:
    void drawRect(CGRect) override {
        auto context = UIGraphicsGetCurrentContext();
        if (!context) return;
        CGRect area = CGRectInset(bounds(), 1.5, 1.5);
        CGFloat side = area.size.width;
        CGContextSetStrokeColorWithColor(context, UIColor::whiteColor());
        CGContextSetFillColorWithColor(context, UIColor::whiteColor());
        CGContextSetLineWidth(context, 2);
        CGContextStrokeEllipseInRect(context, area);
        CGFloat midX = CGRectGetMidX(area);
        CGFloat dot = side * 0.14;
        CGContextFillEllipseInRect(context, {{midX - dot / 2, area.origin.y + side * 0.2}, {dot, dot}});
        CGFloat bar = side * 0.12;
        CGContextFillRect(context, {{midX - bar / 2, area.origin.y + side * 0.42}, {bar, side * 0.38}});
    }
};

// The toast on screen (main thread only) and the count of toasts shown, so a
// pending dismissal leaves a newer toast alone.
WeakRef<SVProgressHUD> shownToast;
std::uint64_t shownCount = 0;

}  // namespace

void SVProgressHUD::didCreate() {
    UIView::didCreate();
    setUserInteractionEnabled(false);
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setOpaque(false);

    box_ = make<UIView>();
    box_->setBackgroundColor(UIColor::colorWithWhite(0, 0.8));
    box_->layer()->setCornerRadius(14);
    addSubview(box_);

    mark_ = make<InfoMarkView>();
    mark_->setOpaque(false);
    box_->addSubview(mark_);

    statusLabel_ = make<UILabel>();
    statusLabel_->setFont(UIFont::systemFontOfSize(15));
    statusLabel_->setTextColor(UIColor::whiteColor());
    statusLabel_->setTextAlignment(NSTextAlignment::Center);
    statusLabel_->setNumberOfLines(0);
    box_->addSubview(statusLabel_);
}

void SVProgressHUD::layoutSubviews() {
    CGSize text = statusLabel_->sizeThatFits({kMaxTextWidth, 10000});
    text.width = std::min(text.width, kMaxTextWidth);
    CGFloat width = std::max(text.width, kMarkSide) + 2 * kBoxPadding;
    CGFloat height = kMarkSide + (text.height > 0 ? kMarkSpacing + text.height : 0) + 2 * kBoxPadding;
    CGRect area = bounds();
    box_->setFrame({{std::round(CGRectGetMidX(area) - width / 2), std::round(CGRectGetMidY(area) - height / 2)},
                    {std::ceil(width), std::ceil(height)}});
    mark_->setFrame({{std::round((width - kMarkSide) / 2), kBoxPadding}, {kMarkSide, kMarkSide}});
    statusLabel_->setFrame(
        {{std::round((width - text.width) / 2), kBoxPadding + kMarkSide + kMarkSpacing}, text});
}

double SVProgressHUD::displayDurationForString(const std::string& status) {
    double characters = static_cast<double>(NSString::length(status));
    return std::min(1.5 + 0.06 * characters, 5.0);
}

void SVProgressHUD::showInfoWithStatus(const std::string& status) {
    NSLog(status);
    if (NSThread::isMainThread()) {
        showOnMainThread(status);
    } else {
        DispatchQueue::main()->async([status] { showOnMainThread(status); });
    }
}

void SVProgressHUD::showOnMainThread(const std::string& status) {
    dismiss();
    auto window = UIApplication::sharedApplication()->keyWindow();
    if (!window) return;
    auto toast = make<SVProgressHUD>();
    toast->setFrame(window->bounds());
    toast->statusLabel_->setText(status);
    window->addSubview(toast);
    toast->setNeedsLayout();
    shownToast = toast;
    std::uint64_t shown = ++shownCount;
    DispatchQueue::main()->after(displayDurationForString(status), [shown] {
        if (shown == shownCount) dismiss();
    });
}

void SVProgressHUD::dismiss() {
    if (auto toast = shownToast.lock()) toast->removeFromSuperview();
    shownToast.reset();
}
