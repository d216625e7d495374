// Tegrola: the logo tool for Zarel HP marking printers.
#include "Ufrmtegrola.h"

#include <zarelcom/version.h>

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <cstring>

namespace {

const char *const kHelp = "Usage: tegrola [options]\n"
                          "Tegrola, the logo tool for Zarel HP marking printers: connects to the "
                          "printer on a serial port,\n"
                          "turns a Windows bitmap picture or typed text into a one-bit logo of 50, "
                          "25 or 17 dots and sends it\n"
                          "into a free logo slot of the printer.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n"
                          "Qt's own options (for example -platform offscreen) are taken as well.\n"
                          "\n"
                          "The work files tempold.bmp (picture logo) and tempnew.bmp (text logo) "
                          "lie beside the program when\n"
                          "its folder may be written and is no system folder, else in "
                          "~/.local/share/Vantorleaf/Tegrola.\n";

// --help and --version are answered without a window, so that they work without a display.
bool AnsweredWithoutWindow(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("tegrola %s\n", ZARELCOM_VERSION_STRING);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    if (AnsweredWithoutWindow(argc, argv)) return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tegrola"));
    QApplication::setOrganizationName(QStringLiteral("Vantorleaf"));
    QApplication::setApplicationVersion(QStringLiteral(ZARELCOM_VERSION_STRING));

    TfrmTegrola window(QDir::cleanPath(QApplication::applicationDirPath()));
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return application.exec();
}
