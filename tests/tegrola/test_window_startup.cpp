// The window's start-up, its settings and its captions in the three languages.
#include "WindowTestSupport.h"
#include "core/WorkFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct TExpectedCaption {
    const char *control;
    const char *english;
    const char *traditional;
    const char *simplified; // null: what the set before left there
};

// The captions as the operators read them.
const TExpectedCaption kCaptions[] = {
    {"GroupBox6", "", "", ""},
    {"Panel4", "Panel4", "Panel4", "Panel4"},
    {"TabSheet3", "Exist Logo", "圖形  ", "图形  "},
    {"SpeedButton48", "Open Picture", "開啟圖檔  ", "开启图档  "},
    {"SpeedButton53", "Save Logo As", "存檔", "存档  "},
    {"TabSheet4", "New Logo", "新圖 ", "新图  "},
    {"SpeedButton47", "Send Logo", "傳送圖檔  ", "传送图档  "},
    {"SpeedButton49", "New Text", "輸入文字  ", "输入文字  "},
    {"SpeedButton46", "Send Logo", "傳送圖檔  ", "传送图档  "},
    {"SpeedButton54", "Save Logo As", "存檔  ", "存档  "},
    {"SpeedButton50", "Set Font", "設定字型  ", "设定字型  "},
    {"RadioGroup2", "LOGO Height", "設定字高  ", "设定字高  "},
    {"GroupBox22", "Position", "調整位置  ", "调整位置  "},
    {"StatusBar1", "Status", "狀態  ", "状态  "},
    {"GroupBox20", "Communication", "", nullptr},
    {"Label1", "COM Port", "通訊阜  ", "接口  "},
    {"Label2", "ZarelBaudRate", "通訊速率  ", "通讯速率  "},
    {"Label3", "Langurge", "語言  ", "语言  "},
    {"StatusBar2", "System", "系統  ", "系统  "},
};

void CheckCaptions(QWidget &window, int language, const char *groupBox20) {
    for (const TExpectedCaption &caption : kCaptions) {
        const char *expected = language == 1   ? caption.traditional
                               : language == 2 ? caption.simplified
                                               : caption.english;
        if (!expected) expected = groupBox20;
        QCOMPARE(CaptionOf(window, caption.control), QString::fromUtf8(expected));
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("ZarelHP Tegrola   V2.06"));
}

} // namespace

