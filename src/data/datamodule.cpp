#include "data/datamodule.h"

namespace orv {

TfrmDataModule::TfrmDataModule(QObject *parent, const QString &connectionName)
    : QObject(parent), ADOConnection1(connectionName)
{
    setObjectName("frmDataModule");
    for (int i = 1; i <= 36; ++i)
        m_names << "ADOQuery" + QString::number(i);
    m_names << "ADOQueryRepFit" << "ADOQueryMuLu" << "ADOQueryTongji" << "ADODataSet1" << "ADODataSet2"
            << "ADODataSet3" << "ADOTable";
    for (const auto &n : m_names)
        m_sets.insert(n, std::make_shared<DataSet>(&ADOConnection1, n));
}

TfrmDataModule::~TfrmDataModule()
{
    m_sets.clear();
    ADOConnection1.close();
}

DataSet &TfrmDataModule::dataset(const QString &name)
{
    auto it = m_sets.find(name);
    if (it == m_sets.end())
        throw DbError(("No dataset named " + name).toStdString());
    return **it;
}

Connection &db()
{
    Q_ASSERT(frmDataModule);
    return frmDataModule->ADOConnection1;
}

} // namespace orv
