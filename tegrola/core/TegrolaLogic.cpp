#include "core/TegrolaLogic.h"

#include "core/Captions.h"
#include "core/PortAdvice.h"
#include "core/WorkFolder.h"
#include "logo/FilePaths.h"
#include "logo/PictureFile.h"
#include "logo/PictureLogo.h"
#include "logo/TextLogo.h"

#include <algorithm>
#include <cctype>

namespace {

// The port rate code (ComboBox2's index) for a printer baud index (ComboBox3's index); 19200's
// when none is selected.
int PortRateCode(int baudIndex) {
    static constexpr int32_t rates[ZC_SEARCH_RATE_COUNT] = ZC_SEARCH_RATES;
    return baudIndex >= 0 && baudIndex < ZC_SEARCH_RATE_COUNT ? rates[baudIndex] : ZC_BR19200;
}

std::string Lowered(std::string text) {
    for (char &c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

// What the search's thread found, handed to the window's thread.
struct TegrolaLogic::SearchResult {
    bool found = false;
    std::vector<int32_t> candidates;
    bool infoRead = false;
    SystemInfo info{};
    std::string advice; // what to do about the ports that did not open
};

const std::vector<std::string> &TegrolaLogic::LanguageItems() {
    static const std::vector<std::string> items = {"English", "Traditional Chinese(Taiwan)",
                                                   "Simple Chinese"};
    return items;
}

const std::vector<std::string> &TegrolaLogic::BaudItems() {
    static const std::vector<std::string> items = {"9600", "19200", "38400", "57600", "115200"};
    return items;
}

TegrolaLogic::TegrolaLogic(const WindowParts &parts, const std::string &programDir)
    : View(parts.view), Thread(parts.thread), Dialog(parts.dialogs), Fonts(parts.fonts),
      Library(parts.printer), FSettings(parts.settings),
      FProgramDir(programDir), FLogoFont{"MS Sans Serif", 8, false, false} {}

TegrolaLogic::~TegrolaLogic() {
    *FAlive = false;
    // A search still running is stopped, so that the program ends at once and lets go of the
    // port: the try under way fails when its port closes.
    if (FSearching) {
        FStopSearch = true;
        Library.ClosePort();
    }
    JoinWorker();
}

void TegrolaLogic::JoinWorker() {
    if (FWorker.joinable()) FWorker.join();
}

// ---- Start-up and settings ----------------------------------------------------------------------

void TegrolaLogic::Start() {
    ApplyLanguage(); // no language selected yet: English
    FormCreate();
    // Timer1: one automatic connection after start-up, whatever the stored AutoConnect flag says,
    // unless the operator has connected or tried to before it is due.
    const auto alive = FAlive;
    Thread.After(1000, [this, alive] {
        if (*alive && FStartUpSearchDue) SpeedButton55Click();
    });
}

void TegrolaLogic::FormCreate() {
    FillComPortList();
    LoadSettings();
    FLogoHeight = 50;
    FAppDir = WorkFolder(FProgramDir);
    ApplyLanguage();
}

void TegrolaLogic::FormShow() { TabSheet4Show(); }

void TegrolaLogic::FillComPortList() {
    FPorts = Library.Ports();
    std::vector<PortEntry> entries;
    for (const zc_port_info &port : FPorts) {
        // Each item tells, when pointed at, which device it opens.
        std::string about = port.device;
        for (const char *detail : {port.description, port.by_id})
            if (*detail) about += std::string("\n") + detail;
        entries.push_back({"COM" + std::to_string(port.number), about});
    }
    View.SetPortList(entries);
    // The second item, as the window always did; with a single item none.
    FPortIndex = FPorts.size() > 1 ? 1 : -1;
    View.SelectPort(FPortIndex);
}

void TegrolaLogic::LoadSettings() {
    const StoredSettings stored = FSettings.Load();
    FAutoConnect = stored.autoConnect;
    FCommPort = stored.commPort;
    FBaudIndex = stored.baudIndex;
    FPortIndex = FCommPort >= 1 && FCommPort <= int(FPorts.size()) ? FCommPort - 1 : -1;
    View.SelectPort(FPortIndex);
    SelectBaud(FBaudIndex);
    if (!stored.fontName.empty()) FLogoFont.family = stored.fontName;
    FLogoFont.points = stored.fontSize;
    View.SetTextFont(FLogoFont);
    if (!stored.languageStored) {
        FLanguageIndex = liEnglish;
        View.SelectLanguage(FLanguageIndex);
        return;
    }
    const int items = int(LanguageItems().size());
    FLanguageIndex =
        stored.languageIndex >= 0 && stored.languageIndex < items ? stored.languageIndex : -1;
    View.SelectLanguage(FLanguageIndex);
    ApplyLanguage();
}

void TegrolaLogic::SaveSettings() {
    FCommPort = FPortIndex + 1;
    FBaudIndex = FBaudSelection;
    FSettings.Save(FAutoConnect, FCommPort, FBaudIndex, FLanguageIndex);
}

void TegrolaLogic::SelectBaud(int index) {
    FBaudSelection = index >= 0 && index < int(BaudItems().size()) ? index : -1;
    View.SelectBaud(FBaudSelection, PortRateCode(FBaudSelection));
}

// ---- Languages ----------------------------------------------------------------------------------

void TegrolaLogic::ApplyLanguage() {
    View.SetWindowCaption(kWindowCaption);
    for (const TCaption &caption : CaptionTable)
        if (const char *text = CaptionFor(caption, FLanguageIndex))
            View.SetCaption(caption.Control, text);
}

void TegrolaLogic::ComboBox4Change(int index) {
    FLanguageIndex = index;
    ApplyLanguage();
    FSettings.SaveLanguage(FLanguageIndex);
}

void TegrolaLogic::ComboBox4TextEdited(const std::string &text) {
    const std::vector<std::string> &items = LanguageItems();
    int index = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (Lowered(items[i]) == Lowered(text)) index = int(i);
    View.SelectLanguage(index);
    ComboBox4Change(index);
}

// ---- Connection ---------------------------------------------------------------------------------

int32_t TegrolaLogic::PortNumber(int index) const {
    return index >= 0 && index < int(FPorts.size()) ? FPorts[size_t(index)].number : -1;
}

std::string TegrolaLogic::PortName(int index) const {
    const int32_t number = PortNumber(index);
    return number < 0 ? std::string() : "COM" + std::to_string(number);
}

void TegrolaLogic::ComboBox1Change(int index) { FPortIndex = index; }

void TegrolaLogic::ComboBox3Change(int index) {
    SelectBaud(index);
    FBaudIndex = FBaudSelection;
}

void TegrolaLogic::ShowConnectedLook(bool connected) { View.ShowConnected(connected); }

void TegrolaLogic::ShowPrinterInfo(const SystemInfo &info) {
    FPrinterInfo = " ZAREL HP MODEL " + std::to_string(info.ModelNo) + "  V" +
                   std::to_string(info.Version / 100) + "." + std::to_string(info.Version % 100) +
                   " Ref. Date : " + std::to_string(info.RefYear) + "-" +
                   std::to_string(info.RefMonthDay / 31) + "-" +
                   std::to_string(info.RefMonthDay % 31) + "  S/N:" + std::to_string(info.SerialNo);
    View.SetStatus(2, FPrinterInfo);
}

// The library's progress lines go to StatusBar1 from the thread of the transfer.
void TegrolaLogic::ListenToProgress() {
    const auto alive = FAlive;
    Library.ListenToProgress([this, alive](const std::string &line) {
        Thread.Post([this, alive, shown = " " + line] {
            if (!*alive) return;
            View.SetStatus(1, shown);
            View.Repaint();
        });
    });
}

void TegrolaLogic::SpeedButton1Click() {
    if (Busy()) return;
    FStartUpSearchDue = false;
    View.RunSearchAnimation(true);
    View.SetConnecting(true);
    const int32_t port = PortNumber(FPortIndex);
    std::string advice, raised;
    for (int attempt = 1; attempt <= 3 && advice.empty() && raised.empty(); ++attempt) {
        View.SetStatus(1, "Try " + std::to_string(attempt));
        View.Repaint();
        SystemInfo info{};
        const bool opened =
            Library.OpenPort(port) && Library.SetPortRate(PortRateCode(FBaudSelection));
        if (!opened) {
            // A port that did not open says why; a port error raised by a call ends the attempt.
            advice = PortOpenAdvice(PortName(FPortIndex), Library.PortFailure());
            if (advice.empty()) raised = Library.RaisedPortError();
        }
        if (opened && Library.PrintStatus() != -1 && Library.ReadSystemInfo(&info)) {
            ListenToProgress();
            ShowPrinterInfo(info);
            FConnected = true;
            ShowConnectedLook(true);
            SaveSettings();
            break;
        }
        FConnected = false;
        ShowConnectedLook(false);
    }
    View.SetConnecting(false);
    View.RunSearchAnimation(false);
    ReportConnectFailure(advice, raised);
}

void TegrolaLogic::SpeedButton55Click() {
    if (Busy()) return;
    FStartUpSearchDue = false;
    View.RunSearchAnimation(true);
    View.SetConnecting(true);
    std::vector<int32_t> candidates{int32_t(FPorts.size() + 2), PortNumber(FPortIndex)};
    for (const zc_port_info &port : FPorts) candidates.push_back(port.number);
    JoinWorker();
    FSearching = true;
    FStopSearch = false;
    FWorker = std::thread([this, candidates, alive = FAlive]() mutable {
        SearchResult result;
        // The ports that did not open, each once, in the order they were tried.
        std::vector<std::pair<int32_t, zc_port_failure_info>> refused;
        int32_t lastPort = -1;
        const auto noteRefusal = [&] {
            if (lastPort < 0) return;
            const zc_port_failure_info failure = Library.PortFailure();
            if (failure.kind != ZC_PORT_OK) refused.emplace_back(lastPort, failure);
        };
        result.found = Library.Search(candidates.data(), [&](int32_t port, int32_t) {
            if (FStopSearch) return false;
            if (port != lastPort) {
                noteRefusal();
                lastPort = port;
            }
            return true;
        });
        if (result.found) {
            Library.ZarelType();
            result.infoRead = Library.ReadSystemInfo(&result.info);
        } else if (!FStopSearch) {
            noteRefusal();
            for (const auto &[port, failure] : refused) {
                const std::string advice = PortOpenAdvice("COM" + std::to_string(port), failure);
                if (advice.empty()) continue;
                result.advice += (result.advice.empty() ? "" : "\n") + advice;
            }
        }
        result.candidates = candidates;
        Thread.Post([this, alive, result] {
            if (*alive) FinishAutoConnect(result);
        });
    });
}

void TegrolaLogic::FinishAutoConnect(const SearchResult &result) {
    JoinWorker();
    FSearching = false;
    View.SetConnecting(false);
    if (result.found) {
        if (result.infoRead) {
            ListenToProgress();
            ShowPrinterInfo(result.info);
        }
        FConnected = true;
        if (result.candidates[0] != 1) {
            FPortIndex = result.candidates[0] - 2;
            View.SelectPort(FPortIndex);
        }
        SelectBaud(result.candidates[1]);
        ShowConnectedLook(true);
        SaveSettings();
    } else {
        FConnected = false;
        ShowConnectedLook(false);
    }
    View.RunSearchAnimation(false);
    ReportConnectFailure(result.advice, std::string());
}

// advice: what to do about ports that did not open. raised: the message of a port error raised
// by a call, which ends the attempt and is shown alone, as a raised error would be.
void TegrolaLogic::ReportConnectFailure(const std::string &advice, const std::string &raised) {
    if (FConnected) return;
    View.SetStatus(2, "Connect failure");
    if (!raised.empty()) return Dialog.ShowMessage(raised);
    Dialog.ShowMessage("Connect failure!!" + (advice.empty() ? std::string() : "\n\n" + advice));
}

void TegrolaLogic::SpeedButton2Click() {
    if (Busy()) return;
    if (Library.ClosePort()) {
        FPrinterInfo.clear();
        View.SetStatus(2, "");
        FConnected = false;
        ShowConnectedLook(false);
    } else {
        FConnected = true;
        ShowConnectedLook(true);
    }
}

// ---- Logos and their files ----------------------------------------------------------------------

std::string TegrolaLogic::WorkFile(const std::string &name) const {
    return ShownPath(FAppDir + "/" + name);
}

void TegrolaLogic::WriteWorkLogo(const LogoBitmap &logo, const std::string &name) {
    std::string error;
    if (!WriteLogoBmp(logo, WorkFile(name), &error)) Dialog.ShowMessage(error);
}

void TegrolaLogic::SaveLogoAs(const LogoBitmap &logo) {
    const std::string path = Dialog.ChooseLogoFile();
    if (path.empty()) return;
    std::string error;
    if (!WriteLogoBmp(logo, path, &error)) Dialog.ShowMessage(error);
}

void TegrolaLogic::SpeedButton48Click() {
    const std::string path = Dialog.ChoosePicture();
    if (!path.empty()) ShowPicturePage(path);
}

void TegrolaLogic::ShowPicturePage(const std::string &path) {
    // A refused picture leaves Image1, Image2 and "tempold.bmp" as they were.
    const LoadedPicture loaded = LoadLogoPicture(path);
    if (!loaded.error.empty()) return Dialog.ShowMessage(loaded.error);
    const LogoBitmap logo = ConvertPictureLogo(loaded.picture, FLogoHeight);
    if (logo.IsNull())
        return Dialog.ShowMessage(
            "There is not enough memory to make the logo; open a smaller picture.");
    View.ShowPicture(loaded.picture);
    FPictureLogo = logo;
    View.ShowPictureLogo(logo);
    WriteWorkLogo(logo, "tempold.bmp");
}

void TegrolaLogic::SpeedButton53Click() { SaveLogoAs(FPictureLogo); }

void TegrolaLogic::RenderTextLogo() {
    const std::unique_ptr<TextRasterizer> font = Fonts.RasterizerFor(FLogoFont);
    View.SetTextFont(FLogoFont);
    const std::vector<std::string> lines = TextLines(FText);
    FTextLogo = ::RenderTextLogo(lines, *font, FLogoHeight, FTextLeft, FTextTop);
    View.ShowTextLogo(FTextLogo);
    View.ShowTextFit(TextFitProblem(lines, *font, FLogoHeight, FTextLeft, FTextTop));
    WriteWorkLogo(FTextLogo, "tempnew.bmp");
}

void TegrolaLogic::RadioGroup2Click(int index) {
    if (index < 0 || index >= int(std::size(kLogoHeights))) return;
    FLogoHeight = kLogoHeights[index];
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton49Click() { View.ClearText(); }

void TegrolaLogic::SpeedButton50Click() {
    LogoFont chosen;
    if (!Dialog.ChooseFont(FLogoFont, &chosen)) return;
    FLogoFont = chosen;
    View.SetTextFont(FLogoFont);
    FSettings.SaveFont(FLogoFont);
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton51Click() {
    --FTextTop;
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton52Click() {
    // Down stops once the text has left the logo at the bottom.
    if (FTextTop >= FTextLogo.Height()) return;
    ++FTextTop;
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton59Click() {
    --FTextLeft;
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton60Click() {
    ++FTextLeft;
    RenderTextLogo();
}

void TegrolaLogic::SpeedButton61Click() {
    FTextLeft = 0;
    FTextTop = 0;
    RenderTextLogo();
}

void TegrolaLogic::Memo1Change(const std::string &text) {
    FText = text;
    RenderTextLogo();
}

void TegrolaLogic::TabSheet4Show() { RenderTextLogo(); }

void TegrolaLogic::SpeedButton54Click() { SaveLogoAs(FTextLogo); }

// ---- Sending ------------------------------------------------------------------------------------

void TegrolaLogic::SpeedButton46Click() { SendLogoFile(WorkFile("tempold.bmp")); }

void TegrolaLogic::SpeedButton47Click() { SendLogoFile(WorkFile("tempnew.bmp")); }

// The checks on the window's thread, the exchanges on a thread of their own: the window keeps
// drawing the progress line while its controls wait for the end.
void TegrolaLogic::SendLogoFile(const std::string &path) {
    if (Busy()) return;
    if (!FConnected) return Dialog.ShowMessage(" Not Connector ZAREL HP!!");
    const int32_t size = Library.FileLength(path);
    if (size > ZC_LOGO_MAX_BYTES)
        return Dialog.ShowMessage("Send error, LOGO size=" + std::to_string(size) + " >" +
                                  std::to_string(ZC_LOGO_MAX_BYTES) + " bytes!!");
    View.RunSendAnimation(true);
    View.SetSending(true);
    JoinWorker();
    FSending = true;
    FWorker = std::thread([this, path, alive = FAlive] {
        const auto status = [this, alive](std::string text) {
            Thread.Post([this, alive, text] {
                if (*alive) View.SetStatus(1, text);
            });
        };
        const int32_t slot = Library.FreeLogoSlot();
        bool sent = false;
        if (slot < 1) {
            status("Get free Logo number error!!");
        } else if (slot > ZC_LOGO_SLOTS) {
            status("Fifty LOGOs are full!!");
        } else {
            status("Send Logo Please Wait");
            sent = Library.SendLogo(path, slot);
        }
        Thread.Post([this, alive, path, slot, sent] {
            if (*alive) FinishSend(path, slot, sent);
        });
    });
}

void TegrolaLogic::FinishSend(const std::string &path, int32_t slot, bool sent) {
    JoinWorker();
    FSending = false;
    View.SetSending(false);
    View.RunSendAnimation(false);
    if (slot < 1 || slot > ZC_LOGO_SLOTS) return;
    View.SetStatus(1, "Send Logo " + path + (sent ? " OK" : " Error!!"));
    // The slot the printer took it into, beside the printer's name.
    if (sent) View.SetStatus(2, FPrinterInfo + "   Logo in slot " + std::to_string(slot));
}
