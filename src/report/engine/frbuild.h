#pragma once
// Run-time bands of a build. Every band object of a report page becomes a TfrBand
// when the page is prepared (TfrPage::InitReport); a band knows its objects, data
// set, header, footer, child and group links and its aggregate accumulators, and
// prints itself at the current position of its page (Draw): room checks, new pages
// and columns, stretching, split printing, child bands, sub-reports, cross-tab
// columns and aggregates. Page forming (TfrPage::FormPage and the data loop) calls it.
#include "report/engine/frband.h"
#include "report/engine/frvariables.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TfrDataset;
class TfrPage;

class TfrBand {
public:
    TfrBand(int bandType, TfrPage *page);
    ~TfrBand();   // frees the rest of the chain and the data sets it owns
    TfrBand(const TfrBand &) = delete;
    TfrBand &operator=(const TfrBand &) = delete;

    TfrPage *Parent;
    TfrBandView *View = nullptr;   // the band object, or null (no such band on the page)
    quint16 Flags = 0;
    int Type;
    QString Name;

    // Links
    TfrBand *Next = nullptr, *Prev = nullptr;            // bands of the same type, by y
    TfrBand *NextGroup = nullptr, *PrevGroup = nullptr;  // group headers of one data band
    TfrBand *FirstGroup = nullptr, *LastGroup = nullptr; // on a data band
    TfrBand *Child = nullptr;
    TfrBand *AggregateBandOwner = nullptr;               // whose accumulators aggregates read
    TfrBand *Header = nullptr, *Footer = nullptr;        // on a data band (a group header: its footer)
    TfrBand *DataBand = nullptr;                          // on a header, footer or group header
    TfrBand *LastBand = nullptr;                          // on the first band of a type
    int MaxColumns = 0;                                   // most cross-tab columns printed

    // Geometry (engine units; y relative to the page)
    int x = 0, y = 0, dx = 0, dy = 0;
    int PrintedHeight = -1;
    int StretchHeight = 0;
    int ColumnCounter = 1;
    int SavedShiftX = 0;

    // Options
    bool PrintIfSubsetEmpty = false, NewPageAfter = false, Stretched = false, Breaked = false;
    bool PrintChildIfInvisible = false, Visible = true;

    QList<TfrView *> Objects;   // not owned
    QStringList Memo, Script;   // the band's text and its (compiled) script

    TfrDataset *DataSet = nullptr;
    bool OwnsDataSet = false;
    TfrDataset *CrossDataSet = nullptr;
    bool OwnsCrossDataSet = false;

    QString GroupCondition;     // compiled
    QVariant LastGroupValue;    // unassigned until the group header prints

    int LineNo = 1;             // LINE#
    int LineThrough = 1;        // LINETHROUGH#
    int ForceNewPage = 0, ForceNewColumn = 0;
    bool CurYSet = false;       // the script set CurY
    bool SkipScriptOnce = false;
    bool IsRepeatHeader = false;
    bool Finished = true;

    TfrVariables Accumulators;
    int AggregateSteps = 0;

    // The band has a band object (or is the page's band of objects outside bands with objects).
    bool Exists() const;
    bool IsDataBand() const { return Type == btMasterData || Type == btDetailData || Type == btSubDetailData; }

    void InitDataSet(const QString &text);
    void DoneDataSet();
    // Prints the band; true when it caused a page or column break or did not finish here.
    bool Draw();
    int CalcHeight();
    void ResetAggregates();
    void AddAggregates();
    void SetAggregate(const QString &name, const QVariant &value);
    QVariant GetAggregate(const QString &name) const;
    // Clears LastValue of the band's text objects (suppressed repeats start afresh).
    void ResetLastValues();
    // Runs the band's script.
    void RunBandScript();
    // Continues the sub-reports of a band left waiting on a sub-report page.
    void ContinueSubReports();

    // Height of the band while its objects print (for objects aligned to it).
    int CurrentHeight() const { return m_drawHeight; }

private:
    void DrawObjects();
    void DrawObject(TfrView *view);
    bool DrawObjectsWithSubReports();
    void StartSubReports();
    void PrintSubReports(bool continuing);
    void DrawSplit();
    void DrawCross();
    void DrawCrossCells(TfrBand *crossBand, int atX);
    void CrossNextPage(int &curX);
    bool CheckRoom(int atY, int h, bool testOnly);
    int StretchedHeight();
    int MeasureObjects(bool crossToo);
    bool HasCross() const;

    int m_subIndex = 0;
    QList<bool> m_subDone;
    int m_drawHeight = 0;
};

// LINE# and LINETHROUGH# are read from this band: CurrentBand when it has a data set,
// else the first band of its chain.
TfrBand *CounterBand();
