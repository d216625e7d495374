#include "SimulatorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

extern char **environ;

SimulatorProcess::SimulatorProcess(const std::string &program, int comNumber, uint32_t baud,
                                   bool throttle, const std::string &stateDirectory) {
    char dirTemplate[] = "/tmp/zarelcom-bench-ports-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr)
        throw std::runtime_error("cannot create a port directory under /tmp");
    portDir_ = dirTemplate;
    setenv("ZARELCOM_PORT_DIR", portDir_.c_str(), 1);

    std::vector<std::string> args{program, "--com", std::to_string(comNumber), "--baud",
                                  std::to_string(baud)};
    if (throttle) args.push_back("--throttle");
    if (!stateDirectory.empty()) args.insert(args.end(), {"--state", stateDirectory});
    std::vector<char *> argv;
    for (auto &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + program);

    // The printer is ready once its port entry exists; give it up to 5 s.
    const std::string entry = portDir_ + "/com" + std::to_string(comNumber);
    for (int tries = 0; tries < 500 && !std::filesystem::exists(entry); ++tries) {
        const timespec tenMs{0, 10'000'000};
        nanosleep(&tenMs, nullptr);
    }
    if (!std::filesystem::exists(entry))
        throw std::runtime_error(program + " did not register com" + std::to_string(comNumber));
}

SimulatorProcess::~SimulatorProcess() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    std::error_code ignored;
    std::filesystem::remove_all(portDir_, ignored);
}
