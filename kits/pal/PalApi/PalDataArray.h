#pragma once

#include <cstdint>

#include "foundation/NSCoder.h"
#include "foundation/Value.h"

// A list kept on an array pasteboard: each element is the keyed archive of
// one object, or null for an object that could not be archived. Archived
// under "array".
class PalDataArray : public NSObject, public NSCoding {
public:
    static Ref<PalDataArray> arrayWithObjectArray(const Array& objects);

    // Each element unarchived; a missing or unreadable one is null.
    Array objectArray() const;
    std::size_t count() const { return dataArray_.size(); }
    // Nil is ignored.
    void addObject(const Value& object);
    bool replaceObjectAtIndex(std::int32_t index, const Value& object);
    bool removeObjectAtIndex(std::int32_t index);
    void removeAllObjects() { dataArray_.clear(); }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    static Value archived(const Value& object);

    Array dataArray_;
};
