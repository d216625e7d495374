#include "WindowTestSupport.h"

#include "StatusPanels.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

TFreshWorkplace::TFreshWorkplace() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FSettings.path());
}

QString TFreshWorkplace::SettingsFile() const {
    return FSettings.filePath(QStringLiteral("Vantorleaf/ZarelHP.conf"));
}

QString TFreshWorkplace::WorkFile(const QString &name) const { return FAppDir.filePath(name); }

QStringList TFreshWorkplace::SettingsLines() const {
    QFile file(SettingsFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TFreshWorkplace::Store(const QString &section, const QString &name,
                            const QString &value) const {
    QSettings settings(QStringLiteral("Vantorleaf"), QStringLiteral("ZarelHP"));
    settings.setValue(section + QLatin1Char('/') + name, value);
}

std::unique_ptr<TfrmTegrola> StartWindow(const TFreshWorkplace &place, bool keepTimer) {
    auto window = std::make_unique<TfrmTegrola>(place.AppDir());
    if (!keepTimer) Control<QTimer>(*window, "Timer1")->stop();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the window was not exposed");
    return window;
}

QString StatusText(QWidget &window, const char *bar, int panel) {
    return Control<TStatusPanels>(window, bar)->PanelText(panel);
}

QString CaptionOf(QWidget &window, const char *control) {
    QWidget *widget = Control<QWidget>(window, control);
    if (auto *bar = qobject_cast<TStatusPanels *>(widget)) return bar->PanelText(0);
    auto *pages = Control<QTabWidget>(window, "PageControl2");
    if (const int page = pages->indexOf(widget); page >= 0) return pages->tabText(page);
    if (auto *box = qobject_cast<QGroupBox *>(widget)) return box->title();
    if (auto *label = qobject_cast<QLabel *>(widget)) return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) return button->text();
    qFatal("%s has no caption", control);
}

void ChooseLanguage(QWidget &window, int index) {
    auto *languages = Control<QComboBox>(window, "ComboBox4");
    languages->setCurrentIndex(index);
    emit languages->activated(index);
}

void ClickSend(QWidget &window, const char *button) {
    Click(window, button);
    auto *memo = Control<QWidget>(window, "Memo1");
    // A logo of a few blocks at 19200 bit/s takes a second or two; a loaded machine takes longer.
    if (!QTest::qWaitFor([memo] { return memo->isEnabled(); }, 60000))
        qWarning("the send did not end");
}

void Click(QWidget &window, const char *button) {
    QTest::mouseClick(Control<QAbstractButton>(window, button), Qt::LeftButton);
}

QList<QRect> BandPlaces(QWidget &window) {
    QList<QRect> places;
    auto *openPort = Control<QWidget>(window, "SpeedButton1");
    auto *stopPort = Control<QWidget>(window, "SpeedButton2");
    QWidget *portButton = openPort->isVisible() ? openPort : stopPort;
    for (QWidget *control :
         {portButton, Control<QWidget>(window, "SpeedButton55"), Control<QWidget>(window, "Label1"),
          Control<QWidget>(window, "ComboBox1"), Control<QWidget>(window, "Label2"),
          Control<QWidget>(window, "ComboBox3"), Control<QWidget>(window, "Label3"),
          Control<QWidget>(window, "ComboBox4")})
        places << QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
    return places;
}

TModalDriver::TModalDriver() {
    FPoll.setInterval(10);
    connect(&FPoll, &QTimer::timeout, this, &TModalDriver::Answer);
    FPoll.start();
}

void TModalDriver::Answer() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        FMessages << box->text();
        box->button(QMessageBox::Ok)->click();
        return;
    }
    auto *dialog = qobject_cast<QDialog *>(modal);
    if (!dialog) return;
    if (FAnswers.empty()) return dialog->reject();
    const auto answer = FAnswers.front();
    FAnswers.pop_front();
    if (auto *files = qobject_cast<QFileDialog *>(dialog);
        files && std::holds_alternative<QString>(answer)) {
        const QString path = std::get<QString>(answer);
        if (path.isEmpty()) return files->reject();
        // Typed into the name field, as an operator would: the full path.
        if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        else
            files->selectFile(path);
        QMetaObject::invokeMethod(files, "accept");
        return;
    }
    if (auto *fonts = qobject_cast<QFontDialog *>(dialog);
        fonts && std::holds_alternative<QFont>(answer)) {
        fonts->setCurrentFont(std::get<QFont>(answer));
        return fonts->accept();
    }
    dialog->reject();
}

