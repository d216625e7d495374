// The two logo pages through the window: Open Picture and its refusals, the text logo's redraws,
// position buttons and heights, New Text, Set Font, Save Logo As, and Send Logo while not connected.
#include "LogoTestSupport.h"
#include "PictureBox.h"
#include "WindowTestSupport.h"
#include "logo/LogoBitmap.h"
#include "logo/TextLogo.h"
#include "qt/QtTextRasterizer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray FileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage Logo(QWidget &window, const char *image) {
    return Control<TPictureBox>(window, image)->Picture();
}

QByteArray Bytes(const std::vector<uint8_t> &bytes) {
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The text logo the window should show for its text, font, height and offsets.
QByteArray ExpectedTextLogo(QWidget &window, int height, int left, int top) {
    auto *memo = Control<QPlainTextEdit>(window, "Memo1");
    const QString text = memo->toPlainText();
    return Bytes(EncodeLogoBmp(RenderTextLogo(TextLines(text.toStdString()),
                                              QtTextRasterizer(memo->font()), height, left, top)));
}

void ChooseHeight(QWidget &window, int index) {
    QTest::mouseClick(
        Control<QAbstractButton>(window, QStringLiteral("RadioGroup2Item%1").arg(index).toLatin1()),
        Qt::LeftButton, {}, QPoint(4, 4));
}

void Repeat(QWidget &window, const char *button, int times) {
    for (int i = 0; i < times; ++i) Click(window, button);
}

} // namespace

class TWindowLogosTest : public QObject {
    Q_OBJECT
public:
    explicit TWindowLogosTest(TTestMachine &) {}

private slots:
    void init() {
        FPlace = std::make_unique<TFreshWorkplace>();
        // A font every test machine has, so the text logo's sizes are known.
        FPlace->Store(QStringLiteral("LogoFont"), QStringLiteral("FontName"),
                      QStringLiteral("DejaVu Sans"));
        FPlace->Store(QStringLiteral("LogoFont"), QStringLiteral("FontSize"), QStringLiteral("8"));
        FWindow = StartWindow(*FPlace);
        FDriver = std::make_unique<TModalDriver>();
    }
    void cleanup() {
        FDriver.reset();
        FWindow.reset();
        FPlace.reset();
    }

    void openPictureMakesTheLogoAndTempold() {
        const QString picture = SaveBmp(FilledPicture(100, 100, qRgb(0, 0, 0)), FPlace->AppDir(),
                                        QStringLiteral("square.bmp"));
        FDriver->AnswerFile(picture);
        Click(*FWindow, "SpeedButton48");
        QCOMPARE(Logo(*FWindow, "Image1").size(), QSize(100, 100));
        QCOMPARE(Logo(*FWindow, "Image2").size(), QSize(56, 50));
        const QByteArray tempold = FileBytes(FPlace->WorkFile(QStringLiteral("tempold.bmp")));
        QCOMPARE(tempold.size(), 462);
        QCOMPARE(tempold, Bytes(EncodeLogoBmp(Control<TPictureBox>(*FWindow, "Image2")->Logo())));
        QVERIFY(FDriver->Messages().isEmpty());

        // The picture logo takes the height chosen before it is opened.
        ChooseHeight(*FWindow, 1);
        QCOMPARE(Logo(*FWindow, "Image2").height(), 50);
        FDriver->AnswerFile(picture);
        Click(*FWindow, "SpeedButton48");
        QCOMPARE(Logo(*FWindow, "Image2").size(), QSize(56, 25));
        QCOMPARE(FileBytes(FPlace->WorkFile(QStringLiteral("tempold.bmp"))).size(), 62 + 8 * 25);

        // Save Logo As copies the logo.
        const QString copy = FPlace->WorkFile(QStringLiteral("copy.bmp"));
        FDriver->AnswerFile(copy);
        Click(*FWindow, "SpeedButton53");
        QCOMPARE(FileBytes(copy), FileBytes(FPlace->WorkFile(QStringLiteral("tempold.bmp"))));
        FDriver->CancelNext();
        Click(*FWindow, "SpeedButton53");
        QVERIFY(FDriver->Messages().isEmpty());
    }

