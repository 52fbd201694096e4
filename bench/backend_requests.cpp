// Requests to the local back end from 4 and 16 concurrent clients, each on
// its own kept-alive connection, in one run: the sign-in, a paged list (the
// income details, a three-table join), and the customer-service contacts,
// an action that touches no database, as the floor of what HTTP and routing
// cost. Every client sends its requests back to back and times each one;
// the counters give requests per second over all clients and the 50th and
// 99th percentile of the single request's time.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <barrier>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "backend/DemoData.h"
#include "backend/LocalBackend.h"
#include "backend/Signature.h"

namespace {

constexpr int kRequestsPerClient = 3000;
constexpr int kWarmUpRequests = 100;

backend::LocalBackend& server() {
    static std::unique_ptr<backend::LocalBackend> shared = backend::LocalBackend::start({});
    return *shared;
}

enum Route { SignIn, PagedList, NoDatabase };

struct Request {
    std::string path;
    std::string body;  // a form-encoded POST when not empty
};

Request requestFor(Route route) {
    const std::string t = std::to_string(static_cast<long long>(std::time(nullptr)));
    switch (route) {
        case SignIn: {
            const std::string user = backend::kDemoUsername, password = backend::kDemoPassword;
            return {"/?ios=1&ct=app&ac=login&username=" + user + "&passwd=" + password + "&t=" + t +
                        "&sign=" + backend::signatureOf({user, password, t}),
                    ""};
        }
        case PagedList:
            return {"/?ct=app2022&ac=mingxi", "uid=1&p=2&t=" + t + "&sign=" + backend::signatureOf({"1", t})};
        case NoDatabase: return {"/?ct=app&ac=kefu", ""};
    }
    return {};
}

void Requests(benchmark::State& state) {
    const auto route = static_cast<Route>(state.range(0));
    const auto clients = static_cast<int>(state.range(1));
    const int port = server().port();
    for (auto _ : state) {
        const Request request = requestFor(route);
        std::vector<std::vector<double>> times(clients);
        std::vector<int> failures(clients, 0);
        std::barrier start(clients + 1), done(clients + 1);
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                httplib::Client client("127.0.0.1", port);
                client.set_keep_alive(true);
                // As libcurl, the app's transport, does.
                client.set_tcp_nodelay(true);
                auto send = [&] {
                    auto answer = request.body.empty()
                                      ? client.Get(request.path)
                                      : client.Post(request.path, request.body, "application/x-www-form-urlencoded");
                    if (!answer || answer->status != 200 || answer->body.find("\"code\":1") == std::string::npos)
                        ++failures[c];
                };
                for (int i = 0; i < kWarmUpRequests; ++i) send();
                start.arrive_and_wait();
                times[c].reserve(kRequestsPerClient);
                for (int i = 0; i < kRequestsPerClient; ++i) {
                    const auto begin = std::chrono::steady_clock::now();
                    send();
                    const auto took = std::chrono::steady_clock::now() - begin;
                    times[c].push_back(std::chrono::duration<double, std::micro>(took).count());
                }
                done.arrive_and_wait();
            });
        }
        start.arrive_and_wait();
        const auto begin = std::chrono::steady_clock::now();
        done.arrive_and_wait();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        for (auto& thread : threads) thread.join();

        std::vector<double> all;
        for (const auto& client : times) all.insert(all.end(), client.begin(), client.end());
        std::sort(all.begin(), all.end());
        auto percentile = [&](double p) {
            return all[static_cast<std::size_t>(p * static_cast<double>(all.size() - 1))];
        };
        int failed = 0;
        for (int f : failures) failed += f;
        if (failed > 0) state.SkipWithError("some requests failed");
        state.counters["req/s"] = static_cast<double>(all.size()) / seconds;
        state.counters["p50_us"] = percentile(0.50);
        state.counters["p99_us"] = percentile(0.99);
        state.counters["max_us"] = all.back();
    }
}

void RouteArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"route", "clients"});
    for (int clients : {4, 16}) {
        for (int route : {NoDatabase, SignIn, PagedList}) benchmark->Args({route, clients});
    }
}

}  // namespace

// route: 0 sign-in, 1 paged list, 2 no database.
BENCHMARK(Requests)->Apply(RouteArguments)->Iterations(1)->Repetitions(3)->UseRealTime()->Unit(benchmark::kMillisecond);
