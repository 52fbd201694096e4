#include "foundation/NSKeyedUnarchiver.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <unordered_map>

#include "foundation/KeyedArchiveFormat.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSURL.h"

namespace Format = KeyedArchiveFormat;

namespace {

// Bounds against hostile archives: nesting depth, and the number of values
// made (shared entries count at every use, so that a few entries referring
// to each other twice over cannot expand into an exponential tree).
constexpr int maximumDepth = 256;
constexpr std::size_t maximumValues = 1 << 18;

struct ClassRegistry {
    std::mutex lock;
    std::unordered_map<std::string, std::function<Ref<NSObject>()>> makers;
    std::unordered_map<std::string, std::string> codedNames;  // coded name -> registered class
};

ClassRegistry& registry() {
    static ClassRegistry classes;
    return classes;
}

std::function<Ref<NSObject>()> makerFor(const std::string& name) {
    auto& classes = registry();
    std::lock_guard guard(classes.lock);
    auto coded = classes.codedNames.find(name);
    const std::string& className = coded == classes.codedNames.end() ? name : coded->second;
    auto maker = classes.makers.find(className);
    return maker == classes.makers.end() ? nullptr : maker->second;
}

// The platform class that an archived class name stands for, as the name
// of its immutable kind; "" for other classes.
std::string builtInKind(const std::string& name) {
    static const std::unordered_map<std::string, std::string> kinds{
        {"NSString", "NSString"},           {"NSMutableString", "NSString"},
        {"NSData", "NSData"},               {"NSMutableData", "NSData"},
        {"NSArray", "NSArray"},             {"NSMutableArray", "NSArray"},
        {"NSSet", "NSArray"},               {"NSMutableSet", "NSArray"},
        {"NSOrderedSet", "NSArray"},        {"NSMutableOrderedSet", "NSArray"},
        {"NSDictionary", "NSDictionary"},   {"NSMutableDictionary", "NSDictionary"},
        {"NSDate", "NSDate"},               {"NSNull", "NSNull"},
        {"NSURL", "NSURL"}};
    auto kind = kinds.find(name);
    return kind == kinds.end() ? std::string() : kind->second;
}

// The kind of class of a value stored as it is in "$objects".
std::string plainKind(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Text: return "NSString";
    case Value::Kind::Bool:
    case Value::Kind::Integer:
    case Value::Kind::Unsigned:
    case Value::Kind::Real: return "NSNumber";
    case Value::Kind::Data: return "NSData";
    case Value::Kind::Date: return "NSDate";
    default: return "";
    }
}

std::size_t sizeOf(const Value& value) {
    std::size_t size = 1;
    if (const Array* items = value.array()) {
        for (const Value& item : *items) size += sizeOf(item);
    } else if (const Dictionary* entries = value.dictionary()) {
        for (const auto& entry : *entries) size += 1 + sizeOf(entry.second);
    }
    return size;
}

template <class Number> std::optional<Number> fitting(const Value& value) {
    if (auto flag = value.boolean()) return static_cast<Number>(*flag);
    if (auto integer = value.integer()) {
        if (*integer < std::numeric_limits<Number>::min() || *integer > std::numeric_limits<Number>::max())
            return std::nullopt;
        return static_cast<Number>(*integer);
    }
    if (auto real = value.real()) {
        if (!std::isfinite(*real) || *real < static_cast<double>(std::numeric_limits<Number>::min()) ||
            *real >= -static_cast<double>(std::numeric_limits<Number>::min()))
            return std::nullopt;
        return static_cast<Number>(*real);
    }
    return std::nullopt;
}

}  // namespace

NSKeyedUnarchiver::NSKeyedUnarchiver(Array objects, Dictionary top)
    : objects_(std::move(objects)), top_(std::move(top)), decoded_(objects_.size()), inProgress_(objects_.size()) {
    containers_.push_back(&top_);
    allowedStack_.emplace_back();
}

Ref<NSKeyedUnarchiver> NSKeyedUnarchiver::initForReadingFromData(const NSData& data, Ref<NSError>* error) {
    auto refuse = [&](const char* reason) {
        if (error)
            *error = NSError::errorWithDomain(NSCocoaErrorDomain, NSCoderReadCorruptError,
                                              {{NSLocalizedDescriptionKey, std::string(reason)}});
        return nullptr;
    };
    auto plist = NSPropertyListSerialization::propertyListWithData(data);
    if (!plist || !plist->isDictionary()) return refuse("the data is not a property list");
    const Value& archive = *plist;
    const std::string* archiver = archive[Format::archiverKey].text();
    auto version = archive[Format::versionKey].integer();
    if (!archiver || *archiver != Format::archiverName) return refuse("the data is not a keyed archive");
    // Every archiver writes the one layout version this reader knows.
    if (!version || *version != Format::version)
        return refuse("the keyed archive has a version this reader does not know");
    Value top = archive[Format::topKey];
    Value objects = archive[Format::objectsKey];
    if (!top.isDictionary() || !objects.isArray() || objects.count() == 0 || objects[0].text() == nullptr ||
        *objects[0].text() != Format::nullMarker)
        return refuse("the keyed archive is incomplete");
    if (error) *error = nullptr;
    return make<NSKeyedUnarchiver>(std::move(*objects.array()), std::move(*top.dictionary()));
}

