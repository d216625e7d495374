// Any bytes as a picture file: Open Picture must refuse or convert, never crash, and a logo it
// makes must be a whole logo file.
#include "logo/LogoBitmap.h"
#include "logo/PictureLogo.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("picture.bmp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    const LoadedPicture loaded = LoadLogoPicture(path);
    if (loaded.picture.isNull() == loaded.error.isEmpty())
        std::abort(); // a picture or a reason, never both or neither
    if (loaded.picture.isNull())
        return 0;
    for (const int height : {50, 25, 17}) {
        const QImage logo = ConvertPictureLogo(loaded.picture, height);
        if (logo.height() != height || logo.width() % 8 != 0)
            std::abort();
        if (EncodeLogoBmp(logo).size() != LogoFileLength(logo.width(), logo.height()))
            std::abort();
    }
    return 0;
}
