#pragma once
// Check-box add-in: a cross or check mark drawn when its value is not zero.
#include "report/engine/frview.h"

enum TfrCheckStyle : quint8 { csCross = 0, csCheck = 1 };

class TfrCheckBoxView : public TfrView {
public:
    TfrCheckBoxView();
    QString ClassName() const override { return QStringLiteral("TfrCheckBoxView"); }
    quint8 CheckStyle = csCross;
    qint32 CheckColor = 0;
    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void Print(QIODevice &stream) override;
    void ExportData() override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void DefinePopupMenu(QMenu *) override {}
    bool IsChecked() const;
};

void RegisterCheckBoxAddIn();

// The value a check box prints: truncated toward zero. NaN is not a number (an
// error, as for a text that is none); values beyond the 64-bit range saturate,
// so they stay checked.
qint64 TruncateCheckValue(double v);
