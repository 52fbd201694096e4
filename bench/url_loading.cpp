// 1,000 sequential GETs to a loopback server, through URL loading (task on
// the shared session, completion on the main run loop) and through plain
// libcurl easy calls on one reused handle, in the same run. Both keep their
// connection alive, so the difference is what URL loading adds: the main
// loop's epoll wait and curl's multi interface driven from it, the response
// objects, and the completion posted to the main queue.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>

#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

constexpr int requestCount = 1000;
const std::string answer = "{\"code\":0,\"msg\":\"ok\"}";

LoopbackHTTPServer& server() {
    static LoopbackHTTPServer shared;
    static const bool scripted = (shared.respond("GET", "/ping", 200, answer, "application/json"), true);
    (void)scripted;
    return shared;
}

std::size_t appendTo(char* bytes, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(bytes, size * count);
    return size * count;
}

void PlainCurlEasy(benchmark::State& state) {
    const std::string url = server().url("/ping?n=1");
    CURL* easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &appendTo);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        body.clear();
        if (curl_easy_perform(easy) != CURLE_OK || body != answer) state.SkipWithError("GET failed");
    }
    curl_easy_cleanup(easy);
}

void URLSessionDataTask(benchmark::State& state) {
    const Ref<NSURL> url = NSURL::URLWithString(server().url("/ping?n=1"));
    const auto mainLoop = NSRunLoop::mainRunLoop();
    for (auto _ : state) {
        bool done = false;
        bool ok = false;
        NSURLSession::sharedSession()
            ->dataTaskWithURL(url, [&](const NSData& body, Ref<NSURLResponse>, Ref<NSError> error) {
                ok = !error && body.toString() == answer;
                done = true;
            })
            ->resume();
        mainLoop->runUntil([&] { return done; }, 10);
        if (!ok) state.SkipWithError("GET failed");
    }
}

}  // namespace

BENCHMARK(PlainCurlEasy)->Iterations(requestCount)->Repetitions(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(URLSessionDataTask)->Iterations(requestCount)->Repetitions(3)->Unit(benchmark::kMicrosecond);
