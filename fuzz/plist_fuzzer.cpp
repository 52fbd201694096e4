// Feeds arbitrary bytes to the property-list reader. Whatever it accepts must
// write back in both forms and read again.
#include <cstdint>
#include <cstdlib>

#include "foundation/NSPropertyListSerialization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    using Format = NSPropertyListSerialization::Format;
    auto plist = NSPropertyListSerialization::propertyListWithData(NSData(bytes, length));
    if (!plist) return 0;
    for (Format format : {Format::XML, Format::Binary}) {
        auto written = NSPropertyListSerialization::dataWithPropertyList(*plist, format);
        if (!written) continue;  // e.g. a text holding a NUL character
        if (!NSPropertyListSerialization::propertyListWithData(*written)) std::abort();
    }
    return 0;
}
