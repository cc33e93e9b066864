#pragma once
// Text object: expansion of bracketed expressions, wrapping, alignment,
// rotation, spacing, height for stretching bands, drawing and split printing.
#include "report/engine/frfonts.h"
#include "report/engine/frview.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

enum TfrTextAlign : qint32 {
    frtaLeft = 0, frtaRight = 1, frtaCenter = 2, frtaJustify = 3,
    frtaVertical = 4, frtaMiddle = 8, frtaDown = 16,
};

// Text-object flag bits (bit 0 "Stretched" is the view's).
enum TfrMemoFlag : quint16 {
    flWordWrap = 0x2, flWordBreak = 0x4, flAutoWidth = 0x8, flTextOnly = 0x10,
    flSuppress = 0x20, flHideZeros = 0x40, flUnderlines = 0x80, flRTLReading = 0x100,
};

// Paragraph-end mark carried by wrapped lines.
constexpr QChar frParagraphMark = QChar(1);

class TfrMemoView : public TfrStretcheable {
public:
    TfrMemoView();
    QString ClassName() const override { return QStringLiteral("TfrMemoView"); }

    TfrFont Font;
    QString LastValue;
    bool Prewrapped = false;
    int TextHeight = 0;
    bool Streaming = false;
    int LineStep = 0;
    int LinesDone = 0;
    bool Exporting = false;
    qint32 Alignment = frtaLeft;
    quint16 HighlightFontStyle = 2;
    qint32 HighlightFontColor = 0;
    qint32 HighlightFillColor = 0xFFFFFF;
    QString HighlightCondition;
    int LineSpacing = 2;
    int CharSpacing = 0;

    // Lines put out by the last wrapping (the engine's WrapBuffer).
    QStringList WrapBuffer;

    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                  const QVariant &par3, QVariant &val) override;
    void DefinePropList() override;

    void Draw(QPainter *canvas) override;
    void Print(QIODevice &stream) override;
    void ExportData() override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void GetBlob(const QVariant &fieldValue) override;
    void DefinePopupMenu(QMenu *menu) override;
    void ShowEditor() override;
    int CalcHeight() override;
    int MinHeight() override;
    int RemainHeight() override;

    void ExpandMemo();
    QFont AssignFont(QPainter *canvas);
    void WrapMemo();
    void ShowMemo();
    void ShowUnderlines();
    int CalcWidth(const QStringList &lines);

    // Width of a text in the measuring font (CharSpacing per character).
    int MeasureWidth(const QString &text) const;
    // Breaks one line into WrapBuffer (exposed for tests).
    void WrapLine(const QString &s, int available);

    // Display-format dialog for this object; applies code and text on OK.
    void EditFormat();

    // Break positions after which a Cyrillic word may be hyphenated (1-based).
    static QList<int> BreakWord(const QString &word);

private:
    void OutLine(const QString &line);
    void DrawNormalLines(const QRect &clip);
    void DrawRotatedLines(const QRect &clip);
    int CanvasFontHeight() const;
    qint64 m_position = 0;
    int m_fontHeight = 0;          // negative pixel height of the canvas font
    QFont m_measureFont;
    TfrFont m_measureFor;
    bool m_measureReady = false;
    void EnsureMeasureFont() const;
    QFont m_canvasFont;
};

// Display-format code: category in bits 24-27, type in 16-23, decimals in 8-15,
// decimal separator character in 0-7.
qint32 MakeFormatCode(int category, int type, const QString &decimals, const QString &separator);

// The display-format dialog.
class TfrFmtForm : public QDialog {
public:
    TfrFmtForm(qint32 format, const QString &formatText, QWidget *parent = nullptr);
    qint32 Format() const { return m_format; }
    QString FormatText() const { return m_formatText; }

    QListWidget *CatLB = nullptr;
    QListWidget *TypeLB = nullptr;
    QLineEdit *DecEdit = nullptr;
    QLineEdit *SplEdit = nullptr;
    QLineEdit *FormatEdit = nullptr;
    QLabel *DecLabel = nullptr;
    QLabel *SplLabel = nullptr;
    QLabel *FormatLabel = nullptr;

    void accept() override;

private:
    void FillTypes(int category);
    void TypeChanged();
    qint32 m_format;
    QString m_formatText;
};
