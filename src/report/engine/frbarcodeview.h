#pragma once
// Barcode add-in object: the first line of its text, literal or a bracketed
// expression evaluated when the report is built, drawn as the bars of one of
// the generator's symbologies with the human-readable text beside them.
//
// Record (after the view's common head, template and prepared page alike),
// 24 bytes: CalcCheckSum, ShowText, a reserved byte, BarType (one byte each),
// i32 format mark 2, double Zoom, double Rotation. A record with mark 1 holds
// twice the zoom and is read as mark 2.
#include "report/engine/frbarcode.h"
#include "report/engine/frview.h"

#include <functional>

class TfrBarCodeView : public TfrView {
public:
    TfrBarCodeView();
    QString ClassName() const override { return QStringLiteral("TfrBarCodeView"); }

    TfrBarcode Barcode;
    bool CalcCheckSum = true;
    bool ShowText = true;
    quint8 Reserved = 0;            // carried in the record, read by nothing
    quint8 BarType = bcCode39;
    qint32 BarRecordFormat = 2;
    double Zoom = 1.0;              // scale along the bars
    double Rotation = 0;            // 0, 90, 180 or 270 degrees

    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void Print(QIODevice &stream) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void SaveToXML(TfrXmlWriter &xml) override;
    void DefinePopupMenu(QMenu *) override {}
    void ShowEditor() override;

    // The generator's error of the last draw (empty when it drew the bars).
    QString DrawError() const { return m_drawError; }

    // Where a drawing error goes, once for each object and error text; the log by default.
    static std::function<void(TfrBarCodeView *view, const QString &error)> ErrorReporter;

private:
    void DrawBars();
    void DrawPlaceholder(const QString &error);
    QString m_drawError;
    QString m_reportedError;
};

// Registers the class with the add-in table (done once, before the first CreateView).
void RegisterBarCodeAddIn();
