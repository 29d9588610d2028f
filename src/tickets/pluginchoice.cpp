#include "tickets/pluginchoice.h"

namespace tickets
{

PluginChoice::PluginChoice(std::shared_ptr<TicketPluginCache> plugins, QObject* parent)
    : QObject(parent), plugins_(std::move(plugins))
{
    info_.clear();
}

bool PluginChoice::load(const QString& path)
{
    if (path.isEmpty())
        return false;
    const std::shared_ptr<const ParseResult> result = plugins_->load(path);
    if (!result->plugin)
        return false;
    hasPlugin_ = true;
    info_ = result->plugin->info;
    comment_ = result->plugin->comment;
    emit shownChanged();
    emit previewSizeChanged(info_[PluginInfo::PreviewWidth], info_[PluginInfo::PreviewHeight]);
    if (info_[PluginInfo::CompanySwitch] >= 1)
        emit companyNamesChanged(result->plugin->companies);
    return true;
}

bool PluginChoice::choose(const QString& path)
{
    emit companyNamesChanged(QStringList());
    return load(path);
}

void PluginChoice::clear()
{
    hasPlugin_ = false;
    info_.clear();
    comment_.clear();
    emit shownChanged();
}

QString PluginChoice::diagnosis(const QString& path) const
{
    return plugins_->load(path)->diagnosis();
}

} // namespace tickets
