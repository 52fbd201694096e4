#include "kits/pal/PalApi/PalDataArray.h"

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"

Ref<PalDataArray> PalDataArray::arrayWithObjectArray(const Array& objects) {
    auto array = make<PalDataArray>();
    for (const Value& object : objects) array->addObject(object);
    return array;
}

Value PalDataArray::archived(const Value& object) {
    auto data = NSKeyedArchiver::archivedDataWithRootObject(object);
    return data ? Value(*data) : Value::null();
}

Array PalDataArray::objectArray() const {
    Array objects;
    for (const Value& element : dataArray_) {
        Value object;
        if (const NSData* data = element.data()) object = NSKeyedUnarchiver::unarchiveObjectWithData(*data);
        objects.push_back(object.isNil() ? Value::null() : object);
    }
    return objects;
}

void PalDataArray::addObject(const Value& object) {
    if (object.isNil()) return;
    dataArray_.push_back(archived(object));
}

bool PalDataArray::replaceObjectAtIndex(std::int32_t index, const Value& object) {
    if (index < 0 || object.isNil() || static_cast<std::size_t>(index) >= dataArray_.size()) return false;
    dataArray_[static_cast<std::size_t>(index)] = archived(object);
    return true;
}

bool PalDataArray::removeObjectAtIndex(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= dataArray_.size()) return false;
    dataArray_.erase(dataArray_.begin() + index);
    return true;
}

void PalDataArray::encodeWithCoder(NSCoder& coder) const { coder.encodeObject(dataArray_, "array"); }

bool PalDataArray::initWithCoder(NSCoder& coder) {
    Value stored = coder.decodeObjectForKey("array");
    dataArray_ = stored.array() ? *stored.array() : Array();
    return true;
}
