#pragma once
// Report data sets and the data-access layer the engine sees.
//
// IfrDataSource is any table the application
// (the warehouse data module's datasets) or a test offers. Implement it on a QObject
// subclass and give the object a name (QObject::objectName) so the dotted-name lookups
// (frutils.h) find it. TfrMemoryTable is the in-memory implementation.
//
// TfrDataLink points at a data set by name, so a template can name it before it exists.
// TfrDataset is the report cursor a data band walks; TfrUserDataset has no data
// behind it, TfrDBDataSet walks an IfrDataSource.
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <stdexcept>

// A data set could not be opened, read or found.
class EfrDataError : public std::runtime_error {
public:
    explicit EfrDataError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }
private:
    QString m_message;
};

enum class TfrFieldType {
    Unknown, String, WideString, Boolean, SmallInt, Integer, LargeInt, Float, Currency,
    Date, Time, DateTime, Blob, Memo, Graphic, FmtMemo, ParadoxOle, DBaseOle, TypedBinary
};

using TfrBookmark = qint64;               // -1: none
constexpr TfrBookmark frNoBookmark = -1;

class IfrDataSource {
public:
    virtual ~IfrDataSource() = default;

    virtual bool IsOpen() const = 0;
    virtual void Open() = 0;                // runs the data set's current query, if any
    virtual void Close() = 0;

    virtual int FieldCount() const = 0;
    virtual QString FieldName(int index) const = 0;
    virtual TfrFieldType FieldType(int index) const = 0;
    // Case-insensitive; -1 when absent.
    virtual int FieldIndex(const QString &name) const;
    QStringList FieldNames() const;

    // Current record. IsNull tells a NULL value; Value of a NULL may be anything.
    virtual bool IsNull(int field) const = 0;
    virtual QVariant Value(int field) const = 0;
    // A field with a text-formatting handler shows DisplayText instead of its value.
    virtual bool HasDisplayHandler(int field) const { Q_UNUSED(field); return false; }
    virtual QString DisplayText(int field) const;
    virtual QByteArray BlobBytes(int field) const;   // blob fields: raw bytes

    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual int RecordCount() const = 0;

    virtual TfrBookmark GetBookmark() const = 0;
    virtual void GotoBookmark(TfrBookmark bm) = 0;
    virtual void FreeBookmark(TfrBookmark bm) { Q_UNUSED(bm); }
    virtual bool BookmarksEqual(TfrBookmark a, TfrBookmark b) const { return a == b; }
};

// In-memory table: fields, rows, a cursor. Open/Close only switch the open flag
// (rows stay); OnOpen runs when it opens, for tests that count opens.
class TfrMemoryTable : public QObject, public IfrDataSource {
    Q_OBJECT
public:
    explicit TfrMemoryTable(const QString &name = QString(), QObject *parent = nullptr);

    void AddField(const QString &name, TfrFieldType type = TfrFieldType::String);
    // A row of values in field order; a null QVariant (or frNull()) is NULL.
    void AppendRow(const QVariantList &values);
    void ClearRows() { m_rows.clear(); m_cur = 0; }
    void SetDisplayHandler(int field, std::function<QString(const QVariant &)> handler);
    int RowCount() const { return int(m_rows.size()); }
    int CurrentRow() const { return m_cur; }
    int OpenCount = 0;

    bool IsOpen() const override { return m_open; }
    void Open() override;
    void Close() override { m_open = false; }
    int FieldCount() const override { return int(m_fields.size()); }
    QString FieldName(int index) const override;
    TfrFieldType FieldType(int index) const override;
    bool IsNull(int field) const override;
    QVariant Value(int field) const override;
    bool HasDisplayHandler(int field) const override;
    QString DisplayText(int field) const override;
    QByteArray BlobBytes(int field) const override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override;
    bool Bof() const override;
    int RecordCount() const override { return int(m_rows.size()); }
    TfrBookmark GetBookmark() const override;
    void GotoBookmark(TfrBookmark bm) override;

private:
    void requireOpen() const;
    struct Field { QString name; TfrFieldType type; std::function<QString(const QVariant &)> display; };
    QList<Field> m_fields;
    QList<QVariantList> m_rows;
    int m_cur = 0;
    bool m_bof = true, m_eof = true, m_open = false;
};

