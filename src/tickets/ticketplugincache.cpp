#include "tickets/ticketplugincache.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace tickets
{
namespace
{

// Longer than any file system's timestamp step (FAT's is two seconds).
constexpr qint64 SettleNs = 2'000'000'000;

qint64 nanoseconds(const timespec& time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

qint64 nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

std::shared_ptr<const ParseResult> failure(const QString& error)
{
    auto result = std::make_shared<ParseResult>();
    result->error = error;
    return result;
}

QByteArray digestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

bool TicketPluginCache::stampOf(const QString& path, Stamp& stamp)
{
    struct stat status {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return false;
    stamp.size = status.st_size;
    stamp.modifiedNs = nanoseconds(status.st_mtim);
    stamp.changedNs = nanoseconds(status.st_ctim);
    stamp.inode = status.st_ino;
    stamp.device = status.st_dev;
    return true;
}

TicketPluginCache::Entry* TicketPluginCache::find(const QString& path)
{
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&path](const Entry& entry) { return entry.path == path; });
    if (it == entries_.end())
        return nullptr;
    std::rotate(entries_.begin(), it, it + 1);
    return &entries_.front();
}

std::shared_ptr<const ParseResult>
TicketPluginCache::keep(const QString& path, const Stamp& stamp, const QByteArray& digest,
                        std::shared_ptr<const ParseResult> result)
{
    Entry entry{path, stamp, digest, nowNs() - stamp.modifiedNs < SettleNs, std::move(result)};
    if (Entry* old = find(path))
        *old = std::move(entry);
    else
        entries_.insert(entries_.begin(), std::move(entry));
    if (entries_.size() > size_t(Capacity))
        entries_.resize(Capacity);
    return entries_.front().result;
}

std::shared_ptr<const ParseResult> TicketPluginCache::load(const QString& path)
{
    Stamp stamp;
    // Only regular files: a folder or a pipe is no plug-in, and reading a pipe could block.
    if (!stampOf(path, stamp))
        return failure(QStringLiteral("the file cannot be opened"));
    Entry* entry = find(path);
    if (entry && entry->stamp == stamp && !entry->recentlyModified)
        return entry->result;
    if (stamp.size > MaxFileSize)
        return keep(path, stamp, QByteArray(),
                    failure(QStringLiteral("the file is larger than %1 bytes").arg(MaxFileSize)));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("the file cannot be opened"));
    // The file may have grown since it was measured: never more than the limit is read.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    const QByteArray digest = digestOf(bytes);
    if (entry && !entry->digest.isEmpty() && entry->digest == digest)
        return keep(path, stamp, digest, entry->result);
    ++parseCount_;
    return keep(path, stamp, digest, std::make_shared<ParseResult>(parseTicketPlugin(bytes)));
}

} // namespace tickets
