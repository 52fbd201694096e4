#pragma once

#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// One thing a simulated peer app received: the URL it was opened with, a
// line saying what it made of it, and the message it read off the pasteboard
// (empty when the URL carried everything).
struct PeerDelivery {
    std::string url;
    std::string summary;
    Dictionary message;
};

// A simulated app of another party on the device (the Ripple app, the Pal
// apps): installed on the platform's URL routing for its schemes, it speaks
// its wire format with the host app and keeps what it received, for tests and
// the runner's `peers`.
class PeerApp : public NSObject {
public:
    virtual std::string name() const = 0;
    // Takes (or gives back) the app's URL schemes.
    virtual void install() = 0;
    virtual void uninstall() = 0;

    const std::vector<PeerDelivery>& received() const { return received_; }
    void clearReceived() { received_.clear(); }
    // "<name>: nothing received", or one line per delivery.
    std::string describeReceived() const;

protected:
    void noteReceived(PeerDelivery delivery) { received_.push_back(std::move(delivery)); }

private:
    std::vector<PeerDelivery> received_;
};
