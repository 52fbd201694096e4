#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "media/CIImage.h"

// An image filter chosen by name; its inputs are set by key and its result
// is `outputImage()`. The filters this layer knows:
//
// - "CIQRCodeGenerator": inputMessage (data), inputCorrectionLevel ("L",
//   "M", "Q" or "H"; "M" by default). One pixel per module, black on white,
//   with a light border one module wide.
// - "CICode128BarcodeGenerator": inputMessage (data, printable ASCII),
//   inputQuietSpace (light modules on each side; 7 by default). One pixel per
//   module, 32 pixels high, black on white.
// - "CIFalseColor": inputImage, inputColor0 (black by default) and
//   inputColor1 (white by default): each pixel's luma picks its colour
//   between the two, so dark becomes inputColor0 and light inputColor1.
//
// A filter starts with its defaults. Keys a filter does not take are ignored;
// missing or unusable inputs give no output image.
class CIFilter : public NSObject {
public:
    // nullptr for a name this layer does not know.
    static Ref<CIFilter> filterWithName(std::string_view name);
    // The filter with these inputs set over its defaults.
    static Ref<CIFilter> filterWithName(std::string_view name, const Dictionary& parameters);

    const std::string& name() const { return name_; }
    const std::vector<std::string>& inputKeys() const { return keys_; }
    void setDefaults() { values_ = defaults_; }
    void setValue(Value value, std::string_view key);
    Value valueForKey(std::string_view key) const { return values_[key]; }

    virtual Ref<CIImage> outputImage() const = 0;

protected:
    // Every key the filter takes, and the defaults of those that have one.
    CIFilter(std::string name, std::vector<std::string> keys, Dictionary defaults);

private:
    std::string name_;
    std::vector<std::string> keys_;
    Dictionary defaults_;
    Dictionary values_;
};
