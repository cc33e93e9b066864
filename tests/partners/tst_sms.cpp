// The SMS window over a gateway: its four buttons and every line they write.
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "partners/frmduanxincon.h"
#include "partners/smsgateway.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
// A gateway that answers as told and records its calls.
class FakeGateway : public SmsGateway {
public:
    int connectResult = 7, testResult = 1, sendResult = 1;
    QStringList calls;
    int connect(const QString &server, int port, const QString &account, const QString &password) override
    {
        calls << QString("connect %1 %2 %3 %4").arg(server).arg(port).arg(account, password);
        return connectResult;
    }
    int testConnection(int handle) override
    {
        calls << QString("test %1").arg(handle);
        return testResult;
    }
    int send(int handle, const QString &mobile, const QString &text) override
    {
        calls << QString("send %1 %2 %3").arg(handle).arg(mobile, text);
        return sendResult;
    }
    void disconnect(int handle) override { calls << QString("disconnect %1").arg(handle); }
};

QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(name); }
} // namespace

class TestSms : public QObject {
    Q_OBJECT
private slots:
    void init() { G = AppGlobals{}; }
    void cleanup() { setSmsGateway(nullptr); }

    void withoutAnInstalledGateway()
    {
        TfrmDuanXinCon w("13800001111");
        w.show();
        QCOMPARE(w.windowTitle(), QString("短信发送"));
        QCOMPARE(w.findChild<QLineEdit *>("Edphone")->text(), QString("13800001111"));
        QVERIFY(!w.findChild<QGroupBox *>()->isVisible()); // 帐户登陆 is never shown
        QCOMPARE(w.infoLines(), QStringList{NoSmsGateway().notice()});
        w.BtSendClick();
        QCOMPARE(w.infoLines().first(), QString("没有连接到任何服务器!!!"));
        w.BtConnClick();
        QCOMPARE(w.infoLines().first(), QString("连接失败!错误代码为:-1"));
        QCOMPARE(G.gSmsHandle, -1);
        QVERIFY(button(&w, "BtConn")->isEnabled());
        w.BtTestClick();
        QCOMPARE(w.infoLines().first(), QString("没有连接到任何服务器!!!"));
    }

    void buttonsAndTheirLines()
    {
        FakeGateway gw;
        setSmsGateway(&gw);
        TfrmDuanXinCon w("  13800001111 ");
        w.show();
        QVERIFY(w.infoLines().isEmpty());
        QVERIFY(button(&w, "BtConn")->isEnabled());
        QVERIFY(!button(&w, "BtDisConn")->isEnabled());

        // Sending before any connection calls nothing.
        w.BtSendClick();
        QCOMPARE(w.infoLines(), QStringList{"没有连接到任何服务器!!!"});
        QVERIFY(gw.calls.isEmpty());

        // A connect result of 0 is a failure.
        gw.connectResult = 0;
        w.BtConnClick();
        QCOMPARE(w.infoLines().first(), QString("连接失败!错误代码为:0"));
        QVERIFY(button(&w, "BtConn")->isEnabled());

        gw.connectResult = 7;
        w.BtConnClick();
        QCOMPARE(w.infoLines().first(), QString("连接成功!连接句柄:7"));
        QCOMPARE(G.gSmsHandle, 7);
        QVERIFY(!button(&w, "BtConn")->isEnabled());
        QVERIFY(button(&w, "BtDisConn")->isEnabled());
        QCOMPARE(gw.calls.last(), QString("connect sms.gateway.local 8018 orvane 260731"));
        // A second connect only repeats the line.
        w.BtConnClick();
        QCOMPARE(w.infoLines().first(), QString("连接成功!连接句柄:7"));
        QCOMPARE(gw.calls.size(), 2);

        w.BtSendClick();
        QCOMPARE(gw.calls.last(), QString("send 7 13800001111 这是一条测试短信。"));
        QCOMPARE(w.infoLines().first(), QString("发送信息成功"));
        gw.sendResult = -3;
        w.BtSendClick();
        QCOMPARE(w.infoLines().first(), QString("发送信息失败!返回:-3"));

        w.BtTestClick();
        QCOMPARE(w.infoLines().first(), QString("测试连接成功!"));
        // A failed test disconnects.
        gw.testResult = 5;
        w.BtTestClick();
        QCOMPARE(w.infoLines().mid(0, 2), (QStringList{"断开连接!7", "测试连接失败!返回:5"}));
        QCOMPARE(gw.calls.last(), QString("disconnect 7"));
        QCOMPARE(G.gSmsHandle, 0);
        QVERIFY(button(&w, "BtConn")->isEnabled());
        QVERIFY(!button(&w, "BtDisConn")->isEnabled());
        const int calls = int(gw.calls.size());
        w.BtDisConnClick(); // not connected: nothing
        QCOMPARE(gw.calls.size(), calls);
        QCOMPARE(w.infoLines().size(), 9);
    }

    void handleOutlivesTheWindow()
    {
        FakeGateway gw;
        setSmsGateway(&gw);
        {
            TfrmDuanXinCon w;
            w.show();
            w.BtConnClick();
        }
        TfrmDuanXinCon again;
        again.show();
        again.BtSendClick();
        QCOMPARE(again.infoLines(), QStringList{"发送信息成功"});
        QCOMPARE(gw.calls.size(), 2);
    }

    void portMustBeANumber()
    {
        FakeGateway gw;
        setSmsGateway(&gw);
        ScriptedPrompt p;
        TfrmDuanXinCon w;
        w.show();
        w.findChild<QLineEdit *>("EdPort")->setText("80a");
        p.expectMessage("端口号必须是整数：80a");
        w.BtConnClick();
        QVERIFY(gw.calls.isEmpty());
        w.findChild<QLineEdit *>("EdPort")->setText("  ");
        w.BtConnClick();
        QCOMPARE(gw.calls.first(), QString("connect sms.gateway.local 8018 orvane 260731"));
        QVERIFY(p.verifyDone());
    }

    void openerFreesALeftoverWindow()
    {
        ScriptedPrompt p;
        QString phone;
        auto drive = [&phone](QDialog *d) {
            phone = d->findChild<QLineEdit *>("Edphone")->text();
            return int(QDialog::Rejected);
        };
        p.expectModal(drive).expectModal(drive);
        openDuanXinCon("139");
        QPointer<TfrmDuanXinCon> first = frmDuanXinCon;
        openDuanXinCon("137");
        QVERIFY(first.isNull());
        QCOMPARE(phone, QString("137"));
        QVERIFY(p.verifyDone());
        delete frmDuanXinCon.data();
    }
};

QTEST_MAIN(TestSms)
#include "tst_sms.moc"
