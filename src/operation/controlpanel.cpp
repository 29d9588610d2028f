#include "controlpanel.h"

#include "core/announcements.h"
#include "core/options.h"
#include "dialogs/versiondialog.h"
#include "elements/faredisplay.h"
#include "operation/controlpanelkeys.h"
#include "operation/keypadbutton.h"
#include "operation/panelpicture.h"
#include "operation/stopsequencer.h"
#include "platform/colorconversion.h"
#include "platform/cp932.h"
#include "platform/filelookup.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "platform/twips.h"
#include "platform/version.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "speech/speechsettingsdialog.h"
#include "tickets/ticketplugin.h"
#include "tickets/ticketplugincache.h"
#include "tickets/ticketpreview.h"

#include <QAbstractButton>
#include <QAbstractSlider>
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
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace
{

using platform::twipsToPixels;

constexpr sound::Channel ChannelOperating = sound::Channel::S1;
constexpr auto NoWait = sound::SoundPlayer::Wait::No;

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

// A digit list of the list panel. Once a digit is chosen the operator can change it but not
// take it away: Ctrl+click, Ctrl+Space or a click below the digits would empty the list, and
// the route would lose that digit without a word ("00102" becoming route 12).
// Every click on a digit sounds, the digit already chosen included, and so does a change of
// digit from the keyboard.
class DigitList : public QListWidget
{
public:
    DigitList(QWidget* parent, std::function<void()> sound)
        : QListWidget(parent), sound_(std::move(sound))
    {
        connect(this, &QListWidget::itemClicked, this, [this] { sound_(); });
        connect(this, &QListWidget::itemSelectionChanged, this, [this] {
            if (!pressing_)
                sound_(); // a press's own change sounds with its click
        });
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override
    {
        const QItemSelectionModel::SelectionFlags command =
            QListWidget::selectionCommand(index, event);
        if (!selectionModel()->hasSelection())
            return command;
        if (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect) ||
            command.testFlag(QItemSelectionModel::Toggle))
            return QItemSelectionModel::NoUpdate;
        return command;
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        pressing_ = true;
        QListWidget::mousePressEvent(event);
        pressing_ = false;
    }

private:
    std::function<void()> sound_;
    bool pressing_ = false;
};

QListWidget* digitList(QWidget* parent, const QRect& place, std::function<void()> sound)
{
    auto* list = new DigitList(parent, std::move(sound));
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

// How the focused control takes keys; a control the panel does not know leaves them all to
// the console.
consolekeys::Focus focusKind(const QWidget* focus)
{
    using consolekeys::Focus;
    if (qobject_cast<const KeypadButton*>(focus))
        return Focus::Console;
    if (qobject_cast<const QRadioButton*>(focus))
        return Focus::RadioButton;
    if (qobject_cast<const QAbstractButton*>(focus))
        return Focus::Button;
    if (qobject_cast<const QAbstractSlider*>(focus))
        return Focus::ScrollBar;
    if (qobject_cast<const QListWidget*>(focus))
        return Focus::DigitList;
    if (qobject_cast<const QComboBox*>(focus))
        return Focus::ComboBox;
    return Focus::Console;
}

bool isEnterKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers held =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return held == Qt::NoModifier &&
           (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
}

} // namespace

ControlPanel::ControlPanel(FareDisplay* display, const core::Options& options,
                           DataFolderSource dataFolders, sound::BroadcastTape* tape,
                           core::RouteSession* route, sound::SoundPlayer* sounds,
                           platform::WaitClock& clock, platform::MessageBoxes& boxes,
                           QWidget* parent)
    : QWidget(parent), display_(display), options_(&options), dataFolders_(std::move(dataFolders)),
      tape_(tape), route_(route), sounds_(sounds), clock_(clock), boxes_(boxes),
      ticketPlugins_(std::make_shared<tickets::TicketPluginCache>())
{
    setTicketDrawer(nullptr);
    setVersionBox(nullptr);
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFont(platform::mappedFont(platform::PGothicFace, 9));

    createRoutePanels();
    createStepControls();
    createScrollFrame();
    createTapeGroup();
    createPreviewArea();
    connectTape();
    addKeyHints();

    setUpKeyboard();
    connect(route_, &core::RouteSession::displayClearedChanged, this,
            &ControlPanel::showDisplayCleared);

    setPanelWidth(NarrowWidthTwips);
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::playSound(const QString& file, sound::Channel channel,
                             sound::SoundPlayer::Wait wait)
{
    if (sounds_)
        sounds_->play(file, channel, wait);
}

// ---------------------------------------------------------------------------------------------
// Building the window

void ControlPanel::createRoutePanels()
{
    // Both panels share one place; the keypad panel is in front at creation.
    routeEntryPanels_[int(EntryPanel::Lists)] = createListPanel();
    routeEntryPanels_[int(EntryPanel::Keypad)] = createKeypadPanel();
    for (int j = 0; j < 2; ++j) {
        QFrame* panel = routeEntryPanels_[j];
        panel->setObjectName(QStringLiteral("routeEntryPanel%1").arg(j));
        panel->setGeometry(6, 6, 206, 176);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setAutoFillBackground(true);
        panel->setToolTip(QStringLiteral("ダブルクリックで入力パネルを切り替えます"));
    }
    sendEntryPanelBack(EntryPanel::Lists);
}

QFrame* ControlPanel::createListPanel()
{
    auto* panel = new QFrame(this);
    captionLabel(QStringLiteral("系　統"), panel, QRect(8, 4, 104, 16), Qt::AlignCenter);
    for (int i = 0; i < 5; ++i) {
        routeDigitLists_[i] = digitList(panel, QRect(8 + 21 * i, 22, 20, 116), [this] {
            playSound(options_->resetSound(), ChannelOperating, NoWait);
        });
        routeDigitLists_[i]->setObjectName(QStringLiteral("routeDigitList%1").arg(i));
    }
    captionLabel(QStringLiteral("区間"), panel, QRect(124, 4, 62, 16), Qt::AlignCenter);
    for (int i = 0; i < 3; ++i) {
        sectionDigitLists_[i] = digitList(panel, QRect(124 + 21 * i, 22, 20, 116), [this] {
            playSound(options_->routeSetSound(), ChannelOperating, NoWait);
        });
        sectionDigitLists_[i]->setObjectName(QStringLiteral("sectionDigitList%1").arg(i));
    }
    auto* mark = new QLabel(panel);
    mark->setGeometry(8, 146, 8, 22);
    mark->setAutoFillBackground(true);
    QPalette markColors = mark->palette();
    markColors.setColor(QPalette::Window, QColor(0, 120, 60));
    mark->setPalette(markColors);
    QLabel* routeSetCaption =
        captionLabel(QStringLiteral("系統設定"), panel, QRect(20, 146, 80, 22));
    QFont bold = routeSetCaption->font();
    bold.setBold(true);
    routeSetCaption->setFont(bold);
    listRouteSetButton_ = button(QStringLiteral("リセット"), panel, QRect(124, 144, 74, 26));
    listRouteSetButton_->setObjectName(QStringLiteral("listRouteSetButton"));
    connect(listRouteSetButton_, &QPushButton::clicked, this,
            [this] { setRoute(EntryPanel::Lists); });
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
    routeDisplay_ = keypadDisplay(QString(), panel, QRect(8, 18, 100, 30));
    routeDisplay_->setObjectName(QStringLiteral("routeDisplay"));
    QLabel* separator =
        captionLabel(QStringLiteral("-"), panel, QRect(108, 18, 16, 30), Qt::AlignCenter);
    separator->setObjectName(QStringLiteral("routeSectionSeparator"));
    sectionDisplay_ = keypadDisplay(QString(), panel, QRect(124, 18, 74, 30));
    sectionDisplay_->setObjectName(QStringLiteral("sectionDisplay"));

    // Calculator order: 7 8 9 系統 / 4 5 6 区間 / 1 2 3 0.
    static constexpr int Layout[3][4] = {{7, 8, 9, 10}, {4, 5, 6, 11}, {1, 2, 3, 0}};
    QFont keyFont = font();
    keyFont.setPointSizeF(8);
    keyFont.setBold(true);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int k = Layout[row][column];
            const auto keyName = static_cast<KeypadKey>(k);
            const QString caption = keyName == KeypadKey::Route     ? QStringLiteral("系統")
                                    : keyName == KeypadKey::Section ? QStringLiteral("区間")
                                                                    : QString::number(k);
            auto* key = new KeypadButton(caption, panel);
            key->setObjectName(QStringLiteral("keypadKey%1").arg(k));
            key->setFont(keyFont);
            key->move(8 + 30 * column, 56 + 27 * row);
            connect(key, &QPushButton::clicked, this, [this, keyName] { onKeypadKey(keyName); });
            keypadKeys_[k] = key;
        }
    }
    keypadRouteSetButton_ = button(QStringLiteral("リセット"), panel, QRect(136, 58, 62, 77));
    keypadRouteSetButton_->setObjectName(QStringLiteral("keypadRouteSetButton"));
    connect(keypadRouteSetButton_, &QPushButton::clicked, this,
            [this] { setRoute(EntryPanel::Keypad); });

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

    stepForwardButton_ = button(QStringLiteral("データ送り"), this, QRect(216, 6, 139, 44));
    stepForwardButton_->setObjectName(QStringLiteral("stepForwardButton"));
    stepForwardButton_->setFont(large);
    stepBackButton_ = button(QStringLiteral("データ戻し"), this, QRect(216, 54, 139, 30));
    stepBackButton_->setObjectName(QStringLiteral("stepBackButton"));
    displayClearButton_ = button(QStringLiteral("表示消去"), this, QRect(216, 88, 139, 28));
    displayClearButton_->setObjectName(QStringLiteral("displayClearButton"));
    displayClearButton_->setCheckable(true);
    for (QPushButton* control : {stepBackButton_, stepForwardButton_, displayClearButton_})
        control->setEnabled(false);
    connect(stepForwardButton_, &QPushButton::clicked, this,
            [this] { stepStop(core::StepDirection::Forward); });
    connect(stepBackButton_, &QPushButton::clicked, this,
            [this] { stepStop(core::StepDirection::Back); });
    connect(displayClearButton_, &QPushButton::toggled, this,
            [this](bool on) { setDisplayCleared(on); });

    backlightGroup_ = new QGroupBox(QStringLiteral("バックライト"), this);
    backlightGroup_->setObjectName(QStringLiteral("backlightGroup"));
    backlightGroup_->setGeometry(216, 122, 139, 60);
    static const char* const Captions[3] = {"OFF", "ON1", "ON2"};
    QFont compact = font();
    compact.setPointSizeF(8);
    auto* backlightRow = new QHBoxLayout(backlightGroup_);
    backlightRow->setContentsMargins(2, 2, 0, 2);
    backlightRow->setSpacing(0);
    for (int b = 0; b < 3; ++b) {
        auto* choice = new QRadioButton(QString::fromLatin1(Captions[b]), backlightGroup_);
        choice->setObjectName(QStringLiteral("backlightButton%1").arg(b));
        choice->setFont(compact);
        backlightRow->addWidget(choice);
        backlightButtons_[b] = choice;
    }
    backlightButtons_[0]->setChecked(true);
    for (const core::Backlight state :
         {core::Backlight::Off, core::Backlight::On1, core::Backlight::On2})
        connectBacklightButton(state);
}

