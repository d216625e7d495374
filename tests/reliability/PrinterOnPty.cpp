#include "PrinterOnPty.h"

#include <zarelcom/zarelcom.h>
#include <zarelcom/zarelcom.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

#include "PtyPort.h"

PrinterOnPty::PrinterOnPty(zarelsim::Options options, bool openPort)
    : options_(std::move(options)) {
    options_.comNumber = kPrinterCom;
    options_.portDirectory = PtyPort::Directory();
    // RELIABILITY_SIM_LOG=/tmp/x: each printer logs its wire to /tmp/x.<pid>, for a cell that fails.
    if (const char* log = std::getenv("RELIABILITY_SIM_LOG"))
        options_.logFile = std::string(log) + "." + std::to_string(getpid());
    PlugIn();
    if (!openPort) return;
    SetBaudRate(zarelcom::RateOrdinal(options_.baud));
    if (!OpenComPort(kPrinterCom))
        throw std::runtime_error("cannot open the port to the simulated printer");
}

PrinterOnPty::~PrinterOnPty() {
    CloseComPort();
    printer_.reset();
}

void PrinterOnPty::Unplug() { printer_.reset(); }

void PrinterOnPty::PlugIn() {
    printer_ = std::make_unique<zarelsim::Simulator>(options_);
    printer_->Start();
}

Bytes RequestFrame(const Bytes& payload) {
    Bytes frame(payload.size() + 5, 0); // the checksum byte is filled in by the exchange
    frame[0] = 0x02;
    frame[1] = uint8_t(payload.size() >> 8);
    frame[2] = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), frame.begin() + 3);
    frame.back() = 0x03;
    return frame;
}

Bytes LogoAnnouncement(int32_t length, uint16_t slot) {
    const auto n = uint32_t(length);
    return RequestFrame({'0', 0x7C, uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24),
                         2, uint8_t(slot), uint8_t(slot >> 8)});
}

Bytes FileRequest(const std::string& name) {
    Bytes payload{'0', 'w'};
    for (size_t i = 0; i < 24; ++i) payload.push_back(i < name.size() ? uint8_t(name[i]) : ' ');
    return RequestFrame(payload);
}

Bytes Pattern(size_t length, uint32_t seed) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = uint8_t((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
    return bytes;
}

TemporaryFile::TemporaryFile(const Bytes& content, const std::string& name) {
    char pattern[] = "/tmp/zarelcom-reliability-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    path_ = folder_ + "/" + name;
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
}

TemporaryFile::~TemporaryFile() {
    std::remove(path_.c_str());
    rmdir(folder_.c_str());
}

Bytes TemporaryFile::Content() const {
    std::ifstream in(path_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
