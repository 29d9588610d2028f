#pragma once

#include "core/modes.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace hy3
{
struct Record;
}

// The loaded route: the fare table and the route state that goes with it. One route is loaded
// at a time; the control panel enters it, steps through it and clears the display over it.
namespace core
{

inline constexpr int FareTableRows = 301;
inline constexpr int FareColumnCount = 150;
inline constexpr int MaxSection = 300;

// One stop of the route, in travel order.
struct FareRecord {
    QString stopName;
    qint16 ticketNo = 0;
    std::array<qint16, FareColumnCount> columns{}; // column(1) is columns[0]

    // Data column 1..150; any other number is a caller's fault and raises
    // platform::RuntimeError(9).
    qint16& column(int i);
    qint16 column(int i) const;
};

// Why one value did not go into the fare table; the numbers are the runtime errors the
// Windows program raised for it.
enum class FareCellError {
    Overflow = 6,            // a number that does not fit 16 bits
    SubscriptOutOfRange = 9, // a row outside 1..301 or a cell outside 1..152
    TypeMismatch = 13,       // a text that is no number, for a numeric cell
};

// Why a route's fare data was refused.
enum class RouteLoadErrorKind {
    NoFile,          // "<route>.hy3" exists under no letter case
    NoRecords,       // its count is 0
    SectionTooLarge, // the section is not below the count (count 1 or negative included)
    ReadFailed,      // any other error: a missing folder, more than 301 records, ...
};

struct RouteLoadError {
    RouteLoadErrorKind kind = RouteLoadErrorKind::ReadFailed;
    QString file;             // the file tried, absolute and with native separators
    QString details;          // the lines the message box shows under its text
    int errorNumber = 0;      // ReadFailed: the runtime error number
    QString errorDescription; // ReadFailed: its description
};

// The text a message box shows for a refused route.
QString routeLoadMessage(const RouteLoadError& error);

// The section as entered ("" counts as 0), rounded, then kept within 1..300.
qint16 normaliseSection(const QString& text);

// The decimal number the route text starts with, without sign or leading zeros; "0" when it
// has none ("00012" gives "12", "" gives "0"). Only digits ever reach a file name.
QString routeNoFromText(const QString& text);

// A row number kept within the table, 1..301.
int clampRow(int row);

// The route session: the 301-row fare table, the route as entered, its section, the count of
// the last fare file read, the rows loaded and the current stop. Opens no boxes: loading
// returns its refusal as a value and the caller tells the user.
class RouteSession : public QObject
{
    Q_OBJECT
public:
    explicit RouteSession(QObject* parent = nullptr);

    const QString& routeText() const { return routeText_; }
    const QString& routeNo() const { return routeNo_; }
    qint16 section() const { return section_; }
    qint16 recordCount() const { return recordCount_; }
    // The rows the table holds from the last load that filled it, 0..301. A refused file
    // (no records, section too large, missing) leaves the route on display and this with it.
    qint16 loadedRows() const { return loadedRows_; }
    // 0-based; the current stop is row stopIndex() + 1.
    qint16 stopIndex() const { return stopIndex_; }
    // The current stop's row, kept within the table.
    int currentRow() const { return clampRow(stopIndex_ + 1); }
    // The last row that stepping may reach: the last stop of the route the table holds. After
    // a refused file recordCount holds that file's count while the previous route stays on
    // display, so stepping goes by the rows loaded, not by the count.
    int lastUsableRow() const;

    // Row 1..301 of the fare table; any other row is a caller's fault and raises
    // platform::RuntimeError(9).
    const FareRecord& row(int n) const;
    // A stop renamed in place, as the ticket plug-in may do; row as for row().
    void renameStop(int n, const QString& name);

    // Every row back to name "" and all numbers 0; no rows loaded.
    void clearTable();
    // Stores one value: cell 1 the stop name, cell 2 the ticket number, cells 3..152 data
    // columns 1..150. On an error nothing is stored.
    std::optional<FareCellError> setFareCell(int row, int cell, const QString& value);
    std::optional<FareCellError> setFareCell(int row, int cell, int value);

    // The route as entered: its text (leading zeros kept), the number that names its files
    // and the normalised section. Nothing is loaded yet.
    void enterRoute(const QString& routeText, const QString& sectionText);
    // Loads "<routeNo>.hy3" from the folder into the table for the entered section (a section
    // of 0 counts as 1). When that name does not exist, a file whose name differs only in
    // letter case is read. On success stopIndex = section - 1, rows beyond the count are empty
    // and fareDataLoaded and stopIndexChanged are emitted. A refusal leaves:
    //  - NoFile: nothing changed;
    //  - NoRecords, SectionTooLarge: recordCount holds the file's count, the table and the
    //    stop index keep the previous route;
    //  - ReadFailed: with more than 301 records recordCount holds the count and the table the
    //    first 301.
    // A file shorter than its count yields empty rows for the records it lacks (a record cut
    // off inside keeps the fields it holds in full). The file is always closed.
    std::optional<RouteLoadError> loadFareData(const QString& folderText);

    // One stop back or forward within the usable rows; returns whether the stop moved.
    bool step(StepDirection direction);
    // The stop index set directly, kept within the usable rows (0 when none are loaded).
    void setStopIndex(int index);

    // Display clear ("表示消去"): while on, the display shows nothing of the route. Returns
    // whether the state changed.
    bool setDisplayCleared(bool on);
    bool displayCleared() const { return displayCleared_; }

signals:
    void routeEntered();
    void fareDataLoaded();
    void stopIndexChanged(int stopIndex);
    void displayClearedChanged(bool cleared);

private:
    FareRecord& mutableRow(int n);
    std::optional<RouteLoadError> readFareFile(const QString& folderText, const QString& path);
    // Rows 1.. from the records, at most the table's; the rest of the table empty.
    void fillTable(const std::vector<hy3::Record>& records);

    std::array<FareRecord, FareTableRows> table_{};
    QString routeText_;
    QString routeNo_ = QStringLiteral("0");
    qint16 section_ = 0;
    qint16 recordCount_ = 0;
    qint16 stopIndex_ = 0;
    qint16 loadedRows_ = 0;
    bool displayCleared_ = false;
};

} // namespace core
