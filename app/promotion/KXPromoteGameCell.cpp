#include "app/promotion/KXPromoteGameCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIScreen.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {

constexpr CGFloat kGameCellTileTop = 109;
constexpr CGFloat kGameCellTileWidth = 55;
constexpr CGFloat kGameCellTileHeight = 47;
constexpr CGFloat kGameCellCardInset = 12;

}  // namespace

void KXPromoteGameCell::didCreate() {
    UITableViewCell::didCreate();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::clearColor());
    buildCard();
    awakeFromNib();
}

void KXPromoteGameCell::buildCard() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat cardWidth = width - 2 * kGameCellCardInset;
    auto card = make<UIView>(CGRect{kGameCellCardInset, 10, cardWidth, kRowHeight - 10});
    card->setAccessibilityIdentifier("beijingView");
    card->setBackgroundColor(UIColor::whiteColor());
    contentView()->addSubview(card);

    auto icon = make<UIImageView>(CGRect{16, 16, 64, 64});
    icon->setAccessibilityIdentifier("icoIamgeView");
    card->addSubview(icon);

    auto name = make<UILabel>(CGRect{94, 22, cardWidth - 110, 22});
    name->setAccessibilityIdentifier("gameNameLabel");
    name->setFont(UIFont::boldSystemFontOfSize(16));
    name->setTextColor(hex("#333333"));
    card->addSubview(name);

    auto ratio = make<UILabel>(CGRect{94, 52, cardWidth - 110, 18});
    ratio->setAccessibilityIdentifier("fenchengbiliLabel");
    ratio->setFont(UIFont::systemFontOfSize(13));
    ratio->setTextColor(hex("#FF7676"));
    card->addSubview(ratio);

    auto divider = make<UIView>(CGRect{16, 90, cardWidth - 32, 1});
    divider->setBackgroundColor(hex("#EEEEEE"));
    card->addSubview(divider);

    beijingView_ = card;
    icoIamgeView_ = icon;
    gameNameLabel_ = name;
    fenchengbiliLabel_ = ratio;
}

// The looks and the tiles laid over the built card.
void KXPromoteGameCell::awakeFromNib() {
    for (const Ref<UIView>& rounded : {Ref<UIView>(beijingView()), Ref<UIView>(icoIamgeView())}) {
        rounded->layer()->setCornerRadius(12);
        rounded->setClipsToBounds(true);
    }
    dataArr_ = {"涟信", "Pal", "朋友圈", "复制分享"};
    icoArr_ = {"ripple_ico", "Paltupian_ico", "pengyouquna_ico", "fuzhifenxiang_ico"};

    const CGFloat gap = (UIScreen::mainScreen()->bounds().size.width - 220) / 5;
    for (std::size_t i = 0; i < dataArr_.size(); ++i) {
        const auto column = static_cast<CGFloat>(i);
        auto tile = make<UIView>(CGRect{gap + column * (gap + kGameCellTileWidth), kGameCellTileTop, kGameCellTileWidth, kGameCellTileHeight});
        tile->setTag(static_cast<long>(i));
        tile->addGestureRecognizer(
            make<UITapGestureRecognizer>(self<KXPromoteGameCell>(), &KXPromoteGameCell::imviewTaKaifu));

        auto image = make<UIImageView>(CGRect{15, 0, 24, 24});
        image->setImage(UIImage::imageNamed(icoArr_[i]));
        image->setUserInteractionEnabled(true);
        image->setTag(static_cast<long>(i));
        tile->addSubview(image);

        auto label = make<UILabel>(CGRect{0, 30, kGameCellTileWidth, 17});
        label->setTextAlignment(NSTextAlignment::Center);
        label->setFont(UIFont::systemFontOfSize(12));
        label->setTextColor(hex("#444444"));
        label->setText(dataArr_[i]);
        tile->addSubview(label);
        contentView()->addSubview(tile);
    }
}

void KXPromoteGameCell::setModel(Ref<KXPromoteGameModel> model) {
    model_ = std::move(model);
    const KXPromoteGameModel empty;
    const KXPromoteGameModel& game = model_ ? *model_ : empty;
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView(), game.icon ? NSURL::URLWithString(*game.icon) : nullptr);
    gameNameLabel()->setText(KXAnswerText::text(game.name));
    fenchengbiliLabel()->setText("分成比例: " + KXAnswerText::text(game.fcbl));
}

void KXPromoteGameCell::imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer) {
    auto tile = recognizer->view();
    if (auto delegate = this->delegate(); delegate && tile) delegate->KXPromoteGameCellxunzhong(tile->tag(), model_);
}
