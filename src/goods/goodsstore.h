#pragma once
// Goods rows (货品目录) as the goods dialogs keep them: the next goods code, the saves of the new
// goods dialog and of the goods edit dialog with their checks in order, and deletes.
//
//   GoodsStore g(conn);
//     g.saveNew(record, picture) the code under the number lock inside the saving transaction: a
//                                taken code is bumped once, a code still taken is refused; row and
//                                picture in one statement
//     g.saveEdit(rowNo, record, picture)  uniqueness checked only for a changed 编号 / 条码; row
//                                and picture in one statement; a row deleted meanwhile is reported
//     g.remove(rowNos)           all of them or none
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;

// The dialogs' fields, as typed.
struct GoodsRecord {
    QString code;          // 编号
    QString name;          // 名称
    QString mnemonic;      // 助记码 (拼音码)
    QString category;      // 类别
    QString spec;          // 规格
    QString purchasePrice; // 进货价
    QString auxUnit;       // 辅助单位
    QString unit;          // 单位
    QString ratio;         // 换算比率
    QString auxStock;      // 辅助库存
    QString stock;         // 库存
    QString warningStock;  // 警戒库存
    QString warranty;      // 保修期
    QString place;         // 仓位
    QString supplier;      // 供应商
    QString barcode;       // 条码
    QString salePrice;     // 出货价
    QString remark;        // 备注
};

// The fields in keyboard order.
enum class GoodsField { Code, Name, Mnemonic, Category, Spec, PurchasePrice, AuxUnit, Unit, Ratio, AuxStock, Stock,
                        WarningStock, Warranty, Place, Supplier, Barcode, SalePrice, Remark };

struct GoodsRefusal {
    QStringList messages;  // shown one after another
    GoodsField focus = GoodsField::Code;
    bool clearCode = false;    // "编号不能相同！": the field is emptied
    bool clearBarcode = false; // "条码不能相同！"
};

class GoodsStore {
public:
    explicit GoodsStore(Connection &c) : m_conn(c) {}

    // The warranty choices.
    static const QStringList &warranties();

    // The row for the edit dialog; nullopt when no row has that 流水号.
    std::optional<GoodsRecord> load(qint64 rowNo) const;
    // The picture the edit dialog shows: the row's own, else that of the first row carrying the
    // same 编号 (the item's picture kept at another place); empty when there is none.
    QByteArray pictureFor(qint64 rowNo) const;

    // Choices of the dialogs' drop-down lists.
    QStringList unitNames() const;
    QStringList placeNames() const;
    QStringList purchasingSuppliers() const; // ID + "." + 单位名称 of the rows with 采购供应商

    struct Saved {
        bool ok = false;
        QString code; // the code as the field should now show it (bumped, trimmed)
        qint64 rowNo = 0;
        GoodsRefusal refusal;
    };
    // 助记码 is made from the name here, whatever the record holds.
    Saved saveNew(const GoodsRecord &r, const QByteArray &picture);
    // An empty picture clears the stored one.
    Saved saveEdit(qint64 rowNo, const GoodsRecord &r, const QByteArray &picture);

    // Deletes the rows in one transaction; returns how many went.
    int remove(const QList<qint64> &rowNos);

    static std::optional<GoodsRefusal> checkLengths(const GoodsRecord &r);
    static std::optional<GoodsRefusal> checkRequired(const GoodsRecord &r);
    // A filled number field that is not a number (a lone "." for instance).
    static std::optional<GoodsRefusal> checkNumbers(const GoodsRecord &r);

    static QString vanishedText();
    static QString ratioAdviceText();

private:
    bool codeTaken(const QString &code) const;
    bool barcodeTaken(const QString &barcode) const;
    Connection &m_conn;
};

} // namespace orv
