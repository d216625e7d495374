// frmTegrola: the picture logo on "Exist Logo" and the text logo on "New Logo".
#include "Ufrmtegrola.h"

#include "PictureBox.h"
#include "logo/LogoBitmap.h"
#include "logo/PictureLogo.h"
#include "logo/TextLogo.h"

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
    const LoadedPicture loaded = LoadLogoPicture(path);
    if (!loaded.error.isEmpty()) return ShowMessage(loaded.error);
    const QImage logo = ConvertPictureLogo(loaded.picture, FLogoHeight);
    if (logo.isNull())
        return ShowMessage(
            QStringLiteral("There is not enough memory to make the logo; open a smaller picture."));

    Image1->SetPicture(loaded.picture);
    ScrollBox2->verticalScrollBar()->setValue(0);
    Image2->SetPicture(logo);
    QString error;
    if (!WriteLogoBmp(logo, WorkFile(QStringLiteral("tempold.bmp")), &error)) ShowMessage(error);
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

void TfrmTegrola::SaveLogoAs(const QImage &logo) {
    const QString path = ChooseFile(QFileDialog::AcceptSave);
    if (path.isEmpty()) return;
    QString error;
    if (!WriteLogoBmp(logo, path, &error)) ShowMessage(error);
}

void TfrmTegrola::SpeedButton53Click() { SaveLogoAs(Image2->Picture()); }

// ---- Text logo ----------------------------------------------------------------------------------

void TfrmTegrola::RenderTextLogo() {
    Memo1->setFont(FLogoFont);
    const QString text = Memo1->toPlainText();
    const QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    const QImage logo = ::RenderTextLogo(lines, FLogoFont, FLogoHeight, FTextLeft, FTextTop);
    Image3->SetPicture(logo);
    QString error;
    if (!WriteLogoBmp(logo, WorkFile(QStringLiteral("tempnew.bmp")), &error)) ShowMessage(error);
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
    if (FTextTop >= Image3->Picture().height()) return;
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

void TfrmTegrola::SpeedButton54Click() { SaveLogoAs(Image3->Picture()); }
