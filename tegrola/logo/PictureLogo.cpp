#include "logo/PictureLogo.h"

#include "logo/LogoBitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <QtNumeric>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// Source positions [first, last) that fall onto target position t when size source becomes
// size target; never empty, so enlarging repeats the nearest source position.
struct SourceSpan {
    qint64 first;
    qint64 last;
};

SourceSpan SpanOf(qint64 t, qint64 source, qint64 target) {
    const qint64 first = t * source / target;
    return {first, std::max(first + 1, (t + 1) * source / target)};
}

// For each colour index of an indexed picture, whether it is black after reduction.
std::vector<bool> BlackIndices(const QImage &picture) {
    std::vector<bool> black;
    for (const QRgb colour : picture.colorTable()) black.push_back(!IsNearerWhite(colour));
    return black;
}

bool IsBlackIndex(const std::vector<bool> &black, int index) {
    return index >= 0 && index < int(black.size()) && black[index];
}

// Colour pictures: one source pixel for each logo pixel.
void SamplePicture(const QImage &picture, QImage &logo, int scaledWidth, int rows) {
    const bool direct =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    const QImage rgb = direct ? picture : picture.convertToFormat(QImage::Format_RGB32);
    std::vector<int> sourceColumn(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x)
        sourceColumn[x] = int(SpanOf(x, rgb.width(), scaledWidth).first);
    for (int y = 0; y < rows; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(
            rgb.constScanLine(int(SpanOf(y, rgb.height(), kPictureScaleRows).first)));
        for (int x = 0; x < scaledWidth; ++x)
            if (!IsNearerWhite(line[sourceColumn[x]])) SetLogoBlack(logo, x, y);
    }
}

// One-bit pictures: a logo pixel is black when any source pixel falling onto it is black.
void ShrinkOneBitPicture(const QImage &picture, QImage &logo, int scaledWidth, int rows) {
    const std::vector<bool> black = BlackIndices(picture);
    std::vector<SourceSpan> columns(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x) columns[x] = SpanOf(x, picture.width(), scaledWidth);
    for (int y = 0; y < rows; ++y) {
        const SourceSpan sourceRows = SpanOf(y, picture.height(), kPictureScaleRows);
        for (int x = 0; x < scaledWidth; ++x) {
            bool anyBlack = false;
            for (qint64 sy = sourceRows.first; sy < sourceRows.last && !anyBlack; ++sy)
                for (qint64 sx = columns[x].first; sx < columns[x].last && !anyBlack; ++sx)
                    anyBlack = IsBlackIndex(black, picture.pixelIndex(int(sx), int(sy)));
            if (anyBlack) SetLogoBlack(logo, x, y);
        }
    }
}

// What a bitmap file's headers say about its picture: the size (rows counted whichever way they
// run) and where its pixel data ends.
struct BitmapLayout {
    QSize size;
    qint64 pixelEnd = 0; // file offset one past the last byte of pixel data
    QString problem;     // why the headers describe no bitmap; empty when they do
};

// Compression methods of the information header that store rows as they are.
bool IsUncompressed(quint32 compression) {
    constexpr quint32 kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    return compression == kRgb || compression == kBitFields || compression == kAlphaBitFields;
}

BitmapLayout ReadBitmapLayout(const QByteArray &head) {
    constexpr quint32 kCoreHeaderSize = 12; // the old OS/2 header: 16-bit sizes, no compression
    constexpr quint32 kRle8 = 1, kRle4 = 2;
    BitmapLayout layout;
    if (head.size() < 26 || !head.startsWith("BM")) {
        layout.problem = QStringLiteral("it does not begin with a bitmap header");
        return layout;
    }
    const char *bytes = head.constData();
    const qint64 pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width = 0, height = 0, bitCount = 0, compressedBytes = 0;
    quint32 compression = 0;
    if (infoSize == kCoreHeaderSize) {
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
        bitCount = qFromLittleEndian<quint16>(bytes + 24);
    } else if (infoSize >= 40 && head.size() >= 38) {
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
        bitCount = qFromLittleEndian<quint16>(bytes + 28);
        compression = qFromLittleEndian<quint32>(bytes + 30);
        compressedBytes = qFromLittleEndian<quint32>(bytes + 34);
    } else {
        layout.problem = QStringLiteral("its information header is damaged");
        return layout;
    }
    layout.size = QSize(int(std::clamp<qint64>(width, INT_MIN, INT_MAX)),
                        int(std::min<qint64>(height, INT_MAX)));
    if (IsUncompressed(compression)) {
        // Rows padded to whole 4-byte words; a negative width stores nothing.
        const qint64 rowBytes = (std::max<qint64>(width, 0) * bitCount + 31) / 32 * 4;
        qint64 dataBytes = 0;
        if (qMulOverflow(rowBytes, height, &dataBytes))
            dataBytes = std::numeric_limits<qint64>::max() / 2; // far beyond any file
        layout.pixelEnd = pixelOffset + dataBytes;
    } else if (compression == kRle8 || compression == kRle4) {
        // Compressed rows have no fixed length: the header's image size is the only measure.
        if (compressedBytes == 0)
            layout.problem =
                QStringLiteral("its header does not say how long its compressed pixel data is");
        layout.pixelEnd = pixelOffset + compressedBytes;
    } else {
        layout.problem =
            QStringLiteral("its pixels are stored in a form (compression %1) that cannot be read")
                .arg(compression);
    }
    return layout;
}

