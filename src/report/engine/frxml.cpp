// XML form of templates: the writer, the report and page elements, and the
// attributes every object class adds.
#include "report/engine/frxml.h"

#include "report/engine/frband.h"
#include "report/engine/frcheckbox.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frfonts.h"
#include "report/engine/frline.h"
#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpage.h"
#include "report/engine/frpicture.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"
#include "report/engine/frstream.h"
#include "report/engine/frutils.h"
#include "report/engine/frvalue.h"

#include "common/clock.h"
#include "common/codec.h"

#include <QBuffer>
#include <QHash>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool gbkHolds(char32_t c)
{
    static QHash<char32_t, bool> known;
    const auto it = known.constFind(c);
    if (it != known.constEnd())
        return *it;
    const QByteArray b = orv::toGbk(QString::fromUcs4(&c, 1));
    const bool holds = !b.isEmpty() && b != "?";
    known.insert(c, holds);
    return holds;
}

bool xmlForbids(char32_t c)
{
    if (c < 0x20)
        return c != 0x9 && c != 0xA && c != 0xD;
    return (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF;
}

// The template's font-style integer (1 italic, 2 bold, 4 underline, 8 strike-out)
// in the XML's order (1 bold, 2 italic, 4 underline, 8 strike-out).
int xmlFontStyle(const TfrFontStyles &st)
{
    return (st.bold ? 1 : 0) | (st.italic ? 2 : 0) | (st.underline ? 4 : 0) | (st.strikeOut ? 8 : 0);
}

QString pageName(int index) { return QStringLiteral("Page") + QString::number(index + 1); }
QString handlerName(const QString &name) { return name + QStringLiteral("OnBeforePrint"); }

// Propdata: the data-set and variable collections in the class library's
// component-stream layout.
void putName(QByteArray &out, const char *name)
{
    out.append(char(qstrlen(name)));
    out.append(name);
}

void putString(QByteArray &out, const QString &text)
{
    const QByteArray b = orv::toGbk(text);
    if (b.size() <= 255) {
        out.append(char(6));
        out.append(char(b.size()));
    } else {
        out.append(char(12));
        const quint32 n = quint32(b.size());
        for (int i = 0; i < 4; ++i)
            out.append(char((n >> (8 * i)) & 0xFF));
    }
    out.append(b);
}

QByteArray propData(const TfrReport &report)
{
    QByteArray out;
    putName(out, "Datasets");
    out.append(char(14));
    out.append(char(0));
    putName(out, "Variables");
    out.append(char(14));
    const TfrVariables &vars = report.Dictionary().Variables;
    for (int i = 0; i < vars.Count(); ++i) {
        out.append(char(1));
        putName(out, "Name");
        putString(out, vars.GetName(i));
        putName(out, "Value");
        putString(out, frVarToStr(vars.GetValueAt(i)));
        out.append(char(0));
    }
    out.append(char(0));
    return out;
}

// The password as held in memory, each byte lowered by 10.
QString lowered(const QString &password)
{
    QString r;
    for (char b : orv::toGbk(password))
        r += QChar(ushort((quint8(b) + 256 - 10) % 256));
    return r;
}

QString memoText(const QStringList &lines)
{
    QString t;
    for (const QString &l : lines)
        t += l + kCrLf;
    return t;
}

// Left relative to the printable start of a report page.
int xmlLeft(const TfrXmlWriter &xml, int left)
{
    const TfrPage *page = xml.Page();
    return page && page->PageType == ptReport ? left - page->LeftMargin() : left;
}

} // namespace

// ---------------------------------------------------------------------------
// Escaping

QString EscapeXMLChar(char32_t c)
{
    if (xmlForbids(c))
        return {};
    switch (c) {
    case '\t': case '\n': case '\r': case '"': case '<': case '>': case '&':
        return QStringLiteral("&#%1;").arg(uint(c));
    default:
        break;
    }
    if (c >= 0x80 && !gbkHolds(c))
        return QStringLiteral("&#%1;").arg(uint(c));
    return QString::fromUcs4(&c, 1);
}

