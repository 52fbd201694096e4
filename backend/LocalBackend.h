#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "backend/StandIns.h"
#include "backend/Statement.h"

namespace backend {

class ActionRouter;
class AnalyticsCollector;
class DatabasePool;
class HttpServer;
class PalConnectServices;
class RippleOpenPlatform;

// The stand-in for the publisher's back end, serving on 127.0.0.1: every
// action at "/" (GET with the query, or POST with `ct`/`ac` in the query and
// a form-encoded body), placeholder images under "/static/", notice pages
// under "/notice/<id>" (and as the action "news_info" with `id`), and where
// its stand-ins for the kits' services listen at "/stand-ins".
class LocalBackend {
public:
    struct Options {
        int port = 0;        // 0: any free port
        std::string dbPath;  // empty: a private in-memory database
        int collectorPort = 0;  // the analytics collector's; 0: any free port
        // Where the stand-ins' TLS identity is kept from one start to the
        // next (LoopbackIdentity::keptIn); empty: a new one for this start.
        std::string identityFolder{};
    };
    // Request bodies above this size are refused.
    static constexpr std::size_t kLargestBody = 64 * 1024;

    // Opens (and seeds) the database, binds the port and starts serving on
    // the server's own threads. Nothing when the database or the port fails.
    // A private database is seeded on a thread of its own while the rest
    // starts and after start() has answered: requests wait in the
    // listener's queue until it is done. `failure` (when given) says what
    // failed: the database (naming the file and, for a file, why it cannot
    // keep the data: a folder or file it may not write, such as a file
    // only readable, a full disk, a damaged database), the identity folder
    // (naming the file and why), the port, or the analytics collector's
    // database.
    static std::unique_ptr<LocalBackend> start(const Options& options, std::string* failure = nullptr);
    ~LocalBackend();
    LocalBackend(const LocalBackend&) = delete;
    LocalBackend& operator=(const LocalBackend&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>/": the service base address the app is given.
    std::string baseURL() const;
    // The secret with which the payment provider signs its notices that an
    // order is paid; shared with the simulated payment apps, never with the
    // app, and never sent.
    std::string paymentProviderSecret() const;
    // The Pal connect web services' stand-in, served over TLS beside it.
    PalConnectServices& palConnect() const { return *palConnect_; }
    // The analytics report host's stand-in, storing into a database of its
    // own beside this one (`AnalyticsCollector::databasePathBeside`).
    AnalyticsCollector& analyticsCollector() const { return *collector_; }
    // The Ripple open platform's stand-in (QR login, web authorisation), over TLS.
    RippleOpenPlatform& rippleOpenPlatform() const { return *rippleOpenPlatform_; }
    // Where the three stand-ins above listen; also answered at StandIns::kPath.
    StandIns standIns() const;
    // Stops serving and waits for the server's threads; safe to call twice.
    void stop();

private:
    LocalBackend();
    void installRoutes();
    // Fills the database with the demo data (what a kept file holds
    // already stays) and marks it seeded; the storage's failure, if any,
    // told on standard error unless `toldByStart` (a start that fails says it).
    std::optional<DatabaseError> seed(bool toldByStart);
    // The private database's start: seeds it, then serves once the routes
    // are in place (unless stopped meanwhile).
    void seedThenServe();

    std::unique_ptr<DatabasePool> databases_;
    std::unique_ptr<ActionRouter> router_;
    std::unique_ptr<HttpServer> server_;
    std::unique_ptr<PalConnectServices> palConnect_;
    std::unique_ptr<AnalyticsCollector> collector_;
    std::unique_ptr<RippleOpenPlatform> rippleOpenPlatform_;
    int port_ = 0;
    std::thread preparing_;
    mutable std::mutex startMutex_;
    mutable std::condition_variable startChanged_;
    bool seeded_ = false;
    bool routesReady_ = false;
    bool stopping_ = false;
};

}  // namespace backend
