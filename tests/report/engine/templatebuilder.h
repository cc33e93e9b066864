#pragma once
// Builds report templates in tests: pages, bands, memos and the other object
// kinds, then their template bytes. Header-only so any test can use it.
//
//   TfrReport report;
//   orv::test::TemplateBuilder b(report);
//   b.page();                                          // page 0, A4 portrait
//   b.band(0, btReportTitle, "报表标题1", 20, 40);
//   b.memo(0, "Memo1", {20, 24, 200, 18}, {"标题"});
//   QByteArray frf = b.bytes();
#include "report/engine/frband.h"
#include "report/engine/frcheckbox.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frline.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpicture.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>

namespace orv::test {

class TemplateBuilder {
public:
    explicit TemplateBuilder(TfrReport &report) : m_report(report) {}

    TfrReport &report() { return m_report; }

    // Appends a report page with the given paper; returns it.
    TfrPage &page(int paper = 9, int orientation = poPortrait, int width = 0, int height = 0)
    {
        TfrPages &pages = m_report.Pages();
        const int i = pages.Add();
        TfrPage *p = pages[i];
        p->ChangePaper(paper, width, height, frDefaultBin, orientation);
        p->Name = TfrPage::CreateUniqueName(&m_report);
        return *p;
    }

    TfrPage &dialogPage(const QString &caption)
    {
        TfrPage &p = page();
        p.PageType = ptDialog;
        p.Caption = caption;
        return p;
    }

    // Any object by type code (and class name for add-ins), placed on a page.
    template <typename T = TfrView>
    T *add(int pageIndex, int typeCode, const QString &className, const QString &name, const QRect &r)
    {
        std::unique_ptr<TfrView> v = CreateView(typeCode, className);
        T *t = dynamic_cast<T *>(v.get());
        if (!t)
            return nullptr;
        v.release();
        t->Name = name;
        t->SetBounds(r.x(), r.y(), r.width(), r.height());
        m_report.Pages()[pageIndex]->Add(t);
        return t;
    }

    TfrBandView *band(int pageIndex, int bandType, const QString &name, int top, int height)
    {
        const TfrPage *p = m_report.Pages()[pageIndex];
        auto *b = add<TfrBandView>(pageIndex, 2, QString(), name, QRect(0, top, p->PrnInfo.PageWidth, height));
        b->SetBandType(bandType);
        return b;
    }

    TfrMemoView *memo(int pageIndex, const QString &name, const QRect &r, const QStringList &text = {})
    {
        auto *m = add<TfrMemoView>(pageIndex, 0, QString(), name, r);
        m->Memo = text;
        return m;
    }

    TfrPictureView *picture(int pageIndex, const QString &name, const QRect &r, const QImage &image = {})
    {
        auto *pv = add<TfrPictureView>(pageIndex, 1, QString(), name, r);
        if (!image.isNull()) {
            QBuffer b;
            b.open(QIODevice::WriteOnly);
            image.save(&b, "BMP");
            pv->Picture.Set(gkBitmap, b.data());
            pv->BlobType = btBMP;
        }
        return pv;
    }

    TfrLineView *line(int pageIndex, const QString &name, const QRect &r)
    {
        return add<TfrLineView>(pageIndex, 4, QString(), name, r);
    }

    TfrSubReportView *subReport(int pageIndex, const QString &name, const QRect &r, int shownPage)
    {
        auto *s = add<TfrSubReportView>(pageIndex, 3, QString(), name, r);
        s->SubReportPage = shownPage;
        return s;
    }

    TfrShapeView *shape(int pageIndex, const QString &name, const QRect &r, quint8 kind = skRectangle)
    {
        auto *s = add<TfrShapeView>(pageIndex, 10, QStringLiteral("TfrShapeView"), name, r);
        s->Shape = kind;
        return s;
    }

    TfrCheckBoxView *checkBox(int pageIndex, const QString &name, const QRect &r, const QString &expr = {})
    {
        auto *c = add<TfrCheckBoxView>(pageIndex, 10, QStringLiteral("TfrCheckBoxView"), name, r);
        if (!expr.isEmpty())
            c->Memo = QStringList{expr};
        return c;
    }

