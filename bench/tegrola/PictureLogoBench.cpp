// Open Picture's work on a large photograph: read a 4000 x 3000 24-bit BMP, make the 50-row logo
// and write it, beside ImageMagick's
//   convert in.bmp -sample x50 -monochrome out.bmp
// on the same file, the floor to meet. Run it as
//   build/default/bench/tegrola/bench_tegrola_picture_logo
#include "logo/LogoBitmap.h"
#include "logo/PictureFile.h"
#include "logo/PictureLogo.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path Scratch;

std::string PicturePath() { return (Scratch / "photo.bmp").string(); }

void Put32(std::string &bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = char(value >> (8 * i));
}

// A 4000 x 3000 24-bit picture of colour bands and noise, so neither tool meets a trivial picture.
void WritePicture() {
    const uint32_t width = 4000, height = 3000, rowBytes = width * 3;
    std::string file(54 + size_t(rowBytes) * height, '\0');
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(file.size()));
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, width);
    Put32(file, 22, height);
    file[26] = 1;  // planes
    file[28] = 24; // bits a pixel
    std::mt19937 random(2026);
    for (uint32_t y = 0; y < height; ++y) {
        char *line = file.data() + 54 + size_t(height - 1 - y) * rowBytes;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t noise = random();
            line[3 * x + 2] = char((x / 16 + (noise & 0x3f)) & 0xff);
            line[3 * x + 1] = char((y / 12 + ((noise >> 8) & 0x3f)) & 0xff);
            line[3 * x] = char(((x + y) / 28 + ((noise >> 16) & 0x3f)) & 0xff);
        }
    }
    std::ofstream out(PicturePath(), std::ios::binary);
    out.write(file.data(), std::streamsize(file.size()));
    if (!out) std::abort();
}

void TegrolaPictureLogo(benchmark::State &state) {
    const std::string logoPath = (Scratch / "tempold.bmp").string();
    for (auto _ : state) {
        const LoadedPicture loaded = LoadLogoPicture(PicturePath());
        const LogoBitmap logo = ConvertPictureLogo(loaded.picture, 50);
        if (logo.IsNull() || !WriteLogoBmp(logo, logoPath, nullptr))
            state.SkipWithError("the logo was not made");
    }
    state.SetLabel("read, convert, write tempold.bmp");
}

// The floor: the same work by ImageMagick, a process of its own for each logo.
void ImageMagickConvert(benchmark::State &state) {
    const std::string command = "convert '" + PicturePath() + "' -sample x50 -monochrome '" +
                                (Scratch / "convert.bmp").string() + "'";
    if (std::system("command -v convert >/dev/null 2>&1") != 0) {
        state.SkipWithError("ImageMagick's convert is not installed (Debian package imagemagick)");
        return;
    }
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
    state.SetLabel("floor: convert -sample x50 -monochrome");
}

BENCHMARK(TegrolaPictureLogo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagickConvert)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    Scratch =
        std::filesystem::temp_directory_path() / ("bench-picture-" + std::to_string(getpid()));
    std::filesystem::create_directories(Scratch);
    WritePicture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Scratch);
    return 0;
}
