#include "report/engine/frband.h"
#include "report/engine/frbuild.h"
#include "report/engine/frdataset.h"
#include "report/engine/frpage.h"

#include "report/engine/frfonts.h"

#include <QFontMetrics>
#include <QMenu>
#include <QSet>

namespace {
const char *const kCaptions[23] = {"报表标题", "报表合计", "页头",   "页脚",     "主项头",   "主项数据",
                                   "主项脚",   "细项头",   "细项数据", "细项脚",   "子细项头", "子细项数据",
                                   "子细项脚", "覆盖",     "栏目头",   "栏目脚",   "分组头",   "分组脚",
                                   "交叉表头", "交叉表数据", "交叉表脚", "子",       "无"};

struct FlagItem {
    const char *property;
    quint16 bit;
    const char *menu;
};
const FlagItem kFlagItems[] = {
    {"FormNewPage", flBandNewPageAfter, "强迫换页"},
    {"PrintIfSubsetEmpty", flBandPrintIfSubsetEmpty, "为空时打印"},
    {"Breaked", flBandBreaked, "分隔"},
    {"OnFirstPage", flBandOnFirstPage, "在第一页"},
    {"OnLastPage", flBandOnLastPage, "在最后一页"},
    {"RepeatHeader", flBandRepeatHeader, "显示所有页"},
    {"PrintChildIfInvisible", flBandPrintChildIfInvisible, "打印子Band不可见"},
};

QFont captionFont() { return MakeQFont(QStringLiteral("Arial"), 8); }
} // namespace

QString BandTypeCaption(int type)
{
    return type >= 0 && type <= 22 ? QString::fromUtf8(kCaptions[type]) : QString();
}

bool BandOffers(int t, const QString &property)
{
    const QString p = property.toUpper();
    auto in = [t](std::initializer_list<int> l) { return std::find(l.begin(), l.end(), t) != l.end(); };
    if (p == QLatin1String("CHILDBAND") || p == QLatin1String("PRINTCHILDIFINVISIBLE"))
        return t != btPageFooter;
    if (p == QLatin1String("STRETCHED"))
        return in({0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21});
    if (p == QLatin1String("FORMNEWPAGE"))
        return in({0, 1, 5, 6, 8, 9, 11, 12, 16});
    if (p == QLatin1String("PRINTIFSUBSETEMPTY"))
        return in({5, 8});
    if (p == QLatin1String("BREAKED"))
        return in({0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21});
    if (p == QLatin1String("ONFIRSTPAGE"))
        return in({2, 3});
    if (p == QLatin1String("ONLASTPAGE"))
        return t == 3;
    if (p == QLatin1String("REPEATHEADER"))
        return in({4, 7, 10, 16, 18});
    if (p == QLatin1String("DATASOURCE"))
        return in({5, 8, 11, 19});
    if (p == QLatin1String("COLUMNS") || p == QLatin1String("COLUMNWIDTH") || p == QLatin1String("COLUMNGAP"))
        return in({5, 8, 11});
    if (p == QLatin1String("CONDITION") || p == QLatin1String("MASTER"))
        return t == 16;
    if (p == QLatin1String("EOF"))
        return true;
    return false;
}

void TfrBandView::DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                           const QVariant &par3, QVariant &val)
{
    TfrView::DoMethod(methodName, par1, par2, par3, val);
    TfrDataset *ds = OwnerBand ? OwnerBand->DataSet : nullptr;
    if (!ds)
        return;
    const QString m = methodName.toUpper();
    if (m == QLatin1String("NEXT"))
        ds->Next();
    else if (m == QLatin1String("PRIOR"))
        ds->Prior();
    else if (m == QLatin1String("FIRST"))
        ds->First();
}

void RenameBandReferences(TfrPage *page, const QString &oldName, const QString &newName)
{
    if (!page)
        return;
    for (TfrView *v : page->Objects)
        if (auto *b = dynamic_cast<TfrBandView *>(v); b && b->ChildBand == oldName)
            b->ChildBand = newName;
}

