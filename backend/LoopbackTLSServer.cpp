#include "backend/LoopbackTLSServer.h"

#include <gnutls/x509.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <openssl/bio.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>

#include <nlohmann/json.hpp>

#include "foundation/FileProblem.h"
#include "backend/GnuTLSDatum.h"
#include "foundation/DataFile.h"
#include "backend/TransportRefusal.h"
#include "backend/WholeFile.h"

namespace backend {

namespace {

constexpr const char* kStandInHost = "127.0.0.1";

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Certificate = std::unique_ptr<X509, CertificateFree>;

bool addExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension) return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

// A self-signed certificate for the loopback names, signed by its own key.
Certificate makeCertificate(EVP_PKEY* key) {
    Certificate certificate(X509_new());
    if (!certificate) return nullptr;
    unsigned char serial[8];
    if (RAND_bytes(serial, sizeof serial) != 1) return nullptr;
    serial[0] &= 0x7F;
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate.get()));
    BN_free(number);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    const bool ok =
        serialSet && X509_set_version(certificate.get(), 2) == 1 &&
        X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60) &&
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), LoopbackIdentity::kCertificateLifetimeSeconds) &&
        X509_set_pubkey(certificate.get(), key) == 1 &&
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(kStandInHost), -1, -1,
                                   0) == 1 &&
        X509_set_issuer_name(certificate.get(), name) == 1 &&
        addExtension(certificate.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
        addExtension(certificate.get(), NID_basic_constraints, "critical,CA:TRUE") &&
        addExtension(certificate.get(), NID_key_usage, "critical,digitalSignature,keyCertSign") &&
        X509_sign(certificate.get(), key, EVP_sha256()) > 0;
    return ok ? std::move(certificate) : nullptr;
}

// Stores `text` as the file `path`, whole, with `mode`: 0 or the errno.
int storeWhole(const std::string& path, const std::string& text, mode_t mode) {
    std::string failedAt;
    return WholeFile::replace(
        path, [&](const std::string& written) { return WholeFile::writeBytes(written, text); }, mode, failedAt);
}

// What `write` puts into a memory BIO, as text; empty when it fails.
template <typename Write>
std::string pemText(Write write) {
    BIO* memory = BIO_new(BIO_s_mem());
    if (!memory) return {};
    std::string text;
    if (write(memory) == 1) {
        char* data = nullptr;
        const long length = BIO_get_mem_data(memory, &data);
        if (length > 0) text.assign(data, static_cast<std::size_t>(length));
    }
    BIO_free(memory);
    return text;
}

std::string keyPEM(EVP_PKEY* key) {
    return pemText([&](BIO* out) { return PEM_write_bio_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr); });
}

std::string certificatePEM(X509* certificate) {
    return pemText([&](BIO* out) { return PEM_write_bio_X509(out, certificate); });
}

// The PEM object `read` finds in `text`; null when there is none.
template <typename Object, typename Read>
Object fromPEM(const std::string& text, Read read) {
    BIO* memory = BIO_new_mem_buf(text.data(), static_cast<int>(text.size()));
    if (!memory) return nullptr;
    Object object(read(memory));
    BIO_free(memory);
    return object;
}

// A file's text when it is a regular file that can be read; `error` set
// (an errno value, 0 for a file that is not a regular one) otherwise. With
// `privateOnly`, a file that others may read or that is not this user's is
// refused as well: a key they could read is no secret.
std::optional<std::string> readFile(const std::string& path, bool privateOnly, int& error) {
    error = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    struct stat status{};
    std::optional<std::string> text;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        (!privateOnly || ((status.st_mode & 077) == 0 && status.st_uid == ::geteuid()))) {
        text.emplace();
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) text->append(buffer, static_cast<std::size_t>(got));
            if (got > 0 || (got < 0 && errno == EINTR)) continue;
            if (got < 0) {
                error = errno;
                text.reset();
            }
            break;
        }
    }
    ::close(fd);
    return text;
}

