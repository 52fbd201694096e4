// velmaro: the promoter app in a terminal. Starts the app in this process on
// a session folder and a screen of the chosen size, against the built-in
// local back end (or another one), and drives it with line commands typed at
// a prompt or read from a script.

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/KXServiceAddress.h"
#include "app/shell/main.h"
#include "backend/AnalyticsCollector.h"
#include "backend/LocalBackend.h"
#include "backend/PalConnectServices.h"
#include "backend/RippleOpenPlatform.h"
#include "foundation/AppSandbox.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSURL.h"
#include "foundation/URLLoadingEngine.h"
#include "graphics/FontLibrary.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "peers/PaymentNotice.h"
#include "runner/ConsoleInput.h"
#include "runner/RunnerOptions.h"
#include "runner/RunnerSession.h"
#include "runner/ScriptRunner.h"
#include "runner/SessionFolder.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"

namespace {

// The demo sign-in, then the script or the prompt; the exit status.
int runSession(const RunnerOptions& options, const std::string& serviceURL) {
    RunnerSession session(options.dataFolder + "/shots");
    ScriptRunner runner(session, std::cout);
    if (options.demo && !runner.signInWithDemoAccount()) return 1;
    if (options.scriptFile) return runner.runScriptFile(*options.scriptFile) ? 0 : 1;
    std::cout << "velmaro on " << serviceURL << " (help lists the commands)\n";
    ConsoleInput input(options.dataFolder + "/history");
    runner.runInteractive(input);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = RunnerOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "velmaro: " << error << "\n" << RunnerOptions::usage();
        return 2;
    }
    if (options->help) {
        std::cout << RunnerOptions::usage();
        return 0;
    }

    // Every option is checked before the session folder is touched: a
    // missing script must not cost a --fresh folder its contents.
    if (options->scriptFile) {
        if (auto problem = ScriptRunner::scriptFileProblem(*options->scriptFile)) {
            std::cerr << "velmaro: " << *problem << "\n";
            return 1;
        }
    }
    // The fonts load while the back end starts and the app launches, not
    // when the first screen is drawn (which waits for them if need be).
    std::jthread fontsLoading([] { FontLibrary::shared(); });
    if (auto problem = SessionFolder::prepare(options->dataFolder, options->fresh)) {
        std::cerr << "velmaro: " << *problem << "\n";
        return 1;
    }
    const std::string sandbox = options->dataFolder + "/sandbox";
    if (!NSFileManager::defaultManager()->createDirectoryAtPath(sandbox, true) || !AppSandbox::setRoot(sandbox)) {
        std::cerr << "velmaro: cannot use the session folder " << options->dataFolder << "\n";
        return 1;
    }
    NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
    UIScreen::configureMainScreen(CGSizeMake(options->screenWidth, options->screenHeight), options->screenScale,
                                  options->notched);

    std::unique_ptr<backend::LocalBackend> localBackend;
    if (options->backendURL) {
        KXServiceAddress::setBaseURL(*options->backendURL);
        // The Pal kit's web services are asked at the same host and port.
        if (auto address = NSURL::URLWithString(*options->backendURL); address && address->host()) {
            std::string host = address->host()->find(':') == std::string::npos ? *address->host()
                                                                                : "[" + *address->host() + "]";
            if (address->port()) host += ":" + std::to_string(*address->port());
            NimbusConnectHosts::setHost(host);
        }
    } else {
        localBackend = backend::LocalBackend::start({});
        if (!localBackend) {
            std::cerr << "velmaro: the local back end did not start\n";
            return 1;
        }
        KXServiceAddress::setBaseURL(localBackend->baseURL());
        // The Pal kit's web services answer from the same back end, over TLS.
        NimbusConnectHosts::setHost(localBackend->palConnect().host(), localBackend->palConnect().certificateFile());
        // The analytics library reports to its collector.
        RPOUTAReportHost::setHost(backend::AnalyticsCollector::kHost,
                                  static_cast<std::uint16_t>(localBackend->analyticsCollector().port()));
        // The Ripple open platform's services (QR login, web authorisation), over TLS.
        const backend::RippleOpenPlatform& ripple = localBackend->rippleOpenPlatform();
        RippleOpenPlatformHosts::setHosts(ripple.host(), ripple.host(), ripple.certificateFile());
    }

    // The session runs inside the app's main loop, once the app has launched;
    // ending it ends the app.
    int status = 0;
    // What the app logs after the session ended (answers still arriving while
    // it shuts down) has no reader: it is kept off the terminal.
    std::unique_ptr<NSLogCapture> logAfterSession;
    const std::string serviceURL = localBackend ? localBackend->baseURL() : *options->backendURL;
    DispatchQueue::main()->async([&] {
        // The simulated payment apps pay the back end's orders with its
        // provider secret, which is in its database: asked for once the app
        // has launched, while the back end seeded it meanwhile.
        if (localBackend) PaymentNotice::setProviderSecret(localBackend->paymentProviderSecret());
        status = runSession(*options, serviceURL);
        logAfterSession = std::make_unique<NSLogCapture>(false);
        UIApplication::sharedApplication()->terminate();
    });
    char* appArguments[] = {argv[0], nullptr};
    velmaroMain(1, appArguments);
    // The back end's servers end a connection when its client closes it.
    URLLoadingEngine::closeAllConnections();
    if (localBackend) localBackend->stop();
    return status;
}
