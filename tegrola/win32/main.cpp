// Tegrola for Windows: the logo tool for Zarel HP marking printers, a Win32 window
// (Ufrmtegrola.h) over the same logic as the Qt one.
#include "win32/Ufrmtegrola.h"

#include <zarelcom/version.h>

#include <shellapi.h>

#include <string>

namespace {

const char *const kHelp =
    "Usage: tegrola [options]\r\n"
    "Tegrola, the logo tool for Zarel HP marking printers: connects to the printer on a serial\r\n"
    "port, turns a Windows bitmap picture or typed text into a one-bit logo of 50, 25 or 17 "
    "dots\r\n"
    "and sends it into a free logo slot of the printer.\r\n"
    "\r\n"
    "Options:\r\n"
    "  -h, --help     show this help and exit\r\n"
    "  -v, --version  show the version and exit\r\n"
    "\r\n"
    "The work files tempold.bmp (picture logo) and tempnew.bmp (text logo) lie beside the\r\n"
    "program when its folder may be written, else in %LOCALAPPDATA%\\Vantorleaf\\Tegrola.\r\n";

// A window program has no console of its own: the text goes to the output it was given, else to
// the console of the program that started it.
void Print(const std::string &text) {
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((!output || output == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS))
        output = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
    if (!output || output == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr);
}

// --help and --version are answered without a window.
bool AnsweredWithoutWindow() {
    int count = 0;
    wchar_t **arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    bool answered = false;
    for (int i = 1; arguments && i < count && !answered; ++i) {
        const std::wstring argument = arguments[i];
        if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            Print(kHelp);
            answered = true;
        } else if (argument == L"--version" || argument == L"-v") {
            Print(std::string("tegrola ") + ZARELCOM_VERSION_STRING + "\r\n");
            answered = true;
        }
    }
    ::LocalFree(arguments);
    return answered;
}

std::string ProgramDir() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    const size_t slash = path.find_last_of(L"\\/");
    return Utf8(slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    if (AnsweredWithoutWindow()) return 0;
    if (!RegisterTegrolaClasses()) return 1;
    TfrmTegrola window(ProgramDir());
    window.QuitWhenDestroyed();
    window.Show(show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.Handle() && ::IsDialogMessageW(window.Handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return int(message.wParam);
}
