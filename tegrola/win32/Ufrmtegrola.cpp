// frmTegrola in Win32: the window's design, its controls and what the logic shows on them.
#include "win32/Ufrmtegrola.h"

#include "core/Captions.h"
#include "win32/GdiTextRasterizer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr const wchar_t *kWindowClass = L"TfrmTegrola";
constexpr const wchar_t *kPageClass = L"TTabSheet";
constexpr const wchar_t *kScrollBoxClass = L"TScrollBox";
constexpr const wchar_t *kImageClass = L"TImage";
constexpr const wchar_t *kAnimateClass = L"TAnimate";

// The window design's size (client area) and the measures of its parts, as the Qt view has them.
constexpr int kClientWidth = 812;
constexpr int kClientHeight = 390;
constexpr int kBandHeight = 49;
constexpr int kStatusHeight = 20;
constexpr int kButtonColumnWidth = 110;
constexpr int kPageButtonHeight = 28;
constexpr int kLogoStripHeight = 81;
constexpr int kSmallButton = 25;

// Identifiers from names: the kind's base plus the design's number ("SpeedButton46" is 1046).
struct TKind {
    const char *prefix;
    int base;
};
constexpr TKind kKinds[] = {
    {"SpeedButton", 1000}, {"ComboBox", 1100},  {"Label", 1200},       {"GroupBox", 1300},
    {"TabSheet", 1400},    {"ScrollBox", 1500}, {"Image", 1600},       {"Memo", 1700},
    {"StatusBar", 1900},   {"Animate", 2000},   {"PageControl", 2100}, {"Panel", 2200},
};

std::wstring TextOf(HWND control) {
    std::wstring text(size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
    return text;
}

// ---- Pictures shown at their own size ----------------------------------------------------------

// What an Image control shows: a device-independent bitmap, rows from the top.
struct TImageData {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    std::vector<uint8_t> bits;
};

void UpdateScrollBox(HWND box);

void SetImage(HWND image, std::unique_ptr<TImageData> data) {
    delete reinterpret_cast<TImageData *>(::GetWindowLongPtrW(image, GWLP_USERDATA));
    const int width = data ? int(data->info.header.biWidth) : 0;
    const int height = data ? -int(data->info.header.biHeight) : 0;
    ::SetWindowLongPtrW(image, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data.release()));
    ::SetWindowPos(image, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateScrollBox(::GetParent(image));
    ::InvalidateRect(image, nullptr, TRUE);
}

std::unique_ptr<TImageData> LogoImage(const LogoBitmap &logo) {
    auto data = std::make_unique<TImageData>();
    if (logo.IsNull()) return nullptr;
    const int stride = (logo.Width() + 31) / 32 * 4;
    data->info.header.biSize = sizeof data->info.header;
    data->info.header.biWidth = logo.Width();
    data->info.header.biHeight = -logo.Height();
    data->info.header.biPlanes = 1;
    data->info.header.biBitCount = 1;
    data->info.colours[1] = RGBQUAD{255, 255, 255, 0}; // a set bit is white
    data->bits.assign(size_t(stride) * size_t(logo.Height()), 0);
    for (int y = 0; y < logo.Height(); ++y)
        std::memcpy(data->bits.data() + size_t(y) * size_t(stride), logo.Row(y),
                    size_t(logo.RowBytes()));
    return data;
}

std::unique_ptr<TImageData> PictureImage(const Picture &picture) {
    if (picture.IsNull()) return nullptr;
    auto data = std::make_unique<TImageData>();
    data->info.header.biSize = sizeof data->info.header;
    data->info.header.biWidth = picture.Width();
    data->info.header.biHeight = -picture.Height();
    data->info.header.biPlanes = 1;
    data->info.header.biBitCount = 32;
    data->bits.resize(size_t(picture.Width()) * size_t(picture.Height()) * 4);
    uint8_t *pixel = data->bits.data();
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x, pixel += 4) {
            const Rgb colour = picture.ColourAt(x, y);
            pixel[0] = colour.blue;
            pixel[1] = colour.green;
            pixel[2] = colour.red;
        }
    return data;
}