Value NSKeyedUnarchiver::unarchiveObjectWithData(const NSData& data, Ref<NSError>* error) {
    auto unarchiver = initForReadingFromData(data, error);
    if (!unarchiver) return Value();
    Value root = unarchiver->decodeRoot(std::nullopt);
    if (error) *error = unarchiver->error();
    return unarchiver->error() ? Value() : root;
}

Value NSKeyedUnarchiver::unarchivedObjectOfClasses(const std::vector<std::string>& classNames, const NSData& data,
                                                   Ref<NSError>* error) {
    auto unarchiver = initForReadingFromData(data, error);
    if (!unarchiver) return Value();
    unarchiver->setRequiresSecureCoding(true);
    Value root = unarchiver->decodeRoot(std::set<std::string>(classNames.begin(), classNames.end()));
    if (error) *error = unarchiver->error();
    return unarchiver->error() ? Value() : root;
}

void NSKeyedUnarchiver::registerClassMaker(const std::string& className, std::function<Ref<NSObject>()> maker) {
    auto& classes = registry();
    std::lock_guard guard(classes.lock);
    classes.makers[className] = std::move(maker);
}

bool NSKeyedUnarchiver::isClassRegistered(const std::string& className) { return makerFor(className) != nullptr; }

void NSKeyedUnarchiver::setClass(const std::string& className, const std::string& codedName) {
    auto& classes = registry();
    std::lock_guard guard(classes.lock);
    if (className.empty()) {
        classes.codedNames.erase(codedName);
    } else {
        classes.codedNames[codedName] = className;
    }
}

void NSKeyedUnarchiver::failWithError(Ref<NSError> error) {
    if (!error_) error_ = std::move(error);
}

void NSKeyedUnarchiver::fail(long code, std::string reason) {
    failWithError(NSError::errorWithDomain(NSCocoaErrorDomain, code, {{NSLocalizedDescriptionKey, std::move(reason)}}));
}

const Value* NSKeyedUnarchiver::field(std::string_view key) {
    if (error_ || containers_.empty()) return nullptr;
    return containers_.back()->find(Format::escapedKey(key));
}

bool NSKeyedUnarchiver::containsValueForKey(std::string_view key) { return field(key) != nullptr; }

Value NSKeyedUnarchiver::decodeObjectForKey(std::string_view key) {
    if (requiresSecureCoding_ && !allowedStack_.back()) {
        if (field(key)) fail(NSCoderReadCorruptError, "secure decoding needs the classes allowed for \"" + std::string(key) + "\"");
        return Value();
    }
    return decodeField(key, allowedStack_.back());
}

Value NSKeyedUnarchiver::decodeObjectOfClasses(const std::vector<std::string>& classNames, std::string_view key) {
    return decodeField(key, std::set<std::string>(classNames.begin(), classNames.end()));
}

Value NSKeyedUnarchiver::decodeField(std::string_view key, AllowedClasses allowed) {
    const Value* entry = field(key);
    if (!entry) return Value();
    auto index = Format::uidOf(*entry);
    if (!index) return Value();  // a scalar: read it with the scalar calls
    allowedStack_.push_back(allowed);
    Value object = decode(*index, allowed);
    allowedStack_.pop_back();
    return error_ ? Value() : object;
}

Value NSKeyedUnarchiver::decodeRoot(AllowedClasses allowed) {
    if (!field(Format::rootKey)) {
        fail(NSCoderValueNotFoundError, "the keyed archive has no top object \"root\"");
        return Value();
    }
    return decodeField(Format::rootKey, std::move(allowed));
}

bool NSKeyedUnarchiver::allows(const AllowedClasses& allowed, const std::string& kind, const std::string& name) {
    if (!allowed || allowed->count("NSObject") || allowed->count(kind) || allowed->count(name)) return true;
    fail(NSCoderReadCorruptError, "the archive holds an object of class " + name + ", which is not allowed here");
    return false;
}

