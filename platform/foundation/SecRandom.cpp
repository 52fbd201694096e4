#include "foundation/SecRandom.h"

#include <sys/random.h>

#include <cerrno>

// The kernel's generator, asked directly: it needs no set-up, where a
// library's generator seeds itself on first use (about a millisecond of every
// start, which makes an identifier at launch).
int SecRandomCopyBytes(SecRandomRef, std::size_t count, void* bytes) {
    auto out = static_cast<unsigned char*>(bytes);
    while (count > 0) {
        const ssize_t got = ::getrandom(out, count, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        out += got;
        count -= static_cast<std::size_t>(got);
    }
    return errSecSuccess;
}
