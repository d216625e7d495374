#include "logo/PictureLogo.h"

#include "logo/LogoBitmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// Source positions [first, last) that fall onto target position t when size source becomes
// size target; never empty, so enlarging repeats the nearest source position.
struct SourceSpan {
    qint64 first;
    qint64 last;
};

SourceSpan SpanOf(qint64 t, qint64 source, qint64 target)
{
    const qint64 first = t * source / target;
    return {first, std::max(first + 1, (t + 1) * source / target)};
}

// For each colour index of an indexed picture, whether it is black after reduction.
std::vector<bool> BlackIndices(const QImage &picture)
{
    std::vector<bool> black;
    for (const QRgb colour : picture.colorTable())
        black.push_back(!IsNearerWhite(colour));
    return black;
}

bool IsBlackIndex(const std::vector<bool> &black, int index)
{
    return index >= 0 && index < int(black.size()) && black[index];
}

// Colour pictures: one source pixel for each logo pixel.
void SamplePicture(const QImage &picture, QImage &logo, int scaledWidth, int rows)
{
    const bool direct = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    const QImage rgb = direct ? picture : picture.convertToFormat(QImage::Format_RGB32);
    std::vector<int> sourceColumn(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x)
        sourceColumn[x] = int(SpanOf(x, rgb.width(), scaledWidth).first);
    for (int y = 0; y < rows; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(
            rgb.constScanLine(int(SpanOf(y, rgb.height(), kPictureScaleRows).first)));
        for (int x = 0; x < scaledWidth; ++x)
            if (!IsNearerWhite(line[sourceColumn[x]]))
                SetLogoBlack(logo, x, y);
    }
}

// One-bit pictures: a logo pixel is black when any source pixel falling onto it is black.
void ShrinkOneBitPicture(const QImage &picture, QImage &logo, int scaledWidth, int rows)
{
    const std::vector<bool> black = BlackIndices(picture);
    std::vector<SourceSpan> columns(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x)
        columns[x] = SpanOf(x, picture.width(), scaledWidth);
    for (int y = 0; y < rows; ++y) {
        const SourceSpan sourceRows = SpanOf(y, picture.height(), kPictureScaleRows);
        for (int x = 0; x < scaledWidth; ++x) {
            bool anyBlack = false;
            for (qint64 sy = sourceRows.first; sy < sourceRows.last && !anyBlack; ++sy)
                for (qint64 sx = columns[x].first; sx < columns[x].last && !anyBlack; ++sx)
                    anyBlack = IsBlackIndex(black, picture.pixelIndex(int(sx), int(sy)));
            if (anyBlack)
                SetLogoBlack(logo, x, y);
        }
    }
}

// The picture size a bitmap file's header declares (rows counted whichever way they run), or an
// invalid size when the file does not begin with a bitmap header. Qt's reader refuses huge or
// empty headers without saying why; this tells the operator.
QSize DeclaredBitmapSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QSize();
    const QByteArray head = file.read(26);
    if (head.size() < 22 || !head.startsWith("BM"))
        return QSize();
    const char *bytes = head.constData();
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    if (infoSize == 12) // the old OS/2 header: 16-bit sizes
        return QSize(qFromLittleEndian<quint16>(bytes + 18), qFromLittleEndian<quint16>(bytes + 20));
    if (infoSize < 40 || head.size() < 26)
        return QSize();
    const qint64 height = qFromLittleEndian<qint32>(bytes + 22);
    return QSize(qFromLittleEndian<qint32>(bytes + 18), int(std::min<qint64>(std::abs(height), INT_MAX)));
}

} // namespace

qint64 ScaledPictureWidth(QSize picture)
{
    return picture.height() > 0 ? qint64(picture.width()) * kPictureScaleRows / picture.height() : 0;
}

QString PictureSizeProblem(QSize picture)
{
    const QString size = QStringLiteral("%1 x %2 pixels").arg(picture.width()).arg(picture.height());
    if (picture.width() < 1 || picture.height() < 1)
        return QStringLiteral("the picture is empty (%1); open a picture that has pixels.").arg(size);
    if (qint64(picture.width()) * picture.height() > kMaxPicturePixels)
        return QStringLiteral("the picture is too large to convert (%1, at most %2 pixels); "
                              "open a smaller picture.").arg(size).arg(kMaxPicturePixels);
    const qint64 scaledWidth = ScaledPictureWidth(picture);
    if (scaledWidth < 1)
        return QStringLiteral("the picture is too narrow for a logo (%1 becomes less than one dot "
                              "wide at 50 dots high); open a wider picture.").arg(size);
    if (scaledWidth > kMaxLogoWidth)
        return QStringLiteral("the picture is too wide for a logo (%1 becomes %2 dots wide at 50 "
                              "dots high, at most %3); open a less wide picture.")
            .arg(size).arg(scaledWidth).arg(kMaxLogoWidth);
    return QString();
}

LoadedPicture LoadLogoPicture(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString &reason) {
        return LoadedPicture{QImage(), QStringLiteral("Cannot open the picture %1: %2").arg(shown, reason)};
    };
    if (QFileInfo(path).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("only Windows bitmap files (.bmp) can be opened."));

    const QSize declared = DeclaredBitmapSize(path);
    if (declared.isValid() && !PictureSizeProblem(declared).isEmpty())
        return refuse(PictureSizeProblem(declared));
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    // Room for the largest picture converted, at four bytes a pixel.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage picture = reader.read();
    if (picture.isNull())
        return refuse(QStringLiteral("it is not a readable Windows bitmap (%1).").arg(reader.errorString()));
    if (!PictureSizeProblem(picture.size()).isEmpty())
        return refuse(PictureSizeProblem(picture.size()));
    return LoadedPicture{picture, QString()};
}

QImage ConvertPictureLogo(const QImage &picture, int logoHeight)
{
    if (!PictureSizeProblem(picture.size()).isEmpty() || logoHeight < 1 || logoHeight > kPictureScaleRows)
        return QImage();
    const int scaledWidth = int(ScaledPictureWidth(picture.size()));
    QImage logo = NewLogoBitmap((scaledWidth + 7) / 8 * 8, logoHeight);
    if (logo.isNull())
        return logo;
    if (picture.depth() == 1)
        ShrinkOneBitPicture(picture, logo, scaledWidth, logoHeight);
    else
        SamplePicture(picture, logo, scaledWidth, logoHeight);
    return logo;
}
