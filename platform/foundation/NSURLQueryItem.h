#pragma once

#include <optional>
#include <string>

// One "name=value" pair of a URL query, as plain (decoded) text. An item
// written without "=" has no value, which differs from an empty one.
class NSURLQueryItem {
public:
    NSURLQueryItem(std::string name, std::optional<std::string> value)
        : name_(std::move(name)), value_(std::move(value)) {}
    static NSURLQueryItem queryItemWithName(std::string name, std::optional<std::string> value) {
        return NSURLQueryItem(std::move(name), std::move(value));
    }

    const std::string& name() const { return name_; }
    const std::optional<std::string>& value() const { return value_; }

    bool operator==(const NSURLQueryItem&) const = default;

private:
    std::string name_;
    std::optional<std::string> value_;
};
