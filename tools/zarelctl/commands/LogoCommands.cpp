// Commands that make and show logo files on this computer; no printer is needed. make-logo runs
// the logo tool's own conversion in the helper program zarelctl-logo, which alone needs a toolkit
// to draw text (Qt on Linux, GDI on Windows), so that every other command runs without one.
#include "../Command.h"
#include "../LogoArt.h"
#include "../System.h"

namespace zarelctl {

namespace {

void ShowLogo(Session &s) {
    s.ExpectWords(1, 1);
    LogoBitmap logo;
    std::string problem;
    if (!ReadLogoBitmap(s.Word(0), logo, problem)) Session::FailLocally(problem);
    s.Out().Say(s.Word(0) + ": " + std::to_string(logo.width) + " x " +
                std::to_string(logo.height) + " dots");
    std::vector<Json> rows;
    for (const std::string &line : LogoArt(logo)) {
        s.Out().Say(line);
        rows.push_back(line);
    }
    s.Out().Set("file", s.Word(0));
    s.Out().Set("width", logo.width);
    s.Out().Set("height", logo.height);
    s.Out().Set("rows", Json::List(std::move(rows)));
}

void MakeLogo(Session &s) {
    s.ExpectWords(0, 0);
    const std::string *picture = s.Option("--picture");
    const std::string *text = s.Option("--text");
    const std::string *output = s.Option("-o");
    if (!picture == !text) throw UsageError("make-logo takes either --picture FILE or --text TEXT");
    if (!output) throw UsageError("make-logo needs the file to write: -o FILE");
    if (picture && (s.Option("--font") || s.Option("--size")))
        throw UsageError("--font and --size are for --text logos");
    long height = s.NumberOption("--height", "the logo height (--height)", 17, 50, 50);
    if (height != 50 && height != 25 && height != 17)
        throw UsageError("the logo height must be 50, 25 or 17 dots, not " +
                         std::to_string(height));
    long left = s.NumberOption("--left", "the text's left offset (--left)", -10000, 10000, 0);
    long top = s.NumberOption("--top", "the text's top offset (--top)", -10000, 10000, 0);
    long size = s.NumberOption("--size", "the font size in points (--size)", 1, 500, 0);

    std::vector<std::string> args = {"zarelctl-logo", "--height", std::to_string(height), "-o",
                                     *output};
    if (picture) {
        args.insert(args.end(), {"--picture", *picture});
    } else {
        args.insert(args.end(), {"--text", *text, "--left", std::to_string(left), "--top",
                                 std::to_string(top)});
        if (const std::string *font = s.Option("--font"))
            args.insert(args.end(), {"--font", *font});
        if (size) args.insert(args.end(), {"--size", std::to_string(size)});
    }
    if (s.Out().Json()) args.push_back("--json");
    std::string helper = ProgramFolder() + "/zarelctl-logo";
    std::string reason = RunInstead(helper, std::move(args));
    Session::FailLocally(
        "cannot run " + helper + " (" + reason +
        "): make-logo needs the logo helper zarelctl-logo beside zarelctl, which is built with "
        "Tegrola's logo conversion");
}

} // namespace

std::vector<Command> LogoCommands() {
    return {
        {"make-logo",
         "(--picture FILE | --text TEXT [--font NAME] [--size PT]) [--height 50|25|17] -o FILE",
         "Make a one-bit logo file from a bitmap picture or from text, as the logo tool does",
         "Pictures are scaled to 50 dots high and cut to the logo height; text is drawn in black "
         "without\n"
         "smoothing, one line per line of TEXT, at the offsets --left and --top. Runs without a "
         "display.",
         {{"--picture", "FILE", "a Windows bitmap to convert"},
          {"--text", "TEXT", "the text; each line of it is one line of the logo"},
          {"--font", "NAME", "the font family for --text (default DejaVu Sans, on Windows Arial)"},
          {"--size", "PT", "the font size in points for --text (default 8)"},
          {"--height", "DOTS", "the logo height: 50 (default), 25 or 17 dots"},
          {"--left", "N", "move the text N dots to the right (negative: to the left)"},
          {"--top", "N", "move the text N dots down (negative: up)"},
          {"-o", "FILE", "the logo file to write"}},
         MakeLogo},
        {"show-logo",
         "FILE",
         "Show a one-bit logo file as text art, one character a dot ('#' black)",
         "",
         {},
         ShowLogo},
    };
}

} // namespace zarelctl
