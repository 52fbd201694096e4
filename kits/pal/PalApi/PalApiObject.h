#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <typeinfo>

#include "foundation/NSObject.h"

// `isMemberOfClass:`-style cast of the kit: the object when it is exactly a
// T (not a subclass of it), else null.
template <class T, class U> T* exactly(const Ref<U>& object) {
    return object && typeid(*object) == typeid(T) ? static_cast<T*>(object.get()) : nullptr;
}

// A text the content may lack: nothing is no text, which a share leaves
// out, where an empty text is sent as one.
using PalApiText = std::optional<std::string>;

// The root of the content a host app shares to Pal or PalWork: where it
// goes (shareDestType 0 Pal, 1 PalWork), its title and description, and
// the host's flags (cflag: 8 favourites, 16 data line, 1 and 4 report kinds).
class PalApiObject : public NSObject {
public:
    std::int32_t shareDestType() const { return shareDestType_; }
    void setShareDestType(std::int32_t type) { shareDestType_ = type; }
    // The title, empty when there is none.
    const std::string& title() const { return title_ ? *title_ : noText(); }
    bool hasTitle() const { return title_.has_value(); }
    void setTitle(PalApiText title) { title_ = std::move(title); }
    // The content's description, empty when there is none (also what "%@"
    // prints of it).
    std::string description() const override { return description_.value_or(""); }
    bool hasDescription() const { return description_.has_value(); }
    void setDescription(PalApiText description) { description_ = std::move(description); }
    std::uint64_t cflag() const { return cflag_; }
    void setCflag(std::uint64_t flags) { cflag_ = flags; }

private:
    static const std::string& noText() {
        static const std::string empty;
        return empty;
    }

    std::int32_t shareDestType_ = 0;
    PalApiText title_;
    PalApiText description_;
    std::uint64_t cflag_ = 0;
};

// A plain text.
class PalApiTextObject : public PalApiObject {
public:
    explicit PalApiTextObject(std::string text = {}) : text_(std::move(text)) {}
    static Ref<PalApiTextObject> objectWithText(std::string text) { return make<PalApiTextObject>(std::move(text)); }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

private:
    std::string text_;
};

// What Pal answers to a share: an error code ("0" success) with its texts.
class PalApiResultObject : public PalApiObject {
public:
    const std::string& error() const { return error_; }
    void setError(std::string error) { error_ = std::move(error); }
    const std::string& errorDescription() const { return errorDescription_; }
    void setErrorDescription(std::string text) { errorDescription_ = std::move(text); }
    const std::string& extendInfo() const { return extendInfo_; }
    void setExtendInfo(std::string text) { extendInfo_ = std::move(text); }

private:
    std::string error_;
    std::string errorDescription_;
    std::string extendInfo_;
};
