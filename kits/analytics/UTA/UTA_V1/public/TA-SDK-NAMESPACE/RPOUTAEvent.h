#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// Every fact the library reports: a common envelope (time, session,
// identity, type) and a body that each kind of event writes itself. The
// event's JSON text is what the store keeps and the report channel sends.
class RPOUTAEvent : public NSObject {
public:
    RPOUTAEvent();
    std::string className() const override { return "RPOUTAEvent"; }

    // The type code; the body keys written into `dictionary`.
    virtual std::int32_t getType() const { return 0; }
    virtual void encode(Dictionary& dictionary);

    // from + a random number modulo (to - from + 1).
    static std::int32_t getRandomNumber(std::int32_t from, std::int32_t to);
    // A new event index: never -1, may be negative.
    std::int32_t generateIDX() const;
    std::string toJsonString();
    // The JSON text the store keeps and the channel sends (`content`): made
    // once, when first asked for, and then kept, so the text whose length
    // was judged is the one reported.
    const std::string& reportText();
    // Whether the report text is longer than a report may carry
    // (`maxReportEventLength`, counted by UTATextLength); an error event goes
    // whatever its length. The one rule of the recording methods, the store
    // and the channel.
    bool isTooLongToReport();
    // The length of the JSON text by UTATextLength, 0 before it is made.
    std::size_t contentLength() const;

    std::uint32_t sid = 0;
    std::uint32_t ts = 0;
    std::int32_t eventIndex = 0;
    std::optional<std::string> h5attr;
    std::int32_t h5 = 0;
    std::string timeStr;
    std::optional<std::string> appkey;
    bool isRealTime = false;
    std::optional<std::string> content;
};

// The length of a text as the library's limits count it: in UTF-16 code
// units, as the platform counts string lengths, so a Chinese character counts
// one and not the three bytes it takes in UTF-8.
std::size_t UTATextLength(std::string_view text);

// A single-precision measurement as a JSON number: the shortest decimal that
// reads back as that float (1.234, not the 1.2339999675750732 of its double).
Value UTAFloatNumber(float number);

// The device facts every event body may carry ("pl", "tz", "ov", "av", "os",
// "sv", "lg", "sr", "op", "md", "mf", "ch", "cn"), each only when known.
Dictionary UTADeviceBlock();
// Sets `key` only when the text is there.
void UTASetIfPresent(Dictionary& dictionary, const char* key, const std::optional<std::string>& value);
// Sets `key` only when the text is not empty.
void UTASetIfNotEmpty(Dictionary& dictionary, const char* key, const std::string& value);
// The user type of the analytics user, as the envelope reports it.
std::int32_t UTAUserType();
