#include "runner/BackEndProbe.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>

#include "foundation/DispatchQueue.h"
#include "foundation/URLLoadingEngine.h"

namespace {

// Collects one answer's status and body, and tells when it ended.
class AnswerCollector : public URLTransferObserver {
public:
    struct Answer {
        bool reached = false;
        long status = 0;
        std::string body;
    };
    void transferDidReceiveResponse(Response response) override { answer_.status = response.statusCode; }
    void transferDidReceiveData(const char* bytes, std::size_t length) override {
        if (answer_.body.size() + length <= kLargestAnswer) answer_.body.append(bytes, length);
    }
    void transferDidComplete(long urlErrorCode) override {
        answer_.reached = urlErrorCode == 0 && answer_.status != 0;
        ended_.set_value(answer_);
    }
    std::future<Answer> ended() { return ended_.get_future(); }

private:
    static constexpr std::size_t kLargestAnswer = 64 * 1024;
    Answer answer_;
    std::promise<Answer> ended_;
};

}  // namespace

std::string BackEndProbe::hostAndPort(const Ref<NSURL>& address) {
    std::string host = address->host()->find(':') == std::string::npos ? *address->host() : "[" + *address->host() + "]";
    if (address->port()) host += ":" + std::to_string(*address->port());
    return host;
}

BackEndProbe BackEndProbe::ask(const Ref<NSURL>& address) {
    constexpr double kAnswerSeconds = 3;
    URLLoadingEngine::Request request;
    request.url = *address->scheme() + "://" + hostAndPort(address) + backend::StandIns::kPath;
    request.timeoutInterval = kAnswerSeconds;
    auto collector = std::make_shared<AnswerCollector>();
    auto ended = collector->ended();
    URLLoadingEngine& engine = URLLoadingEngine::forQueue(DispatchQueue::global());
    const auto transfer = engine.start(std::move(request), collector);
    BackEndProbe probe;
    if (ended.wait_for(std::chrono::duration<double>(kAnswerSeconds + 1)) != std::future_status::ready) {
        engine.cancel(transfer);
        return probe;
    }
    const auto answer = ended.get();
    probe.reached = answer.reached;
    auto standIns = answer.status == 200 ? backend::StandIns::fromJSON(answer.body) : std::nullopt;
    std::error_code error;
    if (standIns && std::filesystem::is_regular_file(standIns->palConnectCertificate, error) &&
        std::filesystem::is_regular_file(standIns->rippleOpenPlatformCertificate, error))
        probe.standIns = std::move(standIns);
    return probe;
}
