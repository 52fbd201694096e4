#include "foundation/Value.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "foundation/NSString.h"

namespace {

const Value& nilValue() {
    static const Value nil;
    return nil;
}

// Shortest text that reads back as the same double; integral values print
// without a fraction ("1", not "1.0"), as the platform's numbers do.
std::string describeReal(double number) {
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number < 0 ? "-inf" : "inf";
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, number);
    return std::string(text, result.ptr);
}

// Texts inside container descriptions are quoted unless they are plain words.
bool needsQuotes(const std::string& text) {
    if (text.empty()) return true;
    for (unsigned char c : text) {
        if (c < 0x80 && !std::isalnum(c) && c != '_' && c != '.' && c != '$' && c != '/') return true;
    }
    return false;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') { out += "\\n"; continue; }
        out += c;
    }
    return out + "\"";
}

}  // namespace

// ---------------------------------------------------------------- Dictionary

Dictionary::Dictionary(std::initializer_list<Entry> entries) {
    for (const auto& [key, value] : entries) set(key, value);
}

std::size_t Dictionary::indexOf(std::string_view key) const {
    if (!index_.empty()) {
        auto found = index_.find(key);
        return found == index_.end() ? npos : found->second;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].first == key) return i;
    }
    return npos;
}

void Dictionary::rebuildIndex() {
    index_.clear();
    if (entries_.size() < indexThreshold) return;
    index_.reserve(entries_.size() * 2);
    for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].first, i);
}

const Value* Dictionary::find(std::string_view key) const {
    std::size_t at = indexOf(key);
    return at == npos ? nullptr : &entries_[at].second;
}

Value* Dictionary::find(std::string_view key) {
    std::size_t at = indexOf(key);
    return at == npos ? nullptr : &entries_[at].second;
}

const Value& Dictionary::operator[](std::string_view key) const {
    const Value* found = find(key);
    return found ? *found : nilValue();
}

void Dictionary::set(std::string_view key, Value value) {
    if (value.isNil()) {
        remove(key);
        return;
    }
    put(std::string(key), std::move(value));
}

Value& Dictionary::put(std::string key, Value value) {
    std::size_t at = indexOf(key);
    if (at != npos) {
        entries_[at].second = std::move(value);
        return entries_[at].second;
    }
    entries_.emplace_back(std::move(key), std::move(value));
    if (!index_.empty()) index_.emplace(entries_.back().first, entries_.size() - 1);
    else if (entries_.size() == indexThreshold) rebuildIndex();
    return entries_.back().second;
}

void Dictionary::remove(std::string_view key) {
    std::size_t at = indexOf(key);
    if (at == npos) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    if (!index_.empty()) rebuildIndex();
}

void Dictionary::clear() {
    entries_.clear();
    index_.clear();
}

std::vector<std::string> Dictionary::keys() const {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) keys.push_back(entry.first);
    return keys;
}

bool Dictionary::operator==(const Dictionary& other) const {
    if (count() != other.count()) return false;
    for (const auto& [key, value] : entries_) {
        const Value* theirs = other.find(key);
        if (!theirs || !(*theirs == value)) return false;
    }
    return true;
}

// --------------------------------------------------------------------- Value

Value::Value(const char* text) {
    if (text) storage_ = std::string(text);
}

std::optional<bool> Value::boolean() const {
    if (auto flag = std::get_if<bool>(&storage_)) return *flag;
    return std::nullopt;
}

