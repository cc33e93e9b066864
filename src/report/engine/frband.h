#pragma once
// Band objects of a template page and the sub-report object.
#include "report/engine/frview.h"

enum TfrBandType {
    btReportTitle = 0, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData,
    btMasterFooter, btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData,
    btSubDetailFooter, btOverlay, btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter,
    btCrossHeader, btCrossData, btCrossFooter, btChild, btNone
};

enum TfrBandFlag : quint16 {
    flBandStretched = 1, flBandNewPageAfter = 2, flBandPrintIfSubsetEmpty = 4, flBandBreaked = 8,
    flBandOnFirstPage = 16, flBandOnLastPage = 32, flBandRepeatHeader = 64,
    flBandPrintChildIfInvisible = 128,
};

// Caption of a band type ("报表标题" ... "无"); empty outside 0..22.
QString BandTypeCaption(int type);

class TfrBandView : public TfrView {
public:
    TfrBandView();
    QString ClassName() const override { return QStringLiteral("TfrBandView"); }

    QString ChildBand;
    QString Master;
    qint32 Columns = 1;
    qint32 ColumnWidth = 200;
    qint32 ColumnGap = 20;
    qint32 NewColumnAfter = 1;

    // Designer drawing inputs (set by the designer page).
    bool ShowBandTitles = true;
    int PageLeftMargin = 0;
    int PrintableWidth = 0, PrintableHeight = 0;

    // Called by the run-time band code to mirror property writes of scripts (EngineMode 1).
    std::function<void(const QString &name, const QVariant &value)> RuntimeSet;
    std::function<QVariant(const QString &name)> RuntimeGet;

    int GetBandType() const { return FrameTyp; }
    void SetBandType(int t) { FrameTyp = quint16(t & 0x7F); }
    bool IsCrossBand() const { return GetBandType() >= btCrossHeader && GetBandType() <= btCrossFooter; }
    int CaptionWidth() const;

    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    // Script methods; "NEXT", "PRIOR" and "FIRST" move the run-time band's data set.
    void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2, const QVariant &par3,
                  QVariant &val) override;
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    QRegion GetClipRgn(bool extended) override;
    void DefinePopupMenu(QMenu *menu) override;
};

// A band was renamed (or, with an empty new name, a child band is deleted): every band
// object of the page whose child band is oldName (exact comparison) names newName instead.
void RenameBandReferences(TfrPage *page, const QString &oldName, const QString &newName);

// The band types that offer a property (inspector and pop-up menu).
bool BandOffers(int bandType, const QString &property);

class TfrSubReportView : public TfrView {
public:
    TfrSubReportView();
    QString ClassName() const override { return QStringLiteral("TfrSubReportView"); }
    qint32 SubReportPage = 0;
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void DefinePopupMenu(QMenu *) override {}
};
