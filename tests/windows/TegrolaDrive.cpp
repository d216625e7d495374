// Drives an installed tegrola.exe from outside, as an operator would: the language stored before
// it starts, its captions read back, Open Port on the printer's COM port, a typed text logo sent
// and the slot it went into. Prints "slot N" and exits 0 when all of it held, else says what did
// not and exits 1.
// Usage: tegrola_drive TEGROLA_EXE COM LANGUAGE TEXT
#include "core/Captions.h"
#include "win32/GdiTextRasterizer.h"
#include "win32/Ufrmtegrola.h"

#include <commctrl.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

const wchar_t *const kSerialMap = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const wchar_t *const kDevice = L"\\Device\\TegrolaInstalled";
constexpr DWORD kPatience = 30000; // for the window, a connection, a send, the exit
constexpr UINT kAnswer = 20000;    // for one message; longer means a message box waits

// What did not hold; tegrola.exe is ended on the way out.
[[noreturn]] void Fail(const std::string &what) { throw std::runtime_error(what); }

void StoreSetting(const wchar_t *section, const wchar_t *name, const std::wstring &value) {
    const std::wstring key = std::wstring(RegistrySettingsStore::kRoot) + L"\\" + section;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                      DWORD((value.size() + 1) * sizeof(wchar_t)));
}

class Tegrola {
public:
    explicit Tegrola(const std::wstring &program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + program + L"\"";
        if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_))
            Fail("tegrola.exe did not start");
        ::CloseHandle(process_.hThread);
        const DWORD end = ::GetTickCount() + kPatience;
        while (!(window_ = OwnWindow()))
            if (::WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0 ||
                ::GetTickCount() > end) {
                ::TerminateProcess(process_.hProcess, 1);
                ::CloseHandle(process_.hProcess);
                Fail("no window of tegrola.exe");
            }
        remote_ = ::VirtualAllocEx(process_.hProcess, nullptr, sizeof buffer_, MEM_COMMIT,
                                   PAGE_READWRITE);
    }
    ~Tegrola() {
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.hProcess, 1);
        ::CloseHandle(process_.hProcess);
    }

    HWND Control(const char *name) const {
        Search search{TfrmTegrola::ControlId(name), nullptr};
        ::EnumChildWindows(window_, Match, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Fail(std::string("no control ") + name);
        return search.found;
    }
    LRESULT Send(HWND to, UINT message, WPARAM wParam, LPARAM lParam) const {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(to, message, wParam, lParam, SMTO_NORMAL, kAnswer, &result))
            Fail("tegrola.exe did not answer in time (a message box?); status: " +
                 Utf8(Status("StatusBar1")) + " / " + Utf8(Status("StatusBar2")));
        return LRESULT(result);
    }
    std::wstring Text(const char *name) const {
        wchar_t text[256] = L"";
        Send(Control(name), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The status bar's second panel; a status bar's text is read into the program's own memory.
    std::wstring Status(const char *bar) const {
        Send(Control(bar), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(remote_));
        SIZE_T read = 0;
        ::ReadProcessMemory(process_.hProcess, remote_, buffer_, sizeof buffer_ - sizeof *buffer_,
                            &read);
        buffer_[read / sizeof *buffer_] = L'\0';
        return buffer_;
    }
    void Click(const char *name) const { Send(Control(name), BM_CLICK, 0, 0); }
    // A change made from outside, and the notification the control would send of it.
    void Notify(const char *name, int code) const {
        const HWND control = Control(name);
        Send(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
             reinterpret_cast<LPARAM>(control));
    }
    // Waits until done() holds; false when the time is up or tegrola.exe ended.
    template <class Done>
    bool Await(Done done) const {
        const DWORD end = ::GetTickCount() + kPatience;
        while (!done())
            if (::WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0 ||
                ::GetTickCount() > end)
                return false;
        return true;
    }
    void Close() const {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        DWORD status = 1;
        if (::WaitForSingleObject(process_.hProcess, kPatience) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(process_.hProcess, &status) || status != 0)
            Fail("tegrola.exe did not end cleanly when closed");
    }

private:
    struct Search {
        int id;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND child, LPARAM data) {
        auto *search = reinterpret_cast<Search *>(data);
        if (::GetDlgCtrlID(child) != search->id) return TRUE;
        search->found = child;
        return FALSE;
    }
    HWND OwnWindow() const {
        for (HWND window = nullptr;
             (window = ::FindWindowExW(nullptr, window, L"TfrmTegrola", nullptr));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == process_.dwProcessId && ::IsWindowVisible(window)) return window;
        }
        return nullptr;
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    void *remote_ = nullptr;
    mutable wchar_t buffer_[512];
};

// The port in the system's serial port map while it lasts.
class MappedPort {
public:
    explicit MappedPort(const std::wstring &port) {
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &map_, nullptr) != ERROR_SUCCESS)
            Fail("the serial port map cannot be written");
        ::RegSetValueExW(map_, kDevice, 0, REG_SZ, reinterpret_cast<const BYTE *>(port.c_str()),
                         DWORD((port.size() + 1) * sizeof(wchar_t)));
    }
    ~MappedPort() {
        ::RegDeleteValueW(map_, kDevice);
        ::RegCloseKey(map_);
    }
    MappedPort(const MappedPort &) = delete;
    MappedPort &operator=(const MappedPort &) = delete;

