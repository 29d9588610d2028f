#include "controlpanel.h"

#include "dialogs/versiondialog.h"
#include "elements/digitelement.h"
#include "elements/faredisplay.h"
#include "elements/nextstopnameboard.h"
#include "operation/faredata.h"
#include "operation/keypadbutton.h"
#include "operation/operationoptions.h"
#include "operation/panelpicture.h"
#include "operation/stopsequencer.h"
#include "platform/cp932.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "platform/twips.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "tickets/ticketpreview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <vector>

#ifndef FARE_VERSION
#define FARE_VERSION "0.0.0"
#endif

namespace
{

using platform::twipsToPixels;

const QString ChannelOperating = QStringLiteral("S1");

QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QLabel* captionLabel(const QString& text, QWidget* parent, const QRect& place,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(align);
    return label;
}

QListWidget* digitList(QWidget* parent, const QRect& place)
{
    auto* list = new QListWidget(parent);
    list->setGeometry(place);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    QFont small = list->font();
    small.setPointSizeF(8);
    list->setFont(small);
    for (int digit = 0; digit <= 9; ++digit) {
        auto* item = new QListWidgetItem(QString::number(digit), list);
        item->setTextAlignment(Qt::AlignCenter);
        item->setSizeHint(QSize(place.width() - 4, 11));
    }
    return list;
}

// The route and section displays of the keypad panel look like a small LCD.
QLabel* keypadDisplay(const QString& text, QWidget* parent, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette colors = label->palette();
    colors.setColor(QPalette::Window, QColor(20, 24, 20));
    colors.setColor(QPalette::WindowText, QColor(255, 176, 64));
    label->setPalette(colors);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont digits = platform::mappedFont(platform::GothicFace, 14, true);
    label->setFont(digits);
    return label;
}

// True when the dialog was created inside the window (a dialog is a window of its own, so
// QWidget::isAncestorOf does not see it).
bool ownsDialog(const QWidget* window, const QWidget* dialog)
{
    for (const QWidget* w = dialog ? dialog->parentWidget() : nullptr; w; w = w->parentWidget())
        if (w == window)
            return true;
    return false;
}

QPushButton* button(const QString& caption, QWidget* parent, const QRect& place)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setGeometry(place);
    return pushButton;
}

} // namespace

ControlPanel::ControlPanel(FareDisplay* display, OperationOptions* options,
                           sound::BroadcastTape* tape, QWidget* parent)
    : QWidget(parent), display_(display), options_(options), tape_(tape)
{
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFont(platform::mappedFont(platform::PGothicFace, 9));

    createRoutePanels();
    createStepControls();
    createScrollFrame();
    createTapeGroup();
    createPreviewArea();
    connectTape();

    setPanelWidth(NarrowWidthTwips);
}

ControlPanel::~ControlPanel() = default;

// ---------------------------------------------------------------------------------------------
// Building the window

void ControlPanel::createRoutePanels()
{
    // Both panels share one place; the keypad panel is in front at creation.
    Frame1[0] = createListPanel();
    Frame1[1] = createKeypadPanel();
    for (int j = 0; j < 2; ++j) {
        Frame1[j]->setGeometry(6, 6, 206, 176);
        Frame1[j]->setFrameStyle(QFrame::Panel | QFrame::Raised);
        Frame1[j]->setAutoFillBackground(true);
        Frame1[j]->installEventFilter(this);
        Frame1[j]->setToolTip(QStringLiteral("ダブルクリックで入力パネルを切り替えます"));
    }
    Frame1[1]->raise();
}