LRESULT CALLBACK ImageProc(HWND image, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *data = reinterpret_cast<TImageData *>(::GetWindowLongPtrW(image, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC context = ::BeginPaint(image, &paint);
        if (data)
            ::SetDIBitsToDevice(context, 0, 0, DWORD(data->info.header.biWidth),
                                DWORD(-data->info.header.biHeight), 0, 0, 0,
                                UINT(-data->info.header.biHeight), data->bits.data(),
                                reinterpret_cast<const BITMAPINFO *>(&data->info), DIB_RGB_COLORS);
        ::EndPaint(image, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        delete data;
        ::SetWindowLongPtrW(image, GWLP_USERDATA, 0);
        break;
    }
    return ::DefWindowProcW(image, message, wParam, lParam);
}

// A scroll box: its one child (an Image) at its own size, moved by the scroll bars.
void UpdateScrollBox(HWND box) {
    const HWND image = ::GetWindow(box, GW_CHILD);
    if (!image) return;
    RECT inside, picture;
    ::GetClientRect(box, &inside);
    ::GetWindowRect(image, &picture);
    const int sizes[2] = {int(picture.right - picture.left), int(picture.bottom - picture.top)};
    const int pages[2] = {int(inside.right), int(inside.bottom)};
    int positions[2];
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info{sizeof info,
                        SIF_RANGE | SIF_PAGE,
                        0,
                        std::max(sizes[bar] - 1, 0),
                        UINT(std::max(pages[bar], 0)),
                        0,
                        0};
        ::SetScrollInfo(box, bar, &info, TRUE);
        info.fMask = SIF_POS;
        ::GetScrollInfo(box, bar, &info);
        positions[bar] = info.nPos;
    }
    ::SetWindowPos(image, nullptr, -positions[0], -positions[1], 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK ScrollBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        UpdateScrollBox(box);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        ::GetScrollInfo(box, bar, &info);
        int position = info.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            position -= 16;
            break;
        case SB_LINEDOWN:
            position += 16;
            break;
        case SB_PAGEUP:
            position -= int(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += int(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        }
        ::SetScrollPos(box, bar, position, TRUE);
        UpdateScrollBox(box);
        return 0;
    }
    }
    return ::DefWindowProcW(box, message, wParam, lParam);
}

// A page of the page control: its controls' notifications go to the main window.
LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
        return ::SendMessageW(::GetParent(page), message, wParam, lParam);
    }
    return ::DefWindowProcW(page, message, wParam, lParam);
}

// ---- The busy animations -----------------------------------------------------------------------

// Animate1 (a search for the printer: dots running through a row of ports) and Animate2 (files
// copied: a block moving from one folder to the other). The phase follows the time since the
// start, so that a repaint during a blocking call still shows it moving on. Hidden while stopped.
constexpr UINT_PTR kFrameTimer = 1;

LRESULT CALLBACK AnimateProc(HWND animation, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        ::InvalidateRect(animation, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC context = ::BeginPaint(animation, &paint);
        RECT area;
        ::GetClientRect(animation, &area);
        ::FillRect(context, &area, ::GetSysColorBrush(COLOR_BTNFACE));
        const DWORD started = DWORD(::GetWindowLongPtrW(animation, GWLP_USERDATA));
        const int frame = int((::GetTickCount() - started) / 120);
        const bool search = ::GetDlgCtrlID(animation) == TfrmTegrola::ControlId("Animate1");
        constexpr int cells = 8;
        const int cell = std::max(int(area.right) / cells, 4);
        const int top = int(area.bottom) / 2 - 4;
        for (int i = 0; i < cells; ++i) {
            const int distance = ((frame % cells) - i + cells) % cells;
            COLORREF colour = RGB(190, 190, 190);
            if (distance < 3)
                colour = search ? RGB(0, 70 + 60 * distance, 200) : RGB(0, 150 - 40 * distance, 0);
            if (!search && (i == 0 || i == cells - 1)) colour = RGB(200, 160, 40); // the folders
            const HBRUSH brush = ::CreateSolidBrush(colour);
            const RECT dot{i * cell + 2, top, i * cell + cell - 2, top + 8};
            ::FillRect(context, &dot, brush);
            ::DeleteObject(brush);
        }
        ::EndPaint(animation, &paint);
        return 0;
    }
    }
    return ::DefWindowProcW(animation, message, wParam, lParam);
}

void RunAnimation(HWND animation, bool run) {
    if (run) {
        ::SetWindowLongPtrW(animation, GWLP_USERDATA, LONG_PTR(::GetTickCount()));
        ::SetWindowPos(animation, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetTimer(animation, kFrameTimer, 120, nullptr);
    } else {
        ::KillTimer(animation, kFrameTimer);
        ::SetWindowPos(animation, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW | SWP_NOACTIVATE);
    }
}

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

} // namespace