QString EscapeXMLText(const QString &text)
{
    QString r;
    r.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '<' && c != '>' && c != '&')
            r += QChar(ushort(c));
        else
            r += EscapeXMLChar(c);
    }
    return r;
}

QString StreamToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// ---------------------------------------------------------------------------
// Writer

void TfrXmlWriter::StartTag(const QString &name)
{
    m_text += QLatin1Char('<') + name;
    m_tagOpen = true;
}

void TfrXmlWriter::Attr(const QString &name, const QString &text)
{
    m_text += QLatin1Char(' ') + name + QStringLiteral("=\"") + EscapeXMLText(text) + QLatin1Char('"');
}

void TfrXmlWriter::Attr(const QString &name, qint64 value)
{
    m_text += QLatin1Char(' ') + name + QStringLiteral("=\"") + QString::number(value) + QLatin1Char('"');
}

void TfrXmlWriter::FloatAttr(const QString &name, double value)
{
    m_text += QLatin1Char(' ') + name + QStringLiteral("=\"") + FloatText(value) + QLatin1Char('"');
}

void TfrXmlWriter::DataFieldAttrs(const QString &text)
{
    if (text.isEmpty())
        return;
    IfrDataSource *ds = nullptr;
    QString field;
    try {
        FindDataSetField(text, ds, field);
    } catch (const std::exception &) {
        return;   // a text that names no component is no data field
    }
    if (!ds || field.isEmpty())
        return;
    const QObject *component = dynamic_cast<const QObject *>(ds);
    QString owner, name;
    if (component) {
        name = component->objectName();
        if (component->parent())
            owner = component->parent()->objectName();
    }
    Attr(QStringLiteral("DataSet"), owner + QLatin1Char('.') + name);
    Attr(QStringLiteral("DataField"), field);
}

void TfrXmlWriter::EndEmpty()
{
    m_text += QStringLiteral("/>") + kCrLf;
    m_tagOpen = false;
}

void TfrXmlWriter::EndOpen()
{
    m_text += QLatin1Char('>') + kCrLf;
    m_tagOpen = false;
}

void TfrXmlWriter::Line(const QString &text)
{
    m_text += text + kCrLf;
}

int TfrXmlWriter::PixelsToMm(double pixels)
{
    return frRound(pixels / 3.77953 * 1.0477419354838709677);
}

QString TfrXmlWriter::FloatText(double value)
{
    QString t = frFloatToStr(value);
    const QChar dec = GetEngineLocale()->DecimalSeparator;
    if (dec != QLatin1Char('.'))
        t.replace(dec, QLatin1Char('.'));
    return t;
}

// ---------------------------------------------------------------------------
// Scripts

bool XmlHasScript(const QStringList &script)
{
    for (const QString &l : script)
        if (!l.trimmed().isEmpty())
            return true;
    return false;
}

QStringList XmlScriptProcedure(const QString &name, const QStringList &script)
{
    if (!XmlHasScript(script))
        return {};
    const int n = int(script.size());
    const bool begins = script.first() == QLatin1String("begin");
    QStringList r{QStringLiteral("procedure ") + handlerName(name) + QStringLiteral("(Sender: TfrComponent);"),
                  QStringLiteral("begin"), QStringLiteral("  with ") + name + QStringLiteral(", Engine do"),
                  QStringLiteral("  begin")};
    if (!begins)
        r << script.first();
    for (int i = 1; i < n - 1; ++i)
        r << script[i];
    if (!begins) {
        if (n != 1)
            r << script.last();
        r << QStringLiteral("  end") << QStringLiteral("end;");
    } else {
        r << QStringLiteral("  end") << script.last() + QLatin1Char(';');
    }
    r << QString();
    return r;
}

