#include "foundation/NSPropertyListSerialization.h"

#include <string_view>

#include "foundation/BinaryPropertyListReader.h"
#include "foundation/BinaryPropertyListWriter.h"
#include "foundation/XMLPropertyListReader.h"
#include "foundation/XMLPropertyListWriter.h"

namespace {

constexpr std::string_view binaryMagic = "bplist00";

std::optional<std::string> write(const Value& plist, NSPropertyListSerialization::Format format) {
    try {
        if (format == NSPropertyListSerialization::Format::Binary) return BinaryPropertyListWriter::write(plist);
        return XMLPropertyListWriter::write(plist);
    } catch (...) {  // out of memory on a huge value
        return std::nullopt;
    }
}

}  // namespace

std::optional<Value> NSPropertyListSerialization::propertyListWithData(const NSData& data, Format* format) {
    try {
        std::string_view bytes(reinterpret_cast<const char*>(data.bytes()), data.length());
        bool binary = bytes.starts_with(binaryMagic);
        auto value = binary ? BinaryPropertyListReader::read(bytes) : XMLPropertyListReader::read(bytes);
        if (value && format) *format = binary ? Format::Binary : Format::XML;
        return value;
    } catch (...) {  // out of memory on a huge file
        return std::nullopt;
    }
}

bool NSPropertyListSerialization::propertyList(const Value& plist, Format format) {
    return write(plist, format).has_value();
}

std::optional<NSData> NSPropertyListSerialization::dataWithPropertyList(const Value& plist, Format format) {
    auto bytes = write(plist, format);
    if (!bytes) return std::nullopt;
    return NSData::fromString(*bytes);
}
