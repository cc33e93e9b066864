#include "common/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

namespace orv {

namespace {
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default handler ends the process; jump back to the caller instead.
extern "C" void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// A warning means corrupt or missing data that libjpeg would paper over with grey: damage.
extern "C" void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        errorExit(cinfo);
}

extern "C" void silentOutput(j_common_ptr) {}

// A progressive file may repeat scans over the whole frame without end; each costs a
// pass over every block, so a few kilobytes can keep the decoder busy for minutes.
struct ScanLimit {
    jpeg_progress_mgr pub;
    ErrorManager *err;
};

extern "C" void checkScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto *d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number <= kJpegMaxScans)
        return;
    auto *limit = reinterpret_cast<ScanLimit *>(cinfo->progress);
    std::snprintf(limit->err->message, sizeof limit->err->message, "JPEG has more than %d scans", kJpegMaxScans);
    std::longjmp(limit->err->jump, 1);
}
} // namespace

quint64 jpegPixelBudget(qint64 bytes)
{
    // Even a flat baseline picture spends some bits on every 8x8 block; 4096 pixels a byte
    // leaves room for any real picture, with a floor so tiny icons always pass.
    const quint64 bySize = quint64(qMax<qint64>(bytes, 0)) * 4096;
    return qMin(kJpegMaxPixels, qMax<quint64>(bySize, 1024 * 1024));
}

QImage decodeJpeg(const QByteArray &data, QString *error)
{
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("Empty JPEG data");
        return {};
    }
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = silentOutput;
    err.message[0] = 0;
    ScanLimit progress{};
    progress.pub.progress_monitor = checkScans;
    progress.err = &err;
    // Everything that must survive the longjmp lives outside the protected region.
    QImage *volatile result = new QImage;
    const char *volatile failure = nullptr;
    unsigned char *volatile row = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(row);
        if (error)
            *error = failure ? QString::fromLatin1(failure) : QString::fromLatin1(err.message);
        delete result;
        return {};
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress.pub; // after the create, which clears the struct
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 0xFFFF); // Adobe marker: CMYK stored inverted
    jpeg_read_header(&cinfo, TRUE);
    const quint64 pixels = quint64(cinfo.image_width) * cinfo.image_height;
    if (pixels == 0 || pixels > jpegPixelBudget(data.size()) || cinfo.image_width > 65535
        || cinfo.image_height > 65535) {
        failure = "JPEG frame too large for its data";
        std::longjmp(err.jump, 1);
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    const int comps = cinfo.output_components;
    *result = QImage(w, h, QImage::Format_RGB32);
    row = static_cast<unsigned char *>(std::malloc(size_t(w) * size_t(comps)));
    if (result->isNull() || !row) {
        failure = "JPEG image too large";
        std::longjmp(err.jump, 1);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row};
        const int y = int(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) {
            failure = "JPEG data cut short";
            std::longjmp(err.jump, 1);
        }
        auto *out = reinterpret_cast<QRgb *>(result->scanLine(y));
        for (int x = 0; x < w; ++x) {
            const unsigned char *p = row + size_t(x) * size_t(comps);
            if (comps == 1) {
                out[x] = qRgb(p[0], p[0], p[0]);
            } else if (comps == 4) {
                // Adobe writes CMYK inverted; other writers store it plain.
                int c = p[0], m = p[1], yy = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                out[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
            } else {
                out[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(row);
    QImage img = *result;
    delete result;
    if (error)
        error->clear();
    return img;
}

QByteArray encodeJpeg(const QImage &image, int quality)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentOutput;
    unsigned char *volatile buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, const_cast<unsigned char **>(&buffer), &size);
    cinfo.image_width = JDIMENSION(src.width());
    cinfo.image_height = JDIMENSION(src.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {const_cast<uchar *>(src.constScanLine(int(cinfo.next_scanline)))};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), int(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

} // namespace orv
