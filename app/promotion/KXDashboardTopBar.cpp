#include "app/promotion/KXDashboardTopBar.h"

#include "app/promotion/KXNotchedScreen.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIScreen.h"

namespace {

// The account line's top, and the avatar's.
CGFloat contentTop() { return KXNotchedScreen::isNotched() ? 59 : 35; }

}  // namespace

KXDashboardTopBar::KXDashboardTopBar()
    : UIView(CGRect{0, 0, UIScreen::mainScreen()->bounds().size.width, height()}) {}

CGFloat KXDashboardTopBar::height() { return KXNotchedScreen::isNotched() ? 108 : 84; }

void KXDashboardTopBar::didCreate() {
    UIView::didCreate();
    const CGFloat width = bounds().size.width;
    setAccessibilityIdentifier("navigationTopView");
    setBackgroundColor(UIColor::whiteColor());

    zhanghaoLabel_ = make<UILabel>(CGRect{20, contentTop(), 300, 25});
    zhanghaoLabel_->setAccessibilityIdentifier("zhanghaoLabel");
    zhanghaoLabel_->setTextAlignment(NSTextAlignment::Left);
    zhanghaoLabel_->setTextColor(UIColorHex::colorWithHexStringWithHexString("#444444"));
    zhanghaoLabel_->setFont(UIFont::systemFontOfSize(18));
    zhanghaoLabel_->setText("63527373");
    addSubview(zhanghaoLabel_);

    const CGRect account = zhanghaoLabel_->frame();
    qudaoLabel_ = make<UILabel>(CGRect{20, account.origin.y + account.size.height, 300, 12});
    qudaoLabel_->setAccessibilityIdentifier("qudaoLabel");
    qudaoLabel_->setTextAlignment(NSTextAlignment::Left);
    qudaoLabel_->setTextColor(UIColorHex::colorWithHexStringWithHexString("#C1C1CB"));
    qudaoLabel_->setFont(UIFont::systemFontOfSize(10));
    qudaoLabel_->setText("63527373");
    addSubview(qudaoLabel_);

    icoIamgeView_ = make<UIImageView>(CGRect{width - 56, contentTop(), 36, 36});
    icoIamgeView_->setAccessibilityIdentifier("icoIamgeView");
    icoIamgeView_->setBackgroundColor(UIColor::redColor());
    icoIamgeView_->layer()->setCornerRadius(12);
    icoIamgeView_->setClipsToBounds(true);
    addSubview(icoIamgeView_);
}

void KXDashboardTopBar::setupNavigateshuju() {
    zhanghaoLabel_->setText(KXLocallyStoredData::getUsername());
    qudaoLabel_->setText("用户名");
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView_, NSURL::URLWithString(KXLocallyStoredData::getHead()));
}