namespace {

// The offscreen platform says on every window shown that it cannot pass size hints on; nothing
// the tests look at.
QtMessageHandler StandardHandler = nullptr;

void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext &context,
                         const QString &message) {
    if (!message.contains(QLatin1String("does not support propagateSizeHints")))
        StandardHandler(type, context, message);
}

} // namespace

TTestMachine::TTestMachine() {
    StandardHandler = qInstallMessageHandler(QuietOffscreenNotes);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(FHome.filePath(QStringLiteral("config"))));
    qputenv("ZARELCOM_PORT_DIR", QFile::encodeName(PortDir()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(DataHome()));
    QDir().mkpath(PortDir());
    ResetPort(1);
    ResetPort(2);
}

void TTestMachine::RemovePort(int number) const {
    QFile::remove(QDir(PortDir()).filePath(QStringLiteral("com%1").arg(number)));
}

QString TTestMachine::DataHome() const { return FHome.filePath(QStringLiteral("data")); }

QString TTestMachine::PortDir() const { return FHome.filePath(QStringLiteral("ports")); }

void TTestMachine::PointPort(int number, const QString &device) const {
    RemovePort(number);
    const QString entry = QDir(PortDir()).filePath(QStringLiteral("com%1").arg(number));
    if (!QFile::link(device, entry)) qFatal("cannot make the port entry %s", qPrintable(entry));
}

namespace {

// Opens a pseudo-terminal pair that programs the tests start do not inherit: a child keeping the
// held line open would share its lock and be named as its holder.
QString OpenPrivatePty(int &master, int &terminal) {
    char name[128];
    if (::openpty(&master, &terminal, name, nullptr, nullptr) < 0 ||
        ::fcntl(master, F_SETFD, FD_CLOEXEC) < 0 || ::fcntl(terminal, F_SETFD, FD_CLOEXEC) < 0)
        qFatal("cannot open a pseudo-terminal");
    return QString::fromLocal8Bit(name);
}

} // namespace

THeldLine::THeldLine() : FDevice(OpenPrivatePty(FMaster, FTerminal)) {
    if (::flock(FTerminal, LOCK_EX | LOCK_NB) < 0) qFatal("cannot hold a pseudo-terminal");
}

THeldLine::~THeldLine() {
    ::close(FTerminal);
    ::close(FMaster);
}

TSilentLine::TSilentLine(const TTestMachine &machine, int number)
    : FMachine(machine), FNumber(number), FDevice(OpenPrivatePty(FMaster, FTerminal)) {
    FMachine.PointPort(FNumber, FDevice);
}

bool TSilentLine::Received() {
    pollfd line{FMaster, POLLIN, 0};
    char bytes[256];
    if (!FReceived && ::poll(&line, 1, 0) == 1)
        FReceived = ::read(FMaster, bytes, sizeof bytes) > 0;
    return FReceived;
}

bool TSilentLine::Free() const {
    // The library takes the line with flock; a second holder is refused while it keeps it.
    const int fd =
        ::open(QFile::encodeName(FDevice).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

TSilentLine::~TSilentLine() {
    FMachine.ResetPort(FNumber);
    ::close(FTerminal);
    ::close(FMaster);
}

TOtherHolder::TOtherHolder(const QString &device) {
    // Its own process group, so that ending it ends the program flock runs as well.
    FProcess.setChildProcessModifier([] { ::setpgid(0, 0); });
    FProcess.start(QStringLiteral("flock"), {QStringLiteral("--nonblock"), device,
                                             QStringLiteral("sleep"), QStringLiteral("60")});
    if (!FProcess.waitForStarted()) qFatal("cannot start flock");
    FGroup = static_cast<pid_t>(FProcess.processId());
}

TOtherHolder::~TOtherHolder() {
    ::kill(-FGroup, SIGKILL);
    FProcess.waitForFinished();
}
