#include "PortTrouble.h"

#include <Ports.h>
#include <System.h>

#include <QFileInfo>

#include <cerrno>

QString PortOpenAdvice(const QString &portName, const QString &libraryMessage) {
    if (!libraryMessage.startsWith(QLatin1String("Cannot open "))) return QString();
    const zarelctl::OpenRefusal refusal =
        zarelctl::ReadOpenRefusal(portName.toStdString(), libraryMessage.toStdString());
    const QString device = QString::fromStdString(refusal.device);
    const QString port =
        device.isEmpty() ? portName : QStringLiteral("%1 (%2)").arg(portName, device);
    switch (refusal.error) {
    case EACCES:
    case EPERM: {
        // Serial devices belong to the group dialout, unless the system gave this one another.
        const QString owner = QFileInfo(device).group();
        const QString group =
            owner.isEmpty() || owner == QLatin1String("root") ? QStringLiteral("dialout") : owner;
        return QStringLiteral("%1 may not be opened by you. Add yourself to the group %2 (sudo "
                              "adduser $USER %2), "
                              "then log out and in again.")
            .arg(port, group);
    }
    case EBUSY: {
        const QString holder = QString::fromStdString(zarelctl::DeviceHolder(refusal.device));
        return QStringLiteral(
                   "%1 is held by another program%2. Close that program, then connect again.")
            .arg(port, holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder));
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (device.isEmpty())
            return QStringLiteral("No device belongs to %1. Choose another port, or name the "
                                  "device as com<n> in "
                                  "~/.config/zarelcom/ports.")
                .arg(portName);
        return QStringLiteral("%1 leads to %2, which is not there. Check that the adapter is "
                              "plugged in, or choose "
                              "another port.")
            .arg(portName, device);
    case ENOTTY:
        return QStringLiteral("%1 leads to %2, which is not a serial port. Choose another port.")
            .arg(portName, device);
    default:
        return QStringLiteral("%1 did not open: %2 (system error %3).")
            .arg(port, QString::fromStdString(refusal.reason))
            .arg(refusal.error);
    }
}
