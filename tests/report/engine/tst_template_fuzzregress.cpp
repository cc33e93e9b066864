// Replays the inputs the template fuzzer once found faults with: each is read
// without harm, what is accepted writes back to a stream that reads again and
// writes the same bytes, and its pages draw.
#include "templatebuilder.h"

#include "common/clock.h"

#include <QDir>
#include <QtTest>

using namespace orv::test;

namespace {
// Where two byte strings first differ, with some bytes around it.
QString firstDifference(const QByteArray &a, const QByteArray &b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    if (i == a.size() && i == b.size())
        return QString();
    const qsizetype from = std::max<qsizetype>(0, i - 8);
    return QStringLiteral("offset %1: %2 / %3").arg(i).arg(QString::fromLatin1(a.mid(from, 24).toHex(' ')),
                                                     QString::fromLatin1(b.mid(from, 24).toHex(' ')));
}

} // namespace

class TstTemplateFuzzRegress : public QObject {
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
        QTest::addColumn<QString>("path");
        const QString dir = QFINDTESTDATA("data/fuzz");
        QVERIFY(!dir.isEmpty());
        const QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << QDir(dir).filePath(f);
    }
    void replay()
    {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray input = f.readAll();

        TfrReport r;
        TemplateBuilder(r).page().Name = QStringLiteral("Keep");
        const QByteArray kept = templateBytes(r);
        const TfrLoadResult res = readTemplate(r, input);
        if (res != TfrLoadResult::Ok && res != TfrLoadResult::MissingClasses) {
            QCOMPARE(templateBytes(r), kept);
            return;
        }
        const QByteArray first = templateBytes(r);
        TfrReport again;
        QCOMPARE(readTemplate(again, first), TfrLoadResult::Ok);
        QCOMPARE(firstDifference(templateBytes(again), first), QString());
        drawPages(r);
    }
};

QTEST_MAIN(TstTemplateFuzzRegress)
#include "tst_template_fuzzregress.moc"