QString XmlScriptText(const TfrReport &report)
{
    QStringList lines;
    const TfrPages &pages = report.Pages();
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPage *page = pages[i];
        lines << XmlScriptProcedure(pageName(i), page->Script);
        for (const TfrView *v : page->Objects)
            lines << XmlScriptProcedure(v->Name, v->Script);
    }
    lines << QStringLiteral("begin") << QString() << QStringLiteral("end.");
    QString t;
    for (const QString &l : lines)
        t += l + kCrLf;
    return t;
}

// ---------------------------------------------------------------------------
// The document

void SaveXMLReport(TfrReport &report, QIODevice &stream)
{
    CurrentReport = &report;
    StreamVersion = frCurrentVersion;
    report.Attributes.GeneratorVersion = frGeneratorVersion;
    report.Attributes.LastChangeDate = frDateTimeToDouble(orv::Clock::localNow());
    const TfrDocumentAttributes &a = report.Attributes;

    TfrXmlWriter xml(&report);
    xml.Line(QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>"));
    xml.StartTag(QStringLiteral("TfrReport"));
    xml.Attr(QStringLiteral("ScriptLanguage"), "PascalScript");
    xml.Attr(QStringLiteral("ScriptText.text"), XmlScriptText(report));
    xml.Attr(QStringLiteral("Propdata"), StreamToHex(propData(report)));
    xml.Attr(QStringLiteral("ReportOptions.Name"), a.ReportName);
    xml.Attr(QStringLiteral("ReportOptions.Author"), a.Author);
    xml.Attr(QStringLiteral("ReportOptions.Description.text"), a.Comment);
    xml.FloatAttr(QStringLiteral("ReportOptions.CreateDate"), a.CreationDate);
    xml.FloatAttr(QStringLiteral("ReportOptions.LastChange"), a.LastChangeDate);
    xml.Attr(QStringLiteral("ReportOptions.VersionMajor"), a.VMajor);
    xml.Attr(QStringLiteral("ReportOptions.VersionMinor"), a.VMinor);
    xml.Attr(QStringLiteral("ReportOptions.VersionRelease"), a.VRelease);
    xml.Attr(QStringLiteral("ReportOptions.VersionBuild"), a.VBuild);
    xml.Attr(QStringLiteral("ReportOptions.Password"), lowered(a.Password));
    xml.EndOpen();

    const TfrPages &pages = report.Pages();
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPage *page = pages[i];
        const QString name = pageName(i);
        const bool dialog = page->PageType == ptDialog;
        if (dialog) {
            xml.StartTag(QStringLiteral("TfrDialogPage"));
            xml.Attr(QStringLiteral("Name"), name);
            xml.Attr(QStringLiteral("Height"), page->DialogHeight);
            xml.Attr(QStringLiteral("Left"), page->DialogLeft);
            xml.Attr(QStringLiteral("Top"), page->DialogTop);
            xml.Attr(QStringLiteral("Width"), page->DialogWidth);
            xml.Attr(QStringLiteral("BorderStyle"), page->BorderStyle);
            xml.Attr(QStringLiteral("Caption"), page->Caption);
            xml.Attr(QStringLiteral("Color"), page->Color);
            xml.Attr(QStringLiteral("Position"), page->Position);
            if (XmlHasScript(page->Script))
                xml.Attr(QStringLiteral("OnActivate"), handlerName(name));
        } else {
            const TfrPrinterMetrics &m = page->PrnInfo;
            xml.StartTag(QStringLiteral("TfrReportPage"));
            xml.Attr(QStringLiteral("Name"), name);
            xml.Attr(QStringLiteral("Orientation"), page->pgOr == poLandscape ? "poLandscape" : "poPortrait");
            xml.Attr(QStringLiteral("PaperWidth"), TfrXmlWriter::PixelsToMm(m.PageWidth));
            xml.Attr(QStringLiteral("PaperHeight"), TfrXmlWriter::PixelsToMm(m.PageHeight));
            xml.Attr(QStringLiteral("PaperSize"), page->pgSize);
            xml.Attr(QStringLiteral("LeftMargin"), TfrXmlWriter::PixelsToMm(page->LeftMargin()));
            xml.Attr(QStringLiteral("RightMargin"), TfrXmlWriter::PixelsToMm(m.PageWidth - page->RightMargin()));
            xml.Attr(QStringLiteral("TopMargin"), TfrXmlWriter::PixelsToMm(page->TopMargin()));
            xml.Attr(QStringLiteral("BottomMargin"),
                     TfrXmlWriter::PixelsToMm(m.PageHeight - page->BottomMargin()));
            xml.Attr(QStringLiteral("Columns"), page->ColCount);
            xml.Attr(QStringLiteral("ColumnWidth"), page->ColWidth);
            if (page->PrintToPrevPage)
                xml.Attr(QStringLiteral("PrintOnPreviousPage"), "True");
            if (XmlHasScript(page->Script))
                xml.Attr(QStringLiteral("OnBeforePrint"), handlerName(name));
        }
        if (page->Objects.isEmpty()) {
            xml.EndEmpty();
            continue;
        }
        xml.EndOpen();
        xml.SetPage(page);
        for (TfrView *v : page->Objects) {
            v->SaveToXML(xml);
            if (xml.TagOpen())
                xml.EndEmpty();
        }
        xml.SetPage(nullptr);
        xml.Line(dialog ? QStringLiteral("</TfrDialogPage>") : QStringLiteral("</TfrReportPage>"));
    }
    xml.Line(QStringLiteral("</TfrReport>"));

    // Every character code page 936 lacks was written as a reference: the conversion is exact.
    const QByteArray bytes = orv::toGbk(xml.Text());
    if (stream.write(bytes) != bytes.size())
        throw EfrStreamError("Write error");
}

