#include "goods/lookupschema.h"
#include "data/schema.h"

namespace orv {

void registerGoodsLookupSchema()
{
    // Category codes are four-digit texts handed out by the program; the unique index
    // is the last guard should two writers ever meet on one code.
    Schema::addTables("lookups", 1,
                      {{"类别目录",
                        "create table 类别目录 (流水号 VARCHAR(10) NOT NULL, 类别 TEXT, 父项 TEXT, 级别 VARCHAR(10))",
                        {"create unique index ix_类别目录_流水号 on 类别目录(流水号)"}},
                       {"单位", "create table 单位 (流水号 {ID}, 单位名称 VARCHAR(200))"},
                       {"仓位目录", "create table 仓位目录 (流水号 {ID}, 仓位 VARCHAR(200))"},
                       {"客户地域", "create table 客户地域 (流水号 {ID}, 地域 VARCHAR(200))"}});
}

} // namespace orv
