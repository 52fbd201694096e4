#pragma once

#include "foundation/NSCoder.h"
#include "kits/pal/PalApi/PalApiObject.h"

// Archives a share object under its kind's name ("objectType") with
// "ApiVersion" 1 and the fields of that kind; an object of a kind not listed
// goes as its nearest listed base. Reading back makes the named kind.
class PalApiObjectCoderImpl : public NSObject, public NSCoding {
public:
    PalApiObjectCoderImpl() = default;
    explicit PalApiObjectCoderImpl(Ref<PalApiObject> object) : obj_(std::move(object)) {}

    const Ref<PalApiObject>& obj() const { return obj_; }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

    // The classes the share layer's archives name, registered once with
    // the unarchiver.
    static void registerArchivedClasses();

private:
    Ref<PalApiObject> obj_;
};