void ControlPanel::connectBacklightButton(core::Backlight state)
{
    // A click, an arrow key or an assistive tool's toggle each turn the button on; the
    // reaction runs once for each. A click on the button already on runs it as well.
    QRadioButton* choice = backlightButtons_[static_cast<int>(state)];
    connect(choice, &QRadioButton::pressed, this, [this] { backlightToggledSincePress_ = false; });
    connect(choice, &QRadioButton::toggled, this, [this, state](bool on) {
        if (!on)
            return;
        backlightToggledSincePress_ = true;
        onBacklightSelected(state);
        emit backlightChanged(state);
    });
    connect(choice, &QRadioButton::clicked, this, [this, state] {
        if (!std::exchange(backlightToggledSincePress_, false))
            onBacklightSelected(state);
    });
}

void ControlPanel::createScrollFrame()
{
    scrollFrame_ = new QFrame(this);
    scrollFrame_->setObjectName(QStringLiteral("scrollFrame"));
    scrollFrame_->setGeometry(6, 188, 347, 62);
    scrollFrame_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    nightFareCheck_ = new QCheckBox(QStringLiteral("深夜料金"), scrollFrame_);
    nightFareCheck_->setObjectName(QStringLiteral("nightFareCheck"));
    nightFareCheck_->setGeometry(8, 20, 80, 22);

    scrollSpeedBar_ =
        createScrollRow(0, QStringLiteral("ｽｸﾛｰﾙ速度"), 1, 2000, 100, scrollSpeedLabel_);
    scrollSpeedBar_->setObjectName(QStringLiteral("scrollSpeedBar"));
    scrollSpeedLabel_->setObjectName(QStringLiteral("scrollSpeedLabel"));
    scrollIntervalBar_ =
        createScrollRow(1, QStringLiteral("ｽｸﾛｰﾙ間隔"), 0, 3000, 250, scrollIntervalLabel_);
    scrollIntervalBar_->setObjectName(QStringLiteral("scrollIntervalBar"));
    scrollIntervalLabel_->setObjectName(QStringLiteral("scrollIntervalLabel"));
}

