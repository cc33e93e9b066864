// The progress window of long work: it paints and hears 取消 while the work moves slowly,
// not only when its value changes.
#include "common/prompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace orv;

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void slowWorkStaysAnswering()
    {
        QWidget parent;
        parent.show();
        const std::unique_ptr<Progress> bar = prompt().progress(&parent, "导入", "正在导入数据……");
        QVERIFY(bar->advance(1, 1000));
        bool heard = false;
        QTimer::singleShot(0, &parent, [&heard] { heard = true; });
        // The value stays the same while the work goes on, as with rows written to a slow database.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300) {
            QVERIFY(bar->advance(1, 1000));
            QThread::msleep(5);
        }
        QVERIFY(heard);
        auto *dialog = parent.findChild<QProgressDialog *>();
        QVERIFY(dialog);
        QTimer::singleShot(0, dialog, &QProgressDialog::cancel);
        bool cancelled = false;
        t.restart();
        while (!cancelled && t.elapsed() < 2000) {
            cancelled = !bar->advance(1, 1000);
            QThread::msleep(5);
        }
        QVERIFY(cancelled);
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
