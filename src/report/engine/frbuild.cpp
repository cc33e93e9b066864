// Run-time bands (printing one band) and page forming (band trees, the data loop,
// new pages and columns, record lists of sub-report pages).
#include "report/engine/frstatescope.h"
#include "report/engine/frbuild.h"

#include "report/engine/frcontrol.h"
#include "report/engine/frdataset.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frfunclib.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpage.h"
#include "report/engine/frparser.h"
#include "report/engine/frprepared.h"
#include "report/engine/frreport.h"
#include "report/engine/frstdlib.h"
#include "report/engine/frutils.h"

#include "common/prompt.h"

#include <QDebug>
#include <QSet>
#include <QDialog>

#include <algorithm>

namespace {

constexpr QChar kAggSep = QChar(1);
constexpr int kMaxForcedBreaks = 1000;   // NEWPAGE calls honoured per band print

bool isOneOf(int t, std::initializer_list<int> l) { return std::find(l.begin(), l.end(), t) != l.end(); }

TfrReport *report() { return MasterReport ? MasterReport : CurrentReport; }

bool stopRequested()
{
    TfrReport *r = report();
    return r && r->StopRequested;
}

TfrEMFPages &preparedPages() { return report()->EMFPages(); }

// Records an error of the build: the text for the message, and the build stops.
void recordBuildError(const std::exception &e)
{
    TfrReport *r = report();
    ReportCalcError(e, r ? r->objectName() : QString());
    if (r)
        r->StopRequested = true;
}

void recordBuildError(const QString &message)
{
    recordBuildError(EfrParserError(message));
}

void clearLastValues(const QList<TfrView *> &objects)
{
    for (TfrView *v : objects)
        if (v->TypeCode == 0)
            static_cast<TfrMemoView *>(v)->LastValue.clear();
}

QVariant evaluateCompiled(const QString &compiled)
{
    frEnsureGlobals();
    return GlobalParser->Evaluate(compiled);
}

// The data set a TfrDataset walks, for dotted field lookups.
IfrDataSource *dataSourceOf(TfrDataset *ds)
{
    if (auto *db = qobject_cast<TfrDBDataSet *>(ds)) {
        try {
            return db->GetDataSet();
        } catch (const std::exception &) {
            return nullptr;
        }
    }
    return nullptr;
}

void logOnce(const QString &text)
{
    static QSet<QString> said;
    if (said.contains(text))
        return;
    said.insert(text);
    qInfo().noquote() << text;
}
} // namespace

TfrBand *CounterBand()
{
    TfrBand *b = CurrentBand;
    if (!b || b->DataSet)
        return b;
    while (b->Prev)
        b = b->Prev;
    return b;
}

// ---------------------------------------------------------------------------
// TfrBand

TfrBand::TfrBand(int bandType, TfrPage *page) : Parent(page), Type(bandType) {}

TfrBand::~TfrBand()
{
    TfrEngineStateScope::Forget(this);
    if (View) {
        if (View->OwnerBand == this)
            View->OwnerBand = nullptr;
        View->RuntimeSet = nullptr;
        View->RuntimeGet = nullptr;
    }
    if (CurrentBand == this)
        CurrentBand = nullptr;
    if (AggregateOwner == this)
        AggregateOwner = nullptr;
    // The chain is freed iteratively so that long chains never exhaust the stack.
    TfrBand *n = std::exchange(Next, nullptr);
    while (n) {
        TfrBand *after = std::exchange(n->Next, nullptr);
        delete n;
        n = after;
    }
    DoneDataSet();
}

bool TfrBand::Exists() const
{
    return View != nullptr || (Type == btNone && !Objects.isEmpty());
}

void TfrBand::InitDataSet(const QString &text)
{
    if (Type == btGroupHeader) {
        frEnsureGlobals();
        GroupCondition = GlobalParser->Translate(text);
        return;
    }
    if (!text.contains(QLatin1Char(';')) && !text.trimmed().isEmpty()) {
        TfrDataset *ds = nullptr;
        bool created = false;
        ResolveDataSet(text.trimmed(), ds, created);
        DataSet = ds;
        OwnsDataSet = created;
    }
    TfrReport *r = report();
    if (Type == btMasterData && !DataSet && r && r->ReportType == rtSimple && r->Dataset) {
        DataSet = r->Dataset;
        DataSet->Init();
    }
}

void TfrBand::DoneDataSet()
{
    if (DataSet) {
        try {
            DataSet->Exit();
        } catch (...) {
        }
        if (OwnsDataSet)
            delete DataSet;
    }
    if (CrossDataSet) {
        try {
            CrossDataSet->Exit();
        } catch (...) {
        }
        if (OwnsCrossDataSet)
            delete CrossDataSet;
    }
    DataSet = CrossDataSet = nullptr;
    OwnsDataSet = OwnsCrossDataSet = false;
}

void TfrBand::ResetLastValues()
{
    clearLastValues(Objects);
}

void TfrBand::RunBandScript()
{
    const QStringList &lines = Script.isEmpty() ? Memo : Script;
    if (lines.isEmpty())
        return;
    if (!ScriptHooks.Run) {
        logOnce(QStringLiteral("report: no script interpreter installed; the script of band %1 is not run").arg(Name));
        return;
    }
    CurrentView = View;
    try {
        ScriptHooks.Run(lines);
    } catch (const std::exception &e) {
        recordBuildError(e);
    }
}

bool TfrBand::HasCross() const
{
    for (TfrView *v : Objects)
        if (v->OwnerBand && v->OwnerBand != this)
            return true;
    return false;
}

// ---- heights

int TfrBand::MeasureObjects(bool crossToo)
{
    int result = dy;
    for (TfrView *v : Objects) {
        const bool cross = v->OwnerBand && v->OwnerBand != this;
        if (cross && !crossToo)
            continue;
        auto *st = dynamic_cast<TfrStretcheable *>(v);
        if (!st || !(v->Flags & flBandStretched))
            continue;
        if (cross)
            st->PrintPhase = 0;
        CurrentView = v;
        result = std::max(result, v->Top + st->CalcHeight());
    }
    return result;
}

int TfrBand::StretchedHeight()
{
    if (HasCross() && Type != btPageFooter) {
        Parent->CrossColumn = 1;
        TfrReport *r = report();
        if (r && r->OnBeginColumn)
            r->OnBeginColumn(this);
        TfrBand *crossData = Parent->Bands[btCrossData];
        TfrDataset *ds = crossData && crossData->Exists() && crossData->DataSet ? crossData->DataSet : CrossDataSet;
        int result = dy;
        if (ds) {
            ds->First();
            while (!ds->Eof() && !stopRequested()) {
                int width = 0;
                if (r && r->OnPrintColumn)
                    r->OnPrintColumn(Parent->CrossColumn, width);
                const int h = MeasureObjects(true);
                PrintedHeight = h;
                result = std::max(result, h);
                ++Parent->CrossColumn;
                ds->Next();
            }
        }
        return result;
    }
    return MeasureObjects(false);
}

int TfrBand::CalcHeight()
{
    int result;
    if (IsDataBand() && DataSet && Next && !Next->DataSet) {
        result = 0;
        for (TfrBand *b = this; b; b = b->Next)
            result += b->Stretched ? b->StretchedHeight() : b->dy;
    } else {
        result = Stretched ? StretchedHeight() : dy;
    }
    PrintedHeight = std::max(PrintedHeight, result);
    return result;
}

bool TfrBand::CheckRoom(int atY, int h, bool testOnly)
{
    if (Type == btColumnFooter)
        return false;
    TfrBand *cf = Parent->Bands[btColumnFooter];
    const int reserve = Parent->SummaryPrinting || !cf || !cf->Exists() ? 0 : cf->dy;
    if (Parent->BottomLimit >= atY + h + reserve)
        return false;
    if (!testOnly)
        Parent->NewColumn(this);
    return true;
}

// ---- printing

