// Tegrola's main window, frmTegrola: connect to a Zarel HP printer, turn a bitmap picture or typed
// text into a one-bit logo of 50, 25 or 17 dots and send it into a free logo slot.
//
// The controls carry the window design's names as their object names (SpeedButton1, ComboBox3,
// Image2, ...), the handlers the control name and the event. All printer work goes through the
// Zarelcom exports. Settings live in QSettings "Vantorleaf"/"ZarelHP" (the registry key
// \Software\Vantorleaf\ZarelHP on Windows, ~/.config/Vantorleaf/ZarelHP.conf on Linux), groups
// Comm, LogoFont and Lang. The work files "tempold.bmp" (picture logo) and "tempnew.bmp" (text
// logo) live in the program's directory, or in the user's data folder where that cannot take
// them (WorkFolder).
#pragma once

#include "logo/LogoBitmap.h"

#include <zarelcom/zarelcom.h>

#include <QFileDialog>
#include <QFont>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QFontDialog;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QThread;
class QTimer;
class QToolButton;
class QScrollArea;
class QTabWidget;
class TBusyAnimation;
class TPrinterSearch;
class TPictureBox;
class TStatusPanels;

class TfrmTegrola : public QWidget {
    Q_OBJECT
public:
    // programDir: the program's directory; the work files go there or where WorkFolder says.
    explicit TfrmTegrola(const QString &programDir);
    ~TfrmTegrola() override;

    // The string value of a setting; empty when it does not exist.
    QString ReadSetting(const QString &section, const QString &name) const;
    void WriteSetting(const QString &section, const QString &name, const QString &value);

    // ComboBox1 := "COM" n for every serial port of the machine.
    void FillComPortList();
    void LoadSettings();
    // Stores Comm/AutoConnect, Comm/CommPort, Comm/BaudRate and Lang/Langurge.
    void SaveSettings();
    // The captions for ComboBox4's selection.
    void ApplyLanguage();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // What the connection thread found, handed to the user-interface thread.
    struct TAutoConnectResult {
        bool Found = false;
        std::vector<int32_t> Candidates;
        bool InfoRead = false;
        SystemInfo Info{};
        QString Advice; // what to do about the ports that did not open
    };

    void BuildWindow();
    QWidget *BuildConnectionBand();
    QWidget *BuildLogoArea();
    QWidget *BuildPicturePage();
    QWidget *BuildTextPage();
    QToolButton *AddFlatButton(const QString &name, const QIcon &glyph, const QString &text,
                               QWidget *parent);
    void SetCaption(const QString &control, const QString &caption);

    void FormCreate();
    void Timer1Timer();

    // Connection.
    void SpeedButton1Click();
    void SpeedButton55Click();
    void SpeedButton2Click();
    void ComboBox3Change();
    void ConnectThreadProc(std::vector<int32_t> candidates, TPrinterSearch &search);
    void FinishAutoConnect(const TAutoConnectResult &result);
    void ReportConnectFailure(const QString &advice, const QString &raised);
    void ShowPrinterInfo(const SystemInfo &info);
    void ShowConnectedLook(bool connected);
    void SetLibraryBusy(bool busy);
    void FollowBaudIndex();
    std::vector<int32_t> AutoConnectCandidates() const;
    static void ZARELCOM_CALL StatusMessageCallback(const char *text);

    // Picture logo.
    void SpeedButton48Click();
    void SpeedButton53Click();
    // Text logo.
    void RenderTextLogo();
    void RadioGroup2Click(int index);
    void SpeedButton49Click();
    void SpeedButton50Click();
    void SpeedButton51Click();
    void SpeedButton52Click();
    void SpeedButton59Click();
    void SpeedButton60Click();
    void SpeedButton61Click();
    void Memo1Change();
    void TabSheet4Show();
    void SpeedButton54Click();
    void SaveLogoAs(const LogoBitmap &logo);
    // Writes a work file, telling the operator when it cannot be written.
    void WriteWorkLogo(const LogoBitmap &logo, const QString &name);
    QString ChooseFile(QFileDialog::AcceptMode mode);
    // Sending.
    void SpeedButton46Click();
    void SpeedButton47Click();
    void SendLogoFile(const QString &path);

    void ComboBox4Change();
    void LanguageTextEdited(const QString &text);

    QString WorkFile(const QString &name) const;
    void ShowMessage(const QString &text);

    // The fields of the window design, in its order.
    bool FConnected = false;
    bool FAutoConnect = false;
    int32_t FCommPort = 0;
    int32_t FBaudIndex = 0;
    int32_t FLogoHeight = 0;
    int32_t FTextLeft = 0;
    int32_t FTextTop = 0;
    QString FAppDir;

    const QString FProgramDir;
    // FontDialog1's font: the logo font.
    QFont FLogoFont;
    QThread *FConnectThread = nullptr;
    std::shared_ptr<TPrinterSearch> FSearch; // the connection thread's search
    bool FFirstShow = true;

    QGroupBox *GroupBox20;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton55;
    QLabel *Label1;
    QComboBox *ComboBox1;
    QLabel *Label2;
    QComboBox *ComboBox3;
    QComboBox *ComboBox2;
    QLabel *Label3;
    QComboBox *ComboBox4;
    TBusyAnimation *Animate1;
    QGroupBox *GroupBox6;
    QLabel *Panel4;
    TBusyAnimation *Animate2;
    QTabWidget *PageControl2;
    QWidget *TabSheet3;
    QToolButton *SpeedButton48;
    QToolButton *SpeedButton53;
    QToolButton *SpeedButton46;
    QScrollArea *ScrollBox2;
    TPictureBox *Image2;
    QScrollArea *ScrollBox1;
    TPictureBox *Image1;
    QWidget *TabSheet4;
    QToolButton *SpeedButton49;
    QToolButton *SpeedButton54;
    QToolButton *SpeedButton47;
    QScrollArea *ScrollBox3;
    TPictureBox *Image3;
    QPlainTextEdit *Memo1;
    QGroupBox *RadioGroup2;
    QButtonGroup *RadioGroup2Items;
    QGroupBox *GroupBox22;
    QToolButton *SpeedButton51;
    QToolButton *SpeedButton59;
    QToolButton *SpeedButton60;
    QToolButton *SpeedButton52;
    QToolButton *SpeedButton61;
    QToolButton *SpeedButton50;
    TStatusPanels *StatusBar1;
    TStatusPanels *StatusBar2;
    QFontDialog *FontDialog1;
    QTimer *Timer1;
};
