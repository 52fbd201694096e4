#include "app/components/KXSearchBox.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UITextField.h"

namespace KXSearchBox {

Ref<UIView> makeBackground(CGFloat borderWidth) {
    auto background = make<UIView>();
    background->setAccessibilityIdentifier("searchBgView");
    background->setBackgroundColor(UIColor::whiteColor());
    background->layer()->setCornerRadius(12 * layoutScale());
    background->layer()->setBorderWidth(borderWidth);
    background->layer()->setBorderColor(hex("#CCCCCC"));
    return background;
}

Ref<UIImageView> makeLogo() {
    auto logo = make<UIImageView>(UIImage::imageNamed("search"));
    logo->setAccessibilityIdentifier("searchLogoImage");
    return logo;
}

Ref<UITextField> makeField() {
    const CGFloat s = layoutScale();
    auto field = make<UITextField>();
    field->setAccessibilityIdentifier("searchField");
    field->setTextColor(hex("#333333"));
    field->setFont(UIFont::systemFontOfSize(14 * s));
    field->setReturnKeyType(UIReturnKeyType::Search);
    field->setAttributedPlaceholder(NSAttributedString(
        "搜索游戏", {.font = UIFont::systemFontOfSize(14 * s), .foregroundColor = hex("#AAAAAA")}));
    return field;
}

void layOut(const Ref<UIImageView>& logo, const Ref<UIView>& content, bool reachesRight) {
    const CGFloat s = layoutScale();
    snp(logo).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(10 * s);
        make.centerY.equalToSuperview();
        make.width.height.equalTo(16 * s);
    });
    snp(content).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(logo).right).offset(2 * s);
        make.centerY.equalToSuperview();
        if (reachesRight) make.right.equalToSuperview().offset(-10 * s);
    });
}

}  // namespace KXSearchBox