bool TfrBand::Draw()
{
    const bool savedBreaked = Breaked;
    CurrentView = View;
    CurrentBand = this;
    PrintedHeight = -1;
    ForceNewPage = ForceNewColumn = 0;
    TfrReport *r = report();
    if (r && r->OnBeginBand)
        r->OnBeginBand(this);
    TfrBand *last = Parent->LastPrintedBand;
    if (last && last != this && last->Exists() && last->ColumnCounter > 1) {
        Parent->ShiftX = last->SavedShiftX;
        Parent->CurY += last->dy;
        last->ColumnCounter = 1;
    }
    CurYSet = false;
    if (!SkipScriptOnce)
        RunBandScript();
    SkipScriptOnce = false;
    CurrentBand = this;
    const int startY = Parent->CurY;
    if (stopRequested()) {
        Breaked = savedBreaked;
        return false;
    }
    bool result = false;
    const int pages = std::min(ForceNewPage, kMaxForcedBreaks);
    const int columns = std::min(ForceNewColumn, kMaxForcedBreaks);
    for (int i = 0; i < pages && !stopRequested(); ++i) {
        Parent->CurColumn = std::max(0, Parent->ColCount - 1);
        Parent->NewColumn(this);
    }
    for (int i = 0; i < columns && !stopRequested(); ++i)
        Parent->NewColumn(this);
    if (CurYSet && (pages || columns))
        Parent->CurY = startY;
    CurrentBand = this;

    if (Visible) {
        if (Type == btColumnHeader)
            Parent->ColumnTopY = Parent->CurY;
        if (Type == btPageFooter)
            y = Parent->BottomLimit;
        if (Exists()) {
            PrintedHeight = std::max(PrintedHeight, dy);
            if (!isOneOf(Type, {btPageFooter, btOverlay, btColumnFooter, btNone})) {
                const int h = CalcHeight();
                if (Parent->CurY + h > Parent->BottomLimit && !Breaked) {
                    if (h <= Parent->BottomLimit - Parent->TopMargin() || Parent->CurY != Parent->TopMargin()) {
                        result = true;
                        if (Parent->Skip) {
                            Breaked = savedBreaked;
                            return true;
                        }
                        Parent->NewColumn(this);
                        CurrentBand = this;
                    } else {
                        Breaked = true;
                    }
                }
            }
            Finished = true;
            if (IsDataBand() && DataSet && Next && !Next->DataSet) {
                for (TfrBand *b = this; b && !stopRequested(); b = b->Next)
                    if (b->Visible) {
                        CurrentBand = b;
                        b->DrawObjects();
                    }
                CurrentBand = this;
            } else {
                DrawObjects();
                if (Child && !stopRequested())
                    Child->Draw();
                CurrentBand = this;
                if (!isOneOf(Type, {btMasterData, btDetailData, btSubDetailData, btGroupHeader}) && NewPageAfter
                    && !stopRequested())
                    Parent->NewPage();
            }
            if (!Finished)
                result = true;
        }
    } else {
        if (Child && PrintChildIfInvisible)
            Child->Draw();
        CurrentBand = this;
        if (IsDataBand())
            AddAggregates();
    }
    if (!IsRepeatHeader) {
        if (Type != btPageFooter || PageNo == preparedPages().Count() - 1)
            ResetAggregates();
    }
    if (r && r->OnEndBand)
        r->OnEndBand(this);
    Breaked = savedBreaked;
    return result;
}

void TfrBand::DrawObjects()
{
    const int designY = y;
    const bool fixedPlace = isOneOf(Type, {btPageFooter, btOverlay, btNone});
    if (!fixedPlace)
        y = Parent->CurY;
    bool subMoved = false;
    if (Stretched) {
        const int h = std::max(PrintedHeight, dy);
        QList<QPair<TfrView *, int>> keptHeights;
        for (TfrView *v : Objects) {
            if (dynamic_cast<TfrStretcheable *>(v) && (v->Flags & flBandStretched) && v->Height > 0) {
                keptHeights.append({v, v->Height});
                v->Height = h - v->Top;
            }
        }
        StretchHeight = h;
        m_drawHeight = h;
        if (!Breaked) {
            CheckRoom(y, h, false);
            CurrentBand = this;
            if (!fixedPlace)
                y = Parent->CurY;
        }
        if (Breaked) {
            DrawSplit();
        } else {
            subMoved = DrawObjectsWithSubReports();
            if (HasCross())
                DrawCross();
        }
        for (const auto &k : keptHeights)
            k.first->Height = k.second;
        if (!Breaked && !subMoved)
            Parent->CurY += h;
    } else {
        m_drawHeight = dy;
        if (!fixedPlace) {
            if (!Breaked)
                CheckRoom(y, dy, false);
            CurrentBand = this;
            y = Parent->CurY;
        }
        if (Breaked) {
            StretchHeight = std::max(PrintedHeight, dy);
            m_drawHeight = StretchHeight;
            DrawSplit();
        } else {
            subMoved = DrawObjectsWithSubReports();
            if (HasCross())
                DrawCross();
            if (!fixedPlace && !subMoved)
                Parent->CurY += dy;
        }
    }
    if (Parent->LastPrintedBand != this)
        ColumnCounter = 1;
    Parent->LastPrintedBand = this;
    if (View && View->Columns > 1 && View->NewColumnAfter == 1) {
        if (ColumnCounter == 1)
            SavedShiftX = Parent->ShiftX;
        ++ColumnCounter;
        if (ColumnCounter > View->Columns) {
            Parent->ShiftX = SavedShiftX;
            ColumnCounter = 1;
        } else {
            Parent->ShiftX = SavedShiftX + (View->ColumnWidth + View->ColumnGap) * (ColumnCounter - 1);
            Parent->CurY -= std::max(PrintedHeight, dy);
        }
    }
    y = designY;
    if (IsDataBand())
        AddAggregates();
}

void TfrBand::DrawObject(TfrView *view)
{
    CurrentPage = Parent;
    CurrentBand = this;
    if (view->OwnerBand && view->OwnerBand != this)
        return;
    try {
        if (Breaked || !DrawingDisabled) {
            const int keptX = view->Left, keptY = view->Top;
            view->Left = Parent->ShiftX + view->Left - Parent->LeftMargin();
            view->Top = view->Top + y;
            auto *memo = view->TypeCode == 0 ? static_cast<TfrMemoView *>(view) : nullptr;
            const int phase = memo ? memo->PrintPhase : 0;
            CurrentView = view;
            view->RecordMode = 1;
            try {
                view->Print(preparedPages().Stream(PageNo));
            } catch (...) {
                view->RecordMode = 0;
                view->Left = keptX;
                view->Top = keptY;
                throw;
            }
            view->RecordMode = 0;
            view->Left = keptX;
            view->Top = keptY;
            if (memo && phase < 2)
                for (TfrView *h : std::as_const(HookedViews))
                    h->OnHook(view);
        } else {
            if (view->TypeCode == 0 && static_cast<TfrMemoView *>(view)->PrintPhase != 0)
                return;
            CurrentView = view;
            if (EngineHooks.RunScript)
                EngineHooks.RunScript(view);
        }
    } catch (const std::exception &e) {
        recordBuildError(e);
    }
}

bool TfrBand::DrawObjectsWithSubReports()
{
    int i = 0;
    for (; i < Objects.size(); ++i) {
        if (stopRequested())
            return false;
        TfrView *v = Objects[i];
        if (v->TypeCode == 3 && v->Visible)
            break;
        DrawObject(v);
    }
    if (i >= Objects.size())
        return false;
    m_subIndex = i;
    const int target = dy < 1 ? 0 : Parent->CurY + dy;
    const int pagesBefore = preparedPages().Count();
    const int pageBefore = PageNo;
    StartSubReports();
    PrintSubReports(false);
    if (preparedPages().Count() == pagesBefore && PageNo == pageBefore)
        Parent->CurY = std::max(Parent->CurY, target);
    CurrentPage = Parent;
    return true;
}

