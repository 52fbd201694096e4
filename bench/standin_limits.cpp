// What a day of use and a hostile client cost the TLS stand-ins (the Pal
// connect services and the Ripple open platform), each figure one run:
// - Memory: the process's RSS growth over 1,000 GETs with 15 KB heads to
//   each stand-in and 50 Open API POSTs of a 1 MiB file part.
// - Multipart: one POST of 1 MiB in 19,780 tiny parts, the time to its answer.
// - Departed polls: 288 QR-login polls sent and dropped at once, then the
//   time until a normal request is answered again.
// - Expired poll: the share of a core the process uses while a poll for a
//   login whose time ran out is held for 2 s.
// - Large forms: the process's RSS growth over 40 form-encoded Open API
//   POSTs of 1 MiB in 120,000 fields and 256 form-encoded POSTs of 64 KiB
//   in 10,000 fields to a path the Ripple stand-in does not serve, all of
//   them recorded.
// - Many named parts: the process's RSS growth over 256 Open API POSTs
//   (`user/set_user_face`) of 1 MiB, each of about 14,000 empty parts of
//   distinct names.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <cstdio>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "backend/LocalBackend.h"
#include "backend/PalConnectServices.h"
#include "backend/RippleOpenPlatform.h"
#include "bench/ProcessFigures.h"

