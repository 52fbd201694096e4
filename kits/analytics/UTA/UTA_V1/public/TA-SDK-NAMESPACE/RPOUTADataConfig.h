#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// One online-configuration record: type 1 (the library's) or 2 (the
// application's), its content as JSON text, the server's digest (kept, never
// compared) and the version.
class RPOUTADataConfig : public NSObject {
public:
    std::string className() const override { return "RPOUTADataConfig"; }

    // Fills digest, content and version from a record of a server answer:
    // "c" (a dictionary), "v" (a number) and "m" (a text), all required.
    bool decode(const Value& record);
    // "v" = the version.
    void encodeWithNoContent(Dictionary& dictionary) const;

    std::uint32_t type = 0;
    std::string content;
    std::string md5;
    std::uint32_t version = 0;
};

// The Foundation class a decoded JSON value would have, for log lines.
std::string UTAClassNameOf(const Value& value);