// The first colour number a pixel uses that the picture's colour table does not hold, or -1 when
// every pixel names a colour of the table. Such a pixel has no colour: compared or drawn through
// the table it would read past the table's end.
int ColourBeyondTable(const QImage &picture) {
    const int colours = picture.colorCount();
    if (colours == 0 || picture.depth() > 8 || colours >= (1 << picture.depth())) return -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (const int index = picture.pixelIndex(x, y); index >= colours) return index;
    return -1;
}

} // namespace

qint64 ScaledPictureWidth(QSize picture) {
    return picture.height() > 0 ? qint64(picture.width()) * kPictureScaleRows / picture.height()
                                : 0;
}

QString PictureSizeProblem(QSize picture) {
    const QString size =
        QStringLiteral("%1 x %2 pixels").arg(picture.width()).arg(picture.height());
    if (picture.width() < 1 || picture.height() < 1)
        return QStringLiteral("the picture is empty (%1); open a picture that has pixels.")
            .arg(size);
    if (qint64(picture.width()) * picture.height() > kMaxPicturePixels)
        return QStringLiteral("the picture is too large to convert (%1, at most %2 pixels); "
                              "open a smaller picture.")
            .arg(size)
            .arg(kMaxPicturePixels);
    const qint64 scaledWidth = ScaledPictureWidth(picture);
    if (scaledWidth < 1)
        return QStringLiteral("the picture is too narrow for a logo (%1 becomes less than one dot "
                              "wide at 50 dots high); open a wider picture.")
            .arg(size);
    if (scaledWidth > kMaxLogoWidth)
        return QStringLiteral("the picture is too wide for a logo (%1 becomes %2 dots wide at 50 "
                              "dots high, at most %3); open a less wide picture.")
            .arg(size)
            .arg(scaledWidth)
            .arg(kMaxLogoWidth);
    return QString();
}

QString ExistingPictureName(const QString &path) {
    const QFileInfo typed(path);
    if (typed.exists() || !typed.suffix().isEmpty()) return path;
    for (const QLatin1String extension : {QLatin1String(".bmp"), QLatin1String(".BMP")})
        if (QFileInfo::exists(path + extension)) return path + extension;
    return path;
}

LoadedPicture LoadLogoPicture(const QString &typedPath) {
    const QString path = ExistingPictureName(typedPath);
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString &reason) {
        return LoadedPicture{QImage(),
                             QStringLiteral("Cannot open the picture %1: %2").arg(shown, reason)};
    };
    const auto invalid = [&](const QString &reason) {
        return refuse(QStringLiteral("it is not a valid bitmap: %1.").arg(reason));
    };
    if (QFileInfo(path).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("only Windows bitmap files (.bmp) can be opened."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("%1.").arg(file.errorString()));

    const BitmapLayout layout = ReadBitmapLayout(file.read(38));
    if (!layout.problem.isEmpty()) return invalid(layout.problem);
    if (const QString problem = PictureSizeProblem(layout.size); !problem.isEmpty())
        return refuse(problem);
    if (layout.pixelEnd > INT_MAX)
        return refuse(
            QStringLiteral("the file is too large to open (%1 bytes); open a smaller picture.")
                .arg(layout.pixelEnd));
    // Only the bytes up to the end of the pixel data are the picture's. Qt's reader would leave
    // the rows a short file lacks as whatever the memory held.
    // The file is measured first: reading reserves room for all the header promises.
    QByteArray bytes;
    if (file.size() >= layout.pixelEnd && file.seek(0)) bytes = file.read(layout.pixelEnd);
    if (bytes.size() < layout.pixelEnd)
        return invalid(
            QStringLiteral(
                "the file ends after %1 bytes, but its header places pixel data up to byte %2. "
                "The file was cut short; copy it again from where it came")
                .arg(file.size())
                .arg(layout.pixelEnd));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    // Room for the largest picture converted, at four bytes a pixel.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    // Compressed rows may skip pixels; those take colour 0, as Windows draws them, never
    // whatever the memory held.
    QImage picture(reader.size(), reader.imageFormat());
    picture.fill(0);
    const qint64 pictureSerial = picture.cacheKey() >> 32;
    if (!reader.read(&picture))
        return refuse(
            QStringLiteral("it is not a readable Windows bitmap (%1).").arg(reader.errorString()));
    if (picture.cacheKey() >> 32 != pictureSerial)
        return invalid(QStringLiteral("its headers contradict each other"));
    if (const int colour = ColourBeyondTable(picture); colour >= 0)
        return invalid(
            QStringLiteral(
                "its pixels use colour number %1, but its colour table holds only %2 colours. "
                "Save the picture again from a drawing program")
                .arg(colour)
                .arg(picture.colorCount()));
    return LoadedPicture{picture, QString()};
}

QImage ConvertPictureLogo(const QImage &picture, int logoHeight) {
    if (!PictureSizeProblem(picture.size()).isEmpty() || logoHeight < 1 ||
        logoHeight > kPictureScaleRows)
        return QImage();
    const int scaledWidth = int(ScaledPictureWidth(picture.size()));
    QImage logo = NewLogoBitmap((scaledWidth + 7) / 8 * 8, logoHeight);
    if (logo.isNull()) return logo;
    if (picture.depth() == 1)
        ShrinkOneBitPicture(picture, logo, scaledWidth, logoHeight);
    else
        SamplePicture(picture, logo, scaledWidth, logoHeight);
    return logo;
}
