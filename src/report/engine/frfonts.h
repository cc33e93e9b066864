#pragma once
// Fonts of report objects. Templates name Windows faces; every such name is
// mapped through one table onto the families the install script brings, so a
// layout measures the same on every machine whatever else is installed.
// Heights are pixels at 96 per inch: round(points * 96 / 72), halves to even.
#include "report/engine/frstream.h"

class QPainter;

#include <QColor>
#include <QFont>
#include <QList>
#include <QStringView>
#include <QVariant>
#include <QString>

struct TfrFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;              // points
    TfrFontStyles Style;
    qint32 Color = 0;           // blue-green-red
    int Charset = 1;
    bool operator==(const TfrFont &) const = default;
};

// Installed family for a stored face name (case-insensitive; unknown names
// fall back to the sans-serif family of the table).
QString MapFontFamily(const QString &storedName);

// Pixel height of a point size: round-half-even(points * 96 / 72 * zoom) when
// zoom is 1, truncated otherwise (as the text object sizes its canvas font).
int FontPixelHeight(double points, double zoom = 1.0);

// A QFont with the mapped families (the face, then the table's CJK family for
// characters the face lacks), no hinting, pixel size as given.
QFont MakeQFont(const TfrFont &f, int pixelHeight);
QFont MakeQFont(const QString &storedName, double points, const TfrFontStyles &style = {});

// Ascent in pixels of a stored face at a pixel size (the em): the stored
// face's own proportion (宋体 and the other Chinese system faces 0.859, Arial
// 0.905, ...), so a line sits in its cell as it was designed whatever the
// installed family's ascent is (the CJK families' is 1.16). Faces outside the
// table take the installed family's own proportion.
int FaceAscent(const QString &storedName, int pixelSize);

// Text measured and drawn with the same whole-pixel advances: each character's
// advance in `font` rounded to whole pixels, as the templates were laid out
// with, plus `charExtra` after every character. A surrogate pair is one
// character; its advance sits on the high half, the low half has none.
QList<int> TextAdvances(const QFont &font, QStringView text, int charExtra = 0);
int TextWidth(const QFont &font, QStringView text, int charExtra = 0);
// Draws a text from x with its baseline at `baseline`, every character at the
// position TextAdvances gives (within a fifth of a pixel), so the drawn width is
// the measured width at every zoom. Underline and strike-out of the font are
// drawn across that width. The text goes out as runs of characters: a device
// that records texts gets a line as adjacent items on one baseline, blanks
// included.
// Returns the x after the text.
int DrawTextAt(QPainter *painter, int x, int baseline, QStringView text, const QFont &font, int charExtra = 0);

// Colour of a stored blue-green-red value; system colours ($FF0000nn) map to a fixed palette.
QColor FrColor(qint32 bgr);

// Font parts of the property interface ("FONT.NAME", "FONT.SIZE", "FONT.STYLE",
// "FONT.COLOR"; upper-case). Set returns false for other names; get gives null.
bool SetFontProperty(TfrFont &font, const QString &upperName, const QVariant &value);
QVariant GetFontProperty(const TfrFont &font, const QString &upperName);