TfrBandView::TfrBandView()
{
    TypeCode = 2;
    DisplayFormat = 0;
    BaseName = QStringLiteral("Band");
    Flags = flBandOnFirstPage | flBandOnLastPage;
    RecordMinor = 1;
}

int TfrBandView::CaptionWidth() const
{
    const QFontMetrics fm(captionFont());
    const int w = fm.horizontalAdvance(BandTypeCaption(GetBandType()));
    return w < 92 ? 100 : w + 8;
}

void TfrBandView::DefinePropList()
{
    TfrView::DefinePropList();
    // The band's text is its before-print script: same descriptor, another name.
    for (auto &p : PropertyList)
        if (p->Name == QLatin1String("Memo"))
            p->Name = QStringLiteral("OnBeforePrint");
    const int t = GetBandType();
    auto bandNames = [this](std::initializer_list<int> types) {
        QStringList names;
        if (EngineMode == 1 || !EngineHooks.AlignContext)
            return names;
        TfrAlignContext ctx;
        if (!EngineHooks.AlignContext(ctx))
            return names;
        for (TfrView *o : ctx.Objects)
            if (o != this && o->TypeCode == 2
                && std::find(types.begin(), types.end(), o->FrameTyp) != types.end())
                names << o->Name;
        return names;
    };
    if (BandOffers(t, QStringLiteral("ChildBand"))) {
        const QStringList names = bandNames({btChild});
        AddEnumProperty(QStringLiteral("ChildBand"), names.isEmpty() ? QString() : names.join(';') + ';', {});
    }
    if (BandOffers(t, QStringLiteral("Stretched")))
        AddProperty(QStringLiteral("Stretched"), 8);
    for (const auto &f : kFlagItems)
        if (BandOffers(t, QLatin1String(f.property)))
            AddProperty(QLatin1String(f.property), 8);
    if (t == btCrossData)
        AddProperty(QStringLiteral("DataSource"), 0x40, [this] {
            if (EditorHooks.CrossDataSource)
                EditorHooks.CrossDataSource(this);
        });
    if (t == btMasterData || t == btDetailData || t == btSubDetailData) {
        AddProperty(QStringLiteral("Columns"), 2);
        AddProperty(QStringLiteral("ColumnWidth"), 0x82);
        AddProperty(QStringLiteral("ColumnGap"), 0x82);
        AddProperty(QStringLiteral("DataSource"), 0x40, [this] {
            if (EditorHooks.BandDataSource)
                EditorHooks.BandDataSource(this);
        });
    }
    if (t == btGroupHeader) {
        AddProperty(QStringLiteral("Condition"), 0x41, [this] {
            if (EditorHooks.GroupCondition)
                EditorHooks.GroupCondition(this);
        });
        const QStringList names = bandNames({btMasterData, btDetailData, btSubDetailData});
        AddEnumProperty(QStringLiteral("Master"), names.join(';'), {});
    }
    AddProperty(QStringLiteral("EOF"), 0);
}

void TfrBandView::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    const QString n = name.toUpper();
    if (n == QLatin1String("CHILDBAND")) ChildBand = value.toString();
    else if (n == QLatin1String("MASTER")) Master = value.toString();
    else if (n == QLatin1String("CONDITION")) FormatText = value.toString();
    else if (n == QLatin1String("COLUMNS")) Columns = value.toInt();
    else if (n == QLatin1String("COLUMNGAP")) ColumnGap = value.toInt();
    else if (n == QLatin1String("COLUMNWIDTH")) ColumnWidth = value.toInt();
    else if (n == QLatin1String("NEWCOLUMNAFTER")) NewColumnAfter = value.toInt();
    for (const auto &f : kFlagItems)
        if (n == QString::fromLatin1(f.property).toUpper())
            SetFlag(f.bit, value.toBool());
    static const QSet<QString> runtime = {"CHILDBAND", "BREAKED", "CONDITION", "LEFT", "TOP", "WIDTH",
                                          "HEIGHT",    "VISIBLE", "DATASOURCE"};
    if (EngineMode == 1 && RuntimeSet && runtime.contains(n))
        RuntimeSet(n, value);
}

