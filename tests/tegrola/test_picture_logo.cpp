// Pictures made into logos: scaling to 50 rows, the padded width, the cut to the logo height,
// the two scaling rules and the refusals.
#include "LogoTestSupport.h"
#include "logo/LogoBitmap.h"
#include "logo/PictureLogo.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TPictureLogoTest : public QObject {
    Q_OBJECT
private slots:
    void scaledWidthIsPaddedToWholeBytes_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("scaledWidth");
        QTest::addColumn<int>("logoWidth");
        QTest::addColumn<qint64>("fileLength");
        QTest::newRow("100 x 100") << 100 << 100 << 50 << 56 << qint64(462);
        QTest::newRow("30 x 7") << 30 << 7 << 214 << 216 << qint64(62 + 28 * 50);
        QTest::newRow("128 x 100, no padding") << 128 << 100 << 64 << 64 << qint64(62 + 8 * 50);
        QTest::newRow("2000 x 1") << 2000 << 1 << 100000 << 100000 << qint64(625062);
    }
    void scaledWidthIsPaddedToWholeBytes() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, scaledWidth);
        QFETCH(int, logoWidth);
        QFETCH(qint64, fileLength);
        const QImage logo = ConvertPictureLogo(FilledPicture(width, height, qRgb(0, 0, 0)), 50);
        QCOMPARE(logo.size(), QSize(logoWidth, 50));
        QCOMPARE(logo.format(), QImage::Format_Mono);
        // The scaled picture is black; the padding columns stay white.
        QCOMPARE(BlackCount(logo, 0, 0, scaledWidth, 50), scaledWidth * 50);
        QCOMPARE(BlackCount(logo, scaledWidth, 0, logoWidth, 50), 0);
        QCOMPARE(qint64(EncodeLogoBmp(logo).size()), fileLength);
    }

    void lowerLogosKeepTheTopOfThe50Rows() {
        // Top half black, bottom half white.
        QImage picture = FilledPicture(100, 100, qRgb(255, 255, 255));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x) picture.setPixel(x, y, qRgb(0, 0, 0));
        const QImage full = ConvertPictureLogo(picture, 50);
        QCOMPARE(BlackCount(full, 0, 0, 50, 25), 50 * 25);
        QCOMPARE(BlackCount(full, 0, 25, 56, 50), 0);

        const QImage half = ConvertPictureLogo(picture, 25);
        QCOMPARE(half.size(), QSize(56, 25));
        QCOMPARE(BlackCount(half, 0, 0, 50, 25), 50 * 25);
        QCOMPARE(ConvertPictureLogo(picture, 17).size(), QSize(56, 17));
    }

    void pureBlackAndWhiteKeepEveryPixel() {
        QImage picture = FilledPicture(80, 50, qRgb(255, 255, 255));
        QRandomGenerator random(7);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 80; ++x)
                if (random.bounded(2)) picture.setPixel(x, y, qRgb(0, 0, 0));
        const QImage logo = ConvertPictureLogo(picture, 50);
        QCOMPARE(logo.size(), QSize(80, 50));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 80; ++x)
                QCOMPARE(IsBlack(logo, x, y), picture.pixel(x, y) == qRgb(0, 0, 0));
    }

    void colourPicturesTakeOneSourcePixelWithoutBlending() {
        // Columns alternate black and white; halving takes the even (black) columns, a blend
        // would give grey.
        QImage stripes = FilledPicture(200, 100, qRgb(255, 255, 255));
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; x += 2) stripes.setPixel(x, y, qRgb(0, 0, 0));
        QCOMPARE(BlackCount(ConvertPictureLogo(stripes, 50), 0, 0, 100, 50), 100 * 50);

        QImage colours(300, 150, QImage::Format_RGB888);
        QRandomGenerator random(11);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 300; ++x) colours.setPixel(x, y, random.generate() | 0xff000000u);
        const QImage logo = ConvertPictureLogo(colours, 50);
        QCOMPARE(logo.size(), QSize(104, 50));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                QCOMPARE(IsBlack(logo, x, y), !IsNearerWhite(colours.pixel(x * 3, y * 3)));
    }

    void oneBitPicturesKeepAnyBlack() {
        QImage picture(200, 100, QImage::Format_Mono);
        picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // index 1 is black here
        picture.fill(0);
        picture.setPixel(3, 3, 1); // falls onto logo pixel (1, 1); sampling would drop it
        picture.setPixel(198, 99, 1);
        const QImage logo = ConvertPictureLogo(picture, 50);
        QCOMPARE(logo.size(), QSize(104, 50));
        QVERIFY(IsBlack(logo, 1, 1));
        QVERIFY(IsBlack(logo, 99, 49));
        QCOMPARE(BlackCount(logo, 0, 0, 104, 50), 2);

        // Enlarged, each source pixel is repeated.
        QImage small(10, 25, QImage::Format_Mono);
        small.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        small.fill(1);
        small.setPixel(4, 0, 0);
        const QImage enlarged = ConvertPictureLogo(small, 50);
        QCOMPARE(enlarged.size(), QSize(24, 50));
        QCOMPARE(BlackCount(enlarged, 0, 0, 24, 50), 4);
        QCOMPARE(BlackCount(enlarged, 8, 0, 10, 2), 4);
    }

    void loadsBitmapFilesAndRefusesTheRest() {
        QTemporaryDir directory;
        const QString good = SaveBmp(FilledPicture(30, 7, qRgb(0, 0, 0)), directory.path(),
                                     QStringLiteral("logo.BMP"));
        const LoadedPicture loaded = LoadLogoPicture(good);
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.picture.size(), QSize(30, 7));

        const QString png = directory.filePath(QStringLiteral("logo.png"));
        FilledPicture(30, 7, qRgb(0, 0, 0)).save(png, "PNG");
        QVERIFY(LoadLogoPicture(png).error.contains(QStringLiteral("only Windows bitmap files")));

        const QString text = directory.filePath(QStringLiteral("notes.bmp"));
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("these are not the bytes of a picture");
        notes.close();
        const LoadedPicture unreadable = LoadLogoPicture(text);
        QVERIFY(unreadable.picture.isNull());
        QVERIFY2(unreadable.error.startsWith(QStringLiteral("Cannot open the picture ")),
                 qPrintable(unreadable.error));
        QVERIFY(
            LoadLogoPicture(directory.filePath(QStringLiteral("missing.bmp"))).picture.isNull());
    }

    void refusesEmptyAndHugeHeaders_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("reason");
        QTest::newRow("100000 x 100000") << 100000 << 100000 << QStringLiteral("too large");
        QTest::newRow("height 0") << 40 << 0 << QStringLiteral("empty");
        QTest::newRow("width 0") << 0 << 40 << QStringLiteral("empty");
        QTest::newRow("1 x 100 scales to nothing") << 1 << 100 << QStringLiteral("too narrow");
        QTest::newRow("60000 x 2 far too wide") << 60000 << 2 << QStringLiteral("too wide");
    }
    void refusesEmptyAndHugeHeaders() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, reason);
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("header.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(BitmapHeader(width, height));
        // A few rows only: a huge picture must be refused from its header, before decoding.
        file.write(QByteArray(4096, '\0'));
        file.close();
        const LoadedPicture loaded = LoadLogoPicture(path);
        QVERIFY(loaded.picture.isNull());
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
        QVERIFY(!PictureSizeProblem(QSize(width, height)).isEmpty());
        QVERIFY(PictureSizeProblem(QSize(width, height)).contains(reason));
    }

    void refusesFilesCutShortOfTheirPixels_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray colour = BmpBytes(FilledPicture(100, 100, qRgb(0, 0, 0)));
        QTest::newRow("24-bit, first 3000 of 30054 bytes") << colour.left(3000);
        QTest::newRow("24-bit, one byte short") << colour.chopped(1);
        QTest::newRow("1-bit, one byte short")
            << BmpBytes(FilledPicture(64, 40, qRgb(0, 0, 0)).convertToFormat(QImage::Format_Mono))
                   .chopped(1);
        QTest::newRow("8-bit, half")
            << BmpBytes(
                   FilledPicture(64, 40, qRgb(0, 0, 0)).convertToFormat(QImage::Format_Indexed8))
                   .chopped(1280);
        QTest::newRow("RLE8, cut inside its rows") << Rle8Bitmap(4, 0).chopped(5);
        QTest::newRow("RLE8 without its length") << Rle8Bitmap(4, 0, false);
    }
    void refusesFilesCutShortOfTheirPixels() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir directory;
        const LoadedPicture loaded =
            LoadLogoPicture(WriteFile(directory, QStringLiteral("cut.bmp"), bytes));
        QVERIFY(loaded.picture.isNull());
        QVERIFY2(loaded.error.contains(QStringLiteral("not a valid bitmap")),
                 qPrintable(loaded.error));
    }

    void everyPixelComesFromTheFile() {
        QTemporaryDir directory;
        // Bytes after the pixel data are no part of the picture.
        const QByteArray whole = BmpBytes(FilledPicture(30, 7, qRgb(0, 0, 0)));
        const QImage plain =
            LoadLogoPicture(WriteFile(directory, QStringLiteral("a.bmp"), whole)).picture;
        QVERIFY(!plain.isNull());
        for (const char garbage : {'\0', '\xff'})
            QCOMPARE(LoadLogoPicture(WriteFile(directory, QStringLiteral("b.bmp"),
                                               whole + QByteArray(600, garbage)))
                         .picture,
                     plain);

        // Compressed rows that end early leave the rest in colour 0 (white here), not in noise.
        const QImage early =
            LoadLogoPicture(WriteFile(directory, QStringLiteral("rle.bmp"), Rle8Bitmap(4, 1)))
                .picture;
        QCOMPARE(early.size(), QSize(4, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(early.pixel(x, y), y == 3 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }

    void refusesPixelsOfColoursItsTableLacks() {
        // A run of colour 2 where the table holds colours 0 and 1 only.
        QByteArray bytes = Rle8Bitmap(4);
        bytes[63] = '\2';
        QTemporaryDir directory;
        const LoadedPicture loaded =
            LoadLogoPicture(WriteFile(directory, QStringLiteral("colour.bmp"), bytes));
        QVERIFY(loaded.picture.isNull());
        QVERIFY2(loaded.error.contains(
                     QStringLiteral("colour number 2, but its colour table holds only 2 colours")),
                 qPrintable(loaded.error));
    }

    void namesWithoutExtensionFindEitherCase_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("name.bmp") << QStringLiteral("logo.bmp");
        QTest::newRow("name.BMP") << QStringLiteral("logo.BMP");
    }
    void namesWithoutExtensionFindEitherCase() {
        QFETCH(QString, file);
        QTemporaryDir directory;
        SaveBmp(FilledPicture(30, 7, qRgb(0, 0, 0)), directory.path(), file);
        const QString typed = directory.filePath(QStringLiteral("logo"));
        QCOMPARE(ExistingPictureName(typed), directory.filePath(file));
        QCOMPARE(LoadLogoPicture(typed).picture.size(), QSize(30, 7));
        QCOMPARE(ExistingPictureName(directory.filePath(QStringLiteral("other"))),
                 directory.filePath(QStringLiteral("other")));
    }

    void logoHeightMustBeOneToFiftyRows() {
        const QImage picture = FilledPicture(10, 10, qRgb(0, 0, 0));
        QVERIFY(ConvertPictureLogo(picture, 0).isNull());
        QVERIFY(ConvertPictureLogo(picture, 51).isNull());
        QCOMPARE(ConvertPictureLogo(picture, 1).size(), QSize(56, 1));
    }

private:
    static QByteArray BmpBytes(const QImage &picture) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        return bytes;
    }

    static QString WriteFile(const QTemporaryDir &directory, const QString &name,
                             const QByteArray &bytes) {
        const QString path = directory.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A width x width 8-bit run-length bitmap, colour 0 white and 1 black, whose encoded rows
    // (the bottom ones first) are black runs; the end-of-bitmap mark follows the last encoded
    // row. withLength: whether the header gives the compressed length.
    static QByteArray Rle8Bitmap(int width, int encodedRows = -1, bool withLength = true) {
        if (encodedRows <= 0) encodedRows = width;
        QByteArray rows;
        for (int row = 0; row < encodedRows; ++row) {
            rows += QByteArray::fromRawData("\0\1\0\0", 4);
            rows[rows.size() - 4] = char(width); // a run of width pixels of colour 1
        }
        rows += QByteArray::fromRawData("\0\1", 2);
        QByteArray bytes(54 + 2 * 4, '\0');
        const auto put32 = [&](int offset, quint32 value) {
            qToLittleEndian(value, bytes.data() + offset);
        };
        const auto put16 = [&](int offset, quint16 value) {
            qToLittleEndian(value, bytes.data() + offset);
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put32(2, quint32(bytes.size() + rows.size()));
        put32(10, quint32(bytes.size()));
        put32(14, 40);
        put32(18, quint32(width));
        put32(22, quint32(width));
        put16(26, 1);
        put16(28, 8);
        put32(30, 1);
        put32(34, withLength ? quint32(rows.size()) : 0);
        put32(46, 2);
        put32(54, 0xffffff);
        put32(58, 0x000000);
        return bytes + rows;
    }

    // The 54 bytes of a 24-bit bitmap's headers for a picture of the given size.
    static QByteArray BitmapHeader(int width, int height) {
        QByteArray header(54, '\0');
        const auto put32 = [&](int offset, quint32 value) {
            qToLittleEndian(value, header.data() + offset);
        };
        const auto put16 = [&](int offset, quint16 value) {
            qToLittleEndian(value, header.data() + offset);
        };
        header[0] = 'B';
        header[1] = 'M';
        put32(2, 54 + 4096);
        put32(10, 54);
        put32(14, 40);
        put32(18, quint32(width));
        put32(22, quint32(height));
        put16(26, 1);
        put16(28, 24);
        return header;
    }
};

QTEST_GUILESS_MAIN(TPictureLogoTest)
#include "test_picture_logo.moc"
