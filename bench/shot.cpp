// A shot of the signed-in Home screen (render the key window, encode it as
// PNG) against encoding the same pixels with libpng alone at the same
// compression level, on the standard screen (375x667@2) and the notched
// one (375x812@3). The ratio of the two medians is the figure to report.

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

// Plain libpng: RGB rows already in memory, written at the codec's level.
std::size_t encodeWithLibpng(const std::vector<std::uint8_t>& rgb, std::size_t width, std::size_t height) {
    std::vector<std::uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &bytes, appendToBytes, nullptr);
    png_set_compression_level(png, PNGCodec::compressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::size_t y = 0; y < height; ++y) png_write_row(png, rgb.data() + y * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes.size();
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

void LibpngAloneOnTheSamePixels(benchmark::State& state) {
    auto image = snapshotView(homeWindow(static_cast<int>(state.range(0))), true)->CGImage();
    std::size_t width = image->width(), height = image->height();
    std::vector<std::uint8_t> rgb(width * height * 3);
    for (std::size_t y = 0; y < height; ++y) image->copyRow(y, rgb.data() + y * width * 3, false);
    std::size_t size = 0;
    for (auto _ : state) size = encodeWithLibpng(rgb, width, height);
    state.counters["bytes"] = static_cast<double>(size);
}

}  // namespace

BENCHMARK(ShotOfHome)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(LibpngAloneOnTheSamePixels)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
