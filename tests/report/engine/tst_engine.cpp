// The engine as the running program starts it (frInitEngine), and the base of
// the objects that host a control on a dialog page.
#include "report/engine/frcontrol.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"

#include <QLineEdit>
#include <QtTest>

namespace {
// A control object as a dialog-page unit would define one.
class TfrEditControl : public TfrControl {
public:
    TfrEditControl()
    {
        BaseName = QStringLiteral("Edit");
        auto *edit = new QLineEdit;
        edit->setText(QStringLiteral("WWWWWWWW"));
        edit->setFrame(false);
        SetControl(edit);
    }
    QString ClassName() const override { return QStringLiteral("TfrEditControl"); }
};
} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frInitEngine();
        frInitEngine(); // a second call changes nothing
    }

    // Objects expand their insertions in the running program, not only inside a build.
    void insertionsExpandOutsideABuild()
    {
        TfrReport report;
        TfrMemoView *memo = nullptr;
        {
            TfrPage *page = report.Pages()[report.Pages().Add()];
            memo = new TfrMemoView;
            memo->Name = QStringLiteral("Memo1");
            memo->Memo = {QStringLiteral("合计 [1+2] 元"), QStringLiteral("[IF(1>2,'x]y','z')]")};
            page->Add(memo);
        }
        CurrentReport = &report;
        memo->ExpandMemo();
        QCOMPARE(memo->PrintText, (QStringList{QStringLiteral("合计 3 元"), QStringLiteral("z")}));
        QCOMPARE(EngineHooks.FindObject(QStringLiteral("memo1")), memo);
        QCOMPARE(EngineHooks.Evaluate(QStringLiteral("2*3")).toInt(), 6);
        CurrentReport = nullptr;
    }

    void globalObjects()
    {
        QVERIFY(TfrGlobals::Created());
        QVERIFY(GlobalParser && GlobalVariables && ScriptConstants);
        QCOMPARE(RegistryRootKey, QStringLiteral("Software\\OrvReport"));
        QStringList addIns;
        for (int i = 0; i < AddInObjectCount(); ++i)
            addIns << AddInObject(i).ClassName;
        QVERIFY(addIns.contains(QStringLiteral("TfrShapeView")));
        QVERIFY(addIns.contains(QStringLiteral("TfrCheckBoxView")));
        // A shape enters its constants into the script constants when it is made.
        TfrShapeView shape;
        QCOMPARE(ScriptConstants->GetValue(QStringLiteral("skEllipse")).toInt(), 2);
        QVERIFY(frDialogForm());
        QCOMPARE(frDialogForm()->objectName(), QStringLiteral("DialogForm"));
        QCOMPARE(frDialogForm()->geometry(), QRect(-100, -100, 10, 10));
    }

    void controlDescriptorsAndDefaults()
    {
        TfrEditControl c;
        QCOMPARE(c.TypeCode, quint8(10));
        QCOMPARE(c.FillColor, clBtnFace);
        QCOMPARE(c.FrameTyp, quint16(0));
        EnsurePropList(&c);
        QStringList names;
        for (const auto &p : c.PropertyList)
            names << p->Name;
        QCOMPARE(names, (QStringList{"Name", "Left", "Top", "Width", "Height", "Visible", "Restrictions"}));
    }

    // Placed on a form the control takes the object's place; Visible shows and hides it.
    void controlPlacedAndShown()
    {
        QWidget form;
        TfrEditControl c;
        c.SetBounds(5, 6, 70, 20);
        c.PlaceControl(&form);
        QCOMPARE(c.Control()->parentWidget(), &form);
        QCOMPARE(c.Control()->geometry(), QRect(5, 6, 70, 20));
        c.SetPropValue(QStringLiteral("Visible"), false);
        QVERIFY(c.Control()->isHidden());
        c.SetPropValue(QStringLiteral("Visible"), true);
        QVERIFY(!c.Control()->isHidden());
    }

    // Drawn, the control's picture lands at the object's place on a button-face ground.
    void controlDraws()
    {
        EngineMode = 1;
        QImage page(200, 60, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TfrEditControl c;
        c.SetBounds(10, 10, 120, 24);
        c.Draw(&p);
        p.end();
        QCOMPARE(c.Control()->size(), QSize(120, 24));
        int dark = 0;
        for (int y = 10; y <= 34; ++y)
            for (int x = 10; x <= 130; ++x)
                dark += qGray(page.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY(dark > 30);                          // the text of the edit
        QCOMPARE(page.pixel(5, 5), qRgb(255, 255, 255)); // nothing outside
        QCOMPARE(page.pixel(150, 20), qRgb(255, 255, 255));
    }

    // A new control's name is free among the objects and the dialog form's controls.
    void controlNameAvoidsTheDialogForm()
    {
        auto *taken = new QWidget(frDialogForm());
        taken->setObjectName(QStringLiteral("Edit1"));
        TfrEditControl c;
        c.CreateUniqueName();
        QCOMPARE(c.Name, QStringLiteral("Edit2"));
        delete taken;
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
