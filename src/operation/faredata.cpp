#include "operation/faredata.h"

#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/filelookup.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <vector>

namespace
{

using platform::RuntimeError;
namespace ErrorNumber = platform::ErrorNumber;

std::array<FareRecord, FareTableRows>& table()
{
    static std::array<FareRecord, FareTableRows> rows;
    return rows;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

void checkIndex(int index, int first, int last)
{
    if (index < first || index > last)
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
}

qint16 toInt16(double value)
{
    const double rounded = std::nearbyint(value); // halves to even, as the Windows program did
    if (!(rounded >= std::numeric_limits<qint16>::min() &&
          rounded <= std::numeric_limits<qint16>::max()))
        throw RuntimeError(ErrorNumber::Overflow);
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

// The records the copy step can use: it fails at row 302, so no more are read.
std::vector<hy3::Record> readRecords(QIODevice& in, int count)
{
    std::vector<hy3::Record> records(qMin(count, FareTableRows + 1));
    for (hy3::Record& record : records)
        hy3::readRecord(in, record);
    return records;
}

// The message's details: the file tried, in full, so that the user sees where the program
// looked, also when an empty folder setting sent it to the working folder.
QString triedFileDetails(const QString& folderText, const QString& path, bool missing)
{
    QStringList lines{QStringLiteral("ファイル: %1")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))};
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

bool fail(const QString& message, const QString& details)
{
    platform::showMessageBox(message, platform::MessageBox::OKOnly, QString(), nullptr, details);
    return false;
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

RouteState& route()
{
    static RouteState state;
    return state;
}

FareRecord& fareRow(int row)
{
    checkIndex(row, 1, FareTableRows);
    return table()[row - 1];
}

void clearFareTable()
{
    table().fill(FareRecord{});
    route().loadedRows = 0;
}

void setFareCell(int row, int cell, const QString& value)
{
    checkIndex(row, 1, FareTableRows);
    checkIndex(cell, 1, FareColumnCount + 2);
    if (cell == 1) {
        fareRow(row).stopName = value;
        return;
    }
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        throw RuntimeError(ErrorNumber::TypeMismatch);
    setFareCell(row, cell, static_cast<int>(toInt16(number)));
}

void setFareCell(int row, int cell, int value)
{
    checkIndex(row, 1, FareTableRows);
    checkIndex(cell, 1, FareColumnCount + 2);
    FareRecord& record = fareRow(row);
    if (cell == 1)
        record.stopName = QString::number(value);
    else if (cell == 2)
        record.ticketNo = toInt16(value);
    else
        record.columns[cell - 3] = toInt16(value);
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

bool loadFareFile(const QString& folderText)
{
    RouteState& state = route();
    // Files copied from Windows may differ in letter case ("12.HY3").
    const QString path = platform::findFileIgnoringCase(hy3::filePath(folderText, state.routeNo));
    QString details = triedFileDetails(folderText, path, false);
    try {
        std::vector<hy3::Record> records;
        {
            const auto file = hy3::openExisting(path);
            // A CSV or a picture under the fare file's name fails with one of the fixed
            // messages; the details say what the file really is.
            details = withNotFareDataReason(details, *file);
            state.recordCount = hy3::readCount(*file);
            if (state.recordCount == 0)
                return fail(hy3::messageNoRecords(), details);
            if (state.recordCount - 1 < state.section)
                return fail(hy3::messageSectionTooLarge(), details);
            // A section never set (0) would put the stop before row 1.
            state.stopIndex = static_cast<qint16>(qMax(state.section - 1, 0));
            records = readRecords(*file, state.recordCount);
        }
        clearFareTable();
        int row = 1;
        for (const hy3::Record& record : records) {
            setFareCell(row, 1, platform::fromCp932(record.name));
            setFareCell(row, 2, int(record.ticketNo));
            for (int k = 3; k <= FareColumnCount + 2; ++k)
                setFareCell(row, k, int(record.columns[k - 3]));
            state.loadedRows = static_cast<qint16>(row);
            ++row;
        }
        return true;
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::FileNotFound)
            return fail(hy3::messageNoFile(), triedFileDetails(folderText, path, true));
        return fail(error.description(), details);
    }
}

int lastUsableRow()
{
    return qBound(0, int(route().loadedRows), FareTableRows);
}

int clampRow(int row)
{
    return qBound(1, row, FareTableRows);
}
