#pragma once

#include <type_traits>
#include <vector>

#include "frameworks/models/HandyJSON.h"

// A model filled by key-value mapping. It lists its properties once, in
// `mapping`, by JSON key, with the same mapper as HandyJSON models; a
// property the model renames simply lists the other key. Text properties are
// std::optional<std::string>: unset when the key is absent or null, numbers
// arrive as their decimal text.
class MJKeyValueModel : public HandyJSON {};

// The key-value entry points, after the framework's NSObject category.
class NSObjectMJKeyValue {
public:
    // A model from a JSON object; nullptr for anything else.
    template <class Model> static Ref<Model> mj_objectWithKeyValues(const Value& keyValues) {
        static_assert(std::is_base_of_v<MJKeyValueModel, Model>);
        return PropertyMapper::decode<Model>(keyValues);
    }

    // One model per object of a JSON array; elements that are not objects
    // are skipped, and anything but an array gives no models.
    template <class Model> static std::vector<Ref<Model>> mj_objectArrayWithKeyValuesArray(const Value& keyValuesArray) {
        std::vector<Ref<Model>> models;
        const Array* items = keyValuesArray.array();
        if (!items) return models;
        for (const Value& item : *items)
            if (auto model = mj_objectWithKeyValues<Model>(item)) models.push_back(std::move(model));
        return models;
    }
};
