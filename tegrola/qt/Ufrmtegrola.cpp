// frmTegrola: the window's design, start-up, settings, port list and captions.
#include "qt/Ufrmtegrola.h"

#include "core/Captions.h"
#include "qt/BusyAnimation.h"
#include "qt/Glyphs.h"
#include "qt/PictureBox.h"
#include "qt/StatusPanels.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The page buttons' column and the strip that shows a logo at its own size.
constexpr int kButtonColumnWidth = 110;
constexpr int kLogoStripHeight = 81;

QScrollArea *NewScrollBox(const QString &name, QWidget *picture, QWidget *parent) {
    auto *box = new QScrollArea(parent);
    box->setObjectName(name);
    box->setWidget(picture);
    box->setWidgetResizable(false);
    box->setBackgroundRole(QPalette::Base);
    return box;
}

// A page's left column of flat buttons, top to bottom.
QWidget *NewButtonColumn(QWidget *page, std::initializer_list<QToolButton *> buttons) {
    auto *column = new QWidget(page);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QToolButton *button : buttons) layout->addWidget(button);
    layout->addStretch(1);
    column->setFixedWidth(kButtonColumnWidth);
    return column;
}

// A label as wide as its widest caption in any language, so that a change of language moves
// nothing beside it.
void FitToCaptions(QLabel *label) {
    int width = label->fontMetrics().horizontalAdvance(label->text());
    for (const TCaption &caption : CaptionTable)
        if (label->objectName() == QLatin1String(caption.Control))
            for (const char *text : {caption.English, caption.Traditional, caption.Simplified})
                if (text)
                    width = std::max(
                        width, label->fontMetrics().horizontalAdvance(QString::fromUtf8(text)));
    label->setFixedWidth(width);
}

} // namespace

TfrmTegrola::TfrmTegrola(const QString &programDir) {
    BuildWindow();
    FLogic = std::make_unique<TegrolaLogic>(
        WindowParts{*this, FSettings, FThread, FDialogs, FFonts, FPrinter},
        QDir::cleanPath(programDir).toStdString());
    FLogic->Start();
}

// The logic ends first: it stops a search still running, so that the program ends at once and
// lets go of the port.
TfrmTegrola::~TfrmTegrola() { FLogic.reset(); }

// ---- The design ---------------------------------------------------------------------------------

