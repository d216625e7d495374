#include "Ser2net.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {
uint16_t FreePort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (probe < 0 || ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free TCP port on 127.0.0.1");
    ::close(probe);
    return ntohs(address.sin_port);
}

// Whether the kernel lists a socket listening on 127.0.0.1:port; no connection is made, since
// ser2net serves one client at a time.
bool Listening(uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::string line;
    while (std::getline(table, line))
        if (line.find(wanted) != std::string::npos && line.find(" 0A ") != std::string::npos)
            return true;
    return false;
}
} // namespace

Ser2net::Ser2net(const std::vector<std::string>& devices, Kind kind, uint32_t rate)
    : kind_(kind), rate_(rate) {
    static const char* const accepters[] = {"telnet(rfc2217),tcp(nodelay)", "telnet,tcp(nodelay)",
                                            "tcp(nodelay)"};
    // The '#' stand for line breaks in ser2net's -Y form.
    std::string config;
    for (const std::string& device : devices) {
        ports_.push_back(FreePort());
        config += "connection: &line" + std::to_string(ports_.size()) +
                  "#  accepter: " + accepters[int(kind)] + ",127.0.0.1," +
                  std::to_string(ports_.back()) + "#  connector: serialdev," + device + "," +
                  std::to_string(rate) +
                  "n81,local#  options:#    chardelay: false#    kickolduser: false#";
    }
    const std::string pidFile = PidFile();
    const char* argv[] = {"ser2net",       "-n", "-u",           "-P",
                          pidFile.c_str(), "-Y", config.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int failed =
        posix_spawnp(&pid_, "ser2net", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start ser2net: is Debian's ser2net installed?");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    size_t listening = 0;
    while (listening < ports_.size()) {
        if (Listening(ports_[listening])) {
            ++listening;
            continue;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("ser2net ended at once: " + config);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Kill();
            throw std::runtime_error("ser2net does not listen on port " +
                                     std::to_string(ports_[listening]));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

Ser2net::~Ser2net() { Kill(); }

std::string Ser2net::PidFile() const {
    return "/tmp/ser2net-test-" + std::to_string(ports_.front()) + ".pid";
}

std::string Ser2net::Url(size_t line) const {
    const std::string address = "127.0.0.1:" + std::to_string(ports_.at(line));
    return kind_ == Kind::Raw ? "socket://" + address + "?baud=" + std::to_string(rate_)
                              : "rfc2217://" + address;
}

void Ser2net::Kill() {
    if (pid_ < 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    ::unlink(PidFile().c_str());
}
