#include "app/stats/KXGameGiftBagCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/stats/KXGiftBagParts.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXGameGiftBagCell::didCreate() {
    UITableViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXGameGiftBagCell::setUpViews() {
    const CGFloat s = layoutScale();
    bgView_ = KXStatsList::addCard(self<KXGameGiftBagCell>());

    gameImageView_ = KXStatsList::gameIconView("gameImageView");
    bgView_->addSubview(gameImageView_);

    titleLabel_ = KXLabel::boldLabel("名字", "#444444", 14 * s);
    titleLabel_->setAccessibilityIdentifier("titleLabel");
    bgView_->addSubview(titleLabel_);

    contentLabel_ = KXLabel::boldLabel("礼包介绍", "#888888", 12 * s);
    contentLabel_->setAccessibilityIdentifier("contentLabel");
    contentLabel_->setNumberOfLines(1);
    bgView_->addSubview(contentLabel_);

    progressBar_ = KXGiftBagParts::makeProgressBar(0);
    progressBar_->setAccessibilityIdentifier("progressBar");
    bgView_->addSubview(progressBar_);

    surplusLabel_ = KXLabel::systemLabel("", "#888888", 10 * s);
    surplusLabel_->setAccessibilityIdentifier("surplusLabel");
    bgView_->addSubview(surplusLabel_);

    copyButton_ = KXGiftBagParts::makeCopyButton();
    copyButton_->setAccessibilityIdentifier("copyButton");
    copyButton_->addTarget(self<KXGameGiftBagCell>(), &KXGameGiftBagCell::copyButtonClick,
                           UIControlEventTouchUpInside);
    bgView_->addSubview(copyButton_);
}

void KXGameGiftBagCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(gameImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.top.equalToSuperview().offset(10 * s);
        make.width.equalTo(52 * s);
        // Below required: the cell is first laid out at a height of its own
        // before the table sizes it to fit.
        make.height.equalTo(52 * s).priority(999);
        make.bottom.equalToSuperview().offset(-13 * s);
    });
    snp(titleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(8 * s);
        make.top.equalTo(snp(gameImageView_).top);
    });
    snp(contentLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(titleLabel_).left);
        make.top.equalTo(snp(titleLabel_).bottom).offset(2 * s);
        make.right.equalTo(snp(copyButton_).left).offset(-20 * s);
    });
    snp(progressBar_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(titleLabel_).left);
        make.bottom.equalTo(snp(gameImageView_).bottom);
        make.width.equalTo(100 * s);
        make.height.equalTo(10 * s);
    });
    snp(surplusLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(progressBar_).right).offset(6 * s);
        make.centerY.equalTo(progressBar_);
    });
    snp(copyButton_).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalToSuperview().offset(28 * s);
        make.right.equalToSuperview().offset(-10 * s);
        make.width.equalTo(68 * s);
        make.height.equalTo(24 * s);
    });
}

void KXGameGiftBagCell::setModel(Ref<KXGameGiftBagModel> model) {
    model_ = std::move(model);
    KXGiftBagParts::loadImage(gameImageView_, model_);
    titleLabel_->setText(model_ ? model_->gname : std::string());
    contentLabel_->setText(model_ ? model_->content : std::string());
    surplusLabel_->setText(KXGiftBagParts::surplusText(model_));
    progressBar_->setProgress(KXGiftBagParts::handedOutRatio(model_));
}

void KXGameGiftBagCell::copyButtonClick(const Ref<UIButton>&) {
    KXGiftBagParts::copyLink(model_);
    if (auto window = keyWindow()) showToast(window, "复制成功");
}