QScrollBar* ControlPanel::createScrollRow(int row, const QString& caption, int minimum, int maximum,
                                          int pageStep, QLabel*& valueLabel)
{
    captionLabel(caption, scrollFrame_, QRect(96, 6 + 28 * row, 64, 20));
    auto* bar = new QScrollBar(Qt::Horizontal, scrollFrame_);
    bar->setGeometry(162, 8 + 28 * row, 136, 17);
    bar->setRange(minimum, maximum);
    bar->setValue(minimum);
    bar->setPageStep(pageStep);
    QLabel* label =
        captionLabel(QString::number(minimum), scrollFrame_, QRect(300, 6 + 28 * row, 40, 20),
                     Qt::AlignRight | Qt::AlignVCenter);
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar, label] { onScrollBarMoved(bar, label); });
    valueLabel = label;
    return bar;
}

void ControlPanel::createTapeGroup()
{
    tapeGroup_ = new QGroupBox(QStringLiteral("音合使用不可"), this);
    tapeGroup_->setObjectName(QStringLiteral("tapeGroup"));
    tapeGroup_->setGeometry(6, 254, 220, 64);
    tapeBackButton_ = button(QStringLiteral("戻し"), tapeGroup_, QRect(8, 20, 50, 24));
    tapeNextButton_ = button(QStringLiteral("送り"), tapeGroup_, QRect(60, 20, 50, 24));
    tapeStopButton_ = button(QStringLiteral("■"), tapeGroup_, QRect(112, 20, 40, 24));
    tapeSettingsButton_ = button(QStringLiteral("調整"), tapeGroup_, QRect(162, 20, 50, 24));
    tapeBackButton_->setObjectName(QStringLiteral("tapeBackButton"));
    tapeNextButton_->setObjectName(QStringLiteral("tapeNextButton"));
    tapeStopButton_->setObjectName(QStringLiteral("tapeStopButton"));
    tapeSettingsButton_->setObjectName(QStringLiteral("tapeSettingsButton"));
    tapeBackButton_->setToolTip(QStringLiteral("放送を一つ戻します"));
    tapeNextButton_->setToolTip(QStringLiteral("次の放送を流します"));
    tapeStopButton_->setToolTip(QStringLiteral("放送を止めます"));
    tapeSettingsButton_->setToolTip(QStringLiteral("音声の調節"));

    // The announcement the tape stands at, so that a ride can be followed without sound.
    tapeTextLabel_ = new QLabel(tapeGroup_);
    tapeTextLabel_->setObjectName(QStringLiteral("tapeTextLabel"));
    tapeTextLabel_->setGeometry(8, 46, 204, 14);
    QFont small = tapeTextLabel_->font();
    small.setPointSizeF(7.5);
    tapeTextLabel_->setFont(small);

    optionsButton_ = button(QStringLiteral("設定..."), this, QRect(232, 258, 58, 22));
    optionsButton_->setObjectName(QStringLiteral("optionsButton"));
    versionButton_ = button(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this, QRect(294, 258, 59, 22));
    versionButton_->setObjectName(QStringLiteral("versionButton"));
    previewToggle_ = button(QStringLiteral(">>"), this, QRect(294, 282, 59, 22));
    previewToggle_->setObjectName(QStringLiteral("previewToggle"));
    previewToggle_->setCheckable(true);
    previewToggle_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    connect(optionsButton_, &QPushButton::clicked, this, &ControlPanel::onOptionsClicked);
    connect(versionButton_, &QPushButton::clicked, this, &ControlPanel::onVersionClicked);
    connect(previewToggle_, &QPushButton::toggled, this, &ControlPanel::onPreviewToggled);
}

