#pragma once
// JPEG files written with libjpeg for tests: progressive ones, with the scans they need.
#include <QByteArray>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace orv::test {

// A grey progressive JPEG of the image. With `passes` 0 libjpeg's usual progression
// is written (six scans); otherwise the DC coefficients go in one scan and each AC
// coefficient in scans of its own, `passes` of them (a first scan, then refinements
// of one bit each): 1 + 63 * passes scans in all, each a pass over the whole frame.
inline QByteArray progressiveJpeg(const QImage &image, int passes = 0)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<jpeg_scan_info> script;
    if (passes > 0) {
        script.push_back(jpeg_scan_info{1, {0}, 0, 0, 0, 0});
        for (int k = 1; k < 64; ++k)
            for (int p = 0; p < passes; ++p) {
                const int al = passes - 1 - p;
                script.push_back(jpeg_scan_info{1, {0}, k, k, p == 0 ? 0 : al + 1, al});
            }
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(grey.width());
    cinfo.image_height = JDIMENSION(grey.height());
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (script.empty()) {
        jpeg_simple_progression(&cinfo);
    } else {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row[1] = {const_cast<uchar *>(grey.constScanLine(int(cinfo.next_scanline)))};
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

// Scans (start-of-scan markers) in a JPEG file.
inline int jpegScanCount(const QByteArray &jpeg)
{
    int n = 0;
    for (qsizetype i = jpeg.indexOf("\xFF\xDA"); i >= 0; i = jpeg.indexOf("\xFF\xDA", i + 2))
        ++n;
    return n;
}

} // namespace orv::test
