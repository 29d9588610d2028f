#include "bytestring.h"

int byteLength(const QByteArray& bytes)
{
    return static_cast<int>(bytes.size());
}

QByteArray byteSlice(const QByteArray& bytes, int start, int count)
{
    if (start < 1 || count <= 0 || start > bytes.size())
        return {};
    return bytes.mid(start - 1, count);
}
