// What hostile or heavy analytics clients cost the collector of the local
// back end, measured against a running back end on the loopback:
//
// - HeldWriters: 64 clients (the connection cap) send frames and read no
//   reply until their sends stall; then an honest client sends a frame,
//   reconnecting while it is turned away. `answer_s` is how long it waits
//   for its reply (`kGiveUpSeconds` when it never comes).
// - PacedKeepers: 64 clients each send one small frame every 8 s on a
//   kept-alive connection (within the 10 s the collector waits), connecting
//   again at once when theirs is closed; meanwhile an honest client
//   connects and sends a frame every 3 s for 60 s. `honest_answered` of
//   `honest_tries` were answered, `answer_max_s` is the longest wait.
// - LargeFrames: 64 clients send a frame of about 4 MB of JSON (about
//   99 000 values) at once. `rss_peak_MiB` is the largest growth of the
//   process's resident memory while they are served, `rss_after_MiB` the
//   growth a second after the last reply.
// - LargeEvents/frames:N/api:0: N frames of one distinct 4 MiB event each
//   (a few KB on the wire) into a file database; `disk_MiB` is how much the
//   database's folder grows.
// - LargeEvents/frames:40/api:1: the same while a client adds a
//   sub-promoter (`down_add`) every 10 ms; `down_add_p50_ms`,
//   `down_add_max_ms` and `down_add_over_50ms` (how many took longer) are
//   their times, `down_add_idle_*` the same for as long again with the
//   collector idle.
// - TinyEvents/seconds:N: one client sends frames of 1024 distinct events
//   of 13 bytes of text each, one after another for N seconds, into a file
//   database; `disk_peak_MiB` is the largest size of the collector's
//   database (the file and its journal) after a reply, `disk_after_MiB`
//   its size at the end, `kept` the events kept of `sent`.
// - TinyThenLarge: one client fills the file with frames of 1024 distinct
//   events of 13 bytes for 30 s, then 4 clients at once send frames of
//   1000 distinct events of about 4 KB each for 30 s; `disk_peak_MiB` is
//   the largest size of the collector's file and journal after a reply,
//   `journal_peak_MiB` the journal's.
// - BegunKeepers: 64 clients each send a frame every 9 s with the next
//   frame's first byte attached (so none ever waits for a frame),
//   connecting again at once when theirs is closed; meanwhile an honest
//   client connects and sends a frame every 3 s for 60 s.
//   `honest_answered` of `honest_tries` were answered within 30 s,
//   `answer_max_s` is the longest wait.
//
// Build in Release (see CMakeLists.txt); every benchmark runs once.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "backend/AnalyticsCollector.h"
#include "backend/AnalyticsFrame.h"
#include "backend/LocalBackend.h"
#include "backend/Signature.h"
#include "bench/ProcessFigures.h"
#include "tests/backend/RawClient.h"

namespace {

namespace frame = backend::analytics_frame;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 64;
constexpr double kGiveUpSeconds = 60;
using process_figures::kMiB;
using process_figures::residentBytes;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The bytes of the files in `folder` whose names begin with `prefix`.
double folderBytes(const std::filesystem::path& folder, const std::string& prefix = "") {
    double total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename().string().starts_with(prefix))
            total += static_cast<double>(entry.file_size());
    }
    return total;
}

bool sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

// Reads one reply frame whole; false when the connection closes or the
// time runs out first.
bool readReply(int fd, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::string got;
    std::size_t wanted = frame::kHeadLength;
    while (got.size() < wanted) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd watch{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&watch, 1, static_cast<int>(left)) <= 0) return false;
        char chunk[4096];
        const ssize_t read = ::recv(fd, chunk, std::min(sizeof chunk, wanted - got.size()), 0);
        if (read <= 0) return false;
        got.append(chunk, static_cast<std::size_t>(read));
        if (got.size() == frame::kHeadLength)
            wanted = frame::readBigEndian32(reinterpret_cast<const std::uint8_t*>(got.data()) + 4);
    }
    return true;
}

std::string randomHex(std::mt19937& random, std::size_t length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(length, '0');
    for (char& c : text) c = kDigits[random() & 15];
    return text;
}