void TfrmTegrola::BuildWindow() {
    setObjectName(QStringLiteral("frmTegrola"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(812, 390);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 0);
    layout->setSpacing(1);
    layout->addWidget(BuildConnectionBand());
    layout->addWidget(BuildLogoArea(), 1);
    StatusBar1 = new TStatusPanels(QStringLiteral("StatusBar1"), QStringLiteral("Status"), this);
    StatusBar2 = new TStatusPanels(QStringLiteral("StatusBar2"), QStringLiteral("System"), this);
    layout->addWidget(StatusBar1);
    layout->addWidget(StatusBar2);
}

QToolButton *TfrmTegrola::AddFlatButton(const QString &name, const QIcon &glyph,
                                        const QString &text, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(glyph);
    button->setIconSize(QSize(20, 20));
    if (text.isEmpty()) {
        button->setFixedSize(25, 25);
    } else {
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setMinimumHeight(28);
    }
    return button;
}

QWidget *TfrmTegrola::BuildConnectionBand() {
    GroupBox20 = new QGroupBox(QStringLiteral("Communication"), this);
    GroupBox20->setObjectName(QStringLiteral("GroupBox20"));
    GroupBox20->setFixedHeight(49);
    // The controls sit at the band's bottom edge, so that a caption that is empty (Traditional
    // Chinese) and takes no room does not move them up.
    auto *band = new QVBoxLayout(GroupBox20);
    band->setContentsMargins(6, 0, 6, 2);
    band->addStretch(1);
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    band->addLayout(row);

    // Stop Port takes Open Port's place, and Auto Connect's place stays while it is hidden: the
    // controls to the right keep theirs whether connected or not.
    auto *portSlot = new QWidget(GroupBox20);
    portSlot->setFixedSize(25, 25);
    SpeedButton1 = AddFlatButton(QStringLiteral("SpeedButton1"), GlyphIcon(TGlyph::OpenPort),
                                 QString(), portSlot);
    SpeedButton1->setToolTip(QStringLiteral("Open Port"));
    SpeedButton2 = AddFlatButton(QStringLiteral("SpeedButton2"), GlyphIcon(TGlyph::StopPort),
                                 QString(), portSlot);
    SpeedButton2->setToolTip(QStringLiteral("Stop Port"));
    SpeedButton2->hide();
    SpeedButton55 = AddFlatButton(QStringLiteral("SpeedButton55"), GlyphIcon(TGlyph::AutoConnect),
                                  QString(), GroupBox20);
    SpeedButton55->setToolTip(QStringLiteral("Auto Connect"));
    QSizePolicy keepPlace = SpeedButton55->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    SpeedButton55->setSizePolicy(keepPlace);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { FLogic->SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { FLogic->SpeedButton2Click(); });
    connect(SpeedButton55, &QToolButton::clicked, this, [this] { FLogic->SpeedButton55Click(); });
    row->addWidget(portSlot);
    row->addWidget(SpeedButton55);
    row->addSpacing(8);

    const auto addLabelled = [&](QLabel *&label, const char *labelName, const QString &caption,
                                 QComboBox *&combo, const char *comboName, const QStringList &items,
                                 int width) {
        label = new QLabel(caption, GroupBox20);
        label->setObjectName(QLatin1String(labelName));
        FitToCaptions(label);
        combo = new QComboBox(GroupBox20);
        combo->setObjectName(QLatin1String(comboName));
        combo->addItems(items);
        combo->setMinimumWidth(width);
        label->setBuddy(combo);
        row->addWidget(label);
        row->addWidget(combo);
        row->addSpacing(6);
    };
    addLabelled(
        Label1, "Label1", QStringLiteral("COM Port"), ComboBox1, "ComboBox1",
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}, 80);
    addLabelled(Label2, "Label2", QStringLiteral("ZarelBaudRate"), ComboBox3, "ComboBox3",
                {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                 QStringLiteral("57600"), QStringLiteral("115200")},
                80);
    ComboBox3->setCurrentIndex(1);
    connect(ComboBox3, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { FLogic->ComboBox3Change(index); });
    connect(ComboBox1, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { FLogic->ComboBox1Change(index); });

    // The port rate code handed to SetBaudRate: its index is the code.
    ComboBox2 = new QComboBox(GroupBox20);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    for (const char *rate : {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                             "38400", "56000", "57600", "115200", "128000", "256000"})
        ComboBox2->addItem(QLatin1String(rate));
    ComboBox2->setCurrentIndex(9);
    ComboBox2->hide();

    addLabelled(Label3, "Label3", QStringLiteral("Language"), ComboBox4, "ComboBox4",
                {QStringLiteral("English"), QStringLiteral("Traditional Chinese(Taiwan)"),
                 QStringLiteral("Simple Chinese")},
                170);
    ComboBox4->setEditable(true);
    ComboBox4->setInsertPolicy(QComboBox::NoInsert);
    ComboBox4->setCurrentIndex(-1);
    ComboBox4->setEditText(QStringLiteral("English"));
    connect(ComboBox4, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { FLogic->ComboBox4Change(index); });
    connect(ComboBox4->lineEdit(), &QLineEdit::textEdited, this, &TfrmTegrola::LanguageTextEdited);

    row->addStretch(1);
    Animate1 =
        new TBusyAnimation(TBusyAnimation::TClip::SearchComputer, QSize(121, 25), GroupBox20);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    row->addWidget(Animate1);
    return GroupBox20;
}

QWidget *TfrmTegrola::BuildLogoArea() {
    GroupBox6 = new QGroupBox(QStringLiteral("Logo"), this);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    auto *layout = new QVBoxLayout(GroupBox6);
    layout->setContentsMargins(3, 2, 3, 3);

    // Panel4 lies under the pages; only its caption is kept.
    Panel4 = new QLabel(QStringLiteral("Panel4"), GroupBox6);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->hide();

    PageControl2 = new QTabWidget(GroupBox6);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setDocumentMode(true);
    PageControl2->addTab(BuildPicturePage(), QStringLiteral("Exist Logo"));
    PageControl2->addTab(BuildTextPage(), QStringLiteral("New Logo"));
    PageControl2->setCurrentWidget(TabSheet4);
    connect(PageControl2, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl2->widget(index) == TabSheet4) FLogic->TabSheet4Show();
    });
    layout->addWidget(PageControl2);

    // Beside the page tabs, where it covers no control while it runs.
    Animate2 = new TBusyAnimation(TBusyAnimation::TClip::CopyFiles, QSize(121, 24), PageControl2);
    Animate2->setObjectName(QStringLiteral("Animate2"));
    PageControl2->setCornerWidget(Animate2, Qt::TopRightCorner);
    return GroupBox6;
}

