#pragma once
// Base of every object placed on a report page: geometry, frame, fill, texts,
// the common record head, drawing coordinates and the prepared-page printing.
// See frobject.h for who writes which part of an object record.
#include "report/engine/frobject.h"

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QPainter>
#include <QRect>
#include <QRegion>

class QMenu;

constexpr qint32 clTransparent = 0x1FFFFFFF;
constexpr qint32 clBtnFace = qint32(0xFF00000F);

enum TfrFrameType : quint16 { frftNone = 0, frftRight = 1, frftBottom = 2, frftLeft = 4, frftTop = 8 };
enum TfrPenStyle : quint16 { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psDouble };
enum TfrBandAlign : quint8 { baNone = 0, baLeft, baRight, baCenter, baWidth, baBottom, baTop, baRest };

// Round to nearest, halves to the even neighbour; saturates at the int range (NaN gives 0).
int frRound(double v);

// Drawing coordinates stay within ±frDrawLimit pixels: geometry that a script or
// a file made absurd saturates there (computed in 64 bits or doubles first), so
// sums of a few coordinates never overflow and the painter's fixed-point
// arithmetic stays exact. Stored geometry is bounded on load (frMaxStoredCoordinate).
constexpr int frDrawLimit = 1 << 24;
// Rounded like frRound, then saturated at ±frDrawLimit.
int frDrawCoord(double v);
inline bool frWithinDrawLimit(qint64 v) { return v >= -frDrawLimit && v <= frDrawLimit; }
// Saturated at the int range.
int frClampToInt(qint64 v);

// Editors the designer installs; the objects' descriptors and ShowEditor call them.
struct TfrEditorHooks {
    std::function<void(TfrView *)> Memo, Tag, Restrictions, Highlight, DataField, BandDataSource,
        CrossDataSource, GroupCondition, Picture, Font;
    // The designer's selection and its undo framing, used by the pop-up commands.
    std::function<std::vector<TfrView *>()> SelectedObjects;
    std::function<void()> BeforeChange, AfterChange;
};

// Runs a pop-up command on every selected object (or on `self` alone when no
// designer is attached) whose restrictions lack `restriction`, framed by the
// designer's before- and after-change calls.
void ApplyToSelection(TfrView *self, quint16 restriction, const std::function<void(TfrView *)> &change);
extern TfrEditorHooks EditorHooks;

class TfrView : public TfrObject {
public:
    TfrView();
    ~TfrView() override;

    // Class name as stored for add-in objects (type 10) and compared by CreateView.
    virtual QString ClassName() const { return QStringLiteral("TfrView"); }

    // --- fields, in their order
    bool PrintAtEnd = false;
    int SavedX = 0, SavedY = 0, SavedDX = 0, SavedDY = 0, SavedGapX = 0, SavedGapY = 0;
    double SavedFrameWidth = 0;
    QString BaseName = QStringLiteral("View");
    QPainter *Canvas = nullptr;
    QRect DrawRect;               // the drawing rectangle; DrawRect.right()+1 etc. are the exclusive edges
    QStringList PrintText;
    QString BlobField;
    quint8 RecordMode = 0;        // 0 template record, 1 prepared-page record
    QString Name;
    quint8 TypeCode = 10;
    quint8 RecordMajor = 2, RecordMinor = 0;
    qint32 ObjectID = 0;
    bool Selected = false;
    QRect DesignRect;
    double ZoomX = 1, ZoomY = 1;
    int OffsetX = 0, OffsetY = 0;
    bool ToPrinter = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    quint16 Flags = 1;
    quint16 FrameTyp = 0;
    double FrameWidth = 1;
    qint32 FrameColor = 0;
    quint16 FrameStyle = psSolid;
    qint32 FillColor = clTransparent;
    qint32 DisplayFormat = 0;
    QString FormatText;
    bool Visible = true;
    int GapX = 2, GapY = 1;
    quint16 Restrictions = 0;
    QString Tag;
    QStringList Memo;
    QStringList Script;
    quint8 BandAlign = baNone;
    TfrBand *OwnerBand = nullptr;
    TfrPage *ParentPage = nullptr;

    // Exclusive right/bottom edges of DrawRect as the drawing code uses them.
    int DrawRight() const { return DrawRect.x() + DrawRect.width(); }
    int DrawBottom() const { return DrawRect.y() + DrawRect.height(); }
    // Between BeginDraw and EndDraw: the object's right and bottom edge in drawing
    // coordinates, round((SavedX + SavedDX) * ZoomX + OffsetX) and likewise, saturated.
    int RightEdge() const;
    int BottomEdge() const;

    // --- property interface
    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                  const QVariant &par3, QVariant &val) override;
    void DefinePropList() override;

    // --- virtual operations
    virtual void ShowBackground();
    virtual void ShowFrame();
    virtual void GetBlob(const QVariant &fieldValue);  // null value: empty
    virtual void OnHook(TfrView *view);
    virtual void Loaded();
    virtual void BeginDraw();
    virtual void EndDraw();
    virtual void Draw(QPainter *canvas) = 0;
    virtual void Print(QIODevice &stream);
    // The start of printing an object: its text, the before-print event and its script;
    // false when the object is then hidden.
    bool BeginPrint();
    virtual void ExportData();
    virtual void LoadFromStream(QIODevice &stream);
    virtual void SaveToStream(QIODevice &stream);
    virtual void Resized();
    virtual void DefinePopupMenu(QMenu *menu);
    virtual QRegion GetClipRgn(bool extended);
    virtual void ShowEditor();

    // --- other operations
    void Assign(TfrView &source);
    void CreateUniqueName();
    void SetBounds(int left, int top, int width, int height);
    void AttachCanvas(QPainter *canvas);
    void ExpandVariables(QString &s);

    // Stored frame-width coding: whole widths as themselves, others as rounded thousandths.
    static qint32 EncodeFrameWidth(double w);
    static double DecodeFrameWidth(qint32 stored);

protected:
    // Draws one frame line with the current pen (dashed, double or plain).
    void DrawFrameLine(int x1, int y1, int x2, int y2, bool vertical);
    void ApplyBandAlign();
    // Writes type code, class name and record into a prepared-page stream.
    void WritePreparedRecord(QIODevice &stream);
    void SetFlag(quint16 bit, bool on) { Flags = on ? (Flags | bit) : (Flags & ~bit); }
};

// The names of a report being read, so that objects of older streams, which
// store no names, are named in linear time: while one is alive,
// TfrView::CreateUniqueName looks names up here instead of searching the report
// once per candidate. The reader adds every object it reads; the report must
// start empty, so the scope knows all its names.
class TfrNameScope {
public:
    TfrNameScope();
    ~TfrNameScope();
    TfrNameScope(const TfrNameScope &) = delete;
    TfrNameScope &operator=(const TfrNameScope &) = delete;
    static TfrNameScope *Active();
    void Add(const QString &name);
    bool Contains(const QString &name) const;
    // BaseName followed by the first number from 1 to 10000 no object bears; empty when all are taken.
    QString Unique(const QString &baseName);
private:
    QSet<QString> m_names;                 // case-folded
    QHash<QString, int> m_firstCandidate;  // per base name: numbers below are taken
    TfrNameScope *m_outer = nullptr;
};

// Objects whose height follows their content (text, lines).
class TfrStretcheable : public TfrView {
public:
    quint8 PrintPhase = 0;   // 0 all, 1 measured by CalcHeight, 2 the part that fits
    void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                  const QVariant &par3, QVariant &val) override;
    virtual int CalcHeight() = 0;
    virtual int MinHeight() = 0;
    virtual int RemainHeight() = 0;
};
