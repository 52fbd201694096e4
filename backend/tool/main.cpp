// velmaro-backend: serves the local back end on 127.0.0.1 until interrupted.
//   velmaro-backend [--port N] [--db FILE] [--collector-port N] | --help
// --port 0 (the default) takes a free port, and so does --collector-port 0.
// The first line written to standard output is the port number alone, the
// second the base address, the third the analytics collector's address.

#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "backend/AnalyticsCollector.h"
#include "backend/LocalBackend.h"
#include "backend/OwnerOnly.h"
#include "backend/Parameters.h"

namespace {

constexpr const char* kUsage =
    "usage: velmaro-backend [--port N] [--db FILE] [--collector-port N]\n"
    "  --port N            the port to serve on (0, the default: any free port)\n"
    "  --db FILE           keep the data in FILE, the analytics events beside it\n"
    "                      (without it, the data lasts as long as the back end runs)\n"
    "  --collector-port N  the analytics collector's port (0, the default: any free port)\n";

// The reason an argument was refused, then the usage line.
int usage(const std::string& reason) {
    std::cerr << "velmaro-backend: " << reason << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // What it makes (the database and its journal, its temporary folders)
    // is its user's alone: the database holds the payment provider's secret.
    ::umask(backend::OwnerOnly::kMask);
    backend::LocalBackend::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (flag != "--port" && flag != "--collector-port" && flag != "--db")
            return usage("unknown option \"" + flag + "\"");
        if (i + 1 >= argc) return usage(flag + " needs a value");
        const std::string value = argv[++i];
        if (flag == "--db") {
            // An empty name would keep the data nowhere, as no --db does.
            if (value.empty()) return usage("--db takes a file's name (without --db, the data lasts as long as the back end runs)");
            options.dbPath = value;
            continue;
        }
        std::optional<long long> port = backend::parseWholeNumber(value, 65535);
        if (!port) return usage(flag + " takes a port number from 0 to 65535 (0: any free port), not \"" + value + "\"");
        (flag == "--port" ? options.port : options.collectorPort) = static_cast<int>(*port);
    }

    // Block the stop signals before any thread starts, so that only the
    // sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string failure;
    std::unique_ptr<backend::LocalBackend> server = backend::LocalBackend::start(options, &failure);
    if (!server) {
        std::cerr << "velmaro-backend: " << (failure.empty() ? "cannot open the database or bind the port" : failure)
                  << "\n";
        return 1;
    }
    std::cout << server->port() << "\n"
              << server->baseURL() << "\n"
              << "analytics collector " << backend::AnalyticsCollector::kHost << ":"
              << server->analyticsCollector().port() << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server->stop();
    return 0;
}
