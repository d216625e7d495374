// What the transfer benchmarks share: the frame sizes their floors count, counted texts for the
// library's paths and names, and the files they send.
#pragma once

#include <zarelcom/zarelcom.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kAckReply = 7;     // STX, length, "0", "O", checksum, ETX
constexpr uint32_t kLengthReply = 11; // ... request code and the 32-bit length
constexpr uint32_t kBlockReply = 521; // ... "}", number, complement, 512 bytes
constexpr uint32_t kBlockFrame =
    521; // a sent block: STX, length, "0", "~", number, complement, 512 bytes, ...
constexpr uint32_t kBlockRequest = 9; // STX, length, "0", "}", number, complement, checksum, ETX
constexpr uint32_t kLogoBytes = ZC_LOGO_MAX_BYTES;

// A counted text, released with the object.
struct Counted {
    explicit Counted(const std::string &text)
        : text(MakeText(text.data(), static_cast<int32_t>(text.size()))) {}
    ~Counted() { ReleaseText(text); }
    Counted(const Counted &) = delete;
    Counted &operator=(const Counted &) = delete;
    zc_text text;
};

// Writes size bytes of a repeating pattern to path.
void WritePattern(const std::string &path, size_t size);

// The ZC_BR* ordinal of a printer line rate; 115200 for any rate it does not name.
