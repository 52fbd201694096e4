#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/NSObject.h"

// A universally unique identifier: 16 bytes, written as
// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
class NSUUID : public NSObject {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    // A new random (version 4) identifier.
    NSUUID();
    explicit NSUUID(const Bytes& bytes) : bytes_(bytes) {}

    static Ref<NSUUID> UUID() { return make<NSUUID>(); }
    // Nothing unless the text is 32 hex digits in the 8-4-4-4-12 grouping
    // (either letter case).
    static Ref<NSUUID> initWithUUIDString(std::string_view text);

    // Upper-case, hyphenated.
    std::string UUIDString() const;
    const Bytes& bytes() const { return bytes_; }

    // "<NSUUID: 0x...> E621E1F8-..."
    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

private:
    Bytes bytes_{};
};
