#include "admin/adminmenu.h"
#include "admin/backup.h"
#include "admin/frmexcelinto.h"
#include "admin/frminit.h"
#include "admin/frmmdfpwd.h"
#include "admin/frmprivilege.h"
#include "admin/frmrecord.h"
#include "admin/frmuser.h"
#include "admin/initialisation.h"
#include "app/appglobals.h"
#include "app/frmmain.h"
#include "app/windowing.h"
#include "data/datamodule.h"

namespace orv {

namespace {
QString withReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + "\n" + reason;
}
} // namespace

void backupDatabase(QWidget *parent)
{
    // Both databases are copied by this machine, so the backup no longer has to run on the server.
    const QString file = prompt().saveFileName(parent, QString(), QString(), QString());
    if (file.isEmpty())
        return;
    BackupOutcome r;
    {
        const BusyCursor busy;
        r = DatabaseBackup(db()).backup(file);
    }
    prompt().message(parent, "数据库备份", r.ok ? QStringLiteral("数据库备份成功完成") : withReason("数据库备份失败", r.reason),
                     QMessageBox::Information);
}

void restoreDatabase(QWidget *parent)
{
    if (!askYesNo(parent, "系统提示", "您确定要恢复数据库吗?一旦恢复将覆盖现在的数据您要继续吗"))
        return;
    const QString file = prompt().openFileName(parent, "数据库恢复", QString(), "*.data (*.data);;*.* (*)", "data");
    if (file.isEmpty()) {
        notice(parent, "请选择要恢复的数据库备份文件");
        return;
    }
    // The windows showing the data that is about to be replaced close first.
    if (ChildHost *host = childHost())
        host->closeOtherChildren("");
    BackupOutcome r;
    {
        const BusyCursor busy;
        r = DatabaseBackup(db()).restore(file);
    }
    if (r.ok) {
        // The restored company record is the one printed from now on.
        try {
            if (const auto company = CompanyStore(db()).first()) {
                G.gCompanyName = company->name;
                G.gCompanyAddress = company->address;
                G.gCompanyPhone = company->phone;
                G.gCompanyFax = company->fax;
                G.gCompanyBusiness = company->business;
                G.gPrintSignature = company->printSignature ? 1 : 0;
            }
        } catch (const std::exception &) {
            // Logged where it arose; the restore itself went through.
        }
        prompt().message(parent, "数据恢复",
                         withReason("数据库恢复成功完成！",
                                    r.keptCopy.isEmpty() ? QString() : "恢复前的数据库已另存为：" + r.keptCopy),
                         QMessageBox::Information);
    } else {
        prompt().message(parent, "数据库恢复", withReason("数据库恢复失败!", r.reason), QMessageBox::Information);
    }
}

void registerAdminWindows()
{
    setMenuHandler("FileNewItem", [] { openModal(frmInit); });
    setMenuHandler("FileOpenItem", [] { backupDatabase(frmMain); });
    setMenuHandler("FileCloseItem", [] { restoreDatabase(frmMain); });
    setMenuHandler("FileSaveItem", [] { openModal(frmExcelInto); });
    setMenuHandler("N4", [] { openModal(frmPrivilege); });
    setMenuHandler("N5", [] { openModal(frmUser); });
    setMenuHandler("N6", [] { openModal(frmMdfPwd); });
    // The log keeps the window's own position.
    setMenuHandler("N50", [] { openModal(frmRecord, false); });
    setMenuHandler("N59", [] { openModal(frmAboutUs); });
}

} // namespace orv
