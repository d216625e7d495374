// Tegrola's main window, frmTegrola, in Win32: the controls of the window design over Tegrola's
// logic (core/TegrolaLogic.h), which it tells of every click and which tells it what to show. The
// sibling of the Qt view (tegrola/qt/Ufrmtegrola.h), as thin.
//
// Every control carries the window design's name as its identifier: ControlId("SpeedButton46")
// is the number GetDlgCtrlID gives for Send Logo on "Exist Logo", and Control() finds it. The
// pages TabSheet3 and TabSheet4 are windows of their own above the tab control, which hand their
// controls' notifications to the main window. Settings live in the registry under
// HKEY_CURRENT_USER\Software\Vantorleaf\ZarelHP (RegistrySettingsStore).
#pragma once

#include "core/Printer.h"
#include "core/TegrolaLogic.h"
#include "core/ViewInterfaces.h"
#include "win32/Win32Parts.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>

// What a test puts in place of the system's parts; null takes the system's own.
struct Win32Replacements {
    Dialogs *dialogs = nullptr;
    SettingsStore *settings = nullptr;
    Printer *printer = nullptr;
};

class TfrmTegrola : private WindowView {
public:
    // programDir: the program's folder (UTF-8); the work files go there or where WorkFolder says.
    explicit TfrmTegrola(const std::string &programDir, const Win32Replacements &parts = {});
    // Destroys the window if it is still there.
    ~TfrmTegrola() override;
    TfrmTegrola(const TfrmTegrola &) = delete;
    TfrmTegrola &operator=(const TfrmTegrola &) = delete;

    HWND Handle() const { return FWindow; }
    // A control by its name in the window design, null when there is none.
    HWND Control(const std::string &name) const;
    // The control identifier a name of the window design has, 0 for none.
    static int ControlId(const std::string &name);
    // Null once the window is destroyed (closing ends the logic: a search still running stops).
    TegrolaLogic *Logic() { return FLogic.get(); }
    // Shows the window; the first time the page "New Logo" draws its text logo.
    void Show(int how);
    // The message loop ends when the window is destroyed.
    void QuitWhenDestroyed() { FQuitWhenDestroyed = true; }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id, int code, HWND control);
    void Notify(const NMHDR &header);
    void BuildWindow();
    HWND Add(const wchar_t *windowClass, const char *name, const std::wstring &text, DWORD style,
             HWND parent, DWORD exStyle = 0);
    void AddTip(HWND control, const wchar_t *text);
    void Layout();
    void ShowPage(int page);
    void LanguageTextEdited();

    // WindowView.
    void SetWindowCaption(const std::string &caption) override;
    void SetCaption(const std::string &control, const std::string &caption) override;
    void SetPortList(const std::vector<PortEntry> &ports) override;
    void SelectPort(int index) override;
    void SelectBaud(int index, int portRateCode) override;
    void SelectLanguage(int index) override;
    void SetStatus(int bar, const std::string &text) override;
    void Repaint() override;
    void ShowConnected(bool connected) override;
    void SetConnecting(bool connecting) override;
    void SetSending(bool sending) override;
    void RunSearchAnimation(bool run) override;
    void RunSendAnimation(bool run) override;
    void ShowPicture(const Picture &picture) override;
    void ShowPictureLogo(const LogoBitmap &logo) override;
    void ShowTextLogo(const LogoBitmap &logo) override;
    void ShowTextFit(const std::string &problem) override;
    void SetTextFont(const LogoFont &font) override;
    void ClearText() override;

    RegistrySettingsStore FRegistry;
    Win32WindowThread FThread;
    Win32Dialogs FSystemDialogs;
    GdiFontSource FFonts;
    LibraryPrinter FLibrary;
    Win32Replacements FParts;
    std::unique_ptr<TegrolaLogic> FLogic;

    HWND FWindow = nullptr;
    HWND FTips = nullptr;
    HFONT FUiFont = nullptr;
    HFONT FMemoFont = nullptr;
    HFONT FGlyphFont = nullptr;
    std::map<std::string, HWND> FControls;
    std::map<std::string, int> FLabelWidths;
    bool FFirstShow = true;
    bool FQuiet = false; // a change made by the window itself, not by the operator
    bool FQuitWhenDestroyed = false;
};

// Registers the window classes of the view once; true when they are there.
bool RegisterTegrolaClasses();