namespace {

using Clock = std::chrono::steady_clock;

using process_figures::processorSeconds;

double residentMiB() { return process_figures::residentBytes() / process_figures::kMiB; }

std::unique_ptr<httplib::SSLClient> clientOf(const std::string& host, const std::string& certificate) {
    auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", std::stoi(host.substr(host.find(':') + 1)));
    client->set_ca_cert_path(certificate);
    client->enable_server_certificate_verification(true);
    client->set_keep_alive(true);
    client->set_read_timeout(60, 0);
    client->set_write_timeout(60, 0);
    return client;
}

// `parts` parts of `bytesEach` bytes named `name` (a file part "p.jpg" when
// `file`).
std::string multipart(const std::string& boundary, int parts, std::size_t bytesEach, const std::string& name,
                      bool file) {
    const std::string head = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" +
                             (file ? "; filename=\"p.jpg\"" : "") + "\r\n\r\n";
    std::string body;
    for (int i = 0; i < parts; ++i) body += head + std::string(bytesEach, 'p') + "\r\n";
    return body + "--" + boundary + "--\r\n";
}

constexpr const char* kOpenApi = "/user/set_user_face?oauth_consumer_key=1&access_token=t&openid=o";

void Memory(benchmark::State& state) {
    for (auto _ : state) {
        auto backend = backend::LocalBackend::start({});
        auto pal = clientOf(backend->palConnect().host(), backend->palConnect().certificateFile());
        auto ripple = clientOf(backend->rippleOpenPlatform().host(), backend->rippleOpenPlatform().certificateFile());
        const httplib::Headers head{{"X-Head", std::string(15'000, 'h')}};
        const std::string upload = multipart("bench", 1, 1024 * 1024 - 200, "picture", true);
        // Warm: the connections and the allocator's first arenas.
        pal->Get("/report/report", head);
        ripple->Get("/connect/mobilecheck?appid=rpapp&uid=1", head);
        const double before = residentMiB();
        int failed = 0;
        for (int i = 0; i < 1000; ++i) {
            auto answer = pal->Get("/report/report?n=" + std::to_string(i), head);
            failed += !answer || answer->status != 200;
            answer = ripple->Get("/connect/mobilecheck?appid=rpapp&uid=" + std::to_string(i), head);
            failed += !answer || answer->status != 200;
        }
        for (int i = 0; i < 50; ++i) {
            auto answer = pal->Post(kOpenApi, upload, "multipart/form-data; boundary=bench");
            failed += !answer || answer->status != 200;
        }
        if (failed) state.SkipWithError("some requests failed");
        state.counters["rss_growth_MiB"] = residentMiB() - before;
    }
}

void ManyTinyParts(benchmark::State& state) {
    for (auto _ : state) {
        auto services = backend::PalConnectServices::start();
        auto pal = clientOf(services->host(), services->certificateFile());
        // 19,780 parts of 1 byte: 1 MiB with their heads.
        const std::string body = multipart("bb", 19'780, 1, "p", false);
        const auto begin = Clock::now();
        auto answer = pal->Post(kOpenApi, body, "multipart/form-data; boundary=bb");
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        std::fprintf(stderr, "multipart answered after %.3f s\n", seconds);
        if (!answer || answer->status != 200)
            state.SkipWithError(("the upload failed: " + (answer ? std::to_string(answer->status) + " " + answer->body
                                                              : httplib::to_string(answer.error())))
                                    .c_str());
        state.counters["body_bytes"] = static_cast<double>(body.size());
        state.counters["answer_s"] = seconds;
    }
}

void DepartedPolls(benchmark::State& state) {
    for (auto _ : state) {
        auto platform = backend::RippleOpenPlatform::start();
        // The opener's connection ends before the burst: every place is the polls'.
        auto opened = clientOf(platform->host(), platform->certificateFile())
                          ->Get("/connect/sdk/qrconnect?appid=rpapp&noncestr=n&timestamp=1&scope=s&signature=s");
        const std::string uuid = opened ? nlohmann::json::parse(opened->body).value("uuid", "") : "";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // Each poll is sent, then its client gives up and closes.
        std::vector<std::thread> polls;
        std::atomic<int> held{0};
        for (int i = 0; i < 288; ++i) {
            polls.emplace_back([&] {
                auto client = clientOf(platform->host(), platform->certificateFile());
                client->set_read_timeout(0, 1000);
                auto answer = client->Get("/connect/l/qrconnect?uuid=" + uuid + "&last=401&f=json");
                held += !answer && answer.error() == httplib::Error::Read;
            });
        }
        for (auto& poll : polls) poll.join();
        state.counters["polls_held"] = held.load();
        int received = 0;
        for (const auto& request : platform->receivedRequests()) received += request.path == "/connect/l/qrconnect";
        state.counters["polls_received"] = received;
        const auto begin = Clock::now();
        bool answered = false;
        while (!answered && Clock::now() - begin < std::chrono::seconds(40)) {
            auto client = clientOf(platform->host(), platform->certificateFile());
            auto answer = client->Get("/connect/mobilecheck?appid=rpapp&uid=1");
            answered = answer && answer->status == 200;
            if (!answered) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!answered) state.SkipWithError("no answer within 40 s");
        state.counters["answered_after_s"] = std::chrono::duration<double>(Clock::now() - begin).count();
    }
}

void ExpiredPoll(benchmark::State& state) {
    for (auto _ : state) {
        auto platform = backend::RippleOpenPlatform::start({.longPollSeconds = 2, .loginLifetimeSeconds = 0.1});
        auto client = clientOf(platform->host(), platform->certificateFile());
        auto opened = client->Get("/connect/sdk/qrconnect?appid=rpapp&noncestr=n&timestamp=1&scope=s&signature=s");
        const std::string uuid = opened ? nlohmann::json::parse(opened->body).value("uuid", "") : "";
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double cpu = processorSeconds();
        const auto begin = Clock::now();
        auto held = client->Get("/connect/l/qrconnect?uuid=" + uuid + "&last=402&f=json");
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        if (!held) state.SkipWithError("the poll failed");
        state.counters["held_s"] = wall;
        state.counters["core_percent"] = 100.0 * (processorSeconds() - cpu) / wall;
    }
}

// A form-encoded body of `fields` short fields, padded to `bytes` by the
// last one's value.
std::string form(int fields, std::size_t bytes) {
    std::string body;
    for (int i = 0; i < fields; ++i) {
        std::string name;
        for (int n = i; n > 0 || name.empty(); n /= 36) name += "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
        body += (i ? "&" : "") + name + "=v";
    }
    if (body.size() < bytes) body += std::string(bytes - body.size(), 'v');
    return body;
}

void LargeForms(benchmark::State& state) {
    for (auto _ : state) {
        auto backend = backend::LocalBackend::start({});
        auto pal = clientOf(backend->palConnect().host(), backend->palConnect().certificateFile());
        auto ripple = clientOf(backend->rippleOpenPlatform().host(), backend->rippleOpenPlatform().certificateFile());
        const std::string large = form(120'000, 1024 * 1024), small = form(10'000, 64 * 1024);
        const char* type = "application/x-www-form-urlencoded";
        pal->Post(kOpenApi, "a=1", type);
        ripple->Post("/connect/unknown", "a=1", type);
        const double before = residentMiB();
        int failed = 0;
        for (int i = 0; i < 40; ++i) {
            auto answer = pal->Post(kOpenApi, large, type);
            failed += !answer || answer->status != 200;
        }
        for (int i = 0; i < 256; ++i) {
            auto answer = ripple->Post("/connect/unknown", small, type);
            failed += !answer || answer->status != 404;
        }
        if (failed) state.SkipWithError("some requests failed");
        state.counters["rss_growth_MiB"] = residentMiB() - before;
        state.counters["pal_records"] = static_cast<double>(backend->palConnect().receivedRequests().size());
        state.counters["ripple_records"] = static_cast<double>(backend->rippleOpenPlatform().receivedRequests().size());
    }
}

void ManyNamedParts(benchmark::State& state) {
    for (auto _ : state) {
        auto backend = backend::LocalBackend::start({});
        auto pal = clientOf(backend->palConnect().host(), backend->palConnect().certificateFile());
        const std::string boundary = "bench-named-parts";
        std::string body;
        int parts = 0;
        for (; body.size() + 200 < backend::PalConnectServices::kLargestOpenApiBody; ++parts)
            body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"e" + std::to_string(parts) + "\"\r\n\r\n\r\n";
        body += "--" + boundary + "--\r\n";
        const std::string type = "multipart/form-data; boundary=" + boundary;
        pal->Post(kOpenApi, "a=1", "application/x-www-form-urlencoded");
        const double before = residentMiB();
        int failed = 0;
        for (int i = 0; i < 256; ++i) {
            auto answer = pal->Post(kOpenApi, body, type);
            failed += !answer || answer->status != 200;
        }
        if (failed) state.SkipWithError("some requests failed");
        state.counters["rss_growth_MiB"] = residentMiB() - before;
        state.counters["parts_per_post"] = parts;
    }
}

}  // namespace

BENCHMARK(Memory)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ManyTinyParts)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DepartedPolls)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExpiredPoll)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LargeForms)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ManyNamedParts)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
