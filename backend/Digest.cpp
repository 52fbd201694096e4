#include "backend/Digest.h"

#include <openssl/evp.h>

namespace backend {

namespace {

std::string digestHex(const EVP_MD* kind, std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, kind, nullptr) != 1) return {};
    static const char hex[] = "0123456789abcdef";
    std::string result;
    result.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        result += hex[digest[i] >> 4];
        result += hex[digest[i] & 0x0f];
    }
    return result;
}

}  // namespace

std::string md5Hex(std::string_view text) { return digestHex(EVP_md5(), text); }

std::string sha256Hex(std::string_view text) { return digestHex(EVP_sha256(), text); }

}  // namespace backend
