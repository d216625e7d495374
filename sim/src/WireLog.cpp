#include "WireLog.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace zarelsim {

WireLog::WireLog(const std::string& path) {
    if (path.empty()) return;
    file_ = std::fopen(path.c_str(), "a");
    if (!file_)
        throw std::runtime_error("cannot open the log file " + path + ": " + std::strerror(errno));
}

WireLog::~WireLog() {
    if (file_) std::fclose(file_);
}

void WireLog::Stamp() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    std::fprintf(file_, "%02d:%02d:%02d.%06ld ", local.tm_hour, local.tm_min, local.tm_sec,
                 now.tv_nsec / 1000);
}

void WireLog::Line(char direction, const uint8_t* data, size_t count) {
    if (!file_ || count == 0) return;
    Stamp();
    std::fputc(direction, file_);
    for (size_t i = 0; i < count; ++i) std::fprintf(file_, " %02X", data[i]);
    std::fputc('\n', file_);
    std::fflush(file_);
}

void WireLog::Note(const std::string& text) {
    if (!file_) return;
    Stamp();
    std::fprintf(file_, "# %s\n", text.c_str());
    std::fflush(file_);
}

} // namespace zarelsim
