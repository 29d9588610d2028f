#include "options/optiontexts.h"

#include "dialogs/pickers.h"
#include "tickets/ticketplugin.h"

namespace
{

QString yesNo(bool supported)
{
    return supported ? QStringLiteral("---> 可能") : QStringLiteral("---> 不可");
}

} // namespace

QString numberWithSignBlank(int n)
{
    return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n);
}

QStringList ticketNumberModeItems()
{
    struct Entry {
        const char16_t* pattern;
        int last;
    };
    static const Entry entries[] = {
        {u"1,2,3...", 12},           {u"0,1,2...", 11},           {u"「なし」、1,2...", 11},
        {u"「なし」、2,3...", 12},   {u"「無券」、1,2...", 11},   {u"「無券」、2,3...", 12},
        {u"「券なし」、1,2...", 11}, {u"「券なし」、2,3...", 12}, {u"「券無し」、1,2...", 11},
        {u"「券無し」、2,3...", 12}, {u"(無地)、1,2...", 11},     {u"(無地)、2,3...", 12},
    };
    QStringList items;
    for (const Entry& e : entries)
        items << QString::fromUtf16(e.pattern) + numberWithSignBlank(e.last);
    items[0] += QStringLiteral(" （既定の表示）");
    return items;
}

QStringList stopNameFontItems()
{
    return {QStringLiteral("ゴシック体"), QStringLiteral("明朝体"),
            QStringLiteral("漢字はゴシック、それ以外は明朝"),
            QStringLiteral("漢字は明朝、それ以外はゴシック"),
            QStringLiteral("英数字はゴシック、それ以外は明朝")};
}

QStringList nextStopFontItems()
{
    return {QStringLiteral("すべてゴシック体"), QStringLiteral("「は」だけ明朝体"),
            QStringLiteral("すべて明朝体"), QStringLiteral("「は」だけゴシック体")};
}

QStringList nextStopModeItems()
{
    return {QStringLiteral("「次は」表示なし"), QStringLiteral("「次は」を表示（「は」が小さい）"),
            QStringLiteral("「次は」を表示（同じ大きさ）")};
}

QStringList numberItems(int last)
{
    QStringList items;
    for (int n = 1; n <= last; ++n)
        items << QString::number(n);
    return items;
}

QStringList pluginPropertyLines(const PluginInfo& info)
{
    const auto n = [&](int i) { return QString::number(info[i]); };
    QStringList lines;
    lines << QStringLiteral("日付の印字 ") + yesNo(info[PluginInfo::CanPrintDate] == 1);
    lines << QStringLiteral("時刻の印字 ") + yesNo(info[PluginInfo::CanPrintTime] == 1);
    lines << QStringLiteral("系統番号の印字 ") + yesNo(info[PluginInfo::CanPrintRoute] == 1);
    lines << QStringLiteral("停名の印字 ") + yesNo(info[PluginInfo::CanPrintStopName] == 1);
    lines << QStringLiteral("バーコード印字 ") + yesNo(info[PluginInfo::CanPrintBarcode] == 1);
    if (info[PluginInfo::CanPrintBarcode] == 1) {
        lines << QStringLiteral("バーコード本数 ---> ") + n(PluginInfo::BarcodeCount);
        lines << QStringLiteral("バーコード系統方式 ") +
                     (info[PluginInfo::BarcodeRouteMode] == 1
                          ? QStringLiteral("---> 連番式")
                          : QStringLiteral("---> 系統番号＋往復フラグ"));
        lines << QStringLiteral("設定可能な系統範囲 ") + QStringLiteral("---> 1 ～ ") +
                     n(PluginInfo::RouteMax);
        lines << QStringLiteral("停留所認識範囲 ---> ") + n(PluginInfo::StopRangeFrom) +
                     QStringLiteral(" ～ ") + n(PluginInfo::StopRangeTo);
    }
    lines << QStringLiteral("社名切り替え:") + yesNo(info[PluginInfo::CompanySwitch] >= 1);
    return lines;
}

QString fixedDateText(int year, int month, int day)
{
    return QString::number(year) + QLatin1Char('/') +
           QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')) + QLatin1Char('/') +
           QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
}

QString fixedDateText(const QDate& date)
{
    return fixedDateText(date.year(), date.month(), date.day());
}

QByteArray soundFilter()
{
    return pickerFilter({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav"),
                         QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3"),
                         QStringLiteral("MIDIシーケンス(*.mid)"), QStringLiteral("*.mid")});
}

QByteArray panelPictureFilter()
{
    return pickerFilter({QStringLiteral("ビットマップ(*.bmp)"), QStringLiteral("*.bmp"),
                         QStringLiteral("GIF画像(*.gif)"), QStringLiteral("*.gif"),
                         QStringLiteral("JPEG画像(*.jpg)"), QStringLiteral("*.jpg")});
}

QByteArray pluginFilter()
{
    return pickerFilter({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")});
}