void ControlPanel::createPreviewArea()
{
    const int left = twipsToPixels(5415);
    captionLabel(QStringLiteral("整理券プレビュー"), this, QRect(left, 6, 220, 18));
    ticketPreview_ = new TicketPreview(this);
    ticketPreview_->setObjectName(QStringLiteral("ticketPreview"));
    ticketPreview_->move(left, twipsToPixels(390));
    ticketPreview_->setPictureSize(QSize(twipsToPixels(3300), twipsToPixels(1395)));
    ticketPreview_->setToolTip(QStringLiteral("右クリックでコピーできます"));

    companyCaption_ = captionLabel(QStringLiteral("社名"), this, QRect(left, 130, 30, 22));
    companyList_ = new QComboBox(this);
    companyList_->setObjectName(QStringLiteral("companyList"));
    companyList_->setGeometry(left + 32, 130, 188, 22);
    companyList_->setToolTip(QStringLiteral("整理券に印字する社名"));
    keepCompanyUnchosen();
    placeCompanyList();

    previewMenu_ = new QMenu(this);
    previewMenu_->setObjectName(QStringLiteral("previewMenu"));
    copyPreviewAction_ = previewMenu_->addAction(QStringLiteral("コピー(&C)"));
    copyPreviewAction_->setObjectName(QStringLiteral("copyPreviewAction"));
    connect(copyPreviewAction_, &QAction::triggered, this, &ControlPanel::onCopyPreviewTriggered);
    connect(ticketPreview_, &TicketPreview::rightButtonPressed, this,
            [this](const QPoint& at) { previewMenu_->popup(at); });
}

void ControlPanel::connectTape()
{
    updateTapeGroup();
    if (!tape_)
        return;
    connect(tape_, &sound::BroadcastTape::speechAvailableChanged, this,
            &ControlPanel::updateTapeGroup);
    const core::Announcements& announcements = tape_->announcements();
    connect(&announcements, &core::Announcements::entriesChanged, this, [this] {
        updateTapeGroup();
        showTapeEntry();
    });
    // Which broadcast file was read, or missed: the tape itself stays silent about it.
    tapeGroup_->setToolTip(announcements.fileNote());
    connect(&announcements, &core::Announcements::fileNoteChanged, tapeGroup_,
            &QWidget::setToolTip);
    // The tape's step flag: 0 steps back, any other value forward.
    connect(tape_, &sound::BroadcastTape::dataStepRequested, this, [this](int direction) {
        stepStop(direction == 0 ? core::StepDirection::Back : core::StepDirection::Forward);
    });
    connect(tapeNextButton_, &QPushButton::clicked, this, [this] {
        tape_->pressNext();
        showTapeEntry();
    });
    connect(tapeBackButton_, &QPushButton::clicked, this, [this] {
        tape_->pressBack();
        showTapeEntry();
    });
    connect(tapeStopButton_, &QPushButton::clicked, tape_, &sound::BroadcastTape::stopSpeech);
    connect(tapeSettingsButton_, &QPushButton::clicked, this,
            &ControlPanel::onSpeechSettingsClicked);
}

ControlPanel::TapeGroupState ControlPanel::tapeGroupState(bool speechAvailable, TapeLoad load,
                                                          bool displayCleared)
{
    TapeGroupState state;
    state.caption = speechAvailable ? QStringLiteral("音合使用可") : QStringLiteral("音合使用不可");
    state.enabled = speechAvailable && !displayCleared && load != TapeLoad::Failed;
    state.playButtonsEnabled = load == TapeLoad::Loaded;
    return state;
}

namespace
{

ControlPanel::TapeLoad tapeLoad(const core::Announcements& announcements)
{
    switch (announcements.loadState()) {
    case core::Announcements::LoadState::Loaded:
        return ControlPanel::TapeLoad::Loaded;
    case core::Announcements::LoadState::Failed:
        return ControlPanel::TapeLoad::Failed;
    case core::Announcements::LoadState::None:
        break;
    }
    return ControlPanel::TapeLoad::None;
}

} // namespace

void ControlPanel::updateTapeGroup()
{
    const TapeGroupState state =
        tape_ ? tapeGroupState(tape_->isSpeechAvailable(), tapeLoad(tape_->announcements()),
                               route_->displayCleared())
              : tapeGroupState(false, TapeLoad::None, route_->displayCleared());
    tapeGroup_->setTitle(state.caption);
    tapeGroup_->setEnabled(state.enabled);
    for (QPushButton* control : {tapeBackButton_, tapeNextButton_, tapeStopButton_})
        control->setEnabled(state.playButtonsEnabled);
}

