#pragma once
// The shared data module: the one connection and the named datasets every window uses.
#include "data/dataset.h"
#include "data/dbconnection.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

namespace orv {

class TfrmDataModule : public QObject {
    Q_OBJECT
public:
    explicit TfrmDataModule(QObject *parent = nullptr, const QString &connectionName = QStringLiteral("orv"));
    ~TfrmDataModule() override;

    Connection ADOConnection1;

    // A dataset by its name ("ADOQuery1" ... "ADOQuery36", "ADOQueryRepFit", "ADOQueryMuLu",
    // "ADOQueryTongji", "ADODataSet1" ... "ADODataSet3", "ADOTable").
    DataSet &dataset(const QString &name);
    const QStringList &datasetNames() const { return m_names; }
    DataSet &ADOQuery(int n) { return dataset("ADOQuery" + QString::number(n)); }
    DataSet &ADOQueryRepFit() { return dataset("ADOQueryRepFit"); }
    DataSet &ADOQueryMuLu() { return dataset("ADOQueryMuLu"); }
    DataSet &ADODataSet(int n) { return dataset("ADODataSet" + QString::number(n)); }

private:
    QHash<QString, std::shared_ptr<DataSet>> m_sets;
    QStringList m_names;
};

inline QPointer<TfrmDataModule> frmDataModule;

// The shared connection (the data module must exist).
Connection &db();

} // namespace orv
