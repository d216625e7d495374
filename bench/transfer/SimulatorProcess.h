// zarel-sim as a process of its own, so that the benchmark's CPU time and memory are the
// library's alone. Registered as com<n> in a temporary port directory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

class SimulatorProcess {
public:
    // baud: the printer's line rate; throttle: it sends at that rate's real pace; stateDirectory:
    // where it keeps its state (empty: none).
    SimulatorProcess(const std::string &program, int comNumber, uint32_t baud, bool throttle,
                     const std::string &stateDirectory = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

private:
    std::string portDir_;
    pid_t pid_ = -1;
};
