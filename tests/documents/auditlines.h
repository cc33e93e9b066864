#pragma once
// An audit window's line actions as an operator runs them: the goods picker's pick of a goods row,
// then the line editor with a quantity typed and saved.
#include "modalchecks.h"
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"

#include <QDialog>
#include <QLineEdit>
#include <QtTest>

namespace documenttest {

// The picker the next modal is: it picks goods row `goodsRowNo` for the audit of `auditKind`
// (0: any kind).
inline void expectAuditPick(orv::test::ScriptedPrompt &p, qint64 goodsRowNo, int auditKind = 0)
{
    p.expectModal([goodsRowNo, auditKind](QDialog *d) {
        auto *picker = qobject_cast<orv::TfrmSelectFit *>(d);
        MVERIFY(picker);
        if (auditKind)
            MCOMPARE(orv::G.gAuditKind, auditKind);
        picker->setCurrentRow(picker->listModel()->findRow("流水号", QString::number(goodsRowNo)));
        picker->pick();
        return int(QDialog::Accepted);
    });
}

// The line editor the next modal is: `qty` typed over 数量, then saved.
inline void expectEditedQty(orv::test::ScriptedPrompt &p, const QString &qty)
{
    p.expectModal([qty](QDialog *d) {
        auto *e = d->findChild<QLineEdit *>("Edit1");
        e->selectAll();
        QTest::keyClicks(e, qty);
        qobject_cast<orv::TfrmMdf *>(d)->Button1Click();
        return int(QDialog::Accepted);
    });
}

} // namespace documenttest
