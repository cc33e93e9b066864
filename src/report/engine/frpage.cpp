#include "report/engine/frpage.h"
#include "report/engine/frstatescope.h"
#include "report/engine/frbuild.h"
#include "report/engine/frreport.h"

#include <QDialog>

#include <QSet>

TfrPage::TfrPage(int size, int width, int height, int bin, int orientation)
{
    ChangePaper(size, width, height, bin, orientation);
}

TfrPage::~TfrPage()
{
    TfrEngineStateScope::Forget(this);
    FreeBands();
    delete m_dialog;
    if (CurrentPage == this)
        CurrentPage = nullptr;
    Clear();
}

int TfrPage::LeftMargin() const
{
    if (!UseMargins)
        return 0;
    return MarginLeft == 0 ? PrnInfo.OffsetX : MarginLeft;
}

int TfrPage::TopMargin() const
{
    if (!UseMargins)
        return 0;
    return MarginTop == 0 ? PrnInfo.OffsetY : MarginTop;
}

int TfrPage::RightMargin() const
{
    if (!UseMargins)
        return PrnInfo.PageWidth;
    return MarginRight == 0 ? PrnInfo.OffsetX + PrnInfo.PrintableWidth : PrnInfo.PageWidth - MarginRight;
}

int TfrPage::BottomMargin() const
{
    if (!UseMargins)
        return PrnInfo.PageHeight;
    int b = MarginBottom == 0 ? PrnInfo.OffsetY + PrnInfo.PrintableHeight : PrnInfo.PageHeight - MarginBottom;
    if (EngineMode == 1)
        b -= FooterReserve;
    return b;
}

void TfrPage::ChangePaper(int size, int width, int height, int bin, int orientation)
{
    TfrPrinter &prn = EnsureReportPrinter();
    try {
        prn.SetPaper(size, width, height, bin, orientation);
    } catch (const std::exception &) {
        prn.SetPaper(frCustomPaper, width, height, frDefaultBin, orientation);
    }
    prn.FillMetrics(PrnInfo);
    pgSize = prn.PaperSize;
    pgWidth = prn.PaperWidth;
    pgHeight = prn.PaperHeight;
    pgOr = prn.Orientation;
    // -1 and 65535 both ask for the default bin, which pages keep as 65535.
    pgBin = (bin & 0xFFFF) == 0xFFFF ? 65535 : prn.Bin;
}

