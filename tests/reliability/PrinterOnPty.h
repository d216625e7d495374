// The library's port open on a real pseudo-terminal with the simulated printer at its far end,
// and the small helpers the reliability tests share.
#pragma once

#include <zarelsim/Simulator.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The COM number the printer is registered under (in this process's own port directory).
constexpr int kPrinterCom = 11;

// Starts the printer as com<kPrinterCom> and opens the library's port to it at the printer's rate.
class PrinterOnPty {
public:
    explicit PrinterOnPty(zarelsim::Options options = {}, bool openPort = true);
    ~PrinterOnPty(); // closes the port first, so the printer never sees a half-open line

    zarelsim::Simulator& Printer() { return *printer_; }
    // Unplugs the printer (closes its side of the pseudo-terminal) and plugs a fresh one in again.
    void Unplug();
    void PlugIn();

private:
    zarelsim::Options options_;
    std::unique_ptr<zarelsim::Simulator> printer_;
};

// A request frame around the payload ("0", command, parameters); SendPackToZarel fills in the
// checksum.
Bytes RequestFrame(const Bytes& payload);
// The logo announcement ("|": length, kind 2, slot) and the file request ("w": 24-byte name).
Bytes LogoAnnouncement(int32_t length, uint16_t slot);
Bytes FileRequest(const std::string& name);

// Recognisable content: byte i is a mix of i and the seed.
Bytes Pattern(size_t length, uint32_t seed = 1);

// A file in a fresh temporary folder, removed with the object.
class TemporaryFile {
public:
    explicit TemporaryFile(const Bytes& content = {}, const std::string& name = "data.bin");
    ~TemporaryFile();
    const std::string& Path() const { return path_; }
    Bytes Content() const;

private:
    std::string folder_;
    std::string path_;
};

// Milliseconds that the action took.
template <typename Action>
double MillisecondsOf(Action&& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}
