// Construction of the options dialog's pages: controls, captions, lists and initial state.
#include "elements/digitelement.h"
#include "options/optionsdialog.h"
#include "options/optiontexts.h"
#include "options/optionwidgets.h"
#include "platform/fontmap.h"
#include "platform/twips.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace
{

constexpr int ClientWidthTwips = 9570;
constexpr int ClientHeightTwips = 5610;
const QRect PageRect(124, 2, 508, 336);

template <class W> W* place(W* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* l = place(new QLabel(text, parent), x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLabel* note(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* l = place(new QLabel(text, parent), x, y, w, h);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int w, int h)
{
    return place(new QGroupBox(title, parent), x, y, w, h);
}

QPushButton* button(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* b = place(new QPushButton(text, parent), x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

ColorButton* colorButton(QWidget* parent, int x, int y)
{
    auto* b = place(new ColorButton(parent), x, y, 44, 22);
    b->setAutoDefault(false);
    return b;
}

QRadioButton* radio(QWidget* parent, const QString& text, int x, int y, int w, int h = 20)
{
    return place(new QRadioButton(text, parent), x, y, w, h);
}

QRadioButton* wrapRadio(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    return place(new WrapRadioButton(text, parent), x, y, w, h);
}

GreyableCheckBox* check(QWidget* parent, const QString& text, int x, int y, int w, int h = 20)
{
    return place(new GreyableCheckBox(text, parent), x, y, w, h);
}

QLineEdit* textBox(QWidget* parent, int x, int y, int w)
{
    return place(new QLineEdit(parent), x, y, w, 21);
}

QComboBox* comboBox(QWidget* parent, const QStringList& items, int x, int y, int w)
{
    auto* c = place(new QComboBox(parent), x, y, w, 22);
    c->addItems(items);
    c->setMaxVisibleItems(12);
    return c;
}

// Option buttons that exclude each other. Qt's automatic exclusion would also reach buttons
// in nested groups, so every group is made explicit.
void exclusive(QWidget* owner, std::initializer_list<QAbstractButton*> buttons)
{
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QAbstractButton* button : buttons)
        group->addButton(button);
}

// Where a check box's or option button's caption starts.
int captionIndent(QAbstractButton* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    return box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
           box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box);
}

// Puts a list over the n-th run of blanks (half- or full-width) of a caption, where the
// caption leaves room for it.
void placeInBlank(QWidget* host, const QString& text, int indent, QComboBox* list, int run)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
    qsizetype start = 0;
    qsizetype end = 0;
    for (int found = -1; found < run; ++found) {
        start = end;
        while (start < text.size() && !isBlank(text[start]))
            ++start;
        end = start;
        while (end < text.size() && isBlank(text[end]))
            ++end;
        if (start >= text.size())
            return;
    }
    const QFontMetrics metrics(host->font());
    const int left = indent + metrics.horizontalAdvance(text.left(start));
    const int width = metrics.horizontalAdvance(text.mid(start, end - start));
    const int listWidth = std::clamp(width - 6, 46, 80);
    list->setGeometry(host->x() + left + (width - listWidth) / 2,
                      host->y() + (host->height() - 22) / 2, listWidth, 22);
    list->raise();
}

void placeInBlank(QAbstractButton* box, QComboBox* list, int run)
{
    placeInBlank(box, box->text(), captionIndent(box), list, run);
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent)
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
    for (int i = 0; i < 6; ++i)
        Frame1[i] = place(new QGroupBox(titles[i], this), PageRect.x(), PageRect.y(),
                          PageRect.width(), PageRect.height());
    buildDataPage(Frame1[0]);
    buildPanelPage(Frame1[1]);
    buildDigitsPage(Frame1[2]);
    buildStopNamePage(Frame1[3]);
    buildSoundPage(Frame1[4]);
    buildTicketPage(Frame1[5]);

    Command4 = button(this, QStringLiteral("OK"), 540, 343, 92, 26);
    Command4->setDefault(true);

    exclusive(this, {Option1[0], Option1[1], Option1[2], Option1[3], Option1[4], Option1[5]});
    exclusive(this, {Option5[0], Option5[1]});
    exclusive(this, {Option3[0], Option3[1]});
    exclusive(this, {Option3[7], Option3[6]});
    exclusive(this, {Option3[3], Option3[2]});
    exclusive(this, {Option3[4], Option3[5]});
    exclusive(this, {Option2[0], Option2[1]});
    exclusive(this, {Option2[2], Option2[3]});
    exclusive(this, {Option6[0], Option6[1]});
    exclusive(this, {Option7[0], Option7[1]});
    exclusive(this, {Option4[0], Option4[1], Option4[2]});
    applyDesignState();
    connectReactions();
    Option1[0]->setChecked(true);
    Option1_Click(0);
    Option5[1]->setChecked(true);
    Option5_Click(1);
    onLoad();
}

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
    for (int i = 0; i < 6; ++i)
        Option1[i] = place(new PageButton(icons[i], captions[i], this), 6, 8 + i * 56, 112, 52);
}

