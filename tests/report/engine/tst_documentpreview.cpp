// A document window printing 60 lines into tongyong.frf the way the program's windows
// do (load, find the slots, show the bands per line, show the report), then the
// preview it opens, driven at a fixed size: pages, zoom, find, PDF, ".frp".
#include "scriptedprompt.h"

#include "common/settings.h"
#include "report/engine/frglobals.h"
#include "report/engine/frpage.h"
#include "report/engine/frprepared.h"
#include "report/engine/frpreviewform.h"
#include "report/engine/frpreviewsearchform.h"
#include "report/engine/frprintform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "report/engine/frtbitems.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace orv::test;

namespace {

// The program's own template, from the source tree.
QString templateFile(const QString &name)
{
    return QFINDTESTDATA(QStringLiteral("../../../reports/") + name);
}

struct OrderLine {
    QString name, qty, price, amount;
};

// A purchase order window reduced to its print button.
class OrderWindow : public QWidget {
public:
    TfrReport frReport1;
    QList<OrderLine> lines;
    QString sumQty, sumAmount;

    OrderWindow()
    {
        double qty = 0, amount = 0;
        for (int i = 1; i <= 60; ++i) {
            lines.append({QStringLiteral("货品%1").arg(i), QString::number(i), QStringLiteral("2.5"),
                          QString::number(i * 2.5)});
            qty += i;
            amount += i * 2.5;
        }
        sumQty = QString::number(qty);
        sumAmount = QString::number(amount);
    }

    void setText(const char *slot, const QString &text)
    {
        if (TfrView *v = frReport1.FindObject(QString::fromUtf8(slot)))
            v->Memo = QStringList{text};
    }

    void printClick()
    {
        if (!frReport1.LoadFromFile(templateFile(QStringLiteral("tongyong.frf"))))
            return;
        setText("Memo1", QStringLiteral("测试公司采购订单"));
        setText("Memo2", QStringLiteral("供应商单位:"));
        setText("Memo3", QStringLiteral("华东五金"));
        setText("Memo5", QStringLiteral("2024-03-05"));
        setText("Memo9", QStringLiteral("CG-240305-001"));
        setText("Memo4", QStringLiteral("本单据由系统打印"));
        frReport1.OnManualBuild = [this](TfrPage *page) {
            page->ShowBandByName(QStringLiteral("报表标题1"));
            page->ShowBandByName(QStringLiteral("主项头1"));
            page->ShowBandByName(QStringLiteral("主项头3"));
            for (const OrderLine &l : lines) {
                setText("Memo18", l.name);
                setText("Memo21", l.qty);
                setText("Memo23", l.price);
                setText("Memo24", l.amount);
                page->ShowBandByName(QStringLiteral("主项数据1"));
            }
            setText("Memo26", sumQty);
            setText("Memo27", sumAmount);
            setText("Memo28", QStringLiteral("开票员:李四"));
            page->ShowBandByName(QStringLiteral("主项脚1"));
            page->ShowBandByName(QStringLiteral("页脚1"));
        };
        frReport1.ShowReport();
    }
};

// A page's texts by object (an object draws its text in pieces: runs, characters).
QStringList pageTexts(TfrEMFPages &pages, int index)
{
    QStringList out;
    int object = -1;
    for (const TfrTextRecord &t : pages.PageTexts(index)) {
        if (t.ObjectIndex != object)
            out << QString();
        object = t.ObjectIndex;
        out.last() += t.Text;
    }
    return out;
}

QList<QStringList> allTexts(TfrEMFPages &pages)
{
    QList<QStringList> out;
    for (int i = 0; i < pages.Count(); ++i)
        out << pageTexts(pages, i);
    return out;
}

int pdfPageCount(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

class TstDocumentPreview : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(!templateFile(QStringLiteral("tongyong.frf")).isEmpty());
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
        orv::setUserSettingsPath(m_dir.filePath(QStringLiteral("user.ini")));
        frRegisterPreview();
        TfrPreviewForm::LastScale = 1.0;
        TfrPreviewForm::LastScaleMode = 0;
    }
    void cleanupTestCase()
    {
        TfrReport::PreviewHook = nullptr;
        frSetProgressHost(nullptr);
    }

