#include "app/team/KXCommissionColumnsCell.h"

#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kCommissionPadding = 8;
constexpr CGFloat kColumnWidth = 62;
// Where the separators stand on a 375-pt screen; the columns start just right of them.
constexpr CGFloat kSeparators[] = {62, 142, 223, 279};

}  // namespace

void KXCommissionColumnsCell::didCreate() {
    UITableViewCell::didCreate();
    setupUI();
}

Ref<UILabel> KXCommissionColumnsCell::column(CGFloat x, CGFloat width, CGFloat alpha, const char* identifier) {
    auto label = make<UILabel>(CGRect{x + kCommissionPadding, 0, width, height_});
    label->setAccessibilityIdentifier(identifier);
    label->setTextAlignment(NSTextAlignment::Left);
    label->setTextColor(UIColor::blackColor());
    label->setFont(UIFont::systemFontOfSize(12));
    label->setAlpha(alpha);
    contentView()->addSubview(label);
    return label;
}

void KXCommissionColumnsCell::setupUI() {
    const CGFloat screenWidth = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat scale = screenWidth / 375;
    const CGFloat width = kColumnWidth * scale;
    userLabel_ = column(0, width, firstAlpha_, "userLabel");
    zhucerenshuLabel_ = column(kSeparators[0] * scale, width, otherAlpha_, "zhucerenshuLabel");
    chongzhijingELabel_ = column(kSeparators[1] * scale, width, otherAlpha_, "chongzhijingELabel");
    shouyiLabel_ = column(kSeparators[2] * scale, width, otherAlpha_, "shouyiLabel");
    jiesuanLabel_ = column(kSeparators[3] * scale, width, otherAlpha_, "jiesuanLabel");
    for (CGFloat x : kSeparators) {
        auto separator = make<UIView>(CGRect{x * scale, 0, 1, height_});
        separator->setBackgroundColor(KXTeamColors::screenBackground());
        contentView()->addSubview(separator);
    }
    auto bottom = make<UIView>(CGRect{0, height_ - 1, screenWidth - 40 * scale, 1});
    bottom->setBackgroundColor(KXTeamColors::screenBackground());
    contentView()->addSubview(bottom);
}
