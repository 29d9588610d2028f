#include "tickets/ticketplugin.h"

#include "formats/ticketpluginformat.h"
#include "platform/cp932.h"
#include "tickets/ticketdrawing.h"
#include "tickets/ticketplugincache.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace
{

// A text as the caller's buffer holds it: CP932, possibly with a terminating NUL.
QString bufferText(const QByteArray& buffer)
{
    const qsizetype end = buffer.indexOf('\0');
    return platform::fromCp932(end < 0 ? buffer : buffer.left(end));
}

// The plug-in, or null for a file that is none.
std::shared_ptr<const tickets::TicketPlugin> pluginAt(tickets::TicketPluginCache& plugins,
                                                      const QString& path)
{
    std::shared_ptr<const tickets::ParseResult> result = plugins.load(path);
    if (!result->plugin)
        return nullptr;
    return std::shared_ptr<const tickets::TicketPlugin>(result, &*result->plugin);
}

} // namespace

int readPluginInfo(tickets::TicketPluginCache& plugins, const QString& path, PluginInfo& info)
{
    info.clear();
    const auto plugin = pluginAt(plugins, path);
    if (!plugin)
        return 0;
    info = plugin->info;
    return 1;
}

void showPluginComment(tickets::TicketPluginCache& plugins, const QString& path, QWidget* textBox)
{
    if (!textBox)
        return;
    const auto plugin = pluginAt(plugins, path);
    if (!plugin)
        return;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(textBox))
        plain->setPlainText(plugin->comment);
    else if (auto* rich = qobject_cast<QTextEdit*>(textBox))
        rich->setPlainText(plugin->comment);
    else if (auto* line = qobject_cast<QLineEdit*>(textBox))
        line->setText(QString(plugin->comment).replace(u'\n', u' '));
}

QStringList pluginCompanies(tickets::TicketPluginCache& plugins, const QString& path)
{
    const auto plugin = pluginAt(plugins, path);
    return plugin ? plugin->companies : QStringList();
}

void addPluginCompanies(tickets::TicketPluginCache& plugins, const QString& path,
                        QComboBox* comboBox)
{
    if (comboBox)
        comboBox->addItems(pluginCompanies(plugins, path));
}

bool drawPluginTicket(tickets::TicketPluginCache& plugins, const QString& path,
                      QPaintDevice* device, const QByteArray& stopName, const QByteArray& dateText,
                      const QByteArray& timeText, std::int32_t routeNo, std::int16_t ticketNo,
                      std::int16_t stopRow, std::int16_t companyPos)
{
    if (!device)
        return false;
    const auto plugin = pluginAt(plugins, path);
    if (!plugin)
        return false;
    tickets::TicketFields fields;
    fields.stopName = bufferText(stopName);
    fields.date = bufferText(dateText);
    fields.time = bufferText(timeText);
    fields.route = routeNo;
    fields.ticketNo = ticketNo;
    fields.stopRow = stopRow;
    fields.companyPos = companyPos;

    QPainter painter;
    // A device that is being painted elsewhere (a widget outside its paint event) is left alone.
    if (!painter.begin(device))
        return false;
    tickets::drawTicket(painter, *plugin, fields);
    return true;
}
