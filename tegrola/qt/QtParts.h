// The view interfaces of Tegrola's logic as Qt provides them: QSettings, the event loop and its
// timer, Qt's dialogs and message boxes, and Qt's text.
#pragma once

#include "core/ViewInterfaces.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

// QSettings "Vantorleaf"/"ZarelHP": the registry key \Software\Vantorleaf\ZarelHP on Windows,
// ~/.config/Vantorleaf/ZarelHP.conf on Linux; sections are groups.
class QtSettingsStore : public SettingsStore {
public:
    std::string Read(const std::string &section, const std::string &name) override;
    void Write(const std::string &section, const std::string &name,
               const std::string &value) override;
};

// Work for the window's thread, through its event loop. The timer is Timer1, the window design's
// one timer, a child of the window by that name.
class QtWindowThread : public WindowThread {
public:
    explicit QtWindowThread(QWidget &window) : window_(&window) {}
    void Post(std::function<void()> task) override;
    void After(int milliseconds, std::function<void()> task) override;

private:
    QPointer<QWidget> window_;
};

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget &window) : window_(window) {}
    void ShowMessage(const std::string &text) override;
    std::string ChoosePicture() override;
    std::string ChooseLogoFile() override;
    bool ChooseFont(const LogoFont &current, LogoFont *chosen) override;

private:
    QWidget &window_;
};

class QtFontSource : public FontSource {
public:
    std::unique_ptr<TextRasterizer> RasterizerFor(const LogoFont &font) override;
};

// The Qt font of a logo font, in its plain style unless bold or italic: exactly what is drawn.
QFont QtFontOf(const LogoFont &font);