    void sixtyLinesThroughThePreview()
    {
        OrderWindow window;
        ScriptedPrompt prompt;
        // The build runs under the progress window, then the preview opens.
        prompt.expectModal([](QDialog *d) {
            QCoreApplication::processEvents();
            return d->result();
        });
        QList<QStringList> shown;
        int pdfPages = -1;
        const QString pdf = m_dir.filePath(QStringLiteral("order.pdf"));
        const QString frp = m_dir.filePath(QStringLiteral("order.frp"));
        // What F3 should visit: every "货品5" line, in page order.
        QList<int> hitPages, foundPages;
        prompt.expectModal([&](QDialog *d) {
            auto *f = qobject_cast<TfrPreviewForm *>(d);
            if (!f)
                return int(QDialog::Rejected);
            f->setWindowState(Qt::WindowNoState);
            f->show();
            f->resize(1000, 700);
            QCoreApplication::processEvents();
            f->FormResize();
            shown = allTexts(*f->Pages());
            for (int p = 0; p < shown.size(); ++p)
                for (const QString &t : shown[p])
                    if (t.contains(QStringLiteral("货品5")))
                        hitPages << p;

            // Zoom: the page width mode widens the page to the area.
            const QRect actual = f->PageRect(0);
            f->N3Click(1);
            const QRect wide = f->PageRect(0);
            if (wide.width() != f->PBox->width() - 20 || wide.width() <= actual.width()
                || wide.height() <= actual.height())
                return int(QDialog::Rejected);
            f->N3Click(100);

            // Find, then F3 through the rest of the hits.
            prompt.expectModal([](QDialog *search) {
                qobject_cast<TfrPreviewSearchForm *>(search)->Edit1->setText(QStringLiteral("货品5"));
                return int(QDialog::Accepted);
            });
            f->FindBtnClick();
            for (int i = 0; i < 20 && f->FoundPage() >= 0; ++i) {
                foundPages << f->FoundPage();
                if (f->CurrentPage() != f->FoundPage() + 1)
                    return int(QDialog::Rejected);
                if (foundPages.size() == hitPages.size())
                    break;
                QTest::keyClick(f->PBox, Qt::Key_F3);
            }

            // Print to a PDF file through the print dialog.
            prompt.expectModal([](QDialog *print) {
                return int(qobject_cast<TfrPrintForm *>(print) ? QDialog::Accepted : QDialog::Rejected);
            });
            prompt.expectSaveFile(pdf);
            prompt.expectModal([](QDialog *progress) {
                QCoreApplication::processEvents();
                return progress->result();
            });
            emit f->PrintBtn->clicked();
            pdfPages = pdfPageCount(pdf);

            prompt.expectSaveFile(frp);
            f->SaveBtnClick();
            f->ExitBtnClick();
            return f->result();
        });
        window.printClick();
        QVERIFY(prompt.verifyDone());

        // Two pages at least; each line once, in order, with header and column heads,
        // totals after the last line, and the page number on every page.
        QVERIFY(shown.size() >= 2);
        QStringList names;
        for (const QStringList &page : shown)
            for (const QString &t : page)
                if (QRegularExpression(QStringLiteral("^货品\\d+$")).match(t).hasMatch())
                    names << t;
        QCOMPARE(names.size(), 60);
        QCOMPARE(names.first(), QStringLiteral("货品1"));
        QCOMPARE(names.last(), QStringLiteral("货品60"));
        QVERIFY(shown.first().contains(QStringLiteral("测试公司采购订单")));
        QVERIFY(shown.first().contains(QStringLiteral("华东五金")));
        QVERIFY(shown.first().contains(QStringLiteral("CG-240305-001")));
        QVERIFY(!shown[1].contains(QStringLiteral("测试公司采购订单")));
        QCOMPARE(shown[1].first(), QStringLiteral("名称"));   // column heads again
        QCOMPARE(shown.last().count(QStringLiteral("1830")), 1);
        QCOMPARE(shown.last().count(QStringLiteral("4575")), 1);
        QVERIFY(shown.last().contains(QStringLiteral("开票员:李四")));
        QVERIFY(shown.last().indexOf(QStringLiteral("4575")) > shown.last().indexOf(QStringLiteral("货品60")));
        for (int p = 0; p < shown.size(); ++p) {
            QCOMPARE(shown[p].count(QStringLiteral("第 %1 页").arg(p + 1)), 1);
            QCOMPARE(shown[p].count(QStringLiteral("本单据由系统打印")), 1);
        }

        QCOMPARE(hitPages.size(), 11);
        QVERIFY(hitPages.last() > 0);
        QCOMPARE(foundPages, hitPages);
        QCOMPARE(pdfPages, int(shown.size()));

        // The saved pages read back as they were shown.
        TfrReport reopened;
        QString why;
        QVERIFY2(reopened.LoadPreparedReport(frp, &why), qPrintable(why));
        QCOMPARE(allTexts(reopened.EMFPages()), shown);
    }
};

QTEST_MAIN(TstDocumentPreview)
#include "tst_documentpreview.moc"