bool RegisterTegrolaClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        const struct {
            const wchar_t *name;
            WNDPROC procedure;
            int background;
            UINT style;
        } classes[] = {
            {kWindowClass, &TfrmTegrola::WindowProc, COLOR_BTNFACE + 1, 0},
            {kPageClass, PageProc, COLOR_BTNFACE + 1, 0},
            {kScrollBoxClass, ScrollBoxProc, COLOR_WINDOW + 1, 0},
            {kImageClass, ImageProc, COLOR_WINDOW + 1, 0},
            {kAnimateClass, AnimateProc, COLOR_BTNFACE + 1, 0},
        };
        for (const auto &kind : classes) {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.style = kind.style;
            windowClass.lpfnWndProc = kind.procedure;
            windowClass.hInstance = Instance();
            windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(INT_PTR(kind.background));
            windowClass.lpszClassName = kind.name;
            if (kind.name == kWindowClass) {
                windowClass.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(1));
                if (!windowClass.hIcon) windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
            }
            if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return false;
        }
        return true;
    }();
    return registered;
}

int TfrmTegrola::ControlId(const std::string &name) {
    if (name == "PageControl2") return 2102;
    if (name == "TextFit") return 2300;
    if (name.rfind("RadioGroup2Item", 0) == 0 && name.size() == 16) return 1810 + (name[15] - '0');
    if (name == "RadioGroup2") return 1802;
    for (const TKind &kind : kKinds) {
        const size_t length = std::strlen(kind.prefix);
        if (name.compare(0, length, kind.prefix) != 0 || name.size() == length) continue;
        int number = 0;
        for (size_t i = length; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return 0;
            number = number * 10 + (name[i] - '0');
        }
        return number < 100 ? kind.base + number : 0;
    }
    return 0;
}

TfrmTegrola::TfrmTegrola(const std::string &programDir, const Win32Replacements &parts)
    : FParts(parts) {
    RegisterTegrolaClasses();
    BuildWindow();
    FThread.Attach(FWindow);
    FSystemDialogs.Attach(FWindow);
    FLogic = std::make_unique<TegrolaLogic>(
        WindowParts{*this, FParts.settings ? *FParts.settings : FRegistry, FThread,
                    FParts.dialogs ? *FParts.dialogs : FSystemDialogs, FFonts,
                    FParts.printer ? *FParts.printer : FLibrary},
        programDir);
    FLogic->Start();
}

TfrmTegrola::~TfrmTegrola() {
    if (FWindow) ::DestroyWindow(FWindow);
    FLogic.reset();
    if (FUiFont) ::DeleteObject(FUiFont);
    if (FMemoFont) ::DeleteObject(FMemoFont);
    if (FGlyphFont) ::DeleteObject(FGlyphFont);
}

HWND TfrmTegrola::Control(const std::string &name) const {
    const auto found = FControls.find(name);
    return found == FControls.end() ? nullptr : found->second;
}

void TfrmTegrola::Show(int how) {
    ::ShowWindow(FWindow, how);
    ::UpdateWindow(FWindow);
    if (FFirstShow && FLogic) {
        FFirstShow = false;
        if (::IsWindowVisible(Control("TabSheet4"))) FLogic->FormShow();
    }
}

// ---- The design ---------------------------------------------------------------------------------

HWND TfrmTegrola::Add(const wchar_t *windowClass, const char *name, const std::wstring &text,
                      DWORD style, HWND parent, DWORD exStyle) {
    const HWND control = ::CreateWindowExW(
        exStyle, windowClass, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 10, 10,
        parent, reinterpret_cast<HMENU>(INT_PTR(ControlId(name))), Instance(), nullptr);
    ::SendMessageW(control, WM_SETFONT, WPARAM(FUiFont), FALSE);
    FControls[name] = control;
    return control;
}

void TfrmTegrola::AddTip(HWND control, const wchar_t *text) {
    TOOLINFOW tip{};
    tip.cbSize = sizeof tip;
    tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tip.hwnd = FWindow;
    tip.uId = reinterpret_cast<UINT_PTR>(control);
    tip.lpszText = const_cast<wchar_t *>(text);
    ::SendMessageW(FTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip));
}