class TWindowStartupTest : public QObject {
    Q_OBJECT
public:
    explicit TWindowStartupTest(TTestMachine &machine) : FMachine(machine) {}

private slots:
    void settingsLiveInTheUsersConfigFolder() {
        // What the window stores lands in the user's configuration folder (before any
        // workplace of the other tests moves the settings elsewhere).
        QTemporaryDir programDir;
        TfrmTegrola window(programDir.path());
        Control<QTimer>(window, "Timer1")->stop();
        ChooseLanguage(window, 2);
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") +
                   QStringLiteral("/Vantorleaf/ZarelHP.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString stored = QString::fromUtf8(file.readAll());
        QVERIFY2(stored.contains(QStringLiteral("[Lang]\nLangurge=2")), qPrintable(stored));
    }

    void firstStartWithoutSettings() {
        FMachine.ResetPort(7);
        FMachine.PointPort(8, QStringLiteral("/dev/null"));
        TFreshWorkplace place;
        auto window = StartWindow(place, true);
        auto *ports = Control<QComboBox>(*window, "ComboBox1");
        QVERIFY(ports->count() >= 3);
        QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(ports->itemText(1), QStringLiteral("COM2"));
        QCOMPARE(ports->itemText(2), QStringLiteral("COM7"));
        QCOMPARE(ports->itemData(2, Qt::ToolTipRole).toString(), FMachine.HeldDevice());
        QCOMPARE(ports->findText(QStringLiteral("COM8")), -1); // /dev/null opens no printer
        QCOMPARE(ports->currentIndex(), 0);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox3")->currentIndex(), 1);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox2")->currentIndex(), 8);
        QVERIFY(!Control<QComboBox>(*window, "ComboBox2")->isVisible());
        auto *memo = Control<QPlainTextEdit>(*window, "Memo1");
        QCOMPARE(memo->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(memo->font().pointSize(), 8);
        QCOMPARE(memo->toPlainText(), QStringLiteral("This is Test."));
        CheckCaptions(*window, 0, "Communication");
        QVERIFY(Control<QToolButton>(*window, "SpeedButton1")->isVisible());
        QVERIFY(Control<QToolButton>(*window, "SpeedButton55")->isVisible());
        QVERIFY(!Control<QToolButton>(*window, "SpeedButton2")->isVisible());
        QCOMPARE(Control<QToolButton>(*window, "SpeedButton2")->toolTip(),
                 QStringLiteral("Stop Port"));
        // Showing "New Logo" drew the first text logo, 50 rows high.
        QVERIFY(QFileInfo::exists(place.WorkFile(QStringLiteral("tempnew.bmp"))));
        QCOMPARE(QImage(place.WorkFile(QStringLiteral("tempnew.bmp"))).height(), 50);
        auto *timer = Control<QTimer>(*window, "Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QCOMPARE(window->size(), QSize(812, 390));
        FMachine.RemovePort(7);
        FMachine.RemovePort(8);
    }

    void storedSettingsAreRestored_data() {
        QTest::addColumn<QString>("commPort");
        QTest::addColumn<QString>("baudRate");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<int>("baudIndex");
        QTest::addColumn<int>("rateCode");
        QTest::newRow("second port, 115200") << "2"
                                             << "4" << 1 << 4 << 12;
        QTest::newRow("port past the list, 9600") << "9"
                                                  << "0" << -1 << 0 << 6;
        QTest::newRow("baud index 7 selects nothing") << "1"
                                                      << "7" << 0 << -1 << 8;
        QTest::newRow("38400, 57600") << "2"
                                      << "2" << 1 << 2 << 9;
        QTest::newRow("not numbers: defaults") << "two"
                                               << "fast" << 0 << 1 << 8;
    }
    void storedSettingsAreRestored() {
        QFETCH(QString, commPort);
        QFETCH(QString, baudRate);
        QFETCH(int, portIndex);
        QFETCH(int, baudIndex);
        QFETCH(int, rateCode);
        TFreshWorkplace place;
        place.Store(QStringLiteral("Comm"), QStringLiteral("CommPort"), commPort);
        place.Store(QStringLiteral("Comm"), QStringLiteral("BaudRate"), baudRate);
        auto window = StartWindow(place);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox1")->currentIndex(), portIndex);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox3")->currentIndex(), baudIndex);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox2")->currentIndex(), rateCode);
    }

    void eachLanguageSetsItsCaptions_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Traditional Chinese") << 1;
        QTest::newRow("Simplified Chinese, straight from the start") << 2;
    }
    void eachLanguageSetsItsCaptions() {
        QFETCH(int, language);
        TFreshWorkplace place;
        place.Store(QStringLiteral("Lang"), QStringLiteral("Langurge"), QString::number(language));
        auto window = StartWindow(place);
        QCOMPARE(Control<QComboBox>(*window, "ComboBox4")->currentIndex(), language);
        // The English set at creation wrote GroupBox20; the Simplified set leaves it.
        CheckCaptions(*window, language, "Communication");
    }

    void switchingLanguagesKeepsWhatTheSimplifiedSetLeaves() {
        TFreshWorkplace place;
        auto window = StartWindow(place);
        ChooseLanguage(*window, 1);
        CheckCaptions(*window, 1, "");
        QVERIFY(place.SettingsLines().contains(QStringLiteral("Langurge=1")));
        ChooseLanguage(*window, 0);
        CheckCaptions(*window, 0, "Communication");
        ChooseLanguage(*window, 2);
        CheckCaptions(*window, 2, "Communication");
        ChooseLanguage(*window, 1);
        ChooseLanguage(*window, 2);
        CheckCaptions(*window, 2, "");
        QVERIFY(place.SettingsLines().contains(QStringLiteral("Langurge=2")));
        // Hints, items and messages stay English.
        QCOMPARE(Control<QToolButton>(*window, "SpeedButton1")->toolTip(),
                 QStringLiteral("Open Port"));
        QCOMPARE(Control<QComboBox>(*window, "ComboBox4")->itemText(2),
                 QStringLiteral("Simple Chinese"));
    }

    void typedLanguageThatNamesNoItem() {
        TFreshWorkplace place;
        place.Store(QStringLiteral("Lang"), QStringLiteral("Langurge"), QStringLiteral("2"));
        {
            auto window = StartWindow(place);
            auto *languages = Control<QComboBox>(*window, "ComboBox4");
            languages->lineEdit()->selectAll();
            QTest::keyClicks(languages->lineEdit(), QStringLiteral("abc"));
            QCOMPARE(languages->currentText(), QStringLiteral("abc"));
            QCOMPARE(languages->currentIndex(), -1);
            CheckCaptions(*window, 0, "Communication");
            // No language is stored for it: the last one chosen comes back.
            QVERIFY(place.SettingsLines().contains(QStringLiteral("Langurge=2")));
        }
        auto window = StartWindow(place);
        CheckCaptions(*window, 2, "Communication");

        // Typing an item's name selects it.
        auto *languages = Control<QComboBox>(*window, "ComboBox4");
        languages->lineEdit()->selectAll();
        QTest::keyClicks(languages->lineEdit(), QStringLiteral("simple chinese"));
        QCOMPARE(languages->currentIndex(), 2);
        CheckCaptions(*window, 2, "Communication");
    }

    void bandControlsStayInPlaceInEveryLanguage() {
        TFreshWorkplace place;
        auto window = StartWindow(place);
        const QList<QRect> english = BandPlaces(*window);
        for (const int language : {1, 2, 0, 2}) {
            ChooseLanguage(*window, language);
            QApplication::processEvents();
            QCOMPARE(BandPlaces(*window), english);
        }
    }

    void workFilesGoWhereTheUserMayWrite_data() {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<bool>("beside");
        QTemporaryDir writable;
        writable.setAutoRemove(false);
        QTest::newRow("a folder the user may write") << writable.path() << true;
        QTest::newRow("a folder that cannot be written")
            << QStringLiteral("/nonexistent/tegrola") << false;
        // Root may write there, but the files would outlive the package.
        QTest::newRow("a system program folder") << QStringLiteral("/usr/bin") << false;
    }
    void workFilesGoWhereTheUserMayWrite() {
        QFETCH(QString, programDir);
        QFETCH(bool, beside);
        const QString dataFolder = FMachine.DataHome() + QStringLiteral("/Vantorleaf/Tegrola");
        const QString expected = beside ? programDir : dataFolder;
        QCOMPARE(QString::fromStdString(WorkFolder(programDir.toStdString())), expected);

        TFreshWorkplace place;
        TModalDriver driver;
        {
            TfrmTegrola window(programDir);
            Control<QTimer>(window, "Timer1")->stop();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::keyClicks(Control<QPlainTextEdit>(window, "Memo1"), QStringLiteral("ab"));
        }
        QVERIFY2(driver.Messages().isEmpty(), qPrintable(driver.Messages().join(QLatin1Char('|'))));
        QVERIFY(QFileInfo::exists(expected + QStringLiteral("/tempnew.bmp")));
        if (beside) QDir(programDir).removeRecursively();
    }

    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("begins");
        QTest::newRow("--help") << "--help"
                                << "Usage: tegrola [options]\n";
        QTest::newRow("-v")
            << "-v" << QStringLiteral("tegrola %1\n").arg(QLatin1String(ZARELCOM_VERSION_STRING));
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(QString, option);
        QFETCH(QString, begins);
        QProcess program;
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            noDisplay.remove(QLatin1String(name));
        program.setProcessEnvironment(noDisplay);
        program.start(QStringLiteral(TEGROLA_PROGRAM), {option});
        QVERIFY2(program.waitForFinished(30000), qPrintable(program.errorString()));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(QString::fromUtf8(program.readAllStandardOutput()).startsWith(begins),
                 qPrintable(program.readAllStandardError()));
    }

private:
    TTestMachine &FMachine;
};

TEGROLA_WINDOW_TEST_MAIN(TWindowStartupTest)
#include "test_window_startup.moc"