bool TfrReport::SaveToXMLFile(const QString &fileName)
{
    QString target = fileName;
    const int slash = int(target.lastIndexOf(QLatin1Char('/')));
    const int dot = int(target.lastIndexOf(QLatin1Char('.')));
    if (dot > slash)
        target.truncate(dot);
    target += QStringLiteral(".xml");
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    try {
        SaveXMLReport(*this, f);
    } catch (const EfrStreamError &) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

// ---------------------------------------------------------------------------
// The attributes of each object class

void TfrView::SaveToXML(TfrXmlWriter &xml)
{
    xml.StartTag(ClassName());
    xml.Attr(QStringLiteral("Name"), Name);
    xml.Attr(QStringLiteral("Left"), xmlLeft(xml, Left));
    xml.Attr(QStringLiteral("Top"), Top);
    xml.Attr(QStringLiteral("Width"), Width);
    xml.Attr(QStringLiteral("Height"), Height);
    xml.Attr(QStringLiteral("Color"), FillColor);
    if (!Visible)
        xml.Attr(QStringLiteral("Visible"), "False");
    const int frame = ((FrameTyp & frftLeft) ? 1 : 0) | ((FrameTyp & frftRight) ? 2 : 0)
                      | ((FrameTyp & frftTop) ? 4 : 0) | ((FrameTyp & frftBottom) ? 8 : 0);
    xml.Attr(QStringLiteral("Frame.Typ"), frame);
    xml.FloatAttr(QStringLiteral("Frame.Width"), FrameWidth);
    xml.Attr(QStringLiteral("Frame.Color"), FrameColor);
    xml.Attr(QStringLiteral("Frame.Style"), FrameStyle);
    xml.Attr(QStringLiteral("GapX"), GapX);
    xml.Attr(QStringLiteral("GapY"), GapY);
    xml.Attr(QStringLiteral("TagStr"), Tag);
    xml.Attr(QStringLiteral("Memo.text"), memoText(Memo));
    xml.Attr(QStringLiteral("Align"), BandAlign == baTop ? 0 : BandAlign == baRest ? 4 : int(BandAlign));
    if (XmlHasScript(Script)) {
        for (const char *event : {"OnBeforePrint", "OnClick", "OnActivate"})
            xml.Attr(QString::fromLatin1(event), handlerName(Name));
    }
    const int restrictions = ((Restrictions & 0xF) ? 1 : 0) | ((Restrictions & 16) ? 2 : 0)
                             | ((Restrictions & 32) ? 4 : 0) | ((Restrictions & 64) ? 8 : 0);
    xml.Attr(QStringLiteral("Restrictions"), restrictions);
}

void TfrMemoView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    if (Flags & 1)
        xml.Attr(QStringLiteral("StretchMode"), "smMaxHeight");
    if (!(Flags & flWordWrap))
        xml.Attr(QStringLiteral("WordWrap"), "False");
    const QList<QPair<quint16, const char *>> set = {
        {flAutoWidth, "AutoWidth"}, {flTextOnly, "AllowExpressions"}, {flSuppress, "SuppressRepeated"},
        {flHideZeros, "HideZeros"}, {flUnderlines, "Underlines"}, {flRTLReading, "RTLReading"}};
    for (const auto &[bit, name] : set)
        if (Flags & bit)
            xml.Attr(QString::fromLatin1(name), bit == flTextOnly ? "False" : "True");
    xml.Attr(QStringLiteral("Font.Name"), Font.Name);
    xml.Attr(QStringLiteral("Font.Height"), -FontPixelHeight(Font.Size));
    xml.Attr(QStringLiteral("Font.Color"), Font.Color);
    xml.Attr(QStringLiteral("Font.Style"), xmlFontStyle(Font.Style));
    xml.Attr(QStringLiteral("Highlight.Condition"), HighlightCondition);
    xml.Attr(QStringLiteral("Highlight.Font.Style"), xmlFontStyle(IntToFontStyles(HighlightFontStyle)));
    xml.Attr(QStringLiteral("Highlight.Font.Color"), HighlightFontColor);
    xml.Attr(QStringLiteral("Highlight.Color"), HighlightFillColor);
    xml.Attr(QStringLiteral("LineSpacing"), LineSpacing);
    xml.Attr(QStringLiteral("CharSpacing"), CharSpacing);
    xml.Attr(QStringLiteral("HAlign"), Alignment & 3);
    xml.Attr(QStringLiteral("VAlign"), (Alignment & frtaMiddle) ? 1 : (Alignment & frtaDown) ? 2 : 0);
    if (Alignment & frtaVertical)
        xml.Attr(QStringLiteral("Rotation"), "90");
}

