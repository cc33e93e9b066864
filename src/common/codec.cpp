#include "common/codec.h"

#include <QList>
#include <iconv.h>
#include <cerrno>
#include <vector>

namespace orv {
namespace {
// Characters that GBK cannot hold become '?', as the Windows converter does.
QByteArray convert(const char *to, const char *from, const QByteArray &in, int unitBytes, const QByteArray &fallback)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out;
    out.reserve(in.size() * 2);
    char *inp = const_cast<char *>(in.constData());
    size_t inLeft = size_t(in.size());
    std::vector<char> buf(4096);
    while (inLeft > 0) {
        char *outp = buf.data();
        size_t outLeft = buf.size();
        size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        out.append(buf.data(), int(buf.size() - outLeft));
        if (r == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or incomplete sequence: emit the fallback and skip one unit.
            out.append(fallback);
            size_t skip = std::min<size_t>(size_t(unitBytes), inLeft);
            inp += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}
} // namespace

QByteArray toGbk(const QString &text)
{
    // Go through UTF-32 so an unconvertible character is skipped whole.
    if (text.isEmpty())
        return {};
    QByteArray utf32;
    const auto ucs4 = text.toUcs4();
    utf32.resize(ucs4.size() * 4);
    memcpy(utf32.data(), ucs4.constData(), size_t(utf32.size()));
    return convert("GBK", "UTF-32LE", utf32, 4, "?");
}

QString fromGbk(const QByteArray &bytes)
{
    // CP936 proper: 0x80 is the euro sign, which glibc's GBK lacks.
    QByteArray utf8 = convert("UTF-8", "CP936", bytes, 1, "\xEF\xBF\xBD");
    return QString::fromUtf8(utf8);
}

int gbkLength(const QString &text) { return int(toGbk(text).size()); }
} // namespace orv
