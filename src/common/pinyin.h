#pragma once
// The main window's shared operations ChnToPY (mnemonic codes: the first pinyin letter of
// each Chinese character) and Is_Numeric (the plain-number test), here so that every
// library's windows call the one implementation. Both work on code-page-936 bytes, the way the stored
// 助记码/拼音码 values were made.
#include <QByteArray>
#include <QString>

namespace orv {

// Capital initial of the GB 2312 character lead:trail, ' ' for the three
// radicals without a reading, 0 when there is none.
char PinyinInitial(unsigned char lead, unsigned char trail);

// Byte rule: a byte A0 or above takes the next byte with it as one
// character; every other byte, and a lone last byte, is copied unchanged.
QByteArray ChnToPY(const QByteArray &gbkText);
// Same rule on the text's CP936 bytes, except that a character of the
// extension area (first byte 81..9F) is kept whole rather than split.
QString ChnToPY(const QString &text);

// Digits and "." only once blanks and control characters around it are
// removed; the empty text counts as numeric.
bool Is_Numeric(const QString &text);

namespace detail {
extern const char kLevel2Initials[32][95];
} // namespace detail

} // namespace orv