Value NSKeyedUnarchiver::decode(std::uint64_t index, const AllowedClasses& allowed) {
    if (error_ || index == 0) return Value();
    if (index >= objects_.size()) {
        fail(NSCoderReadCorruptError, "the archive refers to an object it does not hold");
        return Value();
    }
    if (auto& known = decoded_[index]) {
        for (const std::string& kind : known->classes)
            if (!allows(allowed, kind, kind)) return Value();
        valuesMade_ += known->size;
        if (valuesMade_ > maximumValues) {
            fail(NSCoderReadCorruptError, "the archive expands beyond the size it may have");
            return Value();
        }
        return known->value;
    }
    if (inProgress_[index]) {
        auto object = objectsInProgress_.find(index);
        if (object != objectsInProgress_.end()) return Value(object->second);
        fail(NSCoderReadCorruptError, "the archive holds a container that contains itself");
        return Value();
    }
    if (depth_ >= maximumDepth) {
        fail(NSCoderReadCorruptError, "the archive nests deeper than it may");
        return Value();
    }

    ++depth_;
    inProgress_[index] = true;
    std::set<std::string> classesUsed;
    Value value = decodeEntry(index, allowed, classesUsed);
    inProgress_[index] = false;
    --depth_;
    if (error_) return Value();

    std::size_t size = sizeOf(value);
    valuesMade_ += size;
    if (valuesMade_ > maximumValues) {
        fail(NSCoderReadCorruptError, "the archive expands beyond the size it may have");
        return Value();
    }
    decoded_[index] = Decoded{value, std::move(classesUsed), size};
    return value;
}

Value NSKeyedUnarchiver::decodeEntry(std::uint64_t index, const AllowedClasses& allowed,
                                     std::set<std::string>& classesUsed) {
    const Value& entry = objects_[index];
    std::string kind = plainKind(entry);
    if (!kind.empty()) {
        if (!allows(allowed, kind, kind)) return Value();
        classesUsed.insert(kind);
        return entry;
    }
    const Dictionary* fields = entry.dictionary();
    if (!fields) {
        fail(NSCoderReadCorruptError, "the archive holds an entry that is no object");
        return Value();
    }
    return decodeInstance(index, *fields, allowed, classesUsed);
}

Value NSKeyedUnarchiver::decodeInstance(std::uint64_t index, const Dictionary& fields, const AllowedClasses& allowed,
                                        std::set<std::string>& classesUsed) {
    auto classIndex = Format::uidOf(fields[Format::classKey]);
    const Value* description = classIndex && *classIndex < objects_.size() ? &objects_[*classIndex] : nullptr;
    const std::string* name = description ? (*description)[Format::classNameKey].text() : nullptr;
    if (!name) {
        fail(NSCoderReadCorruptError, "the archive holds an object without a class");
        return Value();
    }

    std::string kind = builtInKind(*name);
    if (!kind.empty()) {
        if (!allows(allowed, kind, *name)) return Value();
        classesUsed.insert(kind);
        return decodeBuiltIn(kind, fields, allowed);
    }

    std::string className = *name;
    auto maker = makerFor(className);
    if (!maker) {
        if (auto delegate = delegate_.lock()) {
            std::vector<std::string> chain;
            if (const Array* classes = (*description)[Format::classesKey].array())
                for (const Value& item : *classes)
                    if (const std::string* text = item.text()) chain.push_back(*text);
            if (auto substitute = delegate->unarchiverCannotDecodeObjectOfClassName(*this, *name, chain)) {
                className = *substitute;
                maker = makerFor(className);
            }
        }
    }
    if (!maker) {
        fail(NSCoderReadCorruptError, "cannot decode object of class (" + *name + ")");
        return Value();
    }
    if (!allows(allowed, className, *name)) return Value();
    classesUsed.insert(className);

    Ref<NSObject> object = maker();
    auto coding = std::dynamic_pointer_cast<NSCoding>(object);
    objectsInProgress_[index] = object;
    containers_.push_back(&fields);
    bool filled = coding && coding->initWithCoder(*this);
    containers_.pop_back();
    objectsInProgress_.erase(index);
    return filled ? Value(object) : Value();
}

std::optional<Array> NSKeyedUnarchiver::decodeList(const Value* references, const AllowedClasses& allowed) {
    const Array* items = references ? references->array() : nullptr;
    if (!items) {
        fail(NSCoderReadCorruptError, "the archive holds a collection without its elements");
        return std::nullopt;
    }
    Array values;
    values.reserve(items->size());
    for (const Value& item : *items) {
        auto index = Format::uidOf(item);
        if (!index) {
            fail(NSCoderReadCorruptError, "the archive holds a collection element that is no reference");
            return std::nullopt;
        }
        values.push_back(decode(*index, allowed));
        if (error_) return std::nullopt;
    }
    return values;
}

