#include "app/tabs/assets/KXAssetsSummaryViews.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/KXTabViews.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

KXAssetsPanel KXAssetsPanel::buildInto(const Ref<UIView>& container) {
    const CGFloat s = layoutScale();
    container->setBackgroundColor(hex("#5879FF"));
    KXAssetsPanel panel;
    panel.promoteTitleLabel = KXLabel::boldLabel("推广金额 (元)", "#FFFFFF", 12 * s);
    panel.priceLabel = KXLabel::boldLabel("2400.00", "#FFFFFF", 36 * s);
    panel.applyButton = KXTabViews::titleButton("申请结算", "#5559EA", 14 * s);
    panel.applyButton->setBackgroundColor(UIColor::whiteColor());
    panel.applyButton->layer()->setCornerRadius(16 * s);
    panel.shareTitleLabel = KXLabel::boldLabel("分享佣金", "#FFFFFF", 12 * s);
    panel.sharePriceLabel = KXLabel::boldLabel("66.00", "#FFFFFF", 22 * s);
    panel.lineView = make<UIView>();
    panel.lineView->setBackgroundColor(UIColor::whiteColor());
    panel.withdrawTitleLabel = KXLabel::boldLabel("已提现佣金", "#FFFFFF", 12 * s);
    panel.withdrawPriceLabel = KXLabel::boldLabel("20.00", "#FFFFFF", 22 * s);
    for (const Ref<UIView>& view : std::initializer_list<Ref<UIView>>{
             panel.promoteTitleLabel, panel.priceLabel, panel.applyButton, panel.shareTitleLabel,
             panel.sharePriceLabel, panel.lineView, panel.withdrawTitleLabel, panel.withdrawPriceLabel}) {
        container->addSubview(view);
    }

    auto title = panel.promoteTitleLabel;
    auto price = panel.priceLabel;
    auto shareTitle = panel.shareTitleLabel;
    auto line = panel.lineView;
    auto withdrawTitle = panel.withdrawTitleLabel;
    snp(title).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(20 * s);
        make.top.equalTo(74 * s);
    });
    snp(price).makeConstraints([s, title](ConstraintMaker& make) {
        make.left.equalTo(snp(title).left);
        make.top.equalTo(snp(title).bottom).offset(11 * s);
    });
    snp(panel.applyButton).makeConstraints([s, price](ConstraintMaker& make) {
        make.centerY.equalTo(snp(price).centerY);
        make.width.equalTo(78 * s);
        make.height.equalTo(32 * s);
        make.right.equalTo(-20 * s);
    });
    snp(shareTitle).makeConstraints([s, price](ConstraintMaker& make) {
        make.left.equalTo(69 * s);
        make.top.equalTo(snp(price).bottom).offset(39 * s);
    });
    snp(panel.sharePriceLabel).makeConstraints([s, shareTitle](ConstraintMaker& make) {
        make.centerX.equalTo(snp(shareTitle).centerX);
        make.top.equalTo(snp(shareTitle).bottom).offset(4 * s);
    });
    snp(line).makeConstraints([s](ConstraintMaker& make) {
        make.width.equalTo(1 * s);
        make.height.equalTo(30 * s);
        make.centerX.equalToSuperview();
        make.bottom.equalTo(-27 * s);
    });
    snp(withdrawTitle).makeConstraints([s, line, shareTitle](ConstraintMaker& make) {
        make.left.equalTo(snp(line).right).offset(63 * s);
        make.centerY.equalTo(snp(shareTitle).centerY);
    });
    snp(panel.withdrawPriceLabel).makeConstraints([s, withdrawTitle](ConstraintMaker& make) {
        make.centerX.equalTo(snp(withdrawTitle).centerX);
        make.top.equalTo(snp(withdrawTitle).bottom).offset(4 * s);
    });
    return panel;
}

