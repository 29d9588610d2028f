#pragma once

#include "formats/plugininfo.h"
#include "tickets/ticketplugincache.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace tickets
{

// The ticket plug-in the options name, as read: its [Info] values and comment for whoever shows
// them, and what the control panel redoes when another one is loaded (the preview size, the
// company names). It lives as long as the program, so the options dialog can be created only
// when it is first opened and still show the plug-in the settings loaded.
class PluginChoice : public QObject
{
    Q_OBJECT
public:
    // plugins: the cache shared with whatever draws the ticket.
    explicit PluginChoice(std::shared_ptr<TicketPluginCache> plugins, QObject* parent = nullptr);

    // Reads the plug-in at path (its real path: a CP932 copy would lose the characters it has
    // no form for, and the file with them). True when it is a plug-in: it is then the one shown,
    // and previewSizeChanged, then companyNamesChanged if it carries company names, are
    // emitted. An empty path or a file that is none changes nothing and returns false.
    bool load(const QString& path);
    // Another plug-in is being chosen: the company names of the old one go first
    // (companyNamesChanged with none), then it is loaded.
    bool choose(const QString& path);
    // No plug-in is shown any more (its path was removed from the options).
    void clear();

    bool hasPlugin() const { return hasPlugin_; }
    const PluginInfo& info() const { return info_; }
    const QString& comment() const { return comment_; }
    // Why the file at path is no plug-in, for its author (docs/ticket-plugin.md).
    QString diagnosis(const QString& path) const;

    const std::shared_ptr<TicketPluginCache>& plugins() const { return plugins_; }

signals:
    // The plug-in shown changed: loaded or cleared.
    void shownChanged();
    // A plug-in was loaded: the size of its ticket preview picture, in twips.
    void previewSizeChanged(int widthTwips, int heightTwips);
    // The company names a ticket can be printed with.
    void companyNamesChanged(const QStringList& names);

private:
    std::shared_ptr<TicketPluginCache> plugins_;
    bool hasPlugin_ = false;
    PluginInfo info_;
    QString comment_;
};

} // namespace tickets
