#include "common/cipher.h"
#include "common/codec.h"
#include "common/configini.h"
#include "common/paths.h"

#include <QtTest>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

using namespace orv;

namespace {
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TstConfigIni : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath("config.ini"); }

private slots:
    void cleanup() { QFile::remove(path()); }

    void writesPlainIni()
    {
        QVERIFY(writeConfigIni(path(), " my host ", QStringLiteral("管理"), "123456"));
        const QByteArray expected = "[ServerName]\r\nServerName= my host \r\n"
                                    "[UserID]\r\nUserID=" + toGbk(QStringLiteral("管理")) + "\r\n"
                                    "[PassWord]\r\nPassWord=ron0+9aBtQ8=\r\n";
        QCOMPARE(readFile(path()), expected);

        ServerConfig c;
        QVERIFY(readConfigIni(path(), c));
        QCOMPARE(c.server, QString(" my host "));
        QCOMPARE(c.user, QStringLiteral("管理"));
        QCOMPARE(decipherPassword(c.passwordCipher), QString("123456"));
    }

    void emptyPasswordAndRewrite()
    {
        QVERIFY(writeConfigIni(path(), "a", "sa", "pw"));
        QVERIFY(writeConfigIni(path(), "b", "", ""));
        QVERIFY(readFile(path()).contains("\r\nPassWord=\r\n"));
        QCOMPARE(readFile(path()).count("[PassWord]"), 1);
        ServerConfig c;
        QVERIFY(readConfigIni(path(), c));
        QCOMPARE(c.server, QString("b"));
        QCOMPARE(c.user, QString(""));
        QCOMPARE(c.passwordCipher, QString(""));
        QCOMPARE(decipherPassword(c.passwordCipher), QString(""));
    }

    void missingReadsEmpty()
    {
        ServerConfig c{"x", "y", "z"};
        QVERIFY(!readConfigIni(path(), c));
        QCOMPARE(c.server, QString());
        QCOMPARE(c.passwordCipher, QString());

        // A key outside its section does not count; names ignore case.
        writeFile(path(), "[servername]\nservername = host\nUserID=sa\n");
        QVERIFY(readConfigIni(path(), c));
        QCOMPARE(c.server, QString(" host"));
        QCOMPARE(c.user, QString());
        QCOMPARE(c.passwordCipher, QString());
        QCOMPARE(readIniValue(path(), "ServerName", "ServerName"), QString(" host"));
        QCOMPARE(readIniValue(path(), "Other", "ServerName"), QString());
    }

    void keepsOtherContent()
    {
        writeFile(path(), "; settings\n[Driver]\nDriver=QPSQL\n[UserID]\nUserID=old\nExtra=1\n");
        QVERIFY(writeConfigIni(path(), "h", "sa", ""));
        QCOMPARE(readFile(path()), QByteArray("; settings\n[Driver]\nDriver=QPSQL\n[UserID]\nUserID=sa\nExtra=1\n"
                                              "[ServerName]\nServerName=h\n[PassWord]\nPassWord=\n"));
        QCOMPARE(readIniValue(path(), "Driver", "Driver"), QString("QPSQL"));
    }

    void unwritable_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("needsNonRoot");
        QTest::newRow("missing folder") << m_dir.filePath("none/config.ini") << false;
        QTest::newRow("folder is a file") << m_dir.filePath("plain/config.ini") << false;
        QTest::newRow("read-only folder") << m_dir.filePath("ro/config.ini") << true;
    }
    void unwritable()
    {
        QFETCH(QString, target);
        QFETCH(bool, needsNonRoot);
        if (needsNonRoot && geteuid() == 0)
            QSKIP("permissions do not bind root");
        writeFile(m_dir.filePath("plain"), "x");
        QDir(m_dir.path()).mkdir("ro");
        QFile::setPermissions(m_dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!writeConfigIni(target, "h", "sa", "pw"));
        QVERIFY(!QFileInfo::exists(target));
        QFile::setPermissions(m_dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void lineBreakRefused()
    {
        QVERIFY(!writeConfigIni(path(), "h\n[PassWord]", "sa", ""));
        QVERIFY(!QFileInfo::exists(path()));
    }

    // Saved by an editor as UTF-8 with a byte-order mark: still read.
    void byteOrderMarkAccepted()
    {
        writeFile(path(), "\xEF\xBB\xBF[ServerName]\r\nServerName=(local)\r\n[UserID]\r\nUserID=" +
                              QStringLiteral("管理").toUtf8() + "\r\n");
        ServerConfig c;
        QVERIFY(readConfigIni(path(), c));
        QCOMPARE(c.server, QString("(local)"));
        QCOMPARE(c.user, QStringLiteral("管理"));
    }

    // A huge file is not ours: refused before it is read, and never overwritten by a save.
    void hugeFileRefused()
    {
        QByteArray big = "[ServerName]\r\nServerName=h\r\n";
        big += QByteArray(200 * 1024, ';');
        writeFile(path(), big);
        ServerConfig c;
        QVERIFY(!readConfigIni(path(), c));
        QVERIFY(c.server.isEmpty());
        QVERIFY(!writeConfigIni(path(), "h", "sa", ""));
        QCOMPARE(QFileInfo(path()).size(), big.size());
    }

    // Only a regular file is read: a FIFO would block the start-up for ever, and a device (size 0)
    // would be read without end. Both are refused at once, as an unreadable file is; a save
    // neither blocks nor replaces them.
    void notAFileRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("device") << "device";
        QTest::newRow("link to a device") << "link";
        QTest::newRow("folder") << "folder";
    }
    void notAFileRefused()
    {
        QFETCH(QString, kind);
        const QString target = kind == "device" ? QStringLiteral("/dev/zero") : path();
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
        else if (kind == "link")
            QVERIFY(QFile::link("/dev/zero", path()));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path()));
        ServerConfig c{"x", "y", "z"};
        QVERIFY(!readConfigIni(target, c));
        QVERIFY(c.server.isEmpty());
        QCOMPARE(readIniValue(target, "ServerName", "ServerName"), QString());
        QByteArray bytes("left");
        QVERIFY(!readConfigIniBytes(target, bytes));
        QVERIFY(bytes.isEmpty());
        if (kind != "device")
            QVERIFY(!writeConfigIni(target, "h", "sa", ""));
        QVERIFY(!QFileInfo(target).isFile());
        QDir().rmdir(path());
    }

    // Beside the program when a config.ini is there, else the XDG one when it exists, else a new
    // one beside the program (writable here).
    void lookupOrder()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString beside = QCoreApplication::applicationDirPath();
        const QString xdg = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QFile::remove(beside + "/config.ini");
        QFile::remove(xdg + "/config.ini");
        QCOMPARE(Paths::configDir(), beside);
        QDir().mkpath(xdg);
        writeFile(xdg + "/config.ini", "[ServerName]\r\nServerName=x\r\n");
        QCOMPARE(Paths::configDir(), xdg);
        writeFile(beside + "/config.ini", "[ServerName]\r\nServerName=y\r\n");
        QCOMPARE(Paths::configDir(), beside);
        QFile::remove(beside + "/config.ini");
        QFile::remove(xdg + "/config.ini");
    }
};

QTEST_GUILESS_MAIN(TstConfigIni)
#include "tst_configini.moc"
