#include "runtimeerror.h"

#include <cerrno>

namespace platform
{

QString errorDescription(int number)
{
    switch (number) {
    case ErrorNumber::InvalidCall:
        return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case ErrorNumber::Overflow:
        return QStringLiteral("オーバーフローしました。");
    case ErrorNumber::OutOfMemory:
        return QStringLiteral("メモリが不足しています。");
    case ErrorNumber::SubscriptOutOfRange:
        return QStringLiteral("インデックスが有効範囲にありません。");
    case ErrorNumber::TypeMismatch:
        return QStringLiteral("型が一致しません。");
    case ErrorNumber::OutOfStack:
        return QStringLiteral("スタック領域が不足しています。");
    case ErrorNumber::InternalError:
        return QStringLiteral("内部エラーです。");
    case ErrorNumber::BadFileName:
        return QStringLiteral("ファイル名または番号が不正です。");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case ErrorNumber::FileTooLarge:
        return QStringLiteral("ファイルが大きすぎます。");
    case ErrorNumber::FileAlreadyOpen:
        return QStringLiteral("ファイルは既に開かれています。");
    case ErrorNumber::DeviceIo:
        return QStringLiteral("デバイス I/O エラーです。");
    case ErrorNumber::DiskFull:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case ErrorNumber::InputPastEnd:
        return QStringLiteral("ファイルにこれ以上データがありません。");
    case ErrorNumber::TooManyFiles:
        return QStringLiteral("ファイルが多すぎます。");
    case ErrorNumber::DeviceUnavailable:
        return QStringLiteral("デバイスが準備されていません。");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("書き込みできません。");
    case ErrorNumber::DiskNotReady:
        return QStringLiteral("ディスクが準備されていません。");
    case ErrorNumber::PathFileAccess:
        return QStringLiteral("パス名が無効です。");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("パスが見つかりません。");
    case ErrorNumber::InvalidPropertyValue:
        return QStringLiteral("プロパティの値が不正です。");
    case ErrorNumber::InvalidPicture:
        return QStringLiteral("ピクチャが不正です。");
    default:
        return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}

int errorNumberFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return ErrorNumber::FileNotFound;
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    case EISDIR:
        return ErrorNumber::PathFileAccess;
    case ENAMETOOLONG:
    case EINVAL:
        return ErrorNumber::BadFileName;
    case ENOSPC:
    case EDQUOT:
        return ErrorNumber::DiskFull;
    case EMFILE:
    case ENFILE:
        return ErrorNumber::TooManyFiles;
    case ENXIO:
    case ENODEV:
        return ErrorNumber::DeviceUnavailable;
    case ENOMEM:
        return ErrorNumber::OutOfMemory;
    default:
        return ErrorNumber::DeviceIo;
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description)
{
}

} // namespace platform
