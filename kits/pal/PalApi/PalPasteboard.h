#pragma once

#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// A named, persistent pasteboard of the share layer; its name is also the
// type under which the data lies. Everything stored is a keyed archive.
class PalPasteboard : public NSObject {
public:
    explicit PalPasteboard(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    // Removes the data from the named board and from the general pasteboard.
    void clear();

protected:
    // The archive stored on the named board (created when missing).
    std::optional<NSData> storedData() const;
    void store(const std::optional<NSData>& data) const;

private:
    const std::string name_;
};

// One archived object.
class PalObjectPasteboard : public PalPasteboard {
public:
    using PalPasteboard::PalPasteboard;

    // Nil removes the data.
    void setObject(const Value& object);
    void setObjectByGeneralPastboard(const Value& object);
    Value object() const;
    Value objectFromGeneralPastboard() const;
};

// A list of archived objects (a PalDataArray).
class PalArrayPasteboard : public PalPasteboard {
public:
    using PalPasteboard::PalPasteboard;

    // Appends; a stored list that cannot be read is replaced by a new one.
    void addObject(const Value& object);
    void replaceObjectAtIndex(std::int32_t index, const Value& object);
    // Removes the element at the index (nothing for an index outside).
    void removeObjectAtIndex(std::int32_t index);
    // Nil when nothing readable is stored.
    Value objectArray() const;
};

// Hands out one board per name, of one kind.
class PalPasteboardMgr : public NSObject {
public:
    static Ref<PalPasteboardMgr> instance();

    // Null for an empty name or a name already given to the other kind.
    Ref<PalObjectPasteboard> getObjectPasteboardByName(const std::string& name);
    Ref<PalArrayPasteboard> getArrayPasteboardByName(const std::string& name);

private:
    template <class Board> Ref<Board> boardNamed(const std::string& name);

    std::vector<Ref<PalPasteboard>> boards_;
};
