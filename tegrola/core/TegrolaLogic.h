// The logic of Tegrola's window, frmTegrola, without any toolkit: start-up and settings, the
// connection (Open Port's three tries, the automatic search one second after start-up and on Auto
// Connect, Stop Port), the picture and text logos with their work files, the sending of a logo
// into a free slot, and the captions in three languages. The handlers carry the names of the
// window design's controls and events; a view calls them from its widgets and is told what to
// show through WindowView. Everything runs on the window's thread, except the library calls of a
// search and of a send, which run on a thread of their own and hand their outcome back through
// WindowThread::Post.
#pragma once

#include "core/Printer.h"
#include "core/Settings.h"
#include "core/ViewInterfaces.h"
#include "logo/LogoBitmap.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The view's parts, handed to the logic together.
struct WindowParts {
    WindowView &view;
    SettingsStore &settings;
    WindowThread &thread;
    Dialogs &dialogs;
    FontSource &fonts;
    Printer &printer;
};

class TegrolaLogic {
public:
    // The window's caption, whatever the language.
    static constexpr const char *kWindowCaption = "ZarelHP Tegrola   V2.06";
    // The logo heights of RadioGroup2's items.
    static constexpr int kLogoHeights[3] = {50, 25, 17};

    // programDir: the program's folder; the work files go there or where WorkFolder says.
    TegrolaLogic(const WindowParts &parts, const std::string &programDir);
    // Ends a search still running (within about a second) and waits for a send to end.
    ~TegrolaLogic();
    TegrolaLogic(const TegrolaLogic &) = delete;
    TegrolaLogic &operator=(const TegrolaLogic &) = delete;

    // Start-up: the English captions, FormCreate, and Timer1 set to start the automatic
    // connection once, a second later.
    void Start();
    // The window is shown for the first time: the page "New Logo" draws its text logo.
    void FormShow();

    // Connection.
    void SpeedButton1Click();  // Open Port
    void SpeedButton55Click(); // Auto Connect
    void SpeedButton2Click();  // Stop Port
    void ComboBox1Change(int index);
    void ComboBox3Change(int index);
    // Picture logo.
    void SpeedButton48Click(); // Open Picture
    void SpeedButton53Click(); // Save Logo As
    void SpeedButton46Click(); // Send Logo
    // Text logo.
    void RadioGroup2Click(int index);
    void SpeedButton49Click(); // New Text
    void SpeedButton50Click(); // Set Font
    void SpeedButton51Click(); // Up
    void SpeedButton52Click(); // Down
    void SpeedButton59Click(); // Left
    void SpeedButton60Click(); // Right
    void SpeedButton61Click(); // Auto
    void Memo1Change(const std::string &text);
    void TabSheet4Show();
    void SpeedButton54Click(); // Save Logo As
    void SpeedButton47Click(); // Send Logo
    // Language: an item chosen, or text typed that selects the item it names (case aside) or none.
    void ComboBox4Change(int index);
    void ComboBox4TextEdited(const std::string &text);

    // The state the window shows.
    bool Connected() const { return FConnected; }
    bool Busy() const { return FSearching || FSending; }
    int LogoHeight() const { return FLogoHeight; }
    int TextLeft() const { return FTextLeft; }
    int TextTop() const { return FTextTop; }
    const LogoFont &Font() const { return FLogoFont; }
    const std::string &AppDir() const { return FAppDir; }
    // A work file's full path in the platform's form.
    std::string WorkFile(const std::string &name) const;

    // The language items of ComboBox4, in their order.
    static const std::vector<std::string> &LanguageItems();
    // The printer baud rates of ComboBox3, in their order.
    static const std::vector<std::string> &BaudItems();

private:
    struct SearchResult;

    void FormCreate();
    void FillComPortList();
    void LoadSettings();
    void SaveSettings();
    void ApplyLanguage();
    void SelectBaud(int index);
    void RenderTextLogo();
    void ShowPicturePage(const std::string &path);
    void SaveLogoAs(const LogoBitmap &logo);
    void WriteWorkLogo(const LogoBitmap &logo, const std::string &name);
    void SendLogoFile(const std::string &path);
    void FinishSend(const std::string &path, int32_t slot, bool sent);
    void FinishAutoConnect(const SearchResult &result);
    void ReportConnectFailure(const std::string &advice, const std::string &raised);
    void ShowPrinterInfo(const SystemInfo &info);
    void ShowConnectedLook(bool connected);
    void ListenToProgress();
    int32_t PortNumber(int index) const;
    std::string PortName(int index) const;
    void JoinWorker();

    WindowView &View;
    WindowThread &Thread;
    Dialogs &Dialog;
    FontSource &Fonts;
    Printer &Library;
    Settings FSettings;
    const std::string FProgramDir;

    // The fields of the window design, in its order.
    bool FConnected = false;
    bool FAutoConnect = false;
    int32_t FCommPort = 0;
    int32_t FBaudIndex = 0;
    int32_t FLogoHeight = 0;
    int32_t FTextLeft = 0;
    int32_t FTextTop = 0;
    std::string FAppDir;

    // What the widgets show, kept here.
    std::vector<zc_port_info> FPorts;
    int FPortIndex = -1;
    int FBaudSelection = -1; // ComboBox3's selection
    int FLanguageIndex = -1;
    LogoFont FLogoFont;
    std::string FText = "This is Test.";
    LogoBitmap FPictureLogo;
    LogoBitmap FTextLogo;
    std::string FPrinterInfo;

    // The search's or the send's thread; one at a time, as the library takes one exchange at a
    // time.
    std::thread FWorker;
    bool FStartUpSearchDue = true;
    bool FSearching = false;
    bool FSending = false;
    std::atomic<bool> FStopSearch{false};
    // Cleared when the logic ends, so that work posted late finds nothing to do.
    std::shared_ptr<std::atomic<bool>> FAlive = std::make_shared<std::atomic<bool>>(true);
};
