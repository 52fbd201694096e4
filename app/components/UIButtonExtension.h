#pragma once

#include <optional>
#include <string>

#include "graphics/UIFont.h"
#include "uikit/UIButton.h"

// Button helpers of the app: the touch area every button of the program
// gets, the image-and-title arrangement, and the older screens' factories.
//
// Touch area: a button answers touches within its bounds grown to at least
// 44 x 44 points, half of the missing width on each side and half of the
// missing height above and below. The rule replaces the platform's test for
// every UIButton once load() has run, which happens when the program starts
// (see UIButtonExtension.cpp); load() may be called again safely.
//
// Factories: images are found by name (UIImageExtension::imageWithName);
// an action is sent to its target on touch-up-inside.
class UIButtonExtension {
public:
    UIButtonExtension() = delete;

    // Installs the touch-area rule for every button.
    static bool load();
    // The rule: whether the point (button bounds space) is inside.
    static bool pointInside(UIButton& button, CGPoint point);

    // Arranges image and title with `space` points between them by setting
    // the title and image insets: 0 image above the title, 1 image left of
    // it, 2 image below it, 3 image right of it; other styles clear both.
    static void layoutButtonWithEdgeInsetsStyle(const Ref<UIButton>& button, long style, CGFloat space);

    using Action = UIControl::Action;
    using OptionalText = std::optional<std::string>;

    // A button with the named image at 35 x 35 over a grey 14-point title,
    // the image pushed to the right and up, the title below it.
    static Ref<UIButton> createButtonWithImage(const std::string& imageName, const OptionalText& title,
                                               const Ref<NSObject>& target, Action action);
    // The named image at 40 x 40 above a grey 13-point title, 4 points apart;
    // target and action only when both are given.
    static Ref<UIButton> createButtonWithFrame(CGRect frame, const std::string& imageName, const OptionalText& title,
                                               const Ref<NSObject>& target, Action action);
    // The named image (scaled to `size` when its width is above 0) above a
    // grey title (of `fontSize` when above 0), 10 points apart.
    static Ref<UIButton> createCenterButtonWithFrame(CGRect frame, const std::string& imageName,
                                                     const OptionalText& title, const Ref<NSObject>& target,
                                                     Action action, CGSize size, CGFloat fontSize);
    // Background images for the normal and highlighted states.
    static Ref<UIButton> createButtonWithFrame(CGRect frame, const Ref<NSObject>& target, Action action,
                                               const std::string& imageName, const std::string& pressedImageName);
    // A system button with a grey 12-point title.
    static Ref<UIButton> createButtonWithFrame(CGRect frame, const std::string& title, const Ref<NSObject>& target,
                                               Action action);
    // Light grey title; the named image scaled to `imageSize` when a name is
    // given and the size's width is above 0; no action.
    static Ref<UIButton> createNormalButtonWithFrame(CGRect frame, const OptionalText& imageName,
                                                     const OptionalText& title, CGFloat fontSize, CGSize imageSize);
    // The named image beside a grey 14-point title moved 16 points right.
    static Ref<UIButton> createButtonWithTitle(const std::string& title, const std::string& imageName,
                                               const Ref<NSObject>& target, Action action);
    static Ref<UIButton> createSimpleButtonWithFrame(CGRect frame, const OptionalText& title,
                                                     const OptionalText& imageName, const Ref<NSObject>& target,
                                                     Action action);
    static Ref<UIButton> setButtonWithFrame(CGRect frame, const OptionalText& title, const OptionalText& imageName,
                                            CGFloat fontSize, UIColor color, const Ref<NSObject>& target,
                                            Action action);
};
