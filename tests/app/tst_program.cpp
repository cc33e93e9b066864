// What the program registers at start: menu handlers name real entries; captions stand alone.
#include "app/menutree.h"
#include "app/windowing.h"
#include "program.h"

#include <QApplication>
#include <QtTest>

using namespace orv;

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void everyHandlerNamesAMenuEntry()
    {
        registerSubsystems();
        QStringList entries;
        for (const MenuItemDef &d : menuTree())
            if (!d.submenu && d.caption != "-")
                entries << d.name;
        const QStringList names = menuHandlerNames();
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QVERIFY2(entries.contains(name), qPrintable("no menu entry " + name));
    }

    // No display name: the window system would append it to every dialog's caption.
    void captionsStandAlone()
    {
        setUpApplication(*qApp);
        // An unset display name follows the application name; a set one would stay.
        const QString name = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName("probe");
        const QString shown = QGuiApplication::applicationDisplayName();
        QCoreApplication::setApplicationName(name);
        QCOMPARE(shown, QString("probe"));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
