// zarelctl-logo: the make-logo work of zarelctl, which hands over to this program so that only
// making logos needs Qt. It runs Tegrola's own logo conversion on the "offscreen" platform, so
// no display is needed. zarelctl has checked the arguments; they come as option-value pairs.
#include "Report.h"

#include <zarelcom/zarelcom.h>

#include <logo/LogoBitmap.h>
#include <logo/PictureLogo.h>
#include <logo/TextLogo.h>

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMap>

#include <cstdio>

namespace {

// The logo tool draws text in its stored font; on Linux this one comes with every install.
const char *const defaultFont = "DejaVu Sans";
const int defaultPointSize = 8;

// Qt's own notices (a missing runtime folder and the like) are no business of a script's reader;
// the tool says what failed itself.
void KeepQuietUnlessCritical(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "zarelctl-logo: %s\n", qPrintable(message));
}

int Fail(zarelctl::Report &report, const QString &message) {
    report.PrintFailure(stdout, stderr, 1, message.toStdString(), -1, "", "local");
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(KeepQuietUnlessCritical);
    QGuiApplication application(argc, argv);

    QMap<QString, QString> options;
    bool json = false;
    QStringList arguments = application.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--json") {
            json = true;
        } else if (arguments[i].startsWith('-') && i + 1 < arguments.size()) {
            options[arguments[i]] = arguments[i + 1];
            ++i;
        } else {
            std::fprintf(
                stderr,
                "zarelctl-logo: run it as 'zarelctl make-logo'; see 'zarelctl make-logo --help'\n");
            return 2;
        }
    }
    zarelctl::Report report(json);
    const QString output = options.value("-o");
    const int height = options.value("--height", "50").toInt();
    if (output.isEmpty() || (options.contains("--picture") == options.contains("--text")))
        return Fail(report, "make-logo needs -o FILE and either --picture FILE or --text TEXT");

    QImage logo;
    if (options.contains("--picture")) {
        LoadedPicture loaded = LoadLogoPicture(options["--picture"]);
        if (loaded.picture.isNull()) return Fail(report, loaded.error);
        if (QString problem = PictureSizeProblem(loaded.picture.size()); !problem.isEmpty())
            return Fail(report, problem);
        logo = ConvertPictureLogo(loaded.picture, height);
    } else {
        QFont font(options.value("--font", defaultFont),
                   options.value("--size", QString::number(defaultPointSize)).toInt());
        // Each line of the text is a line of the logo.
        QStringList lines = options["--text"].split('\n');
        logo = RenderTextLogo(lines, font, height, options.value("--left").toInt(),
                              options.value("--top").toInt());
    }
    QString error;
    if (logo.isNull()) return Fail(report, "the logo could not be made from these arguments");
    if (!WriteLogoBmp(logo, output, &error)) return Fail(report, error);

    const qint64 bytes = LogoFileLength(logo.width(), logo.height());
    report.Say("Logo written to " + output.toStdString() + ": " + std::to_string(logo.width()) +
               " x " + std::to_string(logo.height()) + " dots, " + std::to_string(bytes) +
               " bytes" +
               (bytes > ZC_LOGO_MAX_BYTES ? " (too large to send: the printer takes at most " +
                                                std::to_string(ZC_LOGO_MAX_BYTES) + " bytes)"
                                          : ""));
    report.Set("file", output.toStdString());
    report.Set("width", logo.width());
    report.Set("height", logo.height());
    report.Set("bytes", static_cast<long long>(bytes));
    report.PrintSuccess(stdout);
    return 0;
}
