#include "StateStore.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zarelsim {
namespace {

std::runtime_error Failure(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        throw Failure("cannot create the state folder " + path);
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) hex += digits[c >> 4], hex += digits[c & 15];
    return hex.empty() ? "-" : hex;
}

bool FromHex(const std::string& hex, std::string& bytes) {
    bytes.clear();
    if (hex == "-") return true;
    if (hex.size() % 2) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const std::string pair = hex.substr(i, 2);
        if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
        bytes += char(std::stoi(pair, nullptr, 16));
    }
    return true;
}

using uchar = unsigned char;

std::string EscapeName(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (std::isalnum(c) != 0 || c == '.' || c == '-' || c == '_') {
            out += char(c);
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            out += code;
        }
    }
    return out == "." || out == ".." ? "%2E" + out.substr(1) : out;
}

std::string UnescapeName(const std::string& file) {
    std::string name;
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '%' && i + 2 < file.size() && std::isxdigit(uchar(file[i + 1])) &&
            std::isxdigit(uchar(file[i + 2]))) {
            name += char(std::stoi(file.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            name += file[i];
        }
    }
    return name;
}

void WriteFile(const std::string& path, const Bytes& data) {
    const std::string temporary = path + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) throw Failure("cannot write " + temporary);
    const bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    if (std::fclose(file) != 0 || !ok || std::rename(temporary.c_str(), path.c_str()) != 0)
        throw Failure("cannot write " + path);
}

bool ReadFile(const std::string& path, Bytes& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Remove(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) throw Failure("cannot remove " + path);
}

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(directory.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." &&
                (name.size() < 4 || name.compare(name.size() - 4, 4, ".new") != 0))
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

std::string LogoFile(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "LOGO%02d.BMP", slot);
    return name;
}

std::string MessageFile(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "MSG%03d", number);
    return name;
}

// Writes `now` where it differs from `before`, removes what `now` no longer has.
template <typename Key, typename FileName>
void SyncStore(const std::string& folder, const std::map<Key, Bytes>& before,
               const std::map<Key, Bytes>& now, FileName fileName) {
    for (const auto& [key, data] : now) {
        const auto old = before.find(key);
        if (old == before.end() || old->second != data)
            WriteFile(folder + "/" + fileName(key), data);
    }
    for (const auto& [key, data] : before)
        if (!now.count(key)) Remove(folder + "/" + fileName(key));
}

std::map<int, Bytes> LogoMap(const PrinterState& s) {
    std::map<int, Bytes> logos;
    for (int slot = 1; slot <= kLogoSlots; ++slot)
        if (!s.logos[slot - 1].empty()) logos[slot] = s.logos[slot - 1];
    return logos;
}

} // namespace

