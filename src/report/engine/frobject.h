#pragma once
// Report object model: the base object with its property interface, the object
// factory with the add-in table, and the engine-wide state the objects share.
//
// How an object record is read and written (templates and prepared pages alike):
//
//   writer (template / prepared-page code)        | reader (template / prepared-page code)
//   ----------------------------------------------+-----------------------------------------------
//   byte   type code (TfrView::TypeCode)          | byte   type code
//   string class name, only for type 10           | string class name, only for type 10
//          (TfrView::ClassName())                 | CreateView(type, className) -> new object
//   byte   page index                             | byte   page index
//   u32    end offset placeholder                 | u32    end offset (streams of version >= 24)
//   view->SaveToStream(s)                         | view->LoadFromStream(s)
//   patch the u32 with s.pos(), seek to the end   | seek to the end offset when it is not 0
//
// The container code owns everything up to and including the end offset; the
// object writes and reads only its own record: the record head of TfrView
// (name, record version, geometry, frame, fill, texts, ...) followed by the
// fields of its class. LoadFromStream reads the layout of the global
// StreamVersion (21 to 25) and of the object's RecordMode (0 template,
// 1 prepared page); SaveToStream always writes the version-25 layout.
// Short, malformed or hostile data raises EfrStreamError (frstream.h); nothing
// is read past the data. Pictures keep their own absolute end position inside
// their record, so a record can only be read from the stream it was written to.
//
// Print(stream) writes the whole prepared record itself (type byte, class
// name, record), without page index or end offset, as prepared pages store it.
#include "report/engine/frstream.h"
#include "report/engine/frutils.h" // EfrClassNotFound

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QImage>

#include <functional>
#include <memory>
#include <vector>

class TfrView;
class TfrReport;
class TfrPage;
class TfrBand;

// ---------------------------------------------------------------------------
// Property descriptors

enum TfrPropFlag : quint16 {
    frdtString = 1,
    frdtInteger = 2,
    frdtFloat = 4,
    frdtBoolean = 8,
    frdtColor = 0x10,
    frdtEnum = 0x20,
    frdtHasEditor = 0x40,
    frdtSize = 0x80,
    frdtOneObject = 0x100,
};

using TfrPropEditor = std::function<void()>;

struct TfrPropRec {
    QString Name;            // at most 32 characters
    quint16 PropFlags = 0;
    QStringList Enum;        // names of an enumeration (flag 0x20)
    QVariant EnumCodes;      // null, or a QVariantList of the values for Enum, position by position
    TfrPropEditor PropEditor;
};

class TfrObject {
public:
    TfrObject();
    virtual ~TfrObject();
    TfrObject(const TfrObject &) = delete;
    TfrObject &operator=(const TfrObject &) = delete;

    std::vector<std::unique_ptr<TfrPropRec>> PropertyList;

    // Names are compared without regard to case; unknown names are ignored / give a null QVariant.
    virtual void SetPropValue(const QString &name, const QVariant &value);
    virtual QVariant GetPropValue(const QString &name);
    virtual void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                          const QVariant &par3, QVariant &val);
    virtual void DefinePropList();

    void ClearPropList();
    void AddProperty(const QString &name, quint16 flags, TfrPropEditor editor = {});
    // names separated by ";"; values: one per name, or empty / first element null for positions 0, 1, 2 ...
    void AddEnumProperty(const QString &name, const QString &names, const QVariantList &values);
    TfrPropRec *FindPropRec(const QString &name);

    // Script methods of a list property (listName upper-case: "MEMO", "LINES").
    static void DoStringsMethod(QStringList &list, const QString &methodName, const QString &listName,
                                const QVariant &par1, const QVariant &par2, const QVariant &par3,
                                QVariant &val);
};

void EnsurePropList(TfrObject *obj);

// ---------------------------------------------------------------------------
// Engine-wide state (one report at a time). Defined in frobject.cpp.

extern TfrReport *CurrentReport;
extern TfrReport *MasterReport;
extern TfrPage *CurrentPage;
extern TfrBand *CurrentBand;
extern TfrView *CurrentView;
extern quint8 EngineMode;       // 0 designer drawing, 1 build / preview / print / export
extern bool DrawingDisabled;    // first pass of a two-pass build
extern int StreamVersion;       // version of the stream being read or written
extern bool LoadErrorFlag;
extern QString LoadErrorText;
extern qint32 NextObjectID;

// Current run-time band as the objects see it while printing.
struct TfrBandGeometry {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Type = 0;       // band type 0..22
    int Flags = 0;
};

// What band alignment needs of the page being built or designed.
struct TfrAlignContext {
    int LeftMargin = 0, RightMargin = 0;   // L and R
    std::vector<TfrView *> Objects;        // the page's objects in list order
    std::function<bool(TfrView *)> OutsideBands; // owner band is the page's band of type 22
};

