#pragma once

#include <cstdint>
#include <string>

// Where the report channel delivers: a host name or address and a TCP port
// (80 unless given), one setting of the library read at each connection.
// Until a host is set the channel has nowhere to connect: every unit fails
// at once, without leaving the machine.
class RPOUTAReportHost {
public:
    RPOUTAReportHost() = delete;

    static constexpr std::uint16_t kDefaultPort = 80;

    static void setHost(std::string host, std::uint16_t port = kDefaultPort);
    static std::string host();
    static std::uint16_t port();
};
