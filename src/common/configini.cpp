#include "common/configini.h"

#include "common/cipher.h"
#include "common/codec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

struct IniText
{
    QStringList lines;
    QString eol = QStringLiteral("\r\n");
};

// Three short sections: anything this large is not our file, and is not read into memory.
constexpr qint64 kMaxIniBytes = 64 * 1024;

bool load(const QString &path, IniText &ini)
{
    QByteArray bytes;
    if (!readConfigIniBytes(path, bytes))
        return false;
    // An editor may have saved it as UTF-8 with a byte-order mark.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    if (utf8)
        bytes.remove(0, 3);
    const QString text = utf8 ? QString::fromUtf8(bytes) : fromGbk(bytes);
    if (!text.isEmpty() && !text.contains(u"\r\n") && text.contains(u'\n'))
        ini.eol = QStringLiteral("\n");
    ini.lines = text.split(u'\n');
    for (QString &line : ini.lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // A final line break leaves one empty line behind.
    if (!ini.lines.isEmpty() && ini.lines.last().isEmpty())
        ini.lines.removeLast();
    return true;
}

// Section name of a "[name]" line, or a null string.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(u'[') && t.endsWith(u']'))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

// Key of a "key=value" line (value set through the pointer), or a null string.
QString keyOf(const QString &line, QString *value = nullptr)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0 || line.trimmed().startsWith(u';'))
        return {};
    if (value)
        *value = line.mid(eq + 1);
    return line.left(eq).trimmed();
}

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString valueIn(const IniText &ini, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QString &line : ini.lines) {
        const QString s = sectionOf(line);
        if (!s.isNull()) {
            inSection = sameName(s, section);
            continue;
        }
        QString value;
        if (inSection && sameName(keyOf(line, &value), key))
            return value;
    }
    return {};
}

void setValue(IniText &ini, const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    qsizetype sectionLine = -1;
    qsizetype lastInSection = -1;
    for (qsizetype i = 0; i < ini.lines.size(); ++i) {
        const QString s = sectionOf(ini.lines.at(i));
        if (!s.isNull()) {
            if (sectionLine >= 0)
                break;
            if (sameName(s, section))
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (sameName(keyOf(ini.lines.at(i)), key)) {
            ini.lines[i] = entry;
            return;
        }
        if (!ini.lines.at(i).trimmed().isEmpty())
            lastInSection = i;
    }
    if (sectionLine >= 0) {
        ini.lines.insert(lastInSection + 1, entry);
        return;
    }
    ini.lines << u'[' + section + u']' << entry;
}

} // namespace

// A FIFO would block the start-up until something writes to it, and a device reports size 0 and
// never ends. The file is opened without blocking and its type taken from what was opened, so
// nothing can be swapped in between the test and the read.
bool readConfigIniBytes(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    QFile f;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !f.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // The file may grow while it is read: no more than the bound is ever taken in.
    bytes = f.read(kMaxIniBytes + 1);
    if (bytes.size() > kMaxIniBytes) {
        bytes.clear();
        return false;
    }
    return true;
}

bool readConfigIni(const QString &path, ServerConfig &config)
{
    IniText ini;
    const bool ok = load(path, ini);
    config.server = valueIn(ini, QStringLiteral("ServerName"), QStringLiteral("ServerName"));
    config.user = valueIn(ini, QStringLiteral("UserID"), QStringLiteral("UserID"));
    config.passwordCipher = valueIn(ini, QStringLiteral("PassWord"), QStringLiteral("PassWord"));
    return ok;
}

QString readIniValue(const QString &path, const QString &section, const QString &key)
{
    IniText ini;
    load(path, ini);
    return valueIn(ini, section, key);
}

bool writeConfigIni(const QString &path, const QString &server, const QString &user,
                    const QString &plainPassword)
{
    const QString cipher = plainPassword.isEmpty() ? QString() : encipherPassword(plainPassword);
    for (const QString &v : {server, user}) {
        if (v.contains(u'\n') || v.contains(u'\r'))
            return false;
    }
    IniText ini;
    if (QFileInfo::exists(path) && !load(path, ini))
        return false;
    setValue(ini, QStringLiteral("ServerName"), QStringLiteral("ServerName"), server);
    setValue(ini, QStringLiteral("UserID"), QStringLiteral("UserID"), user);
    setValue(ini, QStringLiteral("PassWord"), QStringLiteral("PassWord"), cipher);

    QSaveFile f(path);
    // A writable file in a folder we may not create files in is still written.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toGbk(ini.lines.join(ini.eol) + ini.eol);
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

} // namespace orv
