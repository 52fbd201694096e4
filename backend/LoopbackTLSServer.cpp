#include "backend/LoopbackTLSServer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <httplib.h>

namespace backend {

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr long kCertificateLifetime = 7L * 24 * 3600;

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
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), kCertificateLifetime) &&
        X509_set_pubkey(certificate.get(), key) == 1 &&
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(kHost), -1, -1,
                                   0) == 1 &&
        X509_set_issuer_name(certificate.get(), name) == 1 &&
        addExtension(certificate.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
        addExtension(certificate.get(), NID_basic_constraints, "critical,CA:TRUE") &&
        addExtension(certificate.get(), NID_key_usage, "critical,digitalSignature,keyCertSign") &&
        X509_sign(certificate.get(), key, EVP_sha256()) > 0;
    return ok ? std::move(certificate) : nullptr;
}

bool writeCertificate(X509* certificate, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    const bool written = PEM_write_X509(file, certificate) == 1;
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::shared_ptr<const LoopbackIdentity> LoopbackIdentity::make() {
    std::shared_ptr<LoopbackIdentity> identity(new LoopbackIdentity());
    std::string pattern = (std::filesystem::temp_directory_path() / "loopback-tls-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return nullptr;
    identity->folder_ = pattern;
    Key key(EVP_EC_gen("P-256"));
    if (!key) return nullptr;
    Certificate certificate = makeCertificate(key.get());
    const std::string file = pattern + "/loopback.pem";
    if (!certificate || !writeCertificate(certificate.get(), file)) return nullptr;
    identity->certificateFile_ = file;
    identity->key_ = key.release();
    identity->certificate_ = certificate.release();
    return identity;
}

LoopbackIdentity::~LoopbackIdentity() {
    EVP_PKEY_free(key_);
    X509_free(certificate_);
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::unique_ptr<LoopbackTLSServer> LoopbackTLSServer::start(const RouteInstaller& installRoutes,
                                                            std::shared_ptr<const LoopbackIdentity> identity) {
    if (!identity) identity = LoopbackIdentity::make();
    if (!identity) return nullptr;
    std::unique_ptr<LoopbackTLSServer> running(new LoopbackTLSServer());
    running->identity_ = identity;
    running->server_ = std::make_unique<httplib::SSLServer>(identity->certificate(), identity->key());
    httplib::SSLServer& server = *running->server_;
    if (!server.is_valid()) return nullptr;
    running->port_ = server.bind_to_any_port(kHost);
    if (running->port_ <= 0) return nullptr;
    server.set_keep_alive_timeout(2);
    installRoutes(server);
    running->thread_ = std::thread([&server] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::yield();
    return running;
}

LoopbackTLSServer::~LoopbackTLSServer() { stop(); }

void LoopbackTLSServer::stop() {
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::string LoopbackTLSServer::host() const { return std::string(kHost) + ":" + std::to_string(port_); }

}  // namespace backend
