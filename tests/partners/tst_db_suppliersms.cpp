// The supplier list's hidden 发送短信 opens the SMS window with the current supplier's phone.
#include "scriptedprompt.h"
#include "testdb.h"

#include "goods/frmwanglaidanwei.h"
#include "goods/goodsschema.h"
#include "partners/frmduanxincon.h"
#include "partners/partnersmenu.h"

#include <QLineEdit>

using namespace orv;
using namespace orv::test;

class TestSupplierSms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        registerPartnersWindows();
    }

    void smsWindowGetsThePhone()
    {
        TestDb t;
        t.exec("insert into 往来单位(单位名称, ID, 联系电话) values(?,?,?)", {"某厂", "DW1", "13800001111"});
        TfrmWangLaiDanWei list;
        list.show();
        ScriptedPrompt p;
        QString mobile;
        p.expectModal([&](QDialog *d) {
            if (qobject_cast<TfrmDuanXinCon *>(d))
                mobile = d->findChild<QLineEdit *>("Edphone")->text();
            d->reject();
            return 0;
        });
        // The window says at opening that no gateway is installed.
        list.SpeedButton8Click();
        QCOMPARE(mobile, QString("13800001111"));
    }
};

ORV_DB_TEST_MAIN(TestSupplierSms)
#include "tst_db_suppliersms.moc"
