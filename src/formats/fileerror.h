#pragma once

#include <QString>
#include <utility>
#include <variant>

// What the readers of users' files return when a file cannot be used: a value, never an
// exception, so that each caller decides how to tell the user (a message box, a file note,
// a line on the error stream).
namespace formats
{

enum class FileErrorKind {
    Missing,    // no file of that name
    NoFolder,   // the folder it should be in does not exist
    BadName,    // a name no file can have (empty, or with a NUL)
    NotAFile,   // a folder, pipe or device
    Unreadable, // the system refused to open or read it
    TooLarge,   // more than the reader takes
    Malformed,  // its contents are not what the format holds
    Unwritable, // records the format cannot hold (too many, a name too long)
};

struct FileError {
    FileErrorKind kind = FileErrorKind::Malformed;
    int number = 0; // the runtime error number the messages carry
    QString file;   // the path as given to the reader; empty for bytes already read
    int line = 0;   // from 1; 0 when the fault concerns the whole file
    QString reason; // for the user; empty when the number's description says it all
    int column = 0; // field number of a table's line, from 1; 0 when the line as a whole is meant

    // "<line>行目 <column>列目: <reason>", "<line>行目: <reason>", the reason alone, or the
    // number's description when there is no reason.
    QString description() const;

    bool operator==(const FileError&) const = default;
};

// A reader's result: the value, or why there is none.
template <typename T> class FileResult
{
public:
    FileResult(T value) : state_(std::move(value)) {}
    FileResult(FileError error) : state_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T& value() { return std::get<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only when not ok().
    const FileError& error() const { return std::get<FileError>(state_); }

private:
    std::variant<T, FileError> state_;
};

} // namespace formats
