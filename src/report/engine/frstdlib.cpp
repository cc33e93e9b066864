#include "report/engine/frstdlib.h"
#include "report/engine/frbuild.h"
#include "report/engine/frdataset.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frformat.h"
#include "report/engine/frglobals.h"
#include "report/engine/frinputform.h"
#include "report/engine/frinterp.h"
#include "report/engine/frlocale.h"
#include "report/engine/frobject.h"
#include "report/engine/frpage.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"
#include "report/engine/frutils.h"

#include "common/prompt.h"

#include <QApplication>

namespace {

enum StdFunction {
    fnAVG, fnCOUNT, fnDAYOF, fnFORMATDATETIME, fnFORMATFLOAT, fnFORMATTEXT, fnINPUT, fnLENGTH,
    fnLOWERCASE, fnMAX, fnMAXNUM, fnMESSAGEBOX, fnMIN, fnMINNUM, fnMONTHOF, fnNAMECASE, fnPOS,
    fnSUM, fnTRIM, fnUPPERCASE, fnYEAROF
};

QVariant calc(const QVariant &argument)
{
    if (GlobalParser)
        return GlobalParser->Calculate(argument.toString());
    TfrParser parser;
    return parser.Calculate(argument.toString());
}

QString calcText(const QVariant &argument) { return frVarToStr(calc(argument)); }

// Without leading and trailing blanks and control characters.
QString trimControls(const QString &s)
{
    int a = 0, b = int(s.size());
    while (a < b && s[a].unicode() <= 32)
        ++a;
    while (b > a && s[b - 1].unicode() <= 32)
        --b;
    return s.mid(a, b - a);
}

// MESSAGEBOX: the platform's button and icon flags, and the codes of the buttons.
int messageBox(const QString &text, const QString &caption, qint64 flags)
{
    using B = QMessageBox::StandardButton;
    QList<B> buttons;
    switch (flags & 0x0F) {
    case 1: buttons = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case 2: buttons = {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}; break;
    case 3: buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case 4: buttons = {QMessageBox::Yes, QMessageBox::No}; break;
    case 5: buttons = {QMessageBox::Retry, QMessageBox::Cancel}; break;
    default: buttons = {QMessageBox::Ok}; break;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (flags & 0xF0) {
    case 0x10: icon = QMessageBox::Critical; break;
    case 0x20: icon = QMessageBox::Question; break;
    case 0x30: icon = QMessageBox::Warning; break;
    case 0x40: icon = QMessageBox::Information; break;
    default: break;
    }
    QMessageBox::StandardButtons set;
    for (B b : buttons)
        set |= b;
    const int defaultIndex = int((flags >> 8) & 0x0F);
    const B defaultButton = defaultIndex < buttons.size() ? buttons[defaultIndex] : buttons.first();
    const B pressed = orv::prompt().message(QApplication::activeWindow(), caption, text, icon, set, defaultButton);
    switch (pressed) {
    case QMessageBox::Ok: return 1;
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default:
        // Closed without a button: Cancel where there is one, OK for a plain notice.
        return set.testFlag(QMessageBox::Cancel) || buttons.size() > 1 ? 2 : 1;
    }
}

// The entry under which a data band keeps one running total: the band that prints
// it (after "0" when the band also prints cross-tab cells), the kind, the expression
// as written and the flag, each followed by the character 1.
QString aggregateKey(const QString &first, int kind, const QString &expression, const QString &flag)
{
    ushort code = 11;   // SUM
    switch (kind) {
    case fnMIN: code = 12; break;
    case fnMAX: code = 13; break;
    case fnAVG: code = 14; break;
    case fnCOUNT: code = 15; break;
    default: break;
    }
    const QChar sep(1);
    return first + sep + QChar(code) + sep + expression + sep + flag.trimmed() + sep;
}

bool printsCrossCells(const TfrBand *band)
{
    if (band->Type == btCrossFooter)
        return false;
    for (const TfrView *v : band->Objects)
        if (v->OwnerBand && v->OwnerBand != band)
            return true;
    return false;
}

// AVG, COUNT, MAX, MIN and SUM. While the build registers aggregates, the call
// gives the data band being prepared an accumulator for the band that prints it;
// while printing, it reads that accumulator.
void aggregate(int kind, const QVariant &expression, const QVariant &bandName, const QVariant &flag, QVariant &value)
{
    TfrBand *band = CurrentBand;
    if (!band)
        return;
    const QString expr = expression.toString(), flagText = flag.toString();
    if (AggregatePrepare) {
        TfrBand *owner = AggregateOwner;
        if (!owner)
            return;
        QString name = bandName.toString().trimmed();
        if (name.isEmpty()) {
            // The data band a footer without a band name totals over.
            int dataType = -1;
            switch (band->Type) {
            case btReportSummary: case btPageFooter: case btMasterFooter: case btGroupFooter:
                dataType = btMasterData;
                break;
            case btDetailFooter: dataType = btDetailData; break;
            case btSubDetailFooter: dataType = btSubDetailData; break;
            case btCrossFooter: dataType = btCrossData; break;
            default: break;
            }
            if (dataType != owner->Type)
                return;
            name = owner->Name;
        }
        if (name.compare(owner->Name, Qt::CaseInsensitive) != 0)
            return;
        const QString first = printsCrossCells(band) ? QStringLiteral("0") + QChar(1) + band->Name : band->Name;
        owner->SetAggregate(aggregateKey(first, kind, expr, flagText),
                            kind == fnMIN ? QVariant(1e300) : QVariant(0));
        band->AggregateBandOwner = owner;
        return;
    }
    TfrBand *owner = band->AggregateBandOwner;
    if (!owner)
        return;
    if (band->Type == btCrossData) {
        // Cells of a band printed with a cross-tab column: the column's own entry.
        TfrBand *printing = owner;
        if (!printing->AggregateBandOwner || !CurrentPage)
            return;
        const QString first = QString::number(CurrentPage->CrossColumn) + QChar(1) + printing->Name;
        value = printing->AggregateBandOwner->GetAggregate(aggregateKey(first, kind, expr, flagText));
        return;
    }
    const QString first = printsCrossCells(band) ? QStringLiteral("0") + QChar(1) + band->Name : band->Name;
    value = owner->GetAggregate(aggregateKey(first, kind, expr, flagText));
}

void describe(TfrFunctionLibrary &lib, const char *name, int category, int description)
{
    lib.AddFunctionDesc(QString::fromLatin1(name), GetLocalizedString(category), GetLocalizedString(description));
}

} // namespace

// ---------------------------------------------------------------------------

TfrStdFunctionLibrary::TfrStdFunctionLibrary()
{
    Names = QStringList{
        QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("DAYOF"),
        QStringLiteral("FORMATDATETIME"), QStringLiteral("FORMATFLOAT"), QStringLiteral("FORMATTEXT"),
        QStringLiteral("INPUT"), QStringLiteral("LENGTH"), QStringLiteral("LOWERCASE"), QStringLiteral("MAX"),
        QStringLiteral("MAXNUM"), QStringLiteral("MESSAGEBOX"), QStringLiteral("MIN"), QStringLiteral("MINNUM"),
        QStringLiteral("MONTHOF"), QStringLiteral("NAMECASE"), QStringLiteral("POS"), QStringLiteral("SUM"),
        QStringLiteral("TRIM"), QStringLiteral("UPPERCASE"), QStringLiteral("YEAROF"),
    };
    static const struct { const char *name; int category, description; } descriptions[] = {
        {"AVG", 55349, 55360}, {"COUNT", 55349, 55361}, {"DAYOF", 55350, 55362},
        {"FORMATDATETIME", 55351, 55363}, {"FORMATFLOAT", 55351, 55364}, {"FORMATTEXT", 55351, 55416},
        {"INPUT", 55352, 55365}, {"LENGTH", 55351, 55366}, {"LOWERCASE", 55351, 55367},
        {"MAX", 55349, 55368}, {"MIN", 55349, 55369}, {"MONTHOF", 55350, 55370},
        {"NAMECASE", 55351, 55371}, {"STRTODATE", 55350, 55372}, {"STRTOTIME", 55350, 55373},
        {"SUM", 55349, 55374}, {"TRIM", 55351, 55375}, {"UPPERCASE", 55351, 55376},
        {"YEAROF", 55350, 55377}, {"MAXNUM", 55353, 55412}, {"MINNUM", 55353, 55413},
        {"POS", 55351, 55414}, {"MESSAGEBOX", 55352, 55415}, {"IF", 55352, 55378},
        {"COPY", 55351, 55379}, {"MOD", 55353, 55380}, {"STR", 55351, 55381}, {"NOT", 55354, 55382},
        {"AND", 55354, 55383}, {"OR", 55354, 55384}, {"ROUND", 55353, 55385}, {"FRAC", 55353, 55386},
        {"INT", 55353, 55387}, {"TRUE", 55354, 55388}, {"FALSE", 55354, 55389},
        {"PAGE#", 55352, 55390}, {"DATE", 55350, 55391}, {"TIME", 55350, 55392},
        {"LINE#", 55352, 55393}, {"LINETHROUGH#", 55352, 55394}, {"COLUMN#", 55352, 55395},
        {"TOTALPAGES", 55352, 55396},
        {"REPORTCOMMENT", 55622, 55623}, {"REPORTNAME", 55622, 55624}, {"REPORTAUTOR", 55622, 55625},
        {"VMAJOR", 55622, 55626}, {"VMINOR", 55622, 55627}, {"VRELEASE", 55622, 55628},
        {"VBUILD", 55622, 55629}, {"REPORTDATE", 55622, 55630}, {"REPORTLASTCHANGE", 55622, 55631},
        {"MROK", 55355, 55397}, {"MRCANCEL", 55355, 55398}, {"CURY", 55355, 55399},
        {"FREESPACE", 55355, 55400}, {"FINALPASS", 55355, 55401}, {"PAGEHEIGHT", 55355, 55402},
        {"PAGEWIDTH", 55355, 55403}, {"PROGRESS", 55355, 55404}, {"MODALRESULT", 55355, 55405},
        {"STOPREPORT", 55355, 55406}, {"NEWPAGE", 55355, 55407}, {"NEWCOLUMN", 55355, 55408},
        {"SHOWBAND", 55355, 55409}, {"INC", 55355, 55410}, {"DEC", 55355, 55411},
    };
    for (const auto &d : descriptions)
        describe(*this, d.name, d.category, d.description);
}

void TfrStdFunctionLibrary::ComputeFunction(int index, const QString &, const QVariant &p1, const QVariant &p2,
                                            const QVariant &p3, QVariant &value)
{
    value = QVariant(QStringLiteral("0"));
    switch (index) {
    case fnAVG: case fnMAX: case fnMIN: case fnSUM:
        aggregate(index, p1, p2, p3, value);
        break;
    case fnCOUNT:
        aggregate(index, p1, p1, p2, value);
        break;
    case fnFORMATDATETIME:
        value = QVariant(frFormatDateTime(calcText(p1), frVarToDateTime(calc(p2))));
        break;
    case fnFORMATFLOAT:
        value = QVariant(frFormatFloat(calcText(p1), frVarToFloat(calc(p2)), GetEngineLocale()->DecimalSeparator));
        break;
    case fnDAYOF:
        value = QVariant(frVarToDateTime(calc(p1)).date().day());
        break;
    case fnMONTHOF:
        value = QVariant(frVarToDateTime(calc(p1)).date().month());
        break;
    case fnYEAROF:
        value = QVariant(frVarToDateTime(calc(p1)).date().year());
        break;
    case fnFORMATTEXT:
        value = QVariant(frFormatMaskText(calcText(p1) + QStringLiteral(";0; "), calcText(p2)));
        break;
    case fnINPUT:
        value = QVariant(TfrInputForm::Ask(calcText(p1), calcText(p2)));
        break;
    case fnLENGTH:
        value = QVariant(int(calcText(p1).size()));
        break;
    case fnLOWERCASE:
        value = QVariant(calcText(p1).toLower());
        break;
    case fnUPPERCASE:
        value = QVariant(calcText(p1).toUpper());
        break;
    case fnNAMECASE: {
        QString s = calcText(p1).toLower();
        if (!s.isEmpty())
            s[0] = s[0].toUpper();
        value = QVariant(s);
        break;
    }
    case fnTRIM:
        value = QVariant(trimControls(calcText(p1)));
        break;
    case fnPOS: {
        const QString t = calcText(p1), s = calcText(p2);
        value = QVariant(t.isEmpty() ? 0 : int(s.indexOf(t)) + 1);
        break;
    }
    case fnMAXNUM: {
        const QVariant a = calc(p1), b = calc(p2);
        value = frVarCompare(a, b) > 0 ? a : b;
        break;
    }
    case fnMINNUM: {
        const QVariant a = calc(p1), b = calc(p2);
        value = frVarCompare(a, b) < 0 ? a : b;
        break;
    }
    case fnMESSAGEBOX:
        value = QVariant(messageBox(calcText(p1), calcText(p2), frVarToInt(calc(p3))));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------

TDatabaseFunctionLibrary::TDatabaseFunctionLibrary()
{
    Names = QStringList{QStringLiteral("FIELDISNULL")};
    describe(*this, "FIELDISNULL", 55620, 55621);
}

void TDatabaseFunctionLibrary::ComputeFunction(int index, const QString &, const QVariant &p1, const QVariant &,
                                               const QVariant &, QVariant &value)
{
    value = QVariant(0);
    if (index == 0)
        value = QVariant(FieldIsNull(calcText(p1)));
}

bool FieldIsNull(const QString &name)
{
    IfrDataSource *ds = nullptr;
    if (CurrentReport && CurrentReport->UseDefaultDataSetName)
        ds = frDefaultDataSet();
    QString field;
    FindDataSetField(name, ds, field);
    if (!ds)
        return true;
    if (field.isEmpty()) {
        // The field part as written: after the last dot, unless the name is quoted.
        QString wanted = name;
        const int quote = int(name.indexOf(QLatin1Char('"')));
        const int dot = int((quote < 0 ? name : name.left(quote)).lastIndexOf(QLatin1Char('.')));
        if (dot >= 0)
            wanted = name.mid(dot + 1);
        throw EfrDataError(QStringLiteral("Field '%1' not found").arg(UnquoteText(wanted)));
    }
    if (!ds->IsOpen())
        ds->Open();
    return ds->IsNull(ds->FieldIndex(field));
}

// ---------------------------------------------------------------------------

void frRegisterStandardLibraries()
{
    RegisterFunctionLibrary(TfrStdFunctionLibrary::StaticClassName(),
                            [] { return std::make_unique<TfrStdFunctionLibrary>(); });
    RegisterFunctionLibrary(TDatabaseFunctionLibrary::StaticClassName(),
                            [] { return std::make_unique<TDatabaseFunctionLibrary>(); });
}

void frUnregisterStandardLibraries()
{
    UnregisterFunctionLibrary(TfrStdFunctionLibrary::StaticClassName());
    UnregisterFunctionLibrary(TDatabaseFunctionLibrary::StaticClassName());
}

// ---------------------------------------------------------------------------

const QStringList &TAggregateFunctionsSplitter::AggregateNames()
{
    static const QStringList names{QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("MAX"),
                                   QStringLiteral("MIN"), QStringLiteral("SUM")};
    return names;
}

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(QStringList &found)
    : TfrFunctionSplitter(AggregateNames(), CurrentReport ? &CurrentReport->Dictionary().Variables : nullptr,
                          found),
      m_found(found)
{
}

void TAggregateFunctionsSplitter::SplitMemo(const QStringList &lines)
{
    for (const QString &line : lines) {
        int i = int(line.indexOf(QLatin1Char('[')));
        while (i >= 0) {
            int finish = 0;
            const QString inner = ExtractBracketed(line, i + 1, finish);   // 1-based
            Split(QLatin1Char('[') + inner + QLatin1Char(']'));
            if (finish > line.size())
                break;
            i = int(line.indexOf(QLatin1Char('['), finish));
        }
    }
}

void TAggregateFunctionsSplitter::SplitScript(const QStringList &compiled)
{
    if (compiled.isEmpty())
        return;
    TfrInterpretator interpreter;
    interpreter.CollectCalls(compiled, AggregateNames(), m_variables, m_found);
}

// ---------------------------------------------------------------------------

QString frFormatMaskText(const QString &editMask, const QString &value)
{
    // The fields of the mask: mask ; save literals ; blank character ("\;" is no separator).
    QStringList fields;
    QString cur;
    for (int i = 0; i < editMask.size(); ++i) {
        const QChar c = editMask[i];
        if (c == QLatin1Char('\\') && i + 1 < editMask.size()) {
            cur += c;
            cur += editMask[++i];
        } else if (c == QLatin1Char(';')) {
            fields << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    fields << cur;
    const QString mask = fields.value(0);
    const bool withLiterals = fields.size() > 1 && fields[1] != QLatin1String("0");
    const QChar blank = fields.size() > 2 && !fields[2].isEmpty() ? fields[2][0] : QLatin1Char(' ');

    // One entry per output position: a literal, or a position filled from the value.
    struct Slot { bool data; QChar literal; int caseMode; };   // caseMode: 0 as is, 1 upper, 2 lower
    QList<Slot> positions;
    bool leadingBlanks = false;
    int caseMode = 0;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        switch (c.unicode()) {
        case '!': leadingBlanks = true; break;
        case '>':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('<')) {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('>')) {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 2;
            }
            break;
        case '\\':
            if (i + 1 < mask.size())
                positions.append(Slot{false, mask[++i], 0});
            break;
        case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#':
            positions.append(Slot{true, QChar(), caseMode});
            break;
        case ':': positions.append(Slot{false, GetEngineLocale()->TimeSeparator, 0}); break;
        case '/': positions.append(Slot{false, GetEngineLocale()->DateSeparator, 0}); break;
        case '_': positions.append(Slot{false, QLatin1Char(' '), 0}); break;
        default: positions.append(Slot{false, c, 0}); break;
        }
    }

    // The characters that fill the data positions.
    QString data;
    if (withLiterals) {
        for (int k = 0; k < positions.size() && k < value.size(); ++k)
            if (positions[k].data)
                data += value[k];
    } else {
        data = value;
    }
    int dataSlots = 0;
    for (const Slot &s : positions)
        dataSlots += s.data ? 1 : 0;
    int skip = leadingBlanks && data.size() < dataSlots ? dataSlots - int(data.size()) : 0;

    QString out;
    int next = 0;
    for (const Slot &s : positions) {
        if (!s.data) {
            out += s.literal;
            continue;
        }
        if (skip > 0 || next >= data.size()) {
            --skip;
            out += blank;
            continue;
        }
        QChar ch = data[next++];
        if (s.caseMode == 1)
            ch = ch.toUpper();
        else if (s.caseMode == 2)
            ch = ch.toLower();
        out += ch;
    }
    return out;
}