void TfrBand::StartSubReports()
{
    TfrReport *r = report();
    m_subDone = QList<bool>(Objects.size(), true);
    for (int i = m_subIndex; i < Objects.size(); ++i) {
        auto *sub = dynamic_cast<TfrSubReportView *>(Objects[i]);
        if (!sub || !sub->Visible)
            continue;
        TfrPage *page = r->Pages().GetPage(sub->SubReportPage);
        if (!page || page == Parent || !page->Initialized)
            continue;
        page->Mode = 1;
        page->RecordList.clear();
        page->FormPage();
        page->CurY = sub->Top + y;
        page->BottomLimit = Parent->BottomLimit;
        page->ShiftX = Parent->ShiftX + sub->Left;
        page->MarginLeft = Parent->MarginLeft;
        page->MarginTop = Parent->MarginTop;
        page->MarginRight = Parent->MarginRight;
        page->MarginBottom = Parent->MarginBottom;
        page->UseMargins = Parent->UseMargins;
        page->ColCount = 1;
        page->ReplayIndex = 0;
        m_subDone[i] = false;
    }
    CurrentPage = Parent;
    Parent->WaitingBand = nullptr;
}

void TfrBand::PrintSubReports(bool continuing)
{
    TfrReport *r = report();
    bool later = continuing;
    int lowest = Parent->CurY;
    do {
        if (later)
            for (int i = m_subIndex; i < Objects.size(); ++i)
                if (!m_subDone.value(i, true))
                    if (auto *sub = dynamic_cast<TfrSubReportView *>(Objects[i]))
                        if (TfrPage *page = r->Pages().GetPage(sub->SubReportPage)) {
                            page->CurY = Parent->CurY;
                            page->BottomLimit = Parent->BottomLimit;
                        }
        Finished = true;
        lowest = Parent->CurY;
        for (int i = m_subIndex; i < Objects.size() && !stopRequested(); ++i) {
            if (m_subDone.value(i, true))
                continue;
            auto *sub = dynamic_cast<TfrSubReportView *>(Objects[i]);
            TfrPage *page = sub ? r->Pages().GetPage(sub->SubReportPage) : nullptr;
            if (!page) {
                m_subDone[i] = true;
                continue;
            }
            if (page->PlayRecList()) {
                Finished = false;
            } else {
                m_subDone[i] = true;
                lowest = std::max(lowest, page->CurY);
            }
            CurrentPage = Parent;
        }
        if (!Finished && !stopRequested()) {
            if (Parent->Skip) {
                Parent->WaitingBand = this;
                return;
            }
            SkipScriptOnce = true;
            Parent->NewPage();
            CurrentBand = this;
        }
        later = true;
    } while (!Finished && !stopRequested());
    for (int i = m_subIndex; i < Objects.size(); ++i)
        if (auto *sub = dynamic_cast<TfrSubReportView *>(Objects[i]))
            if (TfrPage *page = r->Pages().GetPage(sub->SubReportPage))
                page->RecordList.clear();
    Parent->CurY += std::max(PrintedHeight, lowest - Parent->CurY);
    Parent->WaitingBand = nullptr;
}

void TfrBand::ContinueSubReports()
{
    PrintSubReports(true);
}

void TfrBand::DrawSplit()
{
    struct Item {
        TfrView *view;
        int top, height;
        bool toPrint = true, atEnd = false;
    };
    QList<Item> items;
    items.reserve(Objects.size());
    for (TfrView *v : Objects) {
        if (v->OwnerBand && v->OwnerBand != this)
            continue;
        items.append(Item{v, v->Top, v->Height});
        if (v->BandAlign == baBottom)
            v->Top = std::max(PrintedHeight, dy) - v->Height;
    }
    auto restore = [&]() {
        for (const Item &it : items) {
            it.view->Top = it.top;
            it.view->Height = it.height;
        }
    };
    if (!CheckRoom(y, StretchHeight, true)) {
        DrawObjectsWithSubReports();
        restore();
        Parent->CurY += StretchHeight;
        return;
    }
    TfrBand *cf = Parent->Bands[btColumnFooter];
    const int reserve = Parent->SummaryPrinting || !cf || !cf->Exists() ? 0 : cf->dy;
    int lastBottom = 0;
    auto remaining = [&]() {
        for (const Item &it : items)
            if (it.toPrint)
                return true;
        return false;
    };
    // Moves the objects below `self` (starting at or below `bottom`, overlapping it horizontally).
    auto pushBelow = [&](TfrView *self, int bottom, int by) {
        for (Item &o : items) {
            TfrView *v = o.view;
            if (v == self || !o.toPrint || v->Top < bottom)
                continue;
            if (v->Left + v->Width < self->Left || v->Left > self->Left + self->Width)
                continue;
            v->Top += by;
        }
    };
    int guard = 0;
    while (remaining() && !stopRequested()) {
        const int room = Parent->BottomLimit - reserve - y - 2;
        lastBottom = 0;
        if (room <= 0 || ++guard > 100000) {
            recordBuildError(QStringLiteral("No room left to print band %1").arg(Name));
            break;
        }
        for (Item &it : items) {
            if (!it.toPrint)
                continue;
            TfrView *v = it.view;
            auto *st = dynamic_cast<TfrStretcheable *>(v);
            const int top = v->Top, bottom = v->Top + v->Height;
            if (top >= 0 && top < room) {
                if (bottom < room) {
                    CurrentView = v;
                    DrawObject(v);
                    lastBottom = std::max(lastBottom, bottom);
                    it.toPrint = false;
                } else if (st) {
                    if (st->PrintPhase == 0 && v->TypeCode == 0) {
                        CurrentView = v;
                        st->CalcHeight();
                    }
                    const int fullHeight = v->Height;
                    v->Height = room - top + 1;
                    if (st->MinHeight() < v->Height) {
                        st->PrintPhase = 2;
                        DrawObject(v);
                        st->PrintPhase = 2;
                        const int remain = st->RemainHeight();
                        pushBelow(v, bottom, remain);
                        v->Height = fullHeight + remain;
                    } else {
                        v->Height = fullHeight;
                        v->Top = room;
                    }
                } else {
                    v->Top = room;
                }
            } else if (top < 0 && st) {
                if (bottom < 0) {
                    // began and ended on earlier pages
                } else if (bottom < room) {
                    if (v->Flags & flBandStretched) {
                        it.atEnd = true;
                    } else {
                        v->Top = 0;
                        v->Height = bottom;
                        st->PrintPhase = 2;
                        DrawObject(v);
                        v->Top = top;
                    }
                    lastBottom = std::max(lastBottom, bottom);
                    it.toPrint = false;
                } else {
                    const int fullHeight = v->Height;
                    v->Top = 0;
                    v->Height = room;
                    st->PrintPhase = 2;
                    DrawObject(v);
                    st->PrintPhase = 2;
                    v->Top = top;
                    const int remain = st->RemainHeight();
                    pushBelow(v, bottom, remain);
                    v->Height = fullHeight + remain;
                }
            }
        }
        if (remaining() && !stopRequested()) {
            for (Item &it : items)
                if (it.toPrint)
                    it.view->Top -= room;
            CheckRoom(y, 10000, false);
            CurrentBand = this;
            y = Parent->CurY;
        }
    }
    StretchHeight = lastBottom;
    m_drawHeight = StretchHeight;
    for (Item &it : items) {
        if (!it.atEnd)
            continue;
        TfrView *v = it.view;
        const int keptTop = v->Top;
        v->Top = 0;
        v->Height = StretchHeight;
        if (auto *st = dynamic_cast<TfrStretcheable *>(v))
            st->PrintPhase = 2;
        DrawObject(v);
        v->Top = keptTop;
    }
    for (Item &it : items)
        if (auto *st = dynamic_cast<TfrStretcheable *>(it.view))
            st->PrintPhase = 0;
    restore();
    Parent->CurY += StretchHeight;
}

// ---- cross-tab columns

