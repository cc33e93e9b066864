#include "common/codec.h"

#include <QList>
#include <iconv.h>
#include <cerrno>
#include <vector>

namespace orv {
namespace {
// One converter per direction and thread, opened once: opening is the dear part of a short text.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return m_cd;
    }

private:
    iconv_t m_cd;
};

// Characters that GBK cannot hold become '?', as the Windows converter does.
QByteArray convert(const Converter &c, const QByteArray &in, int unitBytes, const QByteArray &fallback)
{
    if (!c.ok())
        return {};
    iconv_t cd = c.get();
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
    thread_local const Converter converter("GBK", "UTF-32LE");
    return convert(converter, utf32, 4, "?");
}

QString fromGbk(const QByteArray &bytes)
{
    // CP936 proper: 0x80 is the euro sign, which glibc's GBK lacks.
    thread_local const Converter converter("UTF-8", "CP936");
    QByteArray utf8 = convert(converter, bytes, 1, "\xEF\xBF\xBD");
    return QString::fromUtf8(utf8);
}

int gbkLength(const QString &text) { return int(toGbk(text).size()); }
} // namespace orv