QFrame* ControlPanel::createListPanel()
{
    auto* panel = new QFrame(this);
    Label6 = captionLabel(QStringLiteral("系　統"), panel, QRect(8, 4, 104, 16), Qt::AlignCenter);
    for (int i = 0; i < 5; ++i) {
        List2[i] = digitList(panel, QRect(8 + 21 * i, 22, 20, 116));
        connect(List2[i], &QListWidget::itemClicked, this,
                [this] { sound::playSound(options_->resetSound(), ChannelOperating, 0, 0); });
    }
    Label7 = captionLabel(QStringLiteral("区間"), panel, QRect(124, 4, 62, 16), Qt::AlignCenter);
    for (int i = 0; i < 3; ++i) {
        List3[i] = digitList(panel, QRect(124 + 21 * i, 22, 20, 116));
        connect(List3[i], &QListWidget::itemClicked, this,
                [this] { sound::playSound(options_->routeSetSound(), ChannelOperating, 0, 0); });
    }
    Picture1 = new QLabel(panel);
    Picture1->setGeometry(8, 146, 8, 22);
    Picture1->setAutoFillBackground(true);
    QPalette mark = Picture1->palette();
    mark.setColor(QPalette::Window, QColor(0, 120, 60));
    Picture1->setPalette(mark);
    Label5 = captionLabel(QStringLiteral("系統設定"), panel, QRect(20, 146, 80, 22));
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Command1[0] = button(QStringLiteral("リセット"), panel, QRect(124, 144, 74, 26));
    connect(Command1[0], &QPushButton::clicked, this, [this] { setRoute(0); });
    return panel;
}

QFrame* ControlPanel::createKeypadPanel()
{
    auto* panel = new QFrame(this);
    QFont small = font();
    small.setPointSizeF(7.5);
    auto* routeCaption = captionLabel(QStringLiteral("系統"), panel, QRect(8, 4, 96, 14));
    auto* sectionCaption = captionLabel(QStringLiteral("区間"), panel, QRect(124, 4, 74, 14));
    routeCaption->setFont(small);
    sectionCaption->setFont(small);
    Label2[0] = keypadDisplay(QString(), panel, QRect(8, 18, 100, 30));
    Label2[1] = captionLabel(QStringLiteral("-"), panel, QRect(108, 18, 16, 30), Qt::AlignCenter);
    Label2[2] = keypadDisplay(QString(), panel, QRect(124, 18, 74, 30));

    // Calculator order: 7 8 9 系統 / 4 5 6 区間 / 1 2 3 0.
    static constexpr int Layout[3][4] = {{7, 8, 9, 10}, {4, 5, 6, 11}, {1, 2, 3, 0}};
    QFont keyFont = font();
    keyFont.setPointSizeF(8);
    keyFont.setBold(true);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int k = Layout[row][column];
            const QString caption = k == 10   ? QStringLiteral("系統")
                                    : k == 11 ? QStringLiteral("区間")
                                              : QString::number(k);
            auto* key = new KeypadButton(caption, panel);
            key->setFont(keyFont);
            key->move(8 + 30 * column, 56 + 27 * row);
            connect(key, &QPushButton::clicked, this, [this, k] { onKeypadKey(k); });
            CommandButton1[k] = key;
        }
    }
    Command1[1] = button(QStringLiteral("リセット"), panel, QRect(136, 58, 62, 77));
    connect(Command1[1], &QPushButton::clicked, this, [this] { setRoute(1); });

    auto* hint = captionLabel(QStringLiteral("系統・区間を押してから数字を入力"), panel,
                              QRect(8, 144, 190, 24));
    hint->setFont(small);
    hint->setEnabled(false);
    return panel;
}

