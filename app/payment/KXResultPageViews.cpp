#include "app/payment/KXResultPageViews.h"

#include <algorithm>

#include "app/payment/KXRecordListLook.h"
#include "app/team/KXTeamColors.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"

namespace {

constexpr CGFloat kCardMargin = 15;
constexpr CGFloat kResultIconSide = 64;
// The explanation's place under the headline, and its height when its text
// takes a line.
constexpr CGFloat kDetailTop = 142;
constexpr CGFloat kDetailHeight = 40;

Ref<UILabel> centredLabel(CGRect frame, const std::string& text, const UIFont& font, const UIColor& colour) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setFont(font);
    label->setTextColor(colour);
    label->setTextAlignment(NSTextAlignment::Center);
    label->setNumberOfLines(0);
    return label;
}

}  // namespace

Ref<UIView> KXResultPageViews::card(const Ref<UIView>& page, CGFloat height, const std::string& outlet) {
    auto card = make<UIView>(CGRectMake(kCardMargin, kCardMargin, page->bounds().size.width - 2 * kCardMargin, height));
    card->setAccessibilityIdentifier(outlet);
    card->setBackgroundColor(UIColor::whiteColor());
    card->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    page->addSubview(card);
    return card;
}

CGFloat KXResultPageViews::addHeadline(const Ref<UIView>& card, const std::string& imageName,
                                       const std::string& headline, const std::string& explanation) {
    const CGFloat width = card->bounds().size.width;
    auto icon = make<UIImageView>(CGRectMake((width - kResultIconSide) / 2, 30, kResultIconSide, kResultIconSide));
    icon->setImage(UIImage::imageNamed(imageName));
    icon->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin);
    card->addSubview(icon);
    auto title = centredLabel(CGRectMake(0, 110, width, 26), headline, UIFont::boldSystemFontOfSize(20), KXTeamColors::bodyText());
    title->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    card->addSubview(title);
    auto detail = centredLabel(CGRectMake(20, kDetailTop, width - 40, kDetailHeight), explanation,
                               UIFont::systemFontOfSize(14), KXRecordListLook::secondaryText());
    // The explanation tells the user what to do: as tall as its lines at
    // this width, so none is cut off, and the card grows by what it adds.
    const CGFloat extra = std::max<CGFloat>(0, detail->sizeThatFits(CGSizeMake(width - 40, 0)).height - kDetailHeight);
    detail->setFrame(CGRectMake(20, kDetailTop, width - 40, kDetailHeight + extra));
    detail->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    card->addSubview(detail);
    CGRect grown = card->frame();
    grown.size.height += extra;
    card->setFrame(grown);
    return kDetailTop + kDetailHeight + extra;
}

Ref<UIButton> KXResultPageViews::button(CGRect frame, const std::string& title, const std::string& identifier,
                                        bool filled) {
    auto button = make<UIButton>(CGRectMake(frame.origin.x, frame.origin.y, frame.size.width, 44));
    button->setAccessibilityIdentifier(identifier);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(16));
    button->setTitleColor(filled ? UIColor::whiteColor() : KXTeamColors::accentBlue(), UIControlStateNormal);
    button->setBackgroundColor(filled ? KXTeamColors::accentBlue() : UIColor::whiteColor());
    button->layer()->setCornerRadius(22);
    button->layer()->setBorderColor(KXTeamColors::accentBlue());
    button->layer()->setBorderWidth(filled ? 0 : 1);
    button->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return button;
}
