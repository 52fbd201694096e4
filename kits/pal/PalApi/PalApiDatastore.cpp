#include "kits/pal/PalApi/PalApiDatastore.h"

#include "foundation/NSURL.h"
#include "kits/pal/PalApi/PalApiMessage.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "kits/pal/PalApi/PalPasteboard.h"
#include "kits/pal/PalApi/PalPluginMetadata.h"

namespace {
Ref<PalPasteboardMgr> boards() { return PalPasteboardMgr::instance(); }
}  // namespace

Ref<PalApiDatastore> PalApiDatastore::instance() {
    static const Ref<PalApiDatastore> shared = make<PalApiDatastore>();
    return shared;
}

int PalApiDatastore::registerWithMetadata(const Ref<PalPluginMetadata>& metadata) {
    auto board = boards()->getArrayPasteboardByName(kRegisterAppPluginBoard);
    if (!metadata || !board) return -1;
    Value records = board->objectArray();
    if (const Array* list = records.array()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            auto record = (*list)[i].objectAs<PalPluginMetadata>();
            if (record && record->bundleIdentifier() == metadata->bundleIdentifier()) {
                board->replaceObjectAtIndex(static_cast<std::int32_t>(i), Value(metadata));
                return 0;
            }
        }
    }
    board->addObject(Value(metadata));
    return 0;
}

int PalApiDatastore::setAdItemArray(const Array& items) {
    auto board = boards()->getArrayPasteboardByName(kAdItemsBoard);
    if (!board) return -1;
    board->clear();
    for (const Value& item : items) board->addObject(item);
    return 0;
}

Value PalApiDatastore::getAdItemArray() {
    auto board = boards()->getArrayPasteboardByName(kAdItemsBoard);
    return board ? board->objectArray() : Value();
}

int PalApiDatastore::setApiMessage(const Ref<PalApiMessage>& message) {
    auto board = boards()->getObjectPasteboardByName(kApiMessageBoard);
    if (!board) return -1;
    if (!message) {
        board->clear();
    } else {
        board->setObject(Value(message));
    }
    return 0;
}

Ref<PalApiMessage> PalApiDatastore::getApiMessage() {
    auto board = boards()->getObjectPasteboardByName(kApiMessageBoard);
    return board ? board->object().objectAs<PalApiMessage>() : nullptr;
}

void PalApiDatastore::clearApiMessage() {
    if (auto board = boards()->getObjectPasteboardByName(kApiMessageBoard)) board->clear();
}

int PalApiDatastore::setApiLargeData(const Value& record) {
    auto board = boards()->getObjectPasteboardByName(kApiLargeDataBoard);
    if (!board) return -1;
    if (record.isNil()) {
        board->clear();
    } else if (isPalSupportApiGeneralPastboard()) {
        board->setObjectByGeneralPastboard(record);
    } else {
        board->setObject(record);
    }
    return 0;
}

Value PalApiDatastore::getApiLargeData() {
    auto board = boards()->getObjectPasteboardByName(kApiLargeDataBoard);
    return board ? board->object() : Value();
}

Value PalApiDatastore::getApiLargeDataByGeneralPastboard() {
    auto board = boards()->getObjectPasteboardByName(kApiLargeDataBoard);
    return board ? board->objectFromGeneralPastboard() : Value();
}

void PalApiDatastore::clearApiLargeData() {
    if (auto board = boards()->getObjectPasteboardByName(kApiLargeDataBoard)) board->clear();
}

bool PalApiDatastore::isPalSupportApiGeneralPastboard() {
    return PalOpenApiUtility::canOpenURL(NSURL::URLWithString("mpalopensdkapiV2://"));
}
