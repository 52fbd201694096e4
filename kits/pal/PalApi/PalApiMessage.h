#pragma once

#include <cstdint>

#include "foundation/NSCoder.h"
#include "foundation/NSObject.h"
#include "kits/pal/PalApi/PalApiObject.h"

class PalApiTask;

// A piece of content on its way to or from Pal, with what it is for:
// 1 Pal asks to show content, 2 the answer to that, 3 Pal asks for content,
// 4 the answer to that, 5 a share to a Pal chat, 6 Pal's answer to a share,
// 7 a share to PalSpace, 8 a share to a group tribe.
//
// Archived as "ApiVersion" 1, "type", and "object": the bytes of a separate
// archive of the object (see PalApiObjectCoderImpl).
class PalApiMessage : public NSObject, public NSCoding {
public:
    static constexpr std::uint64_t kShowRequestFromPal = 1;
    static constexpr std::uint64_t kShowAnswer = 2;
    static constexpr std::uint64_t kGetRequestFromPal = 3;
    static constexpr std::uint64_t kGetAnswer = 4;
    static constexpr std::uint64_t kShareToChat = 5;
    static constexpr std::uint64_t kShareAnswerFromPal = 6;
    static constexpr std::uint64_t kShareToPalSpace = 7;
    static constexpr std::uint64_t kShareToGroupTribe = 8;

    PalApiMessage() = default;
    PalApiMessage(Ref<PalApiObject> object, std::uint64_t type) : object_(std::move(object)), type_(type) {}

    static Ref<PalApiMessage> messageWithObject(Ref<PalApiObject> object, std::uint64_t type = kShareToChat) {
        return make<PalApiMessage>(std::move(object), type);
    }

    std::uint64_t type() const { return type_; }
    void setType(std::uint64_t type) { type_ = type; }
    const Ref<PalApiObject>& object() const { return object_; }
    void setObject(Ref<PalApiObject> object) { object_ = std::move(object); }

    // A share task marks the message it sends again; the mark stays.
    void setAssociatedTask(const Ref<PalApiTask>& task);
    bool isAssociatedWithTask() const { return associatedWithTask_; }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    Ref<PalApiObject> object_;
    std::uint64_t type_ = 0;
    bool associatedWithTask_ = false;
};
