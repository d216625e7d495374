// The window against a printer: the simulator at the far end of a pseudo-terminal (or a line that
// stays silent). Connecting by Open Port and by the automatic search, the printer's identity, Stop
// Port, and sending logos from both pages with every check.
#include "LogoTestSupport.h"
#include "StatusPanels.h"
#include "WindowTestSupport.h"

#include <zarelsim/Simulator.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// A silent exchange costs the library about six seconds; generous bounds only catch hangs.
constexpr int kSearchMs = 60000;

QByteArray FileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray SlotBytes(const zarelsim::Simulator &printer, int slot) {
    const zarelsim::Bytes logo = printer.State().logos[size_t(slot - 1)];
    return QByteArray(reinterpret_cast<const char *>(logo.data()), int(logo.size()));
}

bool ConnectedLook(QWidget &window) {
    const bool connected = Control<QToolButton>(window, "SpeedButton2")->isVisible();
    const bool consistent =
        connected == !Control<QToolButton>(window, "SpeedButton1")->isVisible() &&
        connected == !Control<QToolButton>(window, "SpeedButton55")->isVisible() &&
        connected == !Control<QComboBox>(window, "ComboBox1")->isEnabled() &&
        connected == !Control<QComboBox>(window, "ComboBox3")->isEnabled();
    if (!consistent) qWarning("the connection controls disagree");
    return connected && consistent;
}

// The texts StatusBar1's message panel showed, in order.
class TStatusLog {
public:
    explicit TStatusLog(QWidget &window, const char *bar = "StatusBar1") {
        QObject::connect(Control<TStatusPanels>(window, bar), &TStatusPanels::PanelTextChanged,
                         &FContext, [this](int panel, const QString &text) {
                             if (panel == 1) FTexts << text;
                         });
    }
    const QStringList &Texts() const { return FTexts; }

private:
    QObject FContext;
    QStringList FTexts;
};

// The visible controls a running animation paints over: those it overlaps in the window, other
// than the widgets it lies in.
QStringList ControlsUnder(QWidget &window, const char *animation) {
    auto *running = Control<QWidget>(window, animation);
    const QRect area(running->mapTo(&window, QPoint(0, 0)), running->size());
    QStringList covered;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (control == running || !control->isVisible() || control->isAncestorOf(running) ||
            running->isAncestorOf(control))
            continue;
        if (QRect(control->mapTo(&window, QPoint(0, 0)), control->size()).intersects(area))
            covered << control->objectName() + QLatin1Char('/') +
                           QLatin1String(control->metaObject()->className());
    }
    return covered;
}

} // namespace

class TWindowPrinterTest : public QObject {
    Q_OBJECT
public:
    explicit TWindowPrinterTest(TTestMachine &machine) : FMachine(machine) {}

private slots:
    void init() {
        FPlace = std::make_unique<TFreshWorkplace>();
        FDriver = std::make_unique<TModalDriver>();
    }
    void cleanup() {
        if (FWindow && ConnectedLook(*FWindow)) Click(*FWindow, "SpeedButton2");
        FWindow.reset();
        FPrinter.reset();
        FDriver.reset();
        FPlace.reset();
        FMachine.ResetPort(1);
        FMachine.ResetPort(2);
    }

    void openPortAgainstASilentLineTriesThreeTimes() {
        const TSilentLine silent(FMachine, 1);
        FWindow = StartWindow(*FPlace);
        const TStatusLog log(*FWindow);
        Click(*FWindow, "SpeedButton1");
        QCOMPARE(log.Texts(), (QStringList{QStringLiteral("Try 1"), QStringLiteral("Try 2"),
                                           QStringLiteral("Try 3")}));
        QCOMPARE(FDriver->Messages(), QStringList{QStringLiteral("Connect failure!!")});
        QCOMPARE(StatusText(*FWindow, "StatusBar2", 1), QStringLiteral("Connect failure"));
        QVERIFY(!ConnectedLook(*FWindow));
        QVERIFY(!Control<QWidget>(*FWindow, "Animate1")->isVisible());
        QVERIFY(!QFileInfo::exists(FPlace->SettingsFile()) ||
                !FPlace->SettingsLines().contains(QStringLiteral("[Comm]")));
    }