void TfrBand::DrawCrossCells(TfrBand *crossBand, int atX)
{
    crossBand->LineNo = LineNo;
    crossBand->LineThrough = LineThrough;
    if (crossBand->Type == btCrossData)
        crossBand->AggregateBandOwner = this;
    // Cells are evaluated as the cross band's: its aggregates (SUM in a cross footer, the
    // column totals of a master footer) read the totals kept for the column.
    struct RestoreBand {
        TfrBand *kept = CurrentBand;
        ~RestoreBand() { CurrentBand = kept; }
    } restoreBand;
    CurrentBand = crossBand;
    for (TfrView *v : crossBand->Objects) {
        if (!Objects.contains(v))
            continue;
        try {
            if (DrawingDisabled) {
                CurrentView = v;
                if (EngineHooks.RunScript)
                    EngineHooks.RunScript(v);
                continue;
            }
            const int keptX = v->Left, keptY = v->Top;
            v->Left = atX + v->Left;
            v->Top = y + v->Top;
            CurrentView = v;
            auto *memo = v->TypeCode == 0 ? static_cast<TfrMemoView *>(v) : nullptr;
            const int phase = memo ? memo->PrintPhase : 0;
            v->RecordMode = 1;
            try {
                v->Print(preparedPages().Stream(PageNo));
            } catch (...) {
                v->RecordMode = 0;
                v->Left = keptX;
                v->Top = keptY;
                throw;
            }
            v->RecordMode = 0;
            v->Left = keptX;
            v->Top = keptY;
            if (memo && phase < 2)
                for (TfrView *h : std::as_const(HookedViews))
                    h->OnHook(v);
        } catch (const std::exception &e) {
            recordBuildError(e);
            return;
        }
    }
}

void TfrBand::CrossNextPage(int &curX)
{
    curX = Parent->LeftMargin();
    ++PageNo;
    TfrEMFPages &pages = preparedPages();
    if (PageNo >= pages.Count()) {
        pages.Add(*Parent);
        const int keptY = Parent->CurY;
        Parent->ShowBand(Parent->Bands[btOverlay]);
        TfrBand *ph = Parent->Bands[btPageHeader];
        if (ph && ph->Exists() && !(PageNo == 0 && !(ph->Flags & flBandOnFirstPage))) {
            Parent->CurY = Parent->TopMargin();
            ph->Draw();
        }
        Parent->CurY = keptY;
        CurrentBand = this;
        if (TfrReport *r = report())
            r->ReportProgress(PageNo + 1);
    }
    TfrBand *head = Parent->Bands[btCrossHeader];
    if (head && head->Exists() && head->View && (head->Flags & flBandRepeatHeader)) {
        DrawCrossCells(head, curX);
        curX += head->dx;
    }
}

void TfrBand::DrawCross()
{
    TfrReport *r = report();
    int curX = 0;
    Parent->CrossColumn = 1;
    const int keptPage = PageNo;
    if (r && r->OnBeginColumn)
        r->OnBeginColumn(this);
    TfrBand *head = Parent->Bands[btCrossHeader];
    if (head && head->Exists()) {
        head->RunBandScript();
        DrawCrossCells(head, head->x);
        curX = head->x + head->dx;
    }
    TfrBand *data = Parent->Bands[btCrossData];
    if (data && data->Exists()) {
        if (curX == 0)
            curX = data->x;
        TfrDataset *ds = data->DataSet ? data->DataSet : CrossDataSet;
        std::unique_ptr<TfrUserDataset> counting;
        if (Type == btMasterFooter && ds && ds->Eof() && data->MaxColumns > 0) {
            counting = std::make_unique<TfrUserDataset>();
            counting->RangeEnd = reCount;
            counting->RangeEndCount = data->MaxColumns;
            ds = counting.get();
        }
        if (ds) {
            ds->First();
            int seen = 0;
            while (!ds->Eof() && !stopRequested()) {
                CurrentView = data->View;
                int width = data->dx;
                if (r && r->OnPrintColumn)
                    r->OnPrintColumn(Parent->CrossColumn, width);
                data->RunBandScript();
                if (curX + width > Parent->RightMargin())
                    CrossNextPage(curX);
                DrawCrossCells(data, curX);
                data->AddAggregates();
                if (IsDataBand())
                    AddAggregates();
                curX += width;
                ++Parent->CrossColumn;
                ++seen;
                ds->Next();
            }
            data->MaxColumns = std::max(data->MaxColumns, seen);
        }
    }
    TfrBand *foot = Parent->Bands[btCrossFooter];
    if (foot && foot->Exists()) {
        if (curX == 0)
            curX = foot->x;
        foot->RunBandScript();
        if (curX + foot->dx > Parent->RightMargin())
            CrossNextPage(curX);
        DrawCrossCells(foot, curX);
        foot->ResetAggregates();
    }
    PageNo = keptPage;
}

// ---- aggregates

void TfrBand::SetAggregate(const QString &name, const QVariant &value)
{
    Accumulators.SetValue(name, value);
}

QVariant TfrBand::GetAggregate(const QString &name) const
{
    const QVariant v = Accumulators.GetValue(name);
    const QStringList parts = name.split(kAggSep);
    // Cross entries carry the column first: band, code at index 2 then.
    const int codeAt = parts.size() > 5 ? 2 : 1;
    if (parts.value(codeAt) == QString(QChar(14))) {
        if (AggregateSteps == 0)
            return 0;
        return frVarToFloat(v) / AggregateSteps;
    }
    return v;
}

void TfrBand::AddAggregates()
{
    if (HasCross()) {
        bool added = true;
        while (added) {
            added = false;
            for (int i = 0; i < Accumulators.Count(); ++i) {
                const QString n = Accumulators.GetName(i);
                if (!n.startsWith(QLatin1Char('0') + QString(kAggSep)))
                    continue;
                const QString col = QString::number(Parent->CrossColumn) + n.mid(1);
                if (!Accumulators.Contains(col)) {
                    Accumulators.SetValue(col, 0);
                    added = true;
                    break;
                }
            }
        }
    }
    const QString colPrefix = QString::number(Parent->CrossColumn) + kAggSep;
    const bool cross = HasCross();
    QString lastExpr;
    QVariant lastValue;
    bool haveLast = false;
    for (int i = 0; i < Accumulators.Count(); ++i) {
        QString n = Accumulators.GetName(i);
        if (cross) {
            if (!n.startsWith(colPrefix))
                continue;
            n = n.mid(colPrefix.size());
        } else if (n.startsWith(QLatin1Char('0') + QString(kAggSep))) {
            continue;
        }
        const QStringList f = n.split(kAggSep);
        if (f.size() < 4)
            continue;
        const QChar code = f[1].isEmpty() ? QChar() : f[1][0];
        QVariant value = 0;
        if (code != QChar(15)) {
            if (!haveLast || f[2] != lastExpr) {
                frEnsureGlobals();
                try {
                    lastValue = GlobalParser->Calculate(f[2]);
                } catch (const std::exception &e) {
                    recordBuildError(e);
                    return;
                }
                lastExpr = f[2];
                haveLast = true;
            }
            value = lastValue;
        }
        if (frIsNull(value))
            value = 0;
        if (!(Visible || f[3] == QLatin1String("1")))
            continue;
        QVariant acc = Accumulators.GetValueAt(i);
        if (frIsNull(acc))
            acc = 0;
        try {
            switch (code.unicode()) {
            case 12: if (frVarCompare(value, acc) < 0) acc = value; break;  // MIN
            case 13: if (frVarCompare(value, acc) > 0) acc = value; break;  // MAX
            case 15: acc = frVarAdd(acc, 1); break;                         // COUNT
            default: acc = frVarAdd(acc, value); break;                     // SUM, AVG
            }
        } catch (const std::exception &e) {
            recordBuildError(e);
            return;
        }
        Accumulators.SetValueAt(i, acc);
    }
    ++AggregateSteps;
}

