#include "app/shell/KXRequestSignature.h"

#include "app/shell/WMUtil.h"

std::string KXRequestSignature::sign(std::initializer_list<std::string_view> signedValues) {
    std::string text;
    for (std::string_view value : signedValues) text += value;
    text += kSigningKey;
    return WMUtil::md5HexDigest(text);
}
