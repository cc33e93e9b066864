#include "report/engine/frdictionary.h"
#include "report/engine/frdataset.h"
#include "report/engine/frglobals.h"
#include "report/engine/frlocale.h"
#include "report/engine/frparser.h"
#include "report/engine/frstream.h"
#include "report/engine/frstrings.h"
#include "report/engine/frutils.h"
#include "common/codec.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint16 kMarker = -2;
constexpr qint16 kOldMarker = -1;

quint32 readCount(QIODevice &s, int minEntryBytes)
{
    const qint32 n = ReadStreamInt(s);
    if (n < 0)
        throw EfrStreamError(QStringLiteral("Malformed dictionary block: negative entry count").toStdString());
    if (!s.isSequential() && qint64(n) * minEntryBytes > s.bytesAvailable())
        throw EfrStreamError(QStringLiteral("Malformed dictionary block: %1 entries do not fit the data")
                                 .arg(n).toStdString());
    return quint32(n);
}

void readList(QIODevice &s, TfrVariables &list)
{
    const quint32 n = readCount(s, 6);
    for (quint32 i = 0; i < n; ++i) {
        const QString name = ReadStreamString(s);
        const QString value = ReadStreamString(s);
        list.SetValue(name, QVariant(value));   // a repeated name keeps its last value
    }
}

void writeList(QIODevice &s, const TfrVariables &list)
{
    WriteStreamInt(s, qint32(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        WriteStreamString(s, list.GetName(i));
        WriteStreamString(s, frVarToStr(list.GetValueAt(i)));
    }
}

QString readShortText(QIODevice &s)
{
    const quint8 len = ReadStreamByte(s);
    return orv::fromGbk(ReadStreamBytes(s, len));
}

bool startsWithBlank(const QString &s) { return s.startsWith(QLatin1Char(' ')); }

// Marks a name as being evaluated for the lifetime of the guard.
struct EvalGuard {
    QStringList &list;
    explicit EvalGuard(QStringList &l, const QString &name) : list(l) { list << name; }
    ~EvalGuard() { list.removeLast(); }
};
} // namespace

TfrDataDictionary::TfrDataDictionary() = default;
TfrDataDictionary::~TfrDataDictionary() = default;

const QStringList &TfrDataDictionary::SpecialVariableNames()
{
    static const QStringList names{
        QStringLiteral("PAGE#"), QString(), QStringLiteral("DATE"), QStringLiteral("TIME"),
        QStringLiteral("LINE#"), QStringLiteral("LINETHROUGH#"), QStringLiteral("COLUMN#"),
        QStringLiteral("CURRENT#"), QStringLiteral("TOTALPAGES"), QStringLiteral("REPORTCOMMENT"),
        QStringLiteral("REPORTNAME"), QStringLiteral("REPORTAUTOR"), QStringLiteral("VMAJOR"),
        QStringLiteral("VMINOR"), QStringLiteral("VRELEASE"), QStringLiteral("VBUILD"),
        QStringLiteral("REPORTDATE"), QStringLiteral("REPORTLASTCHANGE"),
    };
    return names;
}

void TfrDataDictionary::Clear()
{
    Variables.Clear();
    FieldAliases.Clear();
    BandDataSources.Clear();
}

void TfrDataDictionary::ClearCache() { m_cache.clear(); }

void TfrDataDictionary::AddCacheItem(const QString &name, IfrDataSource *dataSet, const QString &fieldName)
{
    TfrCacheItem item;
    item.Name = name;
    item.DataSet = dataSet;
    item.Object = dynamic_cast<QObject *>(dataSet);
    item.Tracked = item.Object != nullptr;
    item.DataField = fieldName;
    m_cache.insert(name.toUpper(), item);
}

// ---------------------------------------------------------------------------
// Block and file

