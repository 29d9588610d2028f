#include "formats/ziplibrary.h"

#include <QLibrary>

namespace formats
{

bool ZipLibrary::load(const QString& name, int majorVersion)
{
    QLibrary library(name, majorVersion);
    if (!library.load())
        return false;
    bool complete = true;
#define FARE_RESOLVE_ZIP_FUNCTION(fn)                                                              \
    fn = reinterpret_cast<decltype(&::fn)>(library.resolve(#fn));                                  \
    complete = complete && fn != nullptr;
    FARE_LIBZIP_FUNCTIONS(FARE_RESOLVE_ZIP_FUNCTION)
#undef FARE_RESOLVE_ZIP_FUNCTION
    if (!complete)
        *this = ZipLibrary();
    return complete;
}

QString zipLibraryMissingReason()
{
    return QStringLiteral("zip ファイルを読むためのライブラリ libzip (Debian のパッケージ "
                          "libzip4) が見つかりません。展開したフォルダーなら読めます");
}

} // namespace formats