// TDataSource stand-in: a named component pointing at a data set.
class TfrDataLink : public QObject {
    Q_OBJECT
public:
    explicit TfrDataLink(const QString &name = QString(), QObject *parent = nullptr);
    void SetDataSet(IfrDataSource *ds);
    IfrDataSource *DataSet() const;
private:
    IfrDataSource *m_ds = nullptr;
    QPointer<QObject> m_dsObject;   // clears the reference when the data set is destroyed
    bool m_tracked = false;
};

enum TfrRangeBegin { rbFirst = 0, rbCurrent = 1 };
enum TfrRangeEnd { reLast = 0, reCurrent = 1, reCount = 2 };

// The report cursor. A QObject so it can be named and found by the
// dotted-name lookups and the dictionary's band-source list.
class TfrDataset : public QObject {
    Q_OBJECT
public:
    explicit TfrDataset(QObject *owner = nullptr);

    TfrRangeBegin RangeBegin = rbFirst;
    TfrRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    int RecNo = 0;   // current record number, from 0

    std::function<void(TfrDataset *sender, bool &eof)> OnCheckEOF;
    std::function<void(TfrDataset *sender)> OnFirst;
    std::function<void(TfrDataset *sender)> OnNext;
    std::function<void(TfrDataset *sender)> OnPrior;

    virtual void Init() {}
    virtual void Exit() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
};

// A cursor with no data behind it. RangeEnd reLast needs OnCheckEOF to end: without
// it the range is empty (Eof at once, with a warning) instead of never ending.
class TfrUserDataset : public TfrDataset {
    Q_OBJECT
public:
    explicit TfrUserDataset(QObject *owner = nullptr) : TfrDataset(owner) {}
    bool Eof() override;
};

// A cursor over an application data set (directly, or through a TfrDataLink).
// rbFirst with reCurrent walks from the first record to the bookmarked one inclusive.
class TfrDBDataSet : public TfrDataset {
    Q_OBJECT
public:
    explicit TfrDBDataSet(QObject *owner = nullptr) : TfrDataset(owner) {}

    bool CloseDataSource = false;
    bool OpenDataSource = true;
    std::function<void(TfrDataset *sender)> OnOpen;
    std::function<void(TfrDataset *sender)> OnClose;

    void SetDataSet(IfrDataSource *ds);      // clears DataSource
    IfrDataSource *DataSet() const;
    void SetDataSource(TfrDataLink *link);   // non-null clears DataSet
    TfrDataLink *DataSource() const { return m_link.data(); }
    // The data set worked on: DataSource's when set, else DataSet; raises
    // EfrDataError "Unable to open dataset " + name when there is none.
    IfrDataSource *GetDataSet() const;

    void Init() override;
    void Exit() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;

private:
    IfrDataSource *m_ds = nullptr;
    QPointer<QObject> m_dsObject;
    bool m_dsTracked = false;
    QPointer<TfrDataLink> m_link;
    TfrBookmark m_bookmark = frNoBookmark;
    bool m_eof = false;
};

// Data-access routines.
bool IsBlobField(const IfrDataSource *ds, int field);
// The blob's bytes with the class library's 8-byte graphic header (u16 1, u16 256,
// u32 size = length - 8) skipped when present (LoadBlobInto's reading position).
QByteArray frBlobPayload(const QByteArray &blob);
QByteArray LoadBlobInto(const IfrDataSource *ds, int field);
// A device target gets the blob's raw bytes (replacing its content) and is rewound to 0.
void AssignBlobTo(const IfrDataSource *ds, int field, QIODevice &target);
void GetFieldNames(const IfrDataSource *ds, QStringList &list);       // raises on error
void TryGetFieldNames(const QObject *component, QStringList &list);   // errors swallowed
IfrDataSource *frAsDataSource(QObject *component);                   // nullptr when not a data set