QWidget *TfrmTegrola::BuildPicturePage() {
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    auto *page = new QHBoxLayout(TabSheet3);
    page->setContentsMargins(4, 4, 4, 2);

    SpeedButton48 = AddFlatButton(QStringLiteral("SpeedButton48"), GlyphIcon(TGlyph::OpenPicture),
                                  QStringLiteral("Open Picture"), TabSheet3);
    SpeedButton53 = AddFlatButton(QStringLiteral("SpeedButton53"), GlyphIcon(TGlyph::SaveLogo),
                                  QStringLiteral("Save Logo As"), TabSheet3);
    SpeedButton46 = AddFlatButton(QStringLiteral("SpeedButton46"), GlyphIcon(TGlyph::SendLogo),
                                  QStringLiteral("Send Logo"), TabSheet3);
    page->addWidget(NewButtonColumn(TabSheet3, {SpeedButton48, SpeedButton53, SpeedButton46}));
    connect(SpeedButton48, &QToolButton::clicked, this, [this] { FLogic->SpeedButton48Click(); });
    connect(SpeedButton53, &QToolButton::clicked, this, [this] { FLogic->SpeedButton53Click(); });
    connect(SpeedButton46, &QToolButton::clicked, this, [this] { FLogic->SpeedButton46Click(); });

    auto *pictures = new QVBoxLayout;
    Image2 = new TPictureBox(QStringLiteral("Image2"), nullptr);
    Image2->setToolTip(QStringLiteral("Pic"));
    ScrollBox2 = NewScrollBox(QStringLiteral("ScrollBox2"), Image2, TabSheet3);
    ScrollBox2->setFixedHeight(kLogoStripHeight);
    Image1 = new TPictureBox(QStringLiteral("Image1"), nullptr);
    ScrollBox1 = NewScrollBox(QStringLiteral("ScrollBox1"), Image1, TabSheet3);
    pictures->addWidget(ScrollBox2);
    pictures->addWidget(ScrollBox1, 1);
    page->addLayout(pictures, 1);
    return TabSheet3;
}

