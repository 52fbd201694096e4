#include "app/payment/KXFlowExit.h"

#include <algorithm>

#include "uikit/UINavigationController.h"

void KXFlowExit::returnToOpener(const Ref<UIViewController>& page) {
    auto stack = page ? page->navigationController() : nullptr;
    if (!stack) return;
    const auto screens = stack->viewControllers();
    // The stack entry that is the page itself or holds it.
    Ref<UIViewController> entry = page;
    auto found = screens.end();
    while (entry && (found = std::find(screens.begin(), screens.end(), entry)) == screens.end())
        entry = entry->parentViewController();
    if (found == screens.end()) return;
    const auto index = found - screens.begin();
    const auto opener = entry == page ? index - 2 : index - 1;
    if (opener >= 0) stack->popToViewController(screens[static_cast<std::size_t>(opener)], true);
}
