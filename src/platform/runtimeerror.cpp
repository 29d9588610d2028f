#include "runtimeerror.h"

#include <cerrno>

namespace platform
{

QString errorDescription(int number)
{
    switch (number) {
    case RtErr::InvalidCall:
        return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case RtErr::Overflow:
        return QStringLiteral("オーバーフローしました。");
    case RtErr::OutOfMemory:
        return QStringLiteral("メモリが不足しています。");
    case RtErr::SubscriptOutOfRange:
        return QStringLiteral("インデックスが有効範囲にありません。");
    case RtErr::TypeMismatch:
        return QStringLiteral("型が一致しません。");
    case RtErr::OutOfStack:
        return QStringLiteral("スタック領域が不足しています。");
    case RtErr::InternalError:
        return QStringLiteral("内部エラーです。");
    case RtErr::BadFileName:
        return QStringLiteral("ファイル名または番号が不正です。");
    case RtErr::FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case RtErr::BadFileMode:
        return QStringLiteral("ファイル モードが不正です。");
    case RtErr::FileAlreadyOpen:
        return QStringLiteral("ファイルは既に開かれています。");
    case RtErr::DeviceIo:
        return QStringLiteral("デバイス I/O エラーです。");
    case RtErr::DiskFull:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case RtErr::InputPastEnd:
        return QStringLiteral("ファイルにこれ以上データがありません。");
    case RtErr::TooManyFiles:
        return QStringLiteral("ファイルが多すぎます。");
    case RtErr::DeviceUnavailable:
        return QStringLiteral("デバイスが準備されていません。");
    case RtErr::PermissionDenied:
        return QStringLiteral("書き込みできません。");
    case RtErr::DiskNotReady:
        return QStringLiteral("ディスクが準備されていません。");
    case RtErr::PathFileAccess:
        return QStringLiteral("パス名が無効です。");
    case RtErr::PathNotFound:
        return QStringLiteral("パスが見つかりません。");
    case RtErr::InvalidPropertyValue:
        return QStringLiteral("プロパティの値が不正です。");
    case RtErr::InvalidPicture:
        return QStringLiteral("ピクチャが不正です。");
    default:
        return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}

int errorNumberFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return RtErr::FileNotFound;
    case ENOTDIR:
        return RtErr::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return RtErr::PermissionDenied;
    case EISDIR:
        return RtErr::PathFileAccess;
    case ENAMETOOLONG:
    case EINVAL:
        return RtErr::BadFileName;
    case ENOSPC:
    case EDQUOT:
        return RtErr::DiskFull;
    case EMFILE:
    case ENFILE:
        return RtErr::TooManyFiles;
    case ENXIO:
    case ENODEV:
        return RtErr::DeviceUnavailable;
    case ENOMEM:
        return RtErr::OutOfMemory;
    default:
        return RtErr::DeviceIo;
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description)
{
}

} // namespace platform
