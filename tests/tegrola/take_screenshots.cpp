// Takes the README's screenshots of the window, one for each language, into the folder given:
//   QT_QPA_PLATFORM=offscreen take_screenshots docs/screenshots
#include "Ufrmtegrola.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: take_screenshots FOLDER\n");
        return 2;
    }
    // Fresh settings and work files, so the pictures show the window as it starts.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("config"))));
    QApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make the folder %s\n", argv[1]);
        return 1;
    }
    const char *const languages[] = {"english", "traditional-chinese", "simplified-chinese"};
    for (int language = 0; language < 3; ++language) {
        for (const char *page : {"new-logo", "exist-logo"}) {
            QtSettingsStore().Write("Lang", "Langurge", std::to_string(language));
            TfrmTegrola window(scratch.path());
            window.findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
            if (page == std::string("exist-logo"))
                window.findChild<QTabWidget *>(QStringLiteral("PageControl2"))->setCurrentIndex(0);
            window.show();
            QApplication::processEvents();
            const QString name = QStringLiteral("tegrola-%1-%2.png")
                                     .arg(QLatin1String(languages[language]), QLatin1String(page));
            if (!window.grab().save(folder.filePath(name))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
