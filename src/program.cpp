#include "program.h"
#include "admin/adminmenu.h"
#include "data/schema.h"
#include "goods/goodsmenu.h"
#include "partners/partnersmenu.h"
#include "ledger/vouchers.h"
#include "purchasing/purchasingmenu.h"
#include "report/engine/frglobals.h"
#include "sales/salesschema.h"
#include "stock/stockschema.h"
#include "warehouse/warehouseschema.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orv {

namespace {

// Every size rendered from the drawing, so each window system picks its own.
QIcon programIcon()
{
    QIcon icon;
    for (const QString &size : QDir(QStringLiteral(":/icons")).entryList(QDir::Dirs))
        icon.addFile(QStringLiteral(":/icons/%1/orvane.png").arg(size));
    return icon;
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setUpApplication(*this);
}

void setUpApplication(QApplication &app)
{
    // No display name: window systems would append it to every caption.
    QApplication::setApplicationName("orvane");
    // The desktop entry the window systems match the program's windows with.
    QGuiApplication::setDesktopFileName("orvane");
    // Set on the application, so every window has it: the main window, each child window (also
    // maximised, where it stands in the menu bar) and every dialog.
    QApplication::setWindowIcon(programIcon());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Standard dialogs speak Chinese.
    auto *qtbase = new QTranslator(&app);
    if (qtbase->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtbase);
    // The report engine's globals, hooks, preview and script interpreter, so documents print.
    frInitEngine();
}

void registerSubsystems()
{
    registerAppSchema();
    registerLedgerSchema();
    registerAdminWindows();
    registerGoodsWindows();
    registerPartnersWindows();
    registerPurchasingWindows();
    registerSalesSchema();
    registerWarehouseSchema();
    registerStockSchema();
}

} // namespace orv
