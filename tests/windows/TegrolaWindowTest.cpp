// Tegrola's Win32 window driven in this process under Wine, against the Linux simulator
// registered as a COM port: controls found by their identifiers (the design's names), clicks,
// list choices with the change notifications the lists would send, typing into the memo, the
// status panels read back, the dialogs behind the logic's dialog interface and the settings in
// the registry. With TEGROLA_SCREENSHOTS set to a folder, one test writes the window's pictures
// there (three languages, both pages) as BMP files. One test answers the system's own dialogs.
#include <gtest/gtest.h>

#include "core/Captions.h"
#include "win32/GdiTextRasterizer.h"
#include "win32/Ufrmtegrola.h"

#include <commctrl.h>

#include <zarelcom/zarelcom.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// The simulator, at 9600 bit/s: the first rate a search tries.
constexpr int PrinterCom = ZARELCOM_TEST_WINDOW_PRINTER_COM;
constexpr int SilentCom = ZARELCOM_TEST_WINDOW_SILENT_COM; // a simulator that never answers
// Listed, with no device behind it (Wine opens COM<n> as /dev/ttyS<n-1> when no link names it).
constexpr int AbsentCom = 99;
const wchar_t *const SerialMap = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

using Clock = std::chrono::steady_clock;

std::wstring W(const std::string &text) { return Wide(text); }

std::vector<uint8_t> ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t> &bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// A 24-bit picture: black on its left half, white on its right; with ring, a black ring on white.
void WriteHalfBlackPicture(const std::string &path, int width, int height, bool ring = false) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + size_t(stride) * size_t(height), 0);
    const auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + size_t(i)] = uint8_t(value >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put(2, uint32_t(file.size()), 4), put(10, 54, 4), put(14, 40, 4), put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4), put(26, 1, 2), put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 2, dy = y - height / 2, r2 = dx * dx + dy * dy;
            const int outer = height * height / 5, inner = height * height / 11;
            const bool black =
                ring ? (r2 <= outer && r2 >= inner) || (y > height * 2 / 5 && y < height * 3 / 5)
                     : x < width / 2;
            if (!black)
                for (int c = 0; c < 3; ++c) file[54 + size_t(y * stride + x * 3 + c)] = 255;
        }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
}

std::wstring Setting(const wchar_t *section, const wchar_t *name) {
    wchar_t value[256] = L"";
    DWORD size = sizeof value;
    const std::wstring key = std::wstring(RegistrySettingsStore::kRoot) + L"\\" + section;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS)
        return L"<none>";
    return value;
}

void StoreSetting(const wchar_t *section, const wchar_t *name, const wchar_t *value) {
    const std::wstring key = std::wstring(RegistrySettingsStore::kRoot) + L"\\" + section;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value,
                      DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
}

