#include "uikit/UIWindowScene.h"

#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

Ref<UIScreen> UIWindowScene::screen() const { return UIScreen::mainScreen(); }

std::vector<Ref<UIWindow>> UIWindowScene::windows() const {
    std::vector<Ref<UIWindow>> mine;
    for (const auto& window : UIApplication::sharedApplication()->windows())
        if (window->windowScene().get() == this) mine.push_back(window);
    return mine;
}
