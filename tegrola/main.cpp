// Tegrola: the logo tool for Zarel HP marking printers.
#include "Ufrmtegrola.h"

#include <zarelcom/version.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>

namespace {

// --help and --version are answered before the window's application exists, so that they need no
// display. Other arguments are left to Qt's own (-platform and the like).
void AnswerHelpOrVersion(int argc, char **argv)
{
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes a one-bit logo from a bitmap picture or typed text and sends it into a free logo slot of "
        "a Zarel HP marking printer."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(core.arguments());
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(version))
        parser.showVersion();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tegrola"));
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorleaf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARELCOM_VERSION_STRING));
    AnswerHelpOrVersion(argc, argv);

    QApplication application(argc, argv);
    TfrmTegrola window(QDir::cleanPath(QApplication::applicationDirPath()));
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return application.exec();
}
