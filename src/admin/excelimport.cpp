#include "admin/excelimport.h"
#include "goods/mastercode.h"
#include "common/pinyin.h"
#include "data/dbconnection.h"
#include "ledger/docnumbers.h"
#include "ledger/vouchers.h"
#include "partners/customers.h"

#include <QHash>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>

namespace orv {

namespace {

enum Fill { AsRead, Trimmed };
enum WhenEmpty { Nothing, Zero, One, Code, Mnemonic, Today };

// How an empty value is stored: as the windows store the column, an empty text, or nothing
// where no window writes it.
enum Blank { EmptyText, Null };

struct Spec {
    const char *name;
    Fill fill = AsRead;
    bool number = false;
    WhenEmpty whenEmpty = Nothing;
    Blank blank = EmptyText;
};

struct KindSpec {
    const char *table;
    const char *done;
    QList<Spec> columns;
    int nameColumn;                 // R of the name the mnemonic is made from
    QHash<int, QString> sourceZeros; // sheet columns whose empty cell reads as a value ("" = today)
};

const KindSpec &spec(ImportKind kind)
{
    static const KindSpec goods{
        "货品目录",
        "货品目录数据导入完成!",
        {{"编号", Trimmed, false, Code}, {"名称", Trimmed}, {"规格", Trimmed}, {"类别", Trimmed},
         {"单位", Trimmed}, {"警戒库存", Trimmed, true, Zero}, {"进货价", Trimmed, true, Zero}, {"仓位", Trimmed},
         {"保修期", Trimmed}, {"助记码", AsRead, false, Mnemonic}, {"条码"}, {"库存", Trimmed, true, Zero},
         {"供应商"}, {"备注"}, {"辅助单位"}, {"辅助库存", Trimmed, true, Zero}, {"出货价", Trimmed, true, Zero},
         {"换算比率", Trimmed, true, One}, {"盘点库存", AsRead, false, Nothing, Null}},
        2,
        {{6, "0"}, {7, "0"}, {12, "0"}, {16, "0"}, {17, "0"}, {18, "1"}}};
    static const KindSpec customers{
        "客户目录",
        "客户目录数据导入完成!",
        {{"客户编号", Trimmed, false, Code}, {"客户名称", Trimmed}, {"联系人", Trimmed}, {"联系电话", Trimmed},
         {"传真", Trimmed}, {"Email", Trimmed}, {"地址", Trimmed}, {"邮编", Trimmed}, {"登记时间", Trimmed, false, Today},
         {"税号"}, {"帐号"}, {"备注", Trimmed}, {"乘车路线"}, {"手机号码"}, {"生日", AsRead, false, Nothing, Null},
         {"助记码", Trimmed, false, Mnemonic}, {"备用电话", Trimmed}, {"地域", Trimmed}, {"会员编号"},
         {"客户折扣", AsRead, true, One}},
        2,
        {{9, QString()}, {20, "1"}}};
    static const KindSpec suppliers{
        "往来单位",
        "往来单位数据导入完成!",
        {{"单位名称", Trimmed}, {"联系人", Trimmed}, {"联系电话", Trimmed}, {"传真", Trimmed}, {"地址", Trimmed},
         {"邮编", Trimmed}, {"Email", Trimmed}, {"网址", Trimmed}, {"税号", Trimmed}, {"帐号"}, {"备注"},
         {"QQ", Trimmed}, {"经营范围"}, {"助记码", AsRead, false, Mnemonic}},
        1,
        {}};
    switch (kind) {
    case ImportKind::Goods:
        return goods;
    case ImportKind::Customers:
        return customers;
    case ImportKind::Suppliers:
        break;
    }
    return suppliers;
}

// The codes the import hands out, as the goods and supplier dialogs and the customer dialog do.
NumberRule codeRule(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Goods:
        return goodsCodeRule();
    case ImportKind::Customers:
        return customerCodeRule();
    case ImportKind::Suppliers:
        break;
    }
    return supplierCodeRule();
}

// A date as the operator may have typed or the sheet may hold it; nothing for anything else.
std::optional<QDate> parseDate(const QString &text)
{
    const QString day = text.trimmed().section(' ', 0, 0);
    for (const char *format : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(day, QString::fromLatin1(format));
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

// The plain-number test, and a value that really is one ("1.2.3" passes the test alone).
std::optional<double> parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (!Is_Numeric(t))
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

// VARCHAR(n) columns of a table and their n.
QHash<QString, int> textLimits(Connection &c, const QString &table)
{
    QHash<QString, int> out;
    if (c.isSqlite()) {
        // SQLite keeps the declared type as written; the driver reports no length.
        static const QRegularExpression varchar("^\\s*(?:VARCHAR|CHARACTER VARYING|CHAR)\\s*\\(\\s*(\\d+)\\s*\\)",
                                                QRegularExpression::CaseInsensitiveOption);
        QSqlQuery q(c.db());
        if (q.exec("PRAGMA table_info(" + table + ")"))
            while (q.next()) {
                const auto m = varchar.match(q.value(2).toString());
                if (m.hasMatch())
                    out.insert(q.value(1).toString().toLower(), m.captured(1).toInt());
            }
        return out;
    }
    const QSqlRecord record = c.db().record(table);
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField f = record.field(i);
        if (f.metaType().id() == QMetaType::QString && f.length() > 0)
            out.insert(f.name().toLower(), f.length()); // PostgreSQL folds unquoted names
    }
    return out;
}

// The values of sheet row `row` by target column, defaults applied (a code still to come is
// empty); what keeps a cell from being imported goes to `problems`, in column order.
QStringList rowValues(const KindSpec &k, const QStringList &cells, const QList<int> &source, const QList<int> &limits,
                      int row, const QString &todayText, QList<ImportProblem> &problems)
{
    const int n = int(k.columns.size());
    auto read = [&](int column) {
        if (column <= 0)
            return QString();
        QString v = cells.value(column - 1);
        // What an empty cell of some sheet columns reads as, whichever target they feed.
        if (v.isEmpty() && k.sourceZeros.contains(column)) {
            const QString d = k.sourceZeros.value(column);
            v = d.isEmpty() ? todayText : d;
        }
        return v;
    };
    QStringList values;
    for (int r = 0; r < n; ++r) {
        QString v = read(source[r]);
        if (k.columns[r].fill == Trimmed)
            v = v.trimmed();
        values << v;
    }
    for (int r = 0; r < n; ++r) {
        const Spec &s = k.columns[r];
        QString &v = values[r];
        // Blanks alone count as empty where a number or a default is due.
        const bool empty = (s.number ? v.trimmed() : v).isEmpty();
        switch (s.whenEmpty) {
        case Zero:
            if (empty)
                v = "0";
            break;
        case One:
            if (empty)
                v = "1";
            break;
        case Mnemonic:
            if (empty)
                v = ChnToPY(values[k.nameColumn - 1]);
            break;
        case Today:
            if (const auto d = parseDate(v))
                v = d->toString("yyyy-MM-dd");
            else
                v = todayText;
            break;
        case Code:
        case Nothing:
            break;
        }
        if (s.number && !parseNumber(v))
            problems << ImportProblem{row, r + 1, ImportProblem::NotANumber};
        else if (limits[r] > 0 && v.toUcs4().size() > limits[r])
            problems << ImportProblem{row, r + 1, ImportProblem::TooLong};
    }
    return values;
}

} // namespace

const QStringList &importColumns(ImportKind kind)
{
    static QHash<int, QStringList> cache;
    QStringList &names = cache[int(kind)];
    if (names.isEmpty())
        for (const Spec &s : spec(kind).columns)
            names << QString::fromUtf8(s.name);
    return names;
}

QString importTable(ImportKind kind) { return QString::fromUtf8(spec(kind).table); }
QString importDoneText(ImportKind kind) { return QString::fromUtf8(spec(kind).done); }

QString ImportProblem::text() const
{
    return QString("导入数据的时候第%1行第%2列%3").arg(sheetRow).arg(column).arg(kind == TooLong ? "数据太长" : "数据格式不正确");
}

namespace {
// While it lives, the sheet's reading reports to `progress`, which may cancel it.
class SheetWatch {
public:
    SheetWatch(SheetReader &sheet, const std::function<bool(double)> &progress) : m_sheet(sheet)
    {
        if (progress)
            sheet.setWatch([&progress](double done) {
                if (!progress(done))
                    throw ImportCancelled();
            });
    }
    ~SheetWatch() { m_sheet.setWatch({}); }
    SheetWatch(const SheetWatch &) = delete;
    SheetWatch &operator=(const SheetWatch &) = delete;

private:
    SheetReader &m_sheet;
};
} // namespace

QStringList sheetTitles(SheetReader &sheet, const std::function<bool(double)> &progress)
{
    const SheetWatch watch(sheet, progress);
    const QStringList first = sheet.row(1);
    QStringList titles;
    for (int c = 0; c < kMaxTitles && c < first.size() && !first[c].isEmpty(); ++c)
        titles << first[c];
    return titles;
}

QStringList defaultMapping(ImportKind kind, SheetReader &sheet)
{
    const QStringList first = sheet.row(1);
    QStringList out;
    for (int r = 1; r <= importColumns(kind).size(); ++r)
        out << first.value(r - 1);
    return out;
}

ImportOutcome ExcelImport::run(SheetReader &sheet, const QStringList &titles, const QStringList &mapping,
                               bool firstRowTitles, const QDate &today, const ImportProgress &progress)
{
    const KindSpec &k = spec(m_kind);
    const int n = int(k.columns.size());
    const QString todayText = today.toString("yyyy-MM-dd");

    // Which sheet column feeds each target column: the first title equal to the one chosen; the
    // empty title stands for the column after the titled ones.
    QStringList list = titles.mid(0, kMaxTitles);
    list << QString();
    QList<int> source(n, 0);
    for (int r = 0; r < n; ++r) {
        const int at = int(list.indexOf(r < mapping.size() ? mapping[r] : QString()));
        source[r] = at >= 0 ? at + 1 : 0;
    }
    // The declared lengths of the target's text columns, in characters: refused here on both
    // databases, with the row and column (PostgreSQL would refuse them at the insert).
    const QHash<QString, int> declared = textLimits(m_conn, importTable(m_kind));
    QList<int> limits(n, 0);
    for (int r = 0; r < n; ++r)
        limits[r] = declared.value(QString::fromUtf8(k.columns[r].name).toLower(), 0);

    QStringList columns = importColumns(m_kind);
    const bool withId = m_kind != ImportKind::Customers;
    if (withId)
        columns << "ID";
    QString marks = "?";
    for (int i = 1; i < columns.size(); ++i)
        marks += ",?";
    Statement insert(m_conn, QString("insert into %1(%2) values(%3)").arg(importTable(m_kind), columns.join(','), marks));

    // The operator's cancel reaches the reading of the sheet, wherever it stands.
    const SheetWatch watch(sheet, progress);

    ImportOutcome out;
    try {
        Transaction tx(m_conn);
        DocNumbers codes(m_conn, codeRule(m_kind));
        for (int row = firstRowTitles ? 2 : 1;; ++row) {
            const QStringList cells = sheet.row(row);
            if (cells.value(0).isEmpty())
                break;
            QStringList values = rowValues(k, cells, source, limits, row, todayText, out.problems);
            if (!out.problems.isEmpty()) {
                out.rows = 0;
                return out; // the transaction goes, and every row before with it
            }
            QVariantList binds;
            for (int r = 0; r < n; ++r) {
                const Spec &s = k.columns[r];
                QString &v = values[r];
                if (s.whenEmpty == Code && v.isEmpty())
                    v = codes.next();
                if (s.number && m_kind == ImportKind::Goods && r == 17)
                    binds << *parseNumber(v); // 换算比率 is kept as it is given
                else if (s.number)
                    binds << round4(*parseNumber(v));
                else if (v.isEmpty())
                    binds << (s.blank == Null ? QVariant(QMetaType::fromType<QString>()) : QVariant(QString("")));
                else
                    binds << v;
            }
            if (m_kind == ImportKind::Suppliers)
                binds << codes.next();
            else if (m_kind == ImportKind::Goods)
                binds << makeRecordID(); // as every goods row the program writes
            insert.exec(binds);
            ++out.rows;
            // Rows written to a slow database move the sheet on slowly: the operator still sees
            // the work and can stop it between two rows.
            if (progress && !progress(sheet.progress()))
                throw ImportCancelled();
        }
        // The last word before the commit: the operator may still cancel.
        if (progress && !progress(1.0))
            throw ImportCancelled();
        tx.commit();
    } catch (const ImportCancelled &) {
        out.rows = 0;
        out.cancelled = true;
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace orv