void TfrBand::ResetAggregates()
{
    if (Type == btGroupHeader) {
        for (TfrBand *g = this; g; g = g->NextGroup) {
            if (g->GroupCondition.isEmpty())
                continue;
            try {
                g->LastGroupValue = evaluateCompiled(g->GroupCondition);
            } catch (const std::exception &e) {
                recordBuildError(e);
                return;
            }
        }
        return;
    }
    TfrBand *owner = AggregateBandOwner;
    if (!owner)
        return;
    for (int i = 0; i < owner->Accumulators.Count(); ++i) {
        const QStringList f = owner->Accumulators.GetName(i).split(kAggSep);
        const bool column = f.size() > 5;
        const QString printing = column ? f.value(1) : f.value(0);
        if (printing.compare(Name, Qt::CaseInsensitive) != 0)
            continue;
        const QString code = column ? f.value(2) : f.value(1);
        owner->Accumulators.SetValueAt(i, code == QString(QChar(12)) ? QVariant(1e300) : QVariant(0));
    }
    owner->AggregateSteps = 0;
}

// ---------------------------------------------------------------------------
// Page: band trees

void TfrPage::FreeBands()
{
    for (TfrView *v : Objects)
        v->OwnerBand = nullptr;
    for (TfrBand *&b : Bands) {
        delete b;
        b = nullptr;
    }
    LastPrintedBand = nullptr;
    WaitingBand = nullptr;
    m_pending.clear();
    RecordList.clear();
}

TfrBand *TfrPage::FindBand(const QString &name) const
{
    for (TfrBand *first : Bands)
        for (TfrBand *b = first; b; b = b->Next)
            if (b->View && b->View->Name.compare(name, Qt::CaseInsensitive) == 0)
                return b;
    return nullptr;
}

void TfrPage::RunScript(const QStringList &lines)
{
    if (lines.isEmpty() || (lines.size() == 1 && lines.first().trimmed().isEmpty()))
        return;
    CurrentView = nullptr;
    if (!ScriptHooks.Run) {
        logOnce(QStringLiteral("report: no script interpreter installed; the script of page %1 is not run").arg(Name));
        return;
    }
    try {
        QStringList compiled = lines;
        if (ScriptHooks.Compile)
            ScriptHooks.Compile(compiled);
        ScriptHooks.Run(compiled);
    } catch (const std::exception &e) {
        recordBuildError(e);
    }
}

void TfrPage::InitDialogPage()
{
    CurrentPage = this;
    for (TfrView *v : Objects) {
        v->ParentPage = this;
        v->SetPropValue(QStringLiteral("Visible"), v->Visible);
    }
    if (Objects.isEmpty() || !Visible) {
        RunScript(Script);
        return;
    }
    TfrProgressHost *host = frProgressHost();
    const bool hostShown = host && host->IsVisible();
    if (hostShown)
        host->SetVisible(false);
    delete m_dialog;
    m_dialog = new QDialog;
    m_dialog->setWindowTitle(Caption);
    m_dialog->setGeometry(DialogLeft, DialogTop, DialogWidth, DialogHeight);
    if (BorderStyle == bsDialog)
        m_dialog->setFixedSize(DialogWidth, DialogHeight);
    for (TfrView *v : Objects)
        if (auto *control = dynamic_cast<TfrControl *>(v))
            control->PlaceControl(m_dialog);
    m_dialog->setResult(0);
    RunScript(Script);
    if (m_dialog->result() != 0)
        DialogCancelled = m_dialog->result() == 2;   // mrCancel
    else
        DialogCancelled = orv::prompt().runModal(m_dialog) != QDialog::Accepted;
    if (hostShown)
        host->SetVisible(true);
}

void TfrPage::InitReport()
{
    TfrReport *r = report();
    const bool finalOfTwo = r && r->FinalPass && r->IsTwoPassBuild();
    if (finalOfTwo && Initialized) {
        if (PageType == ptReport) {
            clearLastValues(Objects);
            for (TfrBand *first : Bands)
                for (TfrBand *b = first; b; b = b->Next)
                    if (b->DataSet)
                        b->DataSet->First();
        }
        return;
    }
    if (PageType == ptDialog) {
        InitDialogPage();
        Initialized = true;
        return;
    }
    FreeBands();
    for (int t = 0; t < 23; ++t)
        Bands[t] = new TfrBand(t, this);
    BuildBandTree();
    RecordNo = 1;
    CrossColumn = 1;
    Initialized = true;
}