    // A dictionary category with variables (name, expression).
    void variables(const QString &category, const QList<QPair<QString, QString>> &vars)
    {
        TfrVariables &v = m_report.Dictionary().Variables;
        v.SetValue(QLatin1Char(' ') + category, QString());
        for (const auto &p : vars)
            v.SetValue(p.first, p.second);
    }

    // The template stream as the report writes it.
    QByteArray bytes()
    {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        m_report.SaveToStream(b);
        return b.data();
    }

private:
    TfrReport &m_report;
};

// Template bytes of a report, and a report read back from them.
inline QByteArray templateBytes(TfrReport &r)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    r.SaveToStream(b);
    return b.data();
}

inline TfrLoadResult readTemplate(TfrReport &r, const QByteArray &bytes, QString *message = nullptr)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    return r.ReadFromStream(b, message);
}

// A template whose numbers all stand at the largest values a file may hold
// (geometry, gaps, spacing, font size, frame width, band columns).
inline void fillAtLimits(TfrReport &r)
{
    TemplateBuilder b(r);
    b.page();
    const int big = frMaxStoredCoordinate;
    TfrBandView *band = b.band(0, btMasterData, QStringLiteral("主项数据1"), -big, big);
    band->Columns = frMaxBandColumns;
    band->ColumnWidth = 0;
    band->ColumnGap = -big;
    TfrMemoView *m = b.memo(0, QStringLiteral("Memo1"), {-big, big, big, -big},
                            {QString(2000, QChar(0x6C49)), QStringLiteral("a b c")});
    m->GapX = m->GapY = big;
    m->LineSpacing = big;
    m->CharSpacing = -big;
    m->Font.Size = big;
    m->FrameTyp = 15;
    m->FrameWidth = big;
    m->FrameStyle = psDash;
    m->Alignment = frtaJustify | frtaMiddle;
    m->Flags |= flUnderlines | flAutoWidth;
    TfrMemoView *v = b.memo(0, QStringLiteral("Memo2"), {big, -big, -big, big}, {QStringLiteral("竖排 text")});
    v->Alignment = frtaVertical | frtaCenter | frtaDown;
    v->LineSpacing = -big;
    v->CharSpacing = big;
    b.shape(0, QStringLiteral("Shape1"), {big, -big, -big, big}, skTriangle)->FrameWidth = big;
    b.line(0, QStringLiteral("Line1"), {0, 0, big, big})->FrameStyle = psDouble;
    b.checkBox(0, QStringLiteral("Check1"), {-big, -big, big, big}, QStringLiteral("1"));
}

// Draws every page of a report as the designer does and as the preview does
// (zoomed and moved), so whatever a file can make the objects hold is drawn.
// Drawing may change objects (lines, bands, auto-width texts): draw last.
inline void drawPages(TfrReport &r)
{
    // One picture serves every page: only the drawing matters, not what it shows.
    static QImage canvas(1200, 1700, QImage::Format_RGB32);
    for (TfrPage *page : r.Pages().List()) {
        const int w = std::clamp(page->PrnInfo.PageWidth, 1, canvas.width());
        const int h = std::clamp(page->PrnInfo.PageHeight, 1, canvas.height());
        QPainter p(&canvas);
        p.setClipRect(0, 0, w, h);
        CurrentPage = page;
        for (int mode : {0, 1}) {
            EngineMode = quint8(mode);
            for (TfrView *v : page->Objects) {
                v->ZoomX = v->ZoomY = mode == 0 ? 1.0 : 1.5;
                v->OffsetX = mode == 0 ? 0 : 7;
                v->OffsetY = mode == 0 ? 0 : -3;
                if (auto *band = dynamic_cast<TfrBandView *>(v)) {
                    band->PrintableWidth = w;
                    band->PrintableHeight = h;
                }
                v->Draw(&p);
                v->GetClipRgn(true);
            }
        }
        CurrentPage = nullptr;
    }
}

} // namespace orv::test
