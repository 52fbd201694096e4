#include "foundation/NSJSONSerialization.h"

#include <string_view>

#include "foundation/JSONReader.h"
#include "foundation/JSONWriter.h"
#include "foundation/NSError.h"

namespace {

// The user-info keys the platform's JSON errors carry beside the description.
const char* const debugDescriptionKey = "NSDebugDescription";
const char* const errorIndexKey = "NSJSONSerializationErrorIndex";

Ref<NSError> readError(const JSONReader& reader) {
    Dictionary userInfo{
        {NSLocalizedDescriptionKey, "The data couldn’t be read because it isn’t in the correct format."},
        {debugDescriptionKey, reader.failureReason()},
    };
    if (reader.failureOffset() != JSONReader::unknownOffset) {
        userInfo.set(errorIndexKey, static_cast<std::int64_t>(reader.failureOffset()));
    }
    return NSError::errorWithDomain(NSCocoaErrorDomain, NSJSONSerialization::readErrorCode, std::move(userInfo));
}

}  // namespace

Value NSJSONSerialization::JSONObjectWithData(const NSData& data, Ref<NSError>* error) {
    JSONReader reader(maxDepth);
    Value object = reader.read(std::string_view(reinterpret_cast<const char*>(data.bytes()), data.length()));
    if (error) *error = object.isNil() ? readError(reader) : nullptr;
    return object;
}

std::optional<NSData> NSJSONSerialization::dataWithJSONObject(const Value& object, bool pretty) {
    if (!object.isArray() && !object.isDictionary()) return std::nullopt;
    JSONWriter writer(pretty, maxDepth);
    if (!writer.write(object)) return std::nullopt;
    return NSData::fromString(writer.text());
}

bool NSJSONSerialization::isValidJSONObject(const Value& object) {
    return dataWithJSONObject(object).has_value();
}
