#include "ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char **environ;

namespace {

std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string> &changes) {
    std::vector<std::string> entries;
    for (char **entry = environ; *entry; ++entry) {
        std::string text = *entry;
        if (!changes.count(text.substr(0, text.find('=')))) entries.push_back(text);
    }
    for (const auto &[name, value] : changes) entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char *> Pointers(std::vector<std::string> &texts) {
    std::vector<char *> pointers;
    for (std::string &text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ProgramResult RunProgram(const ProgramRun &run) {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("no pipe for the child");
    int errTerminal = -1;
    if (run.errorOnTerminal) {
        close(errPipe[0]);
        close(errPipe[1]);
        if (openpty(&errPipe[0], &errTerminal, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("no pseudo-terminal for the child's standard error");
        errPipe[1] = errTerminal;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    for (int descriptor : {outPipe[0], errPipe[0], outPipe[1], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, descriptor);

    std::vector<std::string> arguments = run.arguments;
    std::vector<std::string> environment = ChildEnvironment(run.environment);
    std::vector<char *> argv = Pointers(arguments), envp = Pointers(environment);
    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + run.arguments[0] + ": " +
                                 std::strerror(spawned));

    ProgramResult result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(run.timeoutSeconds);
    pollfd streams[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string *texts[2] = {&result.out, &result.err};
    int open = 2;
    bool killed = false;
    while (open > 0) {
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        deadline - std::chrono::steady_clock::now())
                                        .count());
        if (left <= 0) {
            kill(child, SIGKILL);
            killed = true;
            break;
        }
        if (poll(streams, 2, left) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || !(streams[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            ssize_t got = read(streams[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                texts[i]->append(buffer, static_cast<size_t>(got));
            } else {
                // End of the pipe, or EIO once the child has closed its pseudo-terminal.
                close(streams[i].fd);
                streams[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd &stream : streams)
        if (stream.fd >= 0) close(stream.fd);
    int status = 0;
    waitpid(child, &status, 0);
    if (!killed && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

ProgramResult RunProgram(std::vector<std::string> arguments,
                         std::map<std::string, std::string> environment) {
    ProgramRun run;
    run.arguments = std::move(arguments);
    run.environment = std::move(environment);
    return RunProgram(run);
}