// Services the objects use from the report, parser, interpreter and export
// code. Each is optional: an unset hook is skipped (no expansion, no script,
// no handler), so objects can be read, written and drawn on their own.
struct TfrEngineHooks {
    std::function<QString(const QString &inner)> ExpandBracket;     // text of one bracket's contents
    std::function<QVariant(const QString &expr)> Evaluate;          // value of an expression
    std::function<void(TfrView *view)> RunScript;                   // object script
    std::function<void(QStringList &text, TfrView *view)> BeforePrintObject;
    std::function<bool()> HasBeforePrintHandler;                    // report's OnBeforePrint assigned
    std::function<TfrView *(const QString &name)> FindObject;       // CurrentReport's object, case-insensitive
    std::function<bool(TfrBandGeometry &band)> CurrentBandGeometry; // false when there is no current band
    std::function<bool(TfrAlignContext &ctx)> AlignContext;         // false when there is no page
    std::function<bool()> FirstPassOfTwo;                           // first pass of a two-pass build
    std::function<void(TfrView *view, int left, int top)> ExportObject;
    std::function<void(const QString &line, const QRect &drawRect, int x, int y, int frameTyp)> ExportText;
    std::function<void(const QString &name, const QVariant &value)> SetScriptConstant;
};
extern TfrEngineHooks EngineHooks;

// ---------------------------------------------------------------------------
// Object factory and add-in table

using TfrViewFactory = std::function<TfrView *()>;

struct TfrAddInObjectInfo {
    QString ClassName;
    TfrViewFactory Create;
    QImage ButtonBmp;
    QString ButtonHint;    // a whole number is a resource string id
    quint8 IsControl = 0;
};

constexpr int frMaxAddIns = 64;

// Returns false (and leaves the table unchanged) when the class is already
// registered or the table is full.
bool RegisterAddInObject(const QString &className, TfrViewFactory create, const QImage &buttonBmp,
                         const QString &buttonHint);
int AddInObjectCount();
const TfrAddInObjectInfo &AddInObject(int index);

// Type codes: 0 text, 1 picture, 2 band, 3 sub-report, 4 line, 10 add-in by
// class name (exact comparison). Unknown codes give null; an unknown add-in
// class records the name in LoadErrorText and throws EfrClassNotFound (frutils.h)
// with LoadErrorText as its message.
std::unique_ptr<TfrView> CreateView(int typeCode, const QString &className = QString());


// ---------------------------------------------------------------------------
// Shared routines

// Versioned readers: streams older than version 23 hold the old text forms.
QString ReadVersionedString(QIODevice &s);
QStringList ReadVersionedStrings(QIODevice &s);

// Each byte as two upper-case hexadecimal digits, high digit first ("AB" gives "4142").
QString StrToHex(const QByteArray &s);
// The inverse: each pair of characters gives one byte; a trailing odd character is ignored.
QByteArray HexToStr(const QString &h);
// One digit: 0..15 as '0'..'9', 'A'..'F' (only the low four bits count).
QChar HexDigit(int value);
// A character upper-cased, minus 48 for '0'..'9' and minus 55 otherwise, as the
// password reader takes it (so 'a' and 'A' are 10; other characters are not checked).
int HexDigitValue(QChar c);

// Largest magnitude a stored coordinate, size, gap or spacing may have (engine
// units; about 277 metres). Readers of stored objects refuse larger values, so
// the arithmetic of page building and drawing never overflows.
constexpr qint32 frMaxStoredCoordinate = 1000000;
constexpr qint32 frMaxBandColumns = 1000;
// Throws EfrStreamError when a view read from a file holds values beyond those
// limits (geometry, gaps, frame width, text spacing and font size, band columns).
void CheckStoredLimits(const TfrView &view);

// Records an error raised while an object printed or a script ran during a
// build, and stops the build: sets LoadErrorFlag, builds LoadErrorText (res
// 55200 "计算时发生错误", the current view's memo, the report's name, the view's
// name and the message) and sets MasterReport->StopRequested.
//
// The build code calls it from its handlers around TfrView::Print, CalcHeight
// and script runs; the build loop tests MasterReport->StopRequested at its check
// points, and when the build ends with LoadErrorFlag set it shows LoadErrorText
// once (caption "错误") and drops the prepared pages. The report's name is
// `reportName`, or the objectName() of CurrentReport when none is given.
void ReportCalcError(const std::exception &e, const QString &reportName = QString());

// Band data source by name: "1".."9..." makes a counting TfrUserDataset of that
// many records (created = true, the caller owns it); any other name is a
// TfrDataset found from the report's owner (null when none; another class of
// component raises std::bad_cast). A data set found or made is initialised.
void ResolveDataSet(const QString &name, TfrDataset *&dataSet, bool &created);

// Name lookup for scripts: "Obj.Prop" / "Prop". PAGEn parts are handed to the
// report (pageLookup); obj ends null when nothing is found.
void FindObjectAndProperty(const QString &name, TfrObject *&obj, QString &propName,
                           const std::function<TfrObject *(int pageNo)> &pageLookup = {});
