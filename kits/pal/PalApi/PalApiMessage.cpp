#include "kits/pal/PalApi/PalApiMessage.h"

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "kits/pal/PalApi/PalApiObjectCoderImpl.h"

namespace {
constexpr std::int32_t kApiVersion = 1;
}

void PalApiMessage::setAssociatedTask(const Ref<PalApiTask>& task) {
    if (task) associatedWithTask_ = true;
}

void PalApiMessage::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt32(kApiVersion, "ApiVersion");
    coder.encodeInt64(static_cast<std::int64_t>(type_), "type");
    auto object = NSKeyedArchiver::archivedDataWithRootObject(Value(make<PalApiObjectCoderImpl>(object_)));
    coder.encodeObject(object ? Value(*object) : Value(), "object");
}

bool PalApiMessage::initWithCoder(NSCoder& coder) {
    if (coder.decodeInt32ForKey("ApiVersion") < kApiVersion) return true;
    type_ = static_cast<std::uint64_t>(coder.decodeInt64ForKey("type"));
    Value bytes = coder.decodeObjectForKey("object");
    if (const NSData* data = bytes.data()) {
        PalApiObjectCoderImpl::registerArchivedClasses();
        if (auto coded = NSKeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<PalApiObjectCoderImpl>())
            object_ = coded->obj();
    }
    return true;
}
