#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSURL.h"

// What the class initialisation of a request class makes of its
// declaration, once per class. A class whose superclass's name holds "_" is
// named after its web API: P (the superclass's name up to and including its
// first "_"), the path, then "_POST" or "_GET"; the path and the method are
// taken from the name. Any other name under such a superclass is a
// programming error (std::logic_error, "Class name[...] isn't compatible with
// format: ..."). Each "param_<key>" property names the parameter <key>.
class NBAPIRequestClass {
public:
    NBAPIRequestClass(std::string_view name, const NBAPIRequestClass* superclass,
                      std::span<const std::string_view> properties);

    const std::string& name() const { return name_; }
    const std::optional<std::string>& APIPath() const { return path_; }
    const std::optional<std::string>& APIMethod() const { return method_; }
    // The class's base address extended by its path (unchanged without one).
    Ref<NSURL> addressFrom(const Ref<NSURL>& baseURL) const;
    // The parameter key of a "param_" property of this class or a superclass.
    std::optional<std::string_view> keyOfProperty(std::string_view property) const;

    static constexpr std::string_view kPropertyPrefix = "param_";

private:
    std::string name_;
    const NBAPIRequestClass* superclass_;
    std::vector<std::string_view> properties_;
    std::optional<std::string> path_;
    std::optional<std::string> method_;
};
