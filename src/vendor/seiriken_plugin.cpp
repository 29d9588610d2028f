#include "vendor/seiriken_plugin.h"

int QV4_GetPlgInfo(QByteArray&, PlgInfo& info)
{
    info.clear();
    return 0;
}

void QV4_SetPlgComment(QByteArray&, QWidget*) {}

void QV4_SetCorpAddList(QByteArray&, QComboBox*) {}

void QV4_DrawSeiriken(QByteArray&, QPaintDevice*, QByteArray&, QByteArray&, QByteArray&,
                      std::int32_t, std::int16_t, std::int16_t, std::int16_t)
{
}
