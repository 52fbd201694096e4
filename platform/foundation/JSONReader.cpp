#include "foundation/JSONReader.h"

#include <cstdint>
#include <exception>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

// Receives the parser's events and builds the value in place: every container
// is put into its parent as soon as it opens, and the open ones are kept as
// pointers (a parent never grows while its last child is still open, so the
// pointers stay valid).
class ValueBuilder {
public:
    ValueBuilder(Value& root, int maxDepth) : root_(root), maxDepth_(static_cast<std::size_t>(maxDepth)) {}

    bool null() { return add(Value::null()) != nullptr; }
    bool boolean(bool flag) { return add(Value(flag)) != nullptr; }
    // Only texts with a minus sign come here, so a 0 was written "-0": it
    // reads as the real -0, which writes back as "-0" again.
    bool number_integer(std::int64_t number) {
        if (number == 0) return add(Value(-0.0)) != nullptr;
        return add(Value(number)) != nullptr;
    }
    // The parser reports every non-negative integer here; only those beyond
    // int64 stay unsigned.
    bool number_unsigned(std::uint64_t number) {
        if (number <= static_cast<std::uint64_t>(INT64_MAX)) return add(Value(static_cast<std::int64_t>(number))) != nullptr;
        return add(Value(number)) != nullptr;
    }
    bool number_float(double number, const std::string&) { return add(Value(number)) != nullptr; }
    bool string(std::string& text) { return add(Value(std::move(text))) != nullptr; }
    bool binary(nlohmann::json::binary_t&) { return false; }  // JSON text has none
    bool key(std::string& key) {
        key_ = std::move(key);
        return true;
    }
    bool start_object(std::size_t) { return open(Value(Dictionary())); }
    bool start_array(std::size_t) { return open(Value(Array())); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
        failureOffset_ = position;
        failureReason_ = error.what();
        // Drop the library's "[json.exception.parse_error.101] " tag.
        if (auto tagEnd = failureReason_.find("] "); tagEnd != std::string::npos) failureReason_.erase(0, tagEnd + 2);
        return false;
    }

    const std::string& failureReason() const { return failureReason_; }
    std::size_t failureOffset() const { return failureOffset_; }

private:
    // Puts a value into the innermost open container (or at the top) and
    // answers where it now lives.
    Value* add(Value value) {
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Value& parent = *open_.back();
        if (Array* items = parent.array()) {
            items->push_back(std::move(value));
            return &items->back();
        }
        Dictionary& members = *parent.dictionary();
        return &members.put(std::move(key_), std::move(value));
    }

    bool open(Value container) {
        if (open_.size() >= maxDepth_) {
            failureReason_ = "nesting deeper than " + std::to_string(maxDepth_) + " levels";
            return false;
        }
        open_.push_back(add(std::move(container)));
        return true;
    }

    bool close() {
        open_.pop_back();
        return true;
    }

    Value& root_;
    std::size_t maxDepth_;
    std::vector<Value*> open_;
    std::string key_;
    std::string failureReason_;
    std::size_t failureOffset_ = JSONReader::unknownOffset;
};

}  // namespace

Value JSONReader::read(std::string_view text) {
    // The parser takes a NUL byte for the end of the input; no JSON text
    // holds one, so it is refused here instead of ending the text early.
    if (auto nul = text.find('\0'); nul != std::string_view::npos) {
        failureReason_ = "unexpected NUL byte";
        failureOffset_ = nul;
        return Value();
    }
    Value root;
    ValueBuilder builder(root, maxDepth_);
    bool read = false;
    try {
        read = nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
    } catch (const std::exception& error) {
        failureReason_ = error.what();
        failureOffset_ = unknownOffset;
        return Value();
    }
    if (read) {
        failureReason_.clear();
        failureOffset_ = unknownOffset;
        return root;
    }
    failureReason_ = builder.failureReason();
    failureOffset_ = builder.failureOffset();
    return Value();
}
