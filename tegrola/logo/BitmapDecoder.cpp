#include "logo/BitmapDecoder.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <limits>

namespace {

constexpr uint32_t kCoreHeaderSize = 12; // the old OS/2 header: 16-bit sizes, no compression
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

uint16_t Get16(const uint8_t *bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

uint32_t Get32(const uint8_t *bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

// Compression methods of the information header that store rows as they are.
bool IsUncompressed(uint32_t compression) {
    return compression == kRgb || compression == kBitFields || compression == kAlphaBitFields;
}

// One colour channel of a 16- or 32-bit pixel: the bits of its mask as the top bits of an 8-bit
// value (a 5-bit value v becomes v << 3), the lower bits of a wider mask dropped.
class Channel {
public:
    explicit Channel(uint32_t mask) : mask_(mask) {
        if (!mask) return;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift_;
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits_;
        }
    }
    uint8_t Of(uint32_t pixel) const {
        const uint32_t value = (pixel & mask_) >> shift_;
        return uint8_t(bits_ >= 8 ? value >> (bits_ - 8) : value << (8 - bits_));
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    int bits_ = 0;
};

struct Masks {
    Channel red, green, blue;
};

// Where the colour masks of a bit-fields bitmap are: right after the 40-byte header, which is
// also where the longer headers keep them.
constexpr size_t kMaskOffset = 54;

// Rows as they are stored: each a whole number of 4-byte words.
std::string DecodeRows(const std::vector<uint8_t> &file, const BitmapLayout &layout,
                       const Masks &masks, Picture &picture) {
    const int width = picture.Width();
    const int height = picture.Height();
    const size_t rowBytes = (size_t(width) * size_t(layout.bitCount) + 31) / 32 * 4;
    for (int stored = 0; stored < height; ++stored) {
        const uint8_t *row = file.data() + layout.pixelOffset + std::ptrdiff_t(stored) * rowBytes;
        const int y = layout.topDown ? stored : height - 1 - stored;
        for (int x = 0; x < width; ++x) {
            switch (layout.bitCount) {
            case 1:
                picture.SetIndex(x, y, row[x >> 3] >> (7 - (x & 7)) & 1);
                break;
            case 4:
                picture.SetIndex(x, y, x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
                break;
            case 8:
                picture.SetIndex(x, y, row[x]);
                break;
            case 24:
                picture.SetColour(x, y, Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]});
                break;
            default: {
                const uint32_t pixel =
                    layout.bitCount == 16 ? Get16(row + 2 * x) : Get32(row + 4 * x);
                picture.SetColour(
                    x, y, Rgb{masks.red.Of(pixel), masks.green.Of(pixel), masks.blue.Of(pixel)});
            }
            }
        }
    }
    return {};
}

// Run-length encoded rows, from the bottom: pixels the runs skip keep colour 0, as Windows draws
// them. A run past its row or the last row, and data that ends before the end mark, make the file
// no valid bitmap: what such a file shows is nobody's picture.
std::string DecodeRunLengths(const std::vector<uint8_t> &file, const BitmapLayout &layout,
                             Picture &picture) {
    const int width = picture.Width();
    const int height = picture.Height();
    const bool fourBits = layout.compression == kRle4;
    size_t at = size_t(layout.pixelOffset);
    const size_t end = size_t(layout.pixelEnd);
    int x = 0, row = 0; // row counts from the bottom
    const auto put = [&](int count, const auto &colourOf) -> std::string {
        if (row >= height) return "its compressed rows go past the last row of the picture";
        if (count > width - x) return "a compressed run goes past the end of its row";
        for (int i = 0; i < count; ++i) picture.SetIndex(x + i, height - 1 - row, colourOf(i));
        x += count;
        return {};
    };
    while (at + 2 <= end) {
        const int count = file[at];
        const int value = file[at + 1];
        at += 2;
        if (count > 0) {
            const auto colour = [&](int i) {
                return fourBits ? (i & 1 ? value & 0x0F : value >> 4) : value;
            };
            if (std::string problem = put(count, colour); !problem.empty()) return problem;
        } else if (value == 0) { // end of the row
            x = 0;
            ++row;
        } else if (value == 1) { // end of the picture
            return {};
        } else if (value == 2) { // move right and up
            if (at + 2 > end) break;
            x += file[at];
            row += file[at + 1];
            at += 2;
            if (x > width || row > height)
                return "a compressed move goes past the edge of the picture";
        } else { // value pixels as they are, padded to whole 16-bit words
            const size_t bytes = fourBits ? (size_t(value) + 1) / 2 : size_t(value);
            if (at + bytes > end) return "a compressed run goes past the end of its data";
            const uint8_t *literal = file.data() + at;
            const auto colour = [&](int i) {
                return fourBits ? (i & 1 ? literal[i / 2] & 0x0F : literal[i / 2] >> 4)
                                : int(literal[i]);
            };
            if (std::string problem = put(value, colour); !problem.empty()) return problem;
            at += (bytes + 1) / 2 * 2;
        }
    }
    return "its compressed pixel data ends without its end mark";
}

// The first colour number a pixel uses that the colour table does not hold, or -1.
int ColourBeyondTable(const Picture &picture) {
    const int colours = int(picture.Colours().size());
    if (colours >= (1 << picture.BitsPerPixel())) return -1;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (const int index = picture.IndexAt(x, y); index >= colours) return index;
    return -1;
}

} // namespace

BitmapLayout ReadBitmapLayout(const uint8_t *bytes, size_t size) {
    BitmapLayout layout;
    if (size < 26 || bytes[0] != 'B' || bytes[1] != 'M') {
        layout.problem = "it does not begin with a bitmap header";
        return layout;
    }
    layout.pixelOffset = Get32(bytes + 10);
    layout.infoSize = Get32(bytes + 14);
    int64_t compressedBytes = 0;
    if (layout.infoSize == kCoreHeaderSize) {
        layout.width = Get16(bytes + 18);
        layout.height = Get16(bytes + 20);
        layout.bitCount = Get16(bytes + 24);
    } else if (layout.infoSize >= 40 && size >= 38) {
        layout.width = int32_t(Get32(bytes + 18));
        const int64_t height = int32_t(Get32(bytes + 22));
        layout.topDown = height < 0;
        layout.height = std::abs(height);
        layout.bitCount = Get16(bytes + 28);
        layout.compression = Get32(bytes + 30);
        compressedBytes = Get32(bytes + 34);
    } else {
        layout.problem = "its information header is damaged";
        return layout;
    }
    if (IsUncompressed(layout.compression)) {
        // Rows padded to whole 4-byte words; a negative width stores nothing.
        const int64_t rowBytes =
            (std::max<int64_t>(layout.width, 0) * layout.bitCount + 31) / 32 * 4;
        const int64_t farBeyondAnyFile = std::numeric_limits<int64_t>::max() / 2;
        layout.pixelEnd = layout.height && rowBytes > farBeyondAnyFile / layout.height
                              ? farBeyondAnyFile
                              : layout.pixelOffset + rowBytes * layout.height;
    } else if (layout.compression == kRle8 || layout.compression == kRle4) {
        // Compressed rows have no fixed length: the header's image size is the only measure.
        if (compressedBytes == 0)
            layout.problem = "its header does not say how long its compressed pixel data is";
        layout.pixelEnd = layout.pixelOffset + compressedBytes;
    } else {
        layout.problem = "its pixels are stored in a form (compression " +
                         std::to_string(layout.compression) + ") that cannot be read";
    }
    return layout;
}

DecodedBitmap DecodeBitmap(const std::vector<uint8_t> &file, const BitmapLayout &layout) {
    const auto invalid = [](std::string problem) {
        return DecodedBitmap{Picture(), std::move(problem)};
    };
    const bool core = layout.infoSize == kCoreHeaderSize;
    const uint32_t compression = layout.compression;
    const int bits = layout.bitCount;
    const bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
    const bool bitsKnown =
        core ? bits == 1 || bits == 4 || bits == 8 || bits == 24
             : bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!bitsKnown) return invalid("it has " + std::to_string(bits) + " bits a pixel");
    if ((bitFields && bits != 16 && bits != 32) || (compression == kRle8 && bits != 8) ||
        (compression == kRle4 && bits != 4))
        return invalid("its compression does not fit its " + std::to_string(bits) +
                       " bits a pixel");
    if (layout.topDown && !IsUncompressed(compression))
        return invalid("its compressed rows run from the top, which compression does not allow");