void OptionsDialog::buildDataPage(QGroupBox* page)
{
    const std::array<QString, 2> captions = {
        QStringLiteral("運賃データ(*.hy3)のあるフォルダー："),
        QStringLiteral("放送用データ(*****Tp.csv)のあるフォルダー：")};
    const std::array<QString, 2> openCaptions = {
        QStringLiteral("上記運賃データの場所をエクスプローラで開く"),
        QStringLiteral("上記放送用データの場所をエクスプローラで開く")};
    for (int i = 0; i < 2; ++i) {
        const int y = 30 + i * 100;
        Label3[i] = label(page, captions[i], 14, y, 470, 18);
        Text2[i] = textBox(page, 14, y + 20, 440);
        Command3[i] = button(page, QStringLiteral("..."), 458, y + 20, 36, 21);
        Command10[i] = button(page, openCaptions[i], 14, y + 48, 300, 24);
    }
}

void OptionsDialog::buildPanelPage(QGroupBox* page)
{
    Frame4 = group(page, QStringLiteral("本体パネル"), 10, 22, 246, 250);
    Option3[0] = radio(Frame4, QStringLiteral("内蔵しているパネルを自動で割り当てる"), 10, 20, 230);
    Option3[1] = radio(Frame4, QStringLiteral("個別に設定する"), 10, 42, 230);
    // Per backlight state: the group, its built-in and user option buttons.
    struct StateGroup {
        int frame;
        const char16_t* title;
        int builtin;
        int user;
    };
    const StateGroup groups[] = {{0, u"バックライトOFF時の画像：", 7, 6},
                                 {1, u"ON1の画像：", 3, 2},
                                 {2, u"ON2の画像：", 4, 5}};
    int y = 66;
    for (const StateGroup& g : groups) {
        auto* frame = group(Frame4, QString::fromUtf16(g.title), 8, y, 230, 60);
        Frame6[g.frame] = frame;
        Option3[g.builtin] = radio(frame, QStringLiteral("内蔵"), 8, 16, 60, 18);
        Option3[g.user] = radio(frame, QStringLiteral("ユーザーパネル"), 72, 16, 150, 18);
        txtSelectPanel[g.frame] = textBox(frame, 8, 35, 180);
        Command6[g.frame] = button(frame, QStringLiteral("..."), 192, 35, 30, 21);
        y += 60;
    }
    Label5[1] = note(page,
                     QStringLiteral("※ユーザーパネルには、現在の機種に対応の画像をご使用ください。"
                                    "大きいパネルの場合、はみ出た部分（右・下）が切り取られます。"
                                    "逆に小さいパネルの場合は左上から表示され、余白部分はグレーに"
                                    "なりますのでご注意ください。"),
                     12, 276, 486, 56);

    Check1 = check(page, QStringLiteral("整理券番号自動表示機能を使用"), 266, 24, 232);
    Frame3 = place(new QFrame(page), 266, 46, 232, 166);
    Frame3->setFrameShape(QFrame::StyledPanel);
    Frame3->setFrameShadow(QFrame::Sunken);
    Label4[5] = label(Frame3, QStringLiteral("整理券番号表示設定"), 8, 6, 216, 18);
    Combo2 = comboBox(Frame3, {}, 8, 26, 216);
    Check2 = check(Frame3, QStringLiteral("数字が1桁の番号は頭に0を付け足す"), 8, 52, 220);
    Label4[1] =
        note(Frame3, QStringLiteral("整理券番号のバックライトカラー(文字色)"), 8, 80, 216, 18);
    const std::array<QString, 3> stateNames = {QStringLiteral("OFF："), QStringLiteral("ON1："),
                                               QStringLiteral("ON2：")};
    for (int i = 0; i < 3; ++i) {
        Label4[i + 2] = label(Frame3, stateNames[i], 6 + i * 76, 106, 36, 22);
        Command5[i] = colorButton(Frame3, 42 + i * 76, 106);
        Command5[i]->resize(34, 22);
    }
    Label15 = note(page,
                   QStringLiteral("※ユーザーパネルに直接番号をデザインしている場合には上記チェッ"
                                  "クをOFFにしてください。"),
                   268, 218, 230, 48);
}

