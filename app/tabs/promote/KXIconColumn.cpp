#include "app/tabs/promote/KXIconColumn.h"

#include "frameworks/constraints/ConstraintViewDSL.h"

KXIconColumn KXIconColumn::make(const Ref<UIView>& parent, const std::string& name, const std::string& image,
                                Ref<KXLabel> caption) {
    KXIconColumn column;
    column.imageView = ::make<UIImageView>(UIImage::imageNamed(image));
    column.imageView->setAccessibilityIdentifier(name + "ImageView");
    parent->addSubview(column.imageView);
    column.label = std::move(caption);
    column.label->setAccessibilityIdentifier(name + "Label");
    parent->addSubview(column.label);
    column.button = UIButton::buttonWithType(UIButtonType::Custom);
    column.button->setAccessibilityIdentifier(name + "Button");
    parent->addSubview(column.button);
    return column;
}

void KXIconColumn::constrainCaptionAndButton(CGFloat gap) const {
    snp(label).makeConstraints([&](ConstraintMaker& make) {
        make.centerX.equalTo(snp(imageView).centerX);
        make.top.equalTo(snp(imageView).bottom).offset(gap);
    });
    snp(button).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalTo(label);
        make.top.equalTo(snp(imageView).top);
    });
}
