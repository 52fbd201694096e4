#include "uikit/UIScreen.h"

#include "graphics/UIGraphics.h"

Ref<UIScreen> UIScreen::mainScreen() {
    static Ref<UIScreen> screen = [] {
        auto created = make<UIScreen>();
        UIGraphicsSetMainScreenScale(created->scale_);
        return created;
    }();
    return screen;
}

UIEdgeInsets UIScreen::safeAreaInsets(bool statusBarHidden) const {
    if (notched_) return {44, 0, 34, 0};
    return {statusBarHidden ? 0.0 : 20.0, 0, 0, 0};
}

void UIScreen::configureMainScreen(CGSize size, CGFloat scale, bool notched) {
    auto screen = mainScreen();
    screen->size_ = size;
    screen->scale_ = scale > 0 ? scale : 1;
    screen->notched_ = notched;
    UIGraphicsSetMainScreenScale(screen->scale_);
}

void UIScreen::useStandardScreen() { configureMainScreen({375, 667}, 2, false); }

void UIScreen::useNotchedScreen() { configureMainScreen({375, 812}, 3, true); }
