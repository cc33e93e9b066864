// Orvane 仓库管理: program entry.
#include "app/appglobals.h"
#include "app/frmmain.h"
#include "common/apptitle.h"
#include "data/datamodule.h"
#include "program.h"

int main(int argc, char *argv[])
{
    orv::Application app(argc, argv);
    orv::registerSubsystems();

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
