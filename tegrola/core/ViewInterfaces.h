// What Tegrola's logic needs of a window toolkit: each view (Qt's, Win32's) implements these and
// hands them to TegrolaLogic. The logic calls them on the window's thread only, except
// WindowThread::Post, which any thread may call.
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/Picture.h"
#include "logo/TextRasterizer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The logo font as the operator chose it; name and size are what the settings keep.
struct LogoFont {
    std::string family;
    int points = 8;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const LogoFont &a, const LogoFont &b) {
        return a.family == b.family && a.points == b.points && a.bold == b.bold &&
               a.italic == b.italic;
    }
};

// One entry of the port list (ComboBox1): its text ("COM3") and what pointing at it tells.
struct PortEntry {
    std::string text;
    std::string about;
};

// The settings store: string values by section and name (the registry on Windows, the user's
// configuration file on Linux). A missing value reads "".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string Read(const std::string &section, const std::string &name) = 0;
    virtual void Write(const std::string &section, const std::string &name,
                       const std::string &value) = 0;
};

// The window's thread: work handed to it from any thread, and its timer.
class WindowThread {
public:
    virtual ~WindowThread() = default;
    // Runs task on the window's thread soon; callable from any thread.
    virtual void Post(std::function<void()> task) = 0;
    // Runs task once on the window's thread after the given milliseconds.
    virtual void After(int milliseconds, std::function<void()> task) = 0;
};

// The system's dialogs and message boxes, modal on the window.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with the system's default title and an OK button.
    virtual void ShowMessage(const std::string &text) = 0;
    // OpenPictureDialog1: the chosen file (UTF-8), "" when cancelled.
    virtual std::string ChoosePicture() = 0;
    // SavePictureDialog1 (file name "tempnew.bmp", extension BMP): the chosen file, "" when
    // cancelled.
    virtual std::string ChooseLogoFile() = 0;
    // FontDialog1 showing current; false when cancelled, else the choice in *chosen.
    virtual bool ChooseFont(const LogoFont &current, LogoFont *chosen) = 0;
};

// Text in a font, drawn by the toolkit.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual std::unique_ptr<TextRasterizer> RasterizerFor(const LogoFont &font) = 0;
};

// The window's controls, by what they show. Setting a selection from here fires no change
// handler.
class WindowView {
public:
    virtual ~WindowView() = default;
    virtual void SetWindowCaption(const std::string &caption) = 0;
    // A control's caption (UTF-8) by its name; "StatusBar1" and "StatusBar2" mean their panel 0.
    virtual void SetCaption(const std::string &control, const std::string &caption) = 0;

    // ComboBox1's items, and its selection (-1 none).
    virtual void SetPortList(const std::vector<PortEntry> &ports) = 0;
    virtual void SelectPort(int index) = 0;
    // ComboBox3's selection (printer baud index, -1 none) and the port rate code beside it
    // (ComboBox2, never visible).
    virtual void SelectBaud(int index, int portRateCode) = 0;
    // ComboBox4's selection (-1 none).
    virtual void SelectLanguage(int index) = 0;

    // Panel 1 of StatusBar1 (bar 1: progress and results) or StatusBar2 (bar 2: the printer).
    virtual void SetStatus(int bar, const std::string &text) = 0;
    // Draws the window now (the progress line during a transfer on the window's thread).
    virtual void Repaint() = 0;

    // Connected: Stop Port shown, Open Port and Auto Connect hidden, port and rate fixed.
    virtual void ShowConnected(bool connected) = 0;
    // While a connection is tried: Open Port, Auto Connect and both Send Logo buttons disabled.
    virtual void SetConnecting(bool connecting) = 0;
    // While a logo is sent: every control that changes anything disabled.
    virtual void SetSending(bool sending) = 0;
    // Animate1 (a connection is tried) and Animate2 (a logo is sent).
    virtual void RunSearchAnimation(bool run) = 0;
    virtual void RunSendAnimation(bool run) = 0;

    // Image1, Image2 and Image3.
    virtual void ShowPicture(const Picture &picture) = 0;
    virtual void ShowPictureLogo(const LogoBitmap &logo) = 0;
    virtual void ShowTextLogo(const LogoBitmap &logo) = 0;
    // Beside the text logo: why the text does not fit, "" when it does.
    virtual void ShowTextFit(const std::string &problem) = 0;
    // Memo1: its font, and New Text's emptying (which fires the memo's change).
    virtual void SetTextFont(const LogoFont &font) = 0;
    virtual void ClearText() = 0;
};