void TfrDataDictionary::LoadFromStream(QIODevice &stream, int streamVersion)
{
    // Everything is read into new lists first; the dictionary changes only on success.
    TfrVariables vars, aliases, sources;
    const qint64 start = stream.pos();
    const qint16 marker = ReadStreamWord(stream);
    if (marker == kMarker || marker == kOldMarker) {
        readList(stream, vars);
        readList(stream, aliases);
        readList(stream, sources);
    } else {
        if (stream.isSequential() || !stream.seek(start))
            throw EfrStreamError("Cannot step back in the dictionary block");
        TfrVariables temp;
        const qint32 count = ReadStreamInt(stream);
        if (count < 0 || (qint64(count) * 8 > stream.bytesAvailable()))
            throw EfrStreamError(QStringLiteral("Malformed dictionary block: %1 records do not fit the data")
                                     .arg(count).toStdString());
        for (qint32 i = 0; i < count; ++i) {
            const quint8 kind = ReadStreamByte(stream);
            const qint32 number = ReadStreamInt(stream);
            const QString t1 = readShortText(stream);
            const QString t2 = readShortText(stream);
            const QString t3 = readShortText(stream);
            QString value;
            if (kind == 1) {
                value = t1 + QStringLiteral(".\"") + t2 + QLatin1Char('"');
            } else if (kind == 2) {
                if (number == 1)
                    value = t2;
                else if (number >= 0 && number < SpecialVariableNames().size())
                    value = SpecialVariableNames().at(number);
            }
            temp.SetValue(QLatin1Char(' ') + t3, QVariant(value));
        }
        const QStringList names = streamVersion < 23 ? ReadOldStreamStrings(stream) : ReadStreamStrings(stream);
        for (const QString &line : names) {
            if (!line.isEmpty() && !startsWithBlank(line))
                vars.SetValue(line, QVariant(QString()));
            else
                vars.SetValue(line, QVariant(frVarToStr(temp.GetValue(line))));
        }
    }
    // Categories written the other way round (older layouts): flip every name.
    if (vars.Count() > 0 && !startsWithBlank(vars.GetName(0))) {
        for (int i = 0; i < vars.Count(); ++i) {
            const QString n = vars.GetName(i);
            vars.SetName(i, startsWithBlank(n) ? n.mid(1) : QLatin1Char(' ') + n);
        }
    }
    if (marker == kOldMarker) {
        for (int i = aliases.Count() - 1; i >= 0; --i) {
            if (!frVarToStr(aliases.GetValueAt(i)).isEmpty())
                continue;
            IfrDataSource *ds = nullptr;
            QString field;
            try {
                FindDataSetField(aliases.GetName(i), ds, field);
            } catch (const std::exception &) {
                ds = nullptr;
            }
            if (!ds || field.isEmpty())
                aliases.Delete(i);
        }
        for (int i = sources.Count() - 1; i >= 0; --i)
            if (frVarToStr(sources.GetValueAt(i)).isEmpty())
                sources.Delete(i);
    }
    Variables = vars;
    FieldAliases = aliases;
    BandDataSources = sources;
}

void TfrDataDictionary::SaveToStream(QIODevice &stream) const
{
    WriteStreamWord(stream, kMarker);
    writeList(stream, Variables);
    writeList(stream, FieldAliases);
    writeList(stream, BandDataSources);
}

void TfrDataDictionary::LoadFromFile(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EfrStreamError(QStringLiteral("Cannot open dictionary file %1: %2")
                                 .arg(fileName, f.errorString()).toStdString());
    QByteArray data = f.readAll();
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    try {
        const quint8 version = ReadStreamByte(buf);
        if (version < 21 || version > 25)
            throw EfrStreamError(QStringLiteral("unsupported version %1").arg(version).toStdString());
        LoadFromStream(buf, version);
    } catch (const EfrStreamError &e) {
        throw EfrStreamError(QStringLiteral("Malformed dictionary file %1: %2")
                                 .arg(fileName, QString::fromStdString(e.what())).toStdString());
    }
}

void TfrDataDictionary::SaveToFile(const QString &fileName) const
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    WriteStreamByte(buf, 25);
    SaveToStream(buf);
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(buf.data()) != buf.data().size() || !f.commit())
        throw EfrStreamError(QStringLiteral("Cannot write dictionary file %1: %2")
                                 .arg(fileName, f.errorString()).toStdString());
}

// ---------------------------------------------------------------------------
// Values

bool TfrDataDictionary::resolveField(const QString &text, IfrDataSource *&ds, QString &field) const
{
    ds = frDefaultDataSet();
    field.clear();
    try {
        FindDataSetField(text, ds, field);
    } catch (const std::exception &) {
        return false;
    }
    return ds && !field.isEmpty();
}

