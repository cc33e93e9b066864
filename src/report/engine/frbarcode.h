#pragma once
// Barcode generator: a text becomes the bars and spaces of one of 23 linear
// symbologies, first as a pattern string, then drawn element by element,
// turned by any angle. It knows nothing of reports; the barcode object owns one.
//
// Pattern alphabet, one character per element, left to right before rotation:
//   "0".."3"  space of width class 0..3
//   "5".."8"  full-height bar of width class 0..3
//   "A".."D"  short bar (2/5 of the height, hanging from the top) of width class 0..3
// Width classes: 0 = Modul, 1 = round(Modul * Ratio), 2 = class 1 * 3 div 2,
// 3 = class 1 * 2 (kept as ints, so a wide module never wraps).
//
// Several encoders store the completed text (padded, with check digit) back
// into Text. Errors are thrown as EfrBarcodeError with the texts below and leave
// the properties as they were when the error arose.
#include <QColor>
#include <QString>

#include <functional>
#include <stdexcept>

class QPainter;

enum TfrBarcodeType : int {
    bcCode_2_5_interleaved = 0, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39, bcCode39Extended,
    bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeMSI, bcCodePostNet,
    bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1,
    bcCodeUPC_Supp2, bcCodeUPC_Supp5, bcCodeEAN128A, bcCodeEAN128B, bcCodeEAN128C
};
constexpr int frBarcodeTypeCount = 23;

enum TfrCheckSumMethod : int { csmNone = 0, csmModulo10 = 1 };

struct TfrBarcodeTypeInfo {
    const char *Name;   // display name
    bool Numeric;       // text is trimmed and must be all digits
};
extern const TfrBarcodeTypeInfo BarcodeTypes[frBarcodeTypeCount];

class EfrBarcodeError : public std::runtime_error {
public:
    explicit EfrBarcodeError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }
private:
    QString m_message;
};

class TfrBarcode {
public:
    TfrBarcode() = default;

    static QString ClassName() { return QStringLiteral("TfrBarcode"); }

    // --- properties; every setter notifies only when the value changes
    int Height() const { return m_height; }
    void SetHeight(int v);
    QString Text() const { return m_text; }
    void SetText(const QString &v);
    int Top() const { return m_top; }
    void SetTop(int v);
    int Left() const { return m_left; }
    void SetLeft(int v);
    int Modul() const { return m_modul; }
    void SetModul(int v);              // values outside 1..49 are ignored
    double Ratio() const { return m_ratio; }
    void SetRatio(double v);
    int Typ() const { return m_typ; }
    void SetTyp(int v);
    bool Checksum() const { return m_checksum; }
    void SetChecksum(bool v);
    TfrCheckSumMethod CheckSumMethod() const { return m_checkSumMethod; }
    void SetCheckSumMethod(TfrCheckSumMethod v);
    double Angle() const { return m_angle; }
    void SetAngle(double v);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &v);
    QColor ColorBar() const { return m_colorBar; }
    void SetColorBar(const QColor &v);

    // Total width of the pattern (builds it). Writing scales Modul to come near W.
    int Width();
    void SetWidth(int w);

    std::function<void()> OnChange;

    // --- operations
    QString BuildPattern();
    // Width and kind (0 space, 1 full bar, 2 short bar) of one pattern character.
    void ElementProps(QChar c, int &width, int &kind) const;
    // Draws the bars (no human-readable text); the painter's state is kept.
    void RenderTo(QPainter *painter);
    QString AppendCheckDigit(const QString &text) const;
    // The first n characters of Text, or Text padded on the left with "0" to n.
    QString FitText(int n) const { return FitText(m_text, n); }
    int ModuleWidth(int widthClass) const { return m_widths[widthClass & 3]; }

    // --- check digits (digits as text; other characters are ignored)
    static QChar Modulo10CheckDigit(const QString &digits);     // EAN/UPC rule, weight 3 on the right
    static QChar SupplementCheckDigit(const QString &digits);   // 3-9-3-9-3 weighting of add-ons
    static QChar MsiCheckDigit(const QString &digits);          // Luhn-style, anchored on the right
    static QChar UpcECheckDigit(const QString &sixDigits, int numberSystem);
    // The UPC-A digits (11, without check) a UPC-E body stands for.
    static QString ExpandUpcE(const QString &sixDigits, int numberSystem);

private:
    void NotifyChange();
    void BuildModuleWidths();
    static QString FitText(const QString &text, int n);
    void DrawElements(QPainter *painter, const QString &pattern);

    QString Code25Interleaved(const QString &t);
    QString Code25Industrial(const QString &t) const;
    QString Code25Matrix(const QString &t) const;
    QString Code39(const QString &t) const;
    QString Code128(const QString &t);
    QString Code93(const QString &t) const;
    QString CodeMSI(const QString &t) const;
    QString CodePostNet(const QString &t) const;
    QString CodeCodabar(const QString &t) const;
    QString CodeEAN8(const QString &t);
    QString CodeEAN13(const QString &t);
    QString CodeUPC_A(const QString &t);
    QString CodeUPC_E(const QString &t, bool e1);
    QString CodeSupp5(const QString &t);
    QString CodeSupp2(const QString &t);

    int m_height = 0;
    QString m_text;
    int m_top = 0, m_left = 0;
    int m_modul = 1;
    double m_ratio = 2.0;
    int m_typ = bcCodeEAN13;
    bool m_checksum = false;
    TfrCheckSumMethod m_checkSumMethod = csmModulo10;
    double m_angle = 0;
    QColor m_color = Qt::white;
    QColor m_colorBar = Qt::black;
    int m_widths[4] = {1, 2, 3, 4};
};

// Full-ASCII replacement texts (characters below 128; others give an empty text).
QString Code39FullAscii(QChar c);
QString Code93FullAscii(QChar c);   // shift characters written "[" ($), "]" (%), "{" (/), "}" (+)
