#include "backend/LoopbackTLSServer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <openssl/bio.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "backend/TransportRefusal.h"

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

bool writeFile(const std::string& text, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
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

}  // namespace

std::shared_ptr<const LoopbackIdentity> LoopbackIdentity::make() {
    std::shared_ptr<LoopbackIdentity> identity(new LoopbackIdentity());
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    if (error || !(identity->folder_ = TemporaryFolder::make(base, "loopback-tls-"))) return nullptr;
    Key key(EVP_EC_gen("P-256"));
    if (!key) return nullptr;
    Certificate certificate = makeCertificate(key.get());
    if (!certificate) return nullptr;
    identity->credentials_.certificatePEM = pemText([&](BIO* out) { return PEM_write_bio_X509(out, certificate.get()); });
    identity->credentials_.keyPEM = pemText(
        [&](BIO* out) { return PEM_write_bio_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr); });
    const std::string file = (identity->folder_->path() / "loopback.pem").string();
    if (identity->credentials_.keyPEM.empty() || !writeFile(identity->credentials_.certificatePEM, file)) return nullptr;
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
                            "application/json; charset=utf-8");
    });
    installRoutes(*running->server_);
    running->port_ = running->server_->bind(kHost, 0);
    if (running->port_ <= 0 || !running->server_->start(identity->credentials())) return nullptr;
    return running;
}

LoopbackTLSServer::~LoopbackTLSServer() { stop(); }

void LoopbackTLSServer::stop() {
    if (server_) server_->stop();
}

std::string LoopbackTLSServer::host() const { return std::string(kHost) + ":" + std::to_string(port_); }

}  // namespace backend