void OptionsDialog::buildDigitsPage(QGroupBox* page)
{
    Frame5[1] = group(page, QStringLiteral("情報用数字の設定"), 10, 22, 488, 180);
    const std::array<QString, 4> captions = {
        QStringLiteral("停留所の順番（区間・個数）を、　　　　　　  コマ目に表示する。"),
        QStringLiteral("整理券番号を、  　　　　　　コマ目に表示する。"),
        QStringLiteral("系統番号を、  　　　　　　コマ目に表示する。"),
        QStringLiteral("データの　　　  　　　　　列目の値を、  　　　　　　コマ目に表示する。")};
    for (int i = 0; i < 4; ++i)
        Check3[i] = check(Frame5[1], captions[i], 10, 22 + i * 28, i == 0 ? 370 : 466, 24);
    Check3[4] = check(Frame5[1], QStringLiteral("0から数える"), 384, 22, 96, 24);
    for (int i = 0; i < 4; ++i)
        Combo4[i] = comboBox(Frame5[1], numberItems(12), 0, 0, 50);
    Combo4[4] = comboBox(Frame5[1], numberItems(150), 0, 0, 56);
    placeInBlank(Check3[0], Combo4[0], 0);
    placeInBlank(Check3[1], Combo4[1], 0);
    placeInBlank(Check3[2], Combo4[2], 0);
    placeInBlank(Check3[3], Combo4[4], 0);
    placeInBlank(Check3[3], Combo4[3], 1);
    Label7 = note(Frame5[1],
                  QStringLiteral("デジタル数字の桁ずらし、ゼロ埋めの設定は各部品をダブルクリック"
                                 "して設定してください。また、これら情報用数字は運賃の表示よりも"
                                 "優先されます。"),
                  12, 136, 466, 38);

    Frame5[0] = group(page,
                      QStringLiteral("デジタル部品の背景色と文字色（時計つきの場合はこの部分も"
                                     "同色となります）"),
                      10, 208, 488, 120);
    const std::array<QString, 3> colorCaptions = {QStringLiteral("背景色："),
                                                  QStringLiteral("未発光時の文字色："),
                                                  QStringLiteral("発光時の文字色：")};
    for (int i = 0; i < 3; ++i) {
        Label6[i] = label(Frame5[0], colorCaptions[i], 14, 24 + i * 30, 120, 22);
        Command8[i] = colorButton(Frame5[0], 136, 24 + i * 30);
    }
    Label6[3] = label(Frame5[0], QStringLiteral("プレビュー"), 260, 24, 120, 20);
    M_Degit1 = new DigitElement(Frame5[0]);
    M_Degit1->move(262, 50);
}

