#include "win32/Win32Parts.h"

#include "win32/GdiTextRasterizer.h"

#include <commdlg.h>

#include <vector>

std::string Utf8(const std::wstring &text) {
    if (text.empty()) return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(size_t(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

namespace {

HKEY OpenSection(const std::string &section) {
    const std::wstring path = std::wstring(RegistrySettingsStore::kRoot) + L"\\" + Wide(section);
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

std::string RegistrySettingsStore::Read(const std::string &section, const std::string &name) {
    const HKEY key = OpenSection(section);
    if (!key) return {};
    const std::wstring value = Wide(name);
    DWORD type = 0, size = 0;
    std::string text;
    if (::RegQueryValueExW(key, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        if (::RegQueryValueExW(key, value.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE *>(data.data()), &size) == ERROR_SUCCESS)
            text = Utf8(data.data()); // the stored text may lack its terminating zero
    }
    ::RegCloseKey(key);
    return text;
}

void RegistrySettingsStore::Write(const std::string &section, const std::string &name,
                                  const std::string &value) {
    const HKEY key = OpenSection(section);
    if (!key) return;
    const std::wstring data = Wide(value);
    ::RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE *>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void Win32WindowThread::Post(std::function<void()> task) {
    auto *carried = new std::function<void()>(std::move(task));
    // Dropped when the window has gone: there is nothing left to show it on.
    if (!window_ || !::PostMessageW(window_, kTaskMessage, 0, reinterpret_cast<LPARAM>(carried)))
        delete carried;
}

void Win32WindowThread::After(int milliseconds, std::function<void()> task) {
    const UINT_PTR id = nextTimer_++;
    timers_[id] = std::move(task);
    ::SetTimer(window_, id, UINT(milliseconds), nullptr);
}

bool Win32WindowThread::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTaskMessage) {
        std::unique_ptr<std::function<void()>> task(
            reinterpret_cast<std::function<void()> *>(lParam));
        (*task)();
        return true;
    }
    if (message == WM_TIMER) {
        const auto found = timers_.find(wParam);
        if (found == timers_.end()) return false;
        ::KillTimer(window_, wParam);
        const std::function<void()> task = std::move(found->second);
        timers_.erase(found);
        task();
        return true;
    }
    return false;
}

void Win32WindowThread::Discard() {
    MSG message;
    while (::PeekMessageW(&message, window_, kTaskMessage, kTaskMessage, PM_REMOVE))
        delete reinterpret_cast<std::function<void()> *>(message.lParam);
    for (const auto &timer : timers_) ::KillTimer(window_, timer.first);
    timers_.clear();
}

void Win32Dialogs::ShowMessage(const std::string &text) {
    // No title: the system's own ("Error" on Windows).
    ::MessageBoxW(window_, Wide(text).c_str(), nullptr, MB_OK);
}

namespace {

// A file chosen in the system's open or save dialog (UTF-8), "" when cancelled.
std::string ChooseFile(HWND window, bool save) {
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrDefExt = L"BMP";
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (save) {
        // SavePictureDialog1: no question before an older file is replaced, as before.
        wcscpy(file.data(), L"tempnew.bmp");
        dialog.lpstrFilter = L"Bitmaps (*.bmp)\0*.bmp\0";
        if (!::GetSaveFileNameW(&dialog)) return {};
    } else {
        // OpenPictureDialog1.
        dialog.lpstrFilter = L"LOGO Files\0*.bmp\0";
        dialog.Flags |= OFN_FILEMUSTEXIST;
        if (!::GetOpenFileNameW(&dialog)) return {};
    }
    return Utf8(file.data());
}

} // namespace

LOGFONTW ScreenFont(const LogoFont &font) {
    LOGFONTW shown{};
    const HDC screen = ::GetDC(nullptr);
    shown.lfHeight = -::MulDiv(font.points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    shown.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    shown.lfItalic = font.italic ? TRUE : FALSE;
    shown.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(shown.lfFaceName, Wide(font.family).c_str(), LF_FACESIZE);
    return shown;
}

std::string Win32Dialogs::ChoosePicture() { return ChooseFile(window_, false); }

std::string Win32Dialogs::ChooseLogoFile() { return ChooseFile(window_, true); }

bool Win32Dialogs::ChooseFont(const LogoFont &current, LogoFont *chosen) {
    LOGFONTW font = ScreenFont(current);
    // FontDialog1: no lower or upper size limit.
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&dialog)) return false;
    *chosen = LogoFont{Utf8(font.lfFaceName), dialog.iPointSize > 0 ? dialog.iPointSize / 10 : 8,
                       font.lfWeight >= FW_BOLD, font.lfItalic != 0};
    return true;
}

std::unique_ptr<TextRasterizer> GdiFontSource::RasterizerFor(const LogoFont &font) {
    return std::make_unique<GdiTextRasterizer>(font.family, font.points, font.bold, font.italic);
}
