#include "app/reportdatasource.h"
#include "data/datamodule.h"
#include "report/engine/frutils.h"

namespace orv {

ReportDataSource::ReportDataSource(DataSet &ds, QObject *parent) : QObject(parent), m_ds(ds)
{
    setObjectName(ds.name());
}

void ReportDataSource::Open()
{
    if (!m_ds.active())
        m_ds.open();
}

TfrFieldType ReportDataSource::FieldType(int index) const
{
    if (m_ds.isFlagColumn(index))
        return TfrFieldType::Boolean;
    switch (m_ds.fieldType(index).id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        return TfrFieldType::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return TfrFieldType::LargeInt;
    case QMetaType::Double:
        return TfrFieldType::Float;
    case QMetaType::QByteArray:
        return TfrFieldType::Blob;
    case QMetaType::QDate:
        return TfrFieldType::Date;
    case QMetaType::QTime:
        return TfrFieldType::Time;
    case QMetaType::QDateTime:
        return TfrFieldType::DateTime;
    default:
        return TfrFieldType::String;
    }
}

QVariant ReportDataSource::Value(int field) const
{
    const Field f = m_ds.fields(field);
    if (m_ds.isFlagColumn(field))
        return f.isNull() ? QVariant() : QVariant(f.asBoolean());
    return f.value();
}

void registerDataModuleForReports()
{
    if (!frmDataModule || frmDataModule->property("orvReportSources").toBool())
        return;
    for (const QString &n : frmDataModule->datasetNames())
        new ReportDataSource(frmDataModule->dataset(n), frmDataModule);
    frmDataModule->setProperty("orvReportSources", true);
    frRegisterGlobalComponent(frmDataModule);
}

} // namespace orv
