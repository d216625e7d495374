// The view interfaces of Tegrola's logic as Win32 provides them: the registry, the window's
// message queue and its timers, the system's dialogs and message boxes, and GDI's text.
#pragma once

#include <windows.h>
// The logic's Dialogs::ChooseFont, not commdlg.h's macro for ChooseFontW.
#undef ChooseFont

#include "core/ViewInterfaces.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

// String values under HKEY_CURRENT_USER\Software\Vantorleaf\ZarelHP\<section>, the key made when
// it is missing (also by a read, as the window always did).
class RegistrySettingsStore : public SettingsStore {
public:
    static constexpr const wchar_t *kRoot = L"Software\\Vantorleaf\\ZarelHP";
    std::string Read(const std::string &section, const std::string &name) override;
    void Write(const std::string &section, const std::string &name,
               const std::string &value) override;
};

// Work for the window's thread through its message queue (PostMessage), and its timers
// (SetTimer; the first is Timer1). The window procedure hands its messages to Handle.
class Win32WindowThread : public WindowThread {
public:
    // The message that carries a posted task.
    static constexpr UINT kTaskMessage = WM_APP + 1;
    // Timer1's identifier; later timers count on from it.
    static constexpr UINT_PTR kTimer1 = 1;

    void Attach(HWND window) { window_ = window; }
    void Post(std::function<void()> task) override;
    void After(int milliseconds, std::function<void()> task) override;
    // True when the message was a task or a timer of this thread, which it then ran.
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Frees the tasks and timers still waiting when the window goes: they are never run.
    void Discard();

private:
    HWND window_ = nullptr;
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR nextTimer_ = kTimer1;
};

// The system's dialogs, modal on the window; message boxes with the system's default title.
class Win32Dialogs : public Dialogs {
public:
    void Attach(HWND window) { window_ = window; }
    void ShowMessage(const std::string &text) override;
    std::string ChoosePicture() override;
    std::string ChooseLogoFile() override;
    bool ChooseFont(const LogoFont &current, LogoFont *chosen) override;

private:
    HWND window_ = nullptr;
};

// Text logos drawn by GDI (GdiTextRasterizer).
class GdiFontSource : public FontSource {
public:
    std::unique_ptr<TextRasterizer> RasterizerFor(const LogoFont &font) override;
};

// UTF-16 text as UTF-8.
std::string Utf8(const std::wstring &text);
// The logo font as the screen shows it (its points at the screen's dots per inch).
LOGFONTW ScreenFont(const LogoFont &font);
