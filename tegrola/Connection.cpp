// frmTegrola: connecting to the printer by Open Port or by the automatic search, and Stop Port.
#include "Ufrmtegrola.h"

#include "BusyAnimation.h"
#include "PortTrouble.h"
#include "PrinterSearch.h"
#include "StatusPanels.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QThread>
#include <QToolButton>

#include <array>

namespace {

// The window whose status bar shows the library's progress lines; set on the user-interface
// thread before a connection can register the callback.
QPointer<TfrmTegrola> StatusWindow;

// The port number of a ComboBox1 text such as "COM3": the text after its first three characters;
// -1, which no port has, when that is not a decimal number.
int32_t PortNumberOf(const QString &text) {
    bool isNumber = false;
    const int number = text.mid(3).toInt(&isNumber);
    return isNumber && number > 0 ? number : -1;
}

// The port rate code (ComboBox2's index) for the printer baud index (ComboBox3's index).
int PortRateCode(int baudIndex) {
    static constexpr std::array<int, 5> codes = {ZC_BR9600, ZC_BR19200, ZC_BR38400, ZC_BR57600,
                                                 ZC_BR115200};
    return baudIndex >= 0 && baudIndex < int(codes.size()) ? codes[baudIndex] : ZC_BR19200;
}

// The port error of the last library call that could raise one; every such call clears it first.
// A port that does not open raises nothing: the library keeps its reason all the same, under
// "Cannot open ", which PortOpenAdvice turns into what to do.
QString PortErrorText() { return QString::fromLocal8Bit(GetLastPortError()); }

} // namespace

void TfrmTegrola::FollowBaudIndex() {
    ComboBox2->setCurrentIndex(PortRateCode(ComboBox3->currentIndex()));
}

void TfrmTegrola::ComboBox3Change() {
    FollowBaudIndex();
    FBaudIndex = ComboBox3->currentIndex();
}

void TfrmTegrola::ShowConnectedLook(bool connected) {
    // Left to itself, the focus of a control that goes would pass on to the language box and
    // select its text: typing would then change the language. The button in Open Port's place
    // takes it instead.
    QToolButton *portButton = connected ? SpeedButton2 : SpeedButton1;
    const QWidget *focus = QApplication::focusWidget();
    const bool focusGoes =
        focus && (focus == ComboBox1 || focus == ComboBox3 || focus == SpeedButton1 ||
                  focus == SpeedButton2 || focus == SpeedButton55);
    portButton->show();
    if (focusGoes) portButton->setFocus(Qt::OtherFocusReason);
    ComboBox1->setEnabled(!connected);
    ComboBox3->setEnabled(!connected);
    SpeedButton1->setVisible(!connected);
    SpeedButton55->setVisible(!connected);
    SpeedButton2->setVisible(connected);
}

// While a connection is tried nothing else may use the library: its exchange state is one per
// process. This also keeps Timer1's search from starting inside Open Port's event processing.
void TfrmTegrola::SetLibraryBusy(bool busy) {
    for (QToolButton *button : {SpeedButton1, SpeedButton55, SpeedButton46, SpeedButton47})
        button->setEnabled(!busy);
}

void TfrmTegrola::ShowPrinterInfo(const SystemInfo &info) {
    QString text = QStringLiteral(" ZAREL HP MODEL %1").arg(info.ModelNo);
    StatusBar2->SetPanelText(1, text);
    text = StatusBar2->PanelText(1) +
           QStringLiteral("  V%1.%2").arg(info.Version / 100).arg(info.Version % 100);
    StatusBar2->SetPanelText(1, text);
    text = StatusBar2->PanelText(1) + QStringLiteral(" Ref. Date : %1-%2-%3  S/N:%4")
                                          .arg(info.RefYear)
                                          .arg(info.RefMonthDay / 31)
                                          .arg(info.RefMonthDay % 31)
                                          .arg(info.SerialNo);
    StatusBar2->SetPanelText(1, text);
}

void ZARELCOM_CALL TfrmTegrola::StatusMessageCallback(const char *text) {
    const QString line = QLatin1Char(' ') + QString::fromLocal8Bit(text);
    const auto show = [line]() {
        if (!StatusWindow) return;
        StatusWindow->StatusBar1->SetPanelText(1, line);
        StatusWindow->repaint();
    };
    if (QThread::currentThread() == qApp->thread())
        show();
    else
        QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
}