// A kept certificate serves on: it is the kept key's, names 127.0.0.1, has
// begun and has more than the renewal margin to run. Read with GnuTLS, which
// serves it: OpenSSL's readers set up their decoders on first use, which
// would cost every start a few milliseconds for a check that almost always
// passes.
bool stillServes(const std::string& keyText, const std::string& certificateText) {
    gnutls_x509_privkey_t key = nullptr;
    gnutls_x509_crt_t certificate = nullptr;
    const gnutls_datum_t keyData = gnutlsDatum(keyText), certificateData = gnutlsDatum(certificateText);
    bool serves = gnutls_x509_privkey_init(&key) == 0 && gnutls_x509_crt_init(&certificate) == 0 &&
                  gnutls_x509_privkey_import(key, &keyData, GNUTLS_X509_FMT_PEM) == 0 &&
                  gnutls_x509_crt_import(certificate, &certificateData, GNUTLS_X509_FMT_PEM) == 0;
    if (serves) {
        unsigned char keyId[64], certificateKeyId[64];
        std::size_t keyIdSize = sizeof keyId, certificateKeyIdSize = sizeof certificateKeyId;
        serves = gnutls_x509_privkey_get_key_id(key, GNUTLS_KEYID_USE_SHA256, keyId, &keyIdSize) == 0 &&
                 gnutls_x509_crt_get_key_id(certificate, GNUTLS_KEYID_USE_SHA256, certificateKeyId,
                                            &certificateKeyIdSize) == 0 &&
                 keyIdSize == certificateKeyIdSize && std::memcmp(keyId, certificateKeyId, keyIdSize) == 0;
    }
    if (serves) {
        const unsigned char loopback[4] = {127, 0, 0, 1};
        const std::time_t now = std::time(nullptr);
        const std::time_t begins = gnutls_x509_crt_get_activation_time(certificate);
        const std::time_t ends = gnutls_x509_crt_get_expiration_time(certificate);
        serves = gnutls_x509_crt_check_ip(certificate, loopback, sizeof loopback, 0) != 0 && begins != -1 &&
                 begins < now && ends != -1 && ends > now + LoopbackIdentity::kRenewalMarginSeconds;
    }
    if (certificate) gnutls_x509_crt_deinit(certificate);
    if (key) gnutls_x509_privkey_deinit(key);
    return serves;
}

}  // namespace

std::shared_ptr<const LoopbackIdentity> LoopbackIdentity::keptIn(const std::string& folder, std::string* failure) {
    const auto fail = [failure](const std::string& path, int error) -> std::shared_ptr<const LoopbackIdentity> {
        if (failure) *failure = "cannot keep the stand-ins' TLS identity in " + path + ": " + FileProblem::why(path, error);
        return nullptr;
    };
    const std::string keyFile = (std::filesystem::path(folder) / kKeyFile).string();
    const std::string certificateFile = (std::filesystem::path(folder) / kCertificateFile).string();
    // Two starts on one folder take turns: the second one finds what the
    // first one stored rather than replacing it under it.
    const int hold = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (hold < 0) return fail(keyFile, errno);
    struct Unlock {
        int fd;
        ~Unlock() { ::close(fd); }
    } unlock{hold};
    while (::flock(hold, LOCK_EX) != 0)
        if (errno != EINTR) return fail(keyFile, errno);
    // What is there and is no file (a pipe, a folder) is someone's own: it
    // is refused, not replaced.
    for (const std::string& file : {keyFile, certificateFile})
        if (auto problem = FileProblem::ofKind(file)) {
            if (failure) *failure = "cannot keep the stand-ins' TLS identity in " + file + ": " + *problem;
            return nullptr;
        }
    int error = 0;
    const std::optional<std::string> keyText = readFile(keyFile, true, error);
    const std::optional<std::string> certificateText = readFile(certificateFile, false, error);

    std::shared_ptr<LoopbackIdentity> identity(new LoopbackIdentity());
    identity->certificateFile_ = certificateFile;
    if (keyText && certificateText && stillServes(*keyText, *certificateText)) {
        identity->credentials_.keyPEM = *keyText;
        identity->credentials_.certificatePEM = *certificateText;
        return identity;
    }
    // A key that is whole and private is kept and only its certificate made
    // again; any other key is replaced.
    Key key = keyText ? fromPEM<Key>(*keyText, [](BIO* in) { return PEM_read_bio_PrivateKey(in, nullptr, nullptr, nullptr); })
                      : nullptr;
    const bool keyKept = key != nullptr;
    if (!keyKept) key.reset(EVP_EC_gen("P-256"));
    Certificate certificate = key ? makeCertificate(key.get()) : nullptr;
    if (certificate) {
        identity->credentials_.keyPEM = keyKept ? *keyText : keyPEM(key.get());
        identity->credentials_.certificatePEM = certificatePEM(certificate.get());
    }
    if (identity->credentials_.keyPEM.empty() || identity->credentials_.certificatePEM.empty()) {
        if (failure) *failure = "cannot make the stand-ins' TLS key and certificate";
        return nullptr;
    }
    // Both are this user's alone, as everything the back end keeps.
    if (!keyKept) {
        if (int problem = storeWhole(keyFile, identity->credentials_.keyPEM, DataFile::kFileMode))
            return fail(keyFile, problem);
    }
    if (int problem = storeWhole(certificateFile, identity->credentials_.certificatePEM, DataFile::kFileMode))
        return fail(certificateFile, problem);
    return identity;
}

