// A ser2net started by a test or benchmark in front of lines (simulated printers'
// pseudo-terminals), each on 127.0.0.1 and a free port of its own, stopped at the end of its scope.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class Ser2net {
public:
    enum class Kind {
        Rfc2217, // telnet with the COM port option
        Telnet,  // telnet that refuses the COM port option
        Raw      // bytes only
    };
    // Starts ser2net and waits until it listens; throws std::runtime_error when it does not.
    // Every line starts at rate.
    Ser2net(const std::vector<std::string>& devices, Kind kind, uint32_t rate = 19200);
    Ser2net(const std::string& device, Kind kind, uint32_t rate = 19200)
        : Ser2net(std::vector<std::string>{device}, kind, rate) {}
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // rfc2217://127.0.0.1:PORT, or socket://127.0.0.1:PORT?baud=RATE for a raw one, of line i.
    std::string Url(size_t line = 0) const;
    // Ends ser2net at once: every connection drops.
    void Kill();

private:
    std::string PidFile() const;

    Kind kind_;
    uint32_t rate_;
    std::vector<uint16_t> ports_;
    pid_t pid_ = -1;
};
