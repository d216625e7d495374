// The logo file form: the bytes the printer takes, checked one by one.
#include "logo/LogoBitmap.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

quint32 U32(const QByteArray &bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 U16(const QByteArray &bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

} // namespace

class TLogoBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void headerAndColourTable() {
        const QByteArray file = EncodeLogoBmp(NewLogoBitmap(56, 50));
        QCOMPARE(file.size(), 462);
        QCOMPARE(file.left(2), QByteArray("BM"));
        QCOMPARE(U32(file, 2), 462u); // file length
        QCOMPARE(U32(file, 10), 62u); // start of the pixel data
        QCOMPARE(U32(file, 14), 40u); // information header
        QCOMPARE(qint32(U32(file, 18)), 56);
        QCOMPARE(qint32(U32(file, 22)), 50); // positive: bottom-up rows
        QCOMPARE(U16(file, 26), quint16(1)); // planes
        QCOMPARE(U16(file, 28), quint16(1)); // bits a pixel
        QCOMPARE(U32(file, 30), 0u);         // no compression
        QCOMPARE(file.mid(54, 8), QByteArray::fromHex("00000000ffffff00"));
    }

    void rowsRunBottomUpPaddedToFourBytes() {
        QImage logo = NewLogoBitmap(56, 50);
        SetLogoBlack(logo, 0, 0);   // top-left
        SetLogoBlack(logo, 9, 49);  // bottom row, second byte
        SetLogoBlack(logo, 55, 49); // last pixel of the bottom row
        const QByteArray file = EncodeLogoBmp(logo);
        const int rowBytes = 8; // 7 bytes of pixels padded to 8
        // The file's first row is the logo's bottom row.
        QCOMPARE(quint8(file[62 + 0]), quint8(0xFF));
        QCOMPARE(quint8(file[62 + 1]), quint8(0xBF));
        QCOMPARE(quint8(file[62 + 6]), quint8(0xFE));
        // The logo's top row comes last.
        QCOMPARE(quint8(file[62 + 49 * rowBytes]), quint8(0x7F));
        for (int row = 1; row < 49; ++row)
            for (int byte = 0; byte < 7; ++byte)
                QCOMPARE(quint8(file[62 + row * rowBytes + byte]), quint8(0xFF));
    }

    void bitsPastTheWidthAreWhiteAndPaddingZero() {
        QImage logo = NewLogoBitmap(181, 3);
        logo.fill(0); // black, also in the memory past the last column
        const QByteArray file = EncodeLogoBmp(logo);
        QCOMPARE(file.size(), 62 + 24 * 3);
        for (int row = 0; row < 3; ++row) {
            const int start = 62 + row * 24;
            QCOMPARE(file.mid(start, 22), QByteArray(22, '\0'));
            QCOMPARE(quint8(file[start + 22]),
                     quint8(0x07)); // columns 176-180 black, 181-183 white
            QCOMPARE(quint8(file[start + 23]), quint8(0x00));
        }
        // A one-bit image of another colour order is not a logo.
        QImage inverted = NewLogoBitmap(8, 8);
        inverted.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        QVERIFY(EncodeLogoBmp(inverted).isEmpty());
    }

    void fileLengthFollowsWidthAndHeight_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qint64>("length");
        QTest::newRow("56 x 50") << 56 << 50 << qint64(462);
        QTest::newRow("216 x 50") << 216 << 50 << qint64(62 + 28 * 50);
        QTest::newRow("64 x 17") << 64 << 17 << qint64(62 + 8 * 17);
        QTest::newRow("2560 x 50") << 2560 << 50 << qint64(16062);
        QTest::newRow("100000 x 50") << 100000 << 50 << qint64(625062);
        QTest::newRow("1 x 25") << 1 << 25 << qint64(62 + 4 * 25);
    }
    void fileLengthFollowsWidthAndHeight() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qint64, length);
        QCOMPARE(LogoFileLength(width, height), length);
        QCOMPARE(qint64(EncodeLogoBmp(NewLogoBitmap(width, height)).size()), length);
    }

    void nearerColourDecidesBlackOrWhite() {
        QVERIFY(!IsNearerWhite(qRgb(0, 0, 0)));
        QVERIFY(IsNearerWhite(qRgb(255, 255, 255)));
        QVERIFY(IsNearerWhite(qRgb(127, 128, 128)));  // 383
        QVERIFY(!IsNearerWhite(qRgb(127, 128, 127))); // 382
        QVERIFY(!IsNearerWhite(qRgb(255, 127, 0)));
    }

    void writingReplacesTheFileOrKeepsTheOldOne() {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("tempold.bmp"));
        QString error;
        QVERIFY(WriteLogoBmp(NewLogoBitmap(8, 17), path, &error));
        QCOMPARE(QFileInfo(path).size(), LogoFileLength(8, 17));
        QVERIFY(WriteLogoBmp(NewLogoBitmap(56, 50), path, &error));
        QCOMPARE(QFileInfo(path).size(), qint64(462));

        const QString missing = directory.filePath(QStringLiteral("no such folder/tempold.bmp"));
        QVERIFY(!WriteLogoBmp(NewLogoBitmap(8, 17), missing, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write the logo file ")),
                 qPrintable(error));
        QVERIFY(!WriteLogoBmp(QImage(), path, &error));
        QCOMPARE(QFileInfo(path).size(), qint64(462));
    }
};

QTEST_GUILESS_MAIN(TLogoBitmapTest)
#include "test_logo_bitmap.moc"