    // Headers, colour masks and colour table all lie before the pixel data.
    const auto insideHeaders = [&](size_t headersEnd) {
        return invalid("its pixel data would begin at byte " + std::to_string(layout.pixelOffset) +
                       ", inside its headers, which end at byte " + std::to_string(headersEnd));
    };
    size_t tableStart = 14 + size_t(layout.infoSize);
    if (uint64_t(layout.pixelOffset) < tableStart) return insideHeaders(tableStart);
    const uint16_t planes = Get16(file.data() + (core ? 22 : 26));
    if (planes != 1)
        return invalid("its header gives " + std::to_string(planes) +
                       " colour planes instead of one");
    if (bitFields)
        tableStart = std::max(tableStart, kMaskOffset + (compression == kAlphaBitFields ? 16 : 12));
    size_t colours = 0;
    if (bits <= 8) {
        colours = size_t(1) << bits;
        const uint32_t coloursUsed = core ? 0 : Get32(file.data() + 46);
        if (coloursUsed > colours)
            return invalid("its header gives " + std::to_string(coloursUsed) + " colours, but " +
                           std::to_string(bits) + " bits a pixel name only " +
                           std::to_string(colours));
        if (coloursUsed) colours = coloursUsed;
    }
    const size_t entryBytes = core ? 3 : 4;
    const size_t headersEnd = tableStart + colours * entryBytes;
    if (uint64_t(layout.pixelOffset) < headersEnd) return insideHeaders(headersEnd);