void TfrBandView::SaveToXML(TfrXmlWriter &xml)
{
    static const QHash<int, QString> names = {
        {btReportTitle, QStringLiteral("TfrReportTitle")}, {btReportSummary, QStringLiteral("TfrReportSummary")},
        {btPageHeader, QStringLiteral("TfrPageHeader")},   {btPageFooter, QStringLiteral("TfrPageFooter")},
        {btMasterHeader, QStringLiteral("TfrHeader")},     {btDetailHeader, QStringLiteral("TfrHeader")},
        {btSubDetailHeader, QStringLiteral("TfrHeader")},  {btMasterData, QStringLiteral("TfrMasterData")},
        {btMasterFooter, QStringLiteral("TfrFooter")},     {btDetailFooter, QStringLiteral("TfrFooter")},
        {btSubDetailFooter, QStringLiteral("TfrFooter")},  {btDetailData, QStringLiteral("TfrDetailData")},
        {btSubDetailData, QStringLiteral("TfrSubDetailData")}, {btColumnHeader, QStringLiteral("TfrColumnHeader")},
        {btColumnFooter, QStringLiteral("TfrColumnFooter")}, {btGroupHeader, QStringLiteral("TfrGroupHeader")},
        {btGroupFooter, QStringLiteral("TfrGroupFooter")}, {btChild, QStringLiteral("TfrChild")}};
    const int type = GetBandType();
    const auto it = names.constFind(type);
    if (it == names.constEnd())
        return;   // overlay, cross bands and the no-band type have no element
    xml.StartTag(*it);
    xml.Attr(QStringLiteral("Name"), Name);
    xml.Attr(QStringLiteral("Left"), xmlLeft(xml, Left));
    xml.Attr(QStringLiteral("Top"), Top);
    xml.Attr(QStringLiteral("Width"), Width);
    xml.Attr(QStringLiteral("Height"), Height);
    xml.Attr(QStringLiteral("Columns"), Columns);
    xml.Attr(QStringLiteral("ColumnWidth"), ColumnWidth);
    xml.Attr(QStringLiteral("ColumnGap"), ColumnGap);
    if (!Visible)
        xml.Attr(QStringLiteral("Visible"), "False");
    if (Flags & flBandStretched)
        xml.Attr(QStringLiteral("Stretched"), "True");
    if (Flags & flBandNewPageAfter)
        xml.Attr(QStringLiteral("StartNewPage"), "True");
    if (Flags & flBandPrintIfSubsetEmpty)
        xml.Attr(QStringLiteral("PrintIfDetailEmpty"), "True");
    if (Flags & flBandBreaked)
        xml.Attr(QStringLiteral("AllowSplit"), "True");
    if (!(Flags & flBandOnFirstPage))
        xml.Attr(QStringLiteral("PrintOnFirstPage"), "False");
    if (!(Flags & flBandOnLastPage))
        xml.Attr(QStringLiteral("PrintOnLastPage"), "False");
    if (Flags & flBandRepeatHeader)
        xml.Attr(QStringLiteral("ReprintOnNewPage"), "True");
    if (Flags & flBandPrintChildIfInvisible)
        xml.Attr(QStringLiteral("PrintChildIfInvisible"), "True");
    if (XmlHasScript(Script))
        xml.Attr(QStringLiteral("OnBeforePrint"), handlerName(Name));
    if (type == btMasterData || type == btDetailData || type == btSubDetailData)
        xml.Attr(QStringLiteral("DataSet"), FormatText);
    if (type == btGroupHeader)
        xml.Attr(QStringLiteral("Condition"), FormatText);
}