bool KeyExists(const wchar_t *section) {
    HKEY key;
    const std::wstring path = std::wstring(RegistrySettingsStore::kRoot) + L"\\" + section;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// The logic's dialogs, answered by the test: what would have been shown is kept.
class TestDialogs : public Dialogs {
public:
    void ShowMessage(const std::string &text) override { messages.push_back(text); }
    std::string ChoosePicture() override { return picture; }
    std::string ChooseLogoFile() override { return logoFile; }
    bool ChooseFont(const LogoFont &, LogoFont *chosen) override {
        if (font.family.empty()) return false;
        *chosen = font;
        return true;
    }
    std::vector<std::string> messages;
    std::string picture, logoFile;
    LogoFont font;
};

// The library, with the port list cut to the test's own ports: the other tests' lines (a device
// server on COM7, the fault rows' simulators) are left alone by the window's searches.
class TestPortsPrinter : public LibraryPrinter {
public:
    std::vector<zc_port_info> Ports() override {
        std::vector<zc_port_info> ports = LibraryPrinter::Ports(), own;
        for (const zc_port_info &port : ports)
            if (port.number == PrinterCom || port.number == SilentCom || port.number == AbsentCom)
                own.push_back(port);
        return own;
    }
};

class TegrolaWindowTest : public ::testing::Test {
protected:
    // The test's ports in the system's serial port map while the tests run.
    static void SetUpTestSuite() {
        ASSERT_TRUE(RegisterTegrolaClasses());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, SerialMap, 0, nullptr, REG_OPTION_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &map_, nullptr),
                  ERROR_SUCCESS);
        for (const auto &[driver, port] : {std::pair{L"\\Device\\TegrolaPrinter", PrinterCom},
                                           std::pair{L"\\Device\\TegrolaSilent", SilentCom},
                                           std::pair{L"\\Device\\TegrolaAbsent", AbsentCom}}) {
            const std::wstring name = L"COM" + std::to_wstring(port);
            ::RegSetValueExW(map_, driver, 0, REG_SZ, reinterpret_cast<const BYTE *>(name.c_str()),
                             DWORD((name.size() + 1) * sizeof(wchar_t)));
        }
    }
    static void TearDownTestSuite() {
        for (const wchar_t *driver :
             {L"\\Device\\TegrolaPrinter", L"\\Device\\TegrolaSilent", L"\\Device\\TegrolaAbsent"})
            ::RegDeleteValueW(map_, driver);
        ::RegCloseKey(map_);
    }

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, RegistrySettingsStore::kRoot);
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring dir = std::wstring(temp) + L"tegrola-window-test";
        ::CreateDirectoryW(dir.c_str(), nullptr);
        programDir = Utf8(dir);
        for (const char *file : {"tempold.bmp", "tempnew.bmp"}) std::remove(Work(file).c_str());
    }

    void TearDown() override {
        form.reset();
        CloseComPort();
    }

    void Open() {
        form = std::make_unique<TfrmTegrola>(programDir,
                                             Win32Replacements{&dialogs, nullptr, &printer});
        form->Show(SW_SHOWNOACTIVATE);
        Pump(0);
    }

    std::string Work(const char *name) const { return programDir + "\\" + name; }
    HWND C(const std::string &name) const {
        const HWND control = form->Control(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Runs the window's messages until done() holds or the time is up; watch() after each one.
    bool PumpUntil(const std::function<bool()> &done, int milliseconds,
                   const std::function<void()> &watch = {}) {
        const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
                if (watch) watch();
            }
            if (done && done()) return true;
            if (Clock::now() >= end) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    void Pump(int milliseconds) { PumpUntil({}, milliseconds); }

    void Click(const std::string &name) {
        const HWND button = C(name);
        ASSERT_TRUE(::IsWindowVisible(button) && ::IsWindowEnabled(button)) << name;
        ::SendMessageW(button, BM_CLICK, 0, 0);
    }
    // A list's choice, and the notification the list sends for a choice of the operator.
    void Choose(const std::string &name, int index) {
        const HWND list = C(name);
        ::SendMessageW(list, CB_SETCURSEL, WPARAM(index), 0);
        ::SendMessageW(::GetParent(list), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
    }
    int Selection(const std::string &name) {
        return int(::SendMessageW(C(name), CB_GETCURSEL, 0, 0));
    }
    int PortIndex(int com) {
        const std::wstring name = L"COM" + std::to_wstring(com);
        return int(::SendMessageW(C("ComboBox1"), CB_FINDSTRINGEXACT, WPARAM(-1),
                                  reinterpret_cast<LPARAM>(name.c_str())));
    }
    // A page shown, as the page control tells of a tab the operator clicked.
    void ShowPage(int page) {
        const HWND tabs = C("PageControl2");
        ::SendMessageW(tabs, TCM_SETCURSEL, WPARAM(page), 0);
        NMHDR header{tabs, UINT_PTR(::GetDlgCtrlID(tabs)), UINT(TCN_SELCHANGE)};
        ::SendMessageW(::GetParent(tabs), WM_NOTIFY, header.idFrom,
                       reinterpret_cast<LPARAM>(&header));
    }
    std::wstring Status(const char *bar, int panel) {
        const HWND status = C(bar);
        const int length = LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, WPARAM(panel), 0));
        std::wstring text(size_t(length) + 1, L'\0');
        ::SendMessageW(status, SB_GETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(text.data()));
        text.resize(size_t(length));
        return text;
    }
    std::wstring Text(const std::string &name) {
        const HWND control = C(name);
        std::wstring text(size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
        return text;
    }
    std::wstring TabText(int page) {
        wchar_t text[128] = L"";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        ::SendMessageW(C("PageControl2"), TCM_GETITEMW, WPARAM(page),
                       reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void Type(const std::wstring &text) {
        const HWND memo = C("Memo1");
        for (wchar_t c : text) ::SendMessageW(memo, WM_CHAR, c, 1);
    }
    void ConnectByOpenPort() {
        Choose("ComboBox1", PortIndex(PrinterCom));
        Choose("ComboBox3", 0); // 9600 bit/s
        Click("SpeedButton1");
        ASSERT_TRUE(form->Logic()->Connected()) << Utf8(Status("StatusBar2", 1));
    }

    static inline HKEY map_ = nullptr;
    std::string programDir;
    TestDialogs dialogs;
    TestPortsPrinter printer;
    std::unique_ptr<TfrmTegrola> form;
};

TEST_F(TegrolaWindowTest, StartsWithTheDesignsControlsByTheirNames) {
    Open();
    for (const char *name : {"GroupBox20",
                             "SpeedButton1",
                             "SpeedButton2",
                             "SpeedButton55",
                             "Label1",
                             "ComboBox1",
                             "Label2",
                             "ComboBox3",
                             "ComboBox2",
                             "Label3",
                             "ComboBox4",
                             "Animate1",
                             "GroupBox6",
                             "Panel4",
                             "Animate2",
                             "PageControl2",
                             "TabSheet3",
                             "SpeedButton48",
                             "SpeedButton53",
                             "SpeedButton46",
                             "ScrollBox2",
                             "Image2",
                             "ScrollBox1",
                             "Image1",
                             "TabSheet4",
                             "SpeedButton49",
                             "SpeedButton54",
                             "SpeedButton47",
                             "ScrollBox3",
                             "Image3",
                             "Memo1",
                             "RadioGroup2",
                             "RadioGroup2Item0",
                             "RadioGroup2Item1",
                             "RadioGroup2Item2",
                             "GroupBox22",
                             "SpeedButton51",
                             "SpeedButton59",
                             "SpeedButton60",
                             "SpeedButton52",
                             "SpeedButton61",
                             "SpeedButton50",
                             "StatusBar1",
                             "StatusBar2"}) {
        const HWND control = C(name);
        EXPECT_EQ(::GetDlgCtrlID(control), TfrmTegrola::ControlId(name)) << name;
    }
    std::wstring caption(64, L'\0');
    caption.resize(size_t(::GetWindowTextW(form->Handle(), caption.data(), 64)));
    EXPECT_EQ(caption, L"ZarelHP Tegrola   V2.06");
    // The design's defaults: the first port (CommPort 1), 19200 bit/s, English, the page "New
    // Logo".
    EXPECT_EQ(::SendMessageW(C("ComboBox1"), CB_GETCOUNT, 0, 0), 3);
    for (int com : {PrinterCom, SilentCom, AbsentCom}) EXPECT_GE(PortIndex(com), 0) << com;
    EXPECT_EQ(Selection("ComboBox1"), 0);
    EXPECT_EQ(Selection("ComboBox3"), 1);
    EXPECT_EQ(Selection("ComboBox2"), 8);
    EXPECT_EQ(Selection("ComboBox4"), 0);
    EXPECT_TRUE(::IsWindowVisible(C("TabSheet4")));
    EXPECT_FALSE(::IsWindowVisible(C("TabSheet3")));
    EXPECT_EQ(Status("StatusBar1", 0), L"Status");
    EXPECT_EQ(Status("StatusBar2", 0), L"System");
    EXPECT_EQ(Text("Memo1"), L"This is Test.");
    EXPECT_TRUE(::IsWindowVisible(C("SpeedButton1")));
    EXPECT_FALSE(::IsWindowVisible(C("SpeedButton2")));
    EXPECT_FALSE(::IsWindowVisible(C("Animate1")));
    // The first redraw wrote the text logo; the settings' sections exist, empty.
    EXPECT_EQ(ReadFile(Work("tempnew.bmp")).size() > 62, true);
    for (const wchar_t *section : {L"Comm", L"LogoFont", L"Lang"}) EXPECT_TRUE(KeyExists(section));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TegrolaWindowTest, CaptionsInTheThreeLanguagesAndTheChoiceStored) {
    Open();
    const struct {
        int index;
        const wchar_t *label1, *sendLogo, *newLogoTab, *system;
    } languages[] = {
        {1, L"通訊阜  ", L"傳送圖檔  ", L"新圖 ", L"系統  "},
        {2, L"接口  ", L"传送图档  ", L"新图  ", L"系统  "},
        {0, L"COM Port", L"Send Logo", L"New Logo", L"System"},
    };
    for (const auto &language : languages) {
        SCOPED_TRACE(language.index);
        Choose("ComboBox4", language.index);
        EXPECT_EQ(Text("Label1"), language.label1);
        EXPECT_EQ(Text("SpeedButton46"), language.sendLogo);
        EXPECT_EQ(TabText(1), language.newLogoTab);
        EXPECT_EQ(Status("StatusBar2", 0), language.system);
        // Every caption of the table, as the table has it.
        for (const TCaption &caption : CaptionTable) {
            const char *expected = CaptionFor(caption, language.index);
            const std::string control = caption.Control;
            if (!expected || control == "StatusBar1" || control == "StatusBar2" ||
                control == "TabSheet3" || control == "TabSheet4")
                continue;
            EXPECT_EQ(Text(control), W(expected)) << control;
        }
        EXPECT_EQ(Setting(L"Lang", L"Langurge"), std::to_wstring(language.index));
    }
    // Traditional, then Simplified: GroupBox20 stays as the Traditional set left it (empty).
    Choose("ComboBox4", 1);
    Choose("ComboBox4", 2);
    EXPECT_EQ(Text("GroupBox20"), L"");
    // Typed text that names no language: English, and nothing stored (the logic's Settings keep
    // the last language chosen).
    const HWND combo = C("ComboBox4");
    ::SetWindowTextW(combo, L"abc");
    ::SendMessageW(::GetParent(combo), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(combo), CBN_EDITCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(Text("Label1"), L"COM Port");
    EXPECT_EQ(Text("ComboBox4"), L"abc");
    EXPECT_EQ(Setting(L"Lang", L"Langurge"), L"2");
}

TEST_F(TegrolaWindowTest, SettingsStoredAreReadBackAtStartUp) {
    Open();
    const int printerPosition = PortIndex(PrinterCom) + 1;
    form.reset();
    StoreSetting(L"Comm", L"CommPort", std::to_wstring(printerPosition).c_str());
    StoreSetting(L"Comm", L"BaudRate", L"4");
    StoreSetting(L"Lang", L"Langurge", L"2");
    StoreSetting(L"LogoFont", L"FontName", L"Tahoma");
    StoreSetting(L"LogoFont", L"FontSize", L"12");
    Open();
    EXPECT_EQ(Selection("ComboBox1"), printerPosition - 1);
    EXPECT_EQ(Selection("ComboBox3"), 4);
    EXPECT_EQ(Selection("ComboBox2"), 12);
    EXPECT_EQ(Selection("ComboBox4"), 2);
    EXPECT_EQ(Text("SpeedButton48"), W(CaptionFor(CaptionTable[3], liSimplifiedChinese)));
    EXPECT_EQ(Text("GroupBox20"), L"Communication");
    EXPECT_EQ(form->Logic()->Font().family, "Tahoma");
    EXPECT_EQ(form->Logic()->Font().points, 12);

    // Set Font stores the chosen name and size.
    dialogs.font = LogoFont{"DejaVu Sans", 14, false, false};
    Click("SpeedButton50");
    EXPECT_EQ(Setting(L"LogoFont", L"FontName"), L"DejaVu Sans");
    EXPECT_EQ(Setting(L"LogoFont", L"FontSize"), L"14");
}

TEST_F(TegrolaWindowTest, OpenPortConnectsAndStoresThePortAndRate) {
    Open();
    ConnectByOpenPort();
    EXPECT_EQ(Status("StatusBar1", 1), L"Try 1");
    EXPECT_EQ(Status("StatusBar2", 1).rfind(L" ZAREL HP MODEL ", 0), 0u)
        << Utf8(Status("StatusBar2", 1));
    EXPECT_TRUE(::IsWindowVisible(C("SpeedButton2")));
    EXPECT_FALSE(::IsWindowVisible(C("SpeedButton1")));
    EXPECT_FALSE(::IsWindowVisible(C("SpeedButton55")));
    EXPECT_FALSE(::IsWindowEnabled(C("ComboBox1")));
    EXPECT_FALSE(::IsWindowEnabled(C("ComboBox3")));
    EXPECT_EQ(Setting(L"Comm", L"CommPort"), std::to_wstring(PortIndex(PrinterCom) + 1));
    EXPECT_EQ(Setting(L"Comm", L"BaudRate"), L"0");
    EXPECT_EQ(Selection("ComboBox2"), 6); // the port rate code of 9600 bit/s
    EXPECT_EQ(Setting(L"Comm", L"AutoConnect"), L"0");
    Click("SpeedButton2"); // Stop Port
    EXPECT_FALSE(form->Logic()->Connected());
    EXPECT_EQ(Status("StatusBar2", 1), L"");
    EXPECT_TRUE(::IsWindowVisible(C("SpeedButton1")));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TegrolaWindowTest, AutoConnectSearchesOnItsThreadAndFindsThePrinterOnAnotherPort) {
    Open();
    Choose("ComboBox1", PortIndex(AbsentCom));
    Click("SpeedButton55");
    // The search runs on its own thread: the window shows it and stays responsive.
    EXPECT_TRUE(::IsWindowVisible(C("Animate1")));
    EXPECT_FALSE(::IsWindowEnabled(C("SpeedButton55")));
    const auto start = Clock::now();
    ASSERT_TRUE(PumpUntil([&] { return !form->Logic()->Busy(); }, 30000));
    std::printf(
        "[ figures  ] Auto Connect found COM%d in %lld ms\n", PrinterCom,
        (long long)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
            .count());
    ASSERT_TRUE(form->Logic()->Connected())
        << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
    EXPECT_EQ(Selection("ComboBox1"), PortIndex(PrinterCom));
    EXPECT_EQ(Selection("ComboBox3"), 0); // 9600 bit/s, found at the first rate
    EXPECT_FALSE(::IsWindowVisible(C("Animate1")));
    EXPECT_EQ(Status("StatusBar2", 1).rfind(L" ZAREL HP MODEL ", 0), 0u);
    EXPECT_EQ(Setting(L"Comm", L"CommPort"), std::to_wstring(PortIndex(PrinterCom) + 1));
    EXPECT_EQ(Setting(L"Comm", L"BaudRate"), std::to_wstring(Selection("ComboBox3")));
}

TEST_F(TegrolaWindowTest, TextLogoInEachHeightIsOneBitOfTheTextsWidth) {
    Open();
    Click("SpeedButton49"); // New Text
    EXPECT_EQ(Text("Memo1"), L"");
    Type(L"LOT 42");
    EXPECT_EQ(Text("Memo1"), L"LOT 42");
    const GdiTextRasterizer font(form->Logic()->Font().family, form->Logic()->Font().points);
    const int width = font.LineWidth("LOT 42");
    ASSERT_GT(width, 0);
    const struct { int item, height; } heights[] = {{1, 25}, {2, 17}, {0, 50}};
    for (const auto &choice : heights) {
        SCOPED_TRACE(choice.height);
        Click("RadioGroup2Item" + std::to_string(choice.item));
        EXPECT_EQ(form->Logic()->LogoHeight(), choice.height);
        const std::vector<uint8_t> logo = ReadFile(Work("tempnew.bmp"));
        ASSERT_GE(logo.size(), 62u);
        EXPECT_EQ(logo[0], 'B');
        EXPECT_EQ(logo[1], 'M');
        EXPECT_EQ(U32(logo, 18), uint32_t(width));
        EXPECT_EQ(U32(logo, 22), uint32_t(choice.height));
        EXPECT_EQ(logo[28], 1);              // one bit a pixel
        EXPECT_EQ(U32(logo, 54), 0u);        // colour 0 black
        EXPECT_EQ(U32(logo, 58), 0xFFFFFFu); // colour 1 white
        EXPECT_EQ(logo.size(), 62u + 4u * ((unsigned(width) + 31) / 32) * unsigned(choice.height));
        size_t black = 0;
        for (size_t i = 62; i < logo.size(); ++i) black += logo[i] != 0xFF;
        EXPECT_GT(black, 0u) << "nothing drawn";
        // The same text again: the same bytes.
        Click("SpeedButton61"); // Auto
        EXPECT_EQ(ReadFile(Work("tempnew.bmp")), logo);
    }
    // Down moves the text one dot: the logo changes, its size does not.
    const std::vector<uint8_t> before = ReadFile(Work("tempnew.bmp"));
    Click("SpeedButton52");
    EXPECT_EQ(form->Logic()->TextTop(), 1);
    const std::vector<uint8_t> moved = ReadFile(Work("tempnew.bmp"));
    EXPECT_EQ(moved.size(), before.size());
    EXPECT_NE(moved, before);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TegrolaWindowTest, LogosAreSentWithTheirProgressIntoAFreeSlot) {
    Open();
    ConnectByOpenPort();
    const std::string picture = programDir + "\\picture.bmp";
    WriteHalfBlackPicture(picture, 100, 100);
    dialogs.picture = picture;
    ShowPage(0);
    EXPECT_TRUE(::IsWindowVisible(C("TabSheet3")));
    Click("SpeedButton48"); // Open Picture
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0];
    EXPECT_EQ(ReadFile(Work("tempold.bmp")).size(), 462u); // 56 x 50
    ShowPage(1);

    const struct {
        int page;
        const char *button, *file;
    } sends[] = {{0, "SpeedButton46", "tempold.bmp"}, {1, "SpeedButton47", "tempnew.bmp"}};
    for (const auto &send : sends) {
        SCOPED_TRACE(send.file);
        ShowPage(send.page);
        const std::wstring done = L"Send Logo " + W(form->Logic()->WorkFile(send.file)) + L" OK";
        std::set<std::wstring> shown;
        const auto start = Clock::now();
        Click(send.button);
        EXPECT_TRUE(::IsWindowVisible(C("Animate2")));
        ASSERT_TRUE(PumpUntil([&] { return !form->Logic()->Busy(); }, 30000,
                              [&] { shown.insert(Status("StatusBar1", 1)); }));
        std::printf(
            "[ figures  ] %s sent in %lld ms, %zu status texts\n", send.file,
            (long long)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                .count(),
            shown.size());
        EXPECT_EQ(Status("StatusBar1", 1), done);
        EXPECT_TRUE(shown.count(L"Send Logo Please Wait"));
        // The library's progress lines, shown with a blank in front.
        size_t progress = 0;
        for (const std::wstring &text : shown) progress += text.rfind(L" ", 0) == 0;
        EXPECT_GT(progress, 0u);
        const std::wstring printer = Status("StatusBar2", 1);
        const size_t slot = printer.find(L"   Logo in slot ");
        ASSERT_NE(slot, std::wstring::npos) << Utf8(printer);
        const int number = std::stoi(printer.substr(slot + 16));
        EXPECT_GE(number, 1);
        EXPECT_LE(number, 50);
        EXPECT_FALSE(::IsWindowVisible(C("Animate2")));
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TegrolaWindowTest, SendingWhileNotConnectedOnlySaysSo) {
    Open();
    Click("SpeedButton47");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], " Not Connector ZAREL HP!!");
}

// The system's dialog the window's thread shows next, answered from another thread as the
// operator would: act(dialog) fills it in, then OK. What it showed is kept.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(HWND)> act = {})
        : thread_(::GetCurrentThreadId()), answering_([this, act] {
              for (int i = 0; i < 1000 && !box; ++i) {
                  ::EnumThreadWindows(thread_, &DialogAnswer::Find, reinterpret_cast<LPARAM>(this));
                  if (!box) ::Sleep(10);
              }
              if (!box) return;
              ::Sleep(100); // let it finish its start
              wchar_t text[256] = L"";
              ::GetWindowTextW(box, text, 256);
              title = text;
              ::EnumChildWindows(box, &DialogAnswer::Collect, reinterpret_cast<LPARAM>(this));
              if (act) act(box);
              ::PostMessageW(box, WM_COMMAND, IDOK, 0);
          }) {}
    ~DialogAnswer() { Wait(); }
    void Wait() {
        if (answering_.joinable()) answering_.join();
    }
    HWND box = nullptr;
    std::wstring title, texts; // texts: every child's text, each followed by "|"

private:
    static BOOL CALLBACK Find(HWND window, LPARAM context) {
        wchar_t name[32] = L"";
        ::GetClassNameW(window, name, 32);
        if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
        reinterpret_cast<DialogAnswer *>(context)->box = window;
        return FALSE;
    }
    static BOOL CALLBACK Collect(HWND child, LPARAM context) {
        wchar_t text[256] = L"";
        ::GetWindowTextW(child, text, 256);
        reinterpret_cast<DialogAnswer *>(context)->texts += std::wstring(text) + L"|";
        return TRUE;
    }
    DWORD thread_;
    std::thread answering_;
};

// The first edit field of a dialog, which in the save dialog holds the file name.
HWND FirstEdit(HWND dialog) {
    HWND found = nullptr;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM context) -> BOOL {
            wchar_t name[32] = L"";
            ::GetClassNameW(child, name, 32);
            if (std::wstring(name) != L"Edit" || !::IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND *>(context) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The system's own message box, font dialog and save dialog, answered as the operator would.
TEST_F(TegrolaWindowTest, TheSystemsOwnDialogsAnswered) {
    form = std::make_unique<TfrmTegrola>(programDir, Win32Replacements{nullptr, nullptr, &printer});
    form->Show(SW_SHOWNOACTIVATE);
    Pump(0);
    {
        // A refusal: its text, the system's default title, OK.
        DialogAnswer answer;
        Click("SpeedButton47"); // Send Logo, not connected: returns once the box is answered
        answer.Wait();
        ASSERT_NE(answer.box, nullptr) << "no message box appeared";
        EXPECT_EQ(answer.title, L"Error");
        EXPECT_NE(answer.texts.find(L" Not Connector ZAREL HP!!|"), std::wstring::npos)
            << Utf8(answer.texts);
    }
    {
        // The font dialog, confirmed as it opened: the logo font's name and size are stored.
        DialogAnswer answer;
        Click("SpeedButton50");
        answer.Wait();
        ASSERT_NE(answer.box, nullptr) << "no font dialog appeared";
        EXPECT_NE(Setting(L"LogoFont", L"FontName"), L"<none>");
        EXPECT_EQ(Setting(L"LogoFont", L"FontName"), W(form->Logic()->Font().family));
        EXPECT_EQ(Setting(L"LogoFont", L"FontSize"), std::to_wstring(form->Logic()->Font().points));
    }
    {
        // Save Logo As with a name typed: the text logo is written there.
        const std::string saved = programDir + "\\saved.bmp";
        std::remove(saved.c_str());
        DialogAnswer answer([&saved](HWND dialog) {
            const HWND name = FirstEdit(dialog);
            if (name)
                ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(saved).c_str()));
        });
        Click("SpeedButton54");
        answer.Wait();
        ASSERT_NE(answer.box, nullptr) << "no save dialog appeared";
        EXPECT_EQ(ReadFile(saved), ReadFile(Work("tempnew.bmp")));
    }
}

TEST_F(TegrolaWindowTest, ClosingDuringASearchEndsItAtOnce) {
    Open();
    Choose("ComboBox1", PortIndex(SilentCom));
    Click("SpeedButton55");
    Pump(500);
    ASSERT_TRUE(form->Logic()->Busy()) << "the search of a silent printer ended by itself";
    const auto start = Clock::now();
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    std::printf("[ figures  ] the window closed during a search in %lld ms\n", (long long)took);
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_EQ(form->Logic(), nullptr);
    // The logic ends a search within about a second: the try under way fails once its port closes.
    EXPECT_LT(took, 2500);
}

// The window's pictures for the README: both pages in the three languages, connected, with a
// picture opened. Written only when TEGROLA_SCREENSHOTS names a folder.
TEST_F(TegrolaWindowTest, Screenshots) {
    wchar_t folder[MAX_PATH];
    if (!::GetEnvironmentVariableW(L"TEGROLA_SCREENSHOTS", folder, MAX_PATH))
        GTEST_SKIP() << "TEGROLA_SCREENSHOTS names no folder";
    Open();
    ConnectByOpenPort();
    const std::string picture = programDir + "\\picture.bmp";
    WriteHalfBlackPicture(picture, 160, 100, true);
    dialogs.picture = picture;
    ShowPage(0);
    Click("SpeedButton48");
    const char *languages[] = {"english", "traditional-chinese", "simplified-chinese"};
    for (int language = 0; language < 3; ++language)
        for (int page = 0; page < 2; ++page) {
            Choose("ComboBox4", language);
            ShowPage(page);
            ::RedrawWindow(form->Handle(), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN |
                               RDW_FRAME);
            Pump(300);
            RECT frame;
            ::GetWindowRect(form->Handle(), &frame);
            const int width = int(frame.right - frame.left), height = int(frame.bottom - frame.top);
            const HDC screen = ::GetDC(nullptr);
            const HDC copy = ::CreateCompatibleDC(screen);
            BITMAPINFO info{};
            info.bmiHeader = {
                sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            void *bits = nullptr;
            const HBITMAP bitmap =
                ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            const HGDIOBJ before = ::SelectObject(copy, bitmap);
            ::BitBlt(copy, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
            ::GdiFlush();
            const size_t stride = (size_t(width) * 3 + 3) / 4 * 4, size = stride * size_t(height);
            BITMAPFILEHEADER header{
                0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
            const std::wstring path = std::wstring(folder) + L"\\tegrola-windows-" +
                                      W(languages[language]) +
                                      (page ? L"-new-logo" : L"-exist-logo") + L".bmp";
            std::ofstream file(path.c_str(), std::ios::binary);
            file.write(reinterpret_cast<const char *>(&header), sizeof header);
            file.write(reinterpret_cast<const char *>(&info.bmiHeader), sizeof info.bmiHeader);
            file.write(static_cast<const char *>(bits), std::streamsize(size));
            ::SelectObject(copy, before);
            ::DeleteObject(bitmap);
            ::DeleteDC(copy);
            ::ReleaseDC(nullptr, screen);
        }
}

} // namespace
