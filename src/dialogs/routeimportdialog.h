#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace platform
{
class MessageBoxes;
}

class Pickers;

// The folders a route is written into: fare data ("<route>.hy3") and broadcast data
// ("<route>tp.csv"). An empty folder is the working folder.
struct ImportFolders {
    QString fare;
    QString broadcast;
};

// "路線データの取り込み": makes a route of an open-data bus feed (GTFS-JP, a zip or its
// folder). The user chooses the feed, sees its patterns (route, 起点 → 終点, stops, trips),
// chooses one and a route number; the dialog writes the route's fare and broadcast data into
// the data folders and reports what it wrote and what it could not. The feed is read and
// converted on a worker thread with a progress bar and a cancel button, so the windows go on;
// a worker still busy when the dialog goes is cancelled and ends on its own.
class RouteImportDialog : public QDialog
{
    Q_OBJECT
public:
    using FolderSource = std::function<ImportFolders()>;

    // folders is asked at each import, so folders changed meanwhile count; boxes shows the
    // questions and refusals, pickers chooses the feed. All outlive the dialog.
    RouteImportDialog(FolderSource folders, platform::MessageBoxes& boxes, Pickers& pickers,
                      QWidget* parent = nullptr);
    ~RouteImportDialog() override;

    // Reads the feed at path (a zip file or a folder) on the worker, as choosing it does.
    void readFeed(const QString& path);
    // True while the worker reads or converts.
    bool isBusy() const;
    // The patterns listed, and the one chosen (-1: none).
    int patternCount() const;
    void choosePattern(int row);
    void setRouteNumber(const QString& text);
    // Converts the chosen pattern and writes it, as "取り込む" does.
    void importChosen();
    // What the report area says.
    QString report() const;

signals:
    // "この系統を設定": set route routeNo, section 1, now.
    void routeSetRequested(const QString& routeNo);
    // The worker finished a read or an import (tests wait for it).
    void workFinished();

private:
    struct Work;

    void buildControls();
    QWidget* buildFeedRow();
    QWidget* buildProgressRow();
    QWidget* buildRouteRow();
    void pickFeedFile();
    void pickFeedFolder();
    void startWork(std::function<void(Work&)> job);
    void onWorkFinished(const std::shared_ptr<Work>& work);
    void showFeed(const Work& work);
    void showImport(const Work& work);
    void updateButtons();
    bool confirmOverwrite(const QString& routeNo, const QString& fareFile, const QString& tapeFile);
    void showProgress();

    FolderSource folders_;
    platform::MessageBoxes& boxes_;
    Pickers& pickers_;
    std::shared_ptr<Work> work_;   // the worker's current job; nullptr while idle
    std::shared_ptr<Work> loaded_; // the feed read last, its patterns listed
    QString importedRoute_;

    QLineEdit* feedEdit_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    QPushButton* folderButton_ = nullptr;
    QWidget* progressRow_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QTreeWidget* patterns_ = nullptr;
    QLineEdit* routeEdit_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QPushButton* setRouteButton_ = nullptr;
};
