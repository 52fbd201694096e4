// Launch to the first laid-out screen with a stored user: the application
// delegate's launch (window, the main tab bar with its four tabs, the kits'
// start) and the first layout pass of the key window, in process. Each
// repetition runs on a fresh application over the same sandbox; the median
// of the repetitions is the figure to report.

#include <benchmark/benchmark.h>

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
#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

namespace {

// A temporary sandbox with a signed-in user, removed at the end.
class SignedInSandbox {
public:
    SignedInSandbox() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmaro-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
        AppSandbox::setRoot(path_);
        NSUserDefaults::resetStandardUserDefaults();
        KXLocallyStoredData::setUserID("1001");
        KXLocallyStoredData::setUsername("demo");
    }
    ~SignedInSandbox() {
        NSUserDefaults::resetStandardUserDefaults();
        AppSandbox::reset();
        std::filesystem::remove_all(path_);
    }

private:
    std::string path_;
};

std::size_t countViews(const Ref<UIView>& view) {
    std::size_t count = 1;
    for (const auto& subview : view->subviews()) count += countViews(subview);
    return count;
}

void LaunchToFirstLaidOutScreen(benchmark::State& state) {
    NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
    // Nothing answers here: requests the screens start fail without waiting.
    KXServiceAddress::setBaseURL("http://127.0.0.1:1/");
    SignedInSandbox sandbox;
    std::size_t views = 0;
    for (auto _ : state) {
        auto application = UIApplication::launch(make<AppDelegate>());
        auto window = application->keyWindow();
        window->layoutIfNeeded();
        state.PauseTiming();
        views = countViews(window);
        NSRunLoop::mainRunLoop()->discardPendingWork();
        UIApplication::resetForTesting();
        state.ResumeTiming();
    }
    // How much screen the launch built, to tell a real figure from an empty one.
    state.counters["views"] = static_cast<double>(views);
}

}  // namespace

BENCHMARK(LaunchToFirstLaidOutScreen)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
