// A status bar of two panels, as StatusBar1 and StatusBar2 show them: panel 0 a short raised
// caption ("Status", "System"), panel 1 the message, both centred.
#pragma once

#include <QStatusBar>

class QLabel;

class TStatusPanels : public QStatusBar {
    Q_OBJECT
public:
    TStatusPanels(const QString &objectName, const QString &caption, QWidget *parent);

    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString &text);

signals:
    // Every text set, also one equal to the text before: a message shown twice was shown twice.
    void PanelTextChanged(int panel, const QString &text);

private:
    QLabel *FPanels[2];
};
