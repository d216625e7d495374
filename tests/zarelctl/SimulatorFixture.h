// zarelctl against the simulator: a fresh simulated printer registered as COM5 in a private port
// directory for every test, and zarelctl run as a script runs it.
#pragma once

#include "ProgramRun.h"

#include <zarelsim/Simulator.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class ZarelctlOnSimulator : public ::testing::Test {
protected:
    static constexpr int kCom = 5;

    void SetUp() override;
    void TearDown() override;

    // zarelctl --port 5 ARGS (no --port when the arguments begin with "--auto" or name one).
    ProgramResult Ctl(const std::vector<std::string> &arguments, bool errorOnTerminal = false);
    // zarelctl ARGS, with nothing added.
    ProgramResult CtlAsIs(const std::vector<std::string> &arguments, bool errorOnTerminal = false);

    std::string File(const std::string &name) const { return work_ + "/" + name; }
    void WriteFile(const std::string &name, const std::string &bytes) const;
    std::string ReadFile(const std::string &name) const;

    zarelsim::Simulator &Printer() { return *printer_; }
    const std::string &PortDirectory() const { return ports_; }

private:
    std::string work_, ports_;
    std::unique_ptr<zarelsim::Simulator> printer_;
};
