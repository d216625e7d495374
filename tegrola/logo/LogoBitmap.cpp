#include "logo/LogoBitmap.h"

#include "logo/FilePaths.h"

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <random>
#include <system_error>

namespace {

// Dots a metre stored in the logo file: 100 dots an inch, as the logos written so far carry.
constexpr uint32_t kDotsPerMetre = 3937;

void Put16(std::vector<uint8_t> &bytes, size_t offset, uint16_t value) {
    bytes[offset] = uint8_t(value);
    bytes[offset + 1] = uint8_t(value >> 8);
}

void Put32(std::vector<uint8_t> &bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

// Where a logo written to path really goes: the file a symbolic link names (also one that does
// not exist yet), so that the link stays a link.
std::filesystem::path WriteTarget(std::filesystem::path path) {
    std::error_code status;
    for (int link = 0; link < 40 && std::filesystem::is_symlink(path, status); ++link) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, status);
        if (status) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

} // namespace

bool IsNearerWhite(Rgb colour) { return colour.red + colour.green + colour.blue >= 383; }

LogoBitmap::LogoBitmap(int width, int height) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    bits_.assign(size_t(RowBytes()) * size_t(height), 0xFF);
}

int64_t LogoFileLength(int width, int height) {
    return kLogoPixelOffset + 4 * ((int64_t(width) + 31) / 32) * height;
}

std::vector<uint8_t> EncodeLogoBmp(const LogoBitmap &logo) {
    if (logo.IsNull()) return {};
    const int width = logo.Width();
    const int height = logo.Height();
    const size_t rowBytes = size_t(4 * ((int64_t(width) + 31) / 32));
    const uint64_t length = uint64_t(LogoFileLength(width, height));
    if (length > UINT32_MAX) return {};

    std::vector<uint8_t> file(size_t(length), 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(length));
    Put32(file, 10, kLogoPixelOffset);
    Put32(file, 14, 40); // information header
    Put32(file, 18, uint32_t(width));
    Put32(file, 22, uint32_t(height)); // positive: the rows run bottom-up
    Put16(file, 26, 1);                // planes
    Put16(file, 28, 1);                // bits a pixel
    Put32(file, 30, 0);                // no compression
    Put32(file, 34, uint32_t(rowBytes * size_t(height)));
    Put32(file, 38, kDotsPerMetre);
    Put32(file, 42, kDotsPerMetre);
    Put32(file, 46, 2);          // colours used
    Put32(file, 50, 2);          // colours important
    Put32(file, 58, 0x00FFFFFF); // entry 0 black (zero), entry 1 white
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = logo.Row(y);
        std::copy(row, row + logo.RowBytes(),
                  file.begin() + kLogoPixelOffset +
                      std::ptrdiff_t(height - 1 - y) * std::ptrdiff_t(rowBytes));
    }
    return file;
}

bool WriteLogoBmp(const LogoBitmap &logo, const std::string &path, std::string *error) {
    const auto fail = [&](const std::string &reason) {
        if (error) *error = "Cannot write the logo file " + ShownPath(path) + ": " + reason + ".";
        return false;
    };
    const std::vector<uint8_t> bytes = EncodeLogoBmp(logo);
    if (bytes.empty()) return fail("there is no logo to write");

    const std::filesystem::path target = WriteTarget(PathOf(path));
    std::error_code status;
    const auto type = std::filesystem::status(target, status).type();
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular)
        return fail("it is not a regular file; choose another name");
    // The new logo goes into a file of its own beside the old one and takes its name only once
    // complete.
    std::filesystem::path partial = target;
    partial += ".partial-" + std::to_string(std::random_device{}());
    errno = 0;
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return fail(SystemErrorText(errno ? errno : EIO));
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        const int written = errno ? errno : EIO;
        std::filesystem::remove(partial, status);
        return fail(SystemErrorText(written));
    }
    std::filesystem::rename(partial, target, status);
    if (status) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return fail(status.message());
    }
    return true;
}
