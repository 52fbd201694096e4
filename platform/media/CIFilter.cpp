#include "media/CIFilter.h"

#include "media/Code128GeneratorFilter.h"
#include "media/FalseColorFilter.h"
#include "media/QRCodeGeneratorFilter.h"

CIFilter::CIFilter(std::string name, std::vector<std::string> keys, Dictionary defaults)
    : name_(std::move(name)), keys_(std::move(keys)), defaults_(std::move(defaults)), values_(defaults_) {}

Ref<CIFilter> CIFilter::filterWithName(std::string_view name) {
    if (name == "CIQRCodeGenerator") return make<QRCodeGeneratorFilter>();
    if (name == "CICode128BarcodeGenerator") return make<Code128GeneratorFilter>();
    if (name == "CIFalseColor") return make<FalseColorFilter>();
    return nullptr;
}

Ref<CIFilter> CIFilter::filterWithName(std::string_view name, const Dictionary& parameters) {
    Ref<CIFilter> filter = filterWithName(name);
    if (filter)
        for (const auto& [key, value] : parameters) filter->setValue(value, key);
    return filter;
}

void CIFilter::setValue(Value value, std::string_view key) {
    for (const std::string& known : keys_)
        if (known == key) return values_.set(key, std::move(value));
}
