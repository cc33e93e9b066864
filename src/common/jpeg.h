#pragma once
// The one JPEG decoder of the program (goods pictures and report pictures), libjpeg from memory.
// A damaged, truncated or hostile file is an error, never a crash or a huge allocation:
// warnings count as damage, the frame a header claims must fit a pixel budget that
// grows with the file's size (a few hundred bytes cannot hold a 60000x60000 picture),
// and the number of scans is bounded, so the work per file stays small.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace orv {

// Whether image readers take the bytes for a JPEG (they start with the start-of-image
// marker). Such bytes go to decodeJpeg only, never to another reader that lacks its bounds.
inline bool looksLikeJpeg(const QByteArray &data)
{
    return data.size() >= 2 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8;
}

// Null image and *error set (a technical text) when the bytes are not a whole, sound JPEG.
QImage decodeJpeg(const QByteArray &data, QString *error = nullptr);
// Baseline JPEG of the image (pictures made by the program and test fixtures).
QByteArray encodeJpeg(const QImage &image, int quality = 90);

// Largest frame accepted whatever the file's size, and the budget a file of n bytes may claim.
constexpr quint64 kJpegMaxPixels = 40ull * 1000 * 1000;
// Most scans a file may have. Encoders write up to about ten (a progressive photo);
// a hostile file repeats them by the thousand to keep the decoder busy.
constexpr int kJpegMaxScans = 100;
quint64 jpegPixelBudget(qint64 bytes);

} // namespace orv
