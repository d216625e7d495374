// What the window tests share: fresh settings and work folders, a port folder, the window's
// controls by name, and a driver that answers the window's dialogs and message boxes.
#pragma once

#include "Ufrmtegrola.h"

#include <QFont>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <memory>
#include <sys/types.h>
#include <variant>

class TStatusPanels;

// Settings in a fresh folder (QSettings' user path for this process moves there) and a fresh
// program folder for the work files. The test program's XDG_CONFIG_HOME is a temporary folder.
class TFreshWorkplace {
public:
    TFreshWorkplace();
    QString SettingsFile() const;
    QString AppDir() const { return FAppDir.path(); }
    QString WorkFile(const QString &name) const;
    // The settings file's lines, e.g. "CommPort=2".
    QStringList SettingsLines() const;
    void Store(const QString &section, const QString &name, const QString &value) const;

private:
    QTemporaryDir FSettings;
    QTemporaryDir FAppDir;
};

// The window as the program starts it, shown, with its start-up connection held back unless asked.
std::unique_ptr<TfrmTegrola> StartWindow(const TFreshWorkplace &place, bool keepTimer = false);

template <typename T>
T *Control(QWidget &window, const char *name) {
    T *control = window.findChild<T *>(QLatin1String(name));
    if (!control) qFatal("the window has no control %s", name);
    return control;
}

QString StatusText(QWidget &window, const char *bar, int panel);
// The caption of a control the language table names (tab, group box, label, button, panel 0).
QString CaptionOf(QWidget &window, const char *control);
// Chooses ComboBox4's item as the operator does from the list.
void ChooseLanguage(QWidget &window, int index);
void Click(QWidget &window, const char *button);
// Clicks a Send Logo button and waits until the send has ended: the window's controls are
// usable again.
void ClickSend(QWidget &window, const char *button);
// Where the connection band's controls sit in the window: the port button shown (Open Port or
// Stop Port), Auto Connect's place, the labels and the lists.
QList<QRect> BandPlaces(QWidget &window);

// Answers the window's modal dialogs as an operator would, in the order they come: message boxes
// are read and closed with OK; file dialogs get the next queued file (an empty one cancels);
// the font dialog gets the next queued font.
class TModalDriver : public QObject {
    Q_OBJECT
public:
    TModalDriver();
    void AnswerFile(const QString &path) { FAnswers.emplace_back(path); }
    void AnswerFont(const QFont &font) { FAnswers.emplace_back(font); }
    void CancelNext() { FAnswers.emplace_back(QString()); }
    // Message box texts seen so far, oldest first.
    const QStringList &Messages() const { return FMessages; }
    void ClearMessages() { FMessages.clear(); }

private:
    void Answer();
    QTimer FPoll;
    std::deque<std::variant<QString, QFont>> FAnswers;
    QStringList FMessages;
};

// A serial line that another holder keeps: a pseudo-terminal this process has open and locked.
// The library lists it and refuses to open it as busy.
class THeldLine {
public:
    THeldLine();
    ~THeldLine();
    THeldLine(const THeldLine &) = delete;
    THeldLine &operator=(const THeldLine &) = delete;
    const QString &Device() const { return FDevice; }

private:
    int FMaster = -1;
    int FTerminal = -1;
    QString FDevice;
};

// The test program's surroundings, made before the application object: XDG_CONFIG_HOME,
// XDG_DATA_HOME and ZARELCOM_PORT_DIR in a temporary folder, the port folder holding com1 and
// com2, which lead to a held line unless a test points them elsewhere.
class TTestMachine {
public:
    TTestMachine();
    QString PortDir() const;
    // $XDG_DATA_HOME: where the work files go when the program's folder cannot take them.
    QString DataHome() const;
    // The device of the held line.
    const QString &HeldDevice() const { return FHeld.Device(); }
    // Points com<number> at a device path (a pseudo-terminal), replacing the entry there was.
    void PointPort(int number, const QString &device) const;
    // Points com<number> at the held line again.
    void ResetPort(int number) const { PointPort(number, HeldDevice()); }
    void RemovePort(int number) const;

private:
    QTemporaryDir FHome;
    THeldLine FHeld;
};

// A printer that never answers: a pseudo-terminal registered as com<number> whose far end is
// held open and stays silent.
class TSilentLine {
public:
    TSilentLine(const TTestMachine &machine, int number);
    ~TSilentLine();
    TSilentLine(const TSilentLine &) = delete;
    TSilentLine &operator=(const TSilentLine &) = delete;

    // Whether anything has been sent to the printer yet.
    bool Received();
    // Whether no program holds the line, so that another could open it.
    bool Free() const;
    const QString &Device() const { return FDevice; }

private:
    const TTestMachine &FMachine;
    const int FNumber;
    int FMaster = -1;
    int FTerminal = -1;
    QString FDevice;
    bool FReceived = false;
};

// Another program holding a line: flock keeping it locked while it runs sleep, both ended together.
class TOtherHolder {
public:
    explicit TOtherHolder(const QString &device);
    ~TOtherHolder();
    TOtherHolder(const TOtherHolder &) = delete;
    TOtherHolder &operator=(const TOtherHolder &) = delete;

private:
    QProcess FProcess;
    pid_t FGroup = 0;
};

#define TEGROLA_WINDOW_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char **argv) {                                                              \
        TTestMachine machine;                                                                      \
        QApplication application(argc, argv);                                                      \
        QApplication::setApplicationName(QStringLiteral("Tegrola"));                               \
        TestClass test(machine);                                                                   \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
