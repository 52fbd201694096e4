// Feeds arbitrary bytes to the XML property-list reader. Whatever it accepts
// must write back as XML, and that XML must read again and write the very
// same bytes (byte equality, so that NaN reals compare too).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/XMLPropertyListReader.h"
#include "foundation/XMLPropertyListWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    auto plist = XMLPropertyListReader::read(std::string_view(reinterpret_cast<const char*>(bytes), length));
    if (!plist) return 0;
    auto written = XMLPropertyListWriter::write(*plist);
    if (!written) std::abort();
    auto again = XMLPropertyListReader::read(*written);
    if (!again) std::abort();
    if (XMLPropertyListWriter::write(*again) != written) std::abort();
    return 0;
}
