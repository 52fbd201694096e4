// A shot of the signed-in Home screen (render the key window, encode it as
// PNG) against a bare zlib deflate (level 6) of the same pixel bytes, on the
// standard screen (375x667@2) and the notched one (375x812@3). The ratio of
// the two medians, per screen, is the figure to report; the encoder alone
// shows how much of a shot is encoding.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shell/AppDelegate.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "foundation/AppSandbox.h"
#include "foundation/NSBundle.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/PNGCodec.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"
#include "uikit/ViewSnapshot.h"

namespace {

// The Home screen of a signed-in user, launched once for the whole run in a
// temporary sandbox (removed at exit); nothing answers its requests.
Ref<UIWindow> homeWindow(int scale) {
    static std::string sandbox = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmaro-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) std::atexit([] { std::filesystem::remove_all(sandbox); });
        return pattern;
    }();
    NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
    KXServiceAddress::setBaseURL("http://127.0.0.1:1/");
    AppSandbox::setRoot(sandbox);
    NSUserDefaults::resetStandardUserDefaults();
    KXLocallyStoredData::setUserID("1001");
    KXLocallyStoredData::setUsername("demo");
    UIApplication::resetForTesting();
    if (scale == 3) UIScreen::useNotchedScreen();
    else UIScreen::useStandardScreen();
    auto window = UIApplication::launch(make<AppDelegate>())->keyWindow();
    for (int turn = 0; turn < 100 && NSRunLoop::mainRunLoop()->runOnce(); ++turn) window->layoutIfNeeded();
    window->layoutIfNeeded();
    return window;
}

// The opaque shot's bytes as the encoder sees them: RGB rows.
std::vector<std::uint8_t> rgbPixels(const CGImage& image) {
    std::size_t width = image.width(), height = image.height();
    std::vector<std::uint8_t> rgb(width * height * 3);
    for (std::size_t y = 0; y < height; ++y) image.copyRow(y, rgb.data() + y * width * 3, false);
    return rgb;
}

void ShotOfHome(benchmark::State& state) {
    auto window = homeWindow(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        auto png = UIImagePNGRepresentation(snapshotView(window, true));
        size = png ? png->length() : 0;
    }
    state.counters["bytes"] = static_cast<double>(size);
}

// The floor: zlib's deflate at its default level (6) over the same pixel
// bytes, unfiltered, with no PNG around them.
void BareDeflateOfTheSamePixels(benchmark::State& state) {
    auto rgb = rgbPixels(*snapshotView(homeWindow(static_cast<int>(state.range(0))), true)->CGImage());
    std::vector<std::uint8_t> compressed(compressBound(rgb.size()));
    uLongf size = 0;
    for (auto _ : state) {
        size = compressed.size();
        if (compress2(compressed.data(), &size, rgb.data(), rgb.size(), Z_DEFAULT_COMPRESSION) != Z_OK) size = 0;
    }
    state.counters["bytes"] = static_cast<double>(size);
}

// The encoder alone on the same image, for the split between drawing and encoding.
void EncodeOnly(benchmark::State& state) {
    auto image = snapshotView(homeWindow(static_cast<int>(state.range(0))), true)->CGImage();
    std::size_t size = 0;
    for (auto _ : state) {
        auto png = PNGCodec::encode(*image);
        size = png ? png->length() : 0;
    }
    state.counters["bytes"] = static_cast<double>(size);
}

}  // namespace

BENCHMARK(ShotOfHome)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BareDeflateOfTheSamePixels)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(EncodeOnly)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
