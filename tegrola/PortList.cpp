#include "PortList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtGlobal>

#include <sys/stat.h>

#include <set>

namespace {

QString PortDirectory() {
    const QString configured = qEnvironmentVariable("ZARELCOM_PORT_DIR");
    if (!configured.isEmpty()) return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zarelcom/ports");
}

bool IsCharacterDevice(const QString &path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

// The kernel creates ttyS0-3 whether or not a UART sits behind them; serial core reports the UART
// type, 0 when there is none.
bool IsRealSerialDevice(const QString &name) {
    if (!IsCharacterDevice(QStringLiteral("/dev/") + name)) return false;
    if (!name.startsWith(QLatin1String("ttyS"))) return true;
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(name));
    if (!type.open(QIODevice::ReadOnly)) return false;
    return type.readAll().trimmed().toInt() != 0;
}

} // namespace

QList<int> MachinePortNumbers() {
    std::set<int> numbers;
    static const QRegularExpression entryName(QStringLiteral("^com([1-9][0-9]{0,8})$"));
    const QDir directory(PortDirectory());
    for (const QFileInfo &entry :
         directory.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = entryName.match(entry.fileName());
        if (match.hasMatch()) numbers.insert(match.captured(1).toInt());
    }

    struct DeviceFamily {
        const char *prefix;
        int firstPort;
    };
    for (const DeviceFamily family :
         {DeviceFamily{"ttyS", 1}, DeviceFamily{"ttyUSB", 33}, DeviceFamily{"ttyACM", 65}})
        for (int index = 0; index < 32; ++index)
            if (IsRealSerialDevice(QLatin1String(family.prefix) + QString::number(index)))
                numbers.insert(family.firstPort + index);
    return QList<int>(numbers.begin(), numbers.end());
}
