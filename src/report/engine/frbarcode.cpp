#include "report/engine/frbarcode.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

const TfrBarcodeTypeInfo BarcodeTypes[frBarcodeTypeCount] = {
    {"2_5_interleaved", true}, {"2_5_industrial", true}, {"2_5_matrix", true},
    {"Code39", false},         {"Code39 Extended", false}, {"Code128A", false},
    {"Code128B", false},       {"Code128C", true},         {"Code93", false},
    {"Code93 Extended", false}, {"MSI", true},             {"PostNet", true},
    {"Codebar", false},        {"EAN8", true},             {"EAN13", true},
    {"UPC_A", true},           {"UPC_E0", true},           {"UPC_E1", true},
    {"UPC Supp2", true},       {"UPC Supp5", true},        {"EAN128A", false},
    {"EAN128B", false},        {"EAN128C", true},
};

namespace {

// Nearest integer, halves to even; saturates instead of overflowing.
int rnd(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > -2147483648.0))
        return std::numeric_limits<int>::min();
    if (r > 2147483647.0)
        return std::numeric_limits<int>::max();
    return int(r);
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
int digit(QChar c) { return c.unicode() - '0'; }

// 2 of 5: wide (1) / narrow (0) marks of the five elements of each digit.
const char *const kCode25[10] = {"00110", "10001", "01001", "11000", "00101",
                                 "10100", "01100", "00011", "10010", "01010"};

