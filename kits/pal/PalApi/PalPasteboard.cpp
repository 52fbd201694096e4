#include "kits/pal/PalApi/PalPasteboard.h"

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSLog.h"
#include "kits/pal/PalApi/PalApiObjectCoderImpl.h"
#include "kits/pal/PalApi/PalDataArray.h"
#include "kits/pal/PalApi/PalPluginMetadata.h"
#include "uikit/UIPasteboard.h"

namespace {

Ref<UIPasteboard> namedBoard(const std::string& name) {
    auto board = UIPasteboard::pasteboardWithName(name, true);
    if (board) board->setPersistent(true);
    return board;
}

std::optional<NSData> archive(const Value& object) {
    if (object.isNil()) return std::nullopt;
    return NSKeyedArchiver::archivedDataWithRootObject(object);
}

Value unarchive(const std::optional<NSData>& data, Ref<NSError>* error = nullptr) {
    return data ? NSKeyedUnarchiver::unarchiveObjectWithData(*data, error) : Value();
}

// The stored list, or null (with `unreadable` set when something was stored
// that is not one).
Ref<PalDataArray> readList(const std::optional<NSData>& data, bool* unreadable) {
    if (unreadable) *unreadable = false;
    if (!data) return nullptr;
    Ref<NSError> error;
    auto list = unarchive(data, &error).objectAs<PalDataArray>();
    if (!list && unreadable) {
        *unreadable = true;
        NSLog("PalArrayPasteboard addobject exception " + (error ? error->localizedDescription() : std::string("(null)")));
    }
    return list;
}

}  // namespace

void PalPasteboard::clear() {
    if (auto board = namedBoard(name_)) board->setData(std::nullopt, name_);
    UIPasteboard::generalPasteboard()->setData(std::nullopt, name_);
}

std::optional<NSData> PalPasteboard::storedData() const {
    auto board = namedBoard(name_);
    return board ? board->dataForPasteboardType(name_) : std::nullopt;
}

void PalPasteboard::store(const std::optional<NSData>& data) const {
    if (auto board = namedBoard(name_)) board->setData(data, name_);
}

void PalObjectPasteboard::setObject(const Value& object) { store(archive(object)); }

void PalObjectPasteboard::setObjectByGeneralPastboard(const Value& object) {
    UIPasteboard::generalPasteboard()->setData(archive(object), name());
}

Value PalObjectPasteboard::object() const { return unarchive(storedData()); }

Value PalObjectPasteboard::objectFromGeneralPastboard() const {
    return unarchive(UIPasteboard::generalPasteboard()->dataForPasteboardType(name()));
}

void PalArrayPasteboard::addObject(const Value& object) {
    if (object.isNil()) return;
    bool unreadable = false;
    auto list = readList(storedData(), &unreadable);
    if (unreadable) clear();
    if (!list) list = make<PalDataArray>();
    list->addObject(object);
    store(archive(Value(list)));
}

void PalArrayPasteboard::replaceObjectAtIndex(std::int32_t index, const Value& object) {
    if (object.isNil()) return;
    auto list = readList(storedData(), nullptr);
    if (!list || list->count() == 0 || !list->replaceObjectAtIndex(index, object)) return;
    store(archive(Value(list)));
}

// Removes only the indexed element, keeping the rest of the list.
void PalArrayPasteboard::removeObjectAtIndex(std::int32_t index) {
    bool unreadable = false;
    auto list = readList(storedData(), &unreadable);
    if (unreadable) clear();
    if (!list || !list->removeObjectAtIndex(index)) return;
    store(archive(Value(list)));
}

Value PalArrayPasteboard::objectArray() const {
    auto list = readList(storedData(), nullptr);
    return list ? Value(list->objectArray()) : Value();
}

// The manager registers, once, the classes the boards' archives name.
Ref<PalPasteboardMgr> PalPasteboardMgr::instance() {
    static const Ref<PalPasteboardMgr> shared = [] {
        NSKeyedArchiver::setClassName("PalPluginMetadata", "PalPluginMetadata");
        NSKeyedUnarchiver::setClass("PalPluginMetadata", "PalPluginMetadata");
        NSKeyedUnarchiver::registerClass<PalDataArray>();
        NSKeyedUnarchiver::registerClass<PalPluginMetadata>();
        NSKeyedUnarchiver::registerClass<PalApiAdItem>();
        PalApiObjectCoderImpl::registerArchivedClasses();
        return make<PalPasteboardMgr>();
    }();
    return shared;
}

template <class Board> Ref<Board> PalPasteboardMgr::boardNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    for (const auto& board : boards_)
        if (board->name() == name) return cast<Board>(board);
    auto board = make<Board>(name);
    boards_.push_back(board);
    return board;
}

Ref<PalObjectPasteboard> PalPasteboardMgr::getObjectPasteboardByName(const std::string& name) {
    return boardNamed<PalObjectPasteboard>(name);
}

Ref<PalArrayPasteboard> PalPasteboardMgr::getArrayPasteboardByName(const std::string& name) {
    return boardNamed<PalArrayPasteboard>(name);
}
