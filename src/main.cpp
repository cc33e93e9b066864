// Orvane 仓库管理: program entry.
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "app/frmmain.h"
#include "app/lifecycle.h"
#include "data/schema.h"
#include "ledger/vouchers.h"
#include "common/apptitle.h"
#include "goods/goodsmenu.h"
#include "partners/partnersmenu.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("orvane");
    QApplication::setApplicationDisplayName(orv::kAppTitle);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    // Standard dialogs speak Chinese.
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);

    // Tables and menu entries of each subsystem, before the main window builds its menu.
    orv::registerAppSchema();
    orv::registerLedgerSchema();
    orv::registerGoodsWindows();
    orv::registerPartnersWindows();

    orv::TfrmMain *main = new orv::TfrmMain();
    orv::frmDataModule = new orv::TfrmDataModule(&app);
    orv::G.gAppTitle = orv::kAppTitle;
    orv::G.gFooterBanner = QStringLiteral("Orvane仓库管理软件 · 本单据由系统打印");
    main->setWindowTitle(orv::kAppTitle);
    main->show();
    const int rc = app.exec();
    delete main;
    return rc;
}