void TfrPage::BuildBandTree()
{
    TfrReport *r = report();
    QSet<TfrView *> toPlace;
    // 1. Objects
    for (TfrView *v : Objects) {
        v->ParentPage = this;
        if (v->Flags & 0x8000)
            HookedViews.append(v);
        if (v->TypeCode != 2)
            toPlace.insert(v);
        v->OwnerBand = nullptr;
        if (!v->Script.isEmpty() && ScriptHooks.Compile) {
            try {
                ScriptHooks.Compile(v->Script);
            } catch (const std::exception &e) {
                recordBuildError(e);
            }
        }
        if (auto *sub = dynamic_cast<TfrSubReportView *>(v))
            if (TfrPage *shown = r ? r->Pages().GetPage(sub->SubReportPage) : nullptr)
                if (shown != this)
                    shown->Skip = true;
    }
    auto fillBand = [&](TfrBand *b, TfrBandView *bv) {
        b->View = bv;
        b->Memo = bv->Memo;
        b->Script = bv->Script;   // compiled with the page's objects above
        b->x = bv->Left;
        b->dx = bv->Width;
        b->y = bv->Top;
        b->dy = bv->Height;
        b->Flags = bv->Flags;
        b->Visible = bv->Visible;
        b->Name = bv->Name;
        b->ColumnCounter = 1;
        bv->OwnerBand = b;
        // Scripts that change the band object change the band being printed.
        bv->RuntimeSet = [b](const QString &n, const QVariant &value) {
            if (n == QLatin1String("CHILDBAND")) {
                b->Child = b->Parent->FindBand(value.toString());
            } else if (n == QLatin1String("BREAKED")) {
                b->Breaked = value.toBool();
            } else if (n == QLatin1String("CONDITION")) {
                frEnsureGlobals();
                b->GroupCondition = GlobalParser->Translate(value.toString());
            } else if (n == QLatin1String("LEFT")) {
                b->x = value.toInt();
            } else if (n == QLatin1String("TOP")) {
                b->y = value.toInt();
            } else if (n == QLatin1String("WIDTH")) {
                b->dx = value.toInt();
            } else if (n == QLatin1String("HEIGHT")) {
                b->dy = value.toInt();
            } else if (n == QLatin1String("VISIBLE")) {
                b->Visible = value.toBool();
            } else if (n == QLatin1String("DATASOURCE")) {
                b->DoneDataSet();
                b->InitDataSet(value.toString());
            }
        };
        bv->RuntimeGet = [b](const QString &n) -> QVariant {
            if (n == QLatin1String("LEFT")) return b->x;
            if (n == QLatin1String("TOP")) return b->y;
            if (n == QLatin1String("WIDTH")) return b->dx;
            if (n == QLatin1String("HEIGHT")) return b->dy;
            if (n == QLatin1String("VISIBLE")) return b->Visible;
            if (n == QLatin1String("BREAKED")) return b->Breaked;
            if (n == QLatin1String("EOF")) return b->DataSet ? b->DataSet->Eof() : true;
            return QVariant();
        };
    };
    // 2. Cross bands
    bool haveCross = false;
    for (TfrView *v : Objects) {
        auto *bv = dynamic_cast<TfrBandView *>(v);
        if (!bv || !bv->IsCrossBand())
            continue;
        TfrBand *b = Bands[bv->GetBandType()];
        fillBand(b, bv);
        try {
            b->InitDataSet(bv->FormatText);
        } catch (const std::exception &e) {
            recordBuildError(e);
        }
        haveCross = true;
    }
    QSet<TfrView *> inCross;
    if (haveCross) {
        for (TfrView *v : Objects) {
            if (!toPlace.contains(v))
                continue;
            for (int t = btCrossHeader; t <= btCrossFooter; ++t) {
                TfrBand *b = Bands[t];
                if (!b->View)
                    continue;
                if (v->Left >= b->x && v->Left + v->Width <= b->x + b->dx) {
                    v->Left -= b->x;
                    v->OwnerBand = b;
                    b->Objects.append(v);
                    inCross.insert(v);
                    break;
                }
            }
        }
    }
    // 3. Other bands
    const bool skipped = Skip;
    for (int t = 0; t < 23; ++t) {
        if (t >= btCrossHeader && t <= btCrossFooter)
            continue;
        if (t == btNone)
            continue;
        QList<TfrBand *> chain;
        for (TfrView *v : Objects) {
            auto *bv = dynamic_cast<TfrBandView *>(v);
            if (!bv || bv->GetBandType() != t)
                continue;
            TfrBand *b = chain.isEmpty() ? Bands[t] : new TfrBand(t, this);
            fillBand(b, bv);
            b->Stretched = bv->Flags & flBandStretched;
            b->PrintIfSubsetEmpty = bv->Flags & flBandPrintIfSubsetEmpty;
            b->PrintChildIfInvisible = bv->Flags & flBandPrintChildIfInvisible;
            b->NewPageAfter = !skipped && (bv->Flags & flBandNewPageAfter);
            b->Breaked = !skipped && (bv->Flags & flBandBreaked);
            chain.append(b);
            try {
                b->InitDataSet(bv->FormatText);
            } catch (const std::exception &e) {
                recordBuildError(e);
            }
        }
        if (chain.isEmpty())
            continue;
        auto within = [](TfrBand *b, TfrView *v) { return b->y <= v->Top && v->Top <= b->y + b->dy; };
        for (int round = 0; round < 3; ++round) {
            for (TfrView *v : Objects) {
                bool candidate = false;
                if (round == 0)
                    candidate = toPlace.contains(v) && !v->OwnerBand && v->TypeCode != 3;
                else if (round == 1)
                    candidate = inCross.contains(v) && toPlace.contains(v);
                else
                    candidate = toPlace.contains(v) && v->TypeCode == 3;
                if (!candidate)
                    continue;
                for (TfrBand *b : chain) {
                    if (!within(b, v))
                        continue;
                    v->Top -= b->y;
                    if (round != 1)
                        v->OwnerBand = b;
                    b->Objects.append(v);
                    toPlace.remove(v);
                    break;
                }
            }
        }
        std::stable_sort(chain.begin(), chain.end(), [](TfrBand *a, TfrBand *b) { return a->y < b->y; });
        // The type's list head is the first band of the sorted chain.
        for (int i = 0; i < chain.size(); ++i) {
            chain[i]->Next = i + 1 < chain.size() ? chain[i + 1] : nullptr;
            chain[i]->Prev = i > 0 ? chain[i - 1] : nullptr;
        }
        if (chain.first() != Bands[t]) {
            // Bands[t] was filled first but sorts later: the chain's first band becomes the head.
            Bands[t] = chain.first();
        }
        Bands[t]->LastBand = chain.last();
    }
    // 4. Objects outside bands
    TfrBand *none = Bands[btNone];
    for (TfrView *v : Objects) {
        if (!toPlace.contains(v))
            continue;
        v->OwnerBand = none;
        none->Objects.append(v);
    }
    // Sub-report objects print after the other objects of their band.
    for (TfrBand *first : Bands)
        for (TfrBand *b = first; b; b = b->Next)
            std::stable_partition(b->Objects.begin(), b->Objects.end(),
                                  [](TfrView *v) { return v->TypeCode != 3; });
    // 5. Headers and footers of data bands
    const int levels[3][3] = {{btMasterHeader, btMasterData, btMasterFooter},
                              {btDetailHeader, btDetailData, btDetailFooter},
                              {btSubDetailHeader, btSubDetailData, btSubDetailFooter}};
    for (const auto &lv : levels) {
        for (TfrBand *h = Bands[lv[0]]; h && h->View; h = h->Next)
            for (TfrBand *d = Bands[lv[1]]; d && d->View; d = d->Next)
                if (d->y > h->y + h->dy) {
                    if (!d->Header) {
                        d->Header = h;
                        h->DataBand = d;
                    }
                    break;
                }
        for (TfrBand *f = Bands[lv[2]]; f && f->View; f = f->Next) {
            TfrBand *found = nullptr;
            for (TfrBand *d = Bands[lv[1]]; d && d->View; d = d->Next)
                if (d->y + d->dy <= f->y)
                    found = d;
            if (found && !found->Footer) {
                found->Footer = f;
                f->DataBand = found;
            }
        }
    }
    // 6. Group headers and footers in pairs
    {
        TfrBand *h = Bands[btGroupHeader], *f = Bands[btGroupFooter];
        while (h && h->View && f && f->View) {
            h->Footer = f;
            h = h->Next;
            f = f->Next;
        }
    }
    // 7. Cross data sets named per band
    if (TfrBand *cd = Bands[btCrossData]; cd && cd->View && cd->View->FormatText.contains(QLatin1Char(';'))) {
        for (const QString &pair : cd->View->FormatText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const int eq = int(pair.indexOf(QLatin1Char('=')));
            if (eq < 0)
                continue;
            const QString bandName = pair.left(eq).trimmed(), dsName = pair.mid(eq + 1).trimmed();
            for (int t = btMasterHeader; t <= btChild; ++t)
                for (TfrBand *b = Bands[t]; b && b->View; b = b->Next)
                    if (b->Name.compare(bandName, Qt::CaseInsensitive) == 0 && !b->CrossDataSet) {
                        try {
                            TfrDataset *ds = nullptr;
                            bool created = false;
                            ResolveDataSet(dsName, ds, created);
                            b->CrossDataSet = ds;
                            b->OwnsCrossDataSet = created;
                        } catch (const std::exception &e) {
                            recordBuildError(e);
                        }
                    }
        }
    }
    // 8. Child bands
    for (TfrBand *first : Bands)
        for (TfrBand *b = first; b && b->View; b = b->Next)
            if (!b->View->ChildBand.isEmpty())
                for (TfrBand *c = Bands[btChild]; c && c->View; c = c->Next)
                    if (c->Name.compare(b->View->ChildBand, Qt::CaseInsensitive) == 0 && c != b) {
                        b->Child = c;
                        break;
                    }
    // 9. Groups
    if (Bands[btMasterData] && Bands[btMasterData]->View) {
        for (TfrBand *g = Bands[btGroupHeader]; g && g->View; g = g->Next) {
            TfrBand *d = nullptr;
            const QString master = g->View->Master;
            if (master.isEmpty()) {
                d = Bands[btMasterData];
            } else {
                for (int t : {btMasterData, btDetailData, btSubDetailData})
                    for (TfrBand *c = Bands[t]; c && c->View && !d; c = c->Next)
                        if (c->Name.compare(master, Qt::CaseInsensitive) == 0)
                            d = c;
            }
            if (!d)
                continue;
            g->DataBand = d;
            if (!d->FirstGroup) {
                d->FirstGroup = d->LastGroup = g;
            } else {
                d->LastGroup->NextGroup = g;
                g->PrevGroup = d->LastGroup;
                d->LastGroup = g;
            }
        }
    }
    // 10. Columns
    if (ColCount <= 0)
        ColCount = 1;
    ColCount = std::min(ColCount, 1000);
    TfrBand *pf = Bands[btPageFooter];
    FooterReserve = pf && pf->View ? pf->dy : 0;
    ColWidth = (RightMargin() - LeftMargin() - (ColCount - 1) * ColGap) / ColCount;
}