    const int width = int(layout.width);
    const int height = int(layout.height);
    if (bits > 8) {
        Masks masks{Channel(0x00FF0000), Channel(0x0000FF00), Channel(0x000000FF)};
        if (bitFields)
            masks = Masks{Channel(Get32(file.data() + kMaskOffset)),
                          Channel(Get32(file.data() + kMaskOffset + 4)),
                          Channel(Get32(file.data() + kMaskOffset + 8))};
        else if (bits == 16)
            masks = Masks{Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
        DecodedBitmap decoded{Picture::Direct(width, height), {}};
        decoded.problem = DecodeRows(file, layout, masks, decoded.picture);
        return decoded;
    }

    std::vector<Rgb> table(colours);
    for (size_t i = 0; i < colours; ++i) {
        const uint8_t *entry = file.data() + tableStart + i * entryBytes;
        table[i] = Rgb{entry[2], entry[1], entry[0]};
    }
    DecodedBitmap decoded{Picture::Indexed(width, height, bits, std::move(table)), {}};
    const Masks unused{Channel(0), Channel(0), Channel(0)};
    decoded.problem = IsUncompressed(compression)
                          ? DecodeRows(file, layout, unused, decoded.picture)
                          : DecodeRunLengths(file, layout, decoded.picture);
    if (!decoded.problem.empty()) return invalid(decoded.problem);
    if (const int colour = ColourBeyondTable(decoded.picture); colour >= 0)
        return invalid("its pixels use colour number " + std::to_string(colour) +
                       ", but its colour table holds only " +
                       std::to_string(decoded.picture.Colours().size()) +
                       " colours. Save the picture again from a drawing program");
    return decoded;
}
