// System log viewer: newest first, delete one, empty, export with its count line; 服务支持.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/frmrecord.h"
#include "app/appglobals.h"
#include "goods/excelexport.h"
#include "program.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <zip.h>

using namespace orv;
using namespace orv::test;

namespace {
void log(TestDb &t, const QString &time, const QString &user, const QString &event)
{
    t.exec("insert into 日志(时间,用户,事件) values(?,?,?)", {time, user, event});
}

QString label(QWidget *w) { return control<QLabel>(w, "Label1")->text(); }

// The shared strings of a workbook, in the order they were first written.
QString workbookText(const QString &path)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, "xl/sharedStrings.xml", 0, &st) == 0)
        if (zip_file_t *f = zip_fopen(z, "xl/sharedStrings.xml", 0)) {
            out.resize(qsizetype(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
        }
    zip_close(z);
    return QString::fromUtf8(out);
}
} // namespace

class TestSystemLog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init() { G = AppGlobals{}; }

    void listDeleteEmpty()
    {
        TestDb t;
        log(t, "2024-03-05   09:00:00", "admin", "登录系统");
        log(t, "2024-03-05   17:30:00", "admin", "退出系统");
        log(t, "2024-03-04   08:00:00", "001.张三", "登录系统");
        log(t, "2024-03-05   17:30:00", "001.张三", "登录系统");
        ScriptedPrompt p;
        TfrmRecord w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("系统日志"));
        QCOMPARE(label(&w), QString("总记录数为:4"));
        QVERIFY(grid(&w)->isColumnHidden(0));
        // Newest first; of two rows of one second the later written comes first.
        QCOMPARE(column(grid(&w), 2), (QStringList{"001.张三", "admin", "admin", "001.张三"}));
        QCOMPARE(column(grid(&w), 1).last(), QString("2024-03-04   08:00:00"));

        // The wheel moves the current row while the list has the focus.
        QApplication::setActiveWindow(&w);
        grid(&w)->setFocus();
        QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid(&w)->viewport(), &down);
        QCOMPARE(grid(&w)->currentRow(), 1);

        // No: nothing deleted. Yes: that row goes and the first row is current again.
        p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
        w.SpeedButton2Click();
        QCOMPARE(count(t, "日志"), 4);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton2Click();
        QCOMPARE(count(t, "日志", "用户='admin' and 事件='退出系统'"), 0);
        QCOMPARE(label(&w), QString("总记录数为:3"));
        QCOMPARE(grid(&w)->currentRow(), 0);

        p.expectMessage("您确实要清空吗?", QMessageBox::No, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(count(t, "日志"), 3);
        p.expectMessage("您确实要清空吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(count(t, "日志"), 0);
        QCOMPARE(label(&w), QString("总记录数为:0"));

        // On an empty list 删除 does nothing; 清空 still asks.
        w.SpeedButton2Click();
        p.expectMessage("您确实要清空吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(label(&w), QString("总记录数为:0"));
        // Nothing to export: no question.
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
    }

    void exportWithCountLine()
    {
        TestDb t;
        QTemporaryDir out;
        ExcelExport::setOutputFolder(out.path());
        log(t, "2024-03-05   09:00:00", "admin", "登录系统");
        log(t, "2024-03-05   10:00:00", "002.李四", "退出系统");
        ScriptedPrompt p;
        TfrmRecord w;
        w.show();
        p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示").expectMessage("数据导出完成!").expectExternal();
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        const QString text = workbookText(w.lastExport());
        for (const char *s : {"流水号", "时间", "用户", "事件", "2024-03-05   10:00:00", "002.李四", "满足条件记录的总数为：2条"})
            QVERIFY2(text.contains(QString::fromUtf8(s)), s);
        QVERIFY(text.indexOf("002.李四") < text.indexOf("admin"));
        ExcelExport::setOutputFolder(QString());
    }

    void supportWindow()
    {
        TestDb t;
        TfrmAboutUs w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("服务支持"));
        QVERIFY(!control<QLabel>(&w, "Memo1")->text().isEmpty());
    }
};

ORV_DB_TEST_MAIN(TestSystemLog)
#include "tst_db_systemlog.moc"