void OptionsDialog::buildStopNamePage(QGroupBox* page)
{
    const QString boldCaption = QStringLiteral("太字（表示の不具合はサポート対象外）");
    Frame11 = group(page, QStringLiteral("停名部分の設定"), 10, 22, 488, 130);
    Label8[0] = label(Frame11, QStringLiteral("背景色："), 14, 24, 60, 22);
    Command9[0] = colorButton(Frame11, 76, 24);
    Label8[1] = label(Frame11, QStringLiteral("文字色："), 150, 24, 60, 22);
    Command9[1] = colorButton(Frame11, 212, 24);
    Label9 = label(Frame11, QStringLiteral("フォントオプション："), 14, 60, 118, 22);
    Combo3 = comboBox(Frame11, stopNameFontItems(), 134, 60, 250);
    Check4 = check(Frame11, boldCaption, 14, 96, 300);

    Frame12 =
        group(page, QStringLiteral("「次は」の表示設定(データの最初は「次は」は表示されません)"),
              10, 162, 488, 166);
    Label17 = label(Frame12, QStringLiteral("「次は」表示オプション："), 14, 26, 140, 22);
    Combo6 = comboBox(Frame12, nextStopModeItems(), 156, 26, 250);
    Label16 = label(Frame12, QStringLiteral("フォントオプション："), 14, 60, 140, 22);
    Combo5 = comboBox(Frame12, nextStopFontItems(), 156, 60, 250);
    Check5 = check(Frame12, boldCaption, 14, 94, 300);
    Label8[2] = label(Frame12, QStringLiteral("「次は」の文字色："), 14, 126, 110, 22);
    Command9[2] = colorButton(Frame12, 126, 126);
    // These lists start without a selection.
    for (QComboBox* list : {Combo3, Combo5, Combo6})
        list->setCurrentIndex(-1);
}

void OptionsDialog::buildSoundSlot(QWidget* parent, int slot, QLabel* caption, int x, int y)
{
    if (caption)
        caption->setGeometry(caption->x(), y, caption->width(), 21);
    txtSelectSound[slot] = textBox(parent, x, y, 440 - x);
    cmdSelectSound[slot] = button(parent, QStringLiteral("..."), 444, y, 30, 21);
}

