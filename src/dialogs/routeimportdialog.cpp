#include "dialogs/routeimportdialog.h"

#include "dialogs/pickers.h"
#include "formats/gtfsconvert.h"
#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"
#include "platform/msgbox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>

// One job of the worker: reading a feed and finding its patterns, or converting and writing
// one pattern. Shared by the dialog and the worker thread, which may outlive the dialog.
struct RouteImportDialog::Work {
    std::atomic_bool cancel{false};
    std::atomic_int percent{-1}; // how far a read got; -1 before it says
    std::function<void(Work&)> job;
    // Reading
    QString path;
    std::optional<formats::FileError> readError;
    std::shared_ptr<const gtfs::Feed> feed;
    std::vector<gtfs::Pattern> patterns;
    // Converting
    gtfs::Pattern pattern;
    QString routeNo;
    ImportFolders folders;
    std::optional<gtfs::Conversion> conversion;
    std::optional<QString> writeError;
};

namespace
{

enum PatternColumn { IdColumn, RouteColumn, EndsColumn, StopsColumn, TripsColumn };

QString folderShown(const QString& folder)
{
    return folder.isEmpty() ? QDir::currentPath() : QDir::cleanPath(folder);
}

QString filePathIn(const QString& folder, const QString& name)
{
    return QDir(folderShown(folder)).filePath(name);
}

QString patternEnds(const gtfs::Feed& feed, const gtfs::Pattern& pattern)
{
    return QStringLiteral("%1 → %2").arg(gtfs::shownStopName(feed, pattern.stops.front()),
                                         gtfs::shownStopName(feed, pattern.stops.back()));
}

QTreeWidgetItem* patternItem(const gtfs::Feed& feed, const gtfs::Pattern& pattern)
{
    auto* item = new QTreeWidgetItem;
    item->setText(IdColumn, QString::number(pattern.id));
    item->setText(RouteColumn, gtfs::routeName(feed.routes[size_t(pattern.route)]));
    item->setText(EndsColumn, patternEnds(feed, pattern));
    item->setText(StopsColumn, QString::number(pattern.stops.size()));
    item->setText(TripsColumn, QString::number(pattern.trips.size()));
    for (int column : {IdColumn, StopsColumn, TripsColumn})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// The feed, the table when the fault is in one, and what is wrong there.
QString feedErrorText(const QString& feed, const formats::FileError& error)
{
    const QString where = error.file.isEmpty() || error.file == feed
                              ? feed
                              : QStringLiteral("%1: %2").arg(feed, error.file);
    return QStringLiteral("%1: %2").arg(where, error.description());
}

QString conversionReport(const gtfs::Conversion& conversion, const ImportFolders& folders)
{
    QStringList lines;
    lines << QStringLiteral("系統 %1 を書き込みました。").arg(conversion.routeNo)
          << QStringLiteral("  運賃データ: %1")
                 .arg(filePathIn(folders.fare, gtfs::fareFileName(conversion)))
          << QStringLiteral("  放送用データ: %1")
                 .arg(filePathIn(folders.broadcast, gtfs::tapeFileName(conversion)))
          << QStringLiteral("停留所 %1、整理券番号 %2 まで、放送 %3 件。")
                 .arg(conversion.stops.size())
                 .arg(conversion.stops.empty() ? 0 : conversion.stops.back().ticketNo)
                 .arg(conversion.announcements.size());
    for (const QString& note : conversion.notes)
        lines << note;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

RouteImportDialog::RouteImportDialog(FolderSource folders, platform::MessageBoxes& boxes,
                                     Pickers& pickers, QWidget* parent)
    : QDialog(parent), folders_(std::move(folders)), boxes_(boxes), pickers_(pickers)
{
    setWindowTitle(QStringLiteral("路線データの取り込み"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();
    // The worker only stores how far it got; the bar asks, so no call crosses threads.
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &RouteImportDialog::showProgress);
    updateButtons();
}

void RouteImportDialog::showProgress()
{
    const int percent = work_ ? work_->percent.load() : -1;
    if (percent < 0)
        return;
    progress_->setRange(0, 100);
    progress_->setValue(percent);
}

RouteImportDialog::~RouteImportDialog()
{
    if (work_)
        work_->cancel = true; // the worker stops soon and drops its share of the job
}

void RouteImportDialog::buildControls()
{
    patterns_ = new QTreeWidget(this);
    patterns_->setObjectName(QStringLiteral("patternList"));
    patterns_->setHeaderLabels({QStringLiteral("番号"), QStringLiteral("路線"),
                                QStringLiteral("起点 → 終点"), QStringLiteral("停留所"),
                                QStringLiteral("便")});
    patterns_->setRootIsDecorated(false);
    patterns_->setAllColumnsShowFocus(true);
    patterns_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    patterns_->setMinimumSize(560, 200);
    connect(patterns_, &QTreeWidget::itemSelectionChanged, this, &RouteImportDialog::updateButtons);

    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("importReport"));
    report_->setReadOnly(true);
    report_->setMinimumHeight(110);
    report_->setPlainText(
        QStringLiteral("GTFS-JP の zip ファイルか、それを展開したフォルダーを選んでください。"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    setRouteButton_ =
        buttons->addButton(QStringLiteral("この系統を設定"), QDialogButtonBox::ActionRole);
    setRouteButton_->setObjectName(QStringLiteral("setRouteButton"));
    connect(setRouteButton_, &QPushButton::clicked, this, [this] {
        emit routeSetRequested(importedRoute_);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFeedRow());
    layout->addWidget(buildProgressRow());
    layout->addWidget(new QLabel(QStringLiteral("運行パターン："), this));
    layout->addWidget(patterns_, 1);
    layout->addWidget(buildRouteRow());
    layout->addWidget(report_);
    layout->addWidget(buttons);
}

QWidget* RouteImportDialog::buildFeedRow()
{
    auto* box = new QGroupBox(
        QStringLiteral("バス情報のオープンデータ（GTFS-JP の zip かフォルダー）"), this);
    feedEdit_ = new QLineEdit(box);
    feedEdit_->setObjectName(QStringLiteral("feedEdit"));
    feedEdit_->setReadOnly(true);
    fileButton_ = new QPushButton(QStringLiteral("zip ファイル..."), box);
    fileButton_->setObjectName(QStringLiteral("feedFileButton"));
    folderButton_ = new QPushButton(QStringLiteral("フォルダー..."), box);
    folderButton_->setObjectName(QStringLiteral("feedFolderButton"));
    connect(fileButton_, &QPushButton::clicked, this, &RouteImportDialog::pickFeedFile);
    connect(folderButton_, &QPushButton::clicked, this, &RouteImportDialog::pickFeedFolder);
    auto* row = new QHBoxLayout(box);
    row->addWidget(feedEdit_, 1);
    row->addWidget(fileButton_);
    row->addWidget(folderButton_);
    return box;
}

QWidget* RouteImportDialog::buildProgressRow()
{
    auto* holder = new QWidget(this);
    progressRow_ = holder;
    progressLabel_ = new QLabel(holder);
    progress_ = new QProgressBar(holder);
    progress_->setObjectName(QStringLiteral("importProgress"));
    progress_->setRange(0, 100);
    cancelButton_ = new QPushButton(QStringLiteral("中止"), holder);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        if (work_)
            work_->cancel = true;
    });
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(progressLabel_);
    row->addWidget(progress_, 1);
    row->addWidget(cancelButton_);
    return holder;
}

QWidget* RouteImportDialog::buildRouteRow()
{
    auto* holder = new QWidget(this);
    routeEdit_ = new QLineEdit(holder);
    routeEdit_->setObjectName(QStringLiteral("routeNumberEdit"));
    routeEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,5}")), holder));
    routeEdit_->setMaximumWidth(90);
    connect(routeEdit_, &QLineEdit::textChanged, this, &RouteImportDialog::updateButtons);
    importButton_ = new QPushButton(QStringLiteral("取り込む"), holder);
    importButton_->setObjectName(QStringLiteral("importButton"));
    connect(importButton_, &QPushButton::clicked, this, &RouteImportDialog::importChosen);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("系統番号："), holder));
    row->addWidget(routeEdit_);
    row->addStretch(1);
    row->addWidget(importButton_);
    return holder;
}

void RouteImportDialog::pickFeedFile()
{
    const QString path = pickers_.pickFile(
        this, 0,
        pickerFilter({QStringLiteral("GTFS-JP (*.zip)"), QStringLiteral("*.zip"),
                      QStringLiteral("すべてのファイル (*.*)"), QStringLiteral("*.*")}),
        QString(), QStringLiteral("バス情報のオープンデータの選択"));
    if (!path.isEmpty())
        readFeed(path);
}

void RouteImportDialog::pickFeedFolder()
{
    const QString path = pickers_.pickFolder(this, QStringLiteral("フォルダーを選択してください"));
    if (!path.isEmpty())
        readFeed(path);
}

void RouteImportDialog::readFeed(const QString& path)
{
    if (isBusy())
        return;
    feedEdit_->setText(QDir::toNativeSeparators(path));
    patterns_->clear();
    loaded_.reset();
    importedRoute_.clear();
    progressLabel_->setText(QStringLiteral("読み込み中"));
    auto work = std::make_shared<Work>();
    work->path = path;
    work_ = work;
    startWork([](Work& w) {
        gtfs::ReadControl control;
        control.cancel = &w.cancel;
        control.progress = [&w](int percent) { w.percent = percent; };
        auto read = gtfs::readFeed(w.path, {}, control);
        if (!read) {
            w.readError = read.error();
            return;
        }
        w.feed = std::make_shared<const gtfs::Feed>(std::move(*read));
        w.patterns = gtfs::findPatterns(*w.feed);
    });
}

void RouteImportDialog::importChosen()
{
    const int row =
        patterns_->currentItem() ? patterns_->indexOfTopLevelItem(patterns_->currentItem()) : -1;
    const std::optional<QString> routeNo = gtfs::routeFileNumber(routeEdit_->text());
    if (isBusy() || !loaded_ || row < 0 || !routeNo)
        return;
    const ImportFolders folders = folders_();
    if (!confirmOverwrite(*routeNo, filePathIn(folders.fare, *routeNo + QStringLiteral(".hy3")),
                          filePathIn(folders.broadcast, *routeNo + QStringLiteral("tp.csv"))))
        return;
    auto work = std::make_shared<Work>();
    work->feed = loaded_->feed;
    work->pattern = loaded_->patterns[size_t(row)];
    work->routeNo = *routeNo;
    work->folders = folders;
    work_ = work;
    progressLabel_->setText(QStringLiteral("変換中"));
    startWork([](Work& w) {
        w.conversion = gtfs::convertPattern(*w.feed, w.pattern, w.routeNo);
        if (w.conversion->ok() && !w.cancel)
            w.writeError =
                gtfs::writeConversion(*w.conversion, w.folders.fare, w.folders.broadcast);
    });
}

// Runs the job on a thread of its own. The thread holds a share of the job, so it may end
// after the dialog; the dialog hears of the end only while it is there.
void RouteImportDialog::startWork(std::function<void(Work&)> job)
{
    const std::shared_ptr<Work> work = work_;
    work->job = std::move(job);
    progress_->setRange(0, 0); // busy until the job reports how far it got
    progressTimer_->start();
    QPointer<RouteImportDialog> self(this);
    QThread* thread = QThread::create([work] { work->job(*work); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [self, work] {
        if (self)
            self->onWorkFinished(work);
    });
    updateButtons();
    thread->start();
}

void RouteImportDialog::onWorkFinished(const std::shared_ptr<Work>& work)
{
    if (work != work_)
        return;
    work_.reset();
    progressTimer_->stop();
    progressLabel_->clear();
    progress_->setRange(0, 100);
    progress_->setValue(0);
    if (work->conversion)
        showImport(*work);
    else
        showFeed(*work);
    if (!work->readError && !work->conversion)
        loaded_ = work;
    updateButtons();
    emit workFinished();
}

void RouteImportDialog::showFeed(const Work& work)
{
    if (work.readError) {
        const QString text = feedErrorText(work.path, *work.readError);
        report_->setPlainText(text);
        if (!work.cancel)
            boxes_.show(text, platform::MessageBox::OKOnly | platform::MessageBox::Exclamation,
                        QString(), this);
        return;
    }
    for (const gtfs::Pattern& pattern : work.patterns)
        patterns_->addTopLevelItem(patternItem(*work.feed, pattern));
    report_->setPlainText(
        work.patterns.empty()
            ? QStringLiteral("運行パターンが見つかりません（2 停留所以上を通る便がありません）。")
            : QStringLiteral("運行パターン %1 件。取り込むパターンと系統番号を選んでください。")
                  .arg(work.patterns.size()));
    if (!work.patterns.empty())
        patterns_->setCurrentItem(patterns_->topLevelItem(0));
}

void RouteImportDialog::showImport(const Work& work)
{
    const gtfs::Conversion& conversion = *work.conversion;
    QStringList lines;
    if (!conversion.ok()) {
        lines << QStringLiteral("書き込めませんでした。");
        lines.append(QStringList(conversion.errors.begin(), conversion.errors.end()));
    } else if (work.writeError) {
        lines << QStringLiteral("書き込めませんでした。") << *work.writeError;
    } else if (work.cancel) {
        lines << QStringLiteral("中止しました。");
    } else {
        importedRoute_ = conversion.routeNo;
        report_->setPlainText(conversionReport(conversion, work.folders));
        return;
    }
    report_->setPlainText(lines.join(QLatin1Char('\n')));
    boxes_.show(lines.join(QLatin1Char('\n')),
                platform::MessageBox::OKOnly | platform::MessageBox::Exclamation, QString(), this);
}

bool RouteImportDialog::confirmOverwrite(const QString& routeNo, const QString& fareFile,
                                         const QString& tapeFile)
{
    const bool exists = QFileInfo::exists(fareFile) || QFileInfo::exists(tapeFile);
    return !exists ||
           boxes_.show(QStringLiteral("系統 %1 のデータはすでにあります。置き換えますか？\n%2\n%3")
                           .arg(routeNo, fareFile, tapeFile),
                       platform::MessageBox::YesNo | platform::MessageBox::Question, QString(),
                       this) == platform::MessageBox::Yes;
}

void RouteImportDialog::updateButtons()
{
    const bool busy = isBusy();
    fileButton_->setEnabled(!busy);
    folderButton_->setEnabled(!busy);
    cancelButton_->setEnabled(busy);
    progressRow_->setVisible(busy);
    patterns_->setEnabled(!busy);
    importButton_->setEnabled(!busy && loaded_ && patterns_->currentItem() != nullptr &&
                              gtfs::routeFileNumber(routeEdit_->text()).has_value());
    setRouteButton_->setEnabled(!busy && !importedRoute_.isEmpty());
}

bool RouteImportDialog::isBusy() const
{
    return work_ != nullptr;
}

int RouteImportDialog::patternCount() const
{
    return patterns_->topLevelItemCount();
}

void RouteImportDialog::choosePattern(int row)
{
    patterns_->setCurrentItem(patterns_->topLevelItem(row));
}

void RouteImportDialog::setRouteNumber(const QString& text)
{
    routeEdit_->setText(text);
}

QString RouteImportDialog::report() const
{
    return report_->toPlainText();
}
