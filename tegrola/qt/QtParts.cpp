#include "qt/QtParts.h"

#include "qt/QtTextRasterizer.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

std::string QtSettingsStore::Read(const std::string &section, const std::string &name) {
    QSettings settings(QStringLiteral("Vantorleaf"), QStringLiteral("ZarelHP"));
    settings.beginGroup(QString::fromStdString(section));
    return settings.value(QString::fromStdString(name)).toString().toStdString();
}

void QtSettingsStore::Write(const std::string &section, const std::string &name,
                            const std::string &value) {
    QSettings settings(QStringLiteral("Vantorleaf"), QStringLiteral("ZarelHP"));
    settings.beginGroup(QString::fromStdString(section));
    settings.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void QtWindowThread::Post(std::function<void()> task) {
    // Dropped when the window has gone: there is nothing left to show it on.
    if (QWidget *window = window_)
        QMetaObject::invokeMethod(window, std::move(task), Qt::QueuedConnection);
}

void QtWindowThread::After(int milliseconds, std::function<void()> task) {
    auto *timer = new QTimer(window_);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(task));
    timer->start(milliseconds);
}

void QtDialogs::ShowMessage(const std::string &text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, &window_);
    box.exec();
}

namespace {

// A fresh dialog each time: a reused one keeps its last selection, which a typed name would join.
std::string ChooseFile(QWidget &window, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(&window);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

std::string QtDialogs::ChoosePicture() { return ChooseFile(window_, QFileDialog::AcceptOpen); }

std::string QtDialogs::ChooseLogoFile() { return ChooseFile(window_, QFileDialog::AcceptSave); }

bool QtDialogs::ChooseFont(const LogoFont &current, LogoFont *chosen) {
    QFontDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("FontDialog1"));
    dialog.setCurrentFont(QtFontOf(current));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QFont font = dialog.selectedFont();
    // Only what a logo font holds is taken, and that is what the dialog shows next time. The
    // style's name tells its weight and slant where the font database does not.
    const QString style = font.styleName();
    *chosen = LogoFont{font.family().toStdString(), font.pointSize() > 0 ? font.pointSize() : 8,
                       font.bold() || style.contains(QLatin1String("Bold")),
                       font.italic() || style.contains(QLatin1String("Italic")) ||
                           style.contains(QLatin1String("Oblique"))};
    return true;
}

std::unique_ptr<TextRasterizer> QtFontSource::RasterizerFor(const LogoFont &font) {
    return std::make_unique<QtTextRasterizer>(QtFontOf(font));
}

namespace {

// Whether a style name ("Book", "Bold Oblique", "Condensed") means exactly that weight and slant
// at normal width. The names are judged, not the font database's weights and slants, which
// fontconfig does not always fill (DejaVu Sans' "Oblique" is not italic there).
bool StyleIs(const QString &style, bool bold, bool italic) {
    bool hasBold = false, hasSlant = false;
    for (const QString &word : style.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("Bold"))
            hasBold = true;
        else if (word == QLatin1String("Italic") || word == QLatin1String("Oblique"))
            hasSlant = true;
        else if (word != QLatin1String("Regular") && word != QLatin1String("Book") &&
                 word != QLatin1String("Normal") && word != QLatin1String("Roman"))
            return false;
    }
    return hasBold == bold && hasSlant == italic;
}

} // namespace

QFont QtFontOf(const LogoFont &font) {
    const QString family = QString::fromStdString(font.family);
    QFont qt(family, font.points, font.bold ? QFont::Bold : QFont::Normal, font.italic);
    // The family's style of that weight and slant, named: without a name Qt's font dialog takes
    // another style of the family on its own (DejaVu Sans: Oblique).
    for (const QString &style : QFontDatabase::styles(family))
        if (StyleIs(style, font.bold, font.italic)) {
            qt.setStyleName(style);
            break;
        }
    return qt;
}
