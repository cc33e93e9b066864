#include "program.h"
#include "admin/adminmenu.h"
#include "data/schema.h"
#include "goods/goodsmenu.h"
#include "partners/partnersmenu.h"
#include "ledger/vouchers.h"
#include "purchasing/purchasingmenu.h"
#include "report/designer/frdesignersession.h"
#include "report/engine/frglobals.h"
#include "sales/salesmenu.h"
#include "sales/salesauditmenu.h"
#include "stock/stockmenu.h"
#include "warehouse/warehousemenu.h"
#include "warehouse/warehouseschema.h"

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orv {

namespace {

// The texts of Qt's file dialog that its Chinese translation lacks: the file list's type column.
class FileTypeTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        static const QHash<QByteArray, QString> texts{{"Drive", QStringLiteral("驱动器")},
                                                      {"Folder", QStringLiteral("文件夹")},
                                                      {"Unknown", QStringLiteral("未知")}};
        return qstrcmp(context, "QAbstractFileIconProvider") == 0 ? texts.value(sourceText) : QString();
    }
};

// Qt takes the session's locale (LC_ALL, LC_TIME, LC_NUMERIC, LANG) once, as the application
// object is made, and its file dialog shows sizes and dates in it. It is taken here as Chinese;
// the environment is put back at once, so the C library and the programs we start keep the
// session's own. Runs before the application object: hence the argument it passes through.
int &takeLocaleAsChinese(int &argc)
{
    const bool had = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray was = qgetenv("LC_ALL");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    (void)QLocale::system();
    if (had)
        qputenv("LC_ALL", was);
    else
        qunsetenv("LC_ALL");
    return argc;
}

// Every size rendered from the drawing, so each window system picks its own.
QIcon programIcon()
{
    QIcon icon;
    for (const QString &size : QDir(QStringLiteral(":/icons")).entryList(QDir::Dirs))
        icon.addFile(QStringLiteral(":/icons/%1/orvane.png").arg(size));
    return icon;
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(takeLocaleAsChinese(argc), argv)
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
    // Standard dialogs speak Chinese: Qt's own dialogs with Qt's translation, never a desktop's
    // native dialog, which would speak the session's language.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    auto *qtbase = new QTranslator(&app);
    if (qtbase->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtbase);
    app.installTranslator(new FileTypeTexts(&app));
    // The report engine's globals, hooks, preview and script interpreter, so documents print.
    frInitEngine();
    // The page designer, reached from the preview's edit-page command.
    frRegisterDesigner();
}

void registerSubsystems()
{
    registerAppSchema();
    registerLedgerSchema();
    registerAdminWindows();
    registerGoodsWindows();
    registerPartnersWindows();
    registerPurchasingWindows();
    registerSalesWindows();
    registerSalesListWindows();
    registerWarehouseWindows();
    registerStockWindows();
}

} // namespace orv
