// What the program registers and sets up at start: menu handlers name real entries; captions
// stand alone; every window carries the program's icon.
#include "app/menutree.h"
#include "app/windowing.h"
#include "program.h"

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QWindow>
#include <QtTest>

using namespace orv;

namespace {
bool hasColourNear(const QImage &img, QColor want)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (qAbs(c.red() - want.red()) < 40 && qAbs(c.green() - want.green()) < 40
                && qAbs(c.blue() - want.blue()) < 40)
                return true;
        }
    return false;
}

QImage iconImage(const QIcon &icon, int size) { return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32); }
} // namespace

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
        // An unset display name follows the application name; a set one would stay.
        const QString name = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName("probe");
        const QString shown = QGuiApplication::applicationDisplayName();
        QCoreApplication::setApplicationName(name);
        QCOMPARE(shown, QString("probe"));
    }

    // The program's own icon, in every size drawn, on the main window, a dialog and an MDI child
    // window, also maximised, where its icon stands at the left of the menu bar (Qt's logo
    // stood there).
    void everyWindowHasTheProgramIcon()
    {
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        // Through a pixmap as the windows take it (premultiplied, so compared the same way).
        const QImage drawn = iconImage(QIcon(":/icons/16/orvane.png"), 16);
        QVERIFY(!drawn.isNull());
        QCOMPARE(iconImage(icon, 16), drawn);
        QCOMPARE(QGuiApplication::desktopFileName(), QString("orvane"));

        QMainWindow main;
        auto *area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.menuBar()->addMenu("系统维护");
        QMdiSubWindow *child = area->addSubWindow(new QLabel("子窗口"));
        QDialog dialog;
        main.show();
        child->showMaximized();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        for (QWidget *w : {static_cast<QWidget *>(&main), static_cast<QWidget *>(child), static_cast<QWidget *>(&dialog)})
            QCOMPARE(iconImage(w->windowIcon(), 16), drawn);
        QCOMPARE(iconImage(main.windowHandle()->icon(), 16), drawn);
        QCOMPARE(iconImage(dialog.windowHandle()->icon(), 16), drawn);
        // The maximised child's icon in the menu bar: the warehouse's blue and the boxes' orange,
        // not Qt's green logo.
        QWidget *corner = main.menuBar()->cornerWidget(Qt::TopLeftCorner);
        QVERIFY(corner && corner->isVisible());
        const QImage shown = corner->grab().toImage();
        QVERIFY(hasColourNear(shown, QColor(0x1f, 0x4e, 0x8c)));
        QVERIFY(hasColourNear(shown, QColor(0xe3, 0x9b, 0x3a)));
        QVERIFY(!hasColourNear(shown, QColor(0x41, 0xcd, 0x52)));
    }
};

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestProgram tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_program.moc"