void HeldWriters(benchmark::State& state) {
    auto server = backend::LocalBackend::start({});
    auto& collector = server->analyticsCollector();
    // Replies of some size, so a few hundred unread ones fill the socket
    // queues (the attack needs only more frames with small ones).
    std::mt19937 random(7);
    collector.setConfigRecord(2, "{\"k\":\"" + randomHex(random, 8192) + "\"}", 1);
    collector.setReplyCoding(frame::Coding::RC4);
    const std::string request = frame::requestFrame(R"([{"e":"held"}])");
    for (auto _ : state) {
        std::vector<int> held;
        for (int i = 0; i < kClients; ++i) {
            const int fd = connectToLoopback(server->analyticsCollector().port(), 4096);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
            held.push_back(fd);
        }
        // Each client sends until it has not got a byte further for a
        // quarter of a second, then holds its connection.
        double sentBytes = 0;
        const auto pumpStart = Clock::now();
        std::vector<Clock::time_point> lastProgress(held.size(), pumpStart);
        std::vector<std::size_t> offset(held.size(), 0);
        for (bool pumping = true; pumping;) {
            pumping = false;
            for (std::size_t i = 0; i < held.size(); ++i) {
                if (secondsSince(lastProgress[i]) > 0.25) continue;
                pumping = true;
                const ssize_t sent = ::send(held[i], request.data() + offset[i], request.size() - offset[i],
                                            MSG_NOSIGNAL);
                if (sent <= 0) continue;
                lastProgress[i] = Clock::now();
                sentBytes += static_cast<double>(sent);
                offset[i] = (offset[i] + static_cast<std::size_t>(sent)) % request.size();
            }
        }
        state.counters["pump_s"] = secondsSince(pumpStart);
        int open = 0;
        for (int fd : held) {
            pollfd watch{fd, POLLRDHUP, 0};
            open += ::poll(&watch, 1, 0) == 0;
        }
        state.counters["held_open"] = open;
        const auto start = Clock::now();
        bool answered = false;
        while (!answered && secondsSince(start) < kGiveUpSeconds) {
            const int honest = connectToLoopback(collector.port());
            answered = honest >= 0 && sendAll(honest, request) &&
                       readReply(honest, std::max(0.1, kGiveUpSeconds - secondsSince(start)));
            if (honest >= 0) ::close(honest);
            if (!answered) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        state.counters["answer_s"] = answered ? secondsSince(start) : kGiveUpSeconds;
        state.counters["sent_per_client_MB"] = sentBytes / kClients / 1e6;
        for (int fd : held) ::close(fd);
    }
}

// An honest client that tries to have a frame answered every 3 s for 60 s
// (`answered` says whether one try was, within 30 s): `honest_answered`
// of `honest_tries`, and the longest wait, `answer_max_s` (30 s for a try
// not answered).
void honestClient(benchmark::State& state, const std::function<bool()>& answered) {
    int tries = 0, answers = 0;
    double longest = 0;
    for (const auto start = Clock::now(); secondsSince(start) < 60;) {
        const auto tried = Clock::now();
        ++tries;
        const bool ok = answered();
        answers += ok;
        longest = std::max(longest, ok ? secondsSince(tried) : 30.0);
        while (secondsSince(tried) < 3) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    state.counters["honest_tries"] = tries;
    state.counters["honest_answered"] = answers;
    state.counters["answer_max_s"] = longest;
}

// One frame's `bytes` on `fd`, connecting to `port` first when it is -1;
// false, the connection closed and `fd` -1, when no reply comes within
// `seconds`.
bool exchangeOn(int& fd, int port, const std::string& bytes, double seconds) {
    if (fd < 0) fd = connectToLoopback(port);
    if (fd >= 0 && sendAll(fd, bytes) && readReply(fd, seconds)) return true;
    if (fd >= 0) ::close(fd);
    fd = -1;
    return false;
}

// One frame's `bytes` on a connection of its own, closed after; whether
// its reply came within `seconds`.
bool answeredOnce(int port, const std::string& bytes, double seconds) {
    int fd = -1;
    const bool answered = exchangeOn(fd, port, bytes, seconds);
    if (fd >= 0) ::close(fd);
    return answered;
}

// Runs `meanwhile()` while `kClients` keepers take turns, each on a
// connection of its own (`fd`: -1 until one is open, closed at the end):
// keeper i starts after `stagger` * i seconds; after a turn
// (`turn(fd, done)`) that returns true it waits until `period` seconds
// have passed since the turn began, after one that returns false it takes
// another at once.
template <typename Turn, typename Meanwhile>
void whileKeepersRun(double period, double stagger, Turn turn, Meanwhile meanwhile) {
    std::atomic<bool> done{false};
    std::vector<std::thread> keepers;
    for (int i = 0; i < kClients; ++i) {
        keepers.emplace_back([&, i] {
            int fd = -1;
            std::this_thread::sleep_for(std::chrono::duration<double>(stagger * i));
            while (!done) {
                const auto tick = Clock::now();
                if (!turn(fd, done)) continue;
                while (!done && secondsSince(tick) < period) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (fd >= 0) ::close(fd);
        });
    }
    meanwhile();
    done = true;
    for (auto& keeper : keepers) keeper.join();
}

void PacedKeepers(benchmark::State& state) {
    auto server = backend::LocalBackend::start({});
    const int port = server->analyticsCollector().port();
    const std::string request = frame::requestFrame(R"([{"e":"paced"}])");
    const auto keep = [&](int& fd, const std::atomic<bool>& done) {
        if (!exchangeOn(fd, port, request, 10) && !done) exchangeOn(fd, port, request, 10);
        return true;
    };
    for (auto _ : state) {
        whileKeepersRun(8, 0.125, keep, [&] {
            // The keepers all hold their places first.
            std::this_thread::sleep_for(std::chrono::seconds(9));
            honestClient(state, [&] { return answeredOnce(port, request, 30); });
        });
    }
}

// A JSON array of about 4 MB: 1000 events of 98 members, about 99 000
// values in all, distinct per `seed`.
std::string largeText(int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    std::string text = "[";
    for (int event = 0; event < 1000; ++event) {
        text += event ? ",{" : "{";
        for (int member = 0; member < 98; ++member) {
            if (member) text += ",";
            text += "\"m" + std::to_string(member) + "\":\"" + randomHex(random, 1) + std::string(31, 'x') + "\"";
        }
        text += "}";
    }
    return text + "]";
}

void LargeFrames(benchmark::State& state) {
    auto server = backend::LocalBackend::start({});
    const int port = server->analyticsCollector().port();
    std::vector<std::string> frames;
    for (int i = 0; i < kClients; ++i) frames.push_back(frame::requestFrame(largeText(i)));
    for (auto _ : state) {
        const double before = residentBytes();
        std::atomic<bool> done{false};
        double peak = before;
        std::thread sampler([&] {
            while (!done) {
                peak = std::max(peak, residentBytes());
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        std::atomic<int> answered{0};
        const auto start = Clock::now();
        std::vector<std::thread> clients;
        for (int i = 0; i < kClients; ++i) {
            clients.emplace_back([&, i] {
                const int fd = connectToLoopback(port);
                if (fd >= 0 && sendAll(fd, frames[static_cast<std::size_t>(i)]) && readReply(fd, 120)) ++answered;
                if (fd >= 0) ::close(fd);
            });
        }
        for (auto& client : clients) client.join();
        const double seconds = secondsSince(start);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        done = true;
        sampler.join();
        state.counters["answered"] = static_cast<double>(answered);
        state.counters["stored"] = server->analyticsCollector().acceptedFrames();
        state.counters["frame_MB"] = static_cast<double>(frames[0].size()) / 1e6;
        state.counters["served_s"] = seconds;
        state.counters["rss_peak_MiB"] = (peak - before) / kMiB;
        state.counters["rss_after_MiB"] = (residentBytes() - before) / kMiB;
    }
}

// Times one `down_add` of a new sub-promoter, in milliseconds; negative
// when it is not added.
double timedDownAdd(httplib::Client& client, int serial) {
    const std::string uid = "1", name = "bench" + std::to_string(serial), password = "secret1", phone = "13800000000",
                      fcbl = "20", t = std::to_string(static_cast<long long>(std::time(nullptr)));
    const std::string path = "/?ios=1&ct=app&ac=down_add&uid=" + uid + "&username=" + name + "&passwd=" + password +
                             "&phone=" + phone + "&fcbl=" + fcbl + "&is_login=1&t=" + t +
                             "&sign=" + backend::signatureOf({uid, name, password, phone, fcbl, t});
    const auto start = Clock::now();
    auto answer = client.Get(path);
    const double ms = secondsSince(start) * 1000;
    return answer && answer->body.find("\"code\":1") != std::string::npos ? ms : -1;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Adds a sub-promoter every 10 ms until `done`; the times of those added.
std::vector<double> addSubPromoters(httplib::Client& api, int& serial, const std::atomic<bool>& done) {
    std::vector<double> times;
    while (!done) {
        const double ms = timedDownAdd(api, ++serial);
        if (ms >= 0) times.push_back(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return times;
}

void reportTimes(benchmark::State& state, const std::string& name, const std::vector<double>& times) {
    state.counters[name + "_p50_ms"] = median(times);
    state.counters[name + "_max_ms"] = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    state.counters[name + "_over_50ms"] =
        static_cast<double>(std::count_if(times.begin(), times.end(), [](double ms) { return ms > 50; }));
}

// A folder of its own among the temporary files, removed with it.
struct BenchFolder {
    BenchFolder() {
        if (!::mkdtemp(path.data())) path.clear();
    }
    ~BenchFolder() {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
    std::string path = (std::filesystem::temp_directory_path() / "velmaro-bench-XXXXXX").string();
};

// A back end with its database files in `folder`; nothing (the benchmark
// skipped) without the folder.
std::unique_ptr<backend::LocalBackend> backendWithFiles(const BenchFolder& folder, benchmark::State& state) {
    if (folder.path.empty()) {
        state.SkipWithError("no temporary folder");
        return nullptr;
    }
    return backend::LocalBackend::start({0, folder.path + "/backend.db", 0});
}

// range(0): the frames; range(1): 1 to time `down_add` beside them (and
// for as long again with the collector idle), 0 to measure the disk alone.
void LargeEvents(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    const bool timeTheApi = state.range(1) != 0;
    BenchFolder bench;
    auto server = backendWithFiles(bench, state);
    if (!server) return;
    const std::string& folder = bench.path;
    const int port = server->analyticsCollector().port();
    httplib::Client api("127.0.0.1", server->port());
    api.set_keep_alive(true);
    api.set_tcp_nodelay(true);
    int serial = 0;
    // 4 MiB of JSON text in all, the one event distinct by its number.
    const auto text = [](int n) {
        std::string head = "[{\"n\":" + std::to_string(n) + ",\"s\":\"";
        return head + std::string(frame::kLargestText - head.size() - 3, 'a') + "\"}]";
    };
    for (auto _ : state) {
        const double before = folderBytes(folder);
        std::atomic<bool> done{false};
        std::vector<double> loaded;
        std::thread adder;
        if (timeTheApi) adder = std::thread([&] { loaded = addSubPromoters(api, serial, done); });
        const auto start = Clock::now();
        const int fd = connectToLoopback(port);
        double wireBytes = 0;
        int answered = 0;
        for (int i = 0; i < frames; ++i) {
            const std::string bytes = frame::requestFrame(text(i));
            wireBytes += static_cast<double>(bytes.size());
            answered += sendAll(fd, bytes) && readReply(fd, 60);
        }
        ::close(fd);
        const double seconds = secondsSince(start);
        done = true;
        state.counters["answered"] = static_cast<double>(answered);
        state.counters["wire_KB"] = wireBytes / frames / 1e3;
        if (!timeTheApi) {
            state.counters["disk_MiB"] = (folderBytes(folder) - before) / kMiB;
            continue;
        }
        adder.join();
        reportTimes(state, "down_add", loaded);
        std::atomic<bool> quiet{false};
        std::vector<double> idle;
        adder = std::thread([&] { idle = addSubPromoters(api, serial, quiet); });
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        quiet = true;
        adder.join();
        reportTimes(state, "down_add_idle", idle);
    }
}

void TinyEvents(benchmark::State& state) {
    const double seconds = static_cast<double>(state.range(0));
    BenchFolder folder;
    auto server = backendWithFiles(folder, state);
    if (!server) return;
    const int port = server->analyticsCollector().port();
    // The collector's file and its journal.
    const auto collectorBytes = [&] { return folderBytes(folder.path, "backend-analytics"); };
    for (auto _ : state) {
        const int fd = connectToLoopback(port);
        double peak = 0;
        long long sent = 0;
        int answered = 0;
        for (const auto start = Clock::now(); secondsSince(start) < seconds;) {
            std::string text = "[";
            for (int i = 0; i < 1024; ++i, ++sent) {
                char event[32];
                std::snprintf(event, sizeof event, "%s{\"t\":%lld}", i ? "," : "", 1'000'000 + sent);
                text += event;
            }
            if (!sendAll(fd, frame::requestFrame(text + "]")) || !readReply(fd, 60)) break;
            ++answered;
            peak = std::max(peak, collectorBytes());
        }
        ::close(fd);
        state.counters["frames"] = answered;
        state.counters["sent"] = static_cast<double>(sent);
        state.counters["kept"] = static_cast<double>(server->analyticsCollector().storedEventCount());
        state.counters["disk_peak_MiB"] = peak / kMiB;
        state.counters["disk_after_MiB"] = collectorBytes() / kMiB;
    }
}

void TinyThenLarge(benchmark::State& state) {
    BenchFolder folder;
    auto server = backendWithFiles(folder, state);
    if (!server) return;
    const int port = server->analyticsCollector().port();
    std::atomic<double> peak{0}, journalPeak{0};
    const auto note = [&] {
        const double bytes = folderBytes(folder.path, "backend-analytics");
        const double journal = folderBytes(folder.path, "backend-analytics.db-wal");
        for (double seen = peak; bytes > seen && !peak.compare_exchange_weak(seen, bytes);) {
        }
        for (double seen = journalPeak; journal > seen && !journalPeak.compare_exchange_weak(seen, journal);) {
        }
    };
    for (auto _ : state) {
        std::atomic<long long> serial{0};
        const auto send = [&](double seconds, int events, int filler) {
            const int fd = connectToLoopback(port);
            for (const auto start = Clock::now(); secondsSince(start) < seconds;) {
                std::string text = "[";
                for (int i = 0; i < events; ++i)
                    text += (i ? ",{\"t\":" : "{\"t\":") + std::to_string(1'000'000 + serial++) + ",\"f\":\"" +
                            std::string(filler, 'x') + "\"}";
                if (!sendAll(fd, frame::requestFrame(text + "]")) || !readReply(fd, 60)) break;
                note();
            }
            ::close(fd);
        };
        send(30, 1024, 0);
        std::vector<std::thread> senders;
        for (int i = 0; i < 4; ++i) senders.emplace_back([&] { send(30, 1000, 4000); });
        for (auto& sender : senders) sender.join();
        state.counters["disk_peak_MiB"] = peak / kMiB;
        state.counters["journal_peak_MiB"] = journalPeak / kMiB;
        state.counters["disk_after_MiB"] = folderBytes(folder.path, "backend-analytics") / kMiB;
    }
}

void BegunKeepers(benchmark::State& state) {
    auto server = backend::LocalBackend::start({});
    const int port = server->analyticsCollector().port();
    const std::string request = frame::requestFrame(R"([{"e":"begun"}])");
    const auto keep = [&](int& fd, const std::atomic<bool>&) {
        // The rest of the frame begun, then the next one begun.
        return exchangeOn(fd, port, (fd < 0 ? request : request.substr(1)) + request.substr(0, 1), 10);
    };
    for (auto _ : state) {
        whileKeepersRun(9, 0, keep, [&] {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            // Turned away, the honest client tries again until 30 s have passed.
            honestClient(state, [&] {
                for (const auto tried = Clock::now(); secondsSince(tried) < 30;) {
                    if (answeredOnce(port, frame::requestFrame(R"([{"e":"honest"}])"), 30 - secondsSince(tried)))
                        return true;
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
                return false;
            });
        });
    }
}

}  // namespace

BENCHMARK(TinyEvents)->ArgNames({"seconds"})->Arg(100)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(PacedKeepers)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(HeldWriters)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(LargeFrames)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(LargeEvents)->ArgNames({"frames", "api"})->Args({20, 0})->Args({40, 0})->Args({40, 1})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(TinyThenLarge)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BegunKeepers)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