std::string SettingsText(const PrinterState& s) {
    std::ostringstream out;
    out << "serial " << s.serialNumber << "\nmodel " << s.modelNumber << "\nfirmware "
        << s.firmwareVersion << "\nreference " << s.referenceYear << ' ' << s.referenceMonthDay
        << "\ntype " << int(s.printerType) << "\nsystemdata "
        << Hex(std::string(s.systemData.begin(), s.systemData.end())) << "\nprint "
        << int(s.printOn) << "\nink " << int(s.inkStatus) << "\nmessage " << int(s.messageNo)
        << "\ntask " << int(s.taskNo) << "\ntaskconfig " << int(s.taskConfig) << "\nmeasure "
        << int(s.measure) << "\nlanguage " << int(s.language) << "\nmaxmessages " << s.maxMessages
        << "\ndisk " << s.diskCapacity << "\nencoder " << s.encoder[0] << ' ' << s.encoder[1]
        << "\nencoderstatus " << int(s.encoderStatus) << "\nconveyor " << s.conveyor
        << "\nproductcounter " << s.productCounter << ' ' << s.productPreset << "\nclock "
        << (s.clockRuns ? 1 : 0) << ' ' << s.clockSeconds << "\nyearcode " << s.yearCode
        << "\nrollhour " << s.rollHour << "\ndateformat "
        << Hex(std::string(s.dateFormat.begin(), s.dateFormat.end())) << "\nreboots " << s.reboots
        << "\nprintimages " << s.printImages << '\n';
    for (const std::string& name : s.languages) out << "languagename " << Hex(name) << '\n';
    for (int i = 0; i < kPrintHeads; ++i) {
        const PrintHead& h = s.heads[i];
        out << "head " << i << ' ' << int(h.config[0]) << ' ' << int(h.config[1]) << ' '
            << int(h.dpi) << ' ' << int(h.fitted) << ' ' << h.heightConfig << ' ' << h.nozzles
            << ' ' << h.dotsPrinted << '\n';
    }
    for (const auto& [message, delay] : s.messageDelays)
        out << "delay " << message << ' ' << delay << '\n';
    for (int i = 0; i < kShifts; ++i)
        out << "shift " << i << ' ' << int(s.shifts[i].code) << ' ' << s.shifts[i].hourMinute
            << '\n';
    for (int i = 0; i < kCounters; ++i) {
        const Counter& c = s.counters[i];
        out << "counter " << i << ' ' << c.values[0] << ' ' << c.values[1] << ' ' << c.values[2]
            << ' ' << c.on << '\n';
    }
    for (int i = 0; i < kUserStrings; ++i)
        if (!s.strings[i].empty()) out << "string " << i << ' ' << Hex(s.strings[i]) << '\n';
    for (const std::string& line : s.terminalAnnouncements)
        out << "announcement " << Hex(line) << '\n';
    return out.str();
}

bool ReadSettingsText(const std::string& text, PrinterState& s, std::string& badLine) {
    std::istringstream lines(text);
    std::string line;
    bool languagesSeen = false;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::istringstream in(line);
        std::string key, hex, bytes;
        in >> key;
        int a = 0, b = 0, c = 0, d = 0, e = 0;
        long long big = 0;
        unsigned u = 0, v = 0, w = 0;
        bool ok = true;
        auto byte = [&](uint8_t& field) {
            ok = bool(in >> a) && a >= 0 && a <= 255;
            field = uint8_t(a);
        };
        if (key == "serial")
            ok = bool(in >> s.serialNumber);
        else if (key == "model")
            ok = bool(in >> s.modelNumber);
        else if (key == "firmware")
            ok = bool(in >> s.firmwareVersion);
        else if (key == "reference")
            ok = bool(in >> s.referenceYear >> s.referenceMonthDay);
        else if (key == "type")
            byte(s.printerType);
        else if (key == "systemdata")
            ok = in >> hex && FromHex(hex, bytes), s.systemData.assign(bytes.begin(), bytes.end());
        else if (key == "print")
            byte(s.printOn);
        else if (key == "ink")
            byte(s.inkStatus);
        else if (key == "message")
            byte(s.messageNo);
        else if (key == "task")
            byte(s.taskNo);
        else if (key == "taskconfig")
            byte(s.taskConfig);
        else if (key == "measure")
            byte(s.measure);
        else if (key == "language")
            byte(s.language);
        else if (key == "maxmessages")
            ok = bool(in >> s.maxMessages);
        else if (key == "disk")
            ok = bool(in >> s.diskCapacity);
        else if (key == "encoder")
            ok = bool(in >> s.encoder[0] >> s.encoder[1]);
        else if (key == "encoderstatus")
            byte(s.encoderStatus);
        else if (key == "conveyor")
            ok = bool(in >> s.conveyor);
        else if (key == "productcounter")
            ok = bool(in >> s.productCounter >> s.productPreset);
        else if (key == "clock")
            ok = bool(in >> a >> big), s.clockRuns = a != 0, s.clockSeconds = big;
        else if (key == "yearcode")
            ok = bool(in >> s.yearCode);
        else if (key == "rollhour")
            ok = bool(in >> s.rollHour);
        else if (key == "dateformat")
            ok = in >> hex && FromHex(hex, bytes), s.dateFormat.assign(bytes.begin(), bytes.end());
        else if (key == "reboots")
            ok = bool(in >> s.reboots);
        else if (key == "printimages")
            ok = bool(in >> s.printImages);
        else if (key == "languagename") {
            if (!languagesSeen) s.languages.clear(), languagesSeen = true;
            ok = in >> hex && FromHex(hex, bytes);
            s.languages.push_back(bytes);
        } else if (key == "head") {
            ok = in >> a >> b >> c >> d >> e >> u >> v >> w && a >= 0 && a < kPrintHeads;
            if (ok)
                s.heads[a] = PrintHead{{uint8_t(b), uint8_t(c)}, uint8_t(d), uint8_t(e), u, v, w};
        } else if (key == "delay") {
            ok = bool(in >> a >> b);
            s.messageDelays[a] = b;
        } else if (key == "shift") {
            ok = in >> a >> b >> c && a >= 0 && a < kShifts;
            if (ok) s.shifts[a] = Shift{uint8_t(b), int16_t(c)};
        } else if (key == "counter") {
            Counter counter;
            ok = in >> a >> counter.values[0] >> counter.values[1] >> counter.values[2] >>
                     counter.on &&
                 a >= 0 && a < kCounters;
            if (ok) s.counters[a] = counter;
        } else if (key == "string") {
            ok = in >> a >> hex && a >= 0 && a < kUserStrings && FromHex(hex, bytes);
            if (ok) s.strings[a] = bytes;
        } else if (key == "announcement") {
            ok = in >> hex && FromHex(hex, bytes);
            s.terminalAnnouncements.push_back(bytes);
        } else
            ok = false;
        if (!ok) {
            badLine = line;
            return false;
        }
    }
    return true;
}

