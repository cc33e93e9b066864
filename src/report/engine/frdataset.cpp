#include "report/engine/frdataset.h"

#include <QBuffer>
#include <QFileDevice>
#include <QtEndian>
#include <QDebug>

// ---------------------------------------------------------------------------
// IfrDataSource

int IfrDataSource::FieldIndex(const QString &name) const
{
    const int n = FieldCount();
    for (int i = 0; i < n; ++i)
        if (FieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList IfrDataSource::FieldNames() const
{
    QStringList out;
    const int n = FieldCount();
    for (int i = 0; i < n; ++i)
        out << FieldName(i);
    return out;
}

QString IfrDataSource::DisplayText(int field) const
{
    if (IsNull(field))
        return QString();
    return Value(field).toString();
}

QByteArray IfrDataSource::BlobBytes(int field) const
{
    if (IsNull(field))
        return QByteArray();
    const QVariant v = Value(field);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
}

// ---------------------------------------------------------------------------
// TfrMemoryTable

TfrMemoryTable::TfrMemoryTable(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
}

void TfrMemoryTable::AddField(const QString &name, TfrFieldType type)
{
    m_fields.append(Field{name, type, {}});
    for (QVariantList &r : m_rows)
        r.append(QVariant());
}

void TfrMemoryTable::AppendRow(const QVariantList &values)
{
    QVariantList r = values;
    while (r.size() < m_fields.size())
        r.append(QVariant());
    r.resize(m_fields.size());
    m_rows.append(r);
}

void TfrMemoryTable::SetDisplayHandler(int field, std::function<QString(const QVariant &)> handler)
{
    if (field >= 0 && field < m_fields.size())
        m_fields[field].display = std::move(handler);
}

void TfrMemoryTable::Open()
{
    if (m_open)
        return;
    m_open = true;
    ++OpenCount;
    First();
}

void TfrMemoryTable::requireOpen() const
{
    if (!m_open)
        throw EfrDataError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
}

QString TfrMemoryTable::FieldName(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields[index].name : QString();
}

TfrFieldType TfrMemoryTable::FieldType(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields[index].type : TfrFieldType::Unknown;
}

bool TfrMemoryTable::IsNull(int field) const
{
    requireOpen();
    if (m_eof && m_bof)
        return true;   // empty table: no current record
    if (m_cur < 0 || m_cur >= m_rows.size() || field < 0 || field >= m_fields.size())
        return true;
    const QVariant &v = m_rows[m_cur][field];
    return !v.isValid() || v.typeId() == QMetaType::Nullptr;
}

QVariant TfrMemoryTable::Value(int field) const
{
    if (field < 0 || field >= m_fields.size())
        throw EfrDataError(QStringLiteral("%1: Field index out of range").arg(objectName()));
    if (IsNull(field))
        return QVariant();
    return m_rows[m_cur][field];
}

bool TfrMemoryTable::HasDisplayHandler(int field) const
{
    return field >= 0 && field < m_fields.size() && bool(m_fields[field].display);
}

QString TfrMemoryTable::DisplayText(int field) const
{
    if (HasDisplayHandler(field))
        return m_fields[field].display(IsNull(field) ? QVariant() : m_rows[m_cur][field]);
    return IfrDataSource::DisplayText(field);
}

QByteArray TfrMemoryTable::BlobBytes(int field) const
{
    return IfrDataSource::BlobBytes(field);
}

void TfrMemoryTable::First()
{
    requireOpen();
    m_cur = 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void TfrMemoryTable::Next()
{
    requireOpen();
    if (m_eof)
        return;
    if (m_cur + 1 >= m_rows.size()) {
        m_eof = true;   // stays on the last record
    } else {
        ++m_cur;
        m_bof = false;
    }
}

void TfrMemoryTable::Prior()
{
    requireOpen();
    if (m_rows.isEmpty())
        return;
    if (m_cur == 0) {
        m_bof = true;
    } else {
        --m_cur;
        m_bof = false;
    }
    m_eof = false;
}

bool TfrMemoryTable::Eof() const { return !m_open || m_eof; }

bool TfrMemoryTable::Bof() const { return !m_open || m_bof; }

TfrBookmark TfrMemoryTable::GetBookmark() const
{
    requireOpen();
    return m_rows.isEmpty() ? frNoBookmark : TfrBookmark(m_cur);
}

void TfrMemoryTable::GotoBookmark(TfrBookmark bm)
{
    requireOpen();
    if (bm < 0 || bm >= m_rows.size())
        throw EfrDataError(QStringLiteral("%1: Record not found").arg(objectName()));
    m_cur = int(bm);
    m_eof = false;
    m_bof = m_cur == 0;
}

// ---------------------------------------------------------------------------
// TfrDataLink

TfrDataLink::TfrDataLink(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }

void TfrDataLink::SetDataSet(IfrDataSource *ds)
{
    m_ds = ds;
    m_dsObject = dynamic_cast<QObject *>(ds);
    m_tracked = m_dsObject != nullptr;
}

IfrDataSource *TfrDataLink::DataSet() const
{
    if (m_tracked && !m_dsObject)
        return nullptr;   // destroyed meanwhile
    return m_ds;
}

// ---------------------------------------------------------------------------
// TfrDataset

TfrDataset::TfrDataset(QObject *owner) : QObject(owner) {}

void TfrDataset::First()
{
    RecNo = 0;
    if (OnFirst)
        OnFirst(this);
}

void TfrDataset::Next()
{
    ++RecNo;
    if (!(RangeEnd == reCount && RecNo >= RangeEndCount) && OnNext)
        OnNext(this);
}

void TfrDataset::Prior()
{
    --RecNo;
    if (OnPrior)
        OnPrior(this);
}

bool TfrDataset::Eof()
{
    bool eof = RangeEnd == reCount && RecNo >= RangeEndCount;
    if (OnCheckEOF)
        OnCheckEOF(this, eof);
    return eof;
}

bool TfrUserDataset::Eof()
{
    if (RangeEnd != reCount && !OnCheckEOF) {
        // Without a count or an end handler the range would never end.
        static bool warned = false;
        if (!warned) {
            qWarning("TfrUserDataset %s: RangeEnd without a count or OnCheckEOF; treated as empty",
                     qPrintable(objectName()));
            warned = true;
        }
        return true;
    }
    return TfrDataset::Eof();
}

// ---------------------------------------------------------------------------
// TfrDBDataSet

void TfrDBDataSet::SetDataSet(IfrDataSource *ds)
{
    m_ds = ds;
    m_dsObject = dynamic_cast<QObject *>(ds);
    m_dsTracked = m_dsObject != nullptr;
    m_link = nullptr;
}

IfrDataSource *TfrDBDataSet::DataSet() const
{
    if (m_dsTracked && !m_dsObject)
        return nullptr;
    return m_ds;
}

void TfrDBDataSet::SetDataSource(TfrDataLink *link)
{
    m_link = link;
    if (link) {
        m_ds = nullptr;
        m_dsObject = nullptr;
        m_dsTracked = false;
    }
}

IfrDataSource *TfrDBDataSet::GetDataSet() const
{
    IfrDataSource *ds = nullptr;
    if (m_link)
        ds = m_link->DataSet();
    else
        ds = DataSet();
    if (!ds)
        throw EfrDataError(QStringLiteral("Unable to open dataset ") + objectName());
    return ds;
}

void TfrDBDataSet::Init()
{
    IfrDataSource *ds = GetDataSet();
    if (OpenDataSource)
        ds->Open();
    if (OnOpen)
        OnOpen(this);
    if (m_bookmark != frNoBookmark)
        ds->FreeBookmark(m_bookmark);
    m_bookmark = (RangeBegin == rbCurrent || RangeEnd == reCurrent) ? ds->GetBookmark() : frNoBookmark;
    m_eof = false;
}

void TfrDBDataSet::Exit()
{
    IfrDataSource *ds = GetDataSet();
    if (m_bookmark != frNoBookmark) {
        ds->GotoBookmark(m_bookmark);
        ds->FreeBookmark(m_bookmark);
        m_bookmark = frNoBookmark;
    }
    if (OnClose)
        OnClose(this);
    if (CloseDataSource)
        ds->Close();
}

void TfrDBDataSet::First()
{
    IfrDataSource *ds = GetDataSet();
    if (RangeBegin == rbCurrent && m_bookmark != frNoBookmark)
        ds->GotoBookmark(m_bookmark);
    else
        ds->First();
    m_eof = false;
    TfrDataset::First();
}

void TfrDBDataSet::Next()
{
    IfrDataSource *ds = GetDataSet();
    m_eof = false;
    if (RangeEnd == reCurrent) {
        if (RangeBegin == rbCurrent || m_bookmark == frNoBookmark
            || ds->BookmarksEqual(ds->GetBookmark(), m_bookmark)) {
            // rbCurrent with reCurrent yields exactly one record.
            m_eof = true;
            return;
        }
        // rbFirst with reCurrent: walk from the first record to the bookmarked one inclusive.
    }
    ds->Next();
    TfrDataset::Next();
}

void TfrDBDataSet::Prior()
{
    GetDataSet()->Prior();
    TfrDataset::Prior();
}

bool TfrDBDataSet::Eof()
{
    IfrDataSource *ds = GetDataSet();
    return TfrDataset::Eof() || ds->Eof() || m_eof;
}

// ---------------------------------------------------------------------------
// Data-access routines

bool IsBlobField(const IfrDataSource *ds, int field)
{
    if (!ds || field < 0 || field >= ds->FieldCount())
        return false;
    switch (ds->FieldType(field)) {
    case TfrFieldType::Blob: case TfrFieldType::Memo: case TfrFieldType::Graphic: case TfrFieldType::FmtMemo:
    case TfrFieldType::ParadoxOle: case TfrFieldType::DBaseOle: case TfrFieldType::TypedBinary:
        return true;
    default:
        return false;
    }
}

QByteArray frBlobPayload(const QByteArray &blob)
{
    if (blob.size() >= 8) {
        const uchar *p = reinterpret_cast<const uchar *>(blob.constData());
        if (qFromLittleEndian<quint16>(p) == 1 && qFromLittleEndian<quint16>(p + 2) == 256
            && qint64(qFromLittleEndian<quint32>(p + 4)) == qint64(blob.size()) - 8)
            return blob.mid(8);
    }
    return blob;
}

QByteArray LoadBlobInto(const IfrDataSource *ds, int field)
{
    if (!ds)
        return QByteArray();
    return frBlobPayload(ds->BlobBytes(field));
}

void AssignBlobTo(const IfrDataSource *ds, int field, QIODevice &target)
{
    const QByteArray bytes = ds ? ds->BlobBytes(field) : QByteArray();
    if (target.isOpen() && !target.isSequential()) {
        target.seek(0);
        if (auto *file = qobject_cast<QFileDevice *>(&target))
            file->resize(0);
        else if (auto *buf = qobject_cast<QBuffer *>(&target))
            buf->buffer().clear();
    }
    if (target.write(bytes) != bytes.size())
        throw EfrDataError(QStringLiteral("Cannot write the blob: ") + target.errorString());
    if (!target.isSequential())
        target.seek(0);
}

void GetFieldNames(const IfrDataSource *ds, QStringList &list)
{
    list.clear();
    if (!ds)
        return;
    const int n = ds->FieldCount();
    for (int i = 0; i < n; ++i)
        list << ds->FieldName(i);
}

IfrDataSource *frAsDataSource(QObject *component)
{
    return dynamic_cast<IfrDataSource *>(component);
}

void TryGetFieldNames(const QObject *component, QStringList &list)
{
    list.clear();
    const IfrDataSource *ds = dynamic_cast<const IfrDataSource *>(component);
    if (!ds)
        return;
    try {
        const int n = ds->FieldCount();
        for (int i = 0; i < n; ++i)
            list << ds->FieldName(i);
    } catch (...) {
        // errors while listing are swallowed; the list keeps what was added
    }
}
