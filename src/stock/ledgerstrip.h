#pragma once
// The top strip both in/out ledgers open with: "统计日期：" from … "至" … to, "货品信息：" with the
// goods field and text, "查询", "高级统计分析" and "导出". Typing in the goods text asks for a
// new query once typing pauses (kTypingPause), not on every key; Enter and "查询" ask at once.
#include "stock/ledgerfilter.h"

#include <QObject>

class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLineEdit;
class QTimer;
class QToolButton;
class QWidget;

namespace orv {

class LedgerStrip : public QObject {
    Q_OBJECT
public:
    static constexpr int kTypingPause = 250; // milliseconds

    explicit LedgerStrip(QWidget *window);

    QHBoxLayout *layout() const { return m_layout; }
    // The period: the first day of this month to today.
    void setDefaultPeriod();
    QDate from() const;
    QDate to() const;
    LedgerGoods goods() const;
    bool typingPending() const;

    QDateEdit *fromDate;        // DateTimePicker1
    QDateEdit *toDate;          // DateTimePicker2
    QComboBox *goodsField;      // ComboBox1
    QLineEdit *goodsEdit;       // Edit1
    QToolButton *searchButton;  // SpeedButton1 查询
    QToolButton *filterButton;  // SpeedButton3 高级统计分析
    QToolButton *exportButton;  // SpeedButton2 导出

signals:
    void searchRequested();
    void goodsFieldChosen(int item);

private:
    void searchNow();
    QHBoxLayout *m_layout;
    QTimer *m_typing;
};

} // namespace orv