// Code 39: characters in value order (0..42); "*" is start/stop with value 0.
// Nine elements each, bar first; 1 marks a wide element.
const char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
const char *const kCode39[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010", "010010100" /* "*" */};

// Code 93: characters in value order; "[", "]", "{", "}" are the shifts ($), (%), (/), (+).
const char kCode93Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
const char *const kCode93[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};

// Code 128: bar/space widths of the values 0..105.
const char *const kCode128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr int kFnc1 = 102, kStartA = 103, kStartB = 104, kStartC = 105;
const char kCode128Stop[] = "2331112";

// PostNet: 1 marks a full bar, 0 a short one.
const char *const kPostNet[10] = {"11000", "00011", "00101", "00110", "01001",
                                  "01010", "01100", "10001", "10010", "10100"};

// Codabar: seven elements, bar first; 1 marks a wide element.
const char kCodabarChars[] = "0123456789-$:/.+ABCD";
const char *const kCodabar[20] = {"0000011", "0000110", "0001001", "1100000", "0010010",
                                  "1000010", "0100001", "0100100", "0110000", "1001000",
                                  "0001100", "0011000", "1000101", "1010001", "1010100",
                                  "0010101", "0011010", "0101001", "0001011", "0001110"};

// EAN/UPC: module widths of each digit's four elements (L set: space, bar, space, bar).
const char *const kEanWidths[10] = {"3211", "2221", "2122", "1411", "1132",
                                    "1231", "1114", "1312", "1213", "3112"};
// EAN-13 parity of digits 2..7 by the first digit (A = L set, B = G set).
const char *const kEan13Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                      "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
// UPC-E parity by check digit (E = even, G set; o = odd, L set), number system 0.
const char *const kUpcEParity[10] = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                     "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};

QChar spaceOf(int modules) { return QLatin1Char(char('0' + modules - 1)); }
QChar barOf(int modules) { return QLatin1Char(char('5' + modules - 1)); }

QString eanL(int d)
{
    const char *w = kEanWidths[d];
    const QChar e[4] = {spaceOf(w[0] - '0'), barOf(w[1] - '0'), spaceOf(w[2] - '0'), barOf(w[3] - '0')};
    return QString(e, 4);
}
QString eanR(int d)
{
    const char *w = kEanWidths[d];
    const QChar e[4] = {barOf(w[0] - '0'), spaceOf(w[1] - '0'), barOf(w[2] - '0'), spaceOf(w[3] - '0')};
    return QString(e, 4);
}
// The G code is the R code read backwards.
QString eanG(int d)
{
    QString r = eanR(d);
    std::reverse(r.begin(), r.end());
    return r;
}

// Wide/narrow marks to elements, bar first: bars "6"/"5", spaces "1"/"0".
QString marksToElements(const char *marks)
{
    QString r;
    for (int k = 0; marks[k]; ++k) {
        const bool wide = marks[k] == '1';
        if (k % 2 == 0)
            r += QLatin1Char(wide ? '6' : '5');
        else
            r += QLatin1Char(wide ? '1' : '0');
    }
    return r;
}

// Width digits 1..4, bar first, to pattern characters.
QString widthsToElements(const QString &widths)
{
    QString r;
    r.reserve(widths.size());
    for (int i = 0; i < widths.size(); ++i) {
        const int w = digit(widths[i]);
        r += i % 2 == 0 ? barOf(w) : spaceOf(w);
    }
    return r;
}

QString fullAscii(QChar ch, bool code93)
{
    const ushort c = ch.unicode();
    if (c >= 128)
        return {};
    // Code 39 writes its shifts with "$", "%", "/", "+"; Code 93 with its own four shift characters.
    const QChar dollar = QLatin1Char(code93 ? '[' : '$');
    const QChar percent = QLatin1Char(code93 ? ']' : '%');
    const QChar slash = QLatin1Char(code93 ? '{' : '/');
    const QChar plus = QLatin1Char(code93 ? '}' : '+');
    auto pair = [](QChar shift, char letter) { return QString(shift) + QLatin1Char(letter); };
    if (c == 0)
        return pair(percent, 'U');
    if (c <= 26)
        return pair(dollar, char('A' + c - 1));
    if (c <= 31)
        return pair(percent, char('A' + c - 27));
    if (c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
        return QString(ch);
    // Code 93 holds "$", "%", "/" and "+" as data characters of their own.
    if (code93 && (c == '$' || c == '%' || c == '/' || c == '+'))
        return QString(ch);
    if (c >= '!' && c <= '/')
        return pair(slash, char('A' + c - '!'));
    if (c == ':')
        return pair(slash, 'Z');
    if (c >= ';' && c <= '?')
        return pair(percent, char('F' + c - ';'));
    if (c == '@')
        return pair(percent, 'V');
    if (c >= '[' && c <= '_')
        return pair(percent, char('K' + c - '['));
    if (c == '`')
        return pair(percent, 'W');
    if (c >= 'a' && c <= 'z')
        return pair(plus, char('A' + c - 'a'));
    return pair(percent, char('P' + c - '{')); // "{" .. DEL
}

} // namespace

QString Code39FullAscii(QChar c) { return fullAscii(c, false); }
QString Code93FullAscii(QChar c) { return fullAscii(c, true); }

// ---------------------------------------------------------------------------
// Properties

void TfrBarcode::NotifyChange()
{
    if (OnChange)
        OnChange();
}

void TfrBarcode::SetHeight(int v) { if (v != m_height) { m_height = v; NotifyChange(); } }
void TfrBarcode::SetText(const QString &v) { if (v != m_text) { m_text = v; NotifyChange(); } }
void TfrBarcode::SetTop(int v) { if (v != m_top) { m_top = v; NotifyChange(); } }
void TfrBarcode::SetLeft(int v) { if (v != m_left) { m_left = v; NotifyChange(); } }

void TfrBarcode::SetModul(int v)
{
    if (v < 1 || v > 49 || v == m_modul)
        return;
    m_modul = v;
    NotifyChange();
}

void TfrBarcode::SetRatio(double v) { if (v != m_ratio) { m_ratio = v; NotifyChange(); } }
void TfrBarcode::SetTyp(int v) { if (v != m_typ) { m_typ = v; NotifyChange(); } }
void TfrBarcode::SetChecksum(bool v) { if (v != m_checksum) { m_checksum = v; NotifyChange(); } }

void TfrBarcode::SetCheckSumMethod(TfrCheckSumMethod v)
{
    if (v != m_checkSumMethod) {
        m_checkSumMethod = v;
        NotifyChange();
    }
}

void TfrBarcode::SetAngle(double v) { if (v != m_angle) { m_angle = v; NotifyChange(); } }
void TfrBarcode::SetColor(const QColor &v) { if (v != m_color) { m_color = v; NotifyChange(); } }
void TfrBarcode::SetColorBar(const QColor &v) { if (v != m_colorBar) { m_colorBar = v; NotifyChange(); } }

int TfrBarcode::Width()
{
    const QString p = BuildPattern();
    qint64 w = 0;
    for (QChar c : p) {
        int ew, kind;
        ElementProps(c, ew, kind);
        w += ew;
    }
    return int(std::min<qint64>(w, std::numeric_limits<int>::max()));
}

void TfrBarcode::SetWidth(int w)
{
    const int current = Width();
    if (current > 0)
        SetModul(int(qint64(m_modul) * w / current));
}

// ---------------------------------------------------------------------------
// Widths and check digits

void TfrBarcode::BuildModuleWidths()
{
    double lo = 2.0;
    bool clamp = true;
    switch (m_typ) {
    case bcCode_2_5_matrix: lo = 2.25; break;
    case bcCode128A: case bcCode128B: case bcCode128C: case bcCode93: case bcCode93Extended:
    case bcCodeMSI: case bcCodePostNet: case bcCodeEAN128A: case bcCodeEAN128B: case bcCodeEAN128C:
        clamp = false;
        break;
    default: break;
    }
    if (clamp) {
        if (!(m_ratio >= lo))   // also NaN
            SetRatio(lo);
        else if (m_ratio > 3.0)
            SetRatio(3.0);
    }
    const int wide = rnd(m_modul * m_ratio);
    m_widths[0] = m_modul;
    m_widths[1] = wide;
    m_widths[2] = int(qint64(wide) * 3 / 2);
    m_widths[3] = int(std::clamp<qint64>(qint64(wide) * 2, std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max()));
}

QChar TfrBarcode::Modulo10CheckDigit(const QString &digits)
{
    int sum = 0;
    bool three = true;   // the rightmost digit weighs 3
    for (int i = digits.size() - 1; i >= 0; --i) {
        if (!isDigit(digits[i]))
            continue;
        sum += digit(digits[i]) * (three ? 3 : 1);
        three = !three;
    }
    return QLatin1Char(char('0' + (10 - sum % 10) % 10));
}

QChar TfrBarcode::SupplementCheckDigit(const QString &digits)
{
    const int n = int(digits.size());
    int sum = 0;
    for (int i = 0; i < n; ++i)
        if (isDigit(digits[i]))
            sum += digit(digits[i]) * ((n - i) % 2 ? 3 : 9);
    return QLatin1Char(char('0' + sum % 10));
}

QChar TfrBarcode::MsiCheckDigit(const QString &digits)
{
    // Every other digit from the right (the rightmost first) is doubled and its
    // digits summed, the others added as they are; digit by digit, so any length works.
    int sum = 0;
    bool doubled = true;
    for (int i = digits.size() - 1; i >= 0; --i) {
        if (!isDigit(digits[i]))
            continue;
        const int d = digit(digits[i]);
        sum += doubled ? (2 * d) / 10 + (2 * d) % 10 : d;
        doubled = !doubled;
    }
    return QLatin1Char(char('0' + (10 - sum % 10) % 10));
}

QString TfrBarcode::ExpandUpcE(const QString &six, int numberSystem)
{
    const QString s = FitText(six, 6);
    const QString ns = QString::number(numberSystem);
    const QChar last = s[5];
    if (last <= QLatin1Char('2'))
        return ns + s.left(2) + last + QStringLiteral("0000") + s.mid(2, 3);
    if (last == QLatin1Char('3'))
        return ns + s.left(3) + QStringLiteral("00000") + s.mid(3, 2);
    if (last == QLatin1Char('4'))
        return ns + s.left(4) + QStringLiteral("00000") + s.mid(4, 1);
    return ns + s.left(5) + QStringLiteral("0000") + last;
}

QChar TfrBarcode::UpcECheckDigit(const QString &sixDigits, int numberSystem)
{
    return Modulo10CheckDigit(ExpandUpcE(sixDigits, numberSystem));
}

QString TfrBarcode::AppendCheckDigit(const QString &text) const
{
    if (m_checkSumMethod == csmNone)
        return text;
    return text + Modulo10CheckDigit(text);
}

QString TfrBarcode::FitText(const QString &text, int n)
{
    if (text.size() > n)
        return text.left(n);
    return QString(n - text.size(), QLatin1Char('0')) + text;
}

// ---------------------------------------------------------------------------
// Encoders

QString TfrBarcode::Code25Interleaved(const QString &t)
{
    // Digits go in pairs: an odd count gets a leading 0, and Text shows it, so the
    // symbol carries every digit asked for.
    QString data = t;
    if (data.size() % 2) {
        data.prepend(QLatin1Char('0'));
        SetText(data);
    }
    QString r = QStringLiteral("5050");
    for (int i = 0; i + 1 < data.size(); i += 2) {
        const char *a = kCode25[digit(data[i])], *b = kCode25[digit(data[i + 1])];
        for (int k = 0; k < 5; ++k) {
            r += QLatin1Char(a[k] == '1' ? '6' : '5');
            r += QLatin1Char(b[k] == '1' ? '1' : '0');
        }
    }
    return r + QStringLiteral("605");
}

QString TfrBarcode::Code25Industrial(const QString &t) const
{
    QString r = QStringLiteral("606050");
    for (QChar c : t) {
        const char *m = kCode25[digit(c)];
        for (int k = 0; k < 5; ++k)
            r += m[k] == '1' ? QStringLiteral("60") : QStringLiteral("50");
    }
    return r + QStringLiteral("605060");
}

QString TfrBarcode::Code25Matrix(const QString &t) const
{
    QString r = QStringLiteral("705050");
    for (QChar c : t) {
        const char *m = kCode25[digit(c)];
        for (int k = 0; k < 5; ++k) {
            if (k % 2 == 0)
                r += QLatin1Char(m[k] == '1' ? '6' : '5');
            else
                r += QLatin1Char(m[k] == '1' ? '1' : '0');
        }
        r += QLatin1Char('0');
    }
    return r + QStringLiteral("70505");
}

QString TfrBarcode::Code39(const QString &t) const
{
    const QString star = marksToElements(kCode39[43]);
    QString r = star + QLatin1Char('0');
    int sum = 0;
    for (QChar c : t) {
        if (c == QLatin1Char('*')) {
            r += star + QLatin1Char('0');
            continue;
        }
        const char *hit = c.unicode() < 128 ? std::strchr(kCode39Chars, char(c.unicode())) : nullptr;
        if (!hit || c.unicode() == 0)
            continue;   // not a Code 39 character (lower case included)
        const int v = int(hit - kCode39Chars);
        r += marksToElements(kCode39[v]) + QLatin1Char('0');
        sum += v;
    }
    if (m_checksum)
        r += marksToElements(kCode39[sum % 43]) + QLatin1Char('0');
    return r + star;
}

QString TfrBarcode::Code93(const QString &t) const
{
    QString widths = QStringLiteral("111141");
    QList<int> values;
    for (QChar c : t) {
        const char *hit = c.unicode() < 128 && c.unicode() != 0
                              ? std::strchr(kCode93Chars, char(c.unicode())) : nullptr;
        if (!hit)
            throw EfrBarcodeError(QStringLiteral("%1:Code93 bad Data <%2>").arg(ClassName(), t));
        const int v = int(hit - kCode93Chars);
        values << v;
        widths += QLatin1String(kCode93[v]);
    }
    const int n = int(values.size());
    int c = 0, k = 0;
    for (int i = n - 1, p = 0; i >= 0; --i, ++p) {
        c += values[i] * (p % 20 + 1);
        k += values[i] * ((p + 1) % 15 + 1);
    }
    c %= 47;
    k = (k + c) % 47;
    widths += QLatin1String(kCode93[c]);
    widths += QLatin1String(kCode93[k]);
    widths += QStringLiteral("1111411");
    return widthsToElements(widths);
}

QString TfrBarcode::Code128(const QString &text)
{
    int start;
    bool ean = false;
    switch (m_typ) {
    case bcCode128A: start = kStartA; break;
    case bcCode128B: start = kStartB; break;
    case bcCode128C: start = kStartC; break;
    case bcCodeEAN128A: start = kStartA; ean = true; break;
    case bcCodeEAN128B: start = kStartB; ean = true; break;
    case bcCodeEAN128C: start = kStartC; ean = true; break;
    default: throw EfrBarcodeError(QStringLiteral("%1: wrong BarcodeType in Code_128").arg(ClassName()));
    }
    QList<int> values{start};
    if (ean)
        values << kFnc1;
    // The check digit goes into the symbol only; Text keeps what was set.
    QString data = ean && m_checksum ? AppendCheckDigit(text) : text;
    QString newText = text;
    if (start == kStartC) {
        if (data.size() % 2) {
            data.prepend(QLatin1Char('0'));
            if (data.size() == text.size() + 1)   // no check digit inside: the padded text is Text
                newText = data;
        }
        for (int i = 0; i + 1 < data.size(); i += 2) {
            const QChar a = data[i], b = data[i + 1];
            values << (isDigit(a) && isDigit(b) ? digit(a) * 10 + digit(b) : 0);
        }
    } else {
        const ushort last = start == kStartA ? '_' : '~';
        for (QChar c : data)
            values << (c.unicode() >= ' ' && c.unicode() <= last ? c.unicode() - ' ' : 0);
    }
    qint64 sum = start;
    for (int i = 1; i < values.size(); ++i)
        sum += qint64(values[i]) * i;
    QString widths;
    for (int v : values)
        widths += QLatin1String(kCode128[v]);
    widths += QLatin1String(kCode128[sum % 103]);
    widths += QLatin1String(kCode128Stop);
    SetText(newText);
    return widthsToElements(widths);
}

QString TfrBarcode::CodeMSI(const QString &t) const
{
    auto bits = [](int d) {
        QString r;
        for (int b = 3; b >= 0; --b)
            r += (d >> b) & 1 ? QStringLiteral("60") : QStringLiteral("51");
        return r;
    };
    QString r = QStringLiteral("60");
    for (QChar c : t)
        r += bits(digit(c));
    r += bits(digit(MsiCheckDigit(t)));
    return r + QStringLiteral("515");
}

QString TfrBarcode::CodePostNet(const QString &t) const
{
    QString r = QStringLiteral("51");
    for (QChar c : t) {
        const char *m = kPostNet[digit(c)];
        for (int k = 0; k < 5; ++k) {
            r += QLatin1Char(m[k] == '1' ? '5' : 'A');
            r += QLatin1Char('1');
        }
    }
    return r + QLatin1Char('5');
}

QString TfrBarcode::CodeCodabar(const QString &t) const
{
    auto pattern = [](char c) { return marksToElements(kCodabar[std::strchr(kCodabarChars, c) - kCodabarChars]); };
    QString r = pattern('A') + QLatin1Char('0');
    for (QChar c : t) {
        // Characters outside the twenty of Codabar are left out, as Code 39 does.
        const char *hit = c.unicode() < 128 && c.unicode() != 0
                              ? std::strchr(kCodabarChars, char(c.unicode())) : nullptr;
        if (hit)
            r += marksToElements(kCodabar[hit - kCodabarChars]) + QLatin1Char('0');
    }
    return r + pattern('B');
}

QString TfrBarcode::CodeEAN8(const QString &t)
{
    const QString data = m_checksum ? AppendCheckDigit(FitText(t, 7)) : FitText(t, 8);
    if (data.size() != 8)
        throw EfrBarcodeError(QStringLiteral("Invalid Text len (EAN8)"));
    QString r = QStringLiteral("505");
    for (int i = 0; i < 4; ++i)
        r += eanL(digit(data[i]));
    r += QStringLiteral("05050");
    for (int i = 4; i < 8; ++i)
        r += eanR(digit(data[i]));
    // The digits under the bars are the ones encoded, check digit included.
    SetText(data);
    return r + QStringLiteral("505");
}

QString TfrBarcode::CodeEAN13(const QString &t)
{
    const QString data = m_checksum ? AppendCheckDigit(FitText(t, 12)) : FitText(t, 13);
    if (data.size() != 13)
        throw EfrBarcodeError(QStringLiteral("Invalid Text len (EAN13)"));
    const char *parity = kEan13Parity[digit(data[0])];
    QString r = QStringLiteral("505");
    for (int i = 1; i < 7; ++i)
        r += parity[i - 1] == 'A' ? eanL(digit(data[i])) : eanG(digit(data[i]));
    r += QStringLiteral("05050");
    for (int i = 7; i < 13; ++i)
        r += eanR(digit(data[i]));
    SetText(data);
    return r + QStringLiteral("505");
}

QString TfrBarcode::CodeUPC_A(const QString &t)
{
    // With the check digit the entry is the eleven digits before it, fitted like
    // the EAN entries, so eleven digits typed are kept whole.
    QString data = m_checksum && m_checkSumMethod != csmNone ? AppendCheckDigit(FitText(t, 11))
                                                             : FitText(t, 12);
    QString r = QStringLiteral("505");
    for (int i = 0; i < 6; ++i)
        r += eanL(digit(data[i]));
    r += QStringLiteral("05050");
    for (int i = 6; i < 12; ++i)
        r += eanR(digit(data[i]));
    SetText(data);
    return r + QStringLiteral("505");
}

QString TfrBarcode::CodeUPC_E(const QString &t, bool e1)
{
    // With the check digit the entry is the six-digit body, fitted like the EAN entries.
    const bool withCheck = m_checksum && m_checkSumMethod != csmNone;
    QString data = withCheck ? FitText(t, 6) : FitText(t, 7);
    // The check digit of the UPC-A number the body stands for (number system 0 or 1);
    // it chooses the parities, so it is needed even when it is not printed.
    const QChar check = UpcECheckDigit(data.left(6), e1 ? 1 : 0);
    if (withCheck)
        data = data.left(6) + check;
    const char *row = kUpcEParity[digit(check)];
    QString r = QStringLiteral("505");
    for (int i = 0; i < 6; ++i) {
        const bool even = (row[i] == 'E') != e1;
        r += even ? eanG(digit(data[i])) : eanL(digit(data[i]));
    }
    SetText(data);
    return r + QStringLiteral("050505");
}

QString TfrBarcode::CodeSupp5(const QString &t)
{
    QString data = FitText(t, 5);
    const QChar check = SupplementCheckDigit(data);
    const char *row = kUpcEParity[digit(check)];
    QString r = QStringLiteral("506");
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            r += QStringLiteral("05");
        r += row[i + 1] == 'E' ? eanG(digit(data[i])) : eanL(digit(data[i]));
    }
    if (m_checksum)
        data += check;
    SetText(data);
    return r;
}