QWidget *TfrmTegrola::BuildTextPage() {
    TabSheet4 = new QWidget;
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    auto *page = new QHBoxLayout(TabSheet4);
    page->setContentsMargins(4, 4, 4, 2);

    SpeedButton49 = AddFlatButton(QStringLiteral("SpeedButton49"), GlyphIcon(TGlyph::NewText),
                                  QStringLiteral("New Text"), TabSheet4);
    SpeedButton54 = AddFlatButton(QStringLiteral("SpeedButton54"), GlyphIcon(TGlyph::SaveLogo),
                                  QStringLiteral("Save Logo As"), TabSheet4);
    SpeedButton47 = AddFlatButton(QStringLiteral("SpeedButton47"), GlyphIcon(TGlyph::SendLogo),
                                  QStringLiteral("Send Logo"), TabSheet4);
    page->addWidget(NewButtonColumn(TabSheet4, {SpeedButton49, SpeedButton54, SpeedButton47}));
    connect(SpeedButton49, &QToolButton::clicked, this, [this] { FLogic->SpeedButton49Click(); });
    connect(SpeedButton54, &QToolButton::clicked, this, [this] { FLogic->SpeedButton54Click(); });
    connect(SpeedButton47, &QToolButton::clicked, this, [this] { FLogic->SpeedButton47Click(); });

    auto *work = new QVBoxLayout;
    work->setSpacing(4);
    Image3 = new TPictureBox(QStringLiteral("Image3"), nullptr);
    Image3->setToolTip(QStringLiteral("Pic"));
    ScrollBox3 = NewScrollBox(QStringLiteral("ScrollBox3"), Image3, TabSheet4);
    ScrollBox3->setFixedHeight(kLogoStripHeight);
    work->addWidget(ScrollBox3);
    // Beside the preview: what of the text the logo cuts off.
    TextFit = new QLabel(TabSheet4);
    TextFit->setObjectName(QStringLiteral("TextFit"));
    TextFit->hide();
    work->addWidget(TextFit);

    auto *lower = new QHBoxLayout;
    lower->setSpacing(8);
    Memo1 = new QPlainTextEdit(QStringLiteral("This is Test."), TabSheet4);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFixedSize(345, 137);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(Memo1, &QPlainTextEdit::textChanged, this,
            [this] { FLogic->Memo1Change(Memo1->toPlainText().toStdString()); });
    lower->addWidget(Memo1, 0, Qt::AlignTop);

    auto *settings = new QVBoxLayout;
    settings->setSpacing(2);
    RadioGroup2 = new QGroupBox(QStringLiteral("LOGO Height"), TabSheet4);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setToolTip(QStringLiteral("Select Download LOGO size"));
    RadioGroup2Items = new QButtonGroup(RadioGroup2);
    auto *heights = new QGridLayout(RadioGroup2);
    heights->setContentsMargins(8, 0, 8, 4);
    const QStringList items = {QStringLiteral("0.5\"/12.7mm"), QStringLiteral("0.25\"/6mm"),
                               QStringLiteral("0.17\"/4mm")};
    for (int index = 0; index < items.size(); ++index) {
        auto *item = new QRadioButton(items[index], RadioGroup2);
        item->setObjectName(QStringLiteral("RadioGroup2Item%1").arg(index));
        RadioGroup2Items->addButton(item, index);
        heights->addWidget(item, 0, index);
    }
    RadioGroup2Items->button(0)->setChecked(true);
    connect(RadioGroup2Items, &QButtonGroup::idClicked, this,
            [this](int index) { FLogic->RadioGroup2Click(index); });
    settings->addWidget(RadioGroup2);

    auto *positionRow = new QHBoxLayout;
    GroupBox22 = new QGroupBox(QStringLiteral("Position"), TabSheet4);
    GroupBox22->setObjectName(QStringLiteral("GroupBox22"));
    auto *cross = new QGridLayout(GroupBox22);
    cross->setSpacing(0);
    cross->setContentsMargins(8, 0, 8, 2);
    struct TPositionButton {
        QToolButton *&button;
        const char *name;
        TGlyph glyph;
        const char *hint;
        int row;
        int column;
        void (TegrolaLogic::*click)();
    };
    const TPositionButton positions[] = {
        {SpeedButton51, "SpeedButton51", TGlyph::Up, "Up", 0, 1, &TegrolaLogic::SpeedButton51Click},
        {SpeedButton59, "SpeedButton59", TGlyph::Left, "Left", 1, 0,
         &TegrolaLogic::SpeedButton59Click},
        {SpeedButton61, "SpeedButton61", TGlyph::Centre, "Auto", 1, 1,
         &TegrolaLogic::SpeedButton61Click},
        {SpeedButton60, "SpeedButton60", TGlyph::Right, "Right", 1, 2,
         &TegrolaLogic::SpeedButton60Click},
        {SpeedButton52, "SpeedButton52", TGlyph::Down, "Down", 2, 1,
         &TegrolaLogic::SpeedButton52Click},
    };
    for (const TPositionButton &position : positions) {
        position.button = AddFlatButton(QLatin1String(position.name), GlyphIcon(position.glyph),
                                        QString(), GroupBox22);
        position.button->setIconSize(QSize(16, 16));
        position.button->setToolTip(QLatin1String(position.hint));
        cross->addWidget(position.button, position.row, position.column);
        connect(position.button, &QToolButton::clicked, this,
                [this, click = position.click] { (*FLogic.*click)(); });
    }
    positionRow->addWidget(GroupBox22);
    SpeedButton50 = AddFlatButton(QStringLiteral("SpeedButton50"), GlyphIcon(TGlyph::SetFont),
                                  QStringLiteral("Set Font"), TabSheet4);
    SpeedButton50->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(SpeedButton50, &QToolButton::clicked, this, [this] { FLogic->SpeedButton50Click(); });
    positionRow->addWidget(SpeedButton50, 0, Qt::AlignBottom);
    positionRow->addStretch(1);
    settings->addLayout(positionRow);
    settings->addStretch(1);
    lower->addLayout(settings, 1);
    work->addLayout(lower, 1);
    page->addLayout(work, 1);
    return TabSheet4;
}

void TfrmTegrola::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (FFirstShow) {
        FFirstShow = false;
        if (PageControl2->currentWidget() == TabSheet4) FLogic->FormShow();
    }
}

void TfrmTegrola::LanguageTextEdited(const QString &text) {
    // Typed text selects the item it names and leaves no selection when it names none; the text
    // stays as typed.
    QLineEdit *edit = ComboBox4->lineEdit();
    const int cursor = edit->cursorPosition();
    FLogic->ComboBox4TextEdited(text.toStdString());
    {
        const QSignalBlocker quiet(ComboBox4);
        ComboBox4->setEditText(text);
    }
    edit->setCursorPosition(cursor);
}

// ---- What the logic shows -----------------------------------------------------------------------

