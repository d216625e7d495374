// frmTegrola: sending a logo file into a free slot of the printer.
#include "Ufrmtegrola.h"

#include "BusyAnimation.h"
#include "StatusPanels.h"

#include <QByteArray>
#include <QFile>

#include <zarelcom/zarelcom.hpp>

#include <string_view>

namespace {

// Logo files longer than this do not fit a printer slot.
constexpr int32_t kMaxLogoFileBytes = 16000;
constexpr int32_t kLogoSlots = 50;

// GetFileLen's second argument, as the printer tools have always passed it.
constexpr int32_t kFileLenMode = 32770;

// The path as the library takes it: a counted text in the file system's encoding.
zarelcom::Text CountedPath(const QString &path) {
    const QByteArray bytes = QFile::encodeName(path);
    return zarelcom::Text(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

} // namespace

void TfrmTegrola::SpeedButton46Click() {
    Animate2->Start();
    SendLogoFile(WorkFile(QStringLiteral("tempold.bmp")));
    Animate2->Stop();
}

void TfrmTegrola::SpeedButton47Click() {
    Animate2->Start();
    SendLogoFile(WorkFile(QStringLiteral("tempnew.bmp")));
    Animate2->Stop();
}

void TfrmTegrola::SendLogoFile(const QString &path) {
    if (!FConnected) return ShowMessage(QStringLiteral(" Not Connector ZAREL HP!!"));
    const zarelcom::Text file = CountedPath(path);
    const int32_t size = GetFileLen(file, kFileLenMode);
    if (size > kMaxLogoFileBytes)
        return ShowMessage(QStringLiteral("Send error, LOGO size=%1 >16000 bytes!!").arg(size));
    const int32_t slot = GetFreeLogoNo();
    if (slot < 1)
        return StatusBar1->SetPanelText(1, QStringLiteral("Get free Logo number error!!"));
    if (slot > kLogoSlots)
        return StatusBar1->SetPanelText(1, QStringLiteral("Fifty LOGOs are full!!"));
    StatusBar1->SetPanelText(1, QStringLiteral("Send Logo Please Wait"));
    repaint();
    const bool sent = StxSendLogo(file, slot);
    StatusBar1->SetPanelText(
        1, QStringLiteral("Send Logo %1 %2")
               .arg(path, sent ? QStringLiteral("OK") : QStringLiteral("Error!!")));
}
