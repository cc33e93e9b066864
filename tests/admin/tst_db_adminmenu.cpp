// The administration entries of the main menu, chosen by their captions after a login: each opens
// its window, or asks for its file (answered with cancel, so nothing is backed up or restored).
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "app/frmlogin.h"
#include "app/frmmain.h"
#include "app/lifecycle.h"
#include "app/menutree.h"
#include "common/configini.h"
#include "common/paths.h"
#include "program.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
QString itemNamed(const QString &caption)
{
    for (const MenuItemDef &d : menuTree())
        if (d.caption == caption && !d.submenu)
            return d.name;
    return QString();
}
} // namespace

class TestAdminMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init()
    {
        resetProgramTerminated();
        G = AppGlobals{};
        G.gAppTitle = "Orvane仓库管理软件-标准版";
    }

    void entriesOpenTheirWindows()
    {
        TestDb t;
        QVERIFY(writeConfigIni(Paths::configFile(), t.serverName(), t.settings().user, t.settings().password));
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            auto *login = qobject_cast<TfrmLogin *>(d);
            login->nameCombo->setEditText("admin");
            login->passwordEdit->setText("admin");
            login->loginButton->click();
            return login->result();
        });
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        m.show();

        // Caption of the entry, then the window it opens (object name and title).
        const struct {
            const char *caption, *window, *title;
        } windows[] = {
            {"权限设置", "frmPrivilege", "权限组"},   {"操作员管理", "frmUser", "用户管理"},
            {"密码修改", "frmMdfPwd", "修改密码"},    {"系统初始化", "frmInit", "初始化数据"},
            {"系统日志", "frmRecord", "系统日志"},    {"数据导入", "frmExcelInto", "数据导入"},
            {"服务支持", "frmAboutUs", "服务支持"},
        };
        for (const auto &w : windows) {
            const QString caption = QString::fromUtf8(w.caption);
            QAction *item = m.menuItem(itemNamed(caption));
            QVERIFY2(item && item->isVisible() && item->isEnabled(), w.caption);
            QString status;
            p.expectModal([&](QDialog *) {
                status = m.panel(5)->text();
                return int(QDialog::Rejected);
            });
            item->trigger();
            QVERIFY2(p.verifyDone(), w.caption);
            const Recorded &r = p.recorded().last();
            QCOMPARE(r.text, QString::fromUtf8(w.window));
            QCOMPARE(r.caption, QString::fromUtf8(w.title));
            QCOMPARE(status, G.gAppTitle + "-[" + QString::fromUtf8(w.title) + "]");
        }

        // 数据备份 asks where to write; cancelled, nothing more is said.
        const int before = int(p.recorded().size());
        p.expectSaveFile(QString());
        m.menuItem(itemNamed("数据备份"))->trigger();
        QVERIFY(p.verifyDone());
        QCOMPARE(p.recorded().size(), before + 1);
        QCOMPARE(p.recorded().last().kind, QString("save"));

        // 数据恢复 asks first, then for the backup file under its own title.
        p.expectMessage("您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗", QMessageBox::Yes, "系统提示")
            .expectOpenFile(QString())
            .expectMessage("请选择要恢复的数据库备份文件");
        m.menuItem(itemNamed("数据恢复"))->trigger();
        QVERIFY(p.verifyDone());
        const Recorded &open = p.recorded().at(p.recorded().size() - 2);
        QCOMPARE(open.kind, QString("open"));
        QCOMPARE(open.caption, QString("数据库恢复"));
        QCOMPARE(p.lastOpenFilter(), QString("*.data (*.data);;*.* (*)"));
        QCOMPARE(p.lastOpenSuffix(), QString("data")); // a name typed bare means name.data
        QVERIFY(!programTerminated());
    }
};

ORV_DB_TEST_MAIN(TestAdminMenu)
#include "tst_db_adminmenu.moc"
