#pragma once
// The text layer of the PDF files the program writes.
//
// Qt's PDF writer tells a reader which character each glyph of an embedded font
// stands for (the font's ToUnicode map) by asking the font for the lowest code
// point drawn with that glyph. The CJK fonts draw a Kangxi radical (⼊ U+2F0A), a
// radical supplement (⻚ U+2EDA) or an extension A character (㬵 U+3B35) with the
// glyph of a common character (入, 页, 胶), and these code points are lower: the
// page shows 入库 while a search, a copy or pdftotext finds ⼊库.
//
// frMendPdfText rewrites each such map so those glyphs stand for the common
// character (from U+4E00 on) the same font draws with them. Anything it does not
// recognise (another layout, compressed maps) is left as it is.
#include <QByteArray>

QByteArray frMendPdfText(const QByteArray &pdf);