QString TfrBarcode::CodeSupp2(const QString &t)
{
    QString data = FitText(t, 2);
    const int v = (digit(data[0]) * 10 + digit(data[1])) % 4;
    const bool evenFirst = v >= 2, evenSecond = v % 2 == 1;
    QString r = QStringLiteral("506");
    r += evenFirst ? eanG(digit(data[0])) : eanL(digit(data[0]));
    r += QStringLiteral("05");
    r += evenSecond ? eanG(digit(data[1])) : eanL(digit(data[1]));
    if (m_checksum)
        data += SupplementCheckDigit(data);
    SetText(data);
    return r;
}

QString TfrBarcode::BuildPattern()
{
    BuildModuleWidths();
    QString t = m_text;
    if (m_typ >= 0 && m_typ < frBarcodeTypeCount && BarcodeTypes[m_typ].Numeric) {
        t = t.trimmed();
        for (QChar c : t)
            if (!isDigit(c))
                throw EfrBarcodeError(QStringLiteral("Barcode must be numeric"));
    }
    switch (m_typ) {
    case bcCode_2_5_interleaved: return Code25Interleaved(t);
    case bcCode_2_5_industrial: return Code25Industrial(t);
    case bcCode_2_5_matrix: return Code25Matrix(t);
    case bcCode39: return Code39(t);
    case bcCode39Extended: {
        QString ext;
        for (QChar c : t)
            ext += Code39FullAscii(c);
        return Code39(ext);
    }
    case bcCode128A: case bcCode128B: case bcCode128C:
    case bcCodeEAN128A: case bcCodeEAN128B: case bcCodeEAN128C:
        return Code128(t);
    case bcCode93: return Code93(t);
    case bcCode93Extended: {
        QString ext;
        for (QChar c : t)
            ext += Code93FullAscii(c);
        return Code93(ext);
    }
    case bcCodeMSI: return CodeMSI(t);
    case bcCodePostNet: return CodePostNet(t);
    case bcCodeCodabar: return CodeCodabar(t);
    case bcCodeEAN8: return CodeEAN8(t);
    case bcCodeEAN13: return CodeEAN13(t);
    case bcCodeUPC_A: return CodeUPC_A(t);
    case bcCodeUPC_E0: return CodeUPC_E(t, false);
    case bcCodeUPC_E1: return CodeUPC_E(t, true);
    case bcCodeUPC_Supp2: return CodeSupp2(t);
    case bcCodeUPC_Supp5: return CodeSupp5(t);
    default: throw EfrBarcodeError(QStringLiteral("%1: wrong BarcodeType").arg(ClassName()));
    }
}