void KXAssetsTopHeader::didCreate() {
    UITableViewHeaderFooterView::didCreate();
    panel_ = KXAssetsPanel::buildInto(contentView());
    panel_.applyButton->addTarget(self<KXAssetsTopHeader>(), &KXAssetsTopHeader::applyButtonClicked,
                                  UIControlEventTouchUpInside);
}

void KXAssetsTopHeader::setAssetsModel(const Ref<KXAssetsModel>& model) {
    assetsModel_ = model;
    // Without an answer the figures show as unknown, keeping their lines.
    panel_.priceLabel->setText(KXNoDataText::figure(model ? model->money : std::string()));
    panel_.sharePriceLabel->setText(KXNoDataText::figure(model ? model->shareMoney : std::string()));
    panel_.withdrawPriceLabel->setText(KXNoDataText::figure(model ? model->withdraw : std::string()));
}

void KXAssetsTopHeader::applyButtonClicked() {
    if (applyButtonClick) applyButtonClick();
}

void KXAssetsTopView::didCreate() {
    UIView::didCreate();
    panel_ = KXAssetsPanel::buildInto(self<UIView>());
}

void KXAssetsTopCell::didCreate() {
    UITableViewCell::didCreate();
    const CGFloat s = layoutScale();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::clearColor());
    bgView_ = make<UIView>();
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->layer()->setCornerRadius(12 * s);
    contentView()->addSubview(bgView_);
    snp(bgView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(20 * s);
        make.right.equalTo(-20 * s);
        make.top.equalTo(10 * s);
        make.bottom.equalTo(-10 * s);
        make.height.equalTo(100 * s).priority(999);
    });

    promoteNotice_ = makeShortcut("promoteNotice", "推广公告", &KXAssetsTopCell::promoteNoticeButtonClick);
    promoteQRCode_ = makeShortcut("promoteQRCode", "分享二维码", &KXAssetsTopCell::promoteQRCodeButtonClick);
    divideDetail_ = makeShortcut("divideDetail", "分成明细", &KXAssetsTopCell::divideDetailButtonClick);
    auto first = promoteNotice_.imageView;
    snp(first).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(39 * s);
        make.top.equalTo(20 * s);
    });
    snp(promoteQRCode_.imageView).makeConstraints([first](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.centerY.equalTo(snp(first).centerY);
    });
    snp(divideDetail_.imageView).makeConstraints([s, first](ConstraintMaker& make) {
        make.right.equalTo(-38 * s);
        make.centerY.equalTo(snp(first).centerY);
    });
}

KXAssetsTopCell::Shortcut KXAssetsTopCell::makeShortcut(const std::string& image, const std::string& caption,
                                                        StoredBlock<void()> KXAssetsTopCell::*click) {
    const CGFloat s = layoutScale();
    Shortcut shortcut{make<UIImageView>(UIImage::imageNamed(image)), KXLabel::boldLabel(caption, "#333333", 14 * s),
                      UIButton::buttonWithType(UIButtonType::Custom)};
    bgView_->addSubview(shortcut.imageView);
    bgView_->addSubview(shortcut.label);
    bgView_->addSubview(shortcut.button);
    WeakRef<KXAssetsTopCell> weak = self<KXAssetsTopCell>();
    shortcut.button->addTarget(
        self<KXAssetsTopCell>(),
        [weak, click](const Ref<UIControl>&) {
            auto cell = weak.lock();
            if (cell && (cell.get()->*click)) (cell.get()->*click)();
        },
        UIControlEventTouchUpInside);
    auto icon = shortcut.imageView;
    auto label = shortcut.label;
    snp(icon).makeConstraints([s](ConstraintMaker& make) { make.width.height.equalTo(34 * s); });
    snp(label).makeConstraints([s, icon](ConstraintMaker& make) {
        make.centerX.equalTo(snp(icon).centerX);
        make.top.equalTo(snp(icon).bottom).offset(9 * s);
    });
    snp(shortcut.button).makeConstraints([icon, label](ConstraintMaker& make) {
        make.left.right.bottom.equalTo(label);
        make.top.equalTo(snp(icon).top);
    });
    return shortcut;
}
