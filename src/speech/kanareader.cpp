#include "speech/kanareader.h"

#include "speech/voice.h"

#include <QDir>
#include <QStringList>
#include <mecab.h>

namespace speech
{

namespace
{

constexpr const char* kDictionaries[] = {"/var/lib/mecab/dic/ipadic-utf8",
                                         "/usr/lib/x86_64-linux-gnu/mecab/dic/ipadic-utf8"};

// Fields of a dictionary entry: part of speech (6 fields), base form, reading, pronunciation.
constexpr int kReadingField = 7;
constexpr int kPronunciationField = 8;

const char* const kDigits[] = {"",   "イチ", "ニ",   "サン", "ヨン",
                               "ゴ", "ロク", "ナナ", "ハチ", "キュウ"};
const char* const kDigitsAlone[] = {"ゼロ", "イチ", "ニ",   "サン", "ヨン",
                                    "ゴ",   "ロク", "ナナ", "ハチ", "キュウ"};

QString thousands(int d)
{
    switch (d) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("セン");
    case 3:
        return QStringLiteral("サンゼン");
    case 8:
        return QStringLiteral("ハッセン");
    default:
        return QString::fromUtf8(kDigits[d]) + QStringLiteral("セン");
    }
}

QString hundreds(int d)
{
    switch (d) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("ヒャク");
    case 3:
        return QStringLiteral("サンビャク");
    case 6:
        return QStringLiteral("ロッピャク");
    case 8:
        return QStringLiteral("ハッピャク");
    default:
        return QString::fromUtf8(kDigits[d]) + QStringLiteral("ヒャク");
    }
}

QString tens(int d)
{
    if (d == 0)
        return {};
    return (d == 1 ? QString() : QString::fromUtf8(kDigits[d])) + QStringLiteral("ジュウ");
}

// 1..9999
QString groupReading(int n)
{
    return thousands(n / 1000) + hundreds(n / 100 % 10) + tens(n / 10 % 10) +
           QString::fromUtf8(kDigits[n % 10]);
}

int digitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'０' && c <= u'９')
        return c.unicode() - u'０';
    return -1;
}

QString digitByDigit(const QString& digits)
{
    QString out;
    for (QChar c : digits)
        out += QString::fromUtf8(kDigitsAlone[digitValue(c)]);
    return out;
}

QString readDigits(const QString& digits)
{
    // Leading zeros and very long runs are codes rather than amounts: read digit by digit.
    if ((digits.size() > 1 && digitValue(digits[0]) == 0) || digits.size() > 16)
        return digitByDigit(digits);
    qulonglong value = 0;
    for (QChar c : digits)
        value = value * 10 + qulonglong(digitValue(c));
    return numberReading(value);
}

} // namespace

QString numberReading(qulonglong value)
{
    if (value == 0)
        return QStringLiteral("ゼロ");
    static const char* const kUnits[] = {"", "マン", "オク", "チョウ", "ケイ"};
    QString out;
    for (int unit = 4; unit >= 0; --unit) {
        qulonglong scale = 1;
        for (int i = 0; i < unit; ++i)
            scale *= 10000;
        const int group = int(value / scale % 10000);
        if (group == 0)
            continue;
        if (unit == 3 && group == 1)
            out += QStringLiteral("イッチョウ");
        else if (unit > 0 && group == 1)
            out += QStringLiteral("イチ") + QString::fromUtf8(kUnits[unit]);
        else
            out += groupReading(group) + QString::fromUtf8(kUnits[unit]);
    }
    return out;
}

QString spellNumbers(const QString& text)
{
    QString out;
    QString run;
    for (QChar c : text) {
        if (digitValue(c) >= 0) {
            run += c;
            continue;
        }
        if (!run.isEmpty())
            out += readDigits(run);
        run.clear();
        out += c;
    }
    if (!run.isEmpty())
        out += readDigits(run);
    return out;
}

struct KanaReader::Tagger {
    mecab_t* mecab = nullptr;
    ~Tagger()
    {
        if (mecab)
            mecab_destroy(mecab);
    }
};

KanaReader::KanaReader(std::unique_ptr<Tagger> tagger) : tagger_(std::move(tagger)) {}
KanaReader::~KanaReader() = default;

std::unique_ptr<KanaReader> KanaReader::create(QString* error)
{
    auto tagger = std::make_unique<Tagger>();
    for (const char* dir : kDictionaries) {
        if (!QDir(QString::fromUtf8(dir)).exists())
            continue;
        const QByteArray arg = QByteArray("-d ") + dir;
        tagger->mecab = mecab_new2(arg.constData());
        if (tagger->mecab)
            break;
    }
    if (!tagger->mecab) {
        if (error)
            *error = QStringLiteral("no UTF-8 Japanese dictionary for MeCab");
        return nullptr;
    }
    return std::unique_ptr<KanaReader>(new KanaReader(std::move(tagger)));
}

QString KanaReader::reading(const QString& text)
{
    // MeCab's lattice grows with its input: a long text is read piece by piece.
    QStringList pieces;
    for (const QString& piece : cutLongClause(text))
        pieces << readingOfPiece(piece);
    return pieces.join(u' ');
}

QString KanaReader::readingOfPiece(const QString& text)
{
    const QByteArray utf8 = spellNumbers(withAnnouncementReadings(text)).toUtf8();
    const mecab_node_t* node =
        mecab_sparse_tonode2(tagger_->mecab, utf8.constData(), size_t(utf8.size()));
    QString out;
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        const QString surface = QString::fromUtf8(node->surface, int(node->length));
        const QStringList fields = QString::fromUtf8(node->feature).split(u',');
        QString spoken = surface;
        if (fields.size() > kPronunciationField && fields[kPronunciationField] != u"*")
            spoken = fields[kPronunciationField];
        else if (fields.size() > kReadingField && fields[kReadingField] != u"*")
            spoken = fields[kReadingField];
        // Blanks between words are lost in the nodes; keep one so Latin words stay apart.
        if (node->rlength > node->length && !out.isEmpty())
            out += u' ';
        out += spoken;
    }
    return out;
}

} // namespace speech