void TfrBarcode::ElementProps(QChar c, int &width, int &kind) const
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '3') {
        width = m_widths[u - '0'];
        kind = 0;
    } else if (u >= '5' && u <= '8') {
        width = m_widths[u - '5'];
        kind = 1;
    } else if (u >= 'A' && u <= 'D') {
        width = m_widths[u - 'A'];
        kind = 2;
    } else {
        throw EfrBarcodeError(QStringLiteral("%1: internal Error").arg(ClassName()));
    }
}

// ---------------------------------------------------------------------------
// Drawing

void TfrBarcode::RenderTo(QPainter *painter)
{
    const QString pattern = BuildPattern();
    if (!painter)
        return;
    painter->save();
    DrawElements(painter, pattern);
    painter->restore();
}

void TfrBarcode::DrawElements(QPainter *p, const QString &pattern)
{
    // An angle that is no number draws upright.
    const double theta = std::isfinite(m_angle) ? std::fmod(m_angle, 360.0) * M_PI / 180.0 : 0.0;
    const double s = std::sin(theta), c = std::cos(theta);
    qint64 total = 0;
    for (QChar e : pattern) {
        int w, kind;
        ElementProps(e, w, kind);
        total += w;
    }
    const double W = double(total), H = m_height;
    int ox, oy;
    if (s >= 0 && c >= 0) {
        ox = 0;
        oy = rnd(s * W);
    } else if (s >= 0) {
        ox = -rnd(c * W);
        oy = rnd(s * W - c * H);
    } else if (c >= 0) {
        ox = -rnd(s * H);
        oy = 0;
    } else {
        ox = -rnd(c * W) - rnd(s * H);
        oy = -rnd(c * H);
    }
    ox += m_left;
    oy += m_top;
    auto map = [&](double x, double y) {
        return QPoint(int(std::clamp<qint64>(qint64(rnd(x * c + y * s)) + ox, INT_MIN / 2, INT_MAX / 2)),
                      int(std::clamp<qint64>(qint64(rnd(-x * s + y * c)) + oy, INT_MIN / 2, INT_MAX / 2)));
    };
    p->setRenderHint(QPainter::Antialiasing, false);
    // At right angles each element covers exactly the pixels of its polygon with the
    // one-pixel outline (edges included), and keeps that at any scale of the painter;
    // other angles draw the outlined polygon itself.
    const bool rightAngle = !std::isfinite(m_angle) || std::fmod(m_angle, 90.0) == 0;
    if (rightAngle)
        p->setPen(Qt::NoPen);
    qint64 x = 0;
    for (QChar e : pattern) {
        int w, kind;
        ElementProps(e, w, kind);
        const int h = kind == 2 ? int(qint64(m_height) * 2 / 5) : m_height;
        const QColor col = kind == 0 ? m_color : m_colorBar;
        const double x0 = double(x), x1 = double(x + w - 1);
        const QPoint pts[4] = {map(x0, 0), map(x0, h), map(x1, h), map(x1, 0)};
        x += w;
        if (rightAngle) {
            int left = pts[0].x(), right = left, top = pts[0].y(), bottom = top;
            for (const QPoint &q : pts) {
                left = std::min(left, q.x());
                right = std::max(right, q.x());
                top = std::min(top, q.y());
                bottom = std::max(bottom, q.y());
            }
            // Edges included: one more than the distance between them.
            p->fillRect(QRectF(left, top, double(right) - left + 1, double(bottom) - top + 1), col);
            continue;
        }
        p->setPen(QPen(col, 1));
        p->setBrush(col);
        p->drawPolygon(pts, 4);
    }
}
