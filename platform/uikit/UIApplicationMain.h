#pragma once

#include <functional>
#include <optional>
#include <string>

#include "uikit/UIApplicationDelegate.h"

using UIApplicationDelegateFactory = std::function<Ref<UIApplicationDelegate>()>;

// Registers the app's delegate class by name, so that UIApplicationMain can
// make it from the name the entry point passes (as the platform looks a class
// up by name). A second registration of a name replaces the first.
void UIApplicationRegisterDelegateClass(std::string className, UIApplicationDelegateFactory factory);

// The app's entry: makes the delegate of the registered class, launches the
// shared application (did-finish-launching, then active) and runs the main
// run loop until UIApplication::terminate(). Answers 0 then, or 1 (after a
// log line) when no delegate class of that name is registered. The principal
// class name is accepted for the platform's signature; there is one
// application class.
int UIApplicationMain(int argc, char* argv[], const std::optional<std::string>& principalClassName,
                      const std::string& delegateClassName);
