// velmaro: the promoter app in a terminal. Starts the app in this process on
// a session folder and a screen of the chosen size, against the built-in
// local back end (or another one), and drives it with line commands typed at
// a prompt or read from a script.

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/KXServiceAddress.h"
#include "app/shell/main.h"
#include "backend/LocalBackend.h"
#include "backend/StandIns.h"
#include "foundation/AppSandbox.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/URLLoadingEngine.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "peers/PaymentNotice.h"
#include "runner/BackEndProbe.h"
#include "runner/ConsoleInput.h"
#include "foundation/FileProblem.h"
#include "backend/OwnerOnly.h"
#include "runner/FolderBackEnd.h"
#include "runner/RunnerOptions.h"
#include "runner/RunnerSession.h"
#include "runner/ScriptRunner.h"
#include "runner/SessionEnd.h"
#include "runner/SessionFolder.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"

namespace {

// The file in the session folder `folder` that keeps the command history,
// the folder of the shots and the app's sandbox.
std::string historyPath(const std::string& folder) { return folder + "/history"; }
std::string shotsFolder(const std::string& folder) { return folder + "/shots"; }
std::string sandboxFolder(const std::string& folder) { return folder + "/sandbox"; }

// The session's first line, the demo sign-in, then the script or the
// prompt; the exit status. `startUpLog` holds what the app and its kits
// logged while starting: the session's `log` shows it. `folderHold` tells
// when the session folder is gone.
int runSession(const RunnerOptions& options, const std::string& serviceURL, std::unique_ptr<NSLogCapture> startUpLog,
               const SessionFolder::Hold& folderHold) {
    RunnerSession session(shotsFolder(options.dataFolder), std::move(startUpLog), options.targetWaitSeconds,
                          [&folderHold] { return folderHold.gone(); });
    std::cout << "velmaro on " << serviceURL << " (help lists the commands)" << std::endl;
    SessionEnd::tellEarlierUnknownResults(std::cout);
    ScriptRunner runner(session, std::cout);
    int status = 0;
    if (options.demo && !runner.signInWithDemoAccount()) status = 1;
    else if (options.scriptFile) status = runner.runScriptFile(*options.scriptFile) ? 0 : 1;
    else {
        ConsoleInput input(historyPath(options.dataFolder));
        runner.runInteractive(input);
    }
    // However it ended, a money action still under way is answered or named.
    SessionEnd::settle(std::cout);
    return status;
}

// Points the kits at the back end's stand-ins for their services: the Pal
// kit's web services and the Ripple open platform over TLS, the analytics
// library's report host.
void useStandIns(const backend::StandIns& standIns) {
    NimbusConnectHosts::setHost(standIns.palConnectHost, standIns.palConnectCertificate);
    RPOUTAReportHost::setHost(standIns.analyticsCollectorHost, static_cast<std::uint16_t>(standIns.analyticsCollectorPort));
    RippleOpenPlatformHosts::setHosts(standIns.rippleOpenPlatformHost, standIns.rippleOpenPlatformHost,
                                      standIns.rippleOpenPlatformCertificate);
}

// What the app's settings file, which keeps the sign-in, does to the
// session when it cannot be read or saved; nothing when all is well. The
// settings are saved as a new file beside the old one that takes its place:
// what that needs is checked, not the old file's mode.
std::optional<std::string> settingsProblem(const NSUserDefaults& settings) {
    const std::string& path = settings.filePath();
    switch (settings.fileState()) {
        case NSUserDefaults::FileState::Unreadable:
            return "the app's settings cannot be read: " +
                   FileProblem::why(path, ::access(path.c_str(), R_OK) != 0 ? errno : EACCES,
                                             FileProblem::Doing::Reading) +
                   ": the app starts signed out, and they are not saved over";
        case NSUserDefaults::FileState::Damaged:
            return "the app's settings " + path +
                   " are damaged (they hold no settings the app can read): the app starts signed out, and saves "
                   "its settings anew over them";
        case NSUserDefaults::FileState::Read: break;
    }
    if (auto problem = FileProblem::ofReplacing(path))
        return "the app's settings cannot be saved: " + *problem +
               ": a sign-in or sign-out in this session is not kept for the next one";
    return std::nullopt;
}

// The first of the files the session keeps in its folder from one session
// to the next that is not a regular file, named; checked before any of them
// is opened, which could wait for good (a pipe).
std::optional<std::string> keptFileProblem(const std::string& folder) {
    for (const std::string& file :
         {historyPath(folder), FolderBackEnd::recordPath(folder), NSUserDefaults::standardFilePath()})
        if (auto problem = FileProblem::ofKind(file)) return "cannot use " + file + ": " + *problem;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever the session, the app and the back end make is its user's
    // alone (backend::OwnerOnly): the back end's database holds the payment
    // provider's secret and the password hashes.
    ::umask(backend::OwnerOnly::kMask);
    // The simulated payment apps tell the shop over cpp-httplib, whose writes
    // raise SIGPIPE when the other end has hung up: a peer hanging up fails
    // that one request, it must not end the session.
    std::signal(SIGPIPE, SIG_IGN);
    SessionEnd::catchSignals();
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
    SessionFolder::Hold folderHold;
    // A folder named by --data must have its parent, as a mistyped path
    // would not; the default one is made with the folders above it.
    const bool defaultFolder = options->dataFolder == RunnerOptions::defaultDataFolder();
    if (auto problem = SessionFolder::prepare(options->dataFolder, options->fresh, folderHold, defaultFolder)) {
        std::cerr << "velmaro: " << *problem << "\n";
        return 1;
    }
    const std::string sandbox = sandboxFolder(options->dataFolder);
    if (auto problem = FileProblem::makeFolder(sandbox)) {
        std::cerr << "velmaro: " << *problem << "\n";
        return 1;
    }
    std::string failedFolder;
    std::error_code failure;
    if (!AppSandbox::setRoot(sandbox, &failedFolder, &failure)) {
        std::cerr << "velmaro: cannot make the app's folders in " << sandbox << ": "
                  << FileProblem::why(failedFolder, failure.value()) << "\n";
        return 1;
    }
    NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
    if (auto problem = keptFileProblem(options->dataFolder)) {
        std::cerr << "velmaro: " << *problem << "\n";
        return 1;
    }
    if (auto problem = settingsProblem(*NSUserDefaults::standardUserDefaults()))
        std::cerr << "velmaro: " << *problem << "\n";
    UIScreen::configureMainScreen(CGSizeMake(options->screenWidth, options->screenHeight), options->screenScale,
                                  options->notched);

    std::unique_ptr<backend::LocalBackend> localBackend;
    if (options->backendURL) {
        KXServiceAddress::setBaseURL(*options->backendURL);
        // A back end of ours (velmaro-backend) tells where its stand-ins
        // are; another one is asked for the Pal kit's web services at its
        // own host and port.
        if (auto address = NSURL::URLWithString(*options->backendURL); address && address->host()) {
            const auto probe = BackEndProbe::ask(address);
            if (probe.standIns) useStandIns(*probe.standIns);
            else NimbusConnectHosts::setHost(BackEndProbe::hostAndPort(address));
            if (!probe.reached)
                std::cerr << "velmaro: the back end at " << *options->backendURL
                          << " could not be reached: sign-in and every screen's data fail until it answers\n";
            else if (!probe.standIns)
                std::cerr << "velmaro: the back end at " << *options->backendURL
                          << " does not tell where its stand-ins for the kits' services are: the Pal kit's are asked at "
                          << BackEndProbe::hostAndPort(address) << "\n";
        }
    } else {
        std::string failure;
        localBackend = FolderBackEnd::startLocal(options->dataFolder, &failure);
        if (!localBackend) {
            std::cerr << "velmaro: the local back end did not start: " << failure << "\n";
            return 1;
        }
        KXServiceAddress::setBaseURL(localBackend->baseURL());
        useStandIns(localBackend->standIns());
    }
    // What an earlier session kept open to others is closed now; after the
    // back end's start, which replaces a TLS key it finds open to others
    // rather than keeping one that may have been read.
    SessionFolder::keepPrivate(options->dataFolder,
                               {sandbox, shotsFolder(options->dataFolder), historyPath(options->dataFolder),
                                FolderBackEnd::recordPath(options->dataFolder),
                                FolderBackEnd::storageFolder(options->dataFolder)});

    // The session runs inside the app's main loop, once the app has launched;
    // ending it ends the app.
    int status = 0;
    // What the app logs after the session ended (answers still arriving while
    // it shuts down) has no reader: it is kept off the terminal.
    std::unique_ptr<NSLogCapture> logAfterSession;
    // The address as the app joins its paths to it, ending in "/".
    const std::string serviceURL = KXServiceAddress::baseURL();
    FolderBackEnd::use(options->dataFolder, serviceURL);
    // What the app and its kits log while starting is the session's to show
    // (`log`), not printed before its first line.
    auto startUpLog = std::make_unique<NSLogCapture>(false);
    DispatchQueue::main()->async([&] {
        // The simulated payment apps pay the back end's orders, telling it
        // alone, under its provider secret, which is in its database: asked
        // for once the app has launched, while the back end seeded it
        // meanwhile.
        if (localBackend)
            PaymentNotice::setProvider({localBackend->paymentProviderSecret(), localBackend->baseURL()});
        status = runSession(*options, serviceURL, std::move(startUpLog), folderHold);
        logAfterSession = std::make_unique<NSLogCapture>(false);
        UIApplication::sharedApplication()->terminate();
        // As when a phone's app is ended, what the app had queued on its
        // main loop (a layout pass of the launch, a request not yet sent)
        // is dropped rather than done for nobody: a session that only quits
        // costs no text measuring and no connection. What the app writes
        // it writes at once, so no change is lost with it.
        NSRunLoop::mainRunLoop()->discardPendingWork();
    });
    char* appArguments[] = {argv[0], nullptr};
    velmaroMain(1, appArguments);
    // The back end's servers end a connection when its client closes it.
    URLLoadingEngine::closeAllConnections();
    if (localBackend) localBackend->stop();
    return status;
}