std::optional<std::int64_t> Value::integer() const {
    if (auto number = std::get_if<std::int64_t>(&storage_)) return *number;
    if (auto number = std::get_if<std::uint64_t>(&storage_)) {
        if (*number <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(*number);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Value::unsignedInteger() const {
    if (auto number = std::get_if<std::uint64_t>(&storage_)) return *number;
    if (auto number = std::get_if<std::int64_t>(&storage_)) {
        if (*number >= 0) return static_cast<std::uint64_t>(*number);
    }
    return std::nullopt;
}

std::optional<double> Value::real() const {
    if (auto number = std::get_if<double>(&storage_)) return *number;
    if (auto number = std::get_if<std::int64_t>(&storage_)) return static_cast<double>(*number);
    if (auto number = std::get_if<std::uint64_t>(&storage_)) return static_cast<double>(*number);
    return std::nullopt;
}

std::optional<NSDate> Value::date() const {
    if (auto date = std::get_if<NSDate>(&storage_)) return *date;
    return std::nullopt;
}

Ref<NSObject> Value::object() const {
    if (auto object = std::get_if<Ref<NSObject>>(&storage_)) return *object;
    return nullptr;
}

long long Value::longLongValue() const {
    switch (kind()) {
    case Kind::Bool: return *boolean() ? 1 : 0;
    case Kind::Integer: return std::get<std::int64_t>(storage_);
    case Kind::Unsigned: return static_cast<long long>(std::get<std::uint64_t>(storage_));
    case Kind::Real: {
        double number = std::get<double>(storage_);
        if (std::isnan(number)) return 0;
        if (number >= 9.2233720368547758e18) return LLONG_MAX;
        if (number <= -9.2233720368547758e18) return LLONG_MIN;
        return static_cast<long long>(number);
    }
    case Kind::Text: return NSString::longLongValue(*text());
    default: return 0;
    }
}

int Value::intValue() const {
    if (isText()) return NSString::intValue(*text());
    // Numbers narrow as a C cast would: keep the low 32 bits.
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<unsigned long long>(longLongValue())));
}

double Value::doubleValue() const {
    if (auto number = real()) return *number;
    if (auto flag = boolean()) return *flag ? 1 : 0;
    if (isText()) return NSString::doubleValue(*text());
    return 0;
}

bool Value::boolValue() const {
    if (auto flag = boolean()) return *flag;
    if (auto number = real()) return *number != 0;
    if (isText()) return NSString::boolValue(*text());
    return false;
}

std::optional<std::string> Value::stringValue() const {
    if (isText()) return *text();
    if (isNumber()) return description();
    return std::nullopt;
}

const Value& Value::operator[](std::string_view key) const {
    if (auto dictionary = std::get_if<Dictionary>(&storage_)) return (*dictionary)[key];
    return nilValue();
}

const Value& Value::operator[](std::size_t index) const {
    if (auto array = std::get_if<Array>(&storage_)) {
        if (index < array->size()) return (*array)[index];
    }
    return nilValue();
}

std::size_t Value::count() const {
    if (auto array = std::get_if<Array>(&storage_)) return array->size();
    if (auto dictionary = std::get_if<Dictionary>(&storage_)) return dictionary->count();
    return 0;
}

std::string Value::description() const {
    std::string out;
    describe(out, 0);
    return out;
}

void Value::describe(std::string& out, int indent) const {
    const std::string pad(static_cast<std::size_t>(indent) * 4, ' ');
    const std::string innerPad = pad + "    ";
    auto describeItem = [&](const Value& item) {
        if (item.isText() && needsQuotes(*item.text())) out += quoted(*item.text());
        else item.describe(out, indent + 1);
    };
    switch (kind()) {
    case Kind::Nil: out += "(null)"; break;
    case Kind::Null: out += "<null>"; break;
    case Kind::Bool: out += *boolean() ? "1" : "0"; break;
    case Kind::Integer: out += std::to_string(std::get<std::int64_t>(storage_)); break;
    case Kind::Unsigned: out += std::to_string(std::get<std::uint64_t>(storage_)); break;
    case Kind::Real: out += describeReal(std::get<double>(storage_)); break;
    case Kind::Text: out += *text(); break;
    case Kind::Data: out += data()->description(); break;
    case Kind::Date: out += date()->description(); break;
    case Kind::Array: {
        const Array& items = *array();
        out += "(\n";
        for (std::size_t i = 0; i < items.size(); ++i) {
            out += innerPad;
            describeItem(items[i]);
            out += i + 1 < items.size() ? ",\n" : "\n";
        }
        out += pad + ")";
        break;
    }
    case Kind::Dictionary: {
        out += "{\n";
        for (const auto& [key, item] : *dictionary()) {
            out += innerPad;
            out += needsQuotes(key) ? quoted(key) : key;
            out += " = ";
            describeItem(item);
            out += ";\n";
        }
        out += pad + "}";
        break;
    }
    case Kind::Object: out += object()->description(); break;
    }
}

bool Value::operator==(const Value& other) const {
    if (isNumber() && other.isNumber()) {
        // Exact comparison when both are integers, so large ones stay apart.
        if (isInteger() && other.isInteger()) {
            auto mine = integer(), theirs = other.integer();
            if (mine && theirs) return *mine == *theirs;
            return unsignedInteger() == other.unsignedInteger();
        }
        return doubleValue() == other.doubleValue();
    }
    if (kind() != other.kind()) return false;
    if (isObject()) {
        auto mine = object(), theirs = other.object();
        return mine == theirs || mine->isEqual(*theirs);
    }
    return storage_ == other.storage_;
}
