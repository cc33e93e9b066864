#include "common/pinyin.h"

#include "common/codec.h"

namespace orv {
namespace {

struct Range
{
    char letter;
    int from;
};

// Level-1 characters are ordered by pinyin: each letter starts where the
// previous one ends. 参 (B2CE) reads "shen" and is taken separately.
constexpr Range kLevel1[] = {
    {'A', 0xB0A1}, {'B', 0xB0C5}, {'C', 0xB2C1}, {'D', 0xB4EE}, {'E', 0xB6EA}, {'F', 0xB7A2},
    {'G', 0xB8C1}, {'H', 0xB9FE}, {'J', 0xBBF7}, {'K', 0xBFA6}, {'L', 0xC0AC}, {'M', 0xC2E8},
    {'N', 0xC4C3}, {'O', 0xC5B6}, {'P', 0xC5BE}, {'Q', 0xC6DA}, {'R', 0xC8BB}, {'S', 0xC8F6},
    {'T', 0xCBFA}, {'W', 0xCDDA}, {'X', 0xCEF4}, {'Y', 0xD1B9}, {'Z', 0xD4D1}};

char level1Letter(int code)
{
    if (code == 0xB2CE)
        return 'S';
    char letter = 0;
    for (const Range &r : kLevel1) {
        if (code < r.from)
            break;
        letter = r.letter;
    }
    return letter;
}

bool isTrail(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

QByteArray convert(const QByteArray &text, bool keepExtensionWhole)
{
    QByteArray out;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n - 1) {
        const auto b = static_cast<unsigned char>(text.at(i));
        if (b >= 0xA0) {
            if (char c = PinyinInitial(b, static_cast<unsigned char>(text.at(i + 1))))
                out.append(c);
            i += 2;
        } else if (keepExtensionWhole && b >= 0x81) {
            out.append(text.mid(i, 2));
            i += 2;
        } else {
            out.append(char(b));
            ++i;
        }
    }
    if (i == n - 1)
        out.append(text.at(i));
    return out;
}

} // namespace

char PinyinInitial(unsigned char lead, unsigned char trail)
{
    if (lead < 0xB0 || lead > 0xF7)
        return 0;
    if (lead >= 0xD8) {
        // The extension area of these rows has no entry.
        if (!isTrail(trail))
            return 0;
        return detail::kLevel2Initials[lead - 0xD8][trail - 0xA1];
    }
    if (isTrail(trail))
        return level1Letter(lead * 256 + trail);
    // Outside the GB 2312 cells the row's letter holds only for a row that
    // lies wholly within one letter.
    const char first = level1Letter(lead * 256 + 0xA1);
    for (int t = 0xA2; t <= 0xFE; ++t) {
        if (level1Letter(lead * 256 + t) != first)
            return 0;
    }
    return first;
}

QByteArray ChnToPY(const QByteArray &gbkText) { return convert(gbkText, false); }

QString ChnToPY(const QString &text) { return fromGbk(convert(toGbk(text), true)); }

bool Is_Numeric(const QString &text)
{
    auto isBlankOrControl = [](QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7F; };
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlankOrControl(text.at(from)))
        ++from;
    while (to > from && isBlankOrControl(text.at(to - 1)))
        --to;
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = text.at(i);
        if (c != u'.' && (c < u'0' || c > u'9'))
            return false;
    }
    return true;
}

} // namespace orv
