#include "panelpicture.h"

#include "platform/runtimeerror.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace backlight
{

namespace
{

bool isPanelFormat(const QByteArray& format)
{
    return format == "bmp" || format == "gif" || format == "jpeg" || format == "jpg";
}

} // namespace

QImage loadPanelPicture(const QString& path)
{
    using platform::RuntimeError;
    namespace ErrorNumber = platform::ErrorNumber;

    const QFileInfo info(path);
    if (!info.exists())
        throw RuntimeError(ErrorNumber::FileNotFound);
    // Folders, pipes and devices are no pictures; a pipe would block the reader for good.
    if (!info.isFile() || !info.isReadable())
        throw RuntimeError(ErrorNumber::PathFileAccess);

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!isPanelFormat(reader.format()))
        throw RuntimeError(ErrorNumber::InvalidPicture);
    QImage picture = reader.read();
    if (picture.isNull()) {
        switch (reader.error()) {
        case QImageReader::FileNotFoundError:
            throw RuntimeError(ErrorNumber::FileNotFound);
        case QImageReader::DeviceError:
            throw RuntimeError(ErrorNumber::DeviceIo);
        default:
            throw RuntimeError(ErrorNumber::InvalidPicture);
        }
    }
    return picture;
}

QPixmap fitToPanel(const QImage& picture, const QSize& panel, const QColor& surround)
{
    QPixmap shown(panel);
    shown.fill(surround);
    QPainter painter(&shown);
    painter.drawImage(0, 0, picture);
    return shown;
}

QString errorMessage(int number)
{
    QString detail;
    switch (number) {
    case 7:
    case 28:
    case 51:
        detail = QStringLiteral("　内部的なエラーです。きりまど商会へ報告してください。エラー場所："
                                "frmCtl.Option4_Click()");
        break;
    case 53:
    case 75:
    case 76:
        detail = QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
        break;
    case 57:
    case 68:
        detail = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
        break;
    case 481:
        detail = QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
        break;
    default:
        break;
    }
    return QStringLiteral("エラーです。\r\n\r\nエラーコード：") + QString::number(number) + detail;
}

} // namespace backlight
