// The three date pickers hand the chosen date to the window that opened them, and only to it.
#include "app/appglobals.h"
#include "scriptedprompt.h"

#include "app/frmpushtime.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "app/xuanzeriqi.h"
#include "common/clock.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTest>

using namespace orv;
using namespace orv::test;

// A window that receives dates: by message, or (the sales window) as its date field.
class Receiver : public QWidget, public MessageReceiver {
public:
    using QWidget::QWidget;
    void onWindowMessage(int message) override { messages << message; }
    bool setField(FieldRole role, const QString &which, const QString &value) override
    {
        if (role != FieldRole::Date || which != kSalesDateField)
            return false;
        dateBox = value;
        return true;
    }
    QList<int> messages;
    QString dateBox = "old";
};

namespace {
// Opens the picker `kind` for `opener`, picks 2026-03-05 and ends it with `action`
// ("ok", "cancel" or "esc"). Returns the date the picker showed when opened.
QDate pick(const QString &kind, QWidget *opener, const QString &action)
{
    ScriptedPrompt p;
    QDate shown;
    p.expectModal([&](QDialog *d) {
        auto *dp = static_cast<TDatePickDialog *>(d);
        shown = dp->picker()->date();
        dp->picker()->setDate(QDate(2026, 3, 5));
        const bool time = kind == "time";
        if (action == "ok")
            d->findChild<QPushButton *>(time ? "btnOK" : "Button1")->click();
        else if (action == "cancel")
            d->findChild<QPushButton *>(time ? "btnCancel" : "Button2")->click();
        else
            QTest::keyClick(d, Qt::Key_Escape);
        return d->result();
    });
    if (kind == "time")
        openModal(frmTime, true, opener);
    else if (kind == "push")
        openModal(frmPushTime, true, opener);
    else
        openModal(xuanzeriqi, true, opener);
    p.verifyDone();
    return shown;
}
} // namespace

class TestDatePickers : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        G = AppGlobals{};
        Clock::pin(QDateTime(QDate(2026, 12, 10), QTime(3, 0), Qt::UTC));
    }
    void cleanup() { Clock::pin(QDateTime()); }

    void messagePickers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("pickerName");
        QTest::newRow("TfrmTime") << "time" << "请选择时间" << "DateTimePickerDate";
        QTest::newRow("TfrmPushTime") << "push" << "请选择日期" << "DateTimePickerDate";
    }

    void messagePickers()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, pickerName);
        Receiver receipt, audit; // the opener, and another open receiver of the same message
        const QDate shown = pick(kind, &receipt, "ok");
        QCOMPARE(shown, Clock::localNow().date());
        QWidget *w = kind == "time" ? static_cast<QWidget *>(frmTime) : frmPushTime;
        QCOMPARE(w->windowTitle(), caption);
        QVERIFY(w->findChild<QDateEdit *>(pickerName));
        QCOMPARE(G.gDateAndTime.Date, QString("2026-03-05"));
        QVERIFY(G.gDateAndTime.Time.isEmpty());
        QCOMPARE(receipt.messages, QList<int>{WM_DATE_CHOSEN});
        QVERIFY(audit.messages.isEmpty());

        // Cancel and Esc write nothing and send nothing.
        G.gDateAndTime.Date = "unchanged";
        pick(kind, &receipt, "cancel");
        pick(kind, &receipt, "esc");
        QCOMPARE(G.gDateAndTime.Date, QString("unchanged"));
        QCOMPARE(receipt.messages.size(), 1);

        // Without an opener the date is kept and nothing else happens.
        pick(kind, nullptr, "ok");
        QCOMPARE(G.gDateAndTime.Date, QString("2026-03-05"));
    }

    void salesDateChooser_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("written");
        QTest::newRow("sales window") << 2 << "ok" << "2026-03-05";
        QTest::newRow("other target") << 1 << "ok" << "old";
        QTest::newRow("cancel") << 2 << "cancel" << "old";
        QTest::newRow("esc") << 2 << "esc" << "old";
    }

    void salesDateChooser()
    {
        QFETCH(int, target);
        QFETCH(QString, action);
        QFETCH(QString, written);
        Receiver sales, other;
        G.gDatePickTarget = target;
        pick("xuanzeriqi", &sales, action);
        QCOMPARE(xuanzeriqi->windowTitle(), QString("请选择日期"));
        QCOMPARE(sales.dateBox, written);
        QCOMPARE(other.dateBox, QString("old"));
        QVERIFY(sales.messages.isEmpty());
        QVERIFY(G.gDateAndTime.Date.isEmpty());
    }
};

QTEST_MAIN(TestDatePickers)
#include "tst_datepickers.moc"