    void refusedPicturesChangeNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a bitmap") << QByteArray("plain words, no picture") << "words.bmp"
                                      << "not a valid bitmap";
        QByteArray whole;
        QBuffer buffer(&whole);
        buffer.open(QIODevice::WriteOnly);
        FilledPicture(100, 100, qRgb(0, 0, 0)).save(&buffer, "BMP");
        QTest::newRow("cut short after its header") << whole.left(3000) << "cut.bmp"
                                                    << "not a valid bitmap";
        QTest::newRow("another extension") << QByteArray("BM") << "picture.png"
                                           << "only Windows bitmap files";
        QTest::newRow("100000 x 100000") << Header(100000, 100000) << "huge.bmp"
                                         << "too large";
        QTest::newRow("height 0") << Header(100, 0) << "flat.bmp"
                                  << "empty";
        QTest::newRow("width 0") << Header(0, 100) << "thin.bmp"
                                 << "empty";
    }
    void refusedPicturesChangeNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        FDriver->AnswerFile(SaveBmp(FilledPicture(30, 7, qRgb(0, 0, 0)), FPlace->AppDir(),
                                    QStringLiteral("good.bmp")));
        Click(*FWindow, "SpeedButton48");
        const QByteArray before = FileBytes(FPlace->WorkFile(QStringLiteral("tempold.bmp")));
        QCOMPARE(before.size(), 62 + 28 * 50);

        const QString path = FPlace->WorkFile(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        FDriver->AnswerFile(path);
        Click(*FWindow, "SpeedButton48");
        QCOMPARE(FDriver->Messages().size(), 1);
        QVERIFY2(FDriver->Messages().constFirst().contains(reason),
                 qPrintable(FDriver->Messages().constFirst()));
        QCOMPARE(Logo(*FWindow, "Image1").size(), QSize(30, 7));
        QCOMPARE(Logo(*FWindow, "Image2").size(), QSize(216, 50));
        QCOMPARE(FileBytes(FPlace->WorkFile(QStringLiteral("tempold.bmp"))), before);
    }

    void aNameTypedWithoutExtensionFindsEitherCase_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("name.bmp") << QStringLiteral("typed.bmp");
        QTest::newRow("name.BMP") << QStringLiteral("typed.BMP");
    }
    void aNameTypedWithoutExtensionFindsEitherCase() {
        QFETCH(QString, file);
        SaveBmp(FilledPicture(30, 7, qRgb(0, 0, 0)), FPlace->AppDir(), file);
        FDriver->AnswerFile(FPlace->WorkFile(QStringLiteral("typed")));
        Click(*FWindow, "SpeedButton48");
        QVERIFY2(FDriver->Messages().isEmpty(),
                 qPrintable(FDriver->Messages().join(QLatin1Char('|'))));
        QCOMPARE(Logo(*FWindow, "Image1").size(), QSize(30, 7));
        QFile::remove(FPlace->WorkFile(file));
    }

    void cancelledOpenChangesNothing() {
        FDriver->CancelNext();
        Click(*FWindow, "SpeedButton48");
        QVERIFY(Logo(*FWindow, "Image2").isNull());
        QVERIFY(!QFileInfo::exists(FPlace->WorkFile(QStringLiteral("tempold.bmp"))));
    }

    void everyEditRedrawsTempnew() {
        const QString tempnew = FPlace->WorkFile(QStringLiteral("tempnew.bmp"));
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 0, 0));
        auto *memo = Control<QPlainTextEdit>(*FWindow, "Memo1");
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("Second line, longer than the first"));
        QCOMPARE(memo->toPlainText().count(QLatin1Char('\n')), 1);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 0, 0));
        QCOMPARE(Logo(*FWindow, "Image3").width(), QImage(tempnew).width());

        ChooseHeight(*FWindow, 2);
        QCOMPARE(Logo(*FWindow, "Image3").height(), 17);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 17, 0, 0));
        ChooseHeight(*FWindow, 1);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 25, 0, 0));
    }

    void positionButtonsMoveTheText() {
        const QString tempnew = FPlace->WorkFile(QStringLiteral("tempnew.bmp"));
        Repeat(*FWindow, "SpeedButton60", 5); // Right
        Repeat(*FWindow, "SpeedButton52", 3); // Down
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 5, 3));
        Repeat(*FWindow, "SpeedButton59", 7); // Left
        Repeat(*FWindow, "SpeedButton51", 9); // Up, past the top
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, -2, -6));
        Click(*FWindow, "SpeedButton61"); // Auto
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 0, 0));
    }

    void downStopsAtTheLogoHeightAndOffsetsOutliveHeights() {
        const QString tempnew = FPlace->WorkFile(QStringLiteral("tempnew.bmp"));
        Repeat(*FWindow, "SpeedButton52", 60);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 0, 50));
        QCOMPARE(BlackCount(Logo(*FWindow, "Image3"), 0, 0, Logo(*FWindow, "Image3").width(), 50),
                 0);
        // Back up from 50, not from further down: the text shows again at 5.
        Repeat(*FWindow, "SpeedButton51", 45);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 50, 0, 5));
        QVERIFY(BlackCount(Logo(*FWindow, "Image3"), 0, 0, Logo(*FWindow, "Image3").width(), 50) >
                0);

        Click(*FWindow, "SpeedButton61");
        Repeat(*FWindow, "SpeedButton52", 40);
        ChooseHeight(*FWindow, 2);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 17, 0, 40));
        Click(*FWindow, "SpeedButton52"); // nothing: the text is below the logo
        Repeat(*FWindow, "SpeedButton51", 38);
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 17, 0, 2));
        Click(*FWindow, "SpeedButton61");
        QCOMPARE(FileBytes(tempnew), ExpectedTextLogo(*FWindow, 17, 0, 0));
        QVERIFY(BlackCount(Logo(*FWindow, "Image3"), 0, 0, Logo(*FWindow, "Image3").width(), 17) >
                0);
    }

    void newTextLeavesAWhiteLogo() {
        Click(*FWindow, "SpeedButton49");
        QVERIFY(Control<QPlainTextEdit>(*FWindow, "Memo1")->toPlainText().isEmpty());
        const QImage logo(FPlace->WorkFile(QStringLiteral("tempnew.bmp")));
        QCOMPARE(logo.size(), QSize(kEmptyTextLogoWidth, 50));
        QCOMPARE(FileBytes(FPlace->WorkFile(QStringLiteral("tempnew.bmp"))).size(), 62 + 4 * 50);
        QCOMPARE(BlackCount(Logo(*FWindow, "Image3"), 0, 0, kEmptyTextLogoWidth, 50), 0);
    }

    void setFontStoresNameAndSize() {
        const QImage before = Logo(*FWindow, "Image3");
        FDriver->AnswerFont(QFont(QStringLiteral("DejaVu Sans"), 20));
        Click(*FWindow, "SpeedButton50");
        auto *memo = Control<QPlainTextEdit>(*FWindow, "Memo1");
        QCOMPARE(memo->font().pointSize(), 20);
        QVERIFY(Logo(*FWindow, "Image3").width() > before.width());
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("FontName=DejaVu Sans")));
        QVERIFY(FPlace->SettingsLines().contains(QStringLiteral("FontSize=20")));
        QCOMPARE(FileBytes(FPlace->WorkFile(QStringLiteral("tempnew.bmp"))),
                 ExpectedTextLogo(*FWindow, 50, 0, 0));

        FDriver->CancelNext();
        Click(*FWindow, "SpeedButton50");
        QCOMPARE(memo->font().pointSize(), 20);
    }

    void saveTextLogoAs() {
        const QString copy = FPlace->WorkFile(QStringLiteral("text copy.bmp"));
        FDriver->AnswerFile(copy);
        Click(*FWindow, "SpeedButton54");
        QCOMPARE(FileBytes(copy), FileBytes(FPlace->WorkFile(QStringLiteral("tempnew.bmp"))));
    }

    void sendingWhileNotConnectedOnlySaysSo() {
        for (const char *button : {"SpeedButton46", "SpeedButton47"}) {
            FDriver->ClearMessages();
            Click(*FWindow, button);
            QCOMPARE(FDriver->Messages(), QStringList{QStringLiteral(" Not Connector ZAREL HP!!")});
            QCOMPARE(StatusText(*FWindow, "StatusBar1", 1), QString());
        }
    }

private:
    static QByteArray Header(int width, int height) {
        QByteArray header(54 + 64, '\0');
        header[0] = 'B';
        header[1] = 'M';
        qToLittleEndian<quint32>(54, header.data() + 10);
        qToLittleEndian<quint32>(40, header.data() + 14);
        qToLittleEndian<quint32>(quint32(width), header.data() + 18);
        qToLittleEndian<quint32>(quint32(height), header.data() + 22);
        qToLittleEndian<quint16>(1, header.data() + 26);
        qToLittleEndian<quint16>(24, header.data() + 28);
        return header;
    }

    std::unique_ptr<TFreshWorkplace> FPlace;
    std::unique_ptr<TfrmTegrola> FWindow;
    std::unique_ptr<TModalDriver> FDriver;
};

TEGROLA_WINDOW_TEST_MAIN(TWindowLogosTest)
#include "test_window_logos.moc"
