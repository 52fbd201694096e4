#include "uikit/UIDevice.h"

namespace {
Ref<UIDevice>& device() {
    static Ref<UIDevice> shared = make<UIDevice>();
    return shared;
}
}  // namespace

Ref<UIDevice> UIDevice::currentDevice() { return device(); }

void UIDevice::resetCurrentDevice() { device() = make<UIDevice>(); }
