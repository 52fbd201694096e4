#include "kits/ripple/NSDictionary_SafeJSON.h"

namespace {

bool isNumberOrText(const Value& value) { return value.isNumber() || value.isText(); }

}  // namespace

std::optional<std::string> NSDictionary_SafeJSON::rpApi_stringForKey(const Dictionary& dictionary,
                                                                     std::string_view key) {
    const std::string* text = dictionary[key].text();
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

const Array* NSDictionary_SafeJSON::rpApi_arrayForKey(const Dictionary& dictionary, std::string_view key) {
    return dictionary[key].array();
}

const Dictionary* NSDictionary_SafeJSON::rpApi_dictionaryForKey(const Dictionary& dictionary, std::string_view key) {
    return dictionary[key].dictionary();
}

long NSDictionary_SafeJSON::rpApi_integerForKey(const Dictionary& dictionary, std::string_view key) {
    const Value& value = dictionary[key];
    return isNumberOrText(value) ? value.integerValue() : 0;
}

float NSDictionary_SafeJSON::rpApi_floatForKey(const Dictionary& dictionary, std::string_view key) {
    const Value& value = dictionary[key];
    return isNumberOrText(value) ? value.floatValue() : 0;
}

double NSDictionary_SafeJSON::rpApi_doubleForKey(const Dictionary& dictionary, std::string_view key) {
    const Value& value = dictionary[key];
    return isNumberOrText(value) ? value.doubleValue() : 0;
}