void TfrmTegrola::SpeedButton1Click() {
    Animate1->Start();
    SetLibraryBusy(true);
    StatusWindow = this;
    const int32_t port = PortNumberOf(ComboBox1->currentText());
    QString portError;
    for (int attempt = 1; attempt <= 3 && portError.isEmpty(); ++attempt) {
        StatusBar1->SetPanelText(1, QStringLiteral("Try %1").arg(attempt));
        QApplication::processEvents();
        SystemInfo info{};
        const bool opened = OpenComPort(port) && SetBaudRate(ComboBox2->currentIndex());
        if (!opened) portError = PortErrorText();
        if (opened && GetPrintStatus() != -1 && GetSysInfo(&info)) {
            CallBackMsgback(&TfrmTegrola::StatusMessageCallback);
            ShowPrinterInfo(info);
            FConnected = true;
            ShowConnectedLook(true);
            SaveSettings();
            break;
        }
        FConnected = false;
        ShowConnectedLook(false);
    }
    SetLibraryBusy(false);
    Animate1->Stop();
    const QString advice = PortOpenAdvice(ComboBox1->currentText(), portError);
    ReportConnectFailure(advice, advice.isEmpty() ? portError : QString());
}

std::vector<int32_t> TfrmTegrola::AutoConnectCandidates() const {
    std::vector<int32_t> candidates{int32_t(ComboBox1->count() + 2),
                                    PortNumberOf(ComboBox1->currentText())};
    for (int item = 0; item < ComboBox1->count(); ++item)
        candidates.push_back(PortNumberOf(ComboBox1->itemText(item)));
    return candidates;
}

void TfrmTegrola::SpeedButton55Click() {
    if (!SpeedButton55->isEnabled()) return;
    Animate1->Start();
    SetLibraryBusy(true);
    StatusWindow = this;
    FSearch = std::make_shared<TPrinterSearch>();
    FConnectThread =
        QThread::create([this, candidates = AutoConnectCandidates(), search = FSearch]() {
            ConnectThreadProc(candidates, *search);
        });
    connect(FConnectThread, &QThread::finished, FConnectThread, &QObject::deleteLater);
    FConnectThread->start();
}

// On the connection thread: the library calls only; the window hears of the outcome at the end.
void TfrmTegrola::ConnectThreadProc(std::vector<int32_t> candidates, TPrinterSearch &search) {
    TAutoConnectResult result;
    result.Found = search.Run(candidates.data());
    if (result.Found) {
        GetZarelType();
        result.InfoRead = GetSysInfo(&result.Info);
        if (result.InfoRead) CallBackMsgback(&TfrmTegrola::StatusMessageCallback);
    } else {
        QStringList advice;
        for (const auto &[port, reason] : search.Refusals())
            advice << PortOpenAdvice(QStringLiteral("COM%1").arg(port),
                                     QString::fromLocal8Bit(reason.c_str()));
        advice.removeAll(QString());
        result.Advice = advice.join(QLatin1Char('\n'));
    }
    result.Candidates = candidates;
    QMetaObject::invokeMethod(
        this, [this, result]() { FinishAutoConnect(result); }, Qt::QueuedConnection);
}

void TfrmTegrola::FinishAutoConnect(const TAutoConnectResult &result) {
    FConnectThread = nullptr;
    SetLibraryBusy(false);
    if (result.Found) {
        if (result.InfoRead) ShowPrinterInfo(result.Info);
        FConnected = true;
        if (result.Candidates[0] != 1) ComboBox1->setCurrentIndex(result.Candidates[0] - 2);
        ComboBox3->setCurrentIndex(result.Candidates[1]);
        FollowBaudIndex();
        ShowConnectedLook(true);
        SaveSettings();
    } else {
        FConnected = false;
        ShowConnectedLook(false);
    }
    Animate1->Stop();
    ReportConnectFailure(result.Advice, QString());
}

// advice: what to do about ports that did not open. raised: the message of a port error raised
// by a call, which ends the attempt and is shown alone, as a raised error would be.
void TfrmTegrola::ReportConnectFailure(const QString &advice, const QString &raised) {
    if (FConnected) return;
    StatusBar2->SetPanelText(1, QStringLiteral("Connect failure"));
    if (!raised.isEmpty()) return ShowMessage(raised);
    ShowMessage(QStringLiteral("Connect failure!!") +
                (advice.isEmpty() ? QString() : QStringLiteral("\n\n") + advice));
}

void TfrmTegrola::SpeedButton2Click() {
    if (CloseComPort()) {
        StatusBar2->SetPanelText(1, QString());
        FConnected = false;
        ShowConnectedLook(false);
    } else {
        FConnected = true;
        ShowConnectedLook(true);
    }
}
