#include "foundation/NSKeyedArchiver.h"

#include <limits>
#include <mutex>

#include "foundation/KeyedArchiveFormat.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSURL.h"

namespace Format = KeyedArchiveFormat;

namespace {

std::mutex& classNamesLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_map<std::string, std::string>& codedClassNames() {
    static std::unordered_map<std::string, std::string> names;
    return names;
}

}  // namespace

NSKeyedArchiver::NSKeyedArchiver() {
    objects_.push_back(std::string(Format::nullMarker));
    containers_.emplace_back();
}

std::optional<NSData> NSKeyedArchiver::archivedDataWithRootObject(const Value& root, Ref<NSError>* error) {
    auto archiver = make<NSKeyedArchiver>();
    archiver->encodeObject(root, Format::rootKey);
    auto data = archiver->encodedData();
    if (error) *error = archiver->error();
    return data;
}

void NSKeyedArchiver::setClassName(const std::string& codedName, const std::string& className) {
    std::lock_guard guard(classNamesLock());
    if (codedName.empty()) {
        codedClassNames().erase(className);
    } else {
        codedClassNames()[className] = codedName;
    }
}

std::optional<std::string> NSKeyedArchiver::classNameForClass(const std::string& className) {
    std::lock_guard guard(classNamesLock());
    auto found = codedClassNames().find(className);
    if (found == codedClassNames().end()) return std::nullopt;
    return found->second;
}

std::optional<NSData> NSKeyedArchiver::encodedData() {
    if (finished_ || error_) return finished_;
    Dictionary archive;
    archive.set(Format::archiverKey, std::string(Format::archiverName));
    archive.set(Format::versionKey, Format::version);
    archive.set(Format::topKey, std::move(containers_.front()));
    archive.set(Format::objectsKey, std::move(objects_));
    containers_.clear();
    finished_ = NSPropertyListSerialization::dataWithPropertyList(archive, NSPropertyListSerialization::Format::Binary);
    if (!finished_) fail("the archive could not be written as a property list");
    return finished_;
}

void NSKeyedArchiver::encodeObject(const Value& object, std::string_view key) {
    if (containers_.empty() || error_) return;
    std::uint64_t index = uidOf(object);
    if (!containers_.empty()) containers_.back().set(Format::escapedKey(key), Format::uid(index));
}

void NSKeyedArchiver::encodeBool(bool value, std::string_view key) { encodeInline(value, key); }
void NSKeyedArchiver::encodeInt64(std::int64_t value, std::string_view key) { encodeInline(value, key); }
void NSKeyedArchiver::encodeDouble(double value, std::string_view key) { encodeInline(value, key); }

void NSKeyedArchiver::encodeBytes(const std::uint8_t* bytes, std::size_t length, std::string_view key) {
    encodeInline(NSData(bytes, length), key);
}

void NSKeyedArchiver::encodeInline(Value value, std::string_view key) {
    if (containers_.empty() || error_) return;
    containers_.back().set(Format::escapedKey(key), std::move(value));
}

void NSKeyedArchiver::failWithError(Ref<NSError> error) {
    if (!error_) error_ = std::move(error);
}

void NSKeyedArchiver::fail(std::string reason) {
    failWithError(NSError::errorWithDomain(NSCocoaErrorDomain, NSCoderInvalidValueError,
                                           {{NSLocalizedDescriptionKey, std::move(reason)}}));
}

std::uint64_t NSKeyedArchiver::append(Value entry) {
    objects_.push_back(std::move(entry));
    return objects_.size() - 1;
}

std::uint64_t NSKeyedArchiver::classUID(const std::string& className) {
    auto known = classUIDs_.find(className);
    if (known != classUIDs_.end()) return known->second;
    Dictionary description{{std::string(Format::classNameKey), className},
                           {std::string(Format::classesKey), Array{className, "NSObject"}}};
    return classUIDs_[className] = append(std::move(description));
}

std::uint64_t NSKeyedArchiver::instance(Dictionary fields, const std::string& className) {
    fields.set(Format::classKey, Format::uid(classUID(className)));
    return append(std::move(fields));
}

std::uint64_t NSKeyedArchiver::uidOf(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Nil:
        return 0;
    case Value::Kind::Null:
        if (!nullUID_) nullUID_ = instance({}, "NSNull");
        return *nullUID_;
    case Value::Kind::Bool:
    case Value::Kind::Integer:
    case Value::Kind::Real:
    case Value::Kind::Data:
        return append(value);
    case Value::Kind::Unsigned:
        if (*value.unsignedInteger() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            fail("an unsigned number beyond the signed 64-bit range cannot be archived");
            return 0;
        }
        return append(value);
    case Value::Kind::Text: {
        auto known = textUIDs_.find(*value.text());
        if (known != textUIDs_.end()) return known->second;
        return textUIDs_[*value.text()] = append(value);
    }
    case Value::Kind::Date:
        return instance({{"NS.time", value.date()->timeIntervalSince1970() - Format::secondsFrom1970To2001}}, "NSDate");
    case Value::Kind::Array:
        return encodeArray(*value.array());
    case Value::Kind::Dictionary:
        return encodeDictionary(*value.dictionary());
    case Value::Kind::Object:
        return encodeReference(value.object());
    }
    return 0;
}

std::uint64_t NSKeyedArchiver::encodeArray(const Array& items) {
    Array references;
    references.reserve(items.size());
    for (const Value& item : items) references.push_back(Format::uid(uidOf(item)));
    return instance({{"NS.objects", std::move(references)}}, "NSArray");
}

std::uint64_t NSKeyedArchiver::encodeDictionary(const Dictionary& entries) {
    Array keys, values;
    for (const auto& [key, value] : entries) {
        keys.push_back(Format::uid(uidOf(key)));
        values.push_back(Format::uid(uidOf(value)));
    }
    return instance({{"NS.keys", std::move(keys)}, {"NS.objects", std::move(values)}}, "NSDictionary");
}

std::uint64_t NSKeyedArchiver::encodeReference(const Ref<NSObject>& object) {
    auto known = objectUIDs_.find(object);
    if (known != objectUIDs_.end()) return known->second;

    if (auto url = cast<NSURL>(object)) {
        Dictionary fields{{"NS.base", Format::uid(uidOf(url->baseURL()))},
                          {"NS.relative", Format::uid(uidOf(url->relativeString()))}};
        return objectUIDs_[object] = instance(std::move(fields), "NSURL");
    }
    auto coding = std::dynamic_pointer_cast<NSCoding>(object);
    if (!coding) {
        fail("an object of class " + object->className() + " cannot be archived");
        return 0;
    }
    // The UID is taken before the fields are written, so that a reference
    // back to this object from inside them finds it.
    std::uint64_t index = append(Value());
    objectUIDs_[object] = index;
    containers_.emplace_back();
    coding->encodeWithCoder(*this);
    Dictionary fields = std::move(containers_.back());
    containers_.pop_back();
    std::string className = object->className();
    fields.set(Format::classKey, Format::uid(classUID(classNameForClass(className).value_or(className))));
    objects_[index] = std::move(fields);
    return index;
}
