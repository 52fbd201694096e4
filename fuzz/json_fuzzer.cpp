// Reads arbitrary bytes as JSON; whatever reads must write, compact and
// pretty, to a text that reads back to an equal value and writes again to the
// same compact text.
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "foundation/NSJSONSerialization.h"

namespace {

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "json_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    Value value = NSJSONSerialization::JSONObjectWithData(NSData(bytes, size));
    if (value.isNil()) return 0;
    // Only containers may stand at the top when writing; a lone scalar goes
    // into an array (a container is left as it is, as it may be at the depth cap).
    if (!value.isArray() && !value.isDictionary()) value = Array{value};

    auto compact = NSJSONSerialization::dataWithJSONObject(value);
    require(compact.has_value(), "a value that was read cannot be written");
    Value again = NSJSONSerialization::JSONObjectWithData(*compact);
    require(again == value, "the compact text reads back to a different value");
    auto rewritten = NSJSONSerialization::dataWithJSONObject(again);
    require(rewritten && *rewritten == *compact, "writing what was read back gives another text");

    auto pretty = NSJSONSerialization::dataWithJSONObject(value, true);
    require(pretty.has_value(), "a value that was read cannot be written pretty");
    require(NSJSONSerialization::JSONObjectWithData(*pretty) == value, "the pretty text reads back differently");
    return 0;
}
