// --log: every byte on the line in hex, one line a burst, with the time and its direction
// ("<" from the host, ">" to the host).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zarelsim {

class WireLog {
public:
    explicit WireLog(const std::string& path); // empty: no log; throws when the file cannot be made
    ~WireLog();
    WireLog(const WireLog&) = delete;
    WireLog& operator=(const WireLog&) = delete;

    void Received(const uint8_t* data, size_t count) { Line('<', data, count); }
    void Sent(const uint8_t* data, size_t count) { Line('>', data, count); }
    void Note(const std::string& text);

private:
    void Line(char direction, const uint8_t* data, size_t count);
    void Stamp();
    FILE* file_ = nullptr;
};

} // namespace zarelsim
