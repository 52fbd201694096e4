#include "app/promotion/KXMyGameYouXiCollectionViewCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/UIImage.h"
#include "uikit/UIScreen.h"

namespace {

CGFloat scale() { return UIScreen::mainScreen()->bounds().size.width / 375; }

Ref<UILabel> makeMyGameLabel(const char* outlet, CGRect frame, CGFloat fontSize, long lines, NSTextAlignment alignment,
                       std::string_view colour) {
    auto label = make<UILabel>(frame);
    label->setAccessibilityIdentifier(outlet);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setNumberOfLines(lines);
    label->setTextAlignment(alignment);
    label->setTextColor(hex(colour));
    label->setBackgroundColor(UIColor::whiteColor());
    return label;
}

}  // namespace

CGSize KXMyGameYouXiCollectionViewCell::itemSize() { return {96 * scale(), 86 * scale() + 66}; }

void KXMyGameYouXiCollectionViewCell::didCreate() {
    UICollectionViewCell::didCreate();
    setupUI();
}

void KXMyGameYouXiCollectionViewCell::setupUI() {
    const CGFloat k = scale();
    icoiamgeView_ = make<UIImageView>(CGRect{10 * k, 10 * k, 76 * k, 76 * k});
    icoiamgeView_->setAccessibilityIdentifier("icoiamgeView");
    icoiamgeView_->setBackgroundColor(UIColor::redColor());
    icoiamgeView_->layer()->setCornerRadius(12);
    icoiamgeView_->setClipsToBounds(true);
    contentView()->addSubview(icoiamgeView_);

    fenxianTubiaoImageView_ = make<UIImageView>(CGRect{72 * k, 0, 24 * k, 24 * k});
    fenxianTubiaoImageView_->setAccessibilityIdentifier("fenxianTubiaoImageView");
    fenxianTubiaoImageView_->setImage(UIImage::imageNamed("fenxiangyouxi_ico"));
    contentView()->addSubview(fenxianTubiaoImageView_);

    typeLabel_ = makeMyGameLabel("typeLabel", {10 * k, 86 * k, 38 * k, 29}, 12, 2, NSTextAlignment::Left, "#C1C1CB");
    contentView()->addSubview(typeLabel_);
    bilieLabel_ = makeMyGameLabel("bilieLabel", {48 * k, 86 * k, 38 * k, 29}, 12, 2, NSTextAlignment::Right, "#C1C1CB");
    contentView()->addSubview(bilieLabel_);

    hengxiangView_ = make<UIView>(CGRect{0, 86 * k + 29, 96 * k, 1});
    hengxiangView_->setAccessibilityIdentifier("hengxiangView");
    hengxiangView_->setBackgroundColor(hex("#F5F5FC"));
    contentView()->addSubview(hengxiangView_);

    mingchengNameLabel_ =
        makeMyGameLabel("mingchengNameLabel", {0, 86 * k + 30, 96 * k, 37}, 17, 1, NSTextAlignment::Center, "#444444");
    contentView()->addSubview(mingchengNameLabel_);
}

void KXMyGameYouXiCollectionViewCell::setModel(const Ref<KXPromoteGameModel>& model) {
    model_ = model;
    if (!model) return;
    UIImageViewWebCache::sd_setImageWithURL(icoiamgeView_, KXAnswerText::imageURL(model->icon));
    typeLabel_->setText(KXAnswerText::text(model->type));
    bilieLabel_->setText(KXAnswerText::text(model->fcbl));
    mingchengNameLabel_->setText(KXAnswerText::text(model->name));
}
