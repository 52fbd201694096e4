#include "kits/pal/PalApi/PalApi.h"

#include "foundation/NSURL.h"
#include "uikit/UIApplication.h"

namespace {

constexpr std::int32_t kPalLacksShareInterface = 1;
constexpr std::int32_t kPalMissing = 2;
constexpr std::int32_t kSchemeNotRegistered = 6;

bool canOpen(const char* address) {
    auto url = NSURL::URLWithString(address);
    return url && UIApplication::sharedApplication()->canOpenURL(url);
}

}  // namespace

bool PalApi::isPalInstalled() { return canOpen("mpal://"); }

bool PalApi::isPalSupportApi() { return canOpen("mpalapi://"); }

std::int32_t PalApi::sendMessage(const Ref<PalApiMessage>& message) {
    const Ref<PalApiObject> object = message ? message->object() : nullptr;
    const bool palInstalled = isPalInstalled();
    if (!palInstalled && object) object->setShareDestType(1);
    const std::int32_t destination = object ? object->shareDestType() : 0;
    if (destination == 0 && !palInstalled) return kPalMissing;
    if (destination == 0 && !isPalSupportApi()) return kPalLacksShareInterface;
    // No URL scheme is ever registered in this build (see the header).
    return kSchemeNotRegistered;
}
