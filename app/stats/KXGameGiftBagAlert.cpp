#include "app/stats/KXGameGiftBagAlert.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXGiftBagParts.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "uikit/UIApplication.h"
#include "uikit/UIViewController.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UIWindow.h"

namespace {

// The root screen's view of the last window that is the key window.
Ref<UIView> keyRootView() {
    auto application = UIApplication::sharedApplication();
    auto windows = application->windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->isKeyWindow()) continue;
        auto root = (*it)->rootViewController();
        return root ? root->view() : nullptr;
    }
    return nullptr;
}

std::string descriptionFiller() {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "礼包介绍";
    return text;
}

}  // namespace

void KXGameGiftBagAlert::didCreate() {
    MMPopupView::didCreate();
    setType(MMPopupType::Alert);
    setBackgroundColor(UIColor::clearColor());
    setAttachedView(keyRootView());
    setUpViews();
    setUpConstraints();
    setFrame({{0, 0}, {screenWidth(), screenHeight()}});
}

void KXGameGiftBagAlert::setUpViews() {
    const CGFloat s = layoutScale();
    tapBgView_ = make<UIView>();
    tapBgView_->setAccessibilityIdentifier("tapBgView");
    tapBgView_->setBackgroundColor(UIColor::clearColor());
    tapBgView_->addGestureRecognizer(
        make<UITapGestureRecognizer>(self<KXGameGiftBagAlert>(), &KXGameGiftBagAlert::bacgroundTap));
    addSubview(tapBgView_);

    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->layer()->setCornerRadius(16 * s);
    addSubview(bgView_);

    // Red shows until the image has loaded, and stays when it cannot load.
    gameImageView_ = KXStatsList::gameIconView("gameImageView");
    gameImageView_->setBackgroundColor(UIColor::redColor());
    bgView_->addSubview(gameImageView_);

    nameLabel_ = KXLabel::boldLabel("名字", "#444444", 18 * s);
    nameLabel_->setAccessibilityIdentifier("nameLabel");
    bgView_->addSubview(nameLabel_);

    progressBar_ = KXGiftBagParts::makeProgressBar(0.88);
    progressBar_->setAccessibilityIdentifier("progressBar");
    bgView_->addSubview(progressBar_);

    surplusLabel_ = KXLabel::systemLabel("剩余：12%", "#888888", 10 * s);
    surplusLabel_->setAccessibilityIdentifier("surplusLabel");
    bgView_->addSubview(surplusLabel_);

    contentBgView_ = make<UIView>();
    contentBgView_->setAccessibilityIdentifier("contentBgView");
    contentBgView_->setBackgroundColor(hex("#F5F5F5"));
    bgView_->addSubview(contentBgView_);

    contentLabel_ = KXLabel::systemLabel(descriptionFiller(), "#888888", 12 * s);
    contentLabel_->setAccessibilityIdentifier("contentLabel");
    contentLabel_->setNumberOfLines(0);
    contentBgView_->addSubview(contentLabel_);

    copyButton_ = KXGiftBagParts::makeCopyButton();
    copyButton_->setAccessibilityIdentifier("copyButton");
    copyButton_->setClipsToBounds(true);
    copyButton_->addTarget(self<KXGameGiftBagAlert>(), &KXGameGiftBagAlert::copyButtonClick,
                           UIControlEventTouchUpInside);
    bgView_->addSubview(copyButton_);

    cancelButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    cancelButton_->setAccessibilityIdentifier("cancelButton");
    cancelButton_->setImage(UIImage::imageNamed("cancelButton"), UIControlStateNormal);
    cancelButton_->addTarget(self<KXGameGiftBagAlert>(), &KXGameGiftBagAlert::cancelButtonClick,
                             UIControlEventTouchUpInside);
    bgView_->addSubview(cancelButton_);
}

void KXGameGiftBagAlert::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(tapBgView_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalToSuperview().offset(148 * s);
    });
    snp(gameImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.top.equalToSuperview().offset(20 * s);
        make.width.height.equalTo(52 * s);
    });
    snp(nameLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerY.equalTo(gameImageView_);
        make.left.equalTo(snp(gameImageView_).right).offset(8 * s);
    });
    snp(progressBar_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.top.equalTo(snp(gameImageView_).bottom).offset(12 * s);
        make.width.equalTo(212 * s);
        make.height.equalTo(10 * s);
    });
    snp(surplusLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(progressBar_).right).offset(13 * s);
        make.centerY.equalTo(progressBar_);
    });
    snp(contentBgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalTo(snp(progressBar_).bottom).offset(12 * s);
    });
    snp(contentLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.edges.equalToSuperview().inset(10 * s);
    });
    snp(copyButton_).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalTo(snp(contentBgView_).bottom).offset(20 * s);
        make.left.equalToSuperview().offset(20 * s);
        make.right.bottom.equalToSuperview().offset(-20 * s);
        make.height.equalTo(44 * s);
    });
    snp(cancelButton_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalToSuperview().offset(20 * s);
        make.width.height.equalTo(16 * s);
    });
}

void KXGameGiftBagAlert::setModel(Ref<KXGameGiftBagModel> model) {
    model_ = std::move(model);
    KXGiftBagParts::loadImage(gameImageView_, model_);
    nameLabel_->setText(model_ ? model_->gname : std::string());
    contentLabel_->setText(model_ ? model_->content : std::string());
    surplusLabel_->setText(KXGiftBagParts::surplusText(model_));
    progressBar_->setProgress(KXGiftBagParts::handedOutRatio(model_));
}

void KXGameGiftBagAlert::bacgroundTap(const Ref<UITapGestureRecognizer>&) { hide(); }

void KXGameGiftBagAlert::cancelButtonClick(const Ref<UIButton>&) { hide(); }

void KXGameGiftBagAlert::copyButtonClick(const Ref<UIButton>&) {
    KXGiftBagParts::copyLink(model_);
    showToast(self<UIView>(), "复制成功");
}
