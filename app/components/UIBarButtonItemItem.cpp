#include "app/components/UIBarButtonItemItem.h"

#include "uikit/UIButton.h"

namespace {

// The item's custom view: a plain view of the button's bounds holding it.
Ref<UIBarButtonItem> wrapped(const Ref<UIButton>& button) {
    auto holder = make<UIView>(button->bounds());
    holder->addSubview(button);
    return make<UIBarButtonItem>(holder);
}

}  // namespace

Ref<UIBarButtonItem> UIBarButtonItemItem::itemWithimageHighImageTargetAction(const Ref<UIImage>& image,
                                                                             const Ref<UIImage>& highImage,
                                                                             const Ref<NSObject>& target,
                                                                             UIControl::Action action) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setImage(image, UIControlStateNormal);
    button->setImage(highImage, UIControlStateHighlighted);
    button->sizeToFit();
    button->setBackgroundColor(UIColor::redColor());
    button->addTarget(target, std::move(action), UIControlEventTouchUpInside);
    return wrapped(button);
}

Ref<UIBarButtonItem> UIBarButtonItemItem::itemWithimageSelImageTargetAction(const Ref<UIImage>& image,
                                                                            const Ref<UIImage>& selImage,
                                                                            const Ref<NSObject>& target,
                                                                            UIControl::Action action) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setImage(image, UIControlStateNormal);
    button->setImage(selImage, UIControlStateSelected);
    button->sizeToFit();
    button->addTarget(target, std::move(action), UIControlEventTouchUpInside);
    return wrapped(button);
}

Ref<UIBarButtonItem> UIBarButtonItemItem::backItemWithimage(const Ref<UIImage>& image, const Ref<UIImage>& highImage,
                                                            const Ref<NSObject>& target, UIControl::Action action,
                                                            std::string title) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(std::move(title), UIControlStateNormal);
    button->setImage(image, UIControlStateNormal);
    button->setImage(highImage, UIControlStateHighlighted);
    button->setTitleColor(UIColor::blackColor(), UIControlStateNormal);
    button->setTitleColor(UIColor::redColor(), UIControlStateHighlighted);
    // Sized to its content before the content moves 5 points left, so the
    // button keeps those 5 points at its right.
    button->sizeToFit();
    button->setContentEdgeInsets({0, -5, 0, 0});
    button->addTarget(target, std::move(action), UIControlEventTouchUpInside);
    return make<UIBarButtonItem>(button);
}
