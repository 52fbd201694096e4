#pragma once

#include <cstdint>
#include <memory>

// Message digests under the platform's C names, over OpenSSL.

using CC_LONG = std::uint32_t;

constexpr int CC_MD5_DIGEST_LENGTH = 16;
constexpr int CC_SHA1_DIGEST_LENGTH = 20;
constexpr int CC_SHA256_DIGEST_LENGTH = 32;

// One-shot digests of `len` bytes at `data`, written to `md` (which must hold
// the digest length); answer `md`.
unsigned char* CC_MD5(const void* data, CC_LONG len, unsigned char* md);
unsigned char* CC_SHA1(const void* data, CC_LONG len, unsigned char* md);
unsigned char* CC_SHA256(const void* data, CC_LONG len, unsigned char* md);

struct evp_md_ctx_st;

// An MD5 computation fed in pieces: Init, any number of Update, Final.
// It releases what it holds when it goes out of scope, finished or not.
struct CC_MD5_CTX {
    struct Release {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Release> context;
};

// Each answers 1 on success, 0 when the context is not usable.
int CC_MD5_Init(CC_MD5_CTX* c);
int CC_MD5_Update(CC_MD5_CTX* c, const void* data, CC_LONG len);
int CC_MD5_Final(unsigned char* md, CC_MD5_CTX* c);
