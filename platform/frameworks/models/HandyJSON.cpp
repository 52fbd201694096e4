#include "frameworks/models/HandyJSON.h"

#include <cmath>

#include <cstdlib>

namespace {

// The whole text as a number, or nothing: "12" and " 1.5 " convert, "12ab" not.
std::optional<double> numberOfText(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\n\r");
    if (begin == std::string::npos) return std::nullopt;
    std::size_t end = text.find_last_not_of(" \t\n\r") + 1;
    std::string trimmed = text.substr(begin, end - begin);
    char* stop = nullptr;
    double number = std::strtod(trimmed.c_str(), &stop);
    if (stop != trimmed.c_str() + trimmed.size() || !std::isfinite(number)) return std::nullopt;
    return number;
}

}  // namespace

void PropertyMapper::assign(const Value& value, std::string& field) {
    if (value.isText()) field = *value.text();
    else if (value.isNumber()) field = value.description();
}

void PropertyMapper::assign(const Value& value, std::optional<std::string>& field) {
    if (value.isNull()) field.reset();
    else if (auto text = value.stringValue()) field = std::move(text);
}

void PropertyMapper::assign(const Value& value, bool& field) {
    if (auto flag = value.boolean()) field = *flag;
    else if (auto number = value.real()) field = *number != 0;
    else if (value.isText()) {
        const std::string& text = *value.text();
        if (text == "true" || text == "1") field = true;
        else if (text == "false" || text == "0") field = false;
    }
}

void PropertyMapper::assign(const Value& value, double& field) {
    if (auto number = value.real()) field = *number;
    else if (auto flag = value.boolean()) field = *flag ? 1 : 0;
    else if (value.isText()) {
        if (auto number = numberOfText(*value.text())) field = *number;
    }
}

void PropertyMapper::assign(const Value& value, float& field) {
    double number = field;
    assign(value, number);
    field = static_cast<float>(number);
}

std::optional<std::int64_t> PropertyMapper::integerOf(const Value& value) {
    if (auto number = value.integer()) return number;
    if (auto flag = value.boolean()) return *flag ? 1 : 0;
    std::optional<double> number = value.isReal() ? value.real()
                                   : value.isText() ? numberOfText(*value.text())
                                                    : std::nullopt;
    if (!number || std::fabs(*number) >= 9.2e18) return std::nullopt;
    return static_cast<std::int64_t>(*number);
}

std::vector<std::string> PropertyMapper::keysOf(HandyJSON& model) {
    static const Dictionary none;
    std::vector<std::string> keys;
    PropertyMapper lister(none);
    lister.listedKeys_ = &keys;
    model.mapping(lister);
    return keys;
}