void TfrPictureView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    if (!Picture.IsEmpty())
        xml.Attr(QStringLiteral("Picture.Propdata"), StreamToHex(Picture.Data));
    xml.DataFieldAttrs(Memo.isEmpty() ? QString() : Memo.first());
    if (!(Flags & 1))
        xml.Attr(QStringLiteral("Stretched"), "False");
    if (Flags & flPictCenter)
        xml.Attr(QStringLiteral("Center"), "True");
    if (!(Flags & flPictRatio))
        xml.Attr(QStringLiteral("KeepAspectRatio"), "False");
}

void TfrSubReportView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    xml.Attr(QStringLiteral("Page"), pageName(SubReportPage));
}

void TfrLineView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    if (!(Flags & 1))
        xml.Attr(QStringLiteral("Stretched"), "False");
}

void TfrShapeView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    xml.Attr(QStringLiteral("Shape"), Shape);
}

void TfrCheckBoxView::SaveToXML(TfrXmlWriter &xml)
{
    TfrView::SaveToXML(xml);
    xml.Attr(QStringLiteral("CheckStyle"), CheckStyle);
    xml.Attr(QStringLiteral("CheckColor"), CheckColor);
    if (Memo.isEmpty())
        return;
    xml.DataFieldAttrs(Memo.first());
    if (!Memo.first().isEmpty())
        xml.Attr(QStringLiteral("Text"), Memo.first());
}
