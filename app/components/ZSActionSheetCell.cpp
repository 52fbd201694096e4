#include "app/components/ZSActionSheetCell.h"

#include "app/shell/UIColorHex.h"

namespace {
constexpr CGFloat kBandHeight = 10;
constexpr CGFloat kTextHeight = 44;
}  // namespace

void ZSActionSheetCell::didCreate() {
    UITableViewCell::didCreate();
    auto content = contentView();

    auto band = make<UIView>();
    band->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F2F2F2"));
    band->setTranslatesAutoresizingMaskIntoConstraints(false);
    band->setAccessibilityIdentifier("topView");
    content->addSubview(band);
    topView_ = band;

    auto label = make<UILabel>();
    label->setFont(UIFont::systemFontOfSize(16));
    label->setTextColor(UIColorHex::colorWithHexStringWithHexString("#333333"));
    label->setTextAlignment(NSTextAlignment::Center);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setAccessibilityIdentifier("infoLabel");
    content->addSubview(label);
    infoLabel_ = label;

    using A = NSLayoutAttribute;
    using R = NSLayoutRelation;
    auto toTop = NSLayoutConstraint::constraintWithItem(label, A::Top, R::Equal, band, A::Bottom, 1, 0);
    NSLayoutConstraint::activateConstraints({
        NSLayoutConstraint::constraintWithItem(band, A::Top, R::Equal, content, A::Top, 1, 0),
        NSLayoutConstraint::constraintWithItem(band, A::Left, R::Equal, content, A::Left, 1, 0),
        NSLayoutConstraint::constraintWithItem(band, A::Right, R::Equal, content, A::Right, 1, 0),
        NSLayoutConstraint::constraintWithItem(band, A::Height, R::Equal, nullptr, A::NotAnAttribute, 1, kBandHeight),
        toTop,
        NSLayoutConstraint::constraintWithItem(label, A::Left, R::Equal, content, A::Left, 1, 0),
        NSLayoutConstraint::constraintWithItem(label, A::Right, R::Equal, content, A::Right, 1, 0),
        NSLayoutConstraint::constraintWithItem(label, A::Height, R::Equal, nullptr, A::NotAnAttribute, 1, kTextHeight),
    });
    toTopCconstraint_ = toTop;
}
