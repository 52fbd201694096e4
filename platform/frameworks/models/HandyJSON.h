#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

class PropertyMapper;

// A model decoded from JSON by property name. Each model lists its fields once,
// in `mapping`, with the JSON key of each; a key that the answer lacks leaves
// the field's default, and a value of a kind that cannot become the field's
// type is skipped the same way.
class HandyJSON : public NSObject {
public:
    virtual void mapping(PropertyMapper& mapper) = 0;
};

// Fills a model's fields from one JSON object. Scalars convert leniently, as
// the answers of the back end mix numbers and texts: a number becomes its
// text for a text field, a numeric text becomes a number for a number field.
class PropertyMapper {
public:
    explicit PropertyMapper(const Dictionary& object) : object_(object) {}

    template <class Field> PropertyMapper& operator()(std::string_view key, Field& field) {
        if (listedKeys_) {
            listedKeys_->emplace_back(key);
            return *this;
        }
        const Value* value = object_.find(key);
        if (value) assign(*value, field);
        return *this;
    }

    // The conversions, one per field type; each leaves the field alone when
    // the value cannot become its type.
    static void assign(const Value& value, std::string& field);
    // A text, or a number as its decimal text (bools "1"/"0"); null unsets it.
    static void assign(const Value& value, std::optional<std::string>& field);
    static void assign(const Value& value, bool& field);
    static void assign(const Value& value, double& field);
    static void assign(const Value& value, float& field);
    template <class Integer, std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool>, int> = 0>
    static void assign(const Value& value, Integer& field) {
        if (auto number = integerOf(value)) field = static_cast<Integer>(*number);
    }
    template <class Model, std::enable_if_t<std::is_base_of_v<HandyJSON, Model>, int> = 0>
    static void assign(const Value& value, Ref<Model>& field) {
        if (auto model = decode<Model>(value)) field = model;
    }
    template <class Element> static void assign(const Value& value, std::vector<Element>& field) {
        const Array* items = value.array();
        if (!items) return;
        std::vector<Element> result;
        result.reserve(items->size());
        for (const Value& item : *items) {
            Element element{};
            if (elementOf(item, element)) result.push_back(std::move(element));
        }
        field = std::move(result);
    }

    // A new model filled from a JSON object; nullptr when the value is not one.
    template <class Model> static Ref<Model> decode(const Value& value) {
        const Dictionary* object = value.dictionary();
        if (!object) return nullptr;
        auto model = make<Model>();
        PropertyMapper mapper(*object);
        model->mapping(mapper);
        return model;
    }

    // The keys the model's mapping lists, in order, without touching its fields.
    static std::vector<std::string> keysOf(HandyJSON& model);

private:
    static std::optional<std::int64_t> integerOf(const Value& value);

    // Array elements: models must be objects; scalars convert as fields do.
    template <class Model> static bool elementOf(const Value& item, Ref<Model>& element) {
        element = decode<Model>(item);
        return element != nullptr;
    }
    template <class Scalar> static bool elementOf(const Value& item, Scalar& element) {
        if (item.isNil() || item.isNull() || item.isArray() || item.isDictionary()) return false;
        assign(item, element);
        return true;
    }

    const Dictionary& object_;
    std::vector<std::string>* listedKeys_ = nullptr;
};

// Decoding entry points, after the framework's deserializer.
template <class Model> class JSONDeserializer {
public:
    // The value at `designatedPath` ("data", or "a.b" for nested members;
    // empty for the value itself), decoded; nullptr when it is not an object.
    static Ref<Model> deserializeFrom(const Value& json, std::string_view designatedPath = {}) {
        return PropertyMapper::decode<Model>(valueAtPath(json, designatedPath));
    }

    // An array at `designatedPath`, element by element: a non-object element
    // gives a null entry in its place. Nothing when the value is not an array.
    static std::optional<std::vector<Ref<Model>>> deserializeModelArrayFrom(const Value& json,
                                                                           std::string_view designatedPath = {}) {
        const Array* items = valueAtPath(json, designatedPath).array();
        if (!items) return std::nullopt;
        std::vector<Ref<Model>> models;
        models.reserve(items->size());
        for (const Value& item : *items) models.push_back(PropertyMapper::decode<Model>(item));
        return models;
    }

private:
    static const Value& valueAtPath(const Value& json, std::string_view path) {
        const Value* current = &json;
        while (!path.empty()) {
            std::size_t dot = path.find('.');
            current = &(*current)[path.substr(0, dot)];
            path = dot == std::string_view::npos ? std::string_view{} : path.substr(dot + 1);
        }
        return *current;
    }
};