void OptionsDialog::buildSoundPage(QGroupBox* page)
{
    Label1[0] = label(page, QStringLiteral("系統設定時のサウンド："), 14, 0, 130, 21);
    buildSoundSlot(page, 0, Label1[0], 146, 24);
    txtSelectSound[0]->setGeometry(146, 24, 312, 21);
    cmdSelectSound[0]->setGeometry(462, 24, 30, 21);
    Label1[1] = label(page, QStringLiteral("リセット時のサウンド："), 14, 0, 130, 21);
    buildSoundSlot(page, 1, Label1[1], 146, 48);
    txtSelectSound[1]->setGeometry(146, 48, 312, 21);
    cmdSelectSound[1]->setGeometry(462, 48, 30, 21);

    Option5[0] = button(page, QStringLiteral("放送前のサウンド..."), 14, 76, 150, 24);
    Option5[1] = button(page, QStringLiteral("送り・戻し時のサウンド..."), 168, 76, 170, 24);
    for (QPushButton* b : Option5) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }

    // Forward/back sounds.
    auto* step = Frame2[1] =
        group(page, QStringLiteral("送り・戻し時のサウンド"), 8, 102, 492, 230);
    Option2[0] = radio(step, QStringLiteral("常に右記のサウンドを鳴らす"), 10, 20, 180);
    buildSoundSlot(step, 7, nullptr, 192, 20);
    Option2[1] =
        wrapRadio(step,
                  QStringLiteral("運賃データ(*.hy3)の特定の列のデータから判断して、以下の指"
                                 "定したサウンドを鳴らす（指定した列のデータの内容が1～3以"
                                 "外の場合はサウンドは鳴りません）"),
                  10, 44, 470, 32);
    Label1[2] = label(step,
                      QStringLiteral("運賃データの                        　　　　　　　　　列目   "
                                     "                  のデータが、"),
                      30, 78, 440, 22);
    Combo1 = comboBox(step, numberItems(150), 0, 0, 60);
    placeInBlank(Label1[2], Label1[2]->text(), 0, Combo1, 0);
    for (int k = 8; k <= 10; ++k) {
        Label1[k - 5] = label(step, QStringLiteral("「%1」の場合").arg(k - 7), 46, 0, 80, 21);
        buildSoundSlot(step, k, Label1[k - 5], 128, 102 + (k - 8) * 23);
    }
    Frame8 = group(step, QStringLiteral("再生方法"), 10, 170, 472, 56);
    Option6[0] =
        radio(Frame8, QStringLiteral("同期再生(サウンドが完全に再生された後で運賃切り替え)"), 10,
              16, 450, 18);
    Option6[1] = radio(Frame8, QStringLiteral("非同期再生(サウンドを再生しながら運賃切り替え)"), 10,
                       35, 450, 18);

    // Sounds before a broadcast.
    auto* pre = Frame2[0] =
        group(page,
              QStringLiteral("放送前のサウンド：※音声合成放送機能が有効でない場合は以下の設定"
                             "は意味を持ちません。"),
              8, 102, 492, 230);
    Option2[2] = radio(pre, QStringLiteral("常に右記のサウンドを鳴らす"), 10, 20, 180);
    buildSoundSlot(pre, 3, nullptr, 192, 20);
    Option2[3] = wrapRadio(pre,
                           QStringLiteral("放送データ(*.Tp.csv)内のフラグから判断して、以下の指定し"
                                          "たサウンドを鳴らす（フラグの内容が1～3以外の場合はサウ"
                                          "ンドは鳴りません）"),
                           10, 44, 470, 32);
    for (int k = 4; k <= 6; ++k) {
        Label1[k + 5] = label(pre, QStringLiteral("「%1」の場合").arg(k - 3), 46, 0, 80, 21);
        buildSoundSlot(pre, k, Label1[k + 5], 128, 78 + (k - 4) * 23);
    }
    Frame9 = group(pre, QStringLiteral("再生方法"), 10, 146, 472, 54);
    Option7[0] = radio(Frame9, QStringLiteral("同期再生(サウンドが完全に再生された後で放送開始)"),
                       10, 16, 450, 18);
    Option7[1] = radio(Frame9, QStringLiteral("非同期再生(サウンドを再生しながら放送開始)"), 10, 34,
                       450, 18);
    Label1[7] = note(pre,
                     QStringLiteral("「放送前のサウンド」再生時は、停名のスクロールが停止することが"
                                    "ありますので、あらかじめご了承ください。"),
                     12, 202, 470, 28);
}

