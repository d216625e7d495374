// Tegrola's main window, frmTegrola, in Qt: the widgets of the window design over Tegrola's logic
// (core/TegrolaLogic.h), which it tells of every click and which tells it what to show.
//
// The controls carry the window design's names as their object names (SpeedButton1, ComboBox3,
// Image2, ...). Settings live in QSettings "Vantorleaf"/"ZarelHP" (QtSettingsStore).
#pragma once

#include "core/Printer.h"
#include "core/TegrolaLogic.h"
#include "core/ViewInterfaces.h"
#include "qt/QtParts.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class QScrollArea;
class QTabWidget;
class TBusyAnimation;
class TPictureBox;
class TStatusPanels;

class TfrmTegrola : public QWidget, private WindowView {
    Q_OBJECT
public:
    // programDir: the program's directory; the work files go there or where WorkFolder says.
    explicit TfrmTegrola(const QString &programDir);
    ~TfrmTegrola() override;

    TegrolaLogic &Logic() { return *FLogic; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildWindow();
    QWidget *BuildConnectionBand();
    QWidget *BuildLogoArea();
    QWidget *BuildPicturePage();
    QWidget *BuildTextPage();
    QToolButton *AddFlatButton(const QString &name, const QIcon &glyph, const QString &text,
                               QWidget *parent);
    void LanguageTextEdited(const QString &text);

    // WindowView.
    void SetWindowCaption(const std::string &caption) override;
    void SetCaption(const std::string &control, const std::string &caption) override;
    void SetPortList(const std::vector<PortEntry> &ports) override;
    void SelectPort(int index) override;
    void SelectBaud(int index, int portRateCode) override;
    void SelectLanguage(int index) override;
    void SetStatus(int bar, const std::string &text) override;
    void Repaint() override;
    void ShowConnected(bool connected) override;
    void SetConnecting(bool connecting) override;
    void SetSending(bool sending) override;
    void RunSearchAnimation(bool run) override;
    void RunSendAnimation(bool run) override;
    void ShowPicture(const Picture &picture) override;
    void ShowPictureLogo(const LogoBitmap &logo) override;
    void ShowTextLogo(const LogoBitmap &logo) override;
    void ShowTextFit(const std::string &problem) override;
    void SetTextFont(const LogoFont &font) override;
    void ClearText() override;

    QtSettingsStore FSettings;
    QtWindowThread FThread{*this};
    QtDialogs FDialogs{*this};
    QtFontSource FFonts;
    LibraryPrinter FPrinter;
    std::unique_ptr<TegrolaLogic> FLogic;
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
    QLabel *TextFit;
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
};