void TfrPage::PrepareObjects()
{
    TfrReport *r = report();
    CurrentPage = this;
    for (TfrView *v : Objects) {
        v->BlobField.clear();
        m_bindings.remove(v);
        const QString text = v->Memo.join(QString());
        const bool textOnly = v->TypeCode == 0 && (v->Flags & flTextOnly);
        if (v->Memo.isEmpty() || text.size() <= 2 || !text.startsWith(QLatin1Char('[')) || textOnly
            || v->TypeCode == 2)
            continue;
        const int close = int(text.lastIndexOf(QLatin1Char(']')));
        if (close <= 1)
            continue;
        const QString name = text.mid(1, close - 1);
        try {
            TfrDataDictionary &dict = r->Dictionary();
            if (dict.IsVariable(name)) {
                const auto it = dict.FieldCache().constFind(name.toUpper());
                if (it != dict.FieldCache().constEnd() && it->Alive()) {
                    m_bindings.insert(v, FieldBinding{it->Alive(), it->DataField});
                    v->BlobField = it->DataField;
                }
                continue;
            }
            IfrDataSource *ds = nullptr;
            if (r->UseDefaultDataSetName && v->OwnerBand && v->OwnerBand->DataSet)
                ds = dataSourceOf(v->OwnerBand->DataSet);
            QString field;
            FindDataSetField(name, ds, field);
            if (ds && !field.isEmpty()) {
                m_bindings.insert(v, FieldBinding{ds, field});
                v->BlobField = field;
            }
        } catch (const std::exception &) {
            // A name that is no field stays an expression.
        }
    }
    // Aggregate registration
    struct PrepareGuard {
        ~PrepareGuard() { AggregatePrepare = false; AggregateOwner = nullptr; }
    } guard;
    AggregatePrepare = true;
    static const QStringList aggregateNames = {QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("MAX"),
                                               QStringLiteral("MIN"), QStringLiteral("SUM")};
    bool anyCall = false;
    auto registerIn = [&](TfrBand *b) {
        QStringList calls;
        TfrFunctionSplitter splitter(aggregateNames, &r->Dictionary().Variables, calls);
        // Scripts are compiled by now: only the expressions of their lines are read.
        TAggregateFunctionsSplitter scripts(calls);
        if (b->Script.isEmpty()) {
            for (const QString &line : b->Memo)
                splitter.Split(line);
        } else {
            scripts.SplitScript(b->Script);
        }
        for (TfrView *v : b->Objects) {
            scripts.SplitScript(v->Script);
            if (v->TypeCode == 0 && (v->Flags & flTextOnly))
                continue;
            for (const QString &line : v->Memo)
                frExpandBrackets(line, [&](const QString &inner) {
                    splitter.Split(inner);
                    return QString();
                });
        }
        // Each call registers its accumulator with AggregateOwner and makes it the
        // aggregate owner of the band when the call is meant for that data band.
        for (const QString &call : std::as_const(calls)) {
            anyCall = true;
            CurrentBand = b;
            GlobalParser->Calculate(call);
        }
    };
    auto searchType = [&](int t) {
        for (TfrBand *b = Bands[t]; b && b->Exists(); b = b->Next)
            for (TfrBand *c = b; c; c = c->Child) {
                registerIn(c);
                if (c->Child == b)
                    break;
            }
    };
    try {
        frEnsureGlobals();
        const int dataTypes[3] = {btMasterData, btDetailData, btSubDetailData};
        for (int level = 0; level < 3; ++level) {
            for (TfrBand *d = Bands[dataTypes[level]]; d && d->View; d = d->Next) {
                if (d != Bands[dataTypes[level]] && !d->DataSet)
                    break;
                AggregateOwner = d;
                QList<int> types = {btPageFooter, btColumnFooter, btMasterFooter, btGroupFooter, btReportSummary};
                if (level >= 1)
                    types << btDetailFooter;
                if (level == 2)
                    types << btSubDetailFooter;
                for (int t : types)
                    searchType(t);
            }
        }
        if (TfrBand *cd = Bands[btCrossData]; cd && cd->View) {
            AggregateOwner = cd;
            searchType(btCrossFooter);
        }
    } catch (const std::exception &e) {
        recordBuildError(e);
    }
    if (anyCall) {
        bool installed = false;
        for (TfrFunctionLibrary *lib : frFunctionLibraries())
            installed = installed || lib->Names.contains(QStringLiteral("SUM"));
        if (!installed)
            logOnce(QStringLiteral("report: no aggregate functions installed; SUM, AVG, COUNT, MIN and MAX print 0"));
    }
}

void TfrPage::DoneReport()
{
    TfrReport *r = report();
    if (r && !r->FinalPass && r->IsTwoPassBuild())
        return;
    if (!Initialized)
        return;
    if (PageType == ptDialog) {
        delete m_dialog;
        m_dialog = nullptr;
    } else {
        FreeBands();
        m_bindings.clear();
    }
    Initialized = false;
}

bool TfrPage::BoundField(TfrView *view, IfrDataSource *&dataSet, QString &field) const
{
    const auto it = m_bindings.constFind(view);
    if (it == m_bindings.constEnd())
        return false;
    dataSet = it->DataSet;
    field = it->Field;
    return dataSet != nullptr;
}

// ---------------------------------------------------------------------------
// Page forming

void TfrPage::ShowBand(TfrBand *band)
{
    if (!band)
        return;
    if (Mode == 1)
        RecordList.append(RecordEntry{band, 0});
    else
        band->Draw();
}

void TfrPage::ShowBandByName(const QString &name)
{
    if (TfrBand *b = FindBand(name))
        b->Draw();
}

void TfrPage::FlushPending()
{
    const QList<TfrBand *> pending = std::exchange(m_pending, {});
    for (TfrBand *b : pending) {
        if (stopRequested())
            break;
        if (b && b->Exists())
            ShowBand(b);
    }
}

void TfrPage::FormPage()
{
    TfrReport *r = report();
    const bool manual = r && bool(r->OnManualBuild);
    if (r && !r->PrintIfEmpty) {
        bool empty = true;
        try {
            TfrBand *md = Bands[btMasterData];
            if (md && md->View && md->DataSet) {
                md->DataSet->Init();
                md->DataSet->First();
                empty = md->DataSet->Eof();
            }
        } catch (const std::exception &) {
            empty = true;
        }
        if (empty) {
            if (AppendToPrevPage)
                ++PageNo;
            return;
        }
    }
    DisableRepeatHeader = false;
    TfrEMFPages &pages = preparedPages();
    if (Mode == 0) {
        RunScript(Script);
        if (AppendToPrevPage && SavedPageY == SavedPageBottom) {
            AppendToPrevPage = false;
            LastFooterShown = false;
            PageNo = pages.Count();
        }
        BottomLimit = AppendToPrevPage && LastFooterShown ? SavedPageBottom : BottomMargin();
        CurColumn = 0;
        ShiftX = LeftMargin();
        if (AppendToPrevPage) {
            CurY = SavedPageY;
        } else {
            pages.Add(*this);
            CurY = TopMargin();
            ShowBand(Bands[btOverlay]);
            ShowBand(Bands[btNone]);
        }
        const int pageBefore = PageNo;
        if (!manual)
            ShowBand(Bands[btReportTitle]);
        if (PageNo == pageBefore) {
            TfrBand *ph = Bands[btPageHeader];
            if (ph && ph->Exists() && (ph->Flags & flBandOnFirstPage))
                ShowBand(ph);
            ShowBand(Bands[btColumnHeader]);
        }
    }
    if (!manual && !stopRequested()) {
        m_pending.clear();
        DoLoop(1);
        m_pending.clear();
    }
    if (Mode == 0) {
        if (manual) {
            r->OnManualBuild(this);
        } else if (!stopRequested()) {
            DisableRepeatHeader = true;
            ShowBand(Bands[btColumnFooter]);
            SummaryPrinting = true;
            ShowBand(Bands[btReportSummary]);
            SummaryPrinting = false;
            DisableRepeatHeader = false;
        }
        SavedPageY = CurY;
        SavedPageBottom = BottomLimit;
        if (CurColumn > 0)
            SavedPageY = BottomMargin();
        CurColumn = 0;
        ShiftX = LeftMargin();
        LastFooterShown = false;
        const int before = PageNo;
        TfrBand *pf = Bands[btPageFooter];
        if (!manual && pf && pf->Exists() && ((pf->Flags & flBandOnLastPage) || (PageNo == 0 && (pf->Flags & flBandOnFirstPage)))) {
            const quint16 kept = pf->Flags;
            pf->Flags |= flBandOnFirstPage;
            LastFooterShown = true;
            EndPage();
            pf->Flags = kept;
        }
        if (r && r->OnEndPage)
            r->OnEndPage(PageNo);
        if (CurrentReport && CurrentReport != r && CurrentReport->OnEndPage)
            CurrentReport->OnEndPage(PageNo);
        PageNo = before + 1;
    }
    LastPrintedBand = nullptr;
}

