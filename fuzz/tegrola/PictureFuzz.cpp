// Any bytes as a picture file: Open Picture must refuse or convert, never crash, a logo it makes
// must be a whole logo file, and no pixel may come from outside the file: the same file with
// different bytes appended after it loads as the same picture.
#include "logo/LogoBitmap.h"
#include "logo/PictureLogo.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

LoadedPicture LoadBytes(const QByteArray &bytes) {
    static QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("picture.bmp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    return LoadLogoPicture(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const LoadedPicture loaded = LoadBytes(bytes);
    if (loaded.picture.isNull() == loaded.error.isEmpty())
        std::abort(); // a picture or a reason, never both or neither
    if (loaded.picture.isNull()) return 0;
    // A file accepted holds every byte of its picture: what follows it changes nothing.
    for (const char garbage : {'\0', '\xff'})
        if (LoadBytes(bytes + QByteArray(4096, garbage)).picture != loaded.picture) std::abort();
    for (const int height : {50, 25, 17}) {
        const QImage logo = ConvertPictureLogo(loaded.picture, height);
        if (logo.height() != height || logo.width() % 8 != 0) std::abort();
        if (EncodeLogoBmp(logo).size() != LogoFileLength(logo.width(), logo.height())) std::abort();
    }
    return 0;
}
