#include "goods/goodsstore.h"
#include "common/codec.h"
#include "common/pinyin.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"
#include "goods/lookups.h"
#include "goods/mastercode.h"
#include "ledger/docnumbers.h"
#include "ledger/vouchers.h"

namespace orv {

namespace {
const NumberRule kRule = goodsCodeRule();

const QString &textOf(const GoodsRecord &r, GoodsField f)
{
    switch (f) {
    case GoodsField::Code: return r.code;
    case GoodsField::Name: return r.name;
    case GoodsField::Mnemonic: return r.mnemonic;
    case GoodsField::Category: return r.category;
    case GoodsField::Spec: return r.spec;
    case GoodsField::PurchasePrice: return r.purchasePrice;
    case GoodsField::AuxUnit: return r.auxUnit;
    case GoodsField::Unit: return r.unit;
    case GoodsField::Ratio: return r.ratio;
    case GoodsField::AuxStock: return r.auxStock;
    case GoodsField::Stock: return r.stock;
    case GoodsField::WarningStock: return r.warningStock;
    case GoodsField::Warranty: return r.warranty;
    case GoodsField::Place: return r.place;
    case GoodsField::Supplier: return r.supplier;
    case GoodsField::Barcode: return r.barcode;
    case GoodsField::SalePrice: return r.salePrice;
    case GoodsField::Remark: break;
    }
    return r.remark;
}

struct Check {
    GoodsField field;
    const char *message;
    int bytes = 0;
};

const Check kRequired[] = {
    {GoodsField::Code, "货品编号不能为空"},         {GoodsField::Name, "请输入货品名称"},
    {GoodsField::Category, "请输入货品类别"},       {GoodsField::PurchasePrice, "请输入进货价"},
    {GoodsField::Ratio, "请输入换算比率"},          {GoodsField::AuxUnit, "请输入货品辅助单位"},
    {GoodsField::Unit, "请输入货品单位"},           {GoodsField::AuxStock, "请输入辅助库存"},
    {GoodsField::Stock, "请输入库存"},              {GoodsField::WarningStock, "请输入警戒库存"},
    {GoodsField::SalePrice, "请输入出货价"},
};

const Check kLengths[] = {
    {GoodsField::Code, "货品编号不得超过200", 200},       {GoodsField::Name, "货品名称不得超过200", 200},
    {GoodsField::Mnemonic, "拼音码不得超过200", 200},     {GoodsField::Category, "货品类别不得超过200", 200},
    {GoodsField::Spec, "货品规格不得超过200", 200},       {GoodsField::AuxUnit, "货品辅助单位不得超过200", 200},
    {GoodsField::Unit, "货品单位不得超过200", 200},       {GoodsField::Warranty, "货品保修期不得超过200", 200},
    {GoodsField::Place, "货品仓位不得超过200", 200},      {GoodsField::Supplier, "货品供应商不得超过1300", 1300},
    {GoodsField::Barcode, "货品条码不得超过200", 200},    {GoodsField::Remark, "备注不得超过3000", 3000},
};

// The number fields in keyboard order.
const Check kNumbers[] = {
    {GoodsField::PurchasePrice, "进货价必须是数字"}, {GoodsField::Ratio, "换算比率必须是数字"},
    {GoodsField::AuxStock, "辅助库存必须是数字"},    {GoodsField::Stock, "库存必须是数字"},
    {GoodsField::WarningStock, "警戒库存必须是数字"}, {GoodsField::SalePrice, "出货价必须是数字"},
};

GoodsRefusal refusal(const Check &c) { return {{QString::fromUtf8(c.message)}, c.field}; }

QVariant number(const QString &text)
{
    const auto v = parseNumber(text);
    return v ? QVariant(round4(*v)) : QVariant(QMetaType::fromType<double>());
}

QVariant picture(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes);
}
} // namespace

const QStringList &GoodsStore::warranties()
{
    static const QStringList w{"无保修", "一个月", "三个月", "六个月", "一年", "两年",
                               "三年",   "终身",   "四年",   "五年",   "六年"};
    return w;
}

