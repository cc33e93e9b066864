// Window places kept in the user's settings.
#include "report/engine/frformstate.h"

#include "common/settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TfrSampleForm : public QWidget {
    Q_OBJECT
};

namespace {
const QString kGroup = QStringLiteral("Software/OrvReport/Form/TfrSampleForm");
} // namespace

class TstFormState : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    void write(const QVariantMap &values)
    {
        auto s = orv::userSettings();
        s->remove(kGroup);
        s->beginGroup(kGroup);
        for (auto it = values.begin(); it != values.end(); ++it)
            s->setValue(it.key(), it.value());
    }

private slots:
    void initTestCase() { orv::setUserSettingsPath(m_dir.filePath(QStringLiteral("user.ini"))); }
    void cleanupTestCase() { orv::setUserSettingsPath(QString()); }

    void roundTrip()
    {
        QCOMPARE(frFormStateGroup(QStringLiteral("TfrPreviewForm")), QStringLiteral("Software/OrvReport/Form/TfrPreviewForm"));
        TfrSampleForm a;
        a.setGeometry(40, 50, 300, 200);
        SaveFormState(&a);
        {
            auto s = orv::userSettings();
            QCOMPARE(s->value(kGroup + QStringLiteral("/XPosition")).toInt(), 40);
            QCOMPARE(s->value(kGroup + QStringLiteral("/Height")).toInt(), 200);
            QCOMPARE(s->value(kGroup + QStringLiteral("/Maximized")).toBool(), false);
        }
        TfrSampleForm b;
        b.setGeometry(0, 0, 100, 100);
        RestoreFormState(&b);
        QCOMPARE(b.geometry(), QRect(40, 50, 300, 200));
    }

    void maximizedState_data()
    {
        QTest::addColumn<QVariant>("maximized");
        QTest::addColumn<bool>("staysMaximized");
        QTest::newRow("missing leaves it") << QVariant() << true;
        QTest::newRow("false makes it normal") << QVariant(false) << false;
        QTest::newRow("true keeps it") << QVariant(true) << true;
    }
    void maximizedState()
    {
        QFETCH(QVariant, maximized);
        QFETCH(bool, staysMaximized);
        QVariantMap values{{QStringLiteral("XPosition"), 30}, {QStringLiteral("YPosition"), 20},
                           {QStringLiteral("Width"), 320}, {QStringLiteral("Height"), 240}};
        if (maximized.isValid())
            values.insert(QStringLiteral("Maximized"), maximized);
        write(values);
        TfrSampleForm f;
        f.setWindowState(Qt::WindowMaximized);
        RestoreFormState(&f);
        QCOMPARE(bool(f.windowState() & Qt::WindowMaximized), staysMaximized);
        // The stored bounds apply either way (as the bounds of the normal window).
        f.setWindowState(Qt::WindowNoState);
        QCOMPARE(f.geometry(), QRect(30, 20, 320, 240));
    }

    void boundsFitTheScreen()
    {
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        write({{QStringLiteral("XPosition"), 100000}, {QStringLiteral("YPosition"), -5000},
               {QStringLiteral("Width"), avail.width() + 500}, {QStringLiteral("Height"), 100}});
        TfrSampleForm f;
        RestoreFormState(&f);
        QVERIFY(avail.contains(f.geometry()));
        QCOMPARE(f.geometry().width(), avail.width());
        QCOMPARE(f.geometry().height(), 100);
    }

    void unreadableValuesKeepTheCurrentBounds()
    {
        write({{QStringLiteral("XPosition"), QStringLiteral("left")}, {QStringLiteral("Width"), -7},
               {QStringLiteral("Maximized"), QStringLiteral("yes")}});
        TfrSampleForm f;
        f.setGeometry(60, 70, 200, 150);
        RestoreFormState(&f);
        QCOMPARE(f.geometry(), QRect(60, 70, 200, 150));
    }
};

QTEST_MAIN(TstFormState)
#include "tst_formstate.moc"
