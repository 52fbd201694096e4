#pragma once

#include <gnutls/gnutls.h>

#include <string>

namespace backend {

// A text as GnuTLS reads it: a view of its bytes, good while the text lives
// unchanged (GnuTLS only reads through it).
inline gnutls_datum_t gnutlsDatum(const std::string& text) {
    return gnutls_datum_t{reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
                          static_cast<unsigned>(text.size())};
}

}  // namespace backend
