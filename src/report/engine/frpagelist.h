#pragma once
// The page list typed in the print dialog ("1,3,5-12") and the order in which
// prepared pages go to the printer for a number of copies, collation and the
// odd/even choice.
#include <QList>
#include <QString>

class TfrPageList {
public:
    // Blanks are ignored; an empty text selects every page. A trailing "-"
    // extends the last range to the last page (pageCount). A range from a
    // higher to a lower number selects nothing. Text that Check refuses
    // selects nothing.
    static TfrPageList Parse(const QString &text, int pageCount);
    // False, with the message to show, for a list holding anything but digits,
    // ",", "-" and blanks, or a range without a start, or without an end
    // before a ",", or a range running into a second "-".
    static bool Check(const QString &text, QString *message = nullptr);

    bool All() const { return m_all; }
    bool Contains(int pageNo) const;   // 1-based page number

private:
    struct Range {
        int First, Last;
    };
    bool m_all = false;
    QList<Range> m_ranges;
};

// What to print: pages as typed, copies, collation and odd (1) / even (2) page numbers only.
struct TfrPrintRequest {
    QString PageNumbers;
    int Copies = 1;
    bool Collate = true;
    quint8 PrintPages = 0;
};

struct TfrPrintPlan {
    QList<int> Pages;        // 0-based page indices in the order they are printed
    int DeviceCopies = 1;    // copies the device is asked to make of each sheet
};

// Copies below 1 count as 1. With collation the selected pages run Copies
// times with one device copy; without, the device makes the copies when it
// can, otherwise each page is repeated Copies times in a row.
TfrPrintPlan frPrintPlan(const TfrPrintRequest &request, int pageCount, bool deviceMakesCopies);
