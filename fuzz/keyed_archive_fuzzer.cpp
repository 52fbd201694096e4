// Feeds arbitrary bytes to the keyed unarchiver (it reads what other apps
// put on pasteboards). Whatever it accepts must archive again and read back
// equal.
#include <cstdint>
#include <cstdlib>

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    Value root = NSKeyedUnarchiver::unarchiveObjectWithData(NSData(bytes, length));
    if (root.isNil()) return 0;
    auto archive = NSKeyedArchiver::archivedDataWithRootObject(root);
    if (!archive) return 0;  // e.g. a text holding a NUL character
    if (!(NSKeyedUnarchiver::unarchiveObjectWithData(*archive) == root)) std::abort();
    return 0;
}
