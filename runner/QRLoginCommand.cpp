#include "runner/QRLoginCommand.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>

#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURLError.h"
#include "foundation/URLLoadingEngine.h"
#include "graphics/UIImage.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RippleAuthSDK.h"
#include "peers/SimulatedRipplePhone.h"
#include "runner/SessionFolder.h"

namespace {

// How long the runner lets the login and the platform answer.
constexpr double kAnswerWaitSeconds = 10;
// The login's phase once the phone has scanned its code.
constexpr std::uint32_t kScanned = 2;
// After a phone's action, the pause before the login's next poll, then as
// long as any answer.
constexpr double kPollWaitSeconds = RippleAuthSDK::kPollPause + kAnswerWaitSeconds;

// How the login's last request to the open platform ended, as far as the
// kit tells no one: its HTTP status and the error that ended it.
struct LastRequest {
    long status = 0;
    Ref<NSError> failure;
};

// Why the open platform's answer did not serve: the kit tells only that
// the transport failed, which covers a platform that answered too much, too
// late or with a failing status as well as one never reached.
std::string requestProblem(const LastRequest& last) {
    const long code = last.failure ? last.failure->code() : 0;
    if (code == NSURLErrorDataLengthExceedsMaximum)
        return "the open platform's answer was longer than the " +
               std::to_string(URLLoadingEngine::kDefaultLargestBody >> 20) + " MiB an answer may be, so it was not read";
    if (code == NSURLErrorTimedOut) return "the open platform's answer did not come in time";
    if (!last.failure && last.status != 0) return "the open platform answered with status " + std::to_string(last.status);
    return "the open platform could not be reached";
}

// What ended a login, in a user's words.
std::string outcome(std::int32_t errorCode, const LastRequest& last) {
    switch (errorCode) {
        case RippleAuthSDK::kSuccess: return "allowed on the phone";
        case RippleAuthSDK::kRefused: return "refused on the phone";
        case RippleAuthSDK::kExpired: return "the QR code expired";
        case RippleAuthSDK::kNetworkFailed: return requestProblem(last);
        case RippleAuthSDK::kNoQrcode: return "no QR code came";
        default: return "the login failed";
    }
}

}  // namespace

// Keeps what the login tells its delegate, as lines.
class QRLoginWatcher : public NSObject, public RippleAuthAPIDelegate {
public:
    void onAuthGotQrcode(const Ref<UIImage>& image) override {
        picture = image;
        lines.push_back("code shown");
    }
    void onQrcodeScanned() override { lines.push_back("scanned"); }
    void onAuthFinish(std::int32_t errorCode, const RPText& authCode) override {
        finished = true;
        lines.push_back("finished: " + outcome(errorCode, lastRequest) + (authCode ? ", code " + *authCode : ""));
    }

    Ref<UIImage> picture;
    bool finished = false;
    std::vector<std::string> lines;
    LastRequest lastRequest;
};

// The kit's login, with each of its requests' status and failure kept for
// the watcher before the kit hears of them.
class QRLoginRequests : public RippleAuthSDK {
public:
    explicit QRLoginRequests(Ref<QRLoginWatcher> watcher) : watcher_(std::move(watcher)) {}

    void didReceiveResponse(const Ref<NSURLConnection>& connection, const Ref<NSURLResponse>& response) override {
        auto http = cast<NSHTTPURLResponse>(response);
        watcher_->lastRequest = {http ? http->statusCode() : 0, nullptr};
        RippleAuthSDK::didReceiveResponse(connection, response);
    }
    void didFailWithError(const Ref<NSURLConnection>& connection, const Ref<NSError>& error) override {
        watcher_->lastRequest.failure = error;
        RippleAuthSDK::didFailWithError(connection, error);
    }

private:
    Ref<QRLoginWatcher> watcher_;
};

QRLoginCommand::QRLoginCommand(std::string shotsFolder, Wait wait, FolderGone folderGone)
    : shotsFolder_(std::move(shotsFolder)), wait_(std::move(wait)), folderGone_(std::move(folderGone)) {}

QRLoginCommand::~QRLoginCommand() {
    if (login_) login_->StopAuth();
}

