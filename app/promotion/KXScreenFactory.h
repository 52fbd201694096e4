#pragma once

#include <functional>

#include "uikit/UIViewController.h"

// Makes the screen a dashboard's tile or row opens; the dashboards keep
// tables of these by the type the answer gives.
using KXScreenFactory = std::function<Ref<UIViewController>()>;

// A factory of a fresh `Screen`.
template <class Screen>
KXScreenFactory screenFactory() {
    return [] { return make<Screen>(); };
}