QVariant TfrBandView::GetPropValue(const QString &name)
{
    const QString n = name.toUpper();
    if (EngineMode == 1 && RuntimeGet) {
        static const QSet<QString> runtime = {"LEFT", "TOP", "WIDTH", "HEIGHT", "VISIBLE", "BREAKED", "EOF"};
        if (runtime.contains(n)) {
            const QVariant v = RuntimeGet(n);
            if (!v.isNull())
                return v;
        }
    }
    QVariant v = TfrView::GetPropValue(name);
    if (!v.isNull())
        return v;
    if (n == QLatin1String("CHILDBAND")) return ChildBand;
    if (n == QLatin1String("MASTER")) return Master;
    if (n == QLatin1String("EOF")) return false;
    if (n == QLatin1String("CONDITION")) return FormatText;
    if (n == QLatin1String("COLUMNS")) return Columns;
    if (n == QLatin1String("COLUMNGAP")) return ColumnGap;
    if (n == QLatin1String("NEWCOLUMNAFTER")) return NewColumnAfter;
    if (n == QLatin1String("COLUMNWIDTH")) return ColumnWidth;
    for (const auto &f : kFlagItems)
        if (n == QString::fromLatin1(f.property).toUpper())
            return bool(Flags & f.bit);
    return {};
}

void TfrBandView::SaveToStream(QIODevice &s)
{
    RecordMinor = 1;
    TfrView::SaveToStream(s);
    WriteStreamString(s, ChildBand);
    WriteStreamInt(s, Columns);
    WriteStreamInt(s, ColumnWidth);
    WriteStreamInt(s, ColumnGap);
    WriteStreamInt(s, NewColumnAfter);
    WriteStreamString(s, Master);
}

void TfrBandView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    if (StreamVersion >= 24) {
        ChildBand = ReadStreamString(s);
        Columns = ReadStreamInt(s);
        ColumnWidth = ReadStreamInt(s);
        ColumnGap = ReadStreamInt(s);
        NewColumnAfter = ReadStreamInt(s);
        if (RecordMajor * 10 + RecordMinor > 20)
            Master = ReadStreamString(s);
    }
}

void TfrBandView::Draw(QPainter *canvas)
{
    FrameWidth = 1;
    if (!IsCrossBand()) {
        Left = 0;
        Width = PrintableWidth;
    } else {
        Top = 0;
        Height = PrintableHeight;
    }
    AttachCanvas(canvas);
    BeginDraw();
    if (!Canvas) {
        EndDraw();
        return;
    }
    QPainter *p = Canvas;
    p->save();
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(192, 192, 192));
    p->setBrushOrigin(0, 0);
    p->fillRect(DrawRect, QBrush(pattern));
    const QFont font = captionFont();
    p->setFont(font);
    const QColor face = FrColor(clBtnFace);
    p->setPen(QPen(face, 1));
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRect(Left, Top, Width, Height));
    if (Columns > 1) {
        QPen dotted(Qt::black, 1, Qt::DotLine);
        p->setPen(dotted);
        const int limit = p->device() ? p->device()->width() : 0;
        for (int i = 0; i < Columns; ++i) {
            const qint64 x64 = PageLeftMargin + qint64(i) * (qint64(ColumnWidth) + ColumnGap);
            if (x64 > limit || x64 < -limit)
                break; // columns beyond the page are not drawn, whatever the stored count
            const int x = int(x64);
            p->drawRect(QRect(x, Top, ColumnWidth, Height));
        }
    }
    const QString c = BandTypeCaption(GetBandType());
    const int w = CaptionWidth();
    const QFontMetrics fm(font);
    p->setPen(Qt::black);
    if (ShowBandTitles) {
        if (!IsCrossBand()) {
            p->fillRect(QRect(Left, Top - 18, w, 18), face);
            p->fillRect(QRect(Left + w - 2, Top - 18, 1, 18), FrColor(qint32(0xFF000010)));
            p->fillRect(QRect(Left + w - 1, Top - 18, 1, 18), Qt::black);
            p->drawText(Left + 4, Top - 17 + fm.ascent(), c);
        } else {
            p->fillRect(QRect(Left - 18, Top, 18, w), face);
            p->fillRect(QRect(Left - 18, Top + w - 2, 18, 1), FrColor(qint32(0xFF000010)));
            p->fillRect(QRect(Left - 18, Top + w - 1, 18, 1), Qt::black);
            p->fillRect(QRect(Left - 18, Top, 1, w), FrColor(qint32(0xFF000014)));
            p->save();
            p->translate(Left - 15, Top + fm.horizontalAdvance(c) + 4);
            p->rotate(-90);
            p->drawText(0, fm.ascent(), c);
            p->restore();
        }
    } else if (!IsCrossBand()) {
        p->drawText(Left + 4, Top + 2 + fm.ascent(), c);
    } else {
        p->save();
        p->translate(Left + 2, Top + 94);
        p->rotate(-90);
        p->drawText(0, fm.ascent(), c);
        p->restore();
    }
    p->restore();
    EndDraw();
}

