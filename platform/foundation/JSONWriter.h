#pragma once

#include <string>

#include "foundation/Value.h"

// Writes a Value as JSON text, compact or pretty, by the rules of
// NSJSONSerialization (which also decides what may stand at the top level).
class JSONWriter {
public:
    JSONWriter(bool pretty, int maxDepth) : pretty_(pretty), maxDepth_(maxDepth) {}

    // Appends the text of `value` to text(); false (with text() unspecified)
    // when the value holds something JSON cannot express.
    bool write(const Value& value);
    std::string& text() { return text_; }

private:
    bool write(const Value& value, int depth);
    bool writeArray(const Array& items, int depth);
    bool writeDictionary(const Dictionary& members, int depth);
    bool writeText(std::string_view text);
    void writeReal(double number);
    void newLine(int depth);

    bool pretty_;
    int maxDepth_;
    std::string text_;
};
