#include "foundation/NSPathUtilities.h"

#include "foundation/AppSandbox.h"

std::string NSHomeDirectory() { return AppSandbox::root(); }

std::string NSTemporaryDirectory() { return AppSandbox::root() + "/tmp/"; }

std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domains, bool expandTilde) {
    if (!(domains & NSUserDomainMask)) return {};
    const char* relative = nullptr;
    switch (directory) {
    case NSLibraryDirectory: relative = "Library"; break;
    case NSDocumentDirectory: relative = "Documents"; break;
    case NSCachesDirectory: relative = "Library/Caches"; break;
    case NSPreferencePanesDirectory: relative = "Library/PreferencePanes"; break;
    }
    if (!relative) return {};
    return {(expandTilde ? NSHomeDirectory() : std::string("~")) + "/" + relative};
}