QRegion TfrBandView::GetClipRgn(bool extended)
{
    if (!ShowBandTitles)
        return TfrView::GetClipRgn(extended);
    QRegion r = extended ? QRegion(QRect(QPoint(Left - 10, Top - 10), QPoint(Left + Width + 9, Top + Height + 9)))
                         : QRegion(QRect(Left, Top, Width + 1, Height + 1));
    const int w = CaptionWidth();
    if (!IsCrossBand())
        r += QRect(Left, Top - 18, w, 18);
    else
        r += QRect(Left - 18, Top, 18, w);
    return r;
}

void TfrBandView::DefinePopupMenu(QMenu *menu)
{
    if (!menu)
        return;
    const int t = GetBandType();
    if (BandOffers(t, QStringLiteral("Stretched")))
        TfrView::DefinePopupMenu(menu);
    else if (t == btPageFooter)
        menu->addSeparator();
    for (const auto &f : kFlagItems) {
        if (!BandOffers(t, QLatin1String(f.property)))
            continue;
        QAction *a = menu->addAction(QString::fromUtf8(f.menu));
        a->setCheckable(true);
        a->setChecked(Flags & f.bit);
        const quint16 bit = f.bit;
        QObject::connect(a, &QAction::triggered, [this, bit](bool on) {
            auto set = [bit, on](TfrView *v) {
                if (dynamic_cast<TfrBandView *>(v))
                    v->Flags = on ? (v->Flags | bit) : (v->Flags & ~bit);
            };
            // Page-break items act on the selection, the page-placement ones on this band only.
            if (bit <= flBandBreaked) {
                ApplyToSelection(this, 8, set);
            } else {
                if (EditorHooks.BeforeChange)
                    EditorHooks.BeforeChange();
                if (!(Restrictions & 8))
                    set(this);
                if (EditorHooks.AfterChange)
                    EditorHooks.AfterChange();
            }
        });
    }
}

// ---------------------------------------------------------------------------

TfrSubReportView::TfrSubReportView()
{
    TypeCode = 3;
    BaseName = QStringLiteral("SubReport");
}

void TfrSubReportView::DefinePropList() { TfrView::DefinePropList(); }

void TfrSubReportView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamInt(s, SubReportPage);
}

void TfrSubReportView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    SubReportPage = ReadStreamInt(s);
}

void TfrSubReportView::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    FrameWidth = 1;
    BeginDraw();
    if (Canvas) {
        QPainter *p = Canvas;
        p->save();
        p->setPen(QPen(Qt::black, 1));
        p->setBrush(Qt::white);
        p->drawRect(QRect(Left, Top, Width, Height));
        p->setFont(MakeQFont(QStringLiteral("Arial"), 8));
        p->setClipRect(DrawRect, Qt::IntersectClip);
        p->drawText(Left + 2, Top + 2 + QFontMetrics(p->font()).ascent(), Name);
        p->restore();
    }
    EndDraw();
}
