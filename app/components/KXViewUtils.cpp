#include "app/components/KXViewUtils.h"

#include "uikit/UIApplication.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITabBarController.h"
#include "uikit/UIWindow.h"

Ref<UIViewController> KXViewUtils::getCurrentVC() {
    auto window = UIApplication::sharedApplication()->keyWindow();
    if (!window) return nullptr;
    auto result = _topViewController(window->rootViewController());
    while (result && result->presentedViewController())
        result = _topViewController(result->presentedViewController());
    return result;
}

Ref<UIViewController> KXViewUtils::_topViewController(const Ref<UIViewController>& controller) {
    if (auto navigation = cast<UINavigationController>(controller))
        return navigation->topViewController() ? _topViewController(navigation->topViewController()) : controller;
    if (auto tabs = cast<UITabBarController>(controller))
        return tabs->selectedViewController() ? _topViewController(tabs->selectedViewController()) : controller;
    return controller;
}
