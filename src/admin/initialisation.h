#pragma once
// The company record (基本信息, the one row that titles printed documents) and the emptying of
// chosen groups of tables so that the system can start afresh. Both happen in one transaction:
// every chosen table is emptied and the record saved, or nothing is.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;

struct CompanyRecord {
    qint64 rowNo = 0; // 流水号; 0: no row yet
    QString name;     // 公司名称
    QString phone;    // 公司电话
    QString address;  // 公司地址
    QString fax;      // 公司传真
    QString postcode; // 公司邮编
    QString users;    // 用户数, shown nowhere, written back as read
    QString shortName; // 公司简称
    QString business;  // 主营业务
    bool printSignature = false; // 打印签单
};

// A group of tables emptied together, named by its box (CheckBoxN) and caption.
struct TableGroup {
    int box;
    QString caption;
    QStringList tables; // in the order they are emptied
};

// The twenty groups in the order they are tested and emptied.
const QList<TableGroup> &initialisationGroups();

class CompanyStore {
public:
    explicit CompanyStore(Connection &c) : m_conn(c) {}

    // The first row, as every reader of the record takes it.
    std::optional<CompanyRecord> first() const;

    // Empties the table groups of the ticked boxes (box numbers; one without a group empties
    // nothing), then the record: inserted with today's 初始化日期 when it has no row yet,
    // otherwise updated (初始化日期 stays). One transaction. Returns the record's 流水号.
    qint64 initialise(const QList<int> &tickedBoxes, const CompanyRecord &record);

private:
    Connection &m_conn;
};

} // namespace orv
