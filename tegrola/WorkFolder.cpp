#include "WorkFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool IsSystemProgramFolder(const QString &folder) {
    for (const QLatin1String system :
         {QLatin1String("/usr"), QLatin1String("/bin"), QLatin1String("/sbin")})
        if (folder == system || folder.startsWith(system + QLatin1Char('/'))) return true;
    return false;
}

} // namespace

QString WorkFolder(const QString &programDir) {
    const QFileInfo program(programDir);
    // Symbolic links resolved: /bin may lead into /usr.
    const QString real = program.canonicalFilePath();
    if (program.isDir() && program.isWritable() && !IsSystemProgramFolder(real))
        return QDir::cleanPath(programDir);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Vantorleaf/Tegrola");
    QDir().mkpath(data);
    return data;
}