StateStore::StateStore(std::string directory) : directory_(std::move(directory)) {
    MakeDirectory(directory_);
    for (const char* folder : {"/logos", "/messages", "/files"}) MakeDirectory(directory_ + folder);
}

bool StateStore::Load(PrinterState& state) {
    std::ifstream in(directory_ + "/settings.txt");
    if (!in) return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string bad;
    if (!ReadSettingsText(text, state, bad))
        throw std::runtime_error("cannot read the line \"" + bad + "\" of " + directory_ +
                                 "/settings.txt; correct or remove it");
    for (int slot = 1; slot <= kLogoSlots; ++slot)
        ReadFile(directory_ + "/logos/" + LogoFile(slot), state.logos[slot - 1]);
    for (const std::string& name : Entries(directory_ + "/messages")) {
        int number = -1;
        if (std::sscanf(name.c_str(), "MSG%d", &number) == 1 && number >= 0)
            ReadFile(directory_ + "/messages/" + name, state.messages[number]);
    }
    for (const std::string& name : Entries(directory_ + "/files"))
        ReadFile(directory_ + "/files/" + name, state.files[UnescapeName(name)]);
    ReadFile(directory_ + "/lastprint.bin", state.lastPrintImage);
    saved_ = state;
    savedSettings_ = text;
    return true;
}

void StateStore::Save(const PrinterState& state) {
    const std::string settings = SettingsText(state);
    if (settings != savedSettings_) {
        WriteFile(directory_ + "/settings.txt", Bytes(settings.begin(), settings.end()));
        savedSettings_ = settings;
    }
    SyncStore(directory_ + "/logos", LogoMap(saved_), LogoMap(state), LogoFile);
    SyncStore(directory_ + "/messages", saved_.messages, state.messages, MessageFile);
    SyncStore(directory_ + "/files", saved_.files, state.files, EscapeName);
    if (state.lastPrintImage != saved_.lastPrintImage)
        WriteFile(directory_ + "/lastprint.bin", state.lastPrintImage);
    saved_ = state;
}

} // namespace zarelsim