std::shared_ptr<const LoopbackIdentity> LoopbackIdentity::make() {
    std::shared_ptr<LoopbackIdentity> identity(new LoopbackIdentity());
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    if (error || !(identity->folder_ = TemporaryFolder::make(base, "loopback-tls-"))) return nullptr;
    Key key(EVP_EC_gen("P-256"));
    if (!key) return nullptr;
    Certificate certificate = makeCertificate(key.get());
    if (!certificate) return nullptr;
    identity->credentials_.certificatePEM = certificatePEM(certificate.get());
    identity->credentials_.keyPEM = keyPEM(key.get());
    const std::string file = (identity->folder_->path() / kCertificateFile).string();
    if (identity->credentials_.keyPEM.empty() || storeWhole(file, identity->credentials_.certificatePEM, DataFile::kFileMode) != 0)
        return nullptr;
    identity->certificateFile_ = file;
    return identity;
}

HttpServer::Limits LoopbackTLSServer::limits() {
    HttpServer::Limits limits;
    limits.threads = 2;
    // Well clear of the kits' pauses between polls (2 s) and of the time a
    // client reuses an idle connection (under 1 s): no poll goes out on a
    // connection this server is closing.
    limits.idleSeconds = 5;
    return limits;
}

std::unique_ptr<LoopbackTLSServer> LoopbackTLSServer::start(const RouteInstaller& installRoutes,
                                                            std::shared_ptr<const LoopbackIdentity> identity) {
    if (!identity) identity = LoopbackIdentity::make();
    if (!identity) return nullptr;
    std::unique_ptr<LoopbackTLSServer> running(new LoopbackTLSServer());
    running->identity_ = identity;
    running->server_ = std::make_unique<HttpServer>(limits());
    // A refusal says why, as the API's do.
    running->server_->setErrorHandler([](HttpResponse& response) {
        response.setContent(nlohmann::json{{"ret", response.status}, {"msg", transportRefusal(response.status)}}.dump(),
                            kJSONType);
    });
    installRoutes(*running->server_);
    running->port_ = running->server_->bind(kStandInHost, 0);
    if (running->port_ <= 0 || !running->server_->start(identity->credentials())) return nullptr;
    return running;
}

LoopbackTLSServer::~LoopbackTLSServer() { stop(); }

void LoopbackTLSServer::stop() {
    if (server_) server_->stop();
}

std::string LoopbackTLSServer::host() const { return std::string(kStandInHost) + ":" + std::to_string(port_); }

}  // namespace backend
