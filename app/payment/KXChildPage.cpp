#include "app/payment/KXChildPage.h"

#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"

void KXChildPage::layOver(const Ref<UIViewController>& screen, const Ref<UIViewController>& page) {
    if (!screen || !page) return;
    screen->addChildViewController(page);
    page->view()->setFrame(UIScreen::mainScreen()->bounds());
    screen->view()->addSubview(page->view());
    page->didMoveToParentViewController(screen);
}
