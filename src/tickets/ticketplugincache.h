#pragma once

#include "formats/ticketpluginformat.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace tickets
{

// The plug-ins read so far, each kept until its file changes: a ticket is drawn at every stop,
// and a plug-in of the largest allowed size takes far longer to parse than to draw.
//
// A file counts as changed when its size, modification or status-change time, inode or device
// differ from when it was read. Timestamps are coarser than a fast editor (or a script), so a
// file modified less than two seconds before it was read is read again at the next request
// and compared by content; once it has stood still that long, its stamp alone is trusted. A
// changed stamp over the same bytes (a `touch`) keeps the parsed plug-in too.
//
// Failures are kept like plug-ins (an invalid file is not parsed again until it changes),
// except a file that cannot be found or opened, which costs nothing to try again.
class TicketPluginCache
{
public:
    // The plug-in at `path` as the file is now (see ParseResult: a plug-in, or why not).
    std::shared_ptr<const ParseResult> load(const QString& path);

    // How many times a file was parsed, for those who check that it is not done needlessly.
    int parseCount() const { return parseCount_; }

    // At most this many files are kept, the most recently used.
    static constexpr int Capacity = 4;

private:
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        QString path;
        Stamp stamp;
        QByteArray digest;             // of the bytes parsed; empty when none were read
        bool recentlyModified = false; // the stamp alone may not show the next change
        std::shared_ptr<const ParseResult> result;
    };

    static bool stampOf(const QString& path, Stamp& stamp);
    Entry* find(const QString& path);
    std::shared_ptr<const ParseResult> keep(const QString& path, const Stamp& stamp,
                                            const QByteArray& digest,
                                            std::shared_ptr<const ParseResult> result);

    std::vector<Entry> entries_; // most recently used first
    int parseCount_ = 0;
};

} // namespace tickets
