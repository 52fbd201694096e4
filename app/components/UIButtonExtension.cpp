#include "app/components/UIButtonExtension.h"

#include <algorithm>

#include "app/components/UIImageExtension.h"

// Every button of the program gets the enlarged touch area as soon as the
// program starts, before any screen exists. The app library's link interface
// names this symbol (see the top-level CMakeLists.txt), so every program
// linking the app carries this file and runs its initialiser.
extern "C" const bool UIButtonExtensionLoaded = UIButtonExtension::load();

namespace {

constexpr CGFloat kMinimumTouchSide = 44;

UIColor grey() { return UIColor::grayColor(); }

Ref<UIImage> scaled(const Ref<UIImage>& image, CGSize size) {
    return image ? UIImageExtension::scaleImageWithSize(image, size) : nullptr;
}

// The title in grey for the normal state, no colour of its own when highlighted.
void setGreyTitle(const Ref<UIButton>& button, const std::string& title) {
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(grey(), UIControlStateNormal);
    button->setTitleColor(std::nullopt, UIControlStateHighlighted);
}

void addAction(const Ref<UIButton>& button, const Ref<NSObject>& target, UIControl::Action action) {
    button->addTarget(target, std::move(action), UIControlEventTouchUpInside);
}

}  // namespace

bool UIButtonExtension::load() {
    UIButton::setPointInsideRule(&UIButtonExtension::pointInside);
    return true;
}

bool UIButtonExtension::pointInside(UIButton& button, CGPoint point) {
    CGRect bounds = button.bounds();
    CGFloat growX = std::max<CGFloat>(kMinimumTouchSide - bounds.size.width, 0) / 2;
    CGFloat growY = std::max<CGFloat>(kMinimumTouchSide - bounds.size.height, 0) / 2;
    return CGRectContainsPoint(CGRectInset(bounds, -growX, -growY), point);
}

void UIButtonExtension::layoutButtonWithEdgeInsetsStyle(const Ref<UIButton>& button, long style, CGFloat space) {
    // The image view's placement comes from the button's layout.
    button->layoutIfNeeded();
    CGSize image = button->imageView()->frame().size;
    CGSize label = button->titleLabel()->intrinsicContentSize();
    const CGFloat iw = image.width, ih = image.height, lw = label.width, lh = label.height;
    const CGFloat half = space / 2;
    UIEdgeInsets titleInsets{};
    UIEdgeInsets imageInsets{};
    switch (style) {
        case 0:  // image above the title
            titleInsets = {0, -iw, -ih - half, 0};
            imageInsets = {-lh - half, 0, 0, -lw};
            break;
        case 1:  // image left of the title
            titleInsets = {0, half, 0, -half};
            imageInsets = {0, -half, 0, half};
            break;
        case 2:  // image below the title
            titleInsets = {-ih - half, -iw, 0, 0};
            imageInsets = {0, 0, -lh - half, -lw};
            break;
        case 3:  // image right of the title
            titleInsets = {0, -iw - half, 0, iw + half};
            imageInsets = {0, lw + half, 0, -lw - half};
            break;
        default: break;
    }
    button->setTitleEdgeInsets(titleInsets);
    button->setImageEdgeInsets(imageInsets);
}

Ref<UIButton> UIButtonExtension::createButtonWithImage(const std::string& imageName, const OptionalText& title,
                                                       const Ref<NSObject>& target, Action action) {
    auto button = make<UIButton>();
    button->setImage(scaled(UIImageExtension::imageWithName(imageName), {35, 35}), UIControlStateNormal);
    if (title) {
        setGreyTitle(button, *title);
        button->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    }
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Center);
    button->setImageEdgeInsets({0, 18, 20, 0});
    button->setTitleEdgeInsets({40, -35, 0, 0});
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createButtonWithFrame(CGRect frame, const std::string& imageName,
                                                       const OptionalText& title, const Ref<NSObject>& target,
                                                       Action action) {
    auto button = make<UIButton>(frame);
    button->setImage(scaled(UIImageExtension::imageWithName(imageName), {40, 40}), UIControlStateNormal);
    if (title) {
        setGreyTitle(button, *title);
        button->titleLabel()->setFont(UIFont::systemFontOfSize(13));
    }
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Center);
    layoutButtonWithEdgeInsetsStyle(button, 0, 4);
    button->titleLabel()->setTextAlignment(NSTextAlignment::Center);
    if (target && action) addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createCenterButtonWithFrame(CGRect frame, const std::string& imageName,
                                                             const OptionalText& title, const Ref<NSObject>& target,
                                                             Action action, CGSize size, CGFloat fontSize) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    auto image = UIImage::imageNamed(imageName);
    button->setImage(size.width > 0 ? scaled(image, size) : image, UIControlStateNormal);
    if (title) setGreyTitle(button, *title);
    if (fontSize > 0) button->titleLabel()->setFont(UIFont::systemFontOfSize(fontSize));
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Center);
    layoutButtonWithEdgeInsetsStyle(button, 0, 10);
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createButtonWithFrame(CGRect frame, const Ref<NSObject>& target, Action action,
                                                       const std::string& imageName,
                                                       const std::string& pressedImageName) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    button->setBackgroundImage(UIImage::imageNamed(imageName), UIControlStateNormal);
    button->setBackgroundImage(UIImage::imageNamed(pressedImageName), UIControlStateHighlighted);
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createButtonWithFrame(CGRect frame, const std::string& title,
                                                       const Ref<NSObject>& target, Action action) {
    auto button = UIButton::buttonWithType(UIButtonType::System);
    button->setFrame(frame);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    button->setTitleColor(grey(), UIControlStateNormal);
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createNormalButtonWithFrame(CGRect frame, const OptionalText& imageName,
                                                             const OptionalText& title, CGFloat fontSize,
                                                             CGSize imageSize) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    if (imageName && imageSize.width > 0)
        button->setImage(scaled(UIImage::imageNamed(*imageName), imageSize), UIControlStateNormal);
    button->setTitleColor(UIColor::lightGrayColor(), UIControlStateNormal);
    if (title) button->setTitle(*title, UIControlStateNormal);
    if (fontSize > 0) button->titleLabel()->setFont(UIFont::systemFontOfSize(fontSize));
    return button;
}

Ref<UIButton> UIButtonExtension::createButtonWithTitle(const std::string& title, const std::string& imageName,
                                                       const Ref<NSObject>& target, Action action) {
    auto button = make<UIButton>();
    button->setImage(UIImageExtension::imageWithName(imageName), UIControlStateNormal);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    button->setTitleColor(grey(), UIControlStateNormal);
    button->setTitleEdgeInsets({0, 16, 0, 0});
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::createSimpleButtonWithFrame(CGRect frame, const OptionalText& title,
                                                             const OptionalText& imageName,
                                                             const Ref<NSObject>& target, Action action) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    if (imageName) button->setImage(UIImage::imageNamed(*imageName), UIControlStateNormal);
    if (title) button->setTitle(*title, UIControlStateNormal);
    addAction(button, target, std::move(action));
    return button;
}

Ref<UIButton> UIButtonExtension::setButtonWithFrame(CGRect frame, const OptionalText& title,
                                                    const OptionalText& imageName, CGFloat fontSize, UIColor color,
                                                    const Ref<NSObject>& target, Action action) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    if (imageName) button->setImage(UIImage::imageNamed(*imageName), UIControlStateNormal);
    if (title) button->setTitle(*title, UIControlStateNormal);
    button->setTitleColor(color, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(fontSize));
    addAction(button, target, std::move(action));
    return button;
}
