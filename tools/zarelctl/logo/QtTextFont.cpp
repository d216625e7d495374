// Text drawn by Qt on the "offscreen" platform, so that no display is needed.
#include "TextFont.h"

#include <qt/QtTextRasterizer.h>

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notices (a missing runtime folder and the like) are no business of a script's reader;
// the tool says what failed itself.
void KeepQuietUnlessCritical(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "zarelctl-logo: %s\n", qPrintable(message));
}

} // namespace

// The logo tool draws text in its stored font; on Linux this one comes with every install.
const char *DefaultTextFamily() { return "DejaVu Sans"; }

std::unique_ptr<TextRasterizer> OpenTextFont(const std::string &family, int points, std::string *) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(KeepQuietUnlessCritical);
    static int argc = 1;
    static char name[] = "zarelctl-logo";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv); // fonts need it, for the rest of the run
    return std::make_unique<QtTextRasterizer>(QFont(QString::fromStdString(family), points));
}
