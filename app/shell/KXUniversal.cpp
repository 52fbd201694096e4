#include "app/shell/KXUniversal.h"

#include "foundation/NSJSONSerialization.h"

Dictionary dictionaryFromJSONString(std::string_view text) {
    Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(text));
    if (Dictionary* object = parsed.dictionary()) return std::move(*object);
    return Dictionary();
}
