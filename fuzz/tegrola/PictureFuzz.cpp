// Any bytes as a picture file: Open Picture must refuse or convert, never crash, a logo it makes
// must be a whole logo file, and no pixel may come from outside the file: the same file with
// different bytes appended after it loads as the same picture.
#include "logo/LogoBitmap.h"
#include "logo/PictureFile.h"
#include "logo/PictureLogo.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

LoadedPicture LoadBytes(const std::string &bytes) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("fuzz-picture-" + std::to_string(getpid()) + ".bmp"))
                                        .string();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    file.close();
    if (!file) std::abort();
    return LoadLogoPicture(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const LoadedPicture loaded = LoadBytes(bytes);
    if (loaded.picture.IsNull() == loaded.error.empty())
        std::abort(); // a picture or a reason, never both or neither
    if (loaded.picture.IsNull()) return 0;
    // A file accepted holds every byte of its picture: what follows it changes nothing.
    for (const char garbage : {'\0', '\xff'})
        if (LoadBytes(bytes + std::string(4096, garbage)).picture != loaded.picture) std::abort();
    for (const int height : {50, 25, 17}) {
        const LogoBitmap logo = ConvertPictureLogo(loaded.picture, height);
        if (logo.Height() != height || logo.Width() % 8 != 0) std::abort();
        if (int64_t(EncodeLogoBmp(logo).size()) != LogoFileLength(logo.Width(), logo.Height()))
            std::abort();
    }
    return 0;
}