void ControlPanel::showTapeEntry()
{
    const core::Announcements* announcements = tape_ ? &tape_->announcements() : nullptr;
    if (announcements && announcements->loadState() == core::Announcements::LoadState::Failed) {
        // The file and the reason on one line; the middle goes when it is too long, so that
        // the reason at the end stays in sight.
        const QString note = announcements->fileNote();
        tapeTextLabel_->setText(tapeTextLabel_->fontMetrics().elidedText(
            note.simplified(), Qt::ElideMiddle, tapeTextLabel_->width()));
        tapeTextLabel_->setToolTip(note);
        return;
    }
    const QString text =
        announcements ? announcements->shownText(announcements->position()) : QString();
    tapeTextLabel_->setText(
        tapeTextLabel_->fontMetrics().elidedText(text, Qt::ElideRight, tapeTextLabel_->width()));
    tapeTextLabel_->setToolTip(text);
}

void ControlPanel::keepCompanyUnchosen()
{
    connect(companyList_->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                // Names added to an empty list: nobody has chosen one yet.
                if (first == 0 && last + 1 == companyList_->count())
                    companyList_->setCurrentIndex(-1);
            });
}

void ControlPanel::addKeyHints()
{
    using consolekeys::Action;
    using consolekeys::withKeyHint;
    for (int digit = 0; digit <= 9; ++digit)
        keypadKeys_[digit]->setToolTip(withKeyHint(QString(), {Action::Digit, digit}));
    const QString clearHint =
        QStringLiteral("、消去：") + consolekeys::keyNames({Action::ClearTarget});
    keypadKey(KeypadKey::Route)
        ->setToolTip(withKeyHint(QString(), {Action::ChooseRoute}) + clearHint);
    keypadKey(KeypadKey::Section)
        ->setToolTip(withKeyHint(QString(), {Action::ChooseSection}) + clearHint);
    for (QPushButton* routeSet : {listRouteSetButton_, keypadRouteSetButton_})
        routeSet->setToolTip(withKeyHint(QString(), {Action::SetRoute}));
    stepForwardButton_->setToolTip(withKeyHint(QString(), {Action::StepForward}));
    stepBackButton_->setToolTip(withKeyHint(QString(), {Action::StepBack}));
    tapeNextButton_->setToolTip(withKeyHint(tapeNextButton_->toolTip(), {Action::TapeNext}));
    tapeBackButton_->setToolTip(withKeyHint(tapeBackButton_->toolTip(), {Action::TapeBack}));
    tapeStopButton_->setToolTip(withKeyHint(tapeStopButton_->toolTip(), {Action::TapeStop}));
}

void ControlPanel::setUpKeyboard()
{
    // Controls are reached with Tab and not taken by a click, so that after a click the
    // console keys still work. The digit lists take a click: their arrows choose a digit.
    for (QAbstractButton* control : findChildren<QAbstractButton*>())
        control->setFocusPolicy(Qt::TabFocus);
    scrollSpeedBar_->setFocusPolicy(Qt::TabFocus);
    scrollIntervalBar_->setFocusPolicy(Qt::TabFocus);
    updateCompanyListFocus();
    connect(previewToggle_, &QPushButton::toggled, this, &ControlPanel::updateCompanyListFocus);

    // The panel's own order: route entry, stepping, display, scrolling, tape, the rest.
    std::vector<QWidget*> order;
    for (int k : {7, 8, 9, 10, 4, 5, 6, 11, 1, 2, 3, 0})
        order.push_back(keypadKeys_[k]);
    order.push_back(keypadRouteSetButton_);
    order.insert(order.end(), routeDigitLists_.begin(), routeDigitLists_.end());
    order.insert(order.end(), sectionDigitLists_.begin(), sectionDigitLists_.end());
    order.insert(order.end(),
                 {listRouteSetButton_, stepForwardButton_, stepBackButton_, displayClearButton_});
    order.insert(order.end(), backlightButtons_.begin(), backlightButtons_.end());
    order.insert(order.end(),
                 {nightFareCheck_, scrollSpeedBar_, scrollIntervalBar_, tapeBackButton_,
                  tapeNextButton_, tapeStopButton_, tapeSettingsButton_, optionsButton_,
                  versionButton_, previewToggle_, companyList_});
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The preview's copy from the keyboard too.
    copyPreviewAction_->setShortcut(QKeySequence::Copy);
    copyPreviewAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(copyPreviewAction_);
    ticketPreview_->setToolTip(ticketPreview_->toolTip() + QStringLiteral("（キー：") +
                               copyPreviewAction_->shortcut().toString(QKeySequence::NativeText) +
                               QStringLiteral("）"));

    // Console keys reach the panel first, whichever of its controls has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        if (!child->isWindow())
            child->installEventFilter(this);
}

void ControlPanel::updateCompanyListFocus()
{
    // Off the narrow window the company list is out of sight, and out of the Tab order.
    companyList_->setFocusPolicy(previewToggle_->isChecked() ? Qt::TabFocus : Qt::NoFocus);
}

void ControlPanel::setTicketDrawer(TicketDrawer drawer)
{
    if (drawer) {
        ticketDrawer_ = std::move(drawer);
        return;
    }
    ticketDrawer_ = [this](auto&&... arguments) {
        drawPluginTicket(*ticketPlugins_, std::forward<decltype(arguments)>(arguments)...);
    };
}

