#include "Terminal.h"

#include "Frame.h"

namespace zarelsim {
namespace {

constexpr size_t kMaxLine = 256;
const char* const kAnnouncements[] = {"SEND.LOGO ", "SEND.DOS ", "ZAREL.PROGRAM.UPGRAD ",
                                      "UPLOAD.PARAMETER"};

bool CouldBecomeSwitch(const std::string& line) {
    return std::string(kToPacketMode).compare(0, line.size(), line) == 0;
}

} // namespace

void Terminal::Reset() {
    line_.clear();
    echoed_ = 0;
    inPacket_ = false;
}

void Terminal::Echo(Output& out, const std::string& text) {
    out.toHost.insert(out.toHost.end(), text.begin(), text.end());
}

void Terminal::EndLine(Output& out) {
    Echo(out, line_.substr(echoed_) + "\r\n");
    bool known = line_.empty();
    for (const char* announcement : kAnnouncements)
        if (line_.compare(0, std::char_traits<char>::length(announcement), announcement) == 0) {
            out.announcements.push_back(line_);
            known = true;
        }
    if (!known) Echo(out, "?\r\n");
    Echo(out, kPrompt);
    line_.clear();
    echoed_ = 0;
}

size_t Terminal::Feed(const uint8_t* data, size_t count, Output& out) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t c = data[i];
        if (inPacket_) {
            inPacket_ = c != kEtx;
            continue;
        }
        if (c == kStx) {
            inPacket_ = true;
        } else if (c == '\r') {
            if (line_ == kToPacketMode) {
                Reset();
                out.toPacketMode = true;
                return i + 1;
            }
            EndLine(out);
        } else if (c == 0x08 || c == 0x7F) {
            if (line_.empty()) continue;
            if (echoed_ == line_.size()) {
                Echo(out, "\b \b");
                --echoed_;
            }
            line_.pop_back();
        } else if (c >= 0x20 && c < 0x7F && line_.size() < kMaxLine) {
            line_ += char(c);
            if (echoed_ > 0 || !CouldBecomeSwitch(line_)) {
                Echo(out, line_.substr(echoed_));
                echoed_ = line_.size();
            }
        }
    }
    return count;
}

} // namespace zarelsim
