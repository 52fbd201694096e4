#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Bytes, as a value. Mutable where the platform's mutable data is.
class NSData {
public:
    NSData() = default;
    NSData(const void* bytes, std::size_t length);
    explicit NSData(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    // The bytes of a text, as its UTF-8 encoding would give them.
    static NSData fromString(std::string_view text) { return NSData(text.data(), text.size()); }

    std::size_t length() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    std::uint8_t* mutableBytes() { return bytes_.data(); }
    const std::vector<std::uint8_t>& vector() const { return bytes_; }
    std::uint8_t operator[](std::size_t index) const { return bytes_[index]; }

    // The bytes from `location`, `length` long, clamped to what there is.
    NSData subdata(std::size_t location, std::size_t length) const;
    void append(const void* bytes, std::size_t length);
    void append(const NSData& other) { append(other.bytes(), other.length()); }
    void setLength(std::size_t length) { bytes_.resize(length); }
    // Removes `length` bytes from `location` (clamped).
    void remove(std::size_t location, std::size_t length);

    // The bytes read as text (no validation; see NSString for encodings).
    std::string toString() const { return std::string(bytes_.begin(), bytes_.end()); }
    // "<0a1b2c3d 4e5f>" as the platform prints data.
    std::string description() const;

    // Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks).
    std::string base64EncodedString() const;
    // The bytes a base64 text stands for. Nothing when the text is not whole
    // groups of four with "=" only as the last one or two characters, or when
    // it holds a character outside the alphabet; with
    // `ignoreUnknownCharacters` such characters (line breaks...) are skipped.
    static std::optional<NSData> initWithBase64EncodedString(std::string_view text,
                                                             bool ignoreUnknownCharacters = false);

    bool operator==(const NSData& other) const = default;

private:
    std::vector<std::uint8_t> bytes_;
};
