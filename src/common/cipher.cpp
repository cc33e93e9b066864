#include "common/cipher.h"

#include "common/codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orv {
namespace {

// Bit positions count from 1 at the most significant bit, as the standard does.
constexpr std::uint8_t kIP[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr std::uint8_t kFP[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

constexpr std::uint8_t kE[48] = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,
    8,  9,  10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25,
    24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr std::uint8_t kP[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::uint8_t kPC1[56] = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr std::uint8_t kPC2[48] = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
    23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr std::uint8_t kS[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,
     0,  15, 7,  4, 14, 2,  13, 1,  10, 6,  12, 11, 9,  5,  3, 8,
     4,  1,  14, 8, 13, 6,  2,  11, 15, 12, 9,  7,  3,  10, 5, 0,
     15, 12, 8,  2, 4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6, 13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10,
     3,  13, 4,  7,  15, 2,  8,  14, 12, 0, 1,  10, 6,  9, 11, 5,
     0,  14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,  9,  3, 2,  15,
     13, 8,  10, 1,  3,  15, 4,  2,  11, 6, 7,  12, 0,  5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,
     13, 7,  0,  9,  3, 4,  6,  10, 2,  8,  5,  14, 12, 11, 15, 1,
     13, 6,  4,  9,  8, 15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7,
     1,  10, 13, 0,  6, 9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8, 5,  11, 12, 4,  15,
     13, 8,  11, 5, 6,  15, 0,  3,  4,  7, 2, 12, 1,  10, 14, 9,
     10, 6,  9,  0, 12, 11, 7,  13, 15, 1, 3, 14, 5,  2,  8,  4,
     3,  15, 0,  6, 10, 1,  13, 8,  9,  4, 5, 11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,
     14, 11, 2,  12, 4,  7,  13, 1,  5,  0,  15, 10, 3,  9, 8,  6,
     4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,  6,  3, 0,  14,
     11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0,  9,  10, 4, 5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11,
     10, 15, 4,  2,  7, 12, 9,  5,  6,  1,  13, 14, 0,  11, 3,  8,
     9,  14, 15, 5,  2, 8,  12, 3,  7,  0,  4,  10, 1,  13, 11, 6,
     4,  3,  2,  12, 9, 5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0, 8,  13, 3,  12, 9, 7,  5,  10, 6, 1,
     13, 0,  11, 7,  4,  9, 1,  10, 14, 3,  5, 12, 2,  15, 8, 6,
     1,  4,  11, 13, 12, 3, 7,  14, 10, 15, 6, 8,  0,  5,  9, 2,
     6,  11, 13, 8,  1,  4, 10, 7,  9,  5,  0, 15, 14, 2,  3, 12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,
     1,  15, 13, 8, 10, 3,  7,  4,  12, 5,  6,  11, 0,  14, 9,  2,
     7,  11, 4,  1, 9,  12, 14, 2,  0,  6,  10, 13, 15, 3,  5,  8,
     2,  1,  14, 7, 4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11}};

// Picks bits of an inWidth-bit value into a new value, first table entry highest.
template <std::size_t N>
std::uint64_t permute(std::uint64_t in, int inWidth, const std::uint8_t (&table)[N])
{
    std::uint64_t out = 0;
    for (std::uint8_t pos : table)
        out = (out << 1) | ((in >> (inWidth - pos)) & 1u);
    return out;
}

std::uint32_t rotl28(std::uint32_t v, int n)
{
    return ((v << n) | (v >> (28 - n))) & 0x0FFFFFFFu;
}

using Subkeys = std::array<std::uint64_t, 16>;

Subkeys keySchedule(const QByteArray &key8)
{
    std::uint64_t key = 0;
    for (int i = 0; i < 8; ++i)
        key = (key << 8) | static_cast<std::uint8_t>(key8.at(i));
    // PC-1 leaves out the parity bits (the lowest bit of each byte).
    const std::uint64_t cd = permute(key, 64, kPC1);
    std::uint32_t c = std::uint32_t(cd >> 28) & 0x0FFFFFFFu;
    std::uint32_t d = std::uint32_t(cd) & 0x0FFFFFFFu;
    Subkeys k{};
    for (int round = 0; round < 16; ++round) {
        c = rotl28(c, kShifts[round]);
        d = rotl28(d, kShifts[round]);
        k[size_t(round)] = permute((std::uint64_t(c) << 28) | d, 56, kPC2);
    }
    return k;
}

std::uint32_t feistel(std::uint32_t r, std::uint64_t subkey)
{
    const std::uint64_t x = permute(r, 32, kE) ^ subkey;
    std::uint32_t s = 0;
    for (int box = 0; box < 8; ++box) {
        const unsigned six = unsigned(x >> (42 - 6 * box)) & 0x3Fu;
        const unsigned row = ((six & 0x20u) >> 4) | (six & 1u);
        const unsigned col = (six >> 1) & 0x0Fu;
        s = (s << 4) | kS[box][row * 16 + col];
    }
    return std::uint32_t(permute(s, 32, kP));
}

std::uint64_t desCrypt(std::uint64_t block, const Subkeys &k, bool decrypt)
{
    const std::uint64_t ip = permute(block, 64, kIP);
    std::uint32_t l = std::uint32_t(ip >> 32);
    std::uint32_t r = std::uint32_t(ip);
    for (int round = 0; round < 16; ++round) {
        const std::uint64_t subkey = k[size_t(decrypt ? 15 - round : round)];
        const std::uint32_t next = l ^ feistel(r, subkey);
        l = r;
        r = next;
    }
    // The halves are swapped once more before the final permutation.
    return permute((std::uint64_t(r) << 32) | l, 64, kFP);
}

QByteArray prepareKey(const QByteArray &key)
{
    QByteArray k = key.left(8);
    if (k.size() < 8)
        k.append(QByteArray(8 - k.size(), '\0'));
    return k;
}

QByteArray ecb(const QByteArray &data, const QByteArray &key, bool decrypt)
{
    const Subkeys k = keySchedule(prepareKey(key));
    const qsizetype blocks = data.size() / 8;
    QByteArray out(blocks * 8, Qt::Uninitialized);
    for (qsizetype b = 0; b < blocks; ++b) {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = (v << 8) | static_cast<std::uint8_t>(data.at(b * 8 + i));
        v = desCrypt(v, k, decrypt);
        for (int i = 7; i >= 0; --i) {
            out[b * 8 + i] = char(v & 0xFF);
            v >>= 8;
        }
    }
    return out;
}

int base64Value(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    if (c == u'=')
        return 0;
    return -1;
}

} // namespace

namespace detail {
quint64 desBlock(quint64 block, const QByteArray &key8, bool decrypt)
{
    return desCrypt(block, keySchedule(prepareKey(key8)), decrypt);
}
} // namespace detail

QByteArray EncryptString(const QByteArray &text, const QByteArray &key)
{
    if (!text.isEmpty() && text.back() == '\0')
        throw CipherError("Error: the last char is NULL char.");
    QByteArray padded = text;
    if (padded.size() % 8 != 0)
        padded.append(QByteArray(8 - padded.size() % 8, '\0'));
    return ecb(padded, key, false);
}

QByteArray DecryptString(const QByteArray &cipher, const QByteArray &key)
{
    QByteArray plain = ecb(cipher, key, true);
    qsizetype n = plain.size();
    while (n > 0 && plain.at(n - 1) == '\0')
        --n;
    plain.truncate(n);
    return plain;
}

QString EncodeBase64(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray DecodeBase64(const QString &text)
{
    if (text.size() % 4 != 0)
        throw CipherError("Invalid Base64 code.");
    qsizetype trailing = 0;
    while (trailing < text.size() && text.at(text.size() - 1 - trailing) == u'=')
        ++trailing;
    // A text of nothing but "=" would give a negative length; it gives nothing.
    const qsizetype size = std::max<qsizetype>(0, text.size() / 4 * 3 - trailing);
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        for (int j = 0; j < 4; ++j) {
            const int v = base64Value(text.at(i + j).unicode());
            if (v < 0)
                throw CipherError("Invalid Base64 code.");
            group = (group << 6) | std::uint32_t(v);
        }
        for (int j = 2; j >= 0 && out.size() < size; --j)
            out.append(char((group >> (8 * j)) & 0xFF));
    }
    return out;
}

QString encipherPassword(const QString &password)
{
    return EncodeBase64(EncryptString(toGbk(password), QByteArray(kPasswordKey)));
}

QString decipherPassword(const QString &stored)
{
    return fromGbk(DecryptString(DecodeBase64(stored), QByteArray(kPasswordKey)));
}

} // namespace orv