void TfrPage::DoLoop(int level)
{
    static const int dataTypes[3] = {btMasterData, btDetailData, btSubDetailData};
    int deepest = 0;
    for (int l = 0; l < 3; ++l)
        if (Bands[dataTypes[l]] && Bands[dataTypes[l]]->View)
            deepest = l + 1;
    if (level < 1 || level > deepest)
        return;
    for (TfrBand *b = Bands[dataTypes[level - 1]]; b && b->View && !stopRequested(); b = b->Next) {
        TfrDataset *ds = b->DataSet;
        if (!ds)
            continue;
        try {
            ds->First();
        } catch (const std::exception &e) {
            recordBuildError(e);
            return;
        }
        if (Mode == 1) {
            RecordList.append(RecordEntry{b, 1});
        } else {
            b->LineNo = 1;
            b->LineThrough = 1;
            b->ResetLastValues();
        }
        for (TfrBand *g = b->FirstGroup; g; g = g->NextGroup) {
            g->LineNo = g->LineThrough = 0;
            g->ResetLastValues();
        }
        if (ds->Eof())
            continue;
        for (TfrBand *g = b->FirstGroup; g; g = g->NextGroup) {
            ++g->LineNo;
            ++g->LineThrough;
            m_pending.append(g);
        }
        if (b->Header)
            m_pending.append(b->Header);
        if (b->Footer)
            b->Footer->ResetAggregates();
        while (!ds->Eof() && !stopRequested()) {
            bool printed = true;
            m_pending.append(b);
            if (b->PrintIfSubsetEmpty)
                FlushPending();
            if (level < deepest) {
                DoLoop(level + 1);
                if (!m_pending.isEmpty()) {
                    if (b->PrintIfSubsetEmpty) {
                        FlushPending();
                    } else {
                        m_pending.removeLast();
                        printed = false;
                    }
                }
            } else {
                FlushPending();
            }
            try {
                ds->Next();
            } catch (const std::exception &e) {
                recordBuildError(e);
                return;
            }
            // Group change
            for (TfrBand *g = b->FirstGroup; g && !stopRequested(); g = g->NextGroup) {
                bool changed = ds->Eof() || !g->LastGroupValue.isValid();
                if (!changed) {
                    try {
                        changed = !frVarEquals(evaluateCompiled(g->GroupCondition), g->LastGroupValue);
                    } catch (const std::exception &e) {
                        recordBuildError(e);
                        return;
                    }
                }
                if (!changed)
                    continue;
                bool steppedBack = false;
                if (!ds->Eof()) {
                    try {
                        ds->Prior();
                        steppedBack = true;
                    } catch (const std::exception &) {
                        steppedBack = false;
                    }
                }
                for (TfrBand *inner = b->LastGroup; inner && inner != g; inner = inner->PrevGroup) {
                    if (inner->Footer) {
                        m_pending.append(inner->Footer);
                        inner->Footer->ResetLastValues();
                    }
                    inner->LineNo = 0;
                    inner->ResetLastValues();
                }
                if (g->Footer)
                    m_pending.append(g->Footer);
                FlushPending();
                if (ds->Eof())
                    break;
                if (steppedBack)
                    ds->Next();
                if (g->View && (g->View->Flags & flBandNewPageAfter) && g->Visible)
                    NewPage();
                for (TfrBand *k = g; k; k = k->NextGroup) {
                    ++k->LineNo;
                    ++k->LineThrough;
                    m_pending.append(k);
                }
                b->LineNo = 0;
                b->ResetLastValues();
                break;
            }
            if (Mode == 1) {
                RecordList.append(RecordEntry{b, 2});
            } else if (printed) {
                ++RecordNo;
                ++b->LineThrough;
                ++b->LineNo;
                if (!ds->Eof() && b->Visible && b->NewPageAfter)
                    NewPage();
            }
        }
        if (!m_pending.isEmpty())
            m_pending.removeLast();
        else
            ShowBand(b->Footer);
    }
}

void TfrPage::NewPage()
{
    TfrReport *r = report();
    if (r)
        r->ReportProgress(PageNo + 1);
    if (!DisableRepeatHeader)
        ShowBand(Bands[btColumnFooter]);
    EndPage();
    BottomLimit = BottomMargin();
    preparedPages().Add(*this);
    AppendToPrevPage = false;
    ShowBand(Bands[btOverlay]);
    CurY = TopMargin();
    ShowBand(Bands[btPageHeader]);
    ShowBand(Bands[btColumnHeader]);
}

void TfrPage::NewColumn(TfrBand *band)
{
    if (CurColumn < ColCount - 1) {
        ShowBand(Bands[btColumnFooter]);
        ++CurColumn;
        ShiftX += ColWidth + ColGap;
        CurY = ColumnTopY;
        ShowBand(Bands[btColumnHeader]);
    } else {
        NewPage();
    }
    if (!band || DisableRepeatHeader)
        return;
    TfrBand *first = nullptr;
    if (band->Type == btGroupHeader)
        first = band->DataBand ? band->DataBand->FirstGroup : Bands[btGroupHeader];
    else if (band->IsDataBand())
        first = band->FirstGroup;
    else
        first = Bands[btGroupHeader] && Bands[btGroupHeader]->View ? Bands[btGroupHeader] : nullptr;
    const bool groupChain = first && first->DataBand && first->DataBand->FirstGroup == first;
    for (TfrBand *g = first; g && g != band; g = groupChain ? g->NextGroup : g->Next) {
        if (!g->View || !(g->Flags & flBandRepeatHeader))
            continue;
        g->IsRepeatHeader = true;
        ShowBand(g);
        g->IsRepeatHeader = false;
    }
    if (band->IsDataBand() && band->Header && (band->Header->Flags & flBandRepeatHeader)) {
        band->Header->IsRepeatHeader = true;
        ShowBand(band->Header);
        band->Header->IsRepeatHeader = false;
    }
    CurrentBand = band;
}

void TfrPage::EndPage()
{
    CurColumn = 0;
    ShiftX = LeftMargin();
    TfrReport *r = report();
    TfrEMFPages &pages = preparedPages();
    TfrBand *pf = Bands[btPageFooter];
    if (PageNo > 0 || (pf && (pf->Flags & flBandOnFirstPage))) {
        while (PageNo < pages.Count() && !stopRequested()) {
            if (!(AppendToPrevPage && LastFooterShown)) {
                if (r && r->OnEndPage)
                    r->OnEndPage(PageNo);
                ShowBand(pf);
            }
            ++PageNo;
        }
    }
    PageNo = pages.Count();
}

bool TfrPage::PlayRecList()
{
    while (ReplayIndex < RecordList.size() && !stopRequested()) {
        const RecordEntry e = RecordList[ReplayIndex];
        switch (e.Action) {
        case 0:
            if (WaitingBand) {
                WaitingBand->ContinueSubReports();
                if (WaitingBand)
                    return true;
            } else if (e.Band->Draw()) {
                return true;   // the page is full (or sub-reports wait): this entry resumes later
            }
            break;
        case 1:
            if (e.Band->DataSet)
                e.Band->DataSet->First();
            e.Band->LineNo = 1;
            e.Band->ResetLastValues();
            break;
        default:
            if (e.Band->DataSet)
                e.Band->DataSet->Next();
            ++RecordNo;
            ++e.Band->LineThrough;
            ++e.Band->LineNo;
            break;
        }
        ++ReplayIndex;
    }
    return false;
}