void TfrmTegrola::BuildWindow() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    FUiFont = ::CreateFontIndirectW(&metrics.lfMessageFont);
    // The glyphs of the small buttons, larger than their captions would be.
    LOGFONTW glyphs = metrics.lfMessageFont;
    glyphs.lfHeight = glyphs.lfHeight < 0 ? glyphs.lfHeight * 3 / 2 : -16;
    FGlyphFont = ::CreateFontIndirectW(&glyphs);

    RECT frame{0, 0, kClientWidth, kClientHeight};
    // No WS_CLIPCHILDREN: the group boxes leave their inside to the window's background.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = int(frame.right - frame.left), height = int(frame.bottom - frame.top);
    FWindow = ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", style,
                                std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2),
                                std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2), width,
                                height, nullptr, nullptr, Instance(), this);
    FTips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                              FWindow, nullptr, Instance(), nullptr);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

    // The connection band.
    Add(WC_BUTTONW, "GroupBox20", L"Communication", WS_VISIBLE | BS_GROUPBOX, FWindow);
    AddTip(Add(WC_BUTTONW, "SpeedButton1", L"\u25B6", button, FWindow), L"Open Port");
    AddTip(Add(WC_BUTTONW, "SpeedButton2", L"\u25A0", WS_TABSTOP | BS_PUSHBUTTON, FWindow),
           L"Stop Port");
    AddTip(Add(WC_BUTTONW, "SpeedButton55", L"\u21BB", button, FWindow), L"Auto Connect");
    const DWORD list = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    Add(WC_STATICW, "Label1", L"COM Port", WS_VISIBLE | SS_LEFT, FWindow);
    Add(WC_COMBOBOXW, "ComboBox1", L"", list, FWindow);
    Add(WC_STATICW, "Label2", L"ZarelBaudRate", WS_VISIBLE | SS_LEFT, FWindow);
    const HWND baud = Add(WC_COMBOBOXW, "ComboBox3", L"", list, FWindow);
    for (const std::string &item : TegrolaLogic::BaudItems())
        ::SendMessageW(baud, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    ::SendMessageW(baud, CB_SETCURSEL, 1, 0);
    // The port rate code handed to SetBaudRate: its index is the code. Never shown.
    const HWND rates = Add(WC_COMBOBOXW, "ComboBox2", L"", CBS_DROPDOWNLIST, FWindow);
    for (const wchar_t *rate :
         {L"110", L"300", L"600", L"1200", L"2400", L"4800", L"9600", L"14400", L"19200", L"38400",
          L"56000", L"57600", L"115200", L"128000", L"256000"})
        ::SendMessageW(rates, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rate));
    ::SendMessageW(rates, CB_SETCURSEL, 9, 0);
    Add(WC_STATICW, "Label3", L"Language", WS_VISIBLE | SS_LEFT, FWindow);
    const HWND language = Add(WC_COMBOBOXW, "ComboBox4", L"",
                              WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, FWindow);
    for (const std::string &item : TegrolaLogic::LanguageItems())
        ::SendMessageW(language, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    ::SetWindowTextW(language, L"English");
    Add(kAnimateClass, "Animate1", L"", 0, FWindow);

    // A label as wide as its widest caption in any language, so that a change of language moves
    // nothing beside it.
    const HDC context = ::GetDC(FWindow);
    const HGDIOBJ before = ::SelectObject(context, FUiFont);
    for (const char *label : {"Label1", "Label2", "Label3"}) {
        int widest = 0;
        for (const TCaption &caption : CaptionTable)
            if (!std::strcmp(caption.Control, label))
                for (const char *text : {caption.English, caption.Traditional, caption.Simplified})
                    if (text) {
                        const std::wstring wide = Wide(text);
                        SIZE size{};
                        ::GetTextExtentPoint32W(context, wide.c_str(), int(wide.size()), &size);
                        widest = std::max(widest, int(size.cx));
                    }
        FLabelWidths[label] = widest + 2;
    }
    ::SelectObject(context, before);
    ::ReleaseDC(FWindow, context);

    // The logo area: the pages lie above the page control, which would paint over them otherwise.
    Add(WC_BUTTONW, "GroupBox6", L"Logo", WS_VISIBLE | BS_GROUPBOX, FWindow);
    Add(WC_STATICW, "Panel4", L"Panel4", 0, FWindow);
    const HWND tabs = Add(WC_TABCONTROLW, "PageControl2", L"", WS_VISIBLE | WS_TABSTOP, FWindow);
    for (const wchar_t *caption : {L"Exist Logo", L"New Logo"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t *>(caption);
        ::SendMessageW(tabs, TCM_INSERTITEMW, ::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0),
                       reinterpret_cast<LPARAM>(&item));
    }
    Add(kAnimateClass, "Animate2", L"", 0, FWindow);

    const DWORD pageStyle = 0;
    const DWORD boxStyle = WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
    const HWND pictures =
        Add(kPageClass, "TabSheet3", L"", pageStyle, FWindow, WS_EX_CONTROLPARENT);
    Add(WC_BUTTONW, "SpeedButton48", L"Open Picture", button, pictures);
    Add(WC_BUTTONW, "SpeedButton53", L"Save Logo As", button, pictures);
    Add(WC_BUTTONW, "SpeedButton46", L"Send Logo", button, pictures);
    AddTip(Add(kImageClass, "Image2", L"", WS_VISIBLE,
               Add(kScrollBoxClass, "ScrollBox2", L"", boxStyle, pictures, WS_EX_CLIENTEDGE)),
           L"Pic");
    Add(kImageClass, "Image1", L"", WS_VISIBLE,
        Add(kScrollBoxClass, "ScrollBox1", L"", boxStyle, pictures, WS_EX_CLIENTEDGE));

    const HWND text =
        Add(kPageClass, "TabSheet4", L"", pageStyle | WS_VISIBLE, FWindow, WS_EX_CONTROLPARENT);
    Add(WC_BUTTONW, "SpeedButton49", L"New Text", button, text);
    Add(WC_BUTTONW, "SpeedButton54", L"Save Logo As", button, text);
    Add(WC_BUTTONW, "SpeedButton47", L"Send Logo", button, text);
    AddTip(Add(kImageClass, "Image3", L"", WS_VISIBLE,
               Add(kScrollBoxClass, "ScrollBox3", L"", boxStyle, text, WS_EX_CLIENTEDGE)),
           L"Pic");
    Add(WC_STATICW, "TextFit", L"", SS_LEFT, text);
    FQuiet = true;
    Add(WC_EDITW, "Memo1", L"This is Test.",
        WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
            ES_AUTOVSCROLL | ES_WANTRETURN,
        text, WS_EX_CLIENTEDGE);
    FQuiet = false;
    AddTip(Add(WC_BUTTONW, "RadioGroup2", L"LOGO Height", WS_VISIBLE | BS_GROUPBOX, text),
           L"Select Download LOGO size");
    const wchar_t *heights[] = {L"0.5\"/12.7mm", L"0.25\"/6mm", L"0.17\"/4mm"};
    for (int index = 0; index < 3; ++index)
        Add(WC_BUTTONW, ("RadioGroup2Item" + std::to_string(index)).c_str(), heights[index],
            WS_VISIBLE | BS_AUTORADIOBUTTON | (index == 0 ? WS_GROUP | WS_TABSTOP : 0), text);
    ::SendMessageW(Control("RadioGroup2Item0"), BM_SETCHECK, BST_CHECKED, 0);
    Add(WC_BUTTONW, "GroupBox22", L"Position", WS_VISIBLE | BS_GROUPBOX, text);
    const struct {
        const char *name;
        const wchar_t *glyph;
        const wchar_t *hint;
    } positions[] = {{"SpeedButton51", L"\u25B2", L"Up"},
                     {"SpeedButton59", L"\u25C0", L"Left"},
                     {"SpeedButton61", L"\u25CF", L"Auto"},
                     {"SpeedButton60", L"\u25B6", L"Right"},
                     {"SpeedButton52", L"\u25BC", L"Down"}};
    for (const auto &position : positions)
        AddTip(Add(WC_BUTTONW, position.name, position.glyph, button, text), position.hint);
    Add(WC_BUTTONW, "SpeedButton50", L"Set Font", button, text);

    const DWORD bar = WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    Add(STATUSCLASSNAMEW, "StatusBar1", L"", bar, FWindow);
    Add(STATUSCLASSNAMEW, "StatusBar2", L"", bar, FWindow);
    SetCaption("StatusBar1", "Status");
    SetCaption("StatusBar2", "System");

    // Frames below what they frame; the page control below its pages.
    for (const char *under :
         {"RadioGroup2", "GroupBox22", "PageControl2", "GroupBox6", "GroupBox20"})
        ::SetWindowPos(Control(under), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const char *name : {"SpeedButton1", "SpeedButton2", "SpeedButton55", "SpeedButton51",
                             "SpeedButton52", "SpeedButton59", "SpeedButton60", "SpeedButton61"})
        ::SendMessageW(Control(name), WM_SETFONT, WPARAM(FGlyphFont), FALSE);
    ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    Layout();
}

