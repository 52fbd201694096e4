#include "peers/PeerApp.h"

std::string PeerApp::describeReceived() const {
    if (received_.empty()) return name() + ": nothing received\n";
    std::string text = name() + ": " + std::to_string(received_.size()) + " received\n";
    for (const auto& delivery : received_) text += "  " + delivery.url + "\n    " + delivery.summary + "\n";
    return text;
}