void TfrmTegrola::SetWindowCaption(const std::string &caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TfrmTegrola::SetCaption(const std::string &control, const std::string &text) {
    const QString name = QString::fromStdString(control);
    const QString caption = QString::fromStdString(text);
    if (name == StatusBar1->objectName()) return StatusBar1->SetPanelText(0, caption);
    if (name == StatusBar2->objectName()) return StatusBar2->SetPanelText(0, caption);
    QWidget *widget = findChild<QWidget *>(name);
    if (const int page = PageControl2->indexOf(widget); page >= 0)
        return PageControl2->setTabText(page, caption);
    if (auto *box = qobject_cast<QGroupBox *>(widget)) return box->setTitle(caption);
    if (auto *label = qobject_cast<QLabel *>(widget)) return label->setText(caption);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) return button->setText(caption);
}

void TfrmTegrola::SetPortList(const std::vector<PortEntry> &ports) {
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    for (const PortEntry &port : ports) {
        ComboBox1->addItem(QString::fromStdString(port.text));
        ComboBox1->setItemData(ComboBox1->count() - 1, QString::fromStdString(port.about),
                               Qt::ToolTipRole);
    }
}

void TfrmTegrola::SelectPort(int index) {
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(index);
}

void TfrmTegrola::SelectBaud(int index, int portRateCode) {
    ComboBox3->setCurrentIndex(index);
    ComboBox2->setCurrentIndex(portRateCode);
}

void TfrmTegrola::SelectLanguage(int index) {
    const QSignalBlocker quiet(ComboBox4);
    ComboBox4->setCurrentIndex(index);
}

void TfrmTegrola::SetStatus(int bar, const std::string &text) {
    (bar == 1 ? StatusBar1 : StatusBar2)->SetPanelText(1, QString::fromStdString(text));
}

void TfrmTegrola::Repaint() { repaint(); }

void TfrmTegrola::ShowConnected(bool connected) {
    // Left to itself, the focus of a control that goes would pass on to the language box and
    // select its text: typing would then change the language. The button in Open Port's place
    // takes it instead.
    QToolButton *portButton = connected ? SpeedButton2 : SpeedButton1;
    const QWidget *focus = QApplication::focusWidget();
    const bool focusGoes =
        focus && (focus == ComboBox1 || focus == ComboBox3 || focus == SpeedButton1 ||
                  focus == SpeedButton2 || focus == SpeedButton55);
    portButton->show();
    if (focusGoes) portButton->setFocus(Qt::OtherFocusReason);
    ComboBox1->setEnabled(!connected);
    ComboBox3->setEnabled(!connected);
    SpeedButton1->setVisible(!connected);
    SpeedButton55->setVisible(!connected);
    SpeedButton2->setVisible(connected);
}

// While a connection is tried nothing else may use the library: its exchange state is one per
// process.
void TfrmTegrola::SetConnecting(bool connecting) {
    for (QToolButton *button : {SpeedButton1, SpeedButton55, SpeedButton46, SpeedButton47})
        button->setEnabled(!connecting);
}

// What is typed or chosen during a send would not reach the logo being sent: it is not taken.
void TfrmTegrola::SetSending(bool sending) {
    for (QWidget *control :
         std::initializer_list<QWidget *>{SpeedButton2, SpeedButton48, SpeedButton53, SpeedButton46,
                                          SpeedButton49, SpeedButton54, SpeedButton47,
                                          SpeedButton50, Memo1, RadioGroup2, GroupBox22, ComboBox4})
        control->setEnabled(!sending);
}

void TfrmTegrola::RunSearchAnimation(bool run) { run ? Animate1->Start() : Animate1->Stop(); }

void TfrmTegrola::RunSendAnimation(bool run) { run ? Animate2->Start() : Animate2->Stop(); }

void TfrmTegrola::ShowPicture(const Picture &picture) { Image1->SetPicture(picture); }

void TfrmTegrola::ShowPictureLogo(const LogoBitmap &logo) {
    ScrollBox2->verticalScrollBar()->setValue(0);
    Image2->SetLogo(logo);
}

void TfrmTegrola::ShowTextLogo(const LogoBitmap &logo) { Image3->SetLogo(logo); }

void TfrmTegrola::ShowTextFit(const std::string &problem) {
    TextFit->setText(QString::fromStdString(problem));
    TextFit->setVisible(!problem.empty());
}

void TfrmTegrola::SetTextFont(const LogoFont &font) { Memo1->setFont(QtFontOf(font)); }

void TfrmTegrola::ClearText() { Memo1->clear(); }
