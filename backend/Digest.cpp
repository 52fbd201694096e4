#include "backend/Digest.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

namespace backend {

namespace {

std::string hexOf(const unsigned char* bytes, std::size_t length) {
    static const char hex[] = "0123456789abcdef";
    std::string result;
    result.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        result += hex[bytes[i] >> 4];
        result += hex[bytes[i] & 0x0f];
    }
    return result;
}

std::string digestHex(const EVP_MD* kind, std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, kind, nullptr) != 1) return {};
    return hexOf(digest, length);
}

}  // namespace

std::string md5Hex(std::string_view text) { return digestHex(EVP_md5(), text); }

std::string sha256Hex(std::string_view text) { return digestHex(EVP_sha256(), text); }

std::string hmacSha256Hex(std::string_view key, std::string_view text) {
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(text.data()),
              text.size(), mac, &length)) {
        return {};
    }
    return hexOf(mac, length);
}

std::string randomHex(std::size_t bytes) {
    std::string random(bytes, '\0');
    auto* data = reinterpret_cast<unsigned char*>(random.data());
    if (RAND_bytes(data, static_cast<int>(bytes)) != 1) return {};
    return hexOf(data, bytes);
}

bool sameSecret(std::string_view a, std::string_view b) {
    return a.size() == b.size() && !a.empty() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace backend