std::optional<GoodsRecord> GoodsStore::load(qint64 rowNo) const
{
    DataSet q(&m_conn);
    q.setSql("select 编号, 名称, 助记码, 类别, 规格, 进货价, 辅助单位, 单位, 换算比率, 辅助库存, 库存, 警戒库存, "
             "保修期, 仓位, 供应商, 条码, 出货价, 备注 from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    GoodsRecord r;
    QString *fields[] = {&r.code,     &r.name,     &r.mnemonic,     &r.category, &r.spec,     &r.purchasePrice,
                         &r.auxUnit,  &r.unit,     &r.ratio,        &r.auxStock, &r.stock,    &r.warningStock,
                         &r.warranty, &r.place,    &r.supplier,     &r.barcode,  &r.salePrice, &r.remark};
    for (int i = 0; i < int(std::size(fields)); ++i)
        *fields[i] = q.fields(i).asString();
    r.code = r.code.trimmed();
    return r;
}

QByteArray GoodsStore::pictureFor(qint64 rowNo) const
{
    DataSet q(&m_conn);
    q.setSql("select 图片, 编号 from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo);
    q.open();
    if (q.isEmpty())
        return {};
    const QByteArray own = q.fields(0).value().toByteArray();
    if (!own.isEmpty())
        return own;
    DataSet item(&m_conn);
    item.setSql("select 图片 from 货品目录 where 编号 = ? and 图片 is not null order by 流水号 limit 1");
    item.addBindValue(q.fields(1).asString().trimmed());
    item.open();
    return item.isEmpty() ? QByteArray() : item.fields(0).value().toByteArray();
}

QStringList GoodsStore::unitNames() const { return LookupStore(m_conn, LookupKind::Units).names(); }

QStringList GoodsStore::placeNames() const { return LookupStore(m_conn, LookupKind::Places).names(); }

QStringList GoodsStore::purchasingSuppliers() const
{
    DataSet q(&m_conn);
    q.setSql("select ID, 单位名称 from 往来单位 where 采购供应商 = ? order by 流水号");
    q.addBindValue(true);
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.fields(0).asString() + '.' + q.fields(1).asString();
    return out;
}

std::optional<GoodsRefusal> GoodsStore::checkLengths(const GoodsRecord &r)
{
    for (const Check &c : kLengths)
        if (gbkLength(textOf(r, c.field)) > c.bytes)
            return refusal(c);
    return std::nullopt;
}

std::optional<GoodsRefusal> GoodsStore::checkRequired(const GoodsRecord &r)
{
    for (const Check &c : kRequired)
        if (c.field == GoodsField::Code ? codeMissing(r.code) : textOf(r, c.field).isEmpty())
            return refusal(c);
    return std::nullopt;
}

std::optional<GoodsRefusal> GoodsStore::checkNumbers(const GoodsRecord &r)
{
    for (const Check &c : kNumbers)
        if (!parseNumber(textOf(r, c.field)))
            return refusal(c);
    return std::nullopt;
}

QString GoodsStore::vanishedText() { return QStringLiteral("该货品已被其他用户删除，修改未保存"); }
QString GoodsStore::ratioAdviceText() { return QStringLiteral("换算比率大于0的整数"); }

bool GoodsStore::codeTaken(const QString &code) const
{
    DataSet q(&m_conn);
    q.setSql("select 1 from 货品目录 where 编号 = ? limit 1");
    q.addBindValue(code);
    q.open();
    return !q.isEmpty();
}

bool GoodsStore::barcodeTaken(const QString &barcode) const
{
    DataSet q(&m_conn);
    q.setSql("select 1 from 货品目录 where 条码 = ? limit 1");
    q.addBindValue(barcode);
    q.open();
    return !q.isEmpty();
}

GoodsStore::Saved GoodsStore::saveNew(const GoodsRecord &in, const QByteArray &pictureBytes)
{
    Saved out;
    GoodsRecord r = in;
    // The code is used without surrounding blanks in every step, as it is stored.
    r.code = r.code.trimmed();
    out.code = r.code;
    Transaction tx(m_conn);
    lockMasterCodes(m_conn, kRule);
    if (!r.code.isEmpty() && codeTaken(r.code))
        r.code = bumpMasterCode(r.code);
    out.code = r.code;
    GoodsRefusal taken;
    if (!r.code.isEmpty() && codeTaken(r.code)) {
        taken.messages << QStringLiteral("编号不能相同！");
        taken.clearCode = true;
        taken.focus = GoodsField::Code;
    }
    if (!r.barcode.isEmpty() && barcodeTaken(r.barcode)) {
        taken.messages << QStringLiteral("条码不能相同！");
        taken.clearBarcode = true;
        if (!taken.clearCode)
            taken.focus = GoodsField::Barcode;
    }
    if (!taken.messages.isEmpty()) {
        out.refusal = taken;
        return out;
    }
    for (auto check : {&GoodsStore::checkRequired, &GoodsStore::checkLengths, &GoodsStore::checkNumbers}) {
        if (auto refused = check(r)) {
            out.refusal = *refused;
            return out;
        }
    }
    r.mnemonic = ChnToPY(r.name);
    DataSet q(&m_conn);
    q.setSql("insert into 货品目录 (编号,名称,规格,类别,单位,警戒库存,进货价,仓位,保修期,备注,条码,供应商,助记码,ID,"
             "库存,辅助单位,辅助库存,出货价,换算比率,图片) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) "
             "returning 流水号");
    for (const QVariant &v :
         QVariantList{r.code, r.name, r.spec, r.category, r.unit, number(r.warningStock), number(r.purchasePrice),
                      r.place, r.warranty, r.remark, r.barcode, r.supplier, r.mnemonic, makeRecordID(),
                      number(r.stock), r.auxUnit, number(r.auxStock), number(r.salePrice),
                      QVariant(parseNumber(r.ratio).value_or(0)), picture(pictureBytes)})
        q.addBindValue(v);
    q.open();
    out.rowNo = q.fields(0).value().toLongLong();
    tx.commit();
    out.ok = true;
    return out;
}

GoodsStore::Saved GoodsStore::saveEdit(qint64 rowNo, const GoodsRecord &r, const QByteArray &pictureBytes)
{
    Saved out;
    out.code = r.code;
    out.rowNo = rowNo;
    if (auto refused = checkLengths(r)) {
        out.refusal = *refused;
        return out;
    }
    Transaction tx(m_conn);
    lockMasterCodes(m_conn, kRule);
    DataSet stored(&m_conn);
    stored.setSql("select 编号, 条码 from 货品目录 where 流水号 = ?");
    stored.addBindValue(rowNo);
    stored.open();
    if (stored.isEmpty()) {
        out.refusal = {{vanishedText()}, GoodsField::Code};
        return out;
    }
    // Only what was changed is checked: rows at other places share the item's own code.
    GoodsRefusal taken;
    if (r.code != stored.fields(0).asString() && codeTaken(r.code)) {
        taken.messages << QStringLiteral("编号不能相同！");
        taken.clearCode = true;
        taken.focus = GoodsField::Code;
    }
    if (!r.barcode.isEmpty() && r.barcode != stored.fields(1).asString() && barcodeTaken(r.barcode)) {
        taken.messages << QStringLiteral("条码不能相同！");
        taken.clearBarcode = true;
        if (!taken.clearCode)
            taken.focus = GoodsField::Barcode;
    }
    if (!taken.messages.isEmpty()) {
        out.refusal = taken;
        return out;
    }
    for (auto check : {&GoodsStore::checkRequired, &GoodsStore::checkNumbers}) {
        if (auto refused = check(r)) {
            out.refusal = *refused;
            return out;
        }
    }
    DataSet q(&m_conn);
    q.setSql("update 货品目录 set 编号=?,名称=?,规格=?,类别=?,单位=?,警戒库存=?,进货价=?,仓位=?,保修期=?,备注=?,"
             "条码=?,供应商=?,助记码=?,辅助单位=?,辅助库存=?,库存=?,出货价=?,换算比率=?,图片=? where 流水号=?");
    for (const QVariant &v :
         QVariantList{r.code, r.name, r.spec, r.category, r.unit, number(r.warningStock), number(r.purchasePrice),
                      r.place, r.warranty, r.remark, r.barcode, r.supplier, r.mnemonic, r.auxUnit,
                      number(r.auxStock), number(r.stock), number(r.salePrice),
                      QVariant(parseNumber(r.ratio).value_or(0)), picture(pictureBytes), rowNo})
        q.addBindValue(v);
    if (q.execSQL() == 0) {
        out.refusal = {{vanishedText()}, GoodsField::Code};
        return out;
    }
    tx.commit();
    out.ok = true;
    return out;
}

int GoodsStore::remove(const QList<qint64> &rowNos)
{
    Transaction tx(m_conn);
    int n = 0;
    Statement del(m_conn, "delete from 货品目录 where 流水号 = ?");
    for (qint64 rowNo : rowNos)
        n += del.exec({rowNo}).numRowsAffected();
    tx.commit();
    return n;
}

} // namespace orv
