#include "report/engine/frobject.h"

#include "report/engine/frband.h"
#include "report/engine/frcheckbox.h"
#include "report/engine/frline.h"
#include "report/engine/frmemo.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpicture.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"
#include "report/engine/frstrings.h"
#include "report/engine/frview.h"

#include <QDebug>

#include <typeinfo>

TfrReport *CurrentReport = nullptr;
TfrReport *MasterReport = nullptr;
TfrPage *CurrentPage = nullptr;
TfrBand *CurrentBand = nullptr;
TfrView *CurrentView = nullptr;
quint8 EngineMode = 0;
bool DrawingDisabled = false;
int StreamVersion = 25;
bool LoadErrorFlag = false;
QString LoadErrorText;
qint32 NextObjectID = 0;
TfrEngineHooks EngineHooks;

// ---------------------------------------------------------------------------

TfrObject::TfrObject() = default;
TfrObject::~TfrObject() = default;

void TfrObject::SetPropValue(const QString &, const QVariant &) {}
QVariant TfrObject::GetPropValue(const QString &) { return {}; }

void TfrObject::DoMethod(const QString &, const QVariant &, const QVariant &, const QVariant &,
                         QVariant &val)
{
    val = QVariant();
}

void TfrObject::DefinePropList() {}

void TfrObject::ClearPropList() { PropertyList.clear(); }

void TfrObject::AddProperty(const QString &name, quint16 flags, TfrPropEditor editor)
{
    auto p = std::make_unique<TfrPropRec>();
    p->Name = name.left(32);
    p->PropFlags = flags;
    p->PropEditor = std::move(editor);
    PropertyList.push_back(std::move(p));
}

void TfrObject::AddEnumProperty(const QString &name, const QString &names, const QVariantList &values)
{
    auto p = std::make_unique<TfrPropRec>();
    p->Name = name.left(32);
    p->PropFlags = frdtEnum;
    p->Enum = names.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!values.isEmpty() && !values.first().isNull())
        p->EnumCodes = values;
    PropertyList.push_back(std::move(p));
}

