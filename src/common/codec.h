#pragma once
// Code page 936 (GBK) wherever bytes are counted or a stored format holds them.
#include <QByteArray>
#include <QString>

namespace orv {
QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);
// Length of a text in code-page-936 bytes, as validation messages count it.
int gbkLength(const QString &text);
} // namespace orv
