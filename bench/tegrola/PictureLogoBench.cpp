// Open Picture's work on a large photograph: read a 4000 x 3000 24-bit BMP, make the 50-row logo
// and write it, beside ImageMagick's
//   convert in.bmp -sample x50 -monochrome out.bmp
// on the same file, the floor to meet. Run it as
//   QT_QPA_PLATFORM=offscreen build/default/bench/tegrola/bench_tegrola_picture_logo
#include "logo/LogoBitmap.h"
#include "logo/PictureLogo.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace {

QTemporaryDir *Scratch = nullptr;

QString PicturePath() { return Scratch->filePath(QStringLiteral("photo.bmp")); }

// A 4000 x 3000 picture of colour bands and noise, so neither tool meets a trivial picture.
void WritePicture() {
    QImage picture(4000, 3000, QImage::Format_RGB888);
    QRandomGenerator random(2026);
    for (int y = 0; y < picture.height(); ++y) {
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const quint32 noise = random.generate();
            line[3 * x] = uchar((x / 16 + (noise & 0x3f)) & 0xff);
            line[3 * x + 1] = uchar((y / 12 + ((noise >> 8) & 0x3f)) & 0xff);
            line[3 * x + 2] = uchar(((x + y) / 28 + ((noise >> 16) & 0x3f)) & 0xff);
        }
    }
    if (!picture.save(PicturePath(), "BMP")) std::abort();
}

void TegrolaPictureLogo(benchmark::State &state) {
    const QString logoPath = Scratch->filePath(QStringLiteral("tempold.bmp"));
    for (auto _ : state) {
        const LoadedPicture loaded = LoadLogoPicture(PicturePath());
        const QImage logo = ConvertPictureLogo(loaded.picture, 50);
        if (logo.isNull() || !WriteLogoBmp(logo, logoPath, nullptr))
            state.SkipWithError("the logo was not made");
    }
    state.SetLabel("read, convert, write tempold.bmp");
}

// The floor: the same work by ImageMagick, a process of its own for each logo.
void ImageMagickConvert(benchmark::State &state) {
    const std::string command =
        "convert '" + PicturePath().toStdString() + "' -sample x50 -monochrome '" +
        Scratch->filePath(QStringLiteral("convert.bmp")).toStdString() + "'";
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
    QGuiApplication application(argc, argv);
    QTemporaryDir scratch;
    Scratch = &scratch;
    WritePicture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
