// The embedded database keeps its locks through every file dialog of the program, opened on
// the database's own folder: a dialog lists the folder and reads each file to tell its type,
// and a file chosen there is read by the window. Another program must still find the database
// in use afterwards: its close leaves our write-ahead log alone, its writer waits on ours, and a
// restore it tries is refused.
//
// The other program is this test binary started again with "--other"; it uses SQLite the way
// any other client does, or the program's own restore.
#include "testdb.h"
#include "scriptedprompt.h"

#include "admin/adminmenu.h"
#include "admin/backup.h"
#include "admin/frmexcelinto.h"
#include "data/schema.h"
#include "common/settings.h"
#include "goods/frmnewcang.h"
#include "goods/goodsschema.h"
#include "report/engine/frglobals.h"
#include "report/engine/frpage.h"
#include "report/engine/frpreviewform.h"
#include "report/engine/frprintform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <sqlite3.h>

using namespace orv;
using namespace orv::test;

namespace {

// What a file dialog does to the folder it shows: looks at every file and reads each to tell
// its type. Then it answers as scripted.
class FolderReadingPrompt : public ScriptedPrompt {
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                         const QString &defaultSuffix) override
    {
        readFolder(dir);
        return ScriptedPrompt::openFileName(parent, caption, dir, filter, defaultSuffix);
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override
    {
        readFolder(dir);
        return ScriptedPrompt::saveFileName(parent, caption, dir, filter);
    }
    int folders = 0;

private:
    void readFolder(const QString &dir)
    {
        ++folders;
        const QMimeDatabase types;
        for (const QFileInfo &f : QDir(dir.isEmpty() ? QDir::currentPath() : dir).entryInfoList(QDir::Files)) {
            types.mimeTypeForFile(f);
            QFile file(f.filePath());
            if (file.open(QIODevice::ReadOnly))
                file.read(4096);
        }
    }
};

struct Outcome {
    int code = -1;
    QString out;
};

Outcome otherProgram(const QStringList &args)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), QStringList{"--other"} + args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed()};
}

// A program other than ours: SQLite with its usual locks, or the program's own restore.
int runOtherProgram(int argc, char *argv[])
{
    const QString what = argc > 2 ? QString::fromUtf8(argv[2]) : QString();
    const QByteArray path = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    if (what == "restore") {
        QCoreApplication app(argc, argv);
        registerAppSchema();
        ConnectionSettings s;
        s.server = "(local)";
        s.sqliteFile = QString::fromUtf8(path);
        Connection c(QStringLiteral("other"));
        c.open(s);
        const BackupOutcome r = DatabaseBackup(c).restore(QString::fromUtf8(argv[4]));
        printf("%s\n", r.ok ? "restored" : r.reason.toUtf8().constData());
        return 0;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    int code = 1;
    if (what == "read") {
        // Counts the rows, then closes: the last client to close takes the log with it.
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "select count(*) from 锁测试", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW) {
            printf("%d\n", sqlite3_column_int(st, 0));
            code = 0;
        }
        sqlite3_finalize(st);
    } else if (what == "write") {
        sqlite3_busy_timeout(db, 300);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        code = rc == SQLITE_BUSY ? 3 : rc == SQLITE_OK ? 0 : 1;
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    return code;
}

enum class Dialog { Backup, Restore, ExcelImport, GoodsPicture, ReportOpen, ReportSave, ReportPdf, RealDialog };

} // namespace

Q_DECLARE_METATYPE(Dialog)

