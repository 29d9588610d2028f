// The options dialog's frame: the page buttons, "OK" and applying the display options. The
// pages live in optionsdialog_<page>.cpp.
#include "options/optionsdialog.h"

#include "elements/faredisplay.h"
#include "options/displaylookoptions.h"
#include "options/optionbinding.h"
#include "options/optionwidgets.h"
#include "options/pagecontrols.h"
#include "platform/fontmap.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace pagecontrols;

namespace
{

constexpr int ClientWidthTwips = 9570;
constexpr int ClientHeightTwips = 5610;
const QRect PageRect(124, 2, 508, 336);

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent)
    : OptionsDialog(nullptr, nullptr, nullptr, platform::dialogMessageBoxes(), nullptr, parent)
{
}

OptionsDialog::OptionsDialog(Pickers& pickers, platform::MessageBoxes& boxes, QWidget* parent)
    : OptionsDialog(nullptr, nullptr, nullptr, boxes, &pickers, parent)
{
}

OptionsDialog::OptionsDialog(core::Options& options, QWidget* parent)
    : OptionsDialog(&options, nullptr, nullptr, platform::dialogMessageBoxes(), nullptr, parent)
{
}

OptionsDialog::OptionsDialog(core::Options& options, tickets::PluginChoice& plugin,
                             CustomColorTable& customColors, platform::MessageBoxes& boxes,
                             Pickers* pickers, QWidget* parent)
    : OptionsDialog(&options, &plugin, &customColors, boxes, pickers, parent)
{
}

OptionsDialog::OptionsDialog(core::Options* options, tickets::PluginChoice* plugin,
                             CustomColorTable* customColors, platform::MessageBoxes& boxes,
                             Pickers* pickers, QWidget* parent)
    : QDialog(parent), ownOptions_(options ? nullptr : std::make_unique<core::Options>()),
      options_(options ? options : ownOptions_.get()),
      ownPlugin_(plugin ? nullptr
                        : std::make_unique<tickets::PluginChoice>(
                              std::make_shared<tickets::TicketPluginCache>())),
      plugin_(plugin ? plugin : ownPlugin_.get()),
      ownCustomColors_(customColors ? nullptr : std::make_unique<CustomColorTable>()),
      customColors_(customColors ? customColors : ownCustomColors_.get()),
      ownPickers_(pickers ? nullptr : std::make_unique<QtPickers>()),
      pickers_(pickers ? pickers : ownPickers_.get()), boxes_(boxes)
{
    setWindowTitle(QStringLiteral("オプション"));
    setFont(platform::mappedFont(platform::PGothicFace, 9));
    setFixedSize(platform::twipsToPixels(ClientWidthTwips),
                 platform::twipsToPixels(ClientHeightTwips));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    buildPageButtons();
    const std::array<QString, 6> titles = {
        QStringLiteral("運賃データと放送用データ"),
        QStringLiteral("パネルと整理券番号表示"),
        QStringLiteral("デジタル部品と情報用数字"),
        QStringLiteral("停名の設定"),
        QStringLiteral("サウンド（鳴らさなくてもいい項目にはファイル名を入れないで下さい）"),
        QStringLiteral("整理券プレビュー")};
    for (int i = 0; i < 6; ++i) {
        pages_[i] = place(new QGroupBox(titles[i], this), PageRect.x(), PageRect.y(),
                          PageRect.width(), PageRect.height());
        pages_[i]->setObjectName(QStringLiteral("page%1").arg(i));
    }
    buildFoldersPage(pages_[0]);
    buildPanelPage(pages_[1]);
    buildDigitsPage(pages_[2]);
    buildStopNamePage(pages_[3]);
    buildSoundsPage(pages_[4]);
    buildTicketPage(pages_[5]);

    okButton_ = button(this, QStringLiteral("OK"), 540, 343, 92, 26);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QAbstractButton::clicked, this, [this] { onOkClicked(); });

    exclusive(this, {pageButtons_[0], pageButtons_[1], pageButtons_[2], pageButtons_[3],
                     pageButtons_[4], pageButtons_[5]});
    for (int i = 0; i < 6; ++i)
        connect(pageButtons_[i], &QAbstractButton::toggled, this, [this, i](bool on) {
            if (on)
                showPage(i);
        });
    pageButtons_[0]->setChecked(true);

    [[maybe_unused]] const bool bound = bindOptionControls(this, *options_);
    Q_ASSERT(bound);
    showChosenPlugin();
    connect(plugin_, &tickets::PluginChoice::shownChanged, this, &OptionsDialog::showChosenPlugin);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::buildPageButtons()
{
    const std::array<QString, 6> captions = {QStringLiteral("運賃データと　放送用データ"),
                                             QStringLiteral("パネルと整理券番号表示"),
                                             QStringLiteral("デジタル部品と情報用数字"),
                                             QStringLiteral("停名の設定"),
                                             QStringLiteral("サウンド"),
                                             QStringLiteral("　　整理券　　　プレビュー")};
    const std::array<PageIcon, 6> icons = {PageIcon::Data,     PageIcon::Panel, PageIcon::Digits,
                                           PageIcon::StopName, PageIcon::Sound, PageIcon::Ticket};
    for (int i = 0; i < 6; ++i) {
        pageButtons_[i] =
            place(new PageButton(icons[i], captions[i], this), 6, 8 + i * 56, 112, 52);
        pageButtons_[i]->setObjectName(QStringLiteral("pageButton%1").arg(i));
    }
}

void OptionsDialog::showPage(int index)
{
    for (int i = 0; i < 6; ++i)
        pages_[i]->setVisible(i == index);
}

void OptionsDialog::onOkClicked()
{
    applyDisplayOptions();
    accept();
}

void OptionsDialog::pickButtonColor(ColorButton* button)
{
    platform::BgrColor color = button->backColor();
    if (pickers_->pickColor(this, color, *customColors_) != 0)
        button->setBackColor(color);
}

void OptionsDialog::applyStartupDefaults()
{
    options_->applyStartupDefaults();
}

// ---- Applying to the display ----

void OptionsDialog::applyDisplayOptions()
{
    if (display_)
        applyDisplayLook(*display_, *options_, backlight_, boxes_);
    emit backlightLookChanged();
}
