#include "PtyResponder.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

bool ReadExactly(int fd, uint8_t *into, std::size_t count) {
    while (count > 0) {
        const ssize_t n = read(fd, into, count);
        if (n <= 0) return false;
        into += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// Answers frames until the line goes away.
[[noreturn]] void Answer(int master) {
    for (;;) {
        uint8_t byte = 0;
        if (!ReadExactly(master, &byte, 1)) _exit(0);
        if (byte != 0x02) continue;
        uint8_t length[2];
        if (!ReadExactly(master, length, 2)) _exit(0);
        std::vector<uint8_t> rest(static_cast<std::size_t>(length[0] << 8 | length[1]) + 2);
        if (!ReadExactly(master, rest.data(), rest.size())) _exit(0);
        const uint8_t command = rest.size() > 3 ? rest[1] : 0;
        uint8_t reply[] = {0x02, 0x00, 0x03, '0', command, 0x00, 0x00, 0x03};
        reply[6] = static_cast<uint8_t>(reply[1] + reply[2] + reply[3] + reply[4] + reply[5]);
        if (write(master, reply, sizeof reply) != static_cast<ssize_t>(sizeof reply)) _exit(1);
    }
}

} // namespace

PtyResponder::PtyResponder(int port) {
    char slaveName[256];
    if (openpty(&master_, &terminal_, slaveName, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") +
                                 std::strerror(errno));
    termios raw{};
    tcgetattr(terminal_, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal_, TCSANOW, &raw);

    char dirTemplate[] = "/tmp/zarelcom-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) throw std::runtime_error("cannot make a port directory in /tmp");
    portDir_ = dirTemplate;
    std::filesystem::create_symlink(slaveName, portDir_ + "/com" + std::to_string(port));
    setenv("ZARELCOM_PORT_DIR", portDir_.c_str(), 1);

    child_ = fork();
    if (child_ < 0) throw std::runtime_error("cannot start the answering process");
    if (child_ == 0) Answer(master_);
}

PtyResponder::~PtyResponder() {
    if (child_ > 0) {
        kill(child_, SIGTERM);
        waitpid(child_, nullptr, 0);
    }
    close(master_);
    close(terminal_);
    std::error_code ignored;
    std::filesystem::remove_all(portDir_, ignored);
}
