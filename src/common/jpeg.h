#pragma once
// The one JPEG decoder of the program (goods pictures and report pictures), libjpeg from memory.
// A damaged, truncated or hostile file is an error, never a crash or a huge allocation:
// warnings count as damage, and the frame a header claims must fit a pixel budget that
// grows with the file's size (a few hundred bytes cannot hold a 60000x60000 picture).
#include <QByteArray>
#include <QImage>
#include <QString>

namespace orv {

// Null image and *error set (a technical text) when the bytes are not a whole, sound JPEG.
QImage decodeJpeg(const QByteArray &data, QString *error = nullptr);
// Baseline JPEG of the image (pictures made by the program and test fixtures).
QByteArray encodeJpeg(const QImage &image, int quality = 90);

// Largest frame accepted whatever the file's size, and the budget a file of n bytes may claim.
constexpr quint64 kJpegMaxPixels = 40ull * 1000 * 1000;
quint64 jpegPixelBudget(qint64 bytes);

} // namespace orv
