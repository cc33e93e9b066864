// Replays every input the fuzzers found a fault with, through the entry the fuzzers
// use (fuzzentries.h): data/fuzz/template/ for the template reader, data/fuzz/prepared/
// for the prepared-report reader. Under the sanitizer build a crash or undefined
// behaviour fails the run as it failed the fuzzer.
#include "fuzzentries.h"

#include "common/clock.h"

#include <QDir>
#include <QtTest>

using namespace orv::test;

class TstFuzzRegress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        orv::Clock::pin(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    }
    void cleanupTestCase() { orv::Clock::pin(QDateTime()); }

    void replay_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QString root = QFINDTESTDATA("data/fuzz");
        QVERIFY(!root.isEmpty());
        for (const char *name : {"template", "prepared"}) {
            const QString target = QString::fromLatin1(name);
            const QDir dir(root + QLatin1Char('/') + target);
            const QStringList files = dir.entryList(QDir::Files, QDir::Name);
            QVERIFY2(!files.isEmpty(), qPrintable(dir.path()));
            for (const QString &f : files)
                QTest::newRow(qPrintable(target + QLatin1Char('/') + f)) << target << dir.filePath(f);
        }
    }
    void replay()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray input = f.readAll();
        const QString failed = target == QLatin1String("template") ? fuzzTemplateInput(input)
                                                                     : fuzzPreparedInput(input);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
};

QTEST_MAIN(TstFuzzRegress)
#include "tst_fuzzregress.moc"
