// Backup and restore: round trips on both databases, files that are not ours, a backup cut short,
// another program holding the embedded database, the PostgreSQL tools' password and version.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/adminmenu.h"
#include "admin/backup.h"
#include "app/appglobals.h"
#include "common/clock.h"
#include "program.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
void logRow(TestDb &t, const QString &event)
{
    t.exec("insert into 日志(时间,用户,事件) values('2024-03-05   09:00:00','admin',?)", {event});
}

QStringList events(TestDb &t)
{
    QSqlQuery q(t.conn().db());
    q.exec("select 事件 from 日志 order by 流水号");
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Replaces a PostgreSQL client tool for the test: a script earlier in PATH.
class FakeTool {
public:
    FakeTool(const QString &name, const QByteArray &script) : m_path(qgetenv("PATH"))
    {
        writeFile(m_dir.filePath(name), "#!/bin/sh\n" + script);
        QFile::setPermissions(m_dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":" + m_path);
    }
    ~FakeTool() { qputenv("PATH", m_path); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init() { G = AppGlobals{}; }

    // A row written after the backup is gone after the restore; the program stays connected.
    void roundTrip()
    {
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("周一.data");
        logRow(t, "备份前");
        ScriptedPrompt p;
        p.expectSaveFile(file).expectMessage("数据库备份成功完成", QMessageBox::Ok, "数据库备份");
        backupDatabase(nullptr);
        QVERIFY(QFileInfo(file).size() > 0);
        QVERIFY(!QDir(files.path()).entryList(QDir::Files).join(',').contains(".part"));

        logRow(t, "备份后");
        t.exec("update 基本信息 set 公司名称='备份后改名'");
        G.gCompanyName = "备份后改名";
        Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(1, 2, 3), Qt::UTC));
        const QString kept = QDir(t.dir()).filePath("orv-恢复前-" + Clock::localNow().toString("yyyyMMdd-hhmmss") + ".db");
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes, "系统提示")
            .expectOpenFile(file)
            .expectMessage(TestDb::isPostgres() ? QString("数据库恢复成功完成！")
                                                : "数据库恢复成功完成！\n恢复前的数据库已另存为：" + kept,
                           QMessageBox::Ok, "数据恢复");
        restoreDatabase(nullptr);
        Clock::pin(QDateTime());
        QVERIFY(p.verifyDone());
        QCOMPARE(events(t), QStringList{"备份前"});
        QCOMPARE(G.gCompanyName, QString("我的公司"));
        // The connection works, statements included.
        logRow(t, "恢复后");
        QCOMPARE(events(t), (QStringList{"备份前", "恢复后"}));

        if (!TestDb::isPostgres()) {
            // The replaced database was kept beside the database, whole.
            QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "kept");
            d.setDatabaseName(kept);
            QVERIFY(d.open());
            QSqlQuery q(d);
            QVERIFY(q.exec("select count(*) from 日志") && q.next());
            QCOMPARE(q.value(0).toInt(), 2);
            q = QSqlQuery();
            d.close();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase("kept");
        }
    }

    void cancelledChoices()
    {
        TestDb t;
        ScriptedPrompt p;
        p.expectSaveFile(QString());
        backupDatabase(nullptr);
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::No);
        restoreDatabase(nullptr);
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes)
            .expectOpenFile(QString())
            .expectMessage("请选择要恢复的数据库备份文件");
        restoreDatabase(nullptr);
        QVERIFY(p.verifyDone());
    }

    // A file that is not a database of ours is refused and nothing changes.
    void foreignFilesRefused_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("text") << QByteArray("text");
        QTest::newRow("empty") << QByteArray("empty");
        QTest::newRow("other database") << QByteArray("other");
    }

    void foreignFilesRefused()
    {
        QFETCH(QByteArray, kind);
        TestDb t;
        logRow(t, "现有");
        QTemporaryDir files;
        const QString file = files.filePath("x.data");
        if (kind == "text") {
            writeFile(file, "这不是数据库\n");
        } else if (kind == "empty") {
            writeFile(file, QByteArray());
        } else {
            QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "other");
            d.setDatabaseName(file);
            QVERIFY(d.open());
            QSqlQuery(d).exec("create table 货品 (x int)");
            d.close();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase("other");
            if (TestDb::isPostgres())
                writeFile(file, "PGDMP"); // neither is a dump
        }
        const BackupOutcome r = DatabaseBackup(t.conn()).restore(file);
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, QString("所选文件不是本系统的数据库备份"));
        QCOMPARE(events(t), QStringList{"现有"});
        logRow(t, "之后");
        QCOMPARE(events(t).size(), 2);
    }

    void newerBackupRefused()
    {
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("new.data");
        logRow(t, "旧");
        t.exec("update 架构版本 set 版本=999 where 子系统='app'");
        QVERIFY(DatabaseBackup(t.conn()).backup(file).ok);
        t.exec("update 架构版本 set 版本=2 where 子系统='app'");
        logRow(t, "新");
        const BackupOutcome r = DatabaseBackup(t.conn()).restore(file);
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, QString("该备份由较新版本的程序建立，请升级程序后再恢复"));
        QCOMPARE(events(t), (QStringList{"旧", "新"}));
    }

    // Another client holds the embedded database: the restore is refused, nothing changes.
    void refusedWhileInUse()
    {
        if (TestDb::isPostgres())
            QSKIP("the embedded database only");
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("b.data");
        logRow(t, "一");
        QVERIFY(DatabaseBackup(t.conn()).backup(file).ok);
        logRow(t, "二");
        {
            auto other = t.secondClient();
            ScriptedPrompt p;
            p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes)
                .expectOpenFile(file)
                .expectMessage("数据库恢复失败!\n数据库正被其他程序使用，请关闭其他客户端后再恢复", QMessageBox::Ok,
                               "数据库恢复");
            restoreDatabase(nullptr);
            QVERIFY(p.verifyDone());
            QCOMPARE(events(t), (QStringList{"一", "二"}));
            QVERIFY(QDir(t.dir()).entryList({"orv-恢复前-*.db"}).isEmpty());
        }
        // Once the other client is gone the restore goes through.
        QVERIFY(DatabaseBackup(t.conn()).restore(file).ok);
        QCOMPARE(events(t), QStringList{"一"});
    }

    // The copy into the live database fails after the safety copy was made: the database stays
    // as it was, the safety copy goes, and the program is still connected.
    void failedCopyChangesNothing()
    {
        if (TestDb::isPostgres())
            QSKIP("the embedded database only");
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("b.data");
        logRow(t, "一");
        QVERIFY(DatabaseBackup(t.conn()).backup(file).ok);
        {
            // Still a whole database of ours, but with pages of another size, which SQLite's
            // online backup cannot copy into a database in WAL mode.
            QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "resized");
            d.setDatabaseName(file);
            QVERIFY(d.open());
            QSqlQuery q(d);
            QVERIFY(q.exec("PRAGMA page_size=8192") && q.exec("VACUUM"));
            q = QSqlQuery();
            d.close();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase("resized");
        }
        logRow(t, "二");
        ScriptedPrompt p;
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes)
            .expectOpenFile(file)
            .expectMessage("数据库恢复失败!\n复制备份数据失败，数据库未被改变", QMessageBox::Ok, "数据库恢复");
        restoreDatabase(nullptr);
        QVERIFY(p.verifyDone());
        QCOMPARE(events(t), (QStringList{"一", "二"}));
        QVERIFY(QDir(t.dir()).entryList({"orv-恢复前-*"}).isEmpty());
        logRow(t, "三");
        QCOMPARE(events(t), (QStringList{"一", "二", "三"}));
    }

    // A backup cut short (a copy that broke off, a full disk): nothing changes, and the operator
    // is told why.
    void cutBackupNamed()
    {
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("b.data");
        logRow(t, "一");
        QVERIFY(DatabaseBackup(t.conn()).backup(file).ok);
        logRow(t, "二");
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        // The end of the data goes; what lists the backup's content stays.
        QVERIFY(f.resize(TestDb::isPostgres() ? f.size() - 16 : f.size() / 2));
        f.close();
        ScriptedPrompt p;
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes)
            .expectOpenFile(file)
            .expectMessage(TestDb::isPostgres()
                               ? QString("数据库恢复失败!\n所选的备份文件不完整或已损坏（could not read from input file: end of file）")
                               : QString("数据库恢复失败!\n所选的备份文件已损坏"),
                           QMessageBox::Ok, "数据库恢复");
        restoreDatabase(nullptr);
        QVERIFY(p.verifyDone());
        QCOMPARE(events(t), (QStringList{"一", "二"}));
    }

    // Another client in the middle of its work: the restore gives up and changes nothing.
    void pgRestoreGivesWayToOtherClients()
    {
        if (!TestDb::isPostgres())
            QSKIP("PostgreSQL only");
        TestDb t;
        QTemporaryDir files;
        const QString file = files.filePath("b.data");
        logRow(t, "一");
        QVERIFY(DatabaseBackup(t.conn()).backup(file).ok);
        logRow(t, "二");
        auto other = t.secondClient();
        other->begin();
        other->exec("select * from 日志");
        const BackupOutcome r = DatabaseBackup(t.conn()).restore(file);
        other->rollback();
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, QString("数据库正被其他客户端使用，请关闭其他客户端后再恢复"));
        QCOMPARE(events(t), (QStringList{"一", "二"}));
    }

    void backupToAnUnwritableFolder()
    {
        if (TestDb::isPostgres())
            QSKIP("the embedded database only");
        TestDb t;
        ScriptedPrompt p;
        p.expectSaveFile("/nonexistent-folder/x.data")
            .expectMessage("数据库备份失败\n无法写入所选文件，请检查文件夹的权限和磁盘空间", QMessageBox::Ok, "数据库备份");
        backupDatabase(nullptr);
        QVERIFY(p.verifyDone());
    }

    // The password reaches pg_dump in its environment only; the dump is still made.
    void pgPasswordInTheEnvironment()
    {
        if (!TestDb::isPostgres())
            QSKIP("PostgreSQL only");
        TestDb t;
        FakeTool tool("pg_dump", "echo \"$*\" > \"$(dirname \"$0\")/args\"\n"
                                 "echo \"$PGPASSWORD\" > \"$(dirname \"$0\")/env\"\n"
                                 "exec /usr/bin/pg_dump \"$@\"\n");
        ConnectionSettings s = t.settings();
        s.password = "s3cret-word";
        Connection c("withPassword");
        c.open(s, Connection::SchemaMode::Leave);
        QTemporaryDir files;
        const BackupOutcome r = DatabaseBackup(c).backup(files.filePath("pw.data"));
        QVERIFY2(r.ok, qPrintable(r.reason));
        QFile args(tool.file("args")), env(tool.file("env"));
        QVERIFY(args.open(QIODevice::ReadOnly) && env.open(QIODevice::ReadOnly));
        const QByteArray a = args.readAll();
        QVERIFY(a.contains("--format=custom"));
        QVERIFY(!a.contains("s3cret-word"));
        QCOMPARE(env.readAll().trimmed(), QByteArray("s3cret-word"));
    }

    void pgToolOlderThanServer()
    {
        if (!TestDb::isPostgres())
            QSKIP("PostgreSQL only");
        TestDb t;
        FakeTool tool("pg_dump", "echo 'pg_dump (PostgreSQL) 9.6.24'\n");
        const int server = t.scalar("select current_setting('server_version_num')").toInt() / 10000;
        ScriptedPrompt p;
        QTemporaryDir files;
        p.expectSaveFile(files.filePath("old.data"))
            .expectMessage(QString("数据库备份失败\n本机的PostgreSQL客户端工具pg_dump（版本9）比数据库服务器（版本%1）旧，"
                                   "请安装版本%1或更新的PostgreSQL客户端")
                               .arg(server),
                           QMessageBox::Ok, "数据库备份");
        backupDatabase(nullptr);
        QVERIFY(p.verifyDone());
        QVERIFY(!QFileInfo::exists(files.filePath("old.data")));
    }
};

ORV_DB_TEST_MAIN(TestBackup)
#include "tst_db_backup.moc"