CommandResult QRLoginCommand::execute(const std::string& arguments) {
    if (arguments == "start") return start();
    if (arguments == "scan" || arguments == "allow" || arguments == "deny" || arguments == "expire")
        return actOnCode(arguments);
    if (arguments.empty()) return describe(true, "");
    return {false, "qrlogin: the actions are start, scan, allow, deny and expire"};
}

CommandResult QRLoginCommand::start() {
    if (login_ && login_->isAuthing()) return {false, "a QR login is under way (qrlogin deny or expire ends it)"};
    if (auto refused = folderGone_ ? folderGone_() : std::nullopt) return *refused;
    watcher_ = make<QRLoginWatcher>();
    login_ = make<QRLoginRequests>(watcher_);
    login_->setDelegate(watcher_);
    const std::string appId = RPApi::registeredAppId().value_or("velmaro");
    if (!login_->Auth(appId, "velmaro-runner", "0", "snsapi_login", "runner", ""))
        return {false, "the QR login did not start"};
    wait_([&] { return watcher_->picture || watcher_->finished; }, kAnswerWaitSeconds);
    // What the login told, on lines of their own after this one.
    if (!watcher_->picture) return describe(false, "no QR code came\n");
    auto png = UIImagePNGRepresentation(watcher_->picture);
    if (!png) return abandon("the QR code's picture cannot be made");
    std::string error;
    const auto path = SessionFolder::writeNumberedFile(
        shotsFolder_, [](int number) { return "qrlogin-" + std::to_string(number) + ".png"; }, pictures_,
        {reinterpret_cast<const char*>(png->bytes()), png->length()}, error);
    if (!path) return abandon("cannot save the QR code: " + error);
    return describe(true, "QR code saved " + *path + "\n");
}

CommandResult QRLoginCommand::abandon(const std::string& why) {
    // The phone reads the code from its picture: a login without one is
    // ended, as if never started.
    login_->StopAuth();
    login_ = nullptr;
    watcher_ = nullptr;
    return {false, "qrlogin: " + why + ": no QR login is started"};
}

CommandResult QRLoginCommand::actOnCode(const std::string& action) {
    if (!watcher_ || !watcher_->picture) return {false, "no QR code yet (qrlogin start)"};
    if (!login_->isAuthing()) return describe(false, "the QR login has ended: qrlogin start shows a new code\n");
    // A phone allows or denies a login only once it has scanned the code.
    if ((action == "allow" || action == "deny") && login_->status() != kScanned)
        return describe(false, "the phone has not scanned the code: qrlogin scan first, then qrlogin " + action + "\n");
    // Scanning again changes nothing the login would hear of.
    if (action == "scan" && login_->status() == kScanned) return describe(true, "the phone has already scanned the code\n");
    // Shared with the phone's answer, which may come after the wait gave up.
    auto taken = std::make_shared<std::optional<bool>>();
    if (!SimulatedRipplePhone::actOnLoginCode(watcher_->picture, action, [taken](bool ok) { *taken = ok; }))
        return {false, "the phone finds no code in the picture"};
    wait_([&] { return taken->has_value(); }, kAnswerWaitSeconds);
    if (!taken->value_or(false)) return describe(false, "the platform did not take \"" + action + "\"\n");
    // Lets the login hear of it through its next poll.
    const std::size_t before = watcher_->lines.size();
    wait_([&] { return watcher_->lines.size() > before; }, kPollWaitSeconds);
    return describe(true, "the phone did \"" + action + "\"\n");
}

CommandResult QRLoginCommand::describe(bool ok, std::string output) {
    if (watcher_) {
        for (const auto& line : watcher_->lines) output += line + "\n";
        watcher_->lines.clear();
    }
    if (!login_) return {ok, output + "no QR login"};
    if (!login_->isAuthing()) return {ok, output + "no QR login under way"};
    static const char* const kPhases[] = {"waiting for the code", "code shown, polling", "scanned, polling"};
    static_assert(std::size(kPhases) == kScanned + 1);
    return {ok, output + "QR login " + login_->uuid().value_or("?") + ": " + kPhases[login_->status() % 3]};
}