    void openPortShowsThePrinter_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("monthDay");
        QTest::addColumn<QString>("shown");
        QTest::newRow("V2.10") << 210 << 102
                               << " ZAREL HP MODEL 350  V2.10 Ref. Date : 2005-3-9  S/N:1234";
        QTest::newRow("V2.5") << 205 << 102
                              << " ZAREL HP MODEL 350  V2.5 Ref. Date : 2005-3-9  S/N:1234";
        QTest::newRow("month-day 62")
            << 206 << 62 << " ZAREL HP MODEL 350  V2.6 Ref. Date : 2005-2-0  S/N:1234";
    }
    void openPortShowsThePrinter() {
        QFETCH(int, version);
        QFETCH(int, monthDay);
        QFETCH(QString, shown);
        StartPrinter(2, 19200);
        FPrinter->Update([&](zarelsim::PrinterState &state) {
            state.modelNumber = 350;
            state.firmwareVersion = version;
            state.referenceYear = 2005;
            state.referenceMonthDay = monthDay;
            state.serialNumber = 1234;
        });
        FPlace->Store(QStringLiteral("Comm"), QStringLiteral("CommPort"), QStringLiteral("2"));
        FWindow = StartWindow(*FPlace);
        const TStatusLog log(*FWindow);
        Click(*FWindow, "SpeedButton1");
        QVERIFY(FDriver->Messages().isEmpty());
        QCOMPARE(log.Texts(), QStringList{QStringLiteral("Try 1")});
        QCOMPARE(StatusText(*FWindow, "StatusBar2", 1), shown);
        QVERIFY(ConnectedLook(*FWindow));
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("CommPort=2")));
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("BaudRate=1")));

        Click(*FWindow, "SpeedButton2");
        QVERIFY(!ConnectedLook(*FWindow));
        QCOMPARE(StatusText(*FWindow, "StatusBar2", 1), QString());
    }

    void autoConnectFindsThePrinterOnTheSecondPort() {
        StartPrinter(2, 38400);
        FWindow = StartWindow(*FPlace);
        QCOMPARE(Control<QComboBox>(*FWindow, "ComboBox1")->currentIndex(), 0);
        Click(*FWindow, "SpeedButton55");
        // Nothing else may use the library while the search runs.
        for (const char *button :
             {"SpeedButton1", "SpeedButton55", "SpeedButton46", "SpeedButton47"})
            QVERIFY2(!Control<QAbstractButton>(*FWindow, button)->isEnabled(), button);
        QVERIFY(Control<QWidget>(*FWindow, "Animate1")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(ConnectedLook(*FWindow), kSearchMs);
        QCOMPARE(Control<QComboBox>(*FWindow, "ComboBox1")->currentIndex(), 1);
        QCOMPARE(Control<QComboBox>(*FWindow, "ComboBox3")->currentIndex(), 2);
        QCOMPARE(Control<QComboBox>(*FWindow, "ComboBox2")->currentIndex(), 9);
        QVERIFY(StatusText(*FWindow, "StatusBar2", 1)
                    .startsWith(QStringLiteral(" ZAREL HP MODEL 230  V3.12")));
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("CommPort=2")));
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("BaudRate=2")));
        QVERIFY(Control<QAbstractButton>(*FWindow, "SpeedButton46")->isEnabled());
        QVERIFY(!Control<QWidget>(*FWindow, "Animate1")->isVisible());
        QVERIFY(FDriver->Messages().isEmpty());
    }

    void connectingKeepsTheBandInPlaceAndTheFocusOffTheLanguageBox() {
        StartPrinter(2, 19200);
        FPlace->Store(QStringLiteral("Comm"), QStringLiteral("CommPort"), QStringLiteral("2"));
        FWindow = StartWindow(*FPlace);
        FWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
        Control<QComboBox>(*FWindow, "ComboBox1")->setFocus();
        const QList<QRect> places = BandPlaces(*FWindow);

        Click(*FWindow, "SpeedButton1");
        QVERIFY(ConnectedLook(*FWindow));
        QCOMPARE(BandPlaces(*FWindow), places);
        auto *languages = Control<QComboBox>(*FWindow, "ComboBox4");
        QVERIFY(QApplication::focusWidget() != languages->lineEdit());
        QVERIFY(!languages->lineEdit()->hasSelectedText());
        if (QWidget *focus = QApplication::focusWidget())
            QTest::keyClicks(focus, QStringLiteral("x"));
        QCOMPARE(languages->currentIndex(), 0);
        QVERIFY(!FPlace->SettingsLines().contains(QStringLiteral("Langurge=-1")));

        Click(*FWindow, "SpeedButton2");
        QVERIFY(!ConnectedLook(*FWindow));
        QCOMPARE(BandPlaces(*FWindow), places);
    }

    void closingDuringTheSearchEndsItAndFreesThePort() {
        TSilentLine silent(FMachine, 1);
        FWindow = StartWindow(*FPlace);
        Click(*FWindow, "SpeedButton55");
        // The search waits for an answer on the silent line (about 30 s there as a whole).
        QTRY_VERIFY_WITH_TIMEOUT(silent.Received(), kSearchMs);
        QElapsedTimer closing;
        closing.start();
        FWindow->close();
        FWindow.reset();
        // Generous: only the old wait for the whole search, a minute here, exceeds it.
        QVERIFY2(closing.elapsed() < 10000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(silent.Free());
        QVERIFY(FDriver->Messages().isEmpty());
    }

    void openPortSaysWhyThePortDidNotOpen() {
        TSilentLine other(FMachine, 3);
        // COM1 leads to the held line.
        FPlace->Store(QStringLiteral("Comm"), QStringLiteral("CommPort"), QStringLiteral("1"));
        FWindow = StartWindow(*FPlace);
        Click(*FWindow, "SpeedButton1");
        QCOMPARE(
            FDriver->Messages(),
            QStringList{QStringLiteral("Connect failure!!\n\nCOM1 (%1) is held by another program. "
                                       "Close that program, then connect again.")
                            .arg(FMachine.HeldDevice())});
        QVERIFY(!ConnectedLook(*FWindow));

        // The adapter behind COM2 is unplugged after the list was made.
        FDriver->ClearMessages();
        FMachine.PointPort(2, QStringLiteral("/dev/ttyUSB-unplugged"));
        Control<QComboBox>(*FWindow, "ComboBox1")->setCurrentIndex(1);
        Click(*FWindow, "SpeedButton1");
        QCOMPARE(
            FDriver->Messages(),
            QStringList{QStringLiteral("Connect failure!!\n\nCOM2 leads to /dev/ttyUSB-unplugged, "
                                       "which is not there. Check that the adapter is plugged "
                                       "in, or choose another port.")});

        // Another program holds COM3: it is named.
        FDriver->ClearMessages();
        {
            TOtherHolder holder(other.Device());
            QTRY_VERIFY(!other.Free());
            Control<QComboBox>(*FWindow, "ComboBox1")->setCurrentIndex(2);
            Click(*FWindow, "SpeedButton1");
        }
        QCOMPARE(FDriver->Messages().size(), 1);
        const QString named =
            QStringLiteral("COM3 (%1) is held by another program (").arg(other.Device());
        QVERIFY2(
            FDriver->Messages().constFirst().contains(named + QStringLiteral("flock, process ")) ||
                FDriver->Messages().constFirst().contains(named +
                                                          QStringLiteral("sleep, process ")),
            qPrintable(FDriver->Messages().constFirst()));
    }

    void oneAutomaticConnectionASecondAfterStartUp() {
        FMachine.PointPort(3, QStringLiteral("/dev/null"));
        FPlace->Store(QStringLiteral("Comm"), QStringLiteral("AutoConnect"), QStringLiteral("0"));
        FWindow = StartWindow(*FPlace, true);
        // /dev/null is no serial port: not listed.
        QCOMPARE(Control<QComboBox>(*FWindow, "ComboBox1")->findText(QStringLiteral("COM3")), -1);
        auto *timer = Control<QTimer>(*FWindow, "Timer1");
        QVERIFY(timer->isActive());
        // No port opens: the search fails once, says why for each port, and is not repeated.
        const QString held = QStringLiteral(
            "%1 (%2) is held by another program. Close that program, then connect again.");
        const QString expected = QStringLiteral("Connect failure!!\n\n%1\n%2")
                                     .arg(held.arg(QStringLiteral("COM1"), FMachine.HeldDevice()),
                                          held.arg(QStringLiteral("COM2"), FMachine.HeldDevice()));
        QTRY_COMPARE_WITH_TIMEOUT(FDriver->Messages(), QStringList{expected}, kSearchMs);
        QVERIFY(!timer->isActive());
        QCOMPARE(StatusText(*FWindow, "StatusBar2", 1), QStringLiteral("Connect failure"));
        QVERIFY(Control<QAbstractButton>(*FWindow, "SpeedButton55")->isEnabled());
        FMachine.RemovePort(3);
    }

    void sendsFromBothPages() {
        ConnectToPrinter();
        FDriver->AnswerFile(SaveBmp(FilledPicture(100, 100, qRgb(0, 0, 0)), FPlace->AppDir(),
                                    QStringLiteral("square.bmp")));
        Control<QTabWidget>(*FWindow, "PageControl2")->setCurrentIndex(0);
        Click(*FWindow, "SpeedButton48");
        const QString tempold =
            QDir::toNativeSeparators(FPlace->WorkFile(QStringLiteral("tempold.bmp")));
        {
            const TStatusLog log(*FWindow);
            // Each line shows whole the moment it is set, and the animation covers no control.
            QStringList faults;
            QObject context;
            auto *panel = Control<QLabel>(*FWindow, "StatusBar1Panel1");
            connect(Control<TStatusPanels>(*FWindow, "StatusBar1"),
                    &TStatusPanels::PanelTextChanged, &context,
                    [&](int index, const QString &text) {
                        if (index == 1 && panel->contentsRect().width() <
                                              panel->fontMetrics().horizontalAdvance(text))
                            faults << QStringLiteral("clipped: ") + text;
                        if (Control<QWidget>(*FWindow, "Animate2")->isVisible())
                            faults << ControlsUnder(*FWindow, "Animate2");
                    });
            ClickSend(*FWindow, "SpeedButton46");
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('|'))));
            QVERIFY(log.Texts().size() >= 3);
            QCOMPARE(log.Texts().constFirst(), QStringLiteral("Send Logo Please Wait"));
            QVERIFY2(log.Texts().at(1).startsWith(QLatin1Char(' ')),
                     qPrintable(log.Texts().at(1))); // the library's progress
            QCOMPARE(log.Texts().constLast(), QStringLiteral("Send Logo %1 OK").arg(tempold));
        }
        QCOMPARE(SlotBytes(*FPrinter, 1), FileBytes(tempold));

        Control<QTabWidget>(*FWindow, "PageControl2")->setCurrentIndex(1);
        ClickSend(*FWindow, "SpeedButton47");
        const QString tempnew =
            QDir::toNativeSeparators(FPlace->WorkFile(QStringLiteral("tempnew.bmp")));
        QCOMPARE(StatusText(*FWindow, "StatusBar1", 1),
                 QStringLiteral("Send Logo %1 OK").arg(tempnew));
        QCOMPARE(SlotBytes(*FPrinter, 2), FileBytes(tempnew));
        QVERIFY(FDriver->Messages().isEmpty());
        QVERIFY(!Control<QWidget>(*FWindow, "Animate2")->isVisible());
    }

    void refusesLogosTooLargeForASlot() {
        ConnectToPrinter();
        FDriver->AnswerFile(SaveBmp(FilledPicture(2000, 1, qRgb(0, 0, 0)), FPlace->AppDir(),
                                    QStringLiteral("line.bmp")));
        Click(*FWindow, "SpeedButton48");
        ClickSend(*FWindow, "SpeedButton46");
        QCOMPARE(FDriver->Messages(),
                 QStringList{QStringLiteral("Send error, LOGO size=625062 >16000 bytes!!")});
        QCOMPARE(FPrinter->Stats().blocksReceived, 0u);
        QCOMPARE(FPrinter->State().LowestFreeLogoSlot(), 1);
    }

    void reportsFullSlotsAndFailures() {
        ConnectToPrinter();
        FPrinter->Update([](zarelsim::PrinterState &state) {
            for (zarelsim::Bytes &logo : state.logos) logo = zarelsim::Bytes(62, 0);
        });
        ClickSend(*FWindow, "SpeedButton47");
        QCOMPARE(StatusText(*FWindow, "StatusBar1", 1), QStringLiteral("Fifty LOGOs are full!!"));

        FPrinter->Update([](zarelsim::PrinterState &state) { state.logos[4].clear(); });
        FPrinter->AddFault(zarelsim::ParseFault("silence@M"));
        ClickSend(*FWindow, "SpeedButton47");
        QCOMPARE(StatusText(*FWindow, "StatusBar1", 1),
                 QStringLiteral("Get free Logo number error!!"));

        FPrinter->ClearFaults();
        FPrinter->AddFault(zarelsim::ParseFault("error:10@0x7C"));
        ClickSend(*FWindow, "SpeedButton47");
        const QString tempnew =
            QDir::toNativeSeparators(FPlace->WorkFile(QStringLiteral("tempnew.bmp")));
        QCOMPARE(StatusText(*FWindow, "StatusBar1", 1),
                 QStringLiteral("Send Logo %1 Error!!").arg(tempnew));
        QVERIFY(FPrinter->State().LowestFreeLogoSlot() == 5);
        QVERIFY(FDriver->Messages().isEmpty());
    }

private:
    void StartPrinter(int number, uint32_t baud) {
        FMachine.RemovePort(number);
        zarelsim::Options options;
        options.baud = baud;
        options.comNumber = number;
        options.portDirectory = QFile::encodeName(FMachine.PortDir()).toStdString();
        FPrinter = std::make_unique<zarelsim::Simulator>(options);
        FPrinter->Start();
    }

    // The printer as COM2 at 19200, connected by Open Port.
    void ConnectToPrinter() {
        StartPrinter(2, 19200);
        FPlace->Store(QStringLiteral("Comm"), QStringLiteral("CommPort"), QStringLiteral("2"));
        FWindow = StartWindow(*FPlace);
        Click(*FWindow, "SpeedButton1");
        QVERIFY(ConnectedLook(*FWindow));
    }

    TTestMachine &FMachine;
    std::unique_ptr<TFreshWorkplace> FPlace;
    std::unique_ptr<zarelsim::Simulator> FPrinter;
    std::unique_ptr<TfrmTegrola> FWindow;
    std::unique_ptr<TModalDriver> FDriver;
};

TEGROLA_WINDOW_TEST_MAIN(TWindowPrinterTest)
#include "test_window_printer.moc"