bool TfrDataDictionary::IsVariable(const QString &name)
{
    const auto it = m_cache.constFind(name.toUpper());
    if (it != m_cache.constEnd() && it->Alive())
        return true;
    const int vi = Variables.IndexOf(name);
    if (vi >= 0) {
        const QVariant v = Variables.GetValueAt(vi);
        if (!frIsNull(v)) {
            const QString text = frVarToStr(v);
            if (text.contains(QLatin1Char('.'))) {
                IfrDataSource *ds = nullptr;
                QString field;
                if (resolveField(text, ds, field))
                    AddCacheItem(name, ds, field);
            }
        }
        return true;
    }
    QString text = name;
    if (name.contains(QLatin1Char('.'))) {
        QString dsName, fieldName;
        SplitDataSetField(name, dsName, fieldName);
        dsName = GetRealDataSetName(dsName);
        for (int i = 0; i < FieldAliases.Count(); ++i) {
            const QString key = FieldAliases.GetName(i);
            if (frVarToStr(FieldAliases.GetValueAt(i)).compare(fieldName, Qt::CaseInsensitive) == 0
                && key.startsWith(dsName, Qt::CaseInsensitive)) {
                QString keyDs, keyField = key;
                SplitDataSetField(key, keyDs, keyField);
                fieldName = keyField;
                break;
            }
        }
        text = dsName + QStringLiteral(".\"") + fieldName + QLatin1Char('"');
    }
    IfrDataSource *ds = nullptr;
    QString field;
    if (resolveField(text, ds, field)) {
        AddCacheItem(name, ds, field);
        return true;
    }
    return false;
}

QVariant TfrDataDictionary::GetValue(const QString &name)
{
    QVariant value = frNull();
    const auto it = m_cache.constFind(name.toUpper());
    if (it != m_cache.constEnd()) {
        if (IfrDataSource *ds = it->Alive()) {
            if (!ds->IsOpen())
                ds->Open();
            return FieldValue(ds, it->DataField);
        }
    }
    const int vi = Variables.IndexOf(name);
    if (vi < 0)
        return value;
    if (GlobalVariables && GlobalVariables->IndexOf(name) >= 0)
        return GlobalVariables->GetValue(name);
    value = Variables.GetValueAt(vi);
    if (frVarKind(value) != TfrVarKind::Text || value.toString().isEmpty())
        return value;
    for (const QString &n : std::as_const(m_evaluating))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            throw EfrParserError(GetLocalizedString(frRes::UndefinedSymbol) + QLatin1String(" \"")
                                 + Variables.GetName(vi) + QLatin1Char('"'));
    EvalGuard guard(m_evaluating, name);
    if (GlobalParser)
        return GlobalParser->Calculate(value.toString());
    TfrParser local;
    return local.Calculate(value.toString());
}

