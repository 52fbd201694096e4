#include "frameworks/http/FormURLEncoding.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"

namespace {

const NSCharacterSet& allowedCharacters() {
    static const NSCharacterSet allowed = [] {
        NSCharacterSet set = NSCharacterSet::URLQueryAllowedCharacterSet();
        set.removeCharactersInString(":#[]@!$&'()*+,;=");
        return set;
    }();
    return allowed;
}

void appendPairs(const std::string& key, const Value& value, std::vector<std::pair<std::string, std::string>>& pairs) {
    if (const Dictionary* nested = value.dictionary()) {
        std::vector<std::string> keys = nested->keys();
        std::sort(keys.begin(), keys.end());
        for (const auto& subkey : keys) appendPairs(key + "[" + subkey + "]", (*nested)[subkey], pairs);
    } else if (const Array* items = value.array()) {
        for (const Value& item : *items) appendPairs(key + "[]", item, pairs);
    } else if (value.isNil() || value.isNull()) {
        pairs.emplace_back(key, std::string());
    } else {
        pairs.emplace_back(key, value.description());
    }
}

}  // namespace

std::string FormURLEncoding::percentEscaped(std::string_view text) {
    return NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, allowedCharacters());
}

std::string FormURLEncoding::queryString(const Dictionary& parameters) {
    std::vector<std::string> keys = parameters.keys();
    std::sort(keys.begin(), keys.end());
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& key : keys) appendPairs(key, parameters[key], pairs);
    std::string query;
    for (const auto& [key, value] : pairs) {
        if (!query.empty()) query += '&';
        query += percentEscaped(key);
        query += '=';
        query += percentEscaped(value);
    }
    return query;
}

std::string FormURLEncoding::appendingQuery(const std::string& address, const std::string& query) {
    if (query.empty()) return address;
    return address + (address.find('?') == std::string::npos ? "?" : "&") + query;
}
