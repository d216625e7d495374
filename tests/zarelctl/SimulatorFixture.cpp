#include "SimulatorFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

void ZarelctlOnSimulator::SetUp() {
    std::string pattern = ::testing::TempDir() + "zarelctl_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    work_ = pattern;
    ports_ = work_ + "/ports";
    std::filesystem::create_directory(ports_);
    zarelsim::Options options;
    options.comNumber = kCom;
    options.portDirectory = ports_;
    options.rebootMs = 0;
    printer_ = std::make_unique<zarelsim::Simulator>(options);
    printer_->Start();
}

void ZarelctlOnSimulator::TearDown() {
    printer_.reset();
    std::filesystem::remove_all(work_);
}

ProgramResult ZarelctlOnSimulator::CtlAsIs(const std::vector<std::string> &arguments,
                                           bool errorOnTerminal) {
    ProgramRun run;
    run.arguments = {ZARELCTL_PROGRAM};
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    run.environment = {{"ZARELCOM_PORT_DIR", ports_}, {"QT_QPA_PLATFORM", "offscreen"}};
    run.errorOnTerminal = errorOnTerminal;
    return RunProgram(run);
}

ProgramResult ZarelctlOnSimulator::Ctl(const std::vector<std::string> &arguments,
                                       bool errorOnTerminal) {
    std::vector<std::string> withPort = {"--port", std::to_string(kCom)};
    withPort.insert(withPort.end(), arguments.begin(), arguments.end());
    return CtlAsIs(withPort, errorOnTerminal);
}

void ZarelctlOnSimulator::WriteFile(const std::string &name, const std::string &bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
}

std::string ZarelctlOnSimulator::ReadFile(const std::string &name) const {
    std::ifstream file(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
