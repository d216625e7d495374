// frmTegrola: the picture logo on "Exist Logo" and the text logo on "New Logo".
#include "Ufrmtegrola.h"

#include "PictureBox.h"
#include "logo/LogoBitmap.h"
#include "logo/PictureFile.h"
#include "logo/PictureLogo.h"
#include "logo/TextLogo.h"
#include "qt/QtTextRasterizer.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFontDialog>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>

namespace {
constexpr int kLogoHeights[3] = {50, 25, 17};
} // namespace

// ---- Picture logo -------------------------------------------------------------------------------

void TfrmTegrola::SpeedButton48Click() {
    const QString path = ChooseFile(QFileDialog::AcceptOpen);
    if (path.isEmpty()) return;
    // A refused picture leaves Image1, Image2 and "tempold.bmp" as they were.
    const LoadedPicture loaded = LoadLogoPicture(path.toStdString());
    if (!loaded.error.empty()) return ShowMessage(QString::fromStdString(loaded.error));
    const LogoBitmap logo = ConvertPictureLogo(loaded.picture, FLogoHeight);
    if (logo.IsNull())
        return ShowMessage(
            QStringLiteral("There is not enough memory to make the logo; open a smaller picture."));

    Image1->SetPicture(loaded.picture);
    ScrollBox2->verticalScrollBar()->setValue(0);
    Image2->SetLogo(logo);
    WriteWorkLogo(logo, QStringLiteral("tempold.bmp"));
}

// OpenPictureDialog1 or SavePictureDialog1; the chosen file, empty when the operator cancels.
// A fresh dialog each time: a reused one keeps its last selection, which a typed name would join.
QString TfrmTegrola::ChooseFile(QFileDialog::AcceptMode mode) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setObjectName(QStringLiteral("OpenPictureDialog1"));
        // A name typed without extension is taken as it is: the picture loader finds name.bmp or
        // name.BMP, and says so when neither exists. A fixed default suffix would find only one
        // of them on a case-sensitive file system.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(QStringLiteral("LOGO Files (*.bmp)"));
    } else {
        dialog.setObjectName(QStringLiteral("SavePictureDialog1"));
        dialog.setDefaultSuffix(QStringLiteral("BMP"));
        dialog.setNameFilter(QStringLiteral("Bitmaps (*.bmp)"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(QStringLiteral("tempnew.bmp"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

void TfrmTegrola::SaveLogoAs(const LogoBitmap &logo) {
    const QString path = ChooseFile(QFileDialog::AcceptSave);
    if (path.isEmpty()) return;
    std::string error;
    if (!WriteLogoBmp(logo, path.toStdString(), &error)) ShowMessage(QString::fromStdString(error));
}

void TfrmTegrola::WriteWorkLogo(const LogoBitmap &logo, const QString &name) {
    std::string error;
    if (!WriteLogoBmp(logo, WorkFile(name).toStdString(), &error))
        ShowMessage(QString::fromStdString(error));
}

void TfrmTegrola::SpeedButton53Click() { SaveLogoAs(Image2->Logo()); }

// ---- Text logo ----------------------------------------------------------------------------------

void TfrmTegrola::RenderTextLogo() {
    Memo1->setFont(FLogoFont);
    const LogoBitmap logo =
        ::RenderTextLogo(TextLines(Memo1->toPlainText().toStdString()), QtTextRasterizer(FLogoFont),
                         FLogoHeight, FTextLeft, FTextTop);
    Image3->SetLogo(logo);
    WriteWorkLogo(logo, QStringLiteral("tempnew.bmp"));
}

void TfrmTegrola::RadioGroup2Click(int index) {
    if (index < 0 || index >= int(std::size(kLogoHeights))) return;
    FLogoHeight = kLogoHeights[index];
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton49Click() { Memo1->clear(); }

void TfrmTegrola::SpeedButton50Click() {
    FontDialog1->setCurrentFont(FLogoFont);
    if (FontDialog1->exec() != QDialog::Accepted) return;
    FLogoFont = FontDialog1->selectedFont();
    Memo1->setFont(FLogoFont);
    WriteSetting(QStringLiteral("LogoFont"), QStringLiteral("FontName"), FLogoFont.family());
    WriteSetting(QStringLiteral("LogoFont"), QStringLiteral("FontSize"),
                 QString::number(FLogoFont.pointSize()));
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton51Click() {
    --FTextTop;
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton52Click() {
    // Down stops once the text has left the logo at the bottom.
    if (FTextTop >= Image3->Logo().Height()) return;
    ++FTextTop;
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton59Click() {
    --FTextLeft;
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton60Click() {
    ++FTextLeft;
    RenderTextLogo();
}

void TfrmTegrola::SpeedButton61Click() {
    FTextLeft = 0;
    FTextTop = 0;
    RenderTextLogo();
}

void TfrmTegrola::Memo1Change() { RenderTextLogo(); }

void TfrmTegrola::TabSheet4Show() { RenderTextLogo(); }

void TfrmTegrola::SpeedButton54Click() { SaveLogoAs(Image3->Logo()); }
