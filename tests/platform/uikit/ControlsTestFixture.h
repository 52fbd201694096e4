#pragma once

#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"

// A key window of 320 x 480 points to put controls in, and the driver.
class ControlsFixture : public AppFixture {
protected:
    ControlsFixture() : window(make<UIWindow>(CGRectMake(0, 0, 320, 480))) { window->makeKeyAndVisible(); }
    // Editing ends while the test's recorders still exist.
    ~ControlsFixture() override { window->endEditing(true); }

    template <class T> Ref<T> place(Ref<T> view, CGRect frame, const Ref<UIView>& parent = nullptr) {
        view->setFrame(frame);
        (parent ? parent : Ref<UIView>(window))->addSubview(view);
        return view;
    }

    Ref<UIWindow> window;
    UIDriver driver;
    std::vector<std::string> log;
};
