#include "app/team/KXPromotionAnnouncementCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kNoticeCellCardInset = 12;
constexpr CGFloat kNoticeCellPadding = 12;
constexpr CGFloat kImageSide = 64;
constexpr CGFloat kTypeWidth = 48;

Ref<UILabel> makeNoticeLabel(const std::string& outlet, CGRect frame, const UIFont& font, UIColor color) {
    auto label = make<UILabel>(frame);
    label->setAccessibilityIdentifier(outlet);
    label->setFont(font);
    label->setTextColor(color);
    return label;
}

}  // namespace

Ref<KXPromotionAnnouncementCell> KXPromotionAnnouncementCell::cellFromInterfaceFile(const std::string& reuseIdentifier) {
    auto cell = make<KXPromotionAnnouncementCell>(UITableViewCellStyle::Default, reuseIdentifier);
    cell->buildCard();
    cell->awakeFromNib();
    return cell;
}

void KXPromotionAnnouncementCell::buildCard() {
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(KXTeamColors::screenBackground());
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat cardWidth = width - 2 * kNoticeCellCardInset;

    auto card = make<UIView>(CGRect{kNoticeCellCardInset, 10, cardWidth, kRowHeight - 10});
    card->setAccessibilityIdentifier("beijingbaiseView");
    card->setBackgroundColor(UIColor::whiteColor());
    contentView()->addSubview(card);
    beijingbaiseView_ = card;

    auto title = makeNoticeLabel("biaotiLabel", {kNoticeCellPadding, kNoticeCellPadding, cardWidth - 3 * kNoticeCellPadding - kTypeWidth, 22},
                           UIFont::boldSystemFontOfSize(15), KXTeamColors::bodyText());
    card->addSubview(title);
    biaotiLabel_ = title;

    auto type = makeNoticeLabel("TypeLabel", {cardWidth - kNoticeCellPadding - kTypeWidth, kNoticeCellPadding + 1, kTypeWidth, 20},
                          UIFont::systemFontOfSize(11), KXTeamColors::accentBlue());
    type->setTextAlignment(NSTextAlignment::Center);
    type->setBackgroundColor(UIColor::colorWithRed(232 / 255.0, 233 / 255.0, 252 / 255.0, 1));
    type->layer()->setCornerRadius(10);
    type->layer()->setMasksToBounds(true);
    card->addSubview(type);
    TypeLabel_ = type;

    auto image = make<UIImageView>(CGRect{kNoticeCellPadding, 44, kImageSide, kImageSide});
    image->setAccessibilityIdentifier("icoimagView");
    image->setContentMode(UIViewContentMode::ScaleAspectFill);
    image->layer()->setCornerRadius(6);
    image->layer()->setMasksToBounds(true);
    card->addSubview(image);
    icoimagView_ = image;

    const CGFloat textX = kNoticeCellPadding + kImageSide + kNoticeCellPadding;
    auto summary = makeNoticeLabel("miaoshuLabel", {textX, 44, cardWidth - textX - kNoticeCellPadding, 40},
                             UIFont::systemFontOfSize(13), UIColor::colorWithWhite(0.53, 1));
    summary->setNumberOfLines(2);
    card->addSubview(summary);
    miaoshuLabel_ = summary;

    auto date = makeNoticeLabel("dateLabel", {textX, 90, cardWidth - textX - kNoticeCellPadding, 18}, UIFont::systemFontOfSize(12),
                          UIColor::colorWithWhite(0.6, 1));
    card->addSubview(date);
    dateLabel_ = date;
}

void KXPromotionAnnouncementCell::awakeFromNib() {
    if (auto card = beijingbaiseView()) {
        card->layer()->setCornerRadius(12);
        card->layer()->setMasksToBounds(true);
    }
}

void KXPromotionAnnouncementCell::setModel(const Ref<KXPromotionAnnouncementModel>& model) {
    model_ = model;
    if (!model) return;
    // An announcement without an image address shows none (and clears the
    // image a reused cell still holds).
    if (auto image = icoimagView())
        UIImageViewWebCache::sd_setImageWithURL(image, model->icon ? NSURL::URLWithString(*model->icon) : nullptr);
    const std::pair<Ref<UILabel>, const std::optional<std::string>*> shown[] = {
        {TypeLabel(), &model->type}, {biaotiLabel(), &model->title}, {dateLabel(), &model->time},
        {miaoshuLabel(), &model->des}};
    for (const auto& [label, text] : shown) {
        if (label) label->setText(KXAnswerText::text(*text));
    }
}
