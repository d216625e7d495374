// Printers on serial device servers: the library against a real ser2net in front of the
// simulator's pseudo-terminal, through RFC 2217, a telnet server without the COM port option and
// raw TCP. The simulator answers only at its own line rate, so every answer proves the rate that
// reached the line.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "../sim/LibraryPrinter.h"
#include "Ser2net.h"
#include "comm/Comm.h"

namespace zarelsim::test {
namespace {

using Bytes = std::vector<uint8_t>;

Options AtRate(uint32_t baud) {
    Options options;
    options.baud = baud;
    return options;
}

// A simulated printer behind its own ser2net, whose line starts at 19200 bit/s.
struct NetworkPrinter {
    explicit NetworkPrinter(uint32_t baud = 19200, Ser2net::Kind kind = Ser2net::Kind::Rfc2217)
        : printer(AtRate(baud)), server(printer.SlavePath(), kind, baud) {
        printer.Start();
        SetBaudRate(zarelcom::RateOrdinal(baud)); // kept while closed, used by the next open
    }

    // Opens the library's port on the server's URL.
    void Open() { ASSERT_TRUE(zc_open_port_device(server.Url().c_str())) << GetLastPortError(); }
    ~NetworkPrinter();

    // Maps a new COM number to the server's URL, as a user does in the port directory.
    int32_t MapPort() {
        static int32_t lastNumber = 60;
        const int32_t number = ++lastNumber;
        const std::string entry = PortDirectory() + "/com" + std::to_string(number);
        EXPECT_EQ(symlink(server.Url().c_str(), entry.c_str()), 0);
        entries.push_back(entry);
        return number;
    }

