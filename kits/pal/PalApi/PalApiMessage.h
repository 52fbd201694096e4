#pragma once

#include <cstdint>

#include "foundation/NSObject.h"
#include "kits/pal/PalApi/PalApiObject.h"

// A piece of content on its way to or from Pal, with what it is for:
// 1 Pal asks to show content, 2 the answer to that, 3 Pal asks for content,
// 4 the answer to that, 5 a share to a Pal chat, 6 Pal's answer to a share,
// 7 a share to PalSpace, 8 a share to a group tribe.
class PalApiMessage : public NSObject {
public:
    static constexpr std::uint64_t kShareToChat = 5;

    PalApiMessage(Ref<PalApiObject> object, std::uint64_t type) : object_(std::move(object)), type_(type) {}

    static Ref<PalApiMessage> messageWithObject(Ref<PalApiObject> object, std::uint64_t type) {
        return make<PalApiMessage>(std::move(object), type);
    }

    std::uint64_t type() const { return type_; }
    void setType(std::uint64_t type) { type_ = type; }
    const Ref<PalApiObject>& object() const { return object_; }
    void setObject(Ref<PalApiObject> object) { object_ = std::move(object); }

private:
    Ref<PalApiObject> object_;
    std::uint64_t type_;
};
