#include "partners/partnersschema.h"
#include "partners/customers.h"
#include "data/schema.h"
#include "ledger/docnumbers.h"

namespace orv {

void registerPartnersSchema()
{
    // 客户目录 keeps its column order: the Excel import labels and fills its columns by position.
    Schema::addTables(
        "partners", 1,
        {{"部门资料",
          "create table 部门资料 (流水号 {ID}, 部门编号 VARCHAR(200), 部门名称 VARCHAR(200), "
          "联系电话 VARCHAR(200), 职能 VARCHAR(200), 备注 VARCHAR(3000), 助记码 VARCHAR(200), "
          "部门经理 VARCHAR(200))",
          {"create index ix_部门资料_部门编号 on 部门资料 (部门编号)"}},
         {"员工目录",
          "create table 员工目录 (流水号 {ID}, 部门 VARCHAR(200), 工号 VARCHAR(50), 姓名 VARCHAR(200), "
          "性别 VARCHAR(4), 出生年月 VARCHAR(50), 籍贯 VARCHAR(50), 身份证号 VARCHAR(50), 电话 VARCHAR(50), "
          "手机 VARCHAR(50), 底薪 {MONEY} DEFAULT 0, 津贴 {MONEY} DEFAULT 0, 住址 VARCHAR(100), 备注 TEXT, "
          "技术员 {BOOL} DEFAULT FALSE, 仓库管理员 {BOOL} DEFAULT FALSE, 业务员 {BOOL} DEFAULT FALSE, "
          "回访员 {BOOL} DEFAULT FALSE, \"结算/出纳\" {BOOL} DEFAULT FALSE, 领料员 {BOOL} DEFAULT FALSE, "
          "报价员 {BOOL} DEFAULT FALSE, 开票员 {BOOL} DEFAULT FALSE, 发货员 {BOOL} DEFAULT FALSE, "
          "复核员 {BOOL} DEFAULT FALSE, 送货员 {BOOL} DEFAULT FALSE, 验收员 {BOOL} DEFAULT FALSE, "
          "收货员 {BOOL} DEFAULT FALSE, 销售员 {BOOL} DEFAULT FALSE, 接车提成公式 TEXT)",
          {"create index ix_员工目录_工号 on 员工目录 (工号)"}},
         {"客户目录",
          "create table 客户目录 (流水号 {ID}, 客户编号 VARCHAR(100), 客户名称 VARCHAR(200), "
          "联系人 VARCHAR(200), 联系电话 VARCHAR(200), 传真 VARCHAR(200), Email VARCHAR(200), "
          "地址 VARCHAR(100), 邮编 VARCHAR(100), 登记时间 {DATE}, 税号 VARCHAR(100), 帐号 VARCHAR(100), "
          "备注 VARCHAR(3000), 乘车路线 VARCHAR(250), 手机号码 VARCHAR(50), 生日 VARCHAR(50), "
          "助记码 VARCHAR(200), 备用电话 VARCHAR(100), 地域 VARCHAR(200), 会员编号 VARCHAR(200), "
          "客户折扣 {MONEY})",
          // The day's last KH code is found through the first index; codes are compared through the second.
          {documentNoIndex(customerCodeRule()), "create index ix_客户目录_客户编号 on 客户目录 (客户编号)"}}});
}

} // namespace orv
