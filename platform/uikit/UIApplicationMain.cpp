#include "uikit/UIApplicationMain.h"

#include <map>

#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "uikit/UIApplication.h"

namespace {
std::map<std::string, UIApplicationDelegateFactory>& delegateClasses() {
    static std::map<std::string, UIApplicationDelegateFactory> classes;
    return classes;
}
}  // namespace

void UIApplicationRegisterDelegateClass(std::string className, UIApplicationDelegateFactory factory) {
    delegateClasses()[std::move(className)] = std::move(factory);
}

int UIApplicationMain(int, char*[], const std::optional<std::string>&, const std::string& delegateClassName) {
    auto found = delegateClasses().find(delegateClassName);
    Ref<UIApplicationDelegate> delegate = found != delegateClasses().end() && found->second ? found->second() : nullptr;
    if (!delegate) {
        NSLog("UIApplicationMain: no application delegate class named " + delegateClassName);
        return 1;
    }
    auto application = UIApplication::launch(delegate);
    // A year at a time: the loop runs until the app is terminated.
    while (!application->isTerminated())
        NSRunLoop::mainRunLoop()->runUntil([&] { return application->isTerminated(); }, 365 * 24 * 3600.0);
    return 0;
}
