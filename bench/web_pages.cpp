// What the main queue spends on one page a server sends, from its body to
// what the runner's `screen` prints of it: the page read from its body, put
// into the web view's content view, laid out at a phone's width (measured,
// then placed, as the web view does), and the outline of the view. Hostile
// pages within the 8 MiB a page may hold, against an ordinary one. Run one
// case per process (--benchmark_filter) for its peak: `peak_MiB` is the
// process's highest resident memory so far.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>

#include "uikit/UIDriver.h"
#include "webkit/WebPageContent.h"
#include "webkit/WebPageContentView.h"

namespace {

std::string repeated(const std::string& piece, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() + piece.size() <= bytes) text += piece;
    return text;
}

void showPage(benchmark::State& state, const std::string& body, const char* type) {
    const NSData data = NSData::fromString(body);
    for (auto _ : state) {
        auto view = make<WebPageContentView>();
        view->showContent(WebPageContent::fromBody(data, std::string(type), std::nullopt));
        const CGSize size = view->sizeThatFits({375, 0});
        view->setFrame(CGRectMake(0, 0, size.width, size.height));
        view->layoutIfNeeded();
        benchmark::DoNotOptimize(UIDriver::describeTree(view).size());
    }
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    state.counters["peak_MiB"] = static_cast<double>(used.ru_maxrss) / 1024;
}

void BM_OrdinaryPage(benchmark::State& state) {
    showPage(state, "<title>公告</title>" + repeated("<p>开服通知：新区今日开放，<a href=\"/n\">详情</a></p>", 4096),
             "text/html");
}
// The hostile pages take their size in bytes as the argument.
std::size_t bytesOf(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

void BM_PlainTextLines(benchmark::State& state) {
    showPage(state, repeated("订单 13 已支付，金额 100.00 元\n", bytesOf(state)), "text/plain");
}
void BM_PlainTextNewlines(benchmark::State& state) { showPage(state, std::string(bytesOf(state), '\n') + "x", "text/plain"); }
void BM_Paragraphs(benchmark::State& state) { showPage(state, repeated("<p>x</p>", bytesOf(state)), "text/html"); }
void BM_Links(benchmark::State& state) { showPage(state, repeated("<a href=/>x</a>", bytesOf(state)), "text/html"); }
void BM_Ampersands(benchmark::State& state) { showPage(state, std::string(bytesOf(state), '&'), "text/html"); }

}  // namespace

BENCHMARK(BM_OrdinaryPage)->Unit(benchmark::kMillisecond)->Iterations(3);
// 256 KiB, 2 MiB and the 8 MiB a page may hold.
#define PAGE_SIZES Arg(256 << 10)->Arg(2 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond)->Iterations(1)
BENCHMARK(BM_PlainTextLines)->PAGE_SIZES;
BENCHMARK(BM_PlainTextNewlines)->PAGE_SIZES;
BENCHMARK(BM_Paragraphs)->PAGE_SIZES;
BENCHMARK(BM_Links)->PAGE_SIZES;
BENCHMARK(BM_Ampersands)->PAGE_SIZES;