void TfrmTegrola::Layout() {
    RECT client;
    ::GetClientRect(FWindow, &client);
    const int width = std::max(int(client.right), 400), height = std::max(int(client.bottom), 300);
    const auto place = [this](const char *name, int x, int y, int w, int h) {
        ::SetWindowPos(Control(name), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };

    // The connection band: its controls at the band's bottom edge.
    place("GroupBox20", 4, 2, width - 8, kBandHeight);
    const int row = 2 + kBandHeight - 4 - kSmallButton;
    place("SpeedButton1", 10, row, kSmallButton, kSmallButton);
    place("SpeedButton2", 10, row, kSmallButton, kSmallButton);
    place("SpeedButton55", 39, row, kSmallButton, kSmallButton);
    int x = 39 + kSmallButton + 12;
    for (const auto &[label, combo, comboWidth] :
         {std::tuple{"Label1", "ComboBox1", 80}, std::tuple{"Label2", "ComboBox3", 80},
          std::tuple{"Label3", "ComboBox4", 170}}) {
        place(label, x, row + 5, FLabelWidths[label], 16);
        x += FLabelWidths[label] + 4;
        place(combo, x, row + 1, comboWidth, 200);
        x += comboWidth + 10;
    }
    place("Animate1", width - 4 - 6 - 121, row, 121, kSmallButton);

    // The status bars at the bottom, the logo area between.
    place("StatusBar2", 0, height - kStatusHeight, width, kStatusHeight);
    place("StatusBar1", 0, height - 2 * kStatusHeight - 1, width, kStatusHeight);
    for (const char *name : {"StatusBar1", "StatusBar2"}) {
        const int parts[2] = {80, -1};
        ::SendMessageW(Control(name), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    }
    const int areaTop = 2 + kBandHeight + 1;
    const int areaBottom = height - 2 * kStatusHeight - 2;
    place("GroupBox6", 4, areaTop, width - 8, areaBottom - areaTop);
    RECT tabs{7, areaTop + 8, width - 7, areaBottom - 3};
    place("PageControl2", int(tabs.left), int(tabs.top), int(tabs.right - tabs.left),
          int(tabs.bottom - tabs.top));
    RECT page = tabs;
    ::SendMessageW(Control("PageControl2"), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    // Beside the page tabs, where it covers no control while it runs.
    place("Animate2", int(tabs.right) - 121 - 4, int(tabs.top) + 1, 121,
          int(page.top - tabs.top) - 3);
    const int pageWidth = int(page.right - page.left), pageHeight = int(page.bottom - page.top);
    for (const char *sheet : {"TabSheet3", "TabSheet4"})
        place(sheet, int(page.left), int(page.top), pageWidth, pageHeight);

    // Each page: a column of buttons, the logo strip beside it.
    const int column = 4 + kButtonColumnWidth + 4;
    const int rest = pageWidth - column - 4;
    const char *buttons[2][3] = {{"SpeedButton48", "SpeedButton53", "SpeedButton46"},
                                 {"SpeedButton49", "SpeedButton54", "SpeedButton47"}};
    for (const auto &pageButtons : buttons)
        for (int i = 0; i < 3; ++i)
            place(pageButtons[i], 4, 4 + i * (kPageButtonHeight + 2), kButtonColumnWidth,
                  kPageButtonHeight);
    place("ScrollBox2", column, 4, rest, kLogoStripHeight);
    place("ScrollBox1", column, 4 + kLogoStripHeight + 4, rest,
          std::max(pageHeight - kLogoStripHeight - 10, 20));
    place("ScrollBox3", column, 4, rest, kLogoStripHeight);
    place("TextFit", column, 4 + kLogoStripHeight + 2, rest, 16);
    const int lower = 4 + kLogoStripHeight + 20;
    place("Memo1", column, lower, 345, 137);
    const int settings = column + 345 + 8;
    place("RadioGroup2", settings, lower, 300, 44);
    for (int index = 0; index < 3; ++index)
        place(("RadioGroup2Item" + std::to_string(index)).c_str(), settings + 8 + index * 96,
              lower + 18, 92, 20);
    const int cross = lower + 48;
    place("GroupBox22", settings, cross, 3 * kSmallButton + 20, 3 * kSmallButton + 22);
    const struct {
        const char *name;
        int row, column;
    } grid[] = {{"SpeedButton51", 0, 1},
                {"SpeedButton59", 1, 0},
                {"SpeedButton61", 1, 1},
                {"SpeedButton60", 1, 2},
                {"SpeedButton52", 2, 1}};
    for (const auto &cell : grid)
        place(cell.name, settings + 10 + cell.column * kSmallButton,
              cross + 16 + cell.row * kSmallButton, kSmallButton, kSmallButton);
    place("SpeedButton50", settings + 3 * kSmallButton + 28, cross + 3 * kSmallButton + 22 - 28,
          100, 28);
}

void TfrmTegrola::ShowPage(int page) {
    ::ShowWindow(Control("TabSheet3"), page == 0 ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Control("TabSheet4"), page == 1 ? SW_SHOW : SW_HIDE);
    if (page == 1 && FLogic) FLogic->TabSheet4Show();
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT CALLBACK TfrmTegrola::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *form =
            static_cast<TfrmTegrola *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->FWindow = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto *form = reinterpret_cast<TfrmTegrola *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT TfrmTegrola::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (FLogic && FThread.Handle(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        Notify(*reinterpret_cast<const NMHDR *>(lParam));
        return 0;
    case WM_SIZE:
        if (!FControls.empty()) Layout();
        return 0;
    case WM_GETMINMAXINFO: {
        auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        limits->ptMinTrackSize = POINT{640, 360};
        return 0;
    }
    case WM_DESTROY: {
        // The logic ends first: it stops a search still running, so that the program ends at
        // once and lets go of the port.
        FLogic.reset();
        FThread.Discard();
        ::SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
        FWindow = nullptr;
        if (FQuitWhenDestroyed) ::PostQuitMessage(0);
        return 0;
    }
    }
    return ::DefWindowProcW(FWindow, message, wParam, lParam);
}

void TfrmTegrola::Command(int id, int code, HWND control) {
    if (!FLogic || FQuiet) return;
    TegrolaLogic &logic = *FLogic;
    if (code == BN_CLICKED) {
        static const struct {
            const char *name;
            void (TegrolaLogic::*click)();
        } clicks[] = {
            {"SpeedButton1", &TegrolaLogic::SpeedButton1Click},
            {"SpeedButton55", &TegrolaLogic::SpeedButton55Click},
            {"SpeedButton2", &TegrolaLogic::SpeedButton2Click},
            {"SpeedButton48", &TegrolaLogic::SpeedButton48Click},
            {"SpeedButton53", &TegrolaLogic::SpeedButton53Click},
            {"SpeedButton46", &TegrolaLogic::SpeedButton46Click},
            {"SpeedButton49", &TegrolaLogic::SpeedButton49Click},
            {"SpeedButton50", &TegrolaLogic::SpeedButton50Click},
            {"SpeedButton51", &TegrolaLogic::SpeedButton51Click},
            {"SpeedButton52", &TegrolaLogic::SpeedButton52Click},
            {"SpeedButton59", &TegrolaLogic::SpeedButton59Click},
            {"SpeedButton60", &TegrolaLogic::SpeedButton60Click},
            {"SpeedButton61", &TegrolaLogic::SpeedButton61Click},
            {"SpeedButton54", &TegrolaLogic::SpeedButton54Click},
            {"SpeedButton47", &TegrolaLogic::SpeedButton47Click},
        };
        for (const auto &click : clicks)
            if (id == ControlId(click.name)) return (logic.*click.click)();
        for (int index = 0; index < 3; ++index)
            if (id == ControlId("RadioGroup2Item" + std::to_string(index)))
                return logic.RadioGroup2Click(index);
        return;
    }
    const auto selection = [control] { return int(::SendMessageW(control, CB_GETCURSEL, 0, 0)); };
    if (code == CBN_SELCHANGE) {
        if (id == ControlId("ComboBox1")) return logic.ComboBox1Change(selection());
        if (id == ControlId("ComboBox3")) return logic.ComboBox3Change(selection());
        if (id == ControlId("ComboBox4")) return logic.ComboBox4Change(selection());
    }
    if (code == CBN_EDITCHANGE && id == ControlId("ComboBox4")) return LanguageTextEdited();
    if (code == EN_CHANGE && id == ControlId("Memo1"))
        return logic.Memo1Change(Utf8(TextOf(control)));
}

void TfrmTegrola::Notify(const NMHDR &header) {
    if (header.code == TCN_SELCHANGE && header.hwndFrom == Control("PageControl2"))
        ShowPage(int(::SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
}

// Typed text selects the item it names and leaves no selection when it names none; the text
// stays as typed.
void TfrmTegrola::LanguageTextEdited() {
    const HWND combo = Control("ComboBox4");
    const std::wstring text = TextOf(combo);
    const DWORD caret = DWORD(::SendMessageW(combo, CB_GETEDITSEL, 0, 0));
    FLogic->ComboBox4TextEdited(Utf8(text));
    FQuiet = true;
    ::SetWindowTextW(combo, text.c_str());
    ::SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(HIWORD(caret), HIWORD(caret)));
    FQuiet = false;
}

// ---- What the logic shows -----------------------------------------------------------------------

void TfrmTegrola::SetWindowCaption(const std::string &caption) {
    ::SetWindowTextW(FWindow, Wide(caption).c_str());
}

void TfrmTegrola::SetCaption(const std::string &control, const std::string &text) {
    const std::wstring caption = Wide(text);
    if (control == "StatusBar1" || control == "StatusBar2") {
        ::SendMessageW(Control(control), SB_SETTEXTW, 0 | SBT_POPOUT,
                       reinterpret_cast<LPARAM>(caption.c_str()));
        return;
    }
    if (control == "TabSheet3" || control == "TabSheet4") {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t *>(caption.c_str());
        ::SendMessageW(Control("PageControl2"), TCM_SETITEMW, control == "TabSheet3" ? 0 : 1,
                       reinterpret_cast<LPARAM>(&item));
        return;
    }
    if (const HWND window = Control(control)) ::SetWindowTextW(window, caption.c_str());
}

void TfrmTegrola::SetPortList(const std::vector<PortEntry> &ports) {
    const HWND combo = Control("ComboBox1");
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const PortEntry &port : ports)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(port.text).c_str()));
}

void TfrmTegrola::SelectPort(int index) {
    ::SendMessageW(Control("ComboBox1"), CB_SETCURSEL, WPARAM(index), 0);
}

void TfrmTegrola::SelectBaud(int index, int portRateCode) {
    ::SendMessageW(Control("ComboBox3"), CB_SETCURSEL, WPARAM(index), 0);
    ::SendMessageW(Control("ComboBox2"), CB_SETCURSEL, WPARAM(portRateCode), 0);
}

void TfrmTegrola::SelectLanguage(int index) {
    ::SendMessageW(Control("ComboBox4"), CB_SETCURSEL, WPARAM(index), 0);
}

void TfrmTegrola::SetStatus(int bar, const std::string &text) {
    ::SendMessageW(Control(bar == 1 ? "StatusBar1" : "StatusBar2"), SB_SETTEXTW, 1,
                   reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void TfrmTegrola::Repaint() {
    ::RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TfrmTegrola::ShowConnected(bool connected) {
    // The focus of a control that goes passes to the button in Open Port's place.
    const HWND focus = ::GetFocus();
    ::ShowWindow(Control(connected ? "SpeedButton2" : "SpeedButton1"), SW_SHOW);
    for (const char *name : {"ComboBox1", "ComboBox3", "SpeedButton1", "SpeedButton55"})
        if (focus == Control(name))
            ::SetFocus(Control(connected ? "SpeedButton2" : "SpeedButton1"));
    ::EnableWindow(Control("ComboBox1"), !connected);
    ::EnableWindow(Control("ComboBox3"), !connected);
    ::ShowWindow(Control("SpeedButton1"), connected ? SW_HIDE : SW_SHOW);
    ::ShowWindow(Control("SpeedButton55"), connected ? SW_HIDE : SW_SHOW);
    ::ShowWindow(Control("SpeedButton2"), connected ? SW_SHOW : SW_HIDE);
}

// While a connection is tried nothing else may use the library: its exchange state is one per
// process.
void TfrmTegrola::SetConnecting(bool connecting) {
    for (const char *name : {"SpeedButton1", "SpeedButton55", "SpeedButton46", "SpeedButton47"})
        ::EnableWindow(Control(name), !connecting);
}

// What is typed or chosen during a send would not reach the logo being sent: it is not taken.
void TfrmTegrola::SetSending(bool sending) {
    for (const char *name : {"SpeedButton2",     "SpeedButton48",    "SpeedButton53",
                             "SpeedButton46",    "SpeedButton49",    "SpeedButton54",
                             "SpeedButton47",    "SpeedButton50",    "Memo1",
                             "RadioGroup2",      "RadioGroup2Item0", "RadioGroup2Item1",
                             "RadioGroup2Item2", "GroupBox22",       "SpeedButton51",
                             "SpeedButton52",    "SpeedButton59",    "SpeedButton60",
                             "SpeedButton61",    "ComboBox4"})
        ::EnableWindow(Control(name), !sending);
}

void TfrmTegrola::RunSearchAnimation(bool run) { RunAnimation(Control("Animate1"), run); }

void TfrmTegrola::RunSendAnimation(bool run) { RunAnimation(Control("Animate2"), run); }

void TfrmTegrola::ShowPicture(const Picture &picture) {
    SetImage(Control("Image1"), PictureImage(picture));
}

void TfrmTegrola::ShowPictureLogo(const LogoBitmap &logo) {
    ::SetScrollPos(Control("ScrollBox2"), SB_VERT, 0, TRUE);
    SetImage(Control("Image2"), LogoImage(logo));
}

void TfrmTegrola::ShowTextLogo(const LogoBitmap &logo) {
    SetImage(Control("Image3"), LogoImage(logo));
}

void TfrmTegrola::ShowTextFit(const std::string &problem) {
    ::SetWindowTextW(Control("TextFit"), Wide(problem).c_str());
    ::ShowWindow(Control("TextFit"), problem.empty() ? SW_HIDE : SW_SHOW);
}

void TfrmTegrola::SetTextFont(const LogoFont &font) {
    const LOGFONTW shown = ScreenFont(font);
    const HFONT before = FMemoFont;
    FMemoFont = ::CreateFontIndirectW(&shown);
    ::SendMessageW(Control("Memo1"), WM_SETFONT, WPARAM(FMemoFont), TRUE);
    if (before) ::DeleteObject(before);
}

// A multi-line edit tells no change made with its text set from code: the change is told here.
void TfrmTegrola::ClearText() {
    FQuiet = true;
    ::SetWindowTextW(Control("Memo1"), L"");
    FQuiet = false;
    FLogic->Memo1Change(std::string());
}
