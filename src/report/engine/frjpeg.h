#pragma once
// JPEG decoding from memory through libjpeg's standard decompression sequence.
// A corrupt or hostile image gives an error, never a process exit.
#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a JPEG file image; on failure returns a null image and sets *error.
QImage DecodeJpeg(const QByteArray &data, QString *error = nullptr);
// Encodes an image as a baseline JPEG file (used to make pictures and fixtures).
QByteArray EncodeJpeg(const QImage &image, int quality = 90);
