#pragma once

// What the analytics library sent, duplicates included: the collector keeps
// one copy of each event text, so its own count cannot show an event sent
// twice.
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Listens on its own loopback port and passes every connection on to the
// collector's port, both ways, byte for byte; each request frame that went
// through whole has its events counted. A collector that is down closes
// the connection at once.
class CountingProxy {
public:
    explicit CountingProxy(int collectorPort);
    ~CountingProxy();
    CountingProxy(const CountingProxy&) = delete;
    CountingProxy& operator=(const CountingProxy&) = delete;

    int port() const { return port_; }
    // How many times each event text went through.
    std::map<std::string, int> sent();
    // How many times each of `texts` went through, in their order.
    std::vector<int> timesSent(const std::vector<std::string>& texts);

private:
    void serve(int client);
    // Counts the events of the request frames whole in `stream`, which it
    // leaves holding what follows them.
    void countFrames(std::string& stream);

    int collectorPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::set<int> open_;  // the sockets of connections being served
    std::vector<std::thread> connections_;
    std::map<std::string, int> sent_;
};
