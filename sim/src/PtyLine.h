// The printer's end of the serial line: the master side of a pseudo-terminal. The simulator keeps
// the slave side open as well, so the line stays up while hosts open and close it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zarelsim {

class PtyLine {
public:
    PtyLine(); // throws std::runtime_error
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    int Fd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }
    // The line rate the host has set on its side (bit/s); 0 when it cannot be read.
    uint32_t HostRate() const;
    // What has arrived; 0 when nothing is there.
    size_t Read(uint8_t* buffer, size_t size);
    // Writes what the host side can take within `patienceMs`; a host that reads nothing loses the rest,
    // as on a real line. Returns the bytes written.
    size_t Write(const uint8_t* data, size_t count, int patienceMs = 200);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// The com<N> entry in the port directory: a symbolic link to the slave, removed again at the end
// when it still points there.
class PortRegistration {
public:
    PortRegistration(const std::string& directory, int number, const std::string& target); // throws
    ~PortRegistration();
    PortRegistration(const PortRegistration&) = delete;
    PortRegistration& operator=(const PortRegistration&) = delete;
    const std::string& Path() const { return path_; }

    // $ZARELCOM_PORT_DIR, else $XDG_CONFIG_HOME/zarelcom/ports, else ~/.config/zarelcom/ports.
    static std::string DefaultDirectory();

private:
    std::string path_, target_;
};

} // namespace zarelsim
