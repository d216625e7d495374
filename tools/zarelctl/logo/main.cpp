// zarelctl-logo: the make-logo work of zarelctl, which hands over to this program so that only
// drawing text needs a toolkit. It runs Tegrola's own logo conversion. zarelctl has checked the
// arguments; they come as option-value pairs.
#include "Report.h"
#include "TextFont.h"

#include <zarelcom/zarelcom.h>

#include <logo/LogoBitmap.h>
#include <logo/PictureFile.h>
#include <logo/PictureLogo.h>
#include <logo/TextLogo.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

int Fail(zarelctl::Report &report, const std::string &message) {
    report.PrintFailure(stdout, stderr, 1, message, -1, "", "local");
    return 1;
}

std::string Value(const std::map<std::string, std::string> &options, const std::string &name,
                  const std::string &otherwise) {
    const auto found = options.find(name);
    return found == options.end() ? otherwise : found->second;
}

// zarelctl has checked every number; a damaged one still gives 0, never an exception.
int Number(const std::string &text) {
    try {
        return std::stoi(text);
    } catch (const std::exception &) {
        return 0;
    }
}

} // namespace

int main(int argc, char **argv) {
    std::map<std::string, std::string> options;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--json") {
            json = true;
        } else if (!argument.empty() && argument[0] == '-' && i + 1 < argc) {
            options[argument] = argv[++i];
        } else {
            std::fprintf(
                stderr,
                "zarelctl-logo: run it as 'zarelctl make-logo'; see 'zarelctl make-logo --help'\n");
            return 2;
        }
    }
    zarelctl::Report report(json);
    const std::string output = Value(options, "-o", "");
    const int height = Number(Value(options, "--height", "50"));
    if (output.empty() || (options.count("--picture") == options.count("--text")))
        return Fail(report, "make-logo needs -o FILE and either --picture FILE or --text TEXT");

    LogoBitmap logo;
    if (options.count("--picture")) {
        const LoadedPicture loaded = LoadLogoPicture(options["--picture"]);
        if (loaded.picture.IsNull()) return Fail(report, loaded.error);
        logo = ConvertPictureLogo(loaded.picture, height);
    } else {
        std::string problem;
        const auto font = OpenTextFont(Value(options, "--font", DefaultTextFamily()),
                                       Number(Value(options, "--size", "8")), &problem);
        if (!font) return Fail(report, problem);
        // Each line of the text is a line of the logo.
        logo = RenderTextLogo(TextLines(options["--text"]), *font, height,
                              Number(Value(options, "--left", "0")),
                              Number(Value(options, "--top", "0")));
    }
    std::string error;
    if (logo.IsNull()) return Fail(report, "the logo could not be made from these arguments");
    if (!WriteLogoBmp(logo, output, &error)) return Fail(report, error);

    const int64_t bytes = LogoFileLength(logo.Width(), logo.Height());
    report.Say("Logo written to " + output + ": " + std::to_string(logo.Width()) + " x " +
               std::to_string(logo.Height()) + " dots, " + std::to_string(bytes) + " bytes" +
               (bytes > ZC_LOGO_MAX_BYTES ? " (too large to send: the printer takes at most " +
                                                std::to_string(ZC_LOGO_MAX_BYTES) + " bytes)"
                                          : ""));
    report.Set("file", output);
    report.Set("width", logo.Width());
    report.Set("height", logo.Height());
    report.Set("bytes", static_cast<long long>(bytes));
    report.PrintSuccess(stdout);
    return 0;
}
