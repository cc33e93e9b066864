#pragma once
// The data module's datasets as report data: a report finds them by dotted names
// ("frmDataModule.ADOQuery1") and walks them with its data bands.
#include "data/dataset.h"
#include "report/engine/frdataset.h"

#include <QObject>

namespace orv {

class ReportDataSource : public QObject, public IfrDataSource {
    Q_OBJECT
public:
    // Does not own the dataset; the object takes the dataset's name.
    ReportDataSource(DataSet &ds, QObject *parent = nullptr);

    bool IsOpen() const override { return m_ds.active(); }
    void Open() override;
    void Close() override { m_ds.close(); }
    int FieldCount() const override { return m_ds.fieldCount(); }
    QString FieldName(int index) const override { return m_ds.fieldNames().value(index); }
    TfrFieldType FieldType(int index) const override;
    bool IsNull(int field) const override { return m_ds.fields(field).isNull(); }
    QVariant Value(int field) const override;
    QByteArray BlobBytes(int field) const override { return m_ds.fields(field).value().toByteArray(); }
    void First() override { m_ds.first(); }
    void Next() override { m_ds.next(); }
    void Prior() override { m_ds.prior(); }
    bool Eof() const override { return m_ds.eof(); }
    bool Bof() const override { return m_ds.bof(); }
    int RecordCount() const override { return m_ds.recordCount(); }
    TfrBookmark GetBookmark() const override { return m_ds.isEmpty() ? frNoBookmark : m_ds.recNo() - 1; }
    void GotoBookmark(TfrBookmark bm) override { m_ds.setRecNo(int(bm) + 1); }

private:
    DataSet &m_ds;
};

// Offers every dataset of the data module to reports (once per data module).
void registerDataModuleForReports();

} // namespace orv