TfrView *TfrPage::FindObject(const QString &name) const
{
    for (TfrView *v : Objects)
        if (v->Name.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return nullptr;
}

int TfrPage::FindObjectByID(int id) const
{
    for (int i = 0; i < Objects.size(); ++i)
        if (Objects[i]->ObjectID == id)
            return i;
    return -1;
}

void TfrPage::Clear()
{
    const QList<TfrView *> objs = std::exchange(Objects, {});
    for (TfrView *v : objs) {
        if (CurrentView == v)
            CurrentView = nullptr;
        delete v;
    }
}

void TfrPage::Delete(int index)
{
    if (index < 0 || index >= Objects.size())
        return;
    TfrView *v = Objects.takeAt(index);
    if (CurrentView == v)
        CurrentView = nullptr;
    delete v;
}

void TfrPage::Add(TfrView *view)
{
    view->ParentPage = this;
    Objects.append(view);
}

QString TfrPage::CreateUniqueName(const TfrReport *report)
{
    QSet<QString> used;
    if (report)
        for (const TfrPage *p : report->Pages().List())
            used.insert(p->Name);
    for (int i = 1; i <= 10000; ++i) {
        const QString n = QStringLiteral("Page%1").arg(i);
        if (!used.contains(n))
            return n;
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Property interface

namespace {
int tenthsToUnits(int tenths) { return frRound(tenths * 18.0 / 50.0); }
int unitsToTenths(int units) { return frRound(units * 50.0 / 18.0); }
} // namespace

void TfrPage::SetPropValue(const QString &name, const QVariant &value)
{
    const QString n = name.toUpper();
    const bool report = PageType == ptReport;
    if (n == QLatin1String("NAME"))
        Name = value.toString();
    else if (n == QLatin1String("TYPE"))
        PageType = value.toInt() == 1 ? ptDialog : ptReport;
    else if (n == QLatin1String("VISIBLE"))
        Visible = value.toBool();
    else if (n == QLatin1String("LEFT"))
        DialogLeft = value.toInt();
    else if (n == QLatin1String("TOP"))
        DialogTop = value.toInt();
    else if (n == QLatin1String("WIDTH")) {
        if (report)
            ChangePaper(frCustomPaper, unitsToTenths(value.toInt()), pgHeight, pgBin, pgOr);
        else
            DialogWidth = value.toInt();
    } else if (n == QLatin1String("HEIGHT")) {
        if (report)
            ChangePaper(frCustomPaper, pgWidth, unitsToTenths(value.toInt()), pgBin, pgOr);
        else
            DialogHeight = value.toInt();
    } else if (n == QLatin1String("BORDERSTYLE"))
        BorderStyle = quint8(value.toInt());
    else if (n == QLatin1String("CAPTION"))
        Caption = value.toString();
    else if (n == QLatin1String("COLOR"))
        Color = value.toInt();
    else if (n == QLatin1String("POSITION"))
        Position = quint8(value.toInt());
    else if (n == QLatin1String("SIZE"))
        ChangePaper(value.toInt(), pgWidth, pgHeight, pgBin, pgOr);
    else if (n == QLatin1String("LEFTMARGIN"))
        MarginLeft = value.toInt();
    else if (n == QLatin1String("TOPMARGIN"))
        MarginTop = value.toInt();
    else if (n == QLatin1String("RIGHTMARGIN"))
        MarginRight = value.toInt();
    else if (n == QLatin1String("BOTTOMMARGIN"))
        MarginBottom = value.toInt();
    else if (n == QLatin1String("ORIENTATION"))
        ChangePaper(pgSize, pgWidth, pgHeight, pgBin, value.toInt() == 1 ? poLandscape : poPortrait);
    else if (n == QLatin1String("PRINTTOPREVPAGE"))
        PrintToPrevPage = value.toBool();
    else if (n == QLatin1String("STRETCHTOPRINTABLE"))
        UseMargins = !value.toBool();
    else if (n == QLatin1String("COLUMNS"))
        ColCount = value.toInt();
    else if (n == QLatin1String("COLUMNGAP"))
        ColGap = value.toInt();
}

QVariant TfrPage::GetPropValue(const QString &name)
{
    const QString n = name.toUpper();
    const bool report = PageType == ptReport;
    const bool computed = EngineMode == 1;
    if (n == QLatin1String("NAME")) return Name;
    if (n == QLatin1String("TYPE")) return int(PageType);
    if (n == QLatin1String("VISIBLE")) return Visible;
    if (n == QLatin1String("LEFT")) return DialogLeft;
    if (n == QLatin1String("TOP")) return DialogTop;
    if (n == QLatin1String("WIDTH")) return report ? tenthsToUnits(pgWidth) : DialogWidth;
    if (n == QLatin1String("HEIGHT")) return report ? tenthsToUnits(pgHeight) : DialogHeight;
    if (n == QLatin1String("BORDERSTYLE")) return int(BorderStyle);
    if (n == QLatin1String("CAPTION")) return Caption;
    if (n == QLatin1String("COLOR")) return Color;
    if (n == QLatin1String("POSITION")) return int(Position);
    if (n == QLatin1String("SIZE")) return pgSize;
    if (n == QLatin1String("LEFTMARGIN")) return computed ? LeftMargin() : MarginLeft;
    if (n == QLatin1String("TOPMARGIN")) return computed ? TopMargin() : MarginTop;
    if (n == QLatin1String("RIGHTMARGIN")) return computed ? RightMargin() : MarginRight;
    if (n == QLatin1String("BOTTOMMARGIN")) return computed ? BottomMargin() : MarginBottom;
    if (n == QLatin1String("ORIENTATION")) return pgOr;
    if (n == QLatin1String("PRINTTOPREVPAGE")) return PrintToPrevPage;
    if (n == QLatin1String("STRETCHTOPRINTABLE")) return !UseMargins;
    if (n == QLatin1String("COLUMNS")) return ColCount;
    if (n == QLatin1String("COLUMNGAP")) return ColGap;
    return TfrObject::GetPropValue(name);
}

void TfrPage::DefinePropList()
{
    ClearPropList();
    TfrObject::DefinePropList();
    AddEnumProperty(QStringLiteral("Type"), QStringLiteral("ptReport;ptDialog"), {0, 1});
    AddProperty(QStringLiteral("Visible"), 0);
    if (PageType == ptDialog) {
        AddEnumProperty(QStringLiteral("BorderStyle"), QStringLiteral("bsDialog;bsSizeable"), {3, 2});
        AddProperty(QStringLiteral("Caption"), frdtString);
        AddProperty(QStringLiteral("Color"), frdtColor);
        AddProperty(QStringLiteral("Left"), frdtSize);
        AddProperty(QStringLiteral("Top"), frdtSize);
        AddProperty(QStringLiteral("Width"), frdtInteger);
        AddProperty(QStringLiteral("Height"), frdtInteger);
        AddEnumProperty(QStringLiteral("Position"), QStringLiteral("poDesigned;poScreenCenter"), {0, 4});
        AddProperty(QStringLiteral("OnActivate"), frdtHasEditor | 0x100);
        return;
    }
    const TfrPrinter &prn = EnsureReportPrinter();
    QVariantList codes;
    for (int c : prn.PaperSizes)
        codes << c;
    const QString names = prn.PaperNames.isEmpty() ? QStringLiteral("No data") : prn.PaperNames.join(u';');
    AddEnumProperty(QStringLiteral("Size"), names, codes);
    for (const char *p : {"Width", "Height", "LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
        AddProperty(QString::fromLatin1(p), frdtSize);
    AddEnumProperty(QStringLiteral("Orientation"), QStringLiteral("poPortrait;poLandscape"), {0, 1});
    AddProperty(QStringLiteral("PrintToPrevPage"), frdtBoolean);
    AddProperty(QStringLiteral("StretchToPrintable"), frdtBoolean);
    AddProperty(QStringLiteral("Columns"), frdtInteger);
    AddProperty(QStringLiteral("ColumnWidth"), 0);
    AddProperty(QStringLiteral("ColumnGap"), frdtSize);
    AddProperty(QStringLiteral("OnBeforePrint"), frdtHasEditor | 0x100);
}

// ---------------------------------------------------------------------------

TfrPages::TfrPages(TfrReport *parent) : m_parent(parent) {}

TfrPages::~TfrPages()
{
    Clear();
}

void TfrPages::Clear()
{
    const QList<TfrPage *> pages = std::exchange(m_pages, {});
    for (TfrPage *p : pages) {
        if (CurrentPage == p)
            CurrentPage = nullptr;
        delete p;
    }
}

int TfrPages::Add()
{
    EnsureReportPrinter();
    auto *p = new TfrPage(DefaultPaperCode, 0, 0, frDefaultBin, poPortrait);
    m_pages.append(p);
    return int(m_pages.size()) - 1;
}

void TfrPages::Append(TfrPage *page)
{
    m_pages.append(page);
}

void TfrPages::Delete(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    TfrPage *p = m_pages.takeAt(index);
    if (CurrentPage == p)
        CurrentPage = nullptr;
    delete p;
}

void TfrPages::Move(int from, int to)
{
    if (from < 0 || from >= m_pages.size() || to < 0 || to >= m_pages.size())
        return;
    m_pages.move(from, to);
}

void TfrPages::Release()
{
    m_pages.clear();
}
