#pragma once
// The seven internal document kinds (gDocKind 1 to 7: workshop requisition, finished-goods
// receipt, defect rework, loss report, lending, return of lent goods, company gift) and
// everything that differs between them: tables, number prefix, direction, header columns,
// the voucher, the entry window's layout, the menu entries, the list and the print. Every
// part of the program that depends on the kind reads it here.
//
// Header-only: the receipt's direct issue numbers its requisition through internalDocNumbers()
// without linking the warehouse library.
#include "ledger/docnumbers.h"

namespace orv {

enum class InternalDirection {
    Out,     // posted at once, stock lowered
    In,      // posted at once, stock raised (a missing goods row created)
    Pending, // saved '待审核' without stock or voucher; its audit posts it
};

// A header column filled from a field of the entry window (its control name).
struct InternalField {
    const char *column = nullptr;
    const char *control = nullptr;
};

// A signature line of the print (Memo28 .. Memo31): the caption and the header column whose
// value follows it. No caption: the template's own text stays.
struct InternalSignature {
    const char *caption = nullptr;
    const char *column = nullptr;
};

struct InternalKind {
    int kind;
    const char *caption; // the entry window's caption and title
    const char *header, *lines, *prefix;
    InternalDirection direction;
    // Header columns besides the common ones: the operator (ComboBox2), the party (ComboBox5),
    // its code (Edit8), and the staff columns in the order they are written.
    const char *operatorColumn, *partyColumn, *codeColumn;
    InternalField staff[4];
    // 引用类别 and 原因 of the voucher (the loss report's is its approval's).
    const char *reason;
    // The operation a short out line names: "第n行库存不足不能进行" + it + "操作".
    const char *shortage;
    // A goods row created by an in line gets 警戒库存 = its quantity.
    bool warningStockOnNewRow;

    // The entry window: its header rows (control names, in keyboard order), the labels that
    // differ from the designed ones (none: as designed), the checker's label left alone without
    // its field, and the two import buttons.
    const char *rows[3][5];
    const char *partyLabel, *clerkLabel, *codeLabel, *salesmanLabel;
    bool checkerLabelAlone;
    bool imports;

    // The menu entries that open the entry window and the list.
    const char *entryItem, *listItem;

    // The list: caption, print button caption, and the columns between 摘要 and 是否红冲.
    const char *listCaption, *printButtonCaption, *listColumns;

