#include "foundation/SecRandom.h"

#include <openssl/rand.h>

#include <climits>

int SecRandomCopyBytes(SecRandomRef, std::size_t count, void* bytes) {
    auto out = static_cast<unsigned char*>(bytes);
    while (count > 0) {
        int chunk = count > INT_MAX ? INT_MAX : static_cast<int>(count);
        if (RAND_bytes(out, chunk) != 1) return -1;
        out += chunk;
        count -= static_cast<std::size_t>(chunk);
    }
    return errSecSuccess;
}
