#include "backend/LocalBackend.h"

#include <ctime>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <utility>

#include "backend/ActionRouter.h"
#include "backend/AnalyticsCollector.h"
#include "backend/DatabasePool.h"
#include "backend/DatabaseProblem.h"
#include "backend/HttpServer.h"
#include "backend/DemoData.h"
#include "backend/ImageCaptions.h"
#include "backend/LoopbackTLSServer.h"
#include "backend/NoticePage.h"
#include "backend/PalConnectServices.h"
#include "backend/PaymentPages.h"
#include "backend/PlaceholderImage.h"
#include "backend/RippleOpenPlatform.h"
#include "backend/TransportRefusal.h"
#include "backend/actions/AccountActions.h"
#include "backend/actions/AccountPageActions.h"
#include "backend/actions/CatalogueActions.h"
#include "backend/actions/DashboardActions.h"
#include "backend/actions/GameActions.h"
#include "backend/actions/HomeActions.h"
#include "backend/actions/PaymentActions.h"
#include "backend/actions/PromotionActions.h"
#include "backend/actions/SettlementActions.h"
#include "backend/actions/ReportActions.h"
#include "backend/actions/StatisticsActions.h"
#include "backend/actions/TeamActions.h"

namespace backend {

namespace {

constexpr const char* kApiHost = "127.0.0.1";
// Notice ids are at most nine digits, as in the "/notice/<id>" path.
constexpr long long kLargestNoticeId = 999'999'999;
// The contact page's public-account picture is a QR code, as the real one
// is, of the account's name.
constexpr const char* kPublicAccountQRCodeImage = "kefu/gzh";
constexpr const char* kPublicAccountQRCodeText = "涟信公众号 velmaro";

void answer(HttpResponse& response, const Envelope& envelope) {
    response.status = 200;
    response.setContent(envelope.body(), kJSONType);
}

// An HTML page made by `page`: 404 when there is none, 500 when the
// storage fails.
void answerPage(HttpResponse& response, const std::function<std::optional<std::string>()>& page) {
    std::optional<std::string> html;
    try {
        html = page();
    } catch (const std::exception&) {
        response.status = 500;
        return;
    }
    if (!html) {
        response.status = 404;
        return;
    }
    response.setContent(*html, "text/html; charset=utf-8");
}

}  // namespace

LocalBackend::LocalBackend() = default;

LocalBackend::~LocalBackend() { stop(); }

std::unique_ptr<LocalBackend> LocalBackend::start(const Options& options, std::string* failure) {
    const auto fail = [failure](std::string why) {
        if (failure) *failure = std::move(why);
        return nullptr;
    };
    const std::string database = options.dbPath.empty() ? "the private database" : options.dbPath;
    // A file's failure says what keeps the file from keeping the data.
    const auto failStoring = [&](const std::string& what, const DatabaseError& error) {
        return fail(options.dbPath.empty() ? what : withDatabaseProblem(what, options.dbPath, &error));
    };
    const std::string analytics = AnalyticsCollector::databasePathBeside(options.dbPath);
    // Both files are checked before anything is made: neither may be what
    // opening would wait on for good (a pipe) or what is no file (a device).
    if (!options.dbPath.empty()) {
        for (const std::string& file : {options.dbPath, analytics})
            if (auto problem = storageProblem(file)) return fail("cannot open " + file + ": " + *problem);
    }
    // The kits' stand-ins and the analytics collector share nothing with the
    // API's database: they start on threads of their own while it opens (and
    // a file is seeded; a file's collector after that, see below). What
    // fails is told in the order of the steps, the database first.
    struct KitsStandIns {
        std::unique_ptr<PalConnectServices> palConnect;
        std::unique_ptr<RippleOpenPlatform> rippleOpenPlatform;
        std::string failure;
    };
    auto standIns = std::async(std::launch::async, [&options] {
        // The kits' web services present one certificate, which the kits
        // trust for 127.0.0.1; the two start side by side.
        KitsStandIns started;
        std::shared_ptr<const LoopbackIdentity> identity =
            options.identityFolder.empty() ? LoopbackIdentity::make()
                                           : LoopbackIdentity::keptIn(options.identityFolder, &started.failure);
        if (!identity) {
            if (started.failure.empty()) started.failure = "cannot make the stand-ins' TLS identity";
            return started;
        }
        auto ripple = std::async(std::launch::async, [identity] { return RippleOpenPlatform::start({}, identity); });
        started.palConnect = PalConnectServices::start(identity);
        started.rippleOpenPlatform = ripple.get();
        if (!started.palConnect || !started.rippleOpenPlatform)
            started.failure = "cannot start the stand-ins of the kits' services";
        return started;
    });
    const auto startCollector = [&options, &analytics] {
        return std::async(std::launch::async, [&options, &analytics] {
            std::string why;
            auto started = AnalyticsCollector::start(options.collectorPort, analytics, &why);
            return std::pair{std::move(started), why};
        });
    };
    // A private database's collector has no file: it starts at once. A
    // file's starts once the database is seeded, so that a start refused
    // for the database leaves no analytics file beside it.
    const bool seedInBackground = options.dbPath.empty();
    auto collector = seedInBackground ? startCollector() : decltype(startCollector()){};
    std::unique_ptr<LocalBackend> backend(new LocalBackend());
    try {
        backend->databases_ = DatabasePool::open(options.dbPath, StartsAgain::FromDemoData);
    } catch (const DatabaseError& error) {
        return failStoring("cannot open " + database, error);
    }
    // A database file given is seeded before anything serves: a file that
    // cannot be used is told at once. The private one is seeded while the
    // rest starts (and the caller goes on); the API serves once it is.
    if (seedInBackground) {
        LocalBackend* starting = backend.get();
        backend->preparing_ = std::thread([starting] { starting->seedThenServe(); });
    } else if (auto error = backend->seed(true)) {
        return failStoring("cannot store the demo data in " + database, *error);
    } else {
        collector = startCollector();
    }
    HttpServer::Limits limits;
    limits.bodyBytes = kLargestBody;
    limits.threads = 8;
    backend->server_ = std::make_unique<HttpServer>(limits);
    const int port = backend->server_->bind(kApiHost, options.port);
    if (port <= 0) return fail("cannot listen on " + std::string(kApiHost) + ":" + std::to_string(options.port));
    backend->port_ = port;
    backend->router_ = std::make_unique<ActionRouter>(*backend->databases_, backend->baseURL());
    addAccountActions(*backend->router_);
    addHomeActions(*backend->router_);
    addCatalogueActions(*backend->router_);
    addStatisticsActions(*backend->router_);
    addDashboardActions(*backend->router_);
    addGameActions(*backend->router_);
    addPaymentActions(*backend->router_);
    addTeamActions(*backend->router_);
    addPromotionActions(*backend->router_);
    addSettlementActions(*backend->router_);
    addReportActions(*backend->router_);
    addAccountPageActions(*backend->router_);
    backend->installRoutes();
    KitsStandIns kits = standIns.get();
    if (!kits.failure.empty()) return fail(kits.failure);
    backend->palConnect_ = std::move(kits.palConnect);
    backend->rippleOpenPlatform_ = std::move(kits.rippleOpenPlatform);
    auto [collectorStarted, collectorFailure] = collector.get();
    if (!collectorStarted) return fail(collectorFailure);
    backend->collector_ = std::move(collectorStarted);
    if (!seedInBackground) return backend->server_->start() ? std::move(backend) : nullptr;
    // Requests wait in the listener's queue until the seeding thread starts serving.
    {
        std::lock_guard lock(backend->startMutex_);
        backend->routesReady_ = true;
    }
    backend->startChanged_.notify_all();
    return backend;
}

std::optional<DatabaseError> LocalBackend::seed(bool toldByStart) {
    std::optional<DatabaseError> failed;
    try {
        const auto install = [](Database& database) { installDemoData(database, std::time(nullptr)); };
        toldByStart ? databases_->runUntold(install) : databases_->run(install);
    } catch (const DatabaseError& error) {
        failed = error;
    } catch (const std::exception& error) {
        failed = DatabaseError(error.what());
    }
    // Seeded, well or not: what waits for the data reads it now.
    {
        std::lock_guard lock(startMutex_);
        seeded_ = true;
    }
    startChanged_.notify_all();
    return failed;
}

void LocalBackend::seedThenServe() {
    // Should it fail, the requests answer the storage's failure (code 9).
    seed(false);
    std::unique_lock lock(startMutex_);
    startChanged_.wait(lock, [&] { return routesReady_ || stopping_; });
    if (!stopping_) server_->start();
}

std::string LocalBackend::baseURL() const { return "http://" + std::string(kApiHost) + ":" + std::to_string(port_) + "/"; }

std::string LocalBackend::paymentProviderSecret() const {
    {
        std::unique_lock lock(startMutex_);
        startChanged_.wait(lock, [&] { return seeded_ || stopping_; });
    }
    return databases_->run([](Database& database) { return backend::paymentProviderSecret(database); });
}

void LocalBackend::installRoutes() {
    HttpServer& server = *server_;

    auto action = [this](const HttpRequest& request, HttpResponse& response) {
        answer(response, router_->dispatch(Parameters(request.params)));
    };
    auto notice = [this](long long id) {
        return databases_->run([&](Database& database) { return noticePage(database, id); });
    };
    // A notice's page is also reached as the unsigned action "news_info",
    // which the announcement list opens in its web page screen.
    server.get("/", [action, notice](const HttpRequest& request, HttpResponse& response) {
        Parameters parameters(request.params);
        if (parameters.textOrEmpty("ct") == "app" && parameters.textOrEmpty("ac") == "news_info") {
            std::optional<long long> id = parseWholeNumber(parameters.textOrEmpty("id"), kLargestNoticeId);
            if (id) answerPage(response, [&] { return notice(*id); });
            else response.status = 404;
            return;
        }
        action(request, response);
    });
    server.post("/", action);

    // Served pictures: a promoter's QR picture is the code of their
    // promotion link; every other address is a tile showing what it stands for.
    server.get(R"(/static/([A-Za-z0-9_/-]+)\.png)", [this](const HttpRequest& request, HttpResponse& response) {
        const std::string path = request.matches[1];
        std::string png;
        if (std::optional<long long> promoter = promoterOfQRCodeImage(path)) {
            png = qrCodePNG(promotionLink(baseURL(), *promoter));
        } else if (path == kPublicAccountQRCodeImage) {
            png = qrCodePNG(kPublicAccountQRCodeText);
        } else {
            std::optional<std::string> caption =
                databases_->run([&](Database& database) { return imageCaption(database, path); });
            png = placeholderPNG(path, caption.value_or(""));
        }
        if (png.empty()) response.status = 500;
        else response.setContent(png, "image/png");
    });
    server.get(StandIns::kPath, [this](const HttpRequest&, HttpResponse& response) {
        response.setContent(standIns().toJSON(), kJSONType);
    });
    server.get(R"(/notice/(\d{1,9}))", [notice](const HttpRequest& request, HttpResponse& response) {
        answerPage(response, [&] { return notice(std::stoll(request.matches[1])); });
    });

    // Each kind of order paid online has its payment page and notify address.
    for (const auto& [prefix, payable] : {std::pair{std::string("/pay/"), PayableKind::TopUp},
                                          std::pair{std::string("/pay/recharge/"), PayableKind::Recharge}}) {
        // A copy for the routes to keep (a structured binding is no variable to capture).
        const PayableKind kind = payable;
        server.get(prefix + R"((\d{1,12}))", [this, kind](const HttpRequest& request, HttpResponse& response) {
            const long long order = std::stoll(request.matches[1]);
            answerPage(response, [&] {
                return databases_->run([&](Database& database) {
                    return paymentPage(database, order, request.param("key"), baseURL(), kind);
                });
            });
        });
        server.get(prefix + R"((\d{1,12})/notify)",
                   [this, kind](const HttpRequest& request, HttpResponse& response) {
                       const long long order = std::stoll(request.matches[1]);
                       const PaymentNoticeReceived notice{request.path, request.param("amount"),
                                                          request.header("X-Payment-Signature")};
                       Envelope confirmation = Envelope::failure(ResultCode::ServerError, "服务器繁忙，请稍后再试");
                       try {
                           confirmation = databases_->run([&](Database& database) {
                               return confirmPayment(database, order, notice, std::time(nullptr), kind);
                           });
                       } catch (const std::exception&) {
                       }
                       answer(response, confirmation);
                   });
    }

    // A refused request (no route, body too large, unreadable head) answers
    // the usual envelope, so a client always reads a message.
    server.setErrorHandler([](HttpResponse& response) {
        // Busy is the server's state, not the request's fault.
        const Envelope refusal = Envelope::failure(
            response.status == 503 ? ResultCode::ServerError : ResultCode::InvalidRequest, transportRefusal(response.status));
        response.setContent(refusal.body(), kJSONType);
    });
    server.setExceptionHandler([](HttpResponse& response) {
        response.setContent(Envelope::failure(ResultCode::ServerError, "服务器繁忙，请稍后再试").body(), kJSONType);
    });
}

StandIns LocalBackend::standIns() const {
    return {palConnect_->host(), palConnect_->certificateFile(), rippleOpenPlatform_->host(),
            rippleOpenPlatform_->certificateFile(), AnalyticsCollector::kHost, collector_->port()};
}

void LocalBackend::stop() {
    {
        std::lock_guard lock(startMutex_);
        stopping_ = true;
    }
    startChanged_.notify_all();
    if (preparing_.joinable()) preparing_.join();
    if (server_) server_->stop();
    if (palConnect_) palConnect_->stop();
    if (collector_) collector_->stop();
    if (rippleOpenPlatform_) rippleOpenPlatform_->stop();
}

}  // namespace backend