    Simulator printer;
    Ser2net server;
    std::vector<std::string> entries;
};

NetworkPrinter::~NetworkPrinter() {
    CloseComPort();
    for (const std::string& entry : entries) unlink(entry.c_str());
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string TemporaryPath(const char* name) {
    return "/tmp/zarelcom-net-" + std::to_string(getpid()) + "-" + name;
}

// Every byte value, 0xFF (the telnet escape) included, several times over.
std::string EveryByte(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

TEST(NetworkPort, QueriesCarryTheLineRateInBothPacings) {
    NetworkPrinter line(38400); // ser2net's line starts at 19200: the client must set 38400
    for (int32_t pacing : {ZC_PACING_POLLED, ZC_PACING_EVENTS}) {
        ASSERT_TRUE(zc_set_pacing(pacing));
        line.Open();
        SystemInfo info{};
        EXPECT_TRUE(GetSysInfo(&info)) << "pacing " << pacing;
        EXPECT_EQ(info.ModelNo, 230);
        EXPECT_EQ(GetPrintStatus(), 0);
        CloseComPort();
    }
    zc_set_pacing(ZC_PACING_POLLED);
}

TEST(NetworkPort, TheSearchFindsThePrinterAtItsRateThroughAMappedComNumber) {
    const struct {
        uint32_t baud;
        int32_t position; // in the search's list of rates
    } cases[] = {{9600, 0}, {38400, 2}};
    for (const auto& c : cases) {
        NetworkPrinter line(c.baud);
        int32_t list[] = {2, line.MapPort()};
        ASSERT_TRUE(AutoConnect(list)) << c.baud;
        EXPECT_EQ(list[0], 1);
        EXPECT_EQ(list[1], c.position) << c.baud;
        EXPECT_EQ(GetPrintStatus(), 0);
    }
}

TEST(NetworkPort, ComPortsListTheirUrl) {
    NetworkPrinter line;
    const int32_t number = line.MapPort();
    zc_port_info ports[256];
    const int32_t count = zc_list_ports(ports, 256);
    const auto listed = std::find_if(ports, ports + std::min(count, 256),
                                     [&](const zc_port_info& p) { return p.number == number; });
    ASSERT_NE(listed, ports + std::min(count, 256));
    EXPECT_EQ(listed->device, line.server.Url());
}

TEST(NetworkPort, ALogoGoesAndComesBackByteForByte) {
    NetworkPrinter line;
    line.Open();
    const std::string logo = EveryByte(4 * 512), sent = TemporaryPath("sent"),
                      fetched = TemporaryPath("fetched");
    WriteFile(sent, logo);
    ASSERT_TRUE(StxSendLogo(Text(sent), 5));
    const Bytes stored = line.printer.State().logos[4];
    EXPECT_TRUE(std::string(stored.begin(), stored.end()) == logo);
    ASSERT_TRUE(BackUpLogo(Text(fetched), 5));
    EXPECT_TRUE(ReadFile(fetched) == logo);
    unlink(sent.c_str());
    unlink(fetched.c_str());
}

TEST(NetworkPort, TerminalModeAndBack) {
    NetworkPrinter line;
    line.Open();
    ASSERT_TRUE(SetCmdProtocol());
    EXPECT_EQ(line.printer.Mode(), LinkMode::Terminal);
    ASSERT_TRUE(SetStxProtocol());
    EXPECT_EQ(line.printer.Mode(), LinkMode::Packet);
}

TEST(NetworkPort, ADroppedConnectionFailsTheTransferAtOnceAndKeepsTheLocalFile) {
    NetworkPrinter line;
    line.Open();
    line.printer.Update([](PrinterState& s) { s.logos[2] = Bytes(40 * 512, 0x5A); });
    line.printer.AddFault(ParseFault("delay:200@}")); // 40 blocks: the transfer is under way
    const std::string kept = TemporaryPath("kept");
    WriteFile(kept, "the earlier backup");
    auto backup = std::async(std::launch::async, [&] { return BackUpLogo(Text(kept), 3) != 0; });
    while (line.printer.Stats().blocksSent < 2 &&
           backup.wait_for(std::chrono::milliseconds(5)) == std::future_status::timeout) {}
    line.server.Kill();
    EXPECT_FALSE(backup.get());
    EXPECT_NE(std::string(GetLastPortError()).find("Port connection lost"), std::string::npos)
        << GetLastPortError();
    EXPECT_EQ(ReadFile(kept), "the earlier backup");
    EXPECT_EQ(GetPrintStatus(), -1); // the port stays lost until it is opened again
    unlink(kept.c_str());
}

TEST(NetworkPort, TheConnectionNeverTakesAStandardStream) {
    NetworkPrinter line;
    const int savedError = ::dup(STDERR_FILENO);
    ::close(STDERR_FILENO); // a program that closed standard error before the open
    line.Open();
    struct stat error;
    const bool errorIsNoLine = ::fstat(STDERR_FILENO, &error) != 0 || !S_ISSOCK(error.st_mode);
    const int32_t status = GetPrintStatus();
    CloseComPort();
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);
    EXPECT_TRUE(errorIsNoLine) << "what goes to standard error would reach the printer";
    EXPECT_EQ(status, 0);
}

TEST(NetworkPort, ARawPortTakesOnlyTheServersRate) {
    NetworkPrinter line(38400, Ser2net::Kind::Raw);
    SetBaudRate(ZC_BR9600); // the open takes the server's rate all the same
    int32_t list[] = {2, line.MapPort()};
    ASSERT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[1], 2);                        // 38400, the rate the port name states
    EXPECT_EQ(line.printer.Stats().requests, 1u); // the other rates were refused, not tried
    EXPECT_FALSE(SetBaudRate(ZC_BR19200));
    EXPECT_NE(std::string(GetLastPortError()).find("cannot change it to 19200 bit/s"),
              std::string::npos)
        << GetLastPortError();
}

TEST(NetworkPort, AServerWithoutTheComPortOptionIsARawPort) {
    NetworkPrinter line(19200, Ser2net::Kind::Telnet);
    line.Open();
    SystemInfo info{};
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_FALSE(SetBaudRate(ZC_BR38400));
    EXPECT_NE(std::string(GetLastPortError()).find("refused the COM port option"),
              std::string::npos)
        << GetLastPortError();
}

TEST(NetworkPort, ASettingTheServerDoesNotAcknowledgeFailsWithAPortError) {
    NetworkPrinter line;
    TComm port;
    port.SetDeviceName(line.server.Url());
    port.Open();
    ASSERT_TRUE(port.Enabled()) << port.OpenFailure();
    try {
        port.SetDataBits(da4); // ser2net leaves four data bits unanswered
        ADD_FAILURE() << "four data bits were taken";
    } catch (const ECommError& error) {
        EXPECT_NE(std::string(error.what()).find("did not acknowledge 4 data bits"),
                  std::string::npos)
            << error.what();
    }
}

// A device server that ser2net cannot play: it takes the COM port option but answers every line
// rate with 9600 bit/s, as a server on a line that cannot carry the rate asked may do. It serves
// one connection, answering the other settings with their own values.
class ServerAnsweringWith9600 {
public:
    ServerAnsweringWith9600() : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    // The connection ends when the library closes its side.
    ~ServerAnsweringWith9600() {
        CloseComPort();
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    std::string Url() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }

private:
    void Serve() {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        const uint8_t offer[] = {0xFF, 0xFD, 44}; // DO COM-PORT-OPTION
        ::send(client, offer, sizeof offer, MSG_NOSIGNAL);
        std::string heard;
        char chunk[256];
        for (ssize_t got; (got = ::recv(client, chunk, sizeof chunk, 0)) > 0;) {
            heard.append(chunk, size_t(got));
            // Each complete IAC SB 44 command value IAC SE is answered as command + 100.
            for (size_t at; (at = heard.find("\xFF\xFA\x2C")) != std::string::npos;) {
                const size_t end = heard.find("\xFF\xF0", at);
                if (end == std::string::npos) break;
                std::string reply = heard.substr(at, end + 2 - at);
                reply[3] = char(reply[3] + 100);
                if (reply[3] == char(101)) reply.replace(4, 4, std::string("\0\0\x25\x80", 4));
                ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
                heard.erase(0, end + 2);
            }
        }
        ::close(client);
    }

    int listener_;
    uint16_t port_ = 0;
    std::thread thread_;
};

TEST(NetworkPort, ARateTheServerAnswersWithAnotherFailsWithAPortError) {
    ServerAnsweringWith9600 server;
    SetBaudRate(ZC_BR38400);
    EXPECT_FALSE(zc_open_port_device(server.Url().c_str()));
    EXPECT_NE(std::string(GetLastPortError()).find("did not accept 38400 bit/s"), std::string::npos)
        << GetLastPortError();
}

TEST(NetworkPort, APortInUseAtTheServerIsBusy) {
    NetworkPrinter line;
    TComm first, second;
    first.SetDeviceName(line.server.Url());
    second.SetDeviceName(line.server.Url());
    first.Open();
    ASSERT_TRUE(first.Enabled()) << first.OpenFailure();
    second.Open();
    EXPECT_FALSE(second.Enabled());
    EXPECT_NE(second.OpenFailure().find("in use"), std::string::npos) << second.OpenFailure();
    EXPECT_EQ(second.LastOpen().refused, OpenRefused::Busy);
}

} // namespace
} // namespace zarelsim::test