void ControlPanel::setVersionBox(VersionBox box)
{
    if (box) {
        versionBox_ = std::move(box);
        return;
    }
    versionBox_ = [](QWidget* owner, int, const QString& text) { showVersionDialog(owner, text); };
}

void ControlPanel::setTicketPlugins(std::shared_ptr<tickets::TicketPluginCache> plugins)
{
    if (plugins)
        ticketPlugins_ = std::move(plugins);
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
        keypadRegions_[i] = face;
        keypadKeys_[i]->setMask(keypadRegions_[i]);
    }
    if (tape_)
        tape_->initSpeech();
}

void ControlPanel::releaseKeypadRegions()
{
    for (int i = 0; i < 12; ++i) {
        keypadKeys_[i]->clearMask();
        keypadRegions_[i] = QRegion();
    }
}

void ControlPanel::closeEvent(QCloseEvent* event)
{
    const int answer = boxes_.show(QStringLiteral("ファレットを終了しますか？"),
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
    if (shutDown_)
        return;
    shutDown_ = true;
    // The user's settings first: whatever the clean-up meets, they are on disk by then.
    emit shutdownRequested();
    if (display_)
        display_->setStopName(QString());
    if (display_ && display_->window())
        display_->window()->clearMask();
    releaseKeypadRegions();
    if (sounds_)
        sounds_->closeAll();
    if (tape_)
        tape_->releaseSpeech();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------------------------
// Route entry

void ControlPanel::onKeypadKey(KeypadKey key)
{
    playSound(options_->resetSound(), ChannelOperating, NoWait);
    if (key == KeypadKey::Route) {
        keypadTarget_ = KeypadTarget::Route;
        routeDisplay_->clear();
    } else if (key == KeypadKey::Section) {
        keypadTarget_ = KeypadTarget::Section;
        sectionDisplay_->clear();
    } else {
        const bool toRoute = keypadTarget_ == KeypadTarget::Route;
        QLabel* target = toRoute ? routeDisplay_ : sectionDisplay_;
        const int limit = toRoute ? stops::RouteDigits : stops::SectionDigits;
        target->setText(stops::appendDigit(target->text(), int(key), limit));
    }
}

void ControlPanel::sendEntryPanelBack(EntryPanel panel)
{
    const EntryPanel other = panel == EntryPanel::Lists ? EntryPanel::Keypad : EntryPanel::Lists;
    entryPanelInBack_ = panel;
    entryPanel(panel)->lower();
    // The panel behind is covered all over; hidden as well, its controls cannot take the
    // keyboard focus.
    entryPanel(other)->show();
    entryPanel(panel)->hide();
}

bool ControlPanel::isPanelSurfaceDoubleClick(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto* panel = qobject_cast<const QFrame*>(watched);
    if (!panel || (panel != routeEntryPanels_[0] && panel != routeEntryPanels_[1]))
        return false;
    // A double-click on a label or a list inside reaches the panel too, once the control
    // has let it pass.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    return panel->childAt(at) == nullptr;
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (isPanelSurfaceDoubleClick(watched, event)) {
        sendEntryPanelBack(watched == entryPanel(EntryPanel::Lists) ? EntryPanel::Lists
                                                                    : EntryPanel::Keypad);
        return true;
    }
    // A key comes to the focused control first; what it passes on reaches keyPressEvent.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched != this &&
        watched == focusWidget())
        return handleFocusedControlKey(static_cast<QWidget*>(watched),
                                       static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

// The panel itself, a key a control passed on, or a key typed on the fare display.
void ControlPanel::keyPressEvent(QKeyEvent* event)
{
    if (!handleConsoleKey(event))
        QWidget::keyPressEvent(event);
}

bool ControlPanel::handleFocusedControlKey(QWidget* focus, QKeyEvent* event)
{
    if (!consolekeys::focusTakesKey(focusKind(focus), event->key()))
        return handleConsoleKey(event);
    // Space presses a button the usual way; Enter does here what it does in a dialog.
    if (!isEnterKey(event))
        return false;
    event->accept();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        combo->showPopup();
    else if (auto* button = qobject_cast<QAbstractButton*>(focus); button && !event->isAutoRepeat())
        button->click();
    return true;
}

bool ControlPanel::handleConsoleKey(QKeyEvent* event)
{
    const consolekeys::KeyCommand command =
        consolekeys::commandForKey(event->key(), event->modifiers());
    if (command.action == consolekeys::Action::None)
        return false;
    // A held key acts once: a repeated Enter would set the route again after the lamp test.
    if (!event->isAutoRepeat())
        runConsoleKey(command);
    event->accept();
    return true;
}

void ControlPanel::runConsoleKey(const consolekeys::KeyCommand& command)
{
    // Each key clicks its button, so it plays the same sound and does nothing while display
    // clear has the button disabled.
    using consolekeys::Action;
    switch (command.action) {
    case Action::Digit:
        if (bringKeypadForward())
            keypadKeys_[command.digit]->click();
        break;
    case Action::ChooseRoute:
        if (bringKeypadForward())
            keypadKey(KeypadKey::Route)->click();
        break;
    case Action::ChooseSection:
        if (bringKeypadForward())
            keypadKey(KeypadKey::Section)->click();
        break;
    case Action::ClearTarget:
        // The target's own key empties its display and keeps the target.
        if (bringKeypadForward())
            keypadKey(keypadTarget_ == KeypadTarget::Route ? KeypadKey::Route : KeypadKey::Section)
                ->click();
        break;
    case Action::SetRoute:
        (entryPanelInBack_ == EntryPanel::Keypad ? listRouteSetButton_ : keypadRouteSetButton_)
            ->click();
        break;
    case Action::StepForward:
        stepForwardButton_->click();
        break;
    case Action::StepBack:
        stepBackButton_->click();
        break;
    case Action::TapeNext:
        tapeNextButton_->click();
        break;
    case Action::TapeBack:
        tapeBackButton_->click();
        break;
    case Action::TapeStop:
        tapeStopButton_->click();
        break;
    case Action::None:
        break;
    }
}

bool ControlPanel::bringKeypadForward()
{
    if (!entryPanel(EntryPanel::Keypad)->isEnabled())
        return false;
    if (entryPanelInBack_ == EntryPanel::Keypad)
        sendEntryPanelBack(EntryPanel::Lists);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Scrolling, preview, options and version

// Moving either bar sends both values, so the board always has the pair the bars show.
void ControlPanel::onScrollBarMoved(QScrollBar* bar, QLabel* valueLabel)
{
    valueLabel->setText(QString::number(bar->value()));
    if (!display_)
        return;
    display_->setScrolling(static_cast<std::int16_t>(scrollSpeedBar_->value()),
                           scrollIntervalBar_->value());
}

void ControlPanel::onPreviewToggled()
{
    if (previewToggle_->isChecked()) {
        setPanelWidth(WideWidthTwips);
        // The frame decides whether the wide window fits; the shift keeps client places, like
        // everything that places this window.
        if (const QScreen* onScreen = screen()) {
            const QPoint toClient = frameToClient();
            placeClientAt(previewShift_.widen(frameGeometry().translated(toClient),
                                              onScreen->availableGeometry().translated(toClient)));
        }
        previewToggle_->setText(QStringLiteral("<<"));
        previewToggle_->setToolTip(QStringLiteral("整理券プレビューを隠します"));
    } else {
        setPanelWidth(NarrowWidthTwips);
        placeClientAt(previewShift_.narrow(geometry().topLeft()));
        previewToggle_->setText(QStringLiteral(">>"));
        previewToggle_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    }
}

// A window manager's frame is known only some time after the window is shown; a place given
// with the frame before then ends up off by the frame. The panel is placed by its client area,
// which the window manager leaves where it is asked to be.
QPoint ControlPanel::frameToClient() const
{
    return geometry().topLeft() - pos();
}

void ControlPanel::placeClientAt(const QPoint& topLeft)
{
    if (topLeft != geometry().topLeft())
        setGeometry(QRect(topLeft, size()));
}

void ControlPanel::onCopyPreviewTriggered()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setPixmap(ticketPreview_->image());
}

void ControlPanel::setTicketPreviewSize(int widthTwips, int heightTwips)
{
    ticketPreview_->setPictureSize(QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips)));
    placeCompanyList();
}

void ControlPanel::placeCompanyList()
{
    const int below = ticketPreview_->geometry().bottom() + 8;
    const int lowest = twipsToPixels(HeightTwips) - companyList_->height() - 6;
    const int top = std::min(below, lowest);
    companyCaption_->move(companyCaption_->x(), top);
    companyList_->move(companyList_->x(), top);
}

void ControlPanel::setCompanyNames(const QStringList& names)
{
    companyList_->clear();
    companyList_->addItems(names);
}

QComboBox* ControlPanel::companyList()
{
    return companyList_;
}

void ControlPanel::onOptionsClicked()
{
    // Both windows are disabled while the options are open; a window that is the dialog's own
    // parent stays enabled, or the dialog would be disabled with it (modality holds it anyway).
    QDialog* dialog = optionsDialog_ ? optionsDialog_() : nullptr;
    std::vector<QWidget*> disabled;
    for (QWidget* window : {display_ ? display_->window() : nullptr, static_cast<QWidget*>(this)}) {
        if (window && !ownsDialog(window, dialog)) {
            window->setEnabled(false);
            disabled.push_back(window);
        }
    }
    if (dialog)
        dialog->exec();
    for (QWidget* window : disabled)
        window->setEnabled(true);
    // Ended while the options were open: the board was cleared for good.
    if (shutDown_)
        return;
    // The current stop's name again, so that changed board settings show. A cleared display
    // stays blank, and the first stop keeps going without "次は".
    if (display_ && !displayClearButton_->isChecked()) {
        display_->setStopName(QString());
        showStopName(route_->currentRow());
    }
}

QString ControlPanel::versionText(const QString& settingsPath)
{
    const QStringList version = QString::fromLatin1(platform::Version).split(QLatin1Char('.'));
    const QString number =
        QStringLiteral("%1.%2.%3")
            .arg(version.value(0, QStringLiteral("0")), version.value(1, QStringLiteral("0")),
                 version.value(2, QStringLiteral("0")));
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("機種：") + executableName() + crlf + QStringLiteral("バージョン：") +
           number + QStringLiteral("  ServiceRelease 1") + crlf + crlf +
           QStringLiteral("配布：ファレット プロジェクト") + crlf +
           QStringLiteral("開発：ファレット 開発チーム") + crlf +
           (settingsPath.isEmpty() ? QString()
                                   : QStringLiteral("設定ファイル：") + settingsPath + crlf);
}

void ControlPanel::onSpeechSettingsClicked()
{
    if (!tape_)
        return;
    // The dialog reaches the voice only through the tape, whose calls are safe once the exit
    // has released the engine: a termination signal may end the program while it is open.
    sound::BroadcastTape* tape = tape_;
    speech::SpeechSettingsDialog dialog(
        this, QStringLiteral("音声の調節"), tape->speechSettings(), tape->voiceName(),
        [tape](const speech::SpeechSettings& trial) { tape->speakSample(trial); });
    if (dialog.exec() == QDialog::Accepted)
        tape->setSpeechSettings(dialog.settings());
    // A sample heard in the dialog ends with it; an announcement that was playing goes on.
    tape->stopSample();
}

void ControlPanel::onVersionClicked()
{
    QWidget* displayWindow = display_ ? display_->window() : nullptr;
    if (displayWindow)
        displayWindow->setEnabled(false);
    versionBox_(this, 1, versionText(settingsPath_));
    if (displayWindow)
        displayWindow->setEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// Backlight

core::Backlight ControlPanel::selectedBacklight() const
{
    if (backlightButtons_[0]->isChecked())
        return core::Backlight::Off;
    if (backlightButtons_[1]->isChecked())
        return core::Backlight::On1;
    return core::Backlight::On2;
}

void ControlPanel::applyBacklightPicture(core::Backlight state)
{
    if (!display_)
        return;
    if (options_->panelIndividual() && options_->panelUser(state)) {
        const QString file = options_->panelPicture(state);
        if (!platform::fileExists(file))
            return;
        const QImage picture = backlight::loadPanelPicture(file);
        const QSize panel = display_->builtInPanel(0).isNull() ? display_->window()->size()
                                                               : display_->builtInPanel(0).size();
        display_->showPanelPicture(
            backlight::fitToPanel(picture, panel, palette().color(QPalette::Button)));
        return;
    }
    display_->showPanelPicture(display_->builtInPanel(static_cast<int>(state)));
}

void ControlPanel::onBacklightSelected(core::Backlight state)
{
    const platform::BgrColor color = options_->ticketColor(state);
    try {
        applyBacklightPicture(state);
    } catch (const platform::RuntimeError& error) {
        boxes_.show(backlight::errorMessage(error.number()),
                    platform::MessageBox::OKOnly | platform::MessageBox::Critical,
                    QStringLiteral("エラー"), this);
    }
    if (!display_)
        return;
    display_->setTicketLabelColor(platform::toQColor(color));
}

QAbstractButton* ControlPanel::consoleButton(Button which) const
{
    switch (which) {
    case Button::KeypadRouteSet:
        return keypadRouteSetButton_;
    case Button::StepForward:
        return stepForwardButton_;
    case Button::StepBack:
        return stepBackButton_;
    case Button::DisplayClear:
        return displayClearButton_;
    case Button::NightFare:
        return nightFareCheck_;
    case Button::BacklightOff:
    case Button::BacklightOn1:
    case Button::BacklightOn2:
        return backlightButtons_[int(which) - int(Button::BacklightOff)];
    case Button::TapeNext:
        return tapeNextButton_;
    case Button::TapeBack:
        return tapeBackButton_;
    case Button::TapeStop:
        return tapeStopButton_;
    }
    return nullptr;
}

QString ControlPanel::buttonCaption(Button which)
{
    switch (which) {
    case Button::KeypadRouteSet:
        return QStringLiteral("リセット");
    case Button::StepForward:
        return QStringLiteral("データ送り");
    case Button::StepBack:
        return QStringLiteral("データ戻し");
    case Button::DisplayClear:
        return QStringLiteral("表示消去");
    case Button::NightFare:
        return QStringLiteral("深夜料金");
    case Button::BacklightOff:
    case Button::BacklightOn1:
    case Button::BacklightOn2:
        return QStringLiteral("バックライト");
    case Button::TapeNext:
        return QStringLiteral("放送の送り");
    case Button::TapeBack:
        return QStringLiteral("放送の戻し");
    case Button::TapeStop:
        return QStringLiteral("放送の■");
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Settings record

ControlPanelState ControlPanel::panelState() const
{
    ControlPanelState info;
    // The client area's place, the kind restorePanelState sets.
    const QPoint place = previewShift_.operatorPlace(geometry().topLeft());
    info.Left = platform::pixelsToTwips(place.x());
    info.Top = platform::pixelsToTwips(place.y());
    info.ScrollSpeed = scrollSpeedBar_->value();
    info.ScrollInterval = scrollIntervalBar_->value();
    info.PanelMode = entryPanelInBack_ == EntryPanel::Keypad ? 1 : 0;
    info.PreviewShown = previewToggle_->isChecked() ? 1 : 0;
    info.NightFare = nightFareCheck_->isChecked() ? 1 : 0;
    return info;
}

void ControlPanel::restorePanelState(const ControlPanelState& info)
{
    placeClientAt(QPoint(twipsToPixels(info.Left), twipsToPixels(info.Top)));
    scrollSpeedBar_->setValue(info.ScrollSpeed);
    scrollIntervalBar_->setValue(info.ScrollInterval);
    entryPanelInBack_ = info.PanelMode == 1 ? EntryPanel::Keypad : EntryPanel::Lists;
    previewToggle_->setChecked(info.PreviewShown != 0);
    nightFareCheck_->setChecked(info.NightFare != 0);
    sendEntryPanelBack(entryPanelInBack_);
}
