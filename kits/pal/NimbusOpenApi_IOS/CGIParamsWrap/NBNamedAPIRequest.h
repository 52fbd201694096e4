#pragma once

#include <algorithm>

#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"

// A request class named after its web API. The class declares once its
// name (kClassName), its "param_" properties (kProperties) and, where it
// starts a family, its base address (a static APIBaseURL()); everything else
// comes from them when the class is first used:
//
//   class NBCgi_Base : public NBNamedAPIRequest<NBCgi_Base> {
//   public:
//       static constexpr std::string_view kClassName = "NBCgi_Base";
//       static Ref<NSURL> APIBaseURL();
//   };
//   class NBCgi_user_get_info_GET : public NBNamedAPIRequest<NBCgi_user_get_info_GET, NBCgi_Base> {
//   public:
//       static constexpr std::string_view kClassName = "NBCgi_user_get_info_GET";
//       static constexpr std::array<std::string_view, 1> kProperties{"param_openid"};
//   };
//
// A new NBCgi_user_get_info_GET goes by GET to APIBaseURL() + "/user_get_info"
// and keeps "param_openid" under the parameter "openid".
template <class Derived, class Super = NBAPIRequest>
class NBNamedAPIRequest : public Super {
public:
    // The class initialisation: the superclass's first; a name that breaks
    // the format raises here, at the class's first use.
    static const NBAPIRequestClass& requestClass() {
        static_assert(Derived::kClassName != Super::kClassName, "a request class declares its own name");
        static_assert(std::ranges::all_of(Derived::kProperties,
                                          [](std::string_view property) {
                                              return property.size() > NBAPIRequestClass::kPropertyPrefix.size() &&
                                                     property.starts_with(NBAPIRequestClass::kPropertyPrefix);
                                          }),
                      "request properties are named param_<key>");
        static const NBAPIRequestClass declared(Derived::kClassName, &Super::requestClass(), Derived::kProperties);
        return declared;
    }
    static const std::optional<std::string>& APIPath() { return requestClass().APIPath(); }
    static const std::optional<std::string>& APIMethod() { return requestClass().APIMethod(); }
    // Ignores both arrays: an empty request of the class.
    static Ref<Derived> initWithObjects(const Array&, const Array&) { return make<Derived>(); }

    // The class's base address extended by its path, with its method.
    NBNamedAPIRequest() { this->initWithURL(requestClass().addressFrom(Derived::APIBaseURL()), APIMethod()); }

    const NBAPIRequestClass& objectClass() const override { return requestClass(); }
};