void OptionsDialog::buildTicketPage(QGroupBox* page)
{
    chkUseSeiriPrev = check(page, QStringLiteral("整理券プレビュー機能を使用する"), 14, 22, 300);

    Frame10 = group(page, QStringLiteral("整理券プラグイン設定"), 10, 44, 488, 170);
    Label2 = note(Frame10,
                  QStringLiteral("整理券プラグイン（整理券プレビューを使用しない場合は、何も入れな"
                                 "いでください）："),
                  10, 18, 470, 18);
    txtSeiriPlgDir = textBox(Frame10, 10, 38, 396);
    Command1 = button(Frame10, QStringLiteral("..."), 410, 38, 32, 21);
    Command11 = button(Frame10, QStringLiteral("×"), 446, 38, 30, 21);
    Command11->setToolTip(QStringLiteral("プラグインの指定を解除"));
    Label11 = label(Frame10, QStringLiteral("上記プラグインのプロパティ："), 10, 62, 230, 18);
    List1 = place(new QListWidget(Frame10), 10, 80, 230, 84);
    Label13 = label(Frame10, QStringLiteral("上記プラグインの特記事項："), 248, 62, 230, 18);
    txtPlginComment = place(new QPlainTextEdit(Frame10), 248, 80, 230, 84);
    txtPlginComment->setReadOnly(true);
    QPalette grey = txtPlginComment->palette();
    grey.setColor(QPalette::Base, QColor(212, 208, 200));
    txtPlginComment->setPalette(grey);

    Frame7 = group(page,
                   QStringLiteral("日付の設定（整理券プラグインが日付の印字をサポートしているとき"
                                  "に有効）"),
                   10, 218, 488, 112);
    Option4[0] = radio(Frame7,
                       QStringLiteral("システムの日付を使用（整理券印字と同時に日付を更新、デフォル"
                                      "ト）"),
                       10, 18, 468, 18);
    Option4[1] =
        radio(Frame7, QStringLiteral("システムの日付を使用（系統設定した時点の日付を保持）"), 10,
              37, 468, 18);
    Option4[2] = radio(Frame7, QStringLiteral("右記の日付に固定"), 10, 56, 130, 20);
    Label10 = label(Frame7, QString(), 144, 56, 90, 20);
    Label10->setFrameShape(QFrame::Panel);
    Label10->setFrameShadow(QFrame::Sunken);
    Label10->setAlignment(Qt::AlignCenter);
    Command7 = button(Frame7, QStringLiteral("日付選択..."), 240, 55, 90, 22);
    Label14 = note(Frame7,
                   QStringLiteral("系統設定した際の日付が保持され、日付が途中で変わっても次回系統"
                                  "設定するまで整理券の日付変更を行いません。"),
                   12, 78, 466, 30);
}

// The dialog's load: lists, preview element and the date, then the initial states.
void OptionsDialog::onLoad()
{
    M_Degit1->setSizeClass(0);
    M_Degit1->setDigitCount(4);
    for (QComboBox* list : {Combo4[0], Combo4[1], Combo4[2], Combo4[3], Combo4[4], Combo1})
        list->setCurrentIndex(0);
    AddComboItem();
    Label10->setText(fixedDateText(QDate::currentDate()));
    showDigitColorsInPreview();
    M_Degit1->setValue(ElementValue(120));
}

// The states the controls are drawn with; the toggling reactions rely on them.
void OptionsDialog::applyDesignState()
{
    for (int i : {0, 3, 4, 7})
        Option3[i]->setChecked(true);
    for (QRadioButton* r : {Option2[0], Option2[2], Option6[1], Option7[0], Option4[0]})
        r->setChecked(true);
    Check1->setValue(1);
    for (QComboBox* list : Combo4)
        list->setEnabled(false);
    Check3[4]->setEnabled(false);
    for (QGroupBox* frame : Frame6) {
        frame->setEnabled(false);
        frame->setVisible(false);
    }
    for (QGroupBox* frame : {Frame10, Frame7}) {
        frame->setEnabled(false);
        frame->setVisible(false);
    }
    Command5[0]->setBackColor(platform::RGB(255, 255, 255));
    Command5[1]->setBackColor(platform::RGB(192, 255, 192));
    Command5[2]->setBackColor(platform::RGB(192, 255, 192));
    Command8[0]->setBackColor(platform::RGB(128, 128, 128));
    Command8[1]->setBackColor(platform::RGB(150, 150, 150));
    Command8[2]->setBackColor(platform::RGB(248, 210, 114));
    Command9[0]->setBackColor(platform::RGB(128, 128, 128));
    Command9[1]->setBackColor(platform::RGB(255, 255, 0));
    Command9[2]->setBackColor(platform::RGB(255, 255, 0));
}

void OptionsDialog::AddComboItem()
{
    Combo2->clear();
    Combo2->addItems(ticketNumberModeItems());
    Combo2->setCurrentIndex(0);
}