class TestDatabaseLocks : public QObject {
    Q_OBJECT
    QTemporaryDir m_files;
    QString m_cwd;

private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
        setUserSettingsPath(m_files.filePath("user.ini"));
        m_cwd = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(m_cwd); }

    void locksOutlastFileDialogs_data()
    {
        QTest::addColumn<Dialog>("dialog");
        QTest::newRow("数据备份, the log chosen") << Dialog::Backup;
        QTest::newRow("数据库恢复, the shared memory chosen") << Dialog::Restore;
        QTest::newRow("数据导入, the database chosen") << Dialog::ExcelImport;
        QTest::newRow("货品图片, the log chosen") << Dialog::GoodsPicture;
        QTest::newRow("报表打开, the database chosen") << Dialog::ReportOpen;
        QTest::newRow("报表保存, cancelled") << Dialog::ReportSave;
        QTest::newRow("打印到 PDF, cancelled") << Dialog::ReportPdf;
        QTest::newRow("Qt's own dialog, 数据备份 cancelled") << Dialog::RealDialog;
    }
    void locksOutlastFileDialogs()
    {
        QFETCH(Dialog, dialog);
        TestDb t;
        t.exec("create table 锁测试 (x integer)");
        const QString backup = m_files.filePath("b.data");
        QFile::remove(backup);
        QVERIFY(DatabaseBackup(t.conn()).backup(backup).ok);
        // A dialog without a folder of its own opens in the current one: the database's, as in
        // a portable install.
        QDir::setCurrent(t.dir());
        const QString file = t.dir() + "/orv.db";
        QVERIFY(QFileInfo::exists(file + "-wal") && QFileInfo::exists(file + "-shm"));

        switch (dialog) {
        case Dialog::Backup: {
            FolderReadingPrompt p;
            p.expectSaveFile(file + "-wal")
                .expectMessage("数据库备份失败\n不能备份到数据库文件本身，请另选文件", QMessageBox::Ok, "数据库备份");
            backupDatabase(nullptr);
            QVERIFY(p.verifyDone() && p.folders == 1);
            break;
        }
        case Dialog::Restore: {
            FolderReadingPrompt p;
            p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes)
                .expectOpenFile(file + "-shm")
                .expectMessage("数据库恢复失败!\n所选文件不是本系统的数据库备份", QMessageBox::Ok, "数据库恢复");
            restoreDatabase(nullptr);
            QVERIFY(p.verifyDone() && p.folders == 1);
            break;
        }
        case Dialog::ExcelImport: {
            TfrmExcelInto w;
            FolderReadingPrompt p;
            p.expectOpenFile(file).expectMessage("无法打开所选的Excel文件，请确认它是.xls或.xlsx格式的工作簿");
            w.SpeedButton1Click();
            QVERIFY(p.verifyDone() && p.folders == 1);
            break;
        }
        case Dialog::GoodsPicture: {
            TfrmNewCang w;
            FolderReadingPrompt p;
            p.expectOpenFile(file + "-wal").expectMessage("不支持的图片格式，无法显示");
            QPushButton *load = nullptr;
            for (QPushButton *b : w.findChildren<QPushButton *>())
                if (b->text() == "导入")
                    load = b;
            QVERIFY(load);
            load->click();
            QVERIFY(p.verifyDone() && p.folders == 1);
            break;
        }
        case Dialog::ReportOpen:
        case Dialog::ReportSave:
        case Dialog::ReportPdf: {
            TfrReport report;
            QVERIFY(report.LoadFromFile(QFINDTESTDATA("../../reports/tongyong.frf")));
            report.ShowProgress = false;
            report.OnManualBuild = [](TfrPage *page) { page->ShowBandByName("报表标题1"); };
            QVERIFY(report.PrepareReport());
            TfrPreviewForm f;
            f.Attach(report);
            FolderReadingPrompt p;
            if (dialog == Dialog::ReportOpen) {
                p.expectOpenFile(file);
                p.expectMessage(QString("不能读取报表文件 %1\nPage count beyond the file").arg(file));
                f.LoadBtnClick();
            } else if (dialog == Dialog::ReportSave) {
                p.expectSaveFile(QString());
                f.SaveBtnClick();
            } else {
                p.expectModal([](QDialog *d) { return qobject_cast<TfrPrintForm *>(d) ? 1 : 0; });
                p.expectSaveFile(QString());
                f.PrintBtnClick();
            }
            QVERIFY(p.verifyDone() && p.folders == 1);
            break;
        }
        case Dialog::RealDialog: {
            // The desktop's prompt: Qt's file dialog lists the folder, reads every file for its
            // type column, and is cancelled once it has.
            bool typed = false;
            QTimer watch;
            watch.setInterval(50);
            connect(&watch, &QTimer::timeout, [&] {
                auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                auto *model = d ? d->findChild<QFileSystemModel *>() : nullptr;
                if (!model)
                    return;
                typed = true;
                for (const QString &name : {file, file + "-wal", file + "-shm"})
                    typed = typed && !model->type(model->index(name)).isEmpty();
                if (typed)
                    d->reject();
            });
            watch.start();
            QTimer giveUp; // a dialog that never learns the types must not hold the test
            giveUp.setSingleShot(true);
            connect(&giveUp, &QTimer::timeout, [] {
                if (QWidget *w = QApplication::activeModalWidget())
                    w->close();
            });
            giveUp.start(20000);
            backupDatabase(nullptr);
            QVERIFY(typed);
            break;
        }
        }

        // Another program reads and closes: our log stays, and what we write after it reads.
        t.exec("insert into 锁测试 values (1)");
        QCOMPARE(otherProgram({"read", file}).out, QString("1"));
        QVERIFY(QFileInfo::exists(file + "-wal"));
        t.exec("insert into 锁测试 values (2)");
        QCOMPARE(otherProgram({"read", file}).out, QString("2"));
        // Its writer waits on ours.
        {
            Transaction tx(t.conn());
            t.conn().exec("insert into 锁测试 values (3)");
            QCOMPARE(otherProgram({"write", file}).code, 3);
            tx.commit();
        }
        QCOMPARE(otherProgram({"write", file}).code, 0);
        // Its restore is refused while we hold the database.
        QCOMPARE(otherProgram({"restore", file, backup}).out, QString("数据库正被其他程序使用，请关闭其他客户端后再恢复"));
        QCOMPARE(t.scalar("select count(*) from 锁测试").toInt(), 3);
        QCOMPARE(t.scalar("PRAGMA integrity_check").toString(), QString("ok"));
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--other") == 0)
        return runOtherProgram(argc, argv);
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestDatabaseLocks tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_databaselocks.moc"
