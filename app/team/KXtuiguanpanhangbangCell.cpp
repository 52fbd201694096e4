#include "app/team/KXtuiguanpanhangbangCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/team/KXGridViews.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIScreen.h"

void KXtuiguanpanhangbangCell::didCreate() {
    UITableViewCell::didCreate();
    setupUI();
}

void KXtuiguanpanhangbangCell::setupUI() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width - 40;
    const CGFloat column = width / 3;
    contentView()->setBackgroundColor(UIColor::whiteColor());
    for (int i = 0; i < 3; ++i) {
        auto label = KXGridViews::label({i * column, 0, column, kHeight}, "", UIColor::whiteColor(), 0.65, 1);
        contentView()->addSubview(label);
        labelMuArr_.push_back(label);
    }
    contentView()->addSubview(KXGridViews::line({0, kHeight - 1, width, 1}));
    for (int i = 0; i <= 3; ++i) contentView()->addSubview(KXGridViews::line({i * column, 0, 1, kHeight}));
    icoiamgView_ = make<UIImageView>(
        CGRect{(column - kBadgeSize.width) / 2, kBadgeTop, kBadgeSize.width, kBadgeSize.height});
    icoiamgView_->setAccessibilityIdentifier("icoiamgView");
    contentView()->addSubview(icoiamgView_);
}

void KXtuiguanpanhangbangCell::setModel(const Ref<KXtuiguanpanhangModel>& model) {
    model_ = model;
    if (!model) return;
    const auto& place = labelMuArr_[0];
    if (model->icon == "") {
        place->setText(std::to_string(dijige_ + 1));
        place->setHidden(false);
        icoiamgView_->setHidden(true);
    } else {
        UIImageViewWebCache::sd_setImageWithURL(icoiamgView_, KXAnswerText::imageURL(model->icon));
        icoiamgView_->setHidden(false);
        place->setHidden(true);
    }
    labelMuArr_[1]->setText(KXAnswerText::text(model->username));
    labelMuArr_[2]->setText(KXAnswerText::text(model->money));
}
