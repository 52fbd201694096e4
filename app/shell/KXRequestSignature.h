#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The signature every signed request carries as "sign": the lower-case
// hexadecimal MD5 of the action's signed values joined without separators,
// followed by the compiled-in signing key.
class KXRequestSignature {
public:
    KXRequestSignature() = delete;

    static constexpr std::string_view kSigningKey = "qmvtrapezk42f17bnc";

    static std::string sign(std::initializer_list<std::string_view> signedValues);
};
