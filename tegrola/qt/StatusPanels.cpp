#include "StatusPanels.h"

#include <QLabel>

namespace {
constexpr int kPanelWidths[2] = {40, 280};
} // namespace

TStatusPanels::TStatusPanels(const QString &objectName, const QString &caption, QWidget *parent)
    : QStatusBar(parent) {
    setObjectName(objectName);
    setSizeGripEnabled(false);
    for (int panel = 0; panel < 2; ++panel) {
        FPanels[panel] = new QLabel(this);
        FPanels[panel]->setObjectName(QStringLiteral("%1Panel%2").arg(objectName).arg(panel));
        FPanels[panel]->setAlignment(Qt::AlignCenter);
        FPanels[panel]->setMinimumWidth(kPanelWidths[panel]);
        FPanels[panel]->setFrameStyle(panel == 0 ? QFrame::Panel | QFrame::Raised
                                                 : QFrame::StyledPanel | QFrame::Sunken);
        // The message panel takes the rest of the bar: a long line shows whole at once, also while
        // the window thread is too busy to lay the bar out again (a transfer's progress).
        addWidget(FPanels[panel], panel == 1 ? 1 : 0);
    }
    FPanels[0]->setText(caption);
}

QString TStatusPanels::PanelText(int panel) const { return FPanels[panel]->text(); }

void TStatusPanels::SetPanelText(int panel, const QString &text) {
    FPanels[panel]->setText(text);
    emit PanelTextChanged(panel, text);
}
