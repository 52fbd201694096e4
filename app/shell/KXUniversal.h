#pragma once

#include <string_view>

#include "foundation/Value.h"

// An answer text as a dictionary: the members of the JSON object it holds;
// an empty dictionary for the empty text, text that is not JSON, and JSON
// whose top level is not an object.
Dictionary dictionaryFromJSONString(std::string_view text);