void ControlPanel::createStepControls()
{
    QFont large = font();
    large.setPointSizeF(11);
    large.setBold(true);

    Command2[1] = button(QStringLiteral("データ送り"), this, QRect(216, 6, 139, 44));
    Command2[1]->setFont(large);
    Command2[0] = button(QStringLiteral("データ戻し"), this, QRect(216, 54, 139, 30));
    Check1 = button(QStringLiteral("表示消去"), this, QRect(216, 88, 139, 28));
    Check1->setCheckable(true);
    for (QPushButton* control : {Command2[0], Command2[1], Check1})
        control->setEnabled(false);
    connect(Command2[1], &QPushButton::clicked, this, [this] { stepStop(1); });
    connect(Command2[0], &QPushButton::clicked, this, [this] { stepStop(0); });
    connect(Check1, &QPushButton::toggled, this, [this](bool on) { setDisplayCleared(on); });

    Frame2 = new QGroupBox(QStringLiteral("バックライト"), this);
    Frame2->setGeometry(216, 122, 139, 60);
    static const char* const Captions[3] = {"OFF", "ON1", "ON2"};
    QFont compact = font();
    compact.setPointSizeF(8);
    auto* backlightRow = new QHBoxLayout(Frame2);
    backlightRow->setContentsMargins(2, 2, 0, 2);
    backlightRow->setSpacing(0);
    for (int b = 0; b < 3; ++b) {
        Option4[b] = new QRadioButton(QString::fromLatin1(Captions[b]), Frame2);
        Option4[b]->setFont(compact);
        backlightRow->addWidget(Option4[b]);
        connect(Option4[b], &QRadioButton::clicked, this, [this, b] { onBacklightSelected(b); });
    }
    Option4[0]->setChecked(true);
}

void ControlPanel::createScrollFrame()
{
    Frame6 = new QFrame(this);
    Frame6->setGeometry(6, 188, 347, 62);
    Frame6->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    Check2 = new QCheckBox(QStringLiteral("深夜料金"), Frame6);
    Check2->setGeometry(8, 20, 80, 22);

    static const int Minimum[2] = {1, 0};
    static const int Maximum[2] = {2000, 3000};
    Label3[0] = captionLabel(QStringLiteral("ｽｸﾛｰﾙ速度"), Frame6, QRect(96, 6, 64, 20));
    Label3[1] = captionLabel(QStringLiteral("ｽｸﾛｰﾙ間隔"), Frame6, QRect(96, 34, 64, 20));
    for (int j = 0; j < 2; ++j) {
        HScroll1[j] = new QScrollBar(Qt::Horizontal, Frame6);
        HScroll1[j]->setGeometry(162, 8 + 28 * j, 136, 17);
        HScroll1[j]->setRange(Minimum[j], Maximum[j]);
        HScroll1[j]->setValue(Minimum[j]);
        HScroll1[j]->setPageStep(j == 0 ? 100 : 250);
        Label1[j] = captionLabel(QString::number(Minimum[j]), Frame6,
                                 QRect(300, 6 + 28 * j, 40, 20), Qt::AlignRight | Qt::AlignVCenter);
        connect(HScroll1[j], &QScrollBar::valueChanged, this, [this, j] { HScroll1_Change(j); });
    }
}

void ControlPanel::createTapeGroup()
{
    grpM_Tape = new QGroupBox(QStringLiteral("音合使用不可"), this);
    grpM_Tape->setGeometry(6, 254, 220, 50);
    cmdTapeBack = button(QStringLiteral("戻し"), grpM_Tape, QRect(8, 20, 50, 24));
    cmdTapeNext = button(QStringLiteral("送り"), grpM_Tape, QRect(60, 20, 50, 24));
    cmdTapeStop = button(QStringLiteral("■"), grpM_Tape, QRect(112, 20, 40, 24));
    cmdTapeSet = button(QStringLiteral("調整"), grpM_Tape, QRect(162, 20, 50, 24));
    cmdTapeBack->setToolTip(QStringLiteral("放送を一つ戻します"));
    cmdTapeNext->setToolTip(QStringLiteral("次の放送を流します"));
    cmdTapeStop->setToolTip(QStringLiteral("放送を止めます"));
    cmdTapeSet->setToolTip(QStringLiteral("音声の調節"));

    Command4 = button(QStringLiteral("設定..."), this, QRect(232, 258, 58, 22));
    Command8 = button(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this, QRect(294, 258, 59, 22));
    Check4 = button(QStringLiteral(">>"), this, QRect(294, 282, 59, 22));
    Check4->setCheckable(true);
    Check4->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    connect(Command4, &QPushButton::clicked, this, &ControlPanel::Command4_Click);
    connect(Command8, &QPushButton::clicked, this, &ControlPanel::Command8_Click);
    connect(Check4, &QPushButton::toggled, this, &ControlPanel::Check4_Click);
}

