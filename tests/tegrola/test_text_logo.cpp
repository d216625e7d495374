// Text logos: the width of the widest line, line i at y = i * h + top, offsets that cut, and the
// empty text.
#include "LogoTestSupport.h"
#include "logo/TextLogo.h"
#include "qt/LogoImages.h"
#include "qt/QtTextRasterizer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QtTest>

namespace {

// A font every test machine has (fonts-dejavu-core), at a size whose line height is known.
QFont KnownFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

int LineHeight(const QFont &font) {
    QImage device(1, 1, QImage::Format_RGB32);
    QFont drawing(font);
    drawing.setStyleStrategy(QFont::NoAntialias);
    return QFontMetrics(drawing, &device).height();
}

// The text logo through Qt's rasterizer, as an image.
QImage RenderTextLogo(const QStringList &lines, const QFont &font, int logoHeight, int textLeft,
                      int textTop) {
    std::vector<std::string> text;
    for (const QString &line : lines) text.push_back(line.toStdString());
    return LogoImage(::RenderTextLogo(text, QtTextRasterizer(font), logoHeight, textLeft, textTop));
}

bool SameRows(const QImage &a, int aTop, const QImage &b, int bTop, int rows) {
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < a.width(); ++x)
            if (IsBlack(a, x, aTop + y) != IsBlack(b, x, bTop + y)) return false;
    return true;
}

} // namespace

class TTextLogoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")),
                 "DejaVu Sans is not installed");
        QCOMPARE(LineHeight(KnownFont()), 13);
    }

    void linesStackAtTheFontsLineHeight() {
        const QFont font = KnownFont();
        const QString line = QStringLiteral("Hg|8");
        const QImage one = RenderTextLogo({line}, font, 50, 0, 0);
        const QImage three = RenderTextLogo({line, line, line}, font, 50, 0, 0);
        QCOMPARE(three.size(), one.size());
        QCOMPARE(three.format(), QImage::Format_Mono);
        QVERIFY(BlackCount(one, 0, 0, one.width(), 13) > 20);
        QCOMPARE(BlackCount(one, 0, 13, one.width(), 50), 0);
        // Lines at y 0, 13 and 26, the same letters each time.
        for (int i = 0; i < 3; ++i)
            QVERIFY2(SameRows(three, 13 * i, one, 0, 13),
                     qPrintable(QStringLiteral("line %1").arg(i)));
        QCOMPARE(BlackCount(three, 0, 39, three.width(), 50), 0);

        // At 17 rows only the first line and the top 4 rows of the second remain.
        const QImage low = RenderTextLogo({line, line, line}, font, 17, 0, 0);
        QCOMPARE(low.size(), QSize(one.width(), 17));
        QVERIFY(SameRows(low, 0, three, 0, 17));
    }

    void widthIsTheWidestLineNotRoundedToBytes() {
        const QFont font = KnownFont();
        QImage device(1, 1, QImage::Format_RGB32);
        QFont drawing(font);
        drawing.setStyleStrategy(QFont::NoAntialias);
        const QFontMetrics metrics(drawing, &device);
        const QStringList lines = {QStringLiteral("ab"), QStringLiteral("This is Test."),
                                   QStringLiteral("x")};
        const QImage logo = RenderTextLogo(lines, font, 25, 0, 0);
        QCOMPARE(logo.width(), metrics.horizontalAdvance(QStringLiteral("This is Test.")));
        QCOMPARE(logo.height(), 25);
    }

    void offsetsMoveAndCutTheText() {
        const QFont font = KnownFont();
        const QStringList lines = {QStringLiteral("WWWW")};
        const QImage home = RenderTextLogo(lines, font, 50, 0, 0);
        const QImage right = RenderTextLogo(lines, font, 50, 5, 0);
        QCOMPARE(right.width(), home.width());
        QCOMPARE(BlackCount(right, 0, 0, 5, 50), 0);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x + 5 < home.width(); ++x)
                QCOMPARE(IsBlack(right, x + 5, y), IsBlack(home, x, y));

        const QImage down = RenderTextLogo(lines, font, 50, 0, 3);
        QVERIFY(SameRows(down, 3, home, 0, 47));
        QCOMPARE(BlackCount(RenderTextLogo(lines, font, 50, 0, 50), 0, 0, home.width(), 50), 0);
        QCOMPARE(BlackCount(RenderTextLogo(lines, font, 50, 0, -100), 0, 0, home.width(), 50), 0);
        const QImage up = RenderTextLogo(lines, font, 50, 0, -2);
        QVERIFY(SameRows(up, 0, home, 2, 48));
    }

    void emptyTextGivesAWhiteLogoOfOneByte() {
        for (const QStringList &lines :
             {QStringList(), QStringList{QString()}, QStringList{QString(), QString()}}) {
            const QImage logo = RenderTextLogo(lines, KnownFont(), 25, 0, 0);
            QCOMPARE(logo.size(), QSize(kEmptyTextLogoWidth, 25));
            QCOMPARE(BlackCount(logo, 0, 0, logo.width(), 25), 0);
        }
    }
};

QTEST_MAIN(TTextLogoTest)
#include "test_text_logo.moc"
