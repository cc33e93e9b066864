#include "app/menutree.h"

namespace orv {

const QList<MenuItemDef> &menuTree()
{
    static const QList<MenuItemDef> tree = {
        {"", "File1", "系统维护", 0, true},
        {"File1", "FileNewItem", "系统初始化", 1},
        {"File1", "N2", "-", 0},
        {"File1", "FileOpenItem", "数据备份", 44},
        {"File1", "FileCloseItem", "数据恢复", 45},
        {"File1", "FileSaveItem", "数据导入", 46},
        {"File1", "FileSaveAsItem", "数据库配置", 0},
        {"File1", "N1", "-", 0},
        {"File1", "N4", "权限设置", 2},
        {"File1", "N5", "操作员管理", 3},
        {"File1", "N6", "密码修改", 4},
        {"File1", "N3", "-", 0},
        {"File1", "N50", "系统日志", 50},
        {"File1", "FileExitItem", "退出系统", 0},

        {"", "Edit1", "基础信息", 0, true},
        {"Edit1", "N10", "基础数据", 5, true},
        {"N10", "N56", "客户地域", 0},
        {"N10", "N57", "仓位目录", 0},
        {"N10", "N58", "常见单位", 0},
        {"Edit1", "CutItem", "客商管理", 0, true},
        {"CutItem", "N7", "客户目录", 6},
        {"CutItem", "N8", "供应商目录", 7},
        {"Edit1", "CopyItem", "部门资料", 8},
        {"Edit1", "PasteItem", "人员目录", 9},
        {"Edit1", "N9", "类别目录", 49},

        {"", "Window1", "采购管理", 0, true},
        {"Window1", "WindowCascadeItem", "采购订货", 10},
        {"Window1", "WindowTileItem", "采购审核", 11},
        {"Window1", "N12", "-", 0},
        {"Window1", "WindowTileItem2", "验收入库", 12},
        {"Window1", "N13", "-", 0},
        {"Window1", "WindowMinimizeItem", "进货退货", 13},
        {"Window1", "N48", "进货退货审核", 47},
        {"Window1", "N14", "-", 0},
        {"Window1", "WindowArrangeItem", "采购订单", 14},
        {"Window1", "N15", "采购单", 15},
        {"Window1", "N16", "采购入库单", 16},
        {"Window1", "N17", "进货退货单", 17},

        {"", "Help1", "仓库管理", 0, true},
        {"Help1", "HelpAboutItem", "货品库存", 18},
        {"Help1", "N11", "-", 0},
        {"Help1", "N18", "车间领用", 19},
        {"Help1", "N19", "成品入库", 20},
        {"Help1", "N20", "车间调拨", 21},
        {"Help1", "N21", "次品返工", 22},
        {"Help1", "N22", "货品报损", 23},
        {"Help1", "N49", "货品报损审核", 48},
        {"Help1", "N55", "仓库调拨", 54},
        {"Help1", "N23", "货品盘点", 24},
        {"Help1", "N24", "-", 0},
        {"Help1", "N25", "内部领用单", 25},
        {"Help1", "N26", "成品入库单", 26},
        {"Help1", "N27", "车间调拨单", 27},
        {"Help1", "N28", "次品返工单", 28},
        {"Help1", "N29", "货品报损单", 29},
        {"Help1", "N60", "仓库调拨单", 55},
        {"Help1", "N30", "货品盘点单", 30},

        {"", "N31", "销售管理", 0, true},
        {"N31", "N32", "销售订货", 31},
        {"N31", "N33", "销售订单审核", 32},
        {"N31", "N54", "销售开单", 0},
        {"N31", "N34", "销售退货", 33},
        {"N31", "N35", "销售退货审核", 34},
        {"N31", "N36", "货品赠送", 35},
        {"N31", "N37", "-", 0},
        {"N31", "N38", "销售订单", 36},
        {"N31", "N39", "销售单", 37},
        {"N31", "N40", "销售退货单", 38},
        {"N31", "N41", "公司赠送单", 39},

        {"", "N42", "借入借出管理", 0, true},
        {"N42", "N43", "货品借出", 40},
        {"N42", "N44", "货品归还", 41},
        {"N42", "N45", "-", 0},
        {"N42", "N46", "货品借出单", 42},
        {"N42", "N47", "货品归还单", 43},

        {"", "N51", "统计分析", 0, true},
        {"N51", "N52", "出入库汇总帐", 52},
        {"N51", "N53", "出入库明细帐", 53},

        {"", "N59", "服务支持", 0},
    };
    return tree;
}

bool menuEntryVisible(const QString &name, int flag, const QString &flagText)
{
    if (name == QLatin1String("N35"))
        return false;
    if (flag == 0)
        return true;
    return flagText == QLatin1String("True");
}

} // namespace orv
