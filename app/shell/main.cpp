#include "app/shell/main.h"

#include "app/shell/AppDelegate.h"
#include "uikit/UIApplicationMain.h"

void registerAppDelegateClass() {
    UIApplicationRegisterDelegateClass(AppDelegate::kClassName, [] { return make<AppDelegate>(); });
}

int velmaroMain(int argc, char** argv) {
    registerAppDelegateClass();
    return UIApplicationMain(argc, argv, std::nullopt, AppDelegate::kClassName);
}