void ControlPanel::createPreviewArea()
{
    const int left = twipsToPixels(5415);
    Label4 = captionLabel(QStringLiteral("整理券プレビュー"), this, QRect(left, 6, 220, 18));
    picSeirikenPrev = new TicketPreview(this);
    picSeirikenPrev->move(left, twipsToPixels(390));
    picSeirikenPrev->setPictureSize(QSize(twipsToPixels(3300), twipsToPixels(1395)));
    picSeirikenPrev->setToolTip(QStringLiteral("右クリックでコピーできます"));

    companyCaption_ = captionLabel(QStringLiteral("社名"), this, QRect(left, 130, 30, 22));
    Combo1 = new QComboBox(this);
    Combo1->setGeometry(left + 32, 130, 188, 22);
    Combo1->setToolTip(QStringLiteral("整理券に印字する社名"));
    placeCompanyList();

    MnuHide = new QMenu(this);
    MnuHideCopy = MnuHide->addAction(QStringLiteral("コピー(&C)"));
    connect(MnuHideCopy, &QAction::triggered, this, &ControlPanel::MnuHideCopy_Click);
    connect(picSeirikenPrev, &TicketPreview::rightButtonPressed, this,
            [this](const QPoint& at) { MnuHide->popup(at); });
}

void ControlPanel::connectTape()
{
    if (!tape_) {
        grpM_Tape->setEnabled(false);
        return;
    }
    // The tape owns the group's state; the panel shows it from the start.
    grpM_Tape->setEnabled(tape_->groupEnabled());
    grpM_Tape->setTitle(tape_->groupCaption());
    for (QPushButton* control : {cmdTapeSet, cmdTapeBack, cmdTapeNext, cmdTapeStop})
        control->setEnabled(tape_->buttonsEnabled());
    connect(tape_, &sound::BroadcastTape::groupEnabledChanged, grpM_Tape, &QWidget::setEnabled);
    connect(tape_, &sound::BroadcastTape::groupCaptionChanged, grpM_Tape, &QGroupBox::setTitle);
    connect(tape_, &sound::BroadcastTape::buttonsEnabledChanged, this, [this](bool enabled) {
        for (QPushButton* control : {cmdTapeSet, cmdTapeBack, cmdTapeNext, cmdTapeStop})
            control->setEnabled(enabled);
    });
    connect(tape_, &sound::BroadcastTape::dataStepRequested, this, &ControlPanel::stepStop);
    connect(cmdTapeNext, &QPushButton::clicked, tape_, &sound::BroadcastTape::pressNext);
    connect(cmdTapeBack, &QPushButton::clicked, tape_, &sound::BroadcastTape::pressBack);
    connect(cmdTapeStop, &QPushButton::clicked, tape_, &sound::BroadcastTape::stopSpeech);
    connect(cmdTapeSet, &QPushButton::clicked, this, [this] { tape_->showSpeechSettings(this); });
}

void ControlPanel::setPanelWidth(int widthTwips)
{
    setFixedSize(twipsToPixels(widthTwips), twipsToPixels(HeightTwips));
}

// ---------------------------------------------------------------------------------------------
// Load and exit

void ControlPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!loaded_)
        onLoad();
}

void ControlPanel::onLoad()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (display_ && display_->window())
        display_->window()->setWindowTitle(QStringLiteral("ファレット - 型番:") + executableName());
    const QRegion face = KeypadButton::faceRegion();
    for (int i = 0; i < 12; ++i) {
        ButtonRgn[i] = face;
        CommandButton1[i]->setMask(ButtonRgn[i]);
    }
    if (tape_)
        tape_->initSpeech();
}

