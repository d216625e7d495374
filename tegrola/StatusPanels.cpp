#include "StatusPanels.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kPanelWidths[2] = {40, 280};
} // namespace

TStatusPanels::TStatusPanels(const QString &objectName, const QString &caption, QWidget *parent) : QFrame(parent)
{
    setObjectName(objectName);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    for (int panel = 0; panel < 2; ++panel) {
        FPanels[panel] = new QLabel(this);
        FPanels[panel]->setObjectName(QStringLiteral("%1Panel%2").arg(objectName).arg(panel));
        FPanels[panel]->setAlignment(Qt::AlignCenter);
        FPanels[panel]->setMinimumWidth(kPanelWidths[panel]);
        FPanels[panel]->setFrameStyle(QFrame::Panel | (panel == 0 ? QFrame::Raised : QFrame::Sunken));
        layout->addWidget(FPanels[panel]);
    }
    layout->addStretch(1);
    FPanels[0]->setText(caption);
}

QString TStatusPanels::PanelText(int panel) const
{
    return FPanels[panel]->text();
}

void TStatusPanels::SetPanelText(int panel, const QString &text)
{
    FPanels[panel]->setText(text);
    emit PanelTextChanged(panel, text);
}
