#include "foundation/PropertyListFile.h"

#include "foundation/DataFile.h"
#include "foundation/NSPropertyListSerialization.h"

namespace {

std::optional<Value> readPropertyList(const std::string& path) {
    auto data = DataFile::dataWithContentsOfFile(path);
    if (!data) return std::nullopt;
    return NSPropertyListSerialization::propertyListWithData(*data);
}

}  // namespace

bool PropertyListFile::writeToFile(const Value& plist, const std::string& path, bool atomically) {
    auto data = NSPropertyListSerialization::dataWithPropertyList(plist, NSPropertyListSerialization::Format::XML);
    return data && DataFile::writeToFile(*data, path, atomically) == 0;
}

std::optional<Dictionary> PropertyListFile::dictionaryWithContentsOfFile(const std::string& path) {
    auto plist = readPropertyList(path);
    if (!plist || !plist->isDictionary()) return std::nullopt;
    return std::move(*plist->dictionary());
}

std::optional<Array> PropertyListFile::arrayWithContentsOfFile(const std::string& path) {
    auto plist = readPropertyList(path);
    if (!plist || !plist->isArray()) return std::nullopt;
    return std::move(*plist->array());
}
