#pragma once

#include "app/shell/KXNavigationView.h"
#include "uikit/UIViewController.h"

// The base of the tabs' screens: a white view with the custom top bar
// `navigationView` pinned to its top, left and right (made when the view
// loads; its back button pops the screen, animated), and the system
// navigation bar hidden each time the screen appears. Subclasses run this
// first and put their content below the bar's bottom.
class KXBaseViewController : public UIViewController {
public:
    Ref<KXNavigationView> navigationView() const { return navigationView_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    Ref<KXNavigationView> navigationView_;
};