TfrPropRec *TfrObject::FindPropRec(const QString &name)
{
    for (auto &p : PropertyList)
        if (p->Name.compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

void TfrObject::DoStringsMethod(QStringList &list, const QString &methodName, const QString &listName,
                                const QVariant &par1, const QVariant &par2, const QVariant &par3,
                                QVariant &val)
{
    auto eval = [](const QVariant &p) -> QVariant {
        if (EngineHooks.Evaluate)
            return EngineHooks.Evaluate(p.toString());
        return p;
    };
    if (methodName == QLatin1String("SETINDEXPROPERTY")) {
        if (par1.toString().compare(listName, Qt::CaseInsensitive) == 0) {
            const int i = par2.toInt();
            if (i >= 0 && i < list.size())
                list[i] = par3.toString();
        }
    } else if (methodName == QLatin1String("GETINDEXPROPERTY")) {
        if (par1.toString().compare(listName, Qt::CaseInsensitive) == 0) {
            const int i = par2.toInt();
            if (i >= 0 && i < list.size())
                val = list[i];
        }
    } else if (methodName == listName + QLatin1String(".ADD")) {
        list << eval(par1).toString();
    } else if (methodName == listName + QLatin1String(".CLEAR")) {
        list.clear();
    } else if (methodName == listName + QLatin1String(".DELETE")) {
        const int i = eval(par1).toInt();
        if (i >= 0 && i < list.size())
            list.removeAt(i);
    } else if (methodName == listName + QLatin1String(".INDEXOF")) {
        val = int(list.indexOf(eval(par1).toString()));
    }
}

void EnsurePropList(TfrObject *obj)
{
    if (obj && obj->PropertyList.empty())
        obj->DefinePropList();
}

// ---------------------------------------------------------------------------
// Add-in table

namespace {
std::vector<TfrAddInObjectInfo> &addIns()
{
    static std::vector<TfrAddInObjectInfo> table;
    return table;
}

void ensureBuiltInAddIns()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Registered here rather than from static constructors, which a static
    // library would drop when nothing else refers to their files.
    RegisterShapeAddIn();
    RegisterCheckBoxAddIn();
}
} // namespace

bool RegisterAddInObject(const QString &className, TfrViewFactory create, const QImage &buttonBmp,
                         const QString &buttonHint)
{
    auto &t = addIns();
    for (const auto &e : t)
        if (e.ClassName == className)
            return false;
    if (int(t.size()) >= frMaxAddIns) {
        qWarning("Add-in table full (%d entries): %s not registered", frMaxAddIns,
                 qPrintable(className));
        return false;
    }
    t.push_back({className, std::move(create), buttonBmp, buttonHint, 0});
    return true;
}

int AddInObjectCount()
{
    ensureBuiltInAddIns();
    return int(addIns().size());
}

const TfrAddInObjectInfo &AddInObject(int index)
{
    ensureBuiltInAddIns();
    return addIns().at(size_t(index));
}

std::unique_ptr<TfrView> CreateView(int typeCode, const QString &className)
{
    ensureBuiltInAddIns();
    std::unique_ptr<TfrView> v;
    switch (typeCode) {
    case 0: v = std::make_unique<TfrMemoView>(); break;
    case 1: v = std::make_unique<TfrPictureView>(); break;
    case 2: v = std::make_unique<TfrBandView>(); break;
    case 3: v = std::make_unique<TfrSubReportView>(); break;
    case 4: v = std::make_unique<TfrLineView>(); break;
    case 10: {
        for (const auto &e : addIns()) {
            if (e.ClassName == className) {
                v.reset(e.Create());
                break;
            }
        }
        if (!v) {
            LoadErrorFlag = true;
            LoadErrorText += className + QLatin1Char('\r');
            throw EfrClassNotFound(LoadErrorText);
        }
        v->TypeCode = 10;
        break;
    }
    default: return nullptr;
    }
    v->ObjectID = NextObjectID++;
    return v;
}

// ---------------------------------------------------------------------------

QString ReadVersionedString(QIODevice &s)
{
    return StreamVersion < 23 ? ReadOldStreamString(s) : ReadStreamString(s);
}

QStringList ReadVersionedStrings(QIODevice &s)
{
    return StreamVersion < 23 ? ReadOldStreamStrings(s) : ReadStreamStrings(s);
}

QChar HexDigit(int value)
{
    const int v = value & 0xF;
    return QLatin1Char(char(v < 10 ? '0' + v : 'A' + v - 10));
}

int HexDigitValue(QChar c)
{
    const int u = c.toUpper().unicode();
    return u <= '9' ? u - 48 : u - 55;
}

QString StrToHex(const QByteArray &s)
{
    QString out;
    out.reserve(s.size() * 2);
    for (const char b : s) {
        out += HexDigit(uchar(b) >> 4);
        out += HexDigit(uchar(b));
    }
    return out;
}

QByteArray HexToStr(const QString &h)
{
    QByteArray out;
    out.reserve(h.size() / 2);
    for (int i = 0; i + 1 < h.size(); i += 2)
        out.append(char((HexDigitValue(h[i]) * 16 + HexDigitValue(h[i + 1])) & 0xFF));
    return out;
}

void CheckStoredLimits(const TfrView &v)
{
    auto within = [](qint64 x) { return x >= -frMaxStoredCoordinate && x <= frMaxStoredCoordinate; };
    bool ok = within(v.Left) && within(v.Top) && within(v.Width) && within(v.Height) && within(v.GapX)
              && within(v.GapY) && v.FrameWidth >= 0 && v.FrameWidth <= frMaxStoredCoordinate;
    if (const auto *m = dynamic_cast<const TfrMemoView *>(&v))
        ok = ok && within(m->LineSpacing) && within(m->CharSpacing) && within(m->Font.Size);
    if (const auto *b = dynamic_cast<const TfrBandView *>(&v))
        ok = ok && b->Columns <= frMaxBandColumns && within(b->ColumnWidth) && within(b->ColumnGap)
             && within(b->NewColumnAfter);
    if (!ok)
        throw EfrStreamError(("Object " + v.Name.toStdString() + " holds a size or position out of range"));
}

void ReportCalcError(const std::exception &e, const QString &givenName)
{
    LoadErrorFlag = true;
    QString t = GetLocalizedString(frRes::CalcError);
    if (CurrentView)
        for (const QString &l : std::as_const(CurrentView->Memo))
            t += QLatin1Char('\r') + l;
    const QString reportName = !givenName.isNull() ? givenName
                               : CurrentReport ? CurrentReport->objectName() : QString();
    t += QStringLiteral("\r\r") + GetLocalizedString(frRes::ReportColon) + QLatin1Char(' ') + reportName
         + QLatin1Char('\r');
    if (CurrentView)
        t += GetLocalizedString(frRes::ObjectColon) + QLatin1Char(' ') + CurrentView->Name + QLatin1Char('\r');
    t += QLatin1Char('\r') + QString::fromUtf8(e.what());
    LoadErrorText = t;
    if (MasterReport)
        MasterReport->StopRequested = true;
}

void FindObjectAndProperty(const QString &name, TfrObject *&obj, QString &propName,
                           const std::function<TfrObject *(int pageNo)> &pageLookup)
{
    obj = CurrentView;
    propName = name;
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString objPart = name.left(dot);
        propName = name.mid(dot + 1).left(255);
        const QString up = objPart.toUpper();
        if (up.startsWith(QLatin1String("PAGE")) && up.size() > 4 && up[4].isDigit()) {
            bool ok = false;
            const int n = up.mid(4).toInt(&ok);
            if (!ok)
                throw std::invalid_argument(("'" + up.mid(4).toStdString() + "' is not a valid integer value"));
            obj = pageLookup ? pageLookup(n) : nullptr;
        } else {
            TfrObject *found = EngineHooks.FindObject ? EngineHooks.FindObject(objPart) : nullptr;
            if (found) {
                obj = found;
            } else {
                obj = nullptr;
                if (CurrentView) {
                    EnsurePropList(CurrentView);
                    if (CurrentView->FindPropRec(objPart)) {
                        obj = CurrentView;
                        propName = name;
                    }
                }
            }
        }
    }
    EnsurePropList(obj);
}

void ResolveDataSet(const QString &name, TfrDataset *&dataSet, bool &created)
{
    dataSet = nullptr;
    created = false;
    if (!name.isEmpty() && name[0] >= QLatin1Char('1') && name[0] <= QLatin1Char('9')) {
        bool ok = false;
        const int count = name.toInt(&ok);
        if (!ok)
            throw std::invalid_argument(("'" + name.toStdString() + "' is not a valid integer value"));
        auto *ds = new TfrUserDataset;
        ds->RangeEnd = reCount;
        ds->RangeEndCount = count;
        dataSet = ds;
        created = true;
    } else {
        QObject *c = FindReportComponent(name);
        if (!c)
            return;
        dataSet = qobject_cast<TfrDataset *>(c);
        if (!dataSet)
            throw std::bad_cast();
    }
    dataSet->Init();
}
