#pragma once
// Shared pieces of the goods tests: goods rows made by hand, the pending documents' detail
// tables, and checks inside a modal driver.
#include "modalchecks.h"
#include "testdb.h"

#include "purchasing/purchasingschema.h"
#include "sales/salesschema.h"
#include "warehouse/warehouseschema.h"

#include <QMap>
#include <QtTest>


namespace goodstest {

// A goods row with the given columns (column name -> value); returns its 流水号.
inline qint64 addGoods(orv::test::TestDb &t, const QMap<QString, QVariant> &columns)
{
    QStringList names, marks;
    QVariantList values;
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        names << it.key();
        marks << "?";
        values << it.value();
    }
    t.exec("insert into 货品目录(" + names.join(',') + ") values(" + marks.join(',') + ")", values);
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

// The detail tables the audit mode writes into, made by the subsystems that own them, as the
// program makes them (link the test with orv_purchasing, orv_sales and orv_warehouse).
inline void registerDocumentTables()
{
    orv::registerPurchasingSchema();
    orv::registerSalesSchema();
    orv::registerWarehouseSchema();
}

} // namespace goodstest