void ControlPanel::releaseKeypadRegions()
{
    for (int i = 0; i < 12; ++i) {
        CommandButton1[i]->clearMask();
        ButtonRgn[i] = QRegion();
    }
}

void ControlPanel::closeEvent(QCloseEvent* event)
{
    const int answer =
        platform::showMessageBox(QStringLiteral("ファレットを終了しますか？"),
                                 platform::MessageBox::YesNo | platform::MessageBox::Question,
                                 QStringLiteral("ファレットの終了確認"), this);
    if (answer != platform::MessageBox::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    shutDown();
}

void ControlPanel::shutDown()
{
    if (display_ && display_->stopNameBoard())
        display_->stopNameBoard()->setStopName(QString());
    if (display_ && display_->window())
        display_->window()->clearMask();
    releaseKeypadRegions();
    sound::closeAllSounds();
    if (tape_)
        tape_->releaseSpeech();
    emit shutdownRequested();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------------------------
// Route entry

void ControlPanel::onKeypadKey(int index)
{
    sound::playSound(options_->resetSound(), ChannelOperating, 0, 0);
    if (index == 10) {
        KeyTarget = -1;
        Label2[0]->clear();
    } else if (index == 11) {
        KeyTarget = 0;
        Label2[2]->clear();
    } else if (index >= 0 && index <= 9) {
        QLabel* target = KeyTarget == -1 ? Label2[0] : Label2[2];
        const int limit = KeyTarget == -1 ? stops::RouteDigits : stops::SectionDigits;
        target->setText(stops::appendDigit(target->text(), index, limit));
    }
}

void ControlPanel::Frame1_DblClick(int index)
{
    PanelMode = static_cast<qint16>(index);
    Frame1[index]->lower();
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int j = 0; j < 2; ++j) {
            if (watched == Frame1[j]) {
                Frame1_DblClick(j);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Scrolling, preview, options and version

void ControlPanel::HScroll1_Change(int index)
{
    Label1[index]->setText(QString::number(HScroll1[index]->value()));
    if (!display_ || !display_->stopNameBoard())
        return;
    display_->stopNameBoard()->setSpeed(static_cast<std::int16_t>(HScroll1[0]->value()));
    display_->stopNameBoard()->setScrollStartWait(HScroll1[1]->value());
}

void ControlPanel::Check4_Click()
{
    if (Check4->isChecked()) {
        setPanelWidth(WideWidthTwips);
        Check4->setText(QStringLiteral("<<"));
        Check4->setToolTip(QStringLiteral("整理券プレビューを隠します"));
    } else {
        setPanelWidth(NarrowWidthTwips);
        Check4->setText(QStringLiteral(">>"));
        Check4->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    }
}

void ControlPanel::MnuHideCopy_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setPixmap(picSeirikenPrev->image());
}

void ControlPanel::setTicketPreviewSize(int widthTwips, int heightTwips)
{
    picSeirikenPrev->setPictureSize(QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips)));
    placeCompanyList();
}

void ControlPanel::placeCompanyList()
{
    const int below = picSeirikenPrev->geometry().bottom() + 8;
    const int lowest = twipsToPixels(HeightTwips) - Combo1->height() - 6;
    const int top = std::min(below, lowest);
    companyCaption_->move(companyCaption_->x(), top);
    Combo1->move(Combo1->x(), top);
}

QComboBox* ControlPanel::companyList()
{
    return Combo1;
}

void ControlPanel::Command4_Click()
{
    // Both windows are disabled while the options are open; a window that is the dialog's own
    // parent stays enabled, or the dialog would be disabled with it (modality holds it anyway).
    std::vector<QWidget*> disabled;
    for (QWidget* window : {display_ ? display_->window() : nullptr, static_cast<QWidget*>(this)}) {
        if (window && !ownsDialog(window, optionsDialog_)) {
            window->setEnabled(false);
            disabled.push_back(window);
        }
    }
    if (optionsDialog_)
        optionsDialog_->exec();
    for (QWidget* window : disabled)
        window->setEnabled(true);
    if (display_ && display_->stopNameBoard()) {
        display_->stopNameBoard()->setStopName(QString());
        const int row = clampRow(route().StopIndex + 1);
        display_->stopNameBoard()->setStopName(fareRow(row).StopName);
    }
}

QString ControlPanel::versionText()
{
    const QStringList version = QStringLiteral(FARE_VERSION).split(QLatin1Char('.'));
    const QString number =
        QStringLiteral("%1.%2.%3")
            .arg(version.value(0, QStringLiteral("0")), version.value(1, QStringLiteral("0")),
                 version.value(2, QStringLiteral("0")));
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("機種：") + executableName() + crlf + QStringLiteral("バージョン：") +
           number + QStringLiteral("  ServiceRelease 1") + crlf + crlf +
           QStringLiteral("配布：ファレット プロジェクト") + crlf +
           QStringLiteral("開発：ファレット 開発チーム") + crlf;
}

void ControlPanel::Command8_Click()
{
    QWidget* displayWindow = display_ ? display_->window() : nullptr;
    if (displayWindow)
        displayWindow->setEnabled(false);
    showVersionDialog(this, 1, platform::toCp932(versionText()));
    if (displayWindow)
        displayWindow->setEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// Backlight

int ControlPanel::selectedBacklight() const
{
    if (Option4[0]->isChecked())
        return 0;
    if (Option4[1]->isChecked())
        return 1;
    return 2;
}

void ControlPanel::applyBacklightPicture(int index)
{
    if (!display_)
        return;
    if (options_->panelIndividual() && options_->panelUser(index)) {
        const QString file = options_->panelPicture(index);
        if (!sound::fileExists(file))
            return;
        const QImage picture = backlight::loadPanelPicture(file);
        const QSize panel = display_->backlightPicture(0).isNull()
                                ? display_->window()->size()
                                : display_->backlightPicture(0).size();
        display_->setCurrentPicture(
            backlight::fitToPanel(picture, panel, palette().color(QPalette::Button)));
        return;
    }
    display_->setCurrentPicture(display_->backlightPicture(index));
}

void ControlPanel::onBacklightSelected(int index)
{
    if (index < 0 || index > 2)
        return;
    const platform::BgrColor color = options_->ticketColor(index);
    try {
        applyBacklightPicture(index);
    } catch (const platform::RuntimeError& error) {
        platform::showMessageBox(backlight::errorMessage(error.number()),
                                 platform::MessageBox::OKOnly | platform::MessageBox::Critical,
                                 QStringLiteral("エラー"), this);
    }
    if (!display_)
        return;
    for (int i = 1; i <= 12; ++i) {
        QLabel* label = display_->ticketLabel(i);
        if (!label)
            continue;
        QPalette colors = label->palette();
        colors.setColor(QPalette::WindowText, platform::toQColor(color));
        label->setPalette(colors);
    }
}

// ---------------------------------------------------------------------------------------------
// Settings record

ControlPanelState ControlPanel::panelState() const
{
    ControlPanelState info;
    info.Left = platform::pixelsToTwips(pos().x());
    info.Top = platform::pixelsToTwips(pos().y());
    info.ScrollSpeed = HScroll1[0]->value();
    info.ScrollInterval = HScroll1[1]->value();
    info.PanelMode = PanelMode;
    info.PreviewShown = Check4->isChecked() ? 1 : 0;
    info.NightFare = Check2->isChecked() ? 1 : 0;
    return info;
}

void ControlPanel::restorePanelState(const ControlPanelState& info)
{
    move(twipsToPixels(info.Left), twipsToPixels(info.Top));
    HScroll1[0]->setValue(info.ScrollSpeed);
    HScroll1[1]->setValue(info.ScrollInterval);
    PanelMode = info.PanelMode == 1 ? 1 : 0;
    Check4->setChecked(info.PreviewShown != 0);
    Check2->setChecked(info.NightFare != 0);
    Frame1_DblClick(PanelMode);
}
