#include "program.h"
#include "admin/adminmenu.h"
#include "data/schema.h"
#include "goods/goodsmenu.h"
#include "partners/partnersmenu.h"
#include "ledger/vouchers.h"
#include "purchasing/purchasingmenu.h"
#include "report/engine/frglobals.h"
#include "sales/salesschema.h"
#include "stock/stockmenu.h"
#include "warehouse/warehouseschema.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orv {

void setUpApplication(QApplication &app)
{
    // No display name: window systems would append it to every caption.
    QApplication::setApplicationName("orvane");
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
    registerStockWindows();
}

} // namespace orv
