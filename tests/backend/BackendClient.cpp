#include "BackendClient.h"

#include <regex>

#include "backend/PaymentPages.h"

#include <mutex>
#include <ctime>

#include <openssl/evp.h>

#include "tests/support/Eventually.h"

namespace {

constexpr const char* kKey = "qmvtrapezk42f17bnc";

httplib::Params toParams(const BackendClient::Fields& fields) { return httplib::Params(fields.begin(), fields.end()); }

}  // namespace

BackendClient::BackendClient(int port) : client_("127.0.0.1", port) {
    waitingForAnswers(client_);
}

std::string BackendClient::md5(const std::string& text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::string BackendClient::timeText() { return std::to_string(static_cast<long>(std::time(nullptr))); }

std::string BackendClient::requestTimeText() {
    // Each call a second before the last, up to four minutes back (inside
    // the five the back end accepts), then from now again: two requests in a
    // row never share a time, even across a tick of the clock, so neither is
    // taken for the other sent again.
    static std::mutex mutex;
    static long last = 0;
    std::lock_guard lock(mutex);
    const long now = static_cast<long>(std::time(nullptr));
    last = last - 1 < now - 240 ? now : last - 1;
    return std::to_string(last);
}

std::string BackendClient::promoterSign(const std::string& uid, const std::string& t) { return md5(uid + t + kKey); }

BackendClient::Answer BackendClient::read(const httplib::Result& result) {
    Answer answer;
    if (!result) return answer;
    answer.status = result->status;
    answer.body = result->body;
    answer.json = nlohmann::json::parse(answer.body, nullptr, false);
    return answer;
}

BackendClient::Answer BackendClient::post(const std::string& query, const Fields& fields) {
    return read(client_.Post(("/" + query).c_str(), toParams(fields)));
}

BackendClient::Answer BackendClient::postSigned(const std::string& query, const Fields& extra, const std::string& uid) {
    const std::string t = requestTimeText();
    Fields fields{{"uid", uid}, {"t", t}, {"sign", promoterSign(uid, t)}};
    fields.insert(extra.begin(), extra.end());
    return post(query, fields);
}

BackendClient::Answer BackendClient::get(const Fields& query) {
    return read(client_.Get("/", toParams(query), httplib::Headers{}));
}

BackendClient::Answer BackendClient::classicGet(const std::string& ac,
                                                const SignedFields& signedFields, const Fields& extra,
                                                const std::string& uid) {
    const std::string t = requestTimeText();
    std::string signedText = uid;
    Fields query{{"ios", "1"}, {"ct", "app"}, {"ac", ac}, {"t", t}, {"uid", uid}};
    for (const auto& [name, value] : signedFields) {
        signedText += value;
        query.emplace(name, value);
    }
    query.emplace("sign", md5(signedText + t + kKey));
    query.insert(extra.begin(), extra.end());
    return get(query);
}

BackendClient::Answer BackendClient::login(const std::string& username, const std::string& password) {
    const std::string t = timeText();
    return get({{"ios", "1"}, {"ct", "app"}, {"ac", "login"}, {"username", username}, {"passwd", password},
                {"t", t}, {"sign", md5(username + password + t + kKey)}});
}

BackendClient::Answer BackendClient::raw(const std::string& method, const std::string& path, const std::string& body,
                                         const std::string& contentType, const httplib::Headers& headers) {
    httplib::Request request;
    request.headers = headers;
    request.method = method;
    request.path = path;
    request.body = body;
    if (!contentType.empty()) request.set_header("Content-Type", contentType);
    return read(client_.send(request));
}

void BackendTest::SetUp() {
    backend_ = backend::LocalBackend::start({});
    ASSERT_NE(backend_, nullptr);
    client_ = std::make_unique<BackendClient>(backend_->port());
}

void BackendTest::TearDown() {
    client_.reset();
    if (backend_) backend_->stop();
}

BackendClient::Answer BackendTest::paymentNotice(const std::string& notify, const std::string& amount,
                                                 std::optional<std::string> secret) {
    const std::string base = backend_->baseURL();
    EXPECT_EQ(notify.rfind(base, 0), 0u) << notify;
    const std::string path = "/" + notify.substr(base.size());
    const std::string signature =
        backend::paymentNoticeSignature(secret.value_or(backend_->paymentProviderSecret()), path, amount);
    return client().raw("GET", path + "?amount=" + amount, "", "", {{"X-Payment-Signature", signature}});
}

std::pair<std::string, std::string> BackendTest::paymentLink(const std::string& page, const std::string& oid) {
    std::smatch link;
    const std::regex pattern("href=\"ripple://wap/pay\\?oid=" + oid + "&amp;amount=([0-9.]+)&amp;notify=([^\"]+)\"");
    if (!std::regex_search(page, link, pattern)) return {};
    return {httplib::detail::decode_url(link[2].str(), true), link[1].str()};
}