Value NSKeyedUnarchiver::decodeBuiltIn(const std::string& kind, const Dictionary& fields, const AllowedClasses& allowed) {
    auto corrupt = [&] {
        fail(NSCoderReadCorruptError, "the archive holds a malformed " + kind);
        return Value();
    };
    if (kind == "NSNull") return Value::null();
    if (kind == "NSString") {
        const Value* text = fields.find("NS.string");
        return text && text->isText() ? *text : corrupt();
    }
    if (kind == "NSData") {
        // Inline bytes, or (as mutable data is archived) a reference to a data object.
        const Value* bytes = fields.find("NS.data");
        if (!bytes) return corrupt();
        if (auto index = Format::uidOf(*bytes)) {
            Value referred = decode(*index, allowed);
            if (error_) return Value();
            return referred.isData() ? referred : corrupt();
        }
        return bytes->isData() ? *bytes : corrupt();
    }
    if (kind == "NSDate") {
        const Value* time = fields.find("NS.time");
        auto seconds = time ? time->real() : std::nullopt;
        if (!seconds || !NSDate::isRepresentable(*seconds + Format::secondsFrom1970To2001)) return corrupt();
        return NSDate::dateWithTimeIntervalSince1970(*seconds + Format::secondsFrom1970To2001);
    }
    if (kind == "NSArray") {
        auto items = decodeList(fields.find("NS.objects"), allowed);
        return items ? Value(std::move(*items)) : Value();
    }
    if (kind == "NSDictionary") {
        auto keys = decodeList(fields.find("NS.keys"), allowed);
        if (!keys) return Value();
        auto values = decodeList(fields.find("NS.objects"), allowed);
        if (!values) return Value();
        if (keys->size() != values->size()) return corrupt();
        Dictionary entries;
        for (std::size_t i = 0; i < keys->size(); ++i) {
            const std::string* key = (*keys)[i].text();
            if (!key) {
                fail(NSCoderReadCorruptError, "the archive holds a dictionary key that is not text");
                return Value();
            }
            entries.set(*key, std::move((*values)[i]));
        }
        return entries;
    }
    // NSURL: a relative text read against an optional base URL.
    auto baseIndex = Format::uidOf(fields["NS.base"]);
    auto relativeIndex = Format::uidOf(fields["NS.relative"]);
    if (!baseIndex || !relativeIndex) return corrupt();
    Value base = decode(*baseIndex, allowed);
    Value relative = decode(*relativeIndex, allowed);
    if (error_) return Value();
    auto baseURL = base.objectAs<NSURL>();
    if (!relative.isText() || (!base.isNil() && !baseURL)) return corrupt();
    return NSURL::URLWithString(*relative.text(), baseURL);
}

std::optional<Value> NSKeyedUnarchiver::scalar(std::string_view key) {
    const Value* entry = field(key);
    if (!entry) return std::nullopt;
    // Numbers encoded as objects sit behind a UID.
    if (auto index = Format::uidOf(*entry)) {
        if (*index == 0 || *index >= objects_.size()) return std::nullopt;
        return objects_[*index];
    }
    return *entry;
}

bool NSKeyedUnarchiver::decodeBoolForKey(std::string_view key) {
    auto value = scalar(key);
    return value && value->isNumber() && value->boolValue();
}

std::int64_t NSKeyedUnarchiver::decodeInt64ForKey(std::string_view key) {
    auto value = scalar(key);
    if (!value || !value->isNumber()) return 0;
    auto number = fitting<std::int64_t>(*value);
    if (!number) fail(NSCoderReadCorruptError, "the number for \"" + std::string(key) + "\" does not fit 64 bits");
    return number.value_or(0);
}

std::int32_t NSKeyedUnarchiver::decodeInt32ForKey(std::string_view key) {
    auto value = scalar(key);
    if (!value || !value->isNumber()) return 0;
    auto number = fitting<std::int32_t>(*value);
    if (!number) fail(NSCoderReadCorruptError, "the number for \"" + std::string(key) + "\" does not fit 32 bits");
    return number.value_or(0);
}

double NSKeyedUnarchiver::decodeDoubleForKey(std::string_view key) {
    auto value = scalar(key);
    if (!value || !value->isNumber()) return 0;
    if (auto flag = value->boolean()) return *flag ? 1 : 0;
    return value->real().value_or(0);
}

std::optional<NSData> NSKeyedUnarchiver::decodeBytesForKey(std::string_view key) {
    auto value = scalar(key);
    if (!value || !value->isData()) return std::nullopt;
    return *value->data();
}
