#pragma once
// Opens a scratch database for a benchmark: SQLite in a temporary folder, or the
// PostgreSQL server of ORV_TEST_PG_HOST (a throwaway database) when argv[1] is "pg".
#include "data/datamodule.h"
#include "data/schema.h"
#include "common/paths.h"
#include "ledger/stockmodel.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orv::bench {


} // namespace orv::bench
