#include "goods/goodspicture.h"

#include <QSqlError>
#include <QSqlQuery>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace orv {

namespace {
const char *kDamaged = "图片已损坏，无法显示";
const char *kUnknown = "不支持的图片格式，无法显示";

void setError(QString *error, const char *text)
{
    if (error)
        *error = QString::fromUtf8(text);
}

// libjpeg reports fatal errors through error_exit, which must not return: jump back out.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool truncated;
};

void onJpegError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError *>(cinfo->err)->jump, 1);
}

void onJpegMessage(j_common_ptr) {} // warnings of damaged but readable data stay quiet

// A picture cut short would be shown half grey: count it as damaged.
void onJpegEmit(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegError *>(cinfo->err)->truncated = true;
}

// Plain C state only between setjmp and longjmp; the caller owns *out.
struct JpegOut {
    unsigned char *pixels = nullptr; // RGB888 or CMYK rows
    unsigned width = 0, height = 0, components = 0;
    bool cmyk = false, adobeInverted = false;
};

bool decodeJpegRaw(const unsigned char *data, unsigned long size, JpegOut *out)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onJpegError;
    err.mgr.output_message = onJpegMessage;
    err.mgr.emit_message = onJpegEmit;
    err.truncated = false;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 0xFFFF); // Adobe marker: CMYK stored inverted
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        cinfo.out_color_space = JCS_CMYK;
        out->cmyk = true;
        out->adobeInverted = cinfo.saw_Adobe_marker;
    } else {
        cinfo.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&cinfo);
    out->width = cinfo.output_width;
    out->height = cinfo.output_height;
    out->components = unsigned(cinfo.output_components);
    const size_t stride = size_t(out->width) * out->components;
    if (out->width == 0 || out->height == 0 || out->height > 65535 || out->width > 65535)
        onJpegError(reinterpret_cast<j_common_ptr>(&cinfo));
    out->pixels = static_cast<unsigned char *>(std::calloc(stride * out->height, 1));
    if (!out->pixels)
        onJpegError(reinterpret_cast<j_common_ptr>(&cinfo));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->pixels + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (err.truncated) {
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    return true;
}
} // namespace

QImage decodeJpeg(const QByteArray &bytes, QString *error)
{
    JpegOut out;
    if (bytes.isEmpty() ||
        !decodeJpegRaw(reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size(), &out)) {
        setError(error, kDamaged);
        return {};
    }
    QImage img(int(out.width), int(out.height), QImage::Format_RGB888);
    if (img.isNull()) {
        std::free(out.pixels);
        setError(error, kDamaged);
        return {};
    }
    const size_t stride = size_t(out.width) * out.components;
    for (unsigned y = 0; y < out.height; ++y) {
        const unsigned char *src = out.pixels + stride * y;
        unsigned char *dst = img.scanLine(int(y));
        if (!out.cmyk) {
            std::memcpy(dst, src, size_t(out.width) * 3);
            continue;
        }
        for (unsigned x = 0; x < out.width; ++x) {
            int c = src[4 * x], m = src[4 * x + 1], yy = src[4 * x + 2], k = src[4 * x + 3];
            if (!out.adobeInverted) {
                c = 255 - c;
                m = 255 - m;
                yy = 255 - yy;
                k = 255 - k;
            }
            dst[3 * x] = static_cast<unsigned char>(c * k / 255);
            dst[3 * x + 1] = static_cast<unsigned char>(m * k / 255);
            dst[3 * x + 2] = static_cast<unsigned char>(yy * k / 255);
        }
    }
    std::free(out.pixels);
    if (error)
        error->clear();
    return img;
}

QImage decodePicture(const QByteArray &bytes, QString *error)
{
    if (bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF)
        return decodeJpeg(bytes, error);
    QImage img;
    if (!bytes.isEmpty())
        img = QImage::fromData(bytes);
    if (img.isNull()) {
        // A known header that does not decode is a damaged picture; anything else
        // (metafiles included) is a format we cannot show.
        const bool known = bytes.startsWith("BM") || bytes.startsWith("\x89PNG") || bytes.startsWith("GIF8") ||
                           bytes.startsWith(QByteArray("\0\0\1\0", 4));
        setError(error, known ? kDamaged : kUnknown);
        return {};
    }
    if (error)
        error->clear();
    return img;
}

QByteArray loadGoodsPicture(Connection &c, qint64 rowNo)
{
    QSqlQuery q(c.db());
    q.prepare("select 图片 from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo);
    if (!q.exec())
        throw DbError(q.lastError().text().toStdString());
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

bool saveGoodsPicture(Connection &c, qint64 rowNo, const QByteArray &bytes)
{
    QSqlQuery q(c.db());
    q.prepare("update 货品目录 set 图片 = ? where 流水号 = ?");
    q.addBindValue(bytes.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes));
    q.addBindValue(rowNo);
    if (!q.exec())
        throw DbError(q.lastError().text().toStdString());
    return q.numRowsAffected() > 0;
}

} // namespace orv
