#include "core/routesession.h"

#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/filelookup.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <vector>

namespace core
{

namespace
{

using platform::RuntimeError;
namespace ErrorNumber = platform::ErrorNumber;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool inRange(int index, int first, int last)
{
    return index >= first && index <= last;
}

void checkIndex(int index, int first, int last)
{
    if (!inRange(index, first, last))
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
}

std::optional<qint16> toInt16(double value)
{
    const double rounded = std::nearbyint(value); // halves to even, as the Windows program did
    if (!(rounded >= std::numeric_limits<qint16>::min() &&
          rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

// The leading number of a text: blanks skipped, an optional sign, digits, an optional
// fraction; 0 when there is none.
double leadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == u'+' || trimmed[end] == u'-'))
        ++end;
    while (end < trimmed.size() && isAsciiDigit(trimmed[end]))
        ++end;
    if (end < trimmed.size() && trimmed[end] == u'.') {
        ++end;
        while (end < trimmed.size() && isAsciiDigit(trimmed[end]))
            ++end;
    }
    bool ok = false;
    const double value = trimmed.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

// The records the copy step can use: it fails at row 302, so no more are read. A record
// the file lacks stays empty; a read error of the device refuses the file.
formats::FileResult<std::vector<hy3::Record>> readRecords(QIODevice& in, int count)
{
    std::vector<hy3::Record> records(qMin(count, FareTableRows + 1));
    for (hy3::Record& record : records)
        if (hy3::readRecord(in, record) == hy3::ReadStatus::Failed)
            return hy3::readError(in);
    return records;
}

QString absoluteNativePath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The message's details: the file tried, in full, so that the user sees where the program
// looked, also when an empty folder setting sent it to the working folder.
QString triedFileDetails(const QString& folderText, const QString& path, bool missing)
{
    QStringList lines{QStringLiteral("ファイル: %1").arg(absoluteNativePath(path))};
    if (missing)
        lines << QStringLiteral("大文字と小文字だけが違う名前のファイルもありません。");
    if (folderText.isEmpty())
        lines << QStringLiteral("運賃データのフォルダーが空欄のため、作業フォルダーを探しました。");
    return lines.join(u'\n');
}

// The details with the reason why the open file is no fare data at all, when it is none.
QString withNotFareDataReason(const QString& details, QFile& file)
{
    const QString reason = hy3::notFareDataReason(file.peek(hy3::FareDataHeadBytes), file.size());
    return reason.isEmpty() ? details : details + u'\n' + reason;
}

RouteLoadError loadError(RouteLoadErrorKind kind, const QString& path, const QString& details)
{
    return RouteLoadError{kind, absoluteNativePath(path), details, 0, QString()};
}

RouteLoadError readFailure(const QString& path, const QString& details, int errorNumber)
{
    RouteLoadError failure = loadError(RouteLoadErrorKind::ReadFailed, path, details);
    failure.errorNumber = errorNumber;
    failure.errorDescription = platform::errorDescription(errorNumber);
    return failure;
}

} // namespace

qint16& FareRecord::column(int i)
{
    checkIndex(i, 1, FareColumnCount);
    return columns[i - 1];
}

qint16 FareRecord::column(int i) const
{
    checkIndex(i, 1, FareColumnCount);
    return columns[i - 1];
}

QString routeLoadMessage(const RouteLoadError& error)
{
    switch (error.kind) {
    case RouteLoadErrorKind::NoFile:
        return hy3::messageNoFile();
    case RouteLoadErrorKind::NoRecords:
        return hy3::messageNoRecords();
    case RouteLoadErrorKind::SectionTooLarge:
        return hy3::messageSectionTooLarge();
    case RouteLoadErrorKind::ReadFailed:
        break;
    }
    return error.errorDescription;
}

qint16 normaliseSection(const QString& text)
{
    const double value = qMin(leadingNumber(text), double(MaxSection));
    return static_cast<qint16>(qMax(std::nearbyint(value), 1.0));
}

QString routeNoFromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype start = 0;
    if (start < trimmed.size() && (trimmed[start] == u'+' || trimmed[start] == u'-'))
        ++start;
    qsizetype end = start;
    while (end < trimmed.size() && isAsciiDigit(trimmed[end]))
        ++end;
    while (start < end - 1 && trimmed[start] == u'0')
        ++start;
    return start < end ? trimmed.mid(start, end - start) : QStringLiteral("0");
}

int clampRow(int row)
{
    return qBound(1, row, FareTableRows);
}

RouteSession::RouteSession(QObject* parent) : QObject(parent) {}

int RouteSession::lastUsableRow() const
{
    return qBound(0, int(loadedRows_), FareTableRows);
}

const FareRecord& RouteSession::row(int n) const
{
    checkIndex(n, 1, FareTableRows);
    return table_[n - 1];
}

FareRecord& RouteSession::mutableRow(int n)
{
    checkIndex(n, 1, FareTableRows);
    return table_[n - 1];
}

void RouteSession::renameStop(int n, const QString& name)
{
    mutableRow(n).stopName = name;
}

void RouteSession::clearTable()
{
    table_.fill(FareRecord{});
    loadedRows_ = 0;
}

std::optional<FareCellError> RouteSession::setFareCell(int row, int cell, const QString& value)
{
    if (!inRange(row, 1, FareTableRows) || !inRange(cell, 1, FareColumnCount + 2))
        return FareCellError::SubscriptOutOfRange;
    if (cell == 1) {
        mutableRow(row).stopName = value;
        return std::nullopt;
    }
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        return FareCellError::TypeMismatch;
    const std::optional<qint16> fitted = toInt16(number);
    if (!fitted)
        return FareCellError::Overflow;
    return setFareCell(row, cell, int(*fitted));
}

std::optional<FareCellError> RouteSession::setFareCell(int row, int cell, int value)
{
    if (!inRange(row, 1, FareTableRows) || !inRange(cell, 1, FareColumnCount + 2))
        return FareCellError::SubscriptOutOfRange;
    FareRecord& record = mutableRow(row);
    if (cell == 1) {
        record.stopName = QString::number(value);
        return std::nullopt;
    }
    const std::optional<qint16> fitted = toInt16(value);
    if (!fitted)
        return FareCellError::Overflow;
    if (cell == 2)
        record.ticketNo = *fitted;
    else
        record.columns[cell - 3] = *fitted;
    return std::nullopt;
}

void RouteSession::enterRoute(const QString& routeText, const QString& sectionText)
{
    routeText_ = routeText;
    section_ = normaliseSection(sectionText);
    routeNo_ = routeNoFromText(routeText_);
    emit routeEntered();
}

std::optional<RouteLoadError> RouteSession::loadFareData(const QString& folderText)
{
    // Files copied from Windows may differ in letter case ("12.HY3").
    const QString path = platform::findFileIgnoringCase(hy3::filePath(folderText, routeNo_));
    const qint16 stopBefore = stopIndex_;
    std::optional<RouteLoadError> error = readFareFile(folderText, path);
    if (!error)
        emit fareDataLoaded();
    // A route too long for the table moved the stop as well, before it was refused.
    if (stopIndex_ != stopBefore)
        emit stopIndexChanged(stopIndex_);
    return error;
}

std::optional<RouteLoadError> RouteSession::readFareFile(const QString& folderText,
                                                         const QString& path)
{
    auto opened = hy3::openExisting(path);
    if (!opened) {
        if (opened.error().kind == formats::FileErrorKind::Missing)
            return loadError(RouteLoadErrorKind::NoFile, path,
                             triedFileDetails(folderText, path, true));
        return readFailure(path, triedFileDetails(folderText, path, false), opened.error().number);
    }
    // A CSV or a picture under the fare file's name fails with one of the fixed messages; the
    // details say what the file really is.
    const std::unique_ptr<QFile> file = std::move(*opened);
    const QString details = withNotFareDataReason(triedFileDetails(folderText, path, false), *file);
    const formats::FileResult<qint16> count = hy3::readCount(*file);
    if (!count)
        return readFailure(path, details, count.error().number);
    recordCount_ = *count;
    if (recordCount_ == 0)
        return loadError(RouteLoadErrorKind::NoRecords, path, details);
    if (recordCount_ - 1 < section_)
        return loadError(RouteLoadErrorKind::SectionTooLarge, path, details);
    // A section never set (0) would put the stop before row 1.
    stopIndex_ = static_cast<qint16>(qMax(section_ - 1, 0));
    const auto records = readRecords(*file, recordCount_);
    file->close();
    if (!records)
        return readFailure(path, details, records.error().number);
    fillTable(*records);
    // The table ends at row 301: a longer route keeps its first 301 stops and is refused.
    if (int(records->size()) > FareTableRows)
        return readFailure(path, details, ErrorNumber::SubscriptOutOfRange);
    return std::nullopt;
}

void RouteSession::fillTable(const std::vector<hy3::Record>& records)
{
    clearTable();
    const int rows = qMin(int(records.size()), FareTableRows);
    for (int row = 1; row <= rows; ++row) {
        const hy3::Record& record = records[size_t(row - 1)];
        FareRecord& target = mutableRow(row);
        target.stopName = platform::fromCp932(record.name);
        target.ticketNo = record.ticketNo;
        target.columns = record.columns;
    }
    loadedRows_ = static_cast<qint16>(rows);
}

bool RouteSession::step(StepDirection direction)
{
    if (direction == StepDirection::Back) {
        if (stopIndex_ <= 0)
            return false;
        --stopIndex_;
    } else {
        // The last stop of the route on display, which a refused file leaves there.
        if (stopIndex_ >= lastUsableRow() - 1)
            return false;
        ++stopIndex_;
    }
    emit stopIndexChanged(stopIndex_);
    return true;
}

void RouteSession::setStopIndex(int index)
{
    const auto bounded = static_cast<qint16>(qBound(0, index, qMax(lastUsableRow() - 1, 0)));
    if (bounded == stopIndex_)
        return;
    stopIndex_ = bounded;
    emit stopIndexChanged(stopIndex_);
}

bool RouteSession::setDisplayCleared(bool on)
{
    if (on == displayCleared_)
        return false;
    displayCleared_ = on;
    emit displayClearedChanged(on);
    return true;
}

} // namespace core
