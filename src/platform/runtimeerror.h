#pragma once

#include <QString>
#include <stdexcept>

namespace platform
{

// Runtime error numbers of the Windows program that this system's messages carry.
namespace ErrorNumber
{
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int OutOfStack = 28;
inline constexpr int InternalError = 51;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54;
// The number a file too large to be what it should be is refused with.
inline constexpr int FileTooLarge = BadFileMode;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int TooManyFiles = 67;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPicture = 481;
} // namespace ErrorNumber

// The Japanese description of a runtime error number, as the messages show it.
QString errorDescription(int number);

// The runtime error number for a C errno value met while opening, reading or writing a file.
int errorNumberFromErrno(int err);

// A runtime error carried to the routine whose handler shows it.
class RuntimeError : public std::runtime_error
{
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const QString& description);

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

} // namespace platform