    // The print: title after the company name, party caption, Memo28 .. Memo31.
    const char *printTitle, *printParty;
    InternalSignature signatures[4];
};

inline constexpr InternalKind kInternalKinds[] = {
    {1, "车间领用", "车间领用", "车间领用明细", "NBLY-", InternalDirection::Out,
     "经办人", "领用部门", "部门编号",
     {{"部门经理", "Edit4"}, {"领用员", "ComboBox6"}, {"发货员", "ComboBox7"}, {"复核员", "ComboBox10"}},
     "车间领用", "车间领用", false,
     {{"EditStoreNo", "ComboBox2", "ComboBox6", "ComboBox7", "ComboBox10"},
      {"ComboBox5", "Edit4", "Edit8", "Edit5"},
      {"Edit1Date"}},
     "领用单位:", "经办人：", nullptr, nullptr, false, true,
     "N18", "N25",
     "车间领用单", "车间领用单", "部门经理,部门编号 as 单位编号,领用员,发货员,复核员",
     "内部领用单", "领用单位:",
     {{"部门经理:", "部门经理"}, {"领用员:", "领用员"}, {"发货员:", "发货员"}, {"复核员:", "复核员"}}},
    {2, "成品入库", "成品入库单", "成品入库明细", "CPRK-", InternalDirection::In,
     "开单员", "相关单位", "单位编号",
     {{"部门经理", "Edit4"}, {"送货员", "ComboBox8"}, {"复核员", "ComboBox10"}},
     "成品入库", nullptr, false,
     {{"EditStoreNo", "ComboBox2", "ComboBox8", "ComboBox10", "Edit1Date"},
      {"ComboBox5", "Edit4", "Edit8", "Edit5"}},
     "相关单位:", nullptr, nullptr, nullptr, false, false,
     "N19", "N26",
     "成品入库单", "成品入库单", "部门经理,单位编号,送货员,复核员",
     "成品入库单", "相关单位:",
     {{"部门经理:", "部门经理"}, {"开单员:", "开单员"}, {"送货员:", "送货员"}, {"复核员:", "复核员"}}},
    {3, "次品返工", "次品返工单", "次品返工明细", "CPFG-", InternalDirection::Out,
     "开单员", "相关单位", "单位编号",
     {{"部门经理", "Edit4"}, {"送货员", "ComboBox8"}, {"复核员", "ComboBox10"}},
     "次品返工", "次品返工", false,
     {{"EditStoreNo", "ComboBox2", "ComboBox8", "ComboBox10", "Edit1Date"},
      {"ComboBox5", "Edit4", "Edit8", "Edit5"}},
     "部门信息:", nullptr, nullptr, nullptr, false, false,
     "N21", "N28",
     "次品返工单", "次品返工单", "部门经理,单位编号,送货员,复核员",
     "次品返工单", "返回部门:",
     {{"部门经理:", "部门经理"}, {"开单员:", "开单员"}, {"送货员:", "送货员"}, {"复核员:", "复核员"}}},
    {4, "货品报损", "货品报损单", "货品报损明细", "HPBS-", InternalDirection::Pending,
     "开单员", "报损部门", "部门编号",
     {{"部门经理", "Edit4"}, {"财务", "ComboBox9"}},
     "货品报损", nullptr, false,
     {{"EditStoreNo", "ComboBox2", "ComboBox9", "Edit1Date"},
      {"ComboBox5", "Edit4", "Edit8", "Edit5"}},
     "相关单位:", nullptr, nullptr, nullptr, true, false,
     "N22", "N29",
     "货品报损单", "货品报损单", "部门经理,部门编号 as 单位编号,财务,复核员",
     "货品报损单", "报损部门:",
     {{"报损部门:", "报损部门"}, {}, {"财务:", "财务"}, {"负责人:", "开单员"}}},
    {5, "货品借出", "借出单", "借出单明细", "HPJC-", InternalDirection::Out,
     "开单员", "借出单位", "单位编号",
     {{"借出员", "ComboBox4"}, {"发货员", "ComboBox7"}, {"开票员", "ComboBox11"}, {"复核员", "ComboBox10"}},
     "货品借出", "借出", false,
     {{"EditStoreNo", "ComboBox2", "ComboBox7", "ComboBox4"},
      {"ComboBox5", "Edit8", "ComboBox10", "ComboBox11"},
      {"Edit1Date", "Edit5"}},
     "借出单位：", nullptr, "单位编号：", "借出员：", false, false,
     "N43", "N46",
     "借出单", "货品借出单", "单位编号,借出员,发货员,开票员,复核员",
     "借出单", "借出单位:",
     {{"借出员:", "借出员"}, {"发货员:", "发货员"}, {"开票员:", "开票员"}, {"复核员:", "复核员"}}},
    {6, "货品归还", "归还单", "归还单明细", "HPGH-", InternalDirection::In,
     "开单员", "归还单位", "单位编号",
     {{"归还员", "ComboBox4"}, {"发货员", "ComboBox7"}, {"开票员", "ComboBox11"}, {"复核员", "ComboBox10"}},
     "货品归还", nullptr, true,
     {{"EditStoreNo", "ComboBox2", "ComboBox7", "ComboBox4"},
      {"ComboBox5", "Edit8", "ComboBox10", "ComboBox11"},
      {"Edit1Date", "Edit5"}},
     "归还单位：", nullptr, "单位编号：", "归还员：", false, false,
     "N44", "N47",
     "归还单", "货品归还单", "单位编号,归还员,发货员,开票员,复核员",
     "归还单", "还回单位:",
     {{"还回人:", "归还员"}, {"发货员:", "发货员"}, {"开票员:", "开票员"}, {"复核员:", "复核员"}}},
    {7, "公司赠送", "赠送单", "赠送明细", "HPZS-", InternalDirection::Out,
     "开单员", "赠送单位", "单位编号",
     {{"送货员", "ComboBox8"}, {"发货员", "ComboBox7"}, {"开票员", "ComboBox11"}, {"复核员", "ComboBox10"}},
     "货品赠送", "赠送", false,
     {{"EditStoreNo", "ComboBox2", "ComboBox7", "ComboBox8"},
      {"ComboBox5", "Edit8", "ComboBox10", "ComboBox11"},
      {"Edit1Date", "Edit5"}},
     "赠送单位：", nullptr, "单位编号：", nullptr, false, false,
     "N36", "N41",
     "赠送单", "公司赠送单", "单位编号,送货员,发货员,开票员,复核员",
     "公司赠送单", "赠送单位:",
     {{"开票员:", "开票员"}, {"发货员:", "发货员"}, {"复核员:", "复核员"}, {"送货员:", "送货员"}}},
};

// The kind 1 to 7; throws DbError for another.
inline const InternalKind &internalKind(int kind)
{
    for (const InternalKind &k : kInternalKinds)
        if (k.kind == kind)
            return k;
    throw DbError(QString("未知的单据类别：%1").arg(kind));
}

// The number series of an internal kind (1 to 7); throws DbError for another kind.
inline NumberRule internalDocNumbers(int kind)
{
    const InternalKind &k = internalKind(kind);
    return {QString::fromUtf8(k.header), "单据编号", QString::fromUtf8(k.prefix)};
}

} // namespace orv
