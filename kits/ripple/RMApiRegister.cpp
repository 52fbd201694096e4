#include "kits/ripple/RMApiRegister.h"

#include "foundation/NSBundle.h"

bool RMApiRegister::isAppRegisterRippleScheme() {
    const Array* urlTypes = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes").array();
    if (!urlTypes) return false;
    for (const Value& urlType : *urlTypes) {
        const Array* schemes = urlType["CFBundleURLSchemes"].array();
        if (!schemes) continue;
        for (const Value& scheme : *schemes) {
            if (const std::string* text = scheme.text(); text && *text == "ripple") return true;
        }
    }
    return false;
}