bool TfrDataDictionary::IsDataSetEnabled(const QString &name) const
{
    for (const QString &e : DisabledDataSets) {
        if (e.endsWith(QLatin1Char('*')) && name.startsWith(e.left(e.size() - 1), Qt::CaseSensitive))
            return false;
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Aliases

QString TfrDataDictionary::GetRealDataSetName(const QString &alias) const
{
    for (int i = 0; i < FieldAliases.Count(); ++i)
        if (frVarToStr(FieldAliases.GetValueAt(i)).compare(alias, Qt::CaseInsensitive) == 0)
            return FieldAliases.GetName(i);
    return alias;
}

QString TfrDataDictionary::GetRealDataSourceName(const QString &alias) const
{
    for (int i = 0; i < BandDataSources.Count(); ++i)
        if (frVarToStr(BandDataSources.GetValueAt(i)).compare(alias, Qt::CaseInsensitive) == 0)
            return BandDataSources.GetName(i);
    return alias;
}

QString TfrDataDictionary::GetRealFieldName(const QString &alias) const
{
    QString ds, field = GetRealDataSetName(alias);
    SplitDataSetField(field, ds, field);
    return field;
}

QString TfrDataDictionary::GetAliasName(const QString &name) const
{
    if (FieldAliases.IndexOf(name) >= 0) {
        const QString a = frVarToStr(FieldAliases.GetValue(name));
        if (!a.isEmpty())
            return a;
    }
    if (BandDataSources.IndexOf(name) >= 0) {
        const QString a = frVarToStr(BandDataSources.GetValue(name));
        if (!a.isEmpty())
            return a;
    }
    return name;
}

QString TfrDataDictionary::FieldAliasKey(const QString &dataSetName, const QString &fieldName)
{
    return dataSetName + QStringLiteral(".\"") + fieldName + QLatin1Char('"');
}

int TfrDataDictionary::FieldAliasIndex(const QString &dataSetName, const QString &fieldName) const
{
    const int i = FieldAliases.IndexOf(FieldAliasKey(dataSetName, fieldName));
    return i >= 0 ? i : FieldAliases.IndexOf(dataSetName + QLatin1Char('.') + fieldName);
}

void TfrDataDictionary::SplitDataSetField(const QString &text, QString &dataSetName, QString &fieldName)
{
    // Scan from the end for a "." outside double quotes.
    bool inQuotes = false;
    for (int i = int(text.size()) - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (c == QLatin1Char('.') && !inQuotes) {
            dataSetName = text.left(i);
            fieldName = UnquoteText(text.mid(i + 1, 255));
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Designer lists

void TfrDataDictionary::GetDataSetList(QStringList &list) const
{
    list.clear();
    QStringList all;
    GetComponentsOfClass(frReportOwner(), QStringLiteral("IfrDataSource"), all);
    for (const QString &n : std::as_const(all)) {
        if (!IsDataSetEnabled(n))
            continue;
        if (FieldAliases.Count() > 0) {
            if (FieldAliases.IndexOf(n) < 0)
                continue;
            const QString a = frVarToStr(FieldAliases.GetValue(n));
            if (a.isEmpty())
                continue;
            list << a;
        } else {
            list << n;
        }
    }
    list.sort();
}

void TfrDataDictionary::GetFieldList(const QString &dataSetName, QStringList &list) const
{
    list.clear();
    QObject *c = nullptr;
    try {
        c = FindComponentByPath(frReportOwner(), dataSetName);
        if (!c)
            c = FindComponentByPath(frReportOwner(), GetRealDataSetName(dataSetName));
    } catch (const std::exception &) {
        c = nullptr;
    }
    if (!c)
        return;
    QStringList fields;
    TryGetFieldNames(c, fields);
    for (const QString &f : std::as_const(fields)) {
        const int k = FieldAliasIndex(dataSetName, f);
        if (k >= 0) {
            const QString a = frVarToStr(FieldAliases.GetValueAt(k));
            if (!a.isEmpty())
                list << a;
        } else {
            list << f;
        }
    }
}

void TfrDataDictionary::GetBandDataSourceList(QStringList &list) const
{
    list.clear();
    QStringList all;
    GetComponentsOfClass(frReportOwner(), QStringLiteral("TfrDataset"), all);
    for (const QString &n : std::as_const(all)) {
        if (BandDataSources.Count() > 0) {
            if (BandDataSources.IndexOf(n) < 0)
                continue;
            const QString a = frVarToStr(BandDataSources.GetValue(n));
            list << (a.isEmpty() ? n : a);
        } else {
            list << n;
        }
    }
    list.sort();
}

void TfrDataDictionary::GetCategoryList(QStringList &list) const
{
    list.clear();
    for (int i = 0; i < Variables.Count(); ++i) {
        const QString n = Variables.GetName(i);
        if (startsWithBlank(n))
            list << n.mid(1);
    }
}

void TfrDataDictionary::GetVariableList(const QString &category, QStringList &list) const
{
    list.clear();
    int i = 0;
    const QString key = QLatin1Char(' ') + category;
    for (; i < Variables.Count(); ++i)
        if (Variables.GetName(i).compare(key, Qt::CaseInsensitive) == 0)
            break;
    if (i >= Variables.Count())
        return;
    for (++i; i < Variables.Count(); ++i) {
        const QString n = Variables.GetName(i);
        if (n.isEmpty() || startsWithBlank(n))
            break;
        list << n;
    }
}
