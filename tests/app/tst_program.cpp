// What the program registers and sets up at start: menu handlers name real entries; captions
// stand alone; every window carries the program's icon; the standard dialogs speak Chinese
// whatever the session's language.
#include "app/menutree.h"
#include "app/windowing.h"
#include "program.h"

#include <QAbstractItemModel>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

using namespace orv;

namespace {
// LC_ALL as the session gave it, before the application object was made.
QByteArray g_sessionLcAll;
bool g_sessionHadLcAll = false;

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

    // Whatever the session's locale: QLocale() and the locale Qt's file dialog formats sizes and
    // dates in are Chinese, its captions and file types are Chinese, and the dialog is Qt's own
    // (a desktop's native one would speak the session's language). The session's environment is
    // left as it was, for the C library and the programs the program starts.
    void fileDialogSpeaksChinese()
    {
        QCOMPARE(QLocale().language(), QLocale::Chinese);
        QCOMPARE(QLocale::system().language(), QLocale::Chinese);
        QCOMPARE(qEnvironmentVariableIsSet("LC_ALL"), g_sessionHadLcAll);
        QCOMPARE(qgetenv("LC_ALL"), g_sessionLcAll);
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));

        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("单据"));
        QFile file(dir.filePath("a.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.close();
        QFileDialog dialog(nullptr, "导出", dir.path());
        QCOMPARE(dialog.findChild<QLabel *>("lookInLabel")->text(), QString("查找范围："));
        QCOMPARE(dialog.findChild<QLabel *>("fileNameLabel")->text(), QString("文件名称(&N)："));
        QCOMPARE(dialog.findChild<QLabel *>("fileTypeLabel")->text(), QString("文件类型："));
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        const QModelIndex root = model->index(dir.path());
        QTRY_COMPARE(model->rowCount(root), 2);
        QStringList headers;
        for (int c = 0; c < 4; ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"名称", "体积", "类型", "修改日期"}));
        const QModelIndex folder = model->index(dir.filePath("单据")), txt = model->index(file.fileName());
        QTRY_COMPARE(folder.siblingAtColumn(2).data().toString(), QString("文件夹"));
        QTRY_COMPARE(txt.siblingAtColumn(1).data().toString(), QString("3 字节"));
        const QString date = txt.siblingAtColumn(3).data().toString();
        QCOMPARE(date, QLocale(QLocale::Chinese, QLocale::China).toString(QFileInfo(file).lastModified(), QLocale::ShortFormat));
        QVERIFY2(!date.contains(QRegularExpression("[A-Za-z]")), qPrintable(date));
    }

    // The same in a session without a locale, in the plain C one, in an English one and in a
    // Chinese one: the program run with each, offscreen.
    void fileDialogSpeaksChineseInEverySession_data()
    {
        QTest::addColumn<QStringList>("unset");
        QTest::addColumn<QStringList>("set");
        const QStringList all{"LC_ALL", "LANG", "LANGUAGE", "LC_TIME", "LC_NUMERIC", "LC_MESSAGES"};
        QTest::newRow("no locale") << all << QStringList{};
        QTest::newRow("C") << all << QStringList{"LC_ALL=C"};
        QTest::newRow("English") << all << QStringList{"LANG=en_US.UTF-8"};
        QTest::newRow("Chinese") << all << QStringList{"LANG=zh_CN.UTF-8"};
    }
    void fileDialogSpeaksChineseInEverySession()
    {
        QFETCH(QStringList, unset);
        QFETCH(QStringList, set);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &name : unset)
            env.remove(name);
        for (const QString &pair : set)
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QCoreApplication::applicationFilePath(), {"fileDialogSpeaksChinese"});
        QVERIFY(run.waitForFinished(60000));
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                 run.readAllStandardOutput() + run.readAllStandardError());
    }
};

int main(int argc, char *argv[])
{
    g_sessionHadLcAll = qEnvironmentVariableIsSet("LC_ALL");
    g_sessionLcAll = qgetenv("LC_ALL");
    Application app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestProgram tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_program.moc"
