#pragma once
// The system log (日志): one row per login and per confirmed exit, read newest first.
#include <QList>
#include <QString>

namespace orv {

class Connection;

struct LogRow {
    qint64 rowNo = 0; // 流水号
    QString time;     // 时间
    QString user;     // 用户
    QString event;    // 事件
};

class LogStore {
public:
    explicit LogStore(Connection &c) : m_conn(c) {}
    int count() const;
    // Newest first by 时间; rows of the same second in the order they were written, newest first.
    QList<LogRow> rows() const;
    void remove(qint64 rowNo);
    void clear();

private:
    Connection &m_conn;
};

} // namespace orv
