#include "logo/PictureFile.h"

#include "logo/BitmapDecoder.h"
#include "logo/FilePaths.h"
#include "logo/PictureLogo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <fstream>
#include <system_error>

namespace {

bool HasBmpExtension(const std::filesystem::path &path) {
    std::string extension = path.extension().u8string();
    for (char &c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".bmp";
}

} // namespace

std::string ExistingPictureName(const std::string &path) {
    std::error_code ignored;
    if (std::filesystem::exists(PathOf(path), ignored) || PathOf(path).has_extension()) return path;
    for (const char *extension : {".bmp", ".BMP"})
        if (std::filesystem::exists(PathOf(path + extension), ignored)) return path + extension;
    return path;
}

LoadedPicture LoadLogoPicture(const std::string &typedPath) {
    const std::string path = ExistingPictureName(typedPath);
    const auto refuse = [&](const std::string &reason) {
        return LoadedPicture{Picture(),
                             "Cannot open the picture " + ShownPath(path) + ": " + reason};
    };
    const auto invalid = [&](const std::string &reason) {
        return refuse("it is not a valid bitmap: " + reason + ".");
    };
    const std::filesystem::path file = PathOf(path);
    if (!HasBmpExtension(file)) return refuse("only Windows bitmap files (.bmp) can be opened.");
    // A pipe or a device would be read without end or wait for a writer forever.
    std::error_code status;
    const auto type = std::filesystem::status(file, status).type();
    if (type == std::filesystem::file_type::directory)
        return refuse("it is a folder; open a picture file in it.");
    if (type != std::filesystem::file_type::regular &&
        type != std::filesystem::file_type::not_found)
        return refuse("it is not a regular file (a device or a pipe); open a picture file.");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) return refuse(SystemErrorText(errno ? errno : ENOENT) + ".");

    uint8_t head[kBitmapLayoutBytes] = {};
    in.read(reinterpret_cast<char *>(head), sizeof head);
    const BitmapLayout layout = ReadBitmapLayout(head, size_t(in.gcount()));
    if (!layout.problem.empty()) return invalid(layout.problem);
    const int64_t width = std::clamp<int64_t>(layout.width, INT_MIN, INT_MAX);
    const int64_t height = std::min<int64_t>(layout.height, INT_MAX);
    if (const std::string problem = PictureSizeProblem(int(width), int(height)); !problem.empty())
        return refuse(problem);
    if (layout.pixelEnd > INT_MAX)
        return refuse("the file is too large to open (" + std::to_string(layout.pixelEnd) +
                      " bytes); open a smaller picture.");
    // Only the bytes up to the end of the pixel data are the picture's; the file is measured
    // before room is made for all the header promises.
    in.clear();
    in.seekg(0, std::ios::end);
    const int64_t fileSize = int64_t(in.tellg());
    if (fileSize < layout.pixelEnd)
        return invalid("the file ends after " + std::to_string(fileSize) +
                       " bytes, but its header places pixel data up to byte " +
                       std::to_string(layout.pixelEnd) +
                       ". The file was cut short; copy it again from where it came");
    std::vector<uint8_t> bytes(size_t(layout.pixelEnd));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(bytes.size()));
    if (in.gcount() != std::streamsize(bytes.size()))
        return refuse(SystemErrorText(errno ? errno : EIO) + ".");
    DecodedBitmap decoded = DecodeBitmap(bytes, layout);
    if (!decoded.problem.empty()) return invalid(decoded.problem);
    return LoadedPicture{std::move(decoded.picture), {}};
}
