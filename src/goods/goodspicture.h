#pragma once
// The goods picture (货品目录.图片): stored as the bytes of the file it was loaded from.
// JPEG goes through the program's one decoder; bitmaps, icons, PNG and GIF through QImage.
// A damaged or unknown picture gives an error text, never a crash.
#include "data/dbconnection.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orv {

// Bytes of the row's picture; empty when it has none.
QByteArray loadGoodsPicture(Connection &c, qint64 rowNo);
// Empty bytes clear the picture. False when no row has that 流水号.
bool saveGoodsPicture(Connection &c, qint64 rowNo, const QByteArray &bytes);

// Null image and *error set when the bytes are not a picture that can be shown.
QImage decodePicture(const QByteArray &bytes, QString *error = nullptr);

} // namespace orv
