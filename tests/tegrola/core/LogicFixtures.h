// The view, the window's thread on a virtual clock, the dialogs, the fonts and a printer of the
// tests' own, for Tegrola's logic without any toolkit.
#pragma once

#include "core/Printer.h"
#include "core/TegrolaLogic.h"
#include "core/ViewInterfaces.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// What the logic showed, as the operator would see it.
struct RecordingView : WindowView {
    std::map<std::string, std::string> captions;
    std::vector<std::string> status1; // every text panel 1 of StatusBar1 showed, in order
    std::string status2;
    int port = -2, baud = -2, portRateCode = -2, language = -2;
    bool connected = false, connecting = false, sending = false;
    std::vector<bool> sendingChanges;
    LogoBitmap textLogo, pictureLogo;
    std::string textFit;
    LogoFont font;
    int cleared = 0;

    void SetWindowCaption(const std::string &) override {}
    void SetCaption(const std::string &control, const std::string &caption) override {
        captions[control] = caption;
    }
    void SetPortList(const std::vector<PortEntry> &) override {}
    void SelectPort(int index) override { port = index; }
    void SelectBaud(int index, int code) override {
        baud = index;
        portRateCode = code;
    }
    void SelectLanguage(int index) override { language = index; }
    void SetStatus(int bar, const std::string &text) override {
        bar == 1 ? status1.push_back(text) : void(status2 = text);
    }
    void Repaint() override {}
    void ShowConnected(bool on) override { connected = on; }
    void SetConnecting(bool on) override { connecting = on; }
    void SetSending(bool on) override {
        sending = on;
        sendingChanges.push_back(on);
    }
    void RunSearchAnimation(bool) override {}
    void RunSendAnimation(bool) override {}
    void ShowPicture(const Picture &) override {}
    void ShowPictureLogo(const LogoBitmap &logo) override { pictureLogo = logo; }
    void ShowTextLogo(const LogoBitmap &logo) override { textLogo = logo; }
    void ShowTextFit(const std::string &problem) override { textFit = problem; }
    void SetTextFont(const LogoFont &shown) override { font = shown; }
    void ClearText() override { ++cleared; }
};

struct MemoryStore : SettingsStore {
    std::map<std::string, std::string> values; // "Section/Name"
    std::string Read(const std::string &section, const std::string &name) override {
        const auto found = values.find(section + "/" + name);
        return found == values.end() ? "" : found->second;
    }
    void Write(const std::string &section, const std::string &name,
               const std::string &value) override {
        values[section + "/" + name] = value;
    }
};

// The window's thread, run by the test: timers on a virtual clock, posted work in a queue.
class VirtualWindowThread : public WindowThread {
public:
    void Post(std::function<void()> task) override;
    void After(int milliseconds, std::function<void()> task) override;
    // Moves the clock on, running the timers that fall due.
    void Advance(int milliseconds);
    // Runs posted work until done() holds, waiting for other threads' posts (at most 30 s).
    bool RunUntil(const std::function<bool()> &done);
    int64_t Now() const { return now_; }

private:
    std::mutex lock_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
    std::multimap<int64_t, std::function<void()>> timers_;
    int64_t now_ = 0;
};

struct ScriptedDialogs : Dialogs {
    std::vector<std::string> messages;
    std::string picture, logoFile;
    bool fontChosen = false;
    LogoFont font;
    void ShowMessage(const std::string &text) override { messages.push_back(text); }
    std::string ChoosePicture() override { return picture; }
    std::string ChooseLogoFile() override { return logoFile; }
    bool ChooseFont(const LogoFont &, LogoFont *chosen) override {
        if (fontChosen) *chosen = font;
        return fontChosen;
    }
};

// BlockFont with letters as many dots wide as the font has points.
struct BlockFonts : FontSource {
    std::unique_ptr<TextRasterizer> RasterizerFor(const LogoFont &font) override;
};

// A printer that answers as the test sets it; every call is counted.
class ScriptedPrinter : public Printer {
public:
    std::vector<zc_port_info> ports;
    bool opens = true;
    zc_port_failure_info failure{};
    int32_t printStatus = 0;
    SystemInfo info{1234, 401, 206, 2024, 3 * 31 + 9};
    // The search: found on the first port at the second rate, or keeps asking until stopped.
    bool searchFinds = true, searchWaitsForStop = false;
    int32_t freeSlot = 7, fileLength = 462;
    bool sends = true;

    std::atomic<int> searches{0}, opened{0}, closed{0}, sent{0};

    std::vector<zc_port_info> Ports() override { return ports; }
    bool OpenPort(int32_t) override;
    bool SetPortRate(int32_t) override { return true; }
    bool ClosePort() override;
    zc_port_failure_info PortFailure() override { return opens ? zc_port_failure_info{} : failure; }
    std::string RaisedPortError() override { return {}; }
    int32_t PrintStatus() override { return printStatus; }
    int32_t ZarelType() override { return 3; }
    bool ReadSystemInfo(SystemInfo *out) override {
        *out = info;
        return true;
    }
    bool Search(int32_t *list, std::function<bool(int32_t, int32_t)> onTry) override;
    void ListenToProgress(std::function<void(const std::string &)> listener) override {
        progress_ = std::move(listener);
    }
    int32_t FileLength(const std::string &) override { return fileLength; }
    int32_t FreeLogoSlot() override { return freeSlot; }
    bool SendLogo(const std::string &path, int32_t slot) override;

private:
    std::function<void(const std::string &)> progress_;
    std::mutex lock_;
    std::condition_variable portClosed_;
    bool closedDuringSearch_ = false;
};

// The logic over all of these, in a program folder of its own.
struct LogicBench {
    RecordingView view;
    MemoryStore store;
    VirtualWindowThread thread;
    ScriptedDialogs dialogs;
    BlockFonts fonts;
    ScriptedPrinter printer;
    std::filesystem::path folder;
    std::unique_ptr<TegrolaLogic> logic;

    LogicBench();
    ~LogicBench();
    // Makes the logic and starts it, as the window does.
    TegrolaLogic &Start();
    // Starts it and connects by Open Port.
    TegrolaLogic &Connect();
};

zc_port_info Port(int32_t number);
