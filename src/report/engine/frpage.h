#pragma once
// Template pages of a report: paper, margins, columns, dialog-page settings,
// the page script and the objects placed on the page.
#include "report/engine/frobject.h"
#include "report/engine/frprinter.h"
#include "report/engine/frview.h"

#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

class TfrReport;
class TfrBand;
class QDialog;
class IfrDataSource;

enum TfrPageType { ptReport = 0, ptDialog = 1 };
enum TfrDialogBorder { bsSizeable = 2, bsDialog = 3 };
enum TfrDialogPosition { poDesigned = 0, poScreenCenter = 4 };

class TfrPage : public TfrObject {
public:
    // A report page with the given paper (applied through the printer layer).
    TfrPage(int size, int width, int height, int bin, int orientation);
    ~TfrPage() override;

    // Paper: code, size in tenths of a millimetre (as oriented), bin, orientation.
    qint32 pgSize = 9;
    qint32 pgWidth = 0, pgHeight = 0;
    qint32 pgBin = frDefaultBin;
    int pgOr = poPortrait;
    // Stored margins in engine units; 0 means the printer's unprintable border.
    qint32 MarginLeft = 54, MarginTop = 72, MarginRight = 54, MarginBottom = 54;
    bool UseMargins = true;            // false: the page stretches to the printable area
    bool PrintToPrevPage = false;
    qint32 ColCount = 1;
    qint32 ColGap = 0;
    qint32 ColWidth = 0;               // computed at build time, never stored
    TfrPageType PageType = ptReport;
    QString Name;
    bool Visible = true;
    // Dialog pages.
    quint8 BorderStyle = bsDialog;
    QString Caption = QStringLiteral("Form");
    qint32 Color = clBtnFace;
    qint32 DialogLeft = 220, DialogTop = 120, DialogWidth = 380, DialogHeight = 300;
    quint8 Position = poScreenCenter;
    QStringList Script;
    TfrPrinterMetrics PrnInfo;
    // Extra height kept free above the bottom margin while a report is built
    // (the page footer's); set by the build.
    int FooterReserve = 0;

    QList<TfrView *> Objects;          // owned, in list order

    // Margins measured from the page's top-left corner (engine units).
    int LeftMargin() const;
    int TopMargin() const;
    int RightMargin() const;
    int BottomMargin() const;

    // Asks the printer layer for this paper and takes what it gives.
    void ChangePaper(int size, int width, int height, int bin, int orientation);

    TfrView *FindObject(const QString &name) const;  // without regard to case
    int FindObjectByID(int id) const;
    void Clear();
    void Delete(int index);
    // Appends an object; the page takes ownership.
    void Add(TfrView *view);

    // "Page" + the first number from 1 to 10000 that no page of the report uses.
    static QString CreateUniqueName(const TfrReport *report);

    // One page record (after its code byte), in the layout of StreamVersion.
    void LoadFromStream(QIODevice &s);
    void SaveToStream(QIODevice &s) const;

    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DefinePropList() override;

    // --- build (see frbuild.h for the run-time bands)
    // Band chains, one per band type 0..22 (each the first band of its chain; owned).
    TfrBand *Bands[23] = {};
    bool Initialized = false;
    bool Skip = false;                // printed only as a sub-report
    int Mode = 0;                     // 0 normal, 1 sub-report: bands are recorded
    int CurColumn = 0;
    int ColumnTopY = 0;
    int ShiftX = 0;
    int CurY = 0;
    int BottomLimit = 0;
    int CrossColumn = 1;              // COLUMN#
    int RecordNo = 1;                 // CURRENT#
    TfrBand *LastPrintedBand = nullptr;
    bool DisableRepeatHeader = false;
    bool SummaryPrinting = false;     // the column footer's height counts as 0
    TfrBand *WaitingBand = nullptr;
    struct RecordEntry { TfrBand *Band; quint8 Action; }; // 0 print, 1 first record, 2 next record
    QList<RecordEntry> RecordList;
    int ReplayIndex = 0;
    int PageNumber = 0;               // 1-based number in the report

    void InitReport();
    void PrepareObjects();
    void DoneReport();
    void FormPage();
    void DoLoop(int level);
    void ShowBand(TfrBand *band);
    // Prints the first band whose band object has that name (case-insensitive) once;
    // an unknown name prints nothing.
    void ShowBandByName(const QString &name);
    void NewPage();
    void NewColumn(TfrBand *band);
    void EndPage();
    bool PlayRecList();
    // Compiles and runs script lines (the page's); errors are recorded as build errors.
    void RunScript(const QStringList &lines);
    QDialog *DialogForm() const { return m_dialog; }   // a dialog page's form while it is built
    // The band of a type that holds a band object named so, or null.
    TfrBand *FindBand(const QString &name) const;
    // The data field an object was bound to by PrepareObjects; false when none.
    bool BoundField(TfrView *view, IfrDataSource *&dataSet, QString &field) const;

private:
    struct FieldBinding { IfrDataSource *DataSet; QString Field; };
    QHash<TfrView *, FieldBinding> m_bindings;
    void BuildBandTree();
    void InitDialogPage();
    void FreeBands();
    void FlushPending();
    QList<TfrBand *> m_pending;
    QDialog *m_dialog = nullptr;
};

class TfrPages {
public:
    explicit TfrPages(TfrReport *parent);
    ~TfrPages();
    TfrPages(const TfrPages &) = delete;
    TfrPages &operator=(const TfrPages &) = delete;

    int Count() const { return int(m_pages.size()); }
    TfrPage *GetPage(int index) const { return m_pages.value(index); }
    TfrPage *operator[](int index) const { return GetPage(index); }
    const QList<TfrPage *> &List() const { return m_pages; }

    void Clear();
    // Appends a new report page (default paper, portrait); returns its index.
    int Add();
    // Appends a page made elsewhere; the list takes ownership.
    void Append(TfrPage *page);
    void Delete(int index);
    void Move(int from, int to);
    // Removes every page from the list without freeing them (their owner is elsewhere).
    void Release();

    // The report body (printer settings, page and object records, dictionary),
    // read into the parent report, which is cleared first. Throws EfrStreamError.
    void LoadFromStream(QIODevice &s);
    void SaveToStream(QIODevice &s) const;
    // Whether the last LoadFromStream stopped at an end record (not at the end of the data).
    bool EndRecordSeen() const { return m_ended; }

    TfrReport *Parent() const { return m_parent; }
    void SetParent(TfrReport *parent) { m_parent = parent; }

private:
    TfrReport *m_parent;
    QList<TfrPage *> m_pages;
    bool m_ended = false;
};