private:
    HKEY map_ = nullptr;
};

int Drive(wchar_t **arguments) {
    const std::wstring port = std::wstring(L"COM") + arguments[2];
    const int language = _wtoi(arguments[3]);
    const std::wstring typed = arguments[4];

    // A fresh operator's settings with the language chosen.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, RegistrySettingsStore::kRoot);
    StoreSetting(L"Lang", L"Langurge", std::to_wstring(language));
    const MappedPort mapped(port);
    const Tegrola tegrola(arguments[1]);
    for (const TCaption &caption : CaptionTable) {
        const char *expected = CaptionFor(caption, language);
        const std::string control = caption.Control;
        if (!expected || control.rfind("StatusBar", 0) == 0 || control.rfind("TabSheet", 0) == 0)
            continue;
        if (tegrola.Text(control.c_str()) != Wide(expected))
            Fail(control + " shows \"" + Utf8(tegrola.Text(control.c_str())) + "\", not \"" +
                 expected + "\"");
    }

    const HWND ports = tegrola.Control("ComboBox1");
    const LRESULT index =
        tegrola.Send(ports, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(port.c_str()));
    if (index == CB_ERR) Fail(Utf8(port) + " is not in the port list");
    tegrola.Send(ports, CB_SETCURSEL, WPARAM(index), 0);
    tegrola.Notify("ComboBox1", CBN_SELCHANGE);
    tegrola.Click("SpeedButton1"); // Open Port
    if (!tegrola.Await([&] { return ::IsWindowVisible(tegrola.Control("SpeedButton2")); }))
        Fail("not connected: " + Utf8(tegrola.Status("StatusBar2")));

    tegrola.Click("SpeedButton49"); // New Text
    tegrola.Send(tegrola.Control("Memo1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    tegrola.Notify("Memo1", EN_CHANGE);
    tegrola.Click("SpeedButton47"); // Send Logo
    std::wstring sent;
    if (!tegrola.Await([&] {
            sent = tegrola.Status("StatusBar1");
            return sent.size() > 3 && sent.compare(sent.size() - 3, 3, L" OK") == 0;
        }))
        Fail("not sent: " + Utf8(sent));
    const std::wstring printer = tegrola.Status("StatusBar2");
    const size_t at = printer.find(L"   Logo in slot ");
    if (at == std::wstring::npos) Fail("no slot in: " + Utf8(printer));
    tegrola.Close();
    std::printf("slot %d\n", std::stoi(printer.substr(at + 16)));
    return 0;
}

} // namespace

int wmain(int count, wchar_t **arguments) {
    try {
        if (count != 5) Fail("usage: tegrola_drive TEGROLA_EXE COM LANGUAGE TEXT");
        return Drive(arguments);
    } catch (const std::exception &problem) {
        std::fprintf(stderr, "%s\n", problem.what());
        return 1;
    }
}
