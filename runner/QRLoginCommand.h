#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "runner/RunnerSession.h"

class QRLoginWatcher;
class RippleAuthSDK;

// The runner's `qrlogin`: the Ripple kit's QR-code login (which no screen of
// the app starts) and a phone acting on its code. `qrlogin start` asks the
// open platform for a code and saves its picture in the shots folder;
// `qrlogin scan|allow|deny|expire` has the simulated phone read that
// picture and act on the login (SimulatedRipplePhone); `qrlogin` alone
// tells where the login is. Each prints what the login told its delegate
// since the last command.
class QRLoginCommand {
public:
    // Runs the app until `ready` or until `seconds` have passed on the main
    // loop's clock, as the session's other commands wait; whether it became so.
    using Wait = std::function<bool(const std::function<bool()>& ready, double seconds)>;

    // `folderGone` answers the refusal of a start when the session folder,
    // where the picture goes, is gone; nothing while it is there.
    using FolderGone = std::function<std::optional<CommandResult>()>;

    QRLoginCommand(std::string shotsFolder, Wait wait, FolderGone folderGone);
    ~QRLoginCommand();

    CommandResult execute(const std::string& arguments);

private:
    CommandResult start();
    CommandResult actOnCode(const std::string& action);
    CommandResult describe(bool ok, std::string output);
    // Ends the login just started, whose code has no picture, saying `why`.
    CommandResult abandon(const std::string& why);

    std::string shotsFolder_;
    Wait wait_;
    FolderGone folderGone_;
    int pictures_ = 0;
    Ref<RippleAuthSDK> login_;
    Ref<QRLoginWatcher> watcher_;
};
