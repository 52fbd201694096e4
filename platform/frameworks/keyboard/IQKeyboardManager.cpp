#include "frameworks/keyboard/IQKeyboardManager.h"

Ref<IQKeyboardManager> IQKeyboardManager::shared() {
    static const Ref<IQKeyboardManager> instance = make<IQKeyboardManager>();
    return instance;
}
