// What one web picture costs the main thread, and the whole process, from
// the load's start to its answer on the main queue: a plain 64 x 64 PNG, a
// 1 x 1 PNG with a 30 MB private chunk, and a body of 32 MiB in chunks of
// one byte (six bytes on the wire a byte). Counters: main_ms is the main
// thread's processor time per picture, process_ms every thread's (the
// loopback servers' too). Each load finds the memory cache empty.
#include <benchmark/benchmark.h>
#include <time.h>

#include <string>

#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/SDImageCache.h"
#include "frameworks/webimage/SDWebImageManager.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/PNGChunks.h"

namespace {

double secondsOf(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string pngOf(std::size_t side) {
    std::vector<std::uint8_t> rgba(side * side * 4, 200);
    return UIImagePNGRepresentation(make<UIImage>(CGImage::imageWithRGBA(side, side, rgba), 1, UIImageOrientation::Up))
        ->toString();
}

LoopbackHTTPServer& server() {
    static LoopbackHTTPServer shared;
    static const bool scripted = [] {
        shared.respond("GET", "/plain.png", 200, pngOf(64), "image/png");
        shared.respond("GET", "/ancillary.png", 200,
                       withChunksBeforePixels(pngOf(1), pngChunk("vlMo", std::string(30'000'000, 'x'))), "image/png");
        return true;
    }();
    (void)scripted;
    return shared;
}

void loadPicture(benchmark::State& state, const std::string& url) {
    const auto address = NSURL::URLWithString(url);
    double mainSeconds = 0, processSeconds = 0;
    for (auto _ : state) {
        SDImageCache::sharedImageCache()->clearMemory();
        bool done = false;
        const double mainBefore = secondsOf(CLOCK_THREAD_CPUTIME_ID), processBefore = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
        auto load = SDWebImageManager::sharedManager()->loadImageWithURL(
            address, SDWebImageDefaultOptions, nullptr,
            [&](const Ref<UIImage>&, const NSData&, const Ref<NSError>&, SDImageCacheType, bool, const Ref<NSURL>&) {
                done = true;
            });
        NSRunLoop::mainRunLoop()->runUntil([&] { return done; }, 120);
        mainSeconds += secondsOf(CLOCK_THREAD_CPUTIME_ID) - mainBefore;
        processSeconds += secondsOf(CLOCK_PROCESS_CPUTIME_ID) - processBefore;
        if (!done) state.SkipWithError("no answer");
    }
    state.counters["main_ms"] = benchmark::Counter(mainSeconds * 1e3 / state.iterations());
    state.counters["process_ms"] = benchmark::Counter(processSeconds * 1e3 / state.iterations());
}

void PlainPicture(benchmark::State& state) { loadPicture(state, server().url("/plain.png")); }
void PictureWithA30MBChunk(benchmark::State& state) { loadPicture(state, server().url("/ancillary.png")); }
void PictureInOneByteChunks(benchmark::State& state) {
    static MisbehavingServer dribbling(MisbehavingServer::Behaviour::AnswerInOneByteChunks);
    loadPicture(state, dribbling.url("/a.png"));
}

}  // namespace

BENCHMARK(PlainPicture)->Iterations(20)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PictureWithA30MBChunk)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PictureInOneByteChunks)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();
