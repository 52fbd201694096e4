#include "foundation/CommonDigest.h"

#include <openssl/evp.h>

namespace {

unsigned char* digest(const EVP_MD* type, const void* data, CC_LONG len, unsigned char* md) {
    static const unsigned char nothing = 0;
    EVP_Digest(data ? data : &nothing, data ? len : 0, md, nullptr, type, nullptr);
    return md;
}

}  // namespace

unsigned char* CC_MD5(const void* data, CC_LONG len, unsigned char* md) { return digest(EVP_md5(), data, len, md); }
unsigned char* CC_SHA1(const void* data, CC_LONG len, unsigned char* md) { return digest(EVP_sha1(), data, len, md); }
unsigned char* CC_SHA256(const void* data, CC_LONG len, unsigned char* md) {
    return digest(EVP_sha256(), data, len, md);
}

void CC_MD5_CTX::Release::operator()(evp_md_ctx_st* context) const { EVP_MD_CTX_free(context); }

int CC_MD5_Init(CC_MD5_CTX* c) {
    if (!c) return 0;
    c->context.reset(EVP_MD_CTX_new());
    return c->context && EVP_DigestInit_ex(c->context.get(), EVP_md5(), nullptr) == 1;
}

int CC_MD5_Update(CC_MD5_CTX* c, const void* data, CC_LONG len) {
    if (!c || !c->context) return 0;
    if (!data || len == 0) return 1;
    return EVP_DigestUpdate(c->context.get(), data, len) == 1;
}

int CC_MD5_Final(unsigned char* md, CC_MD5_CTX* c) {
    if (!c || !c->context) return 0;
    int ok = EVP_DigestFinal_ex(c->context.get(), md, nullptr) == 1;
    c->context.reset();
    return ok;
}
