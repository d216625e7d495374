// Tegrola: the logo tool for Zarel HP marking printers.
#include "Ufrmtegrola.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tegrola"));
    QApplication::setOrganizationName(QStringLiteral("Vantorleaf"));

    TfrmTegrola window(QDir::cleanPath(QApplication::applicationDirPath()));
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return application.exec();
}
