#pragma once
// Picture object: a bitmap, JPEG image, icon or metafile kept as the bytes of
// its own file format, drawn at natural size or stretched, optionally keeping
// its proportions and centred.
#include "report/engine/frview.h"

#include <QByteArray>
#include <QImage>

enum TfrGraphicKind : quint8 { gkNone = 0, gkBitmap = 1, gkMetafile = 2, gkIcon = 3, gkJpeg = 4 };
enum TfrBlobType : quint8 { btBMP = 0, btJPG = 1, btICO = 2, btWMF = 3 };
enum TfrPictureFlag : quint16 { flPictCenter = 2, flPictRatio = 4 };

// The picture holder: kind plus the file bytes; decoded lazily for drawing.
class TfrPicture {
public:
    quint8 Kind = gkNone;
    QByteArray Data;              // the graphic's own file format, kept byte for byte
    bool IsEmpty() const { return Kind == gkNone || Data.isEmpty(); }
    void Clear() { Kind = gkNone; Data.clear(); m_decoded = false; m_image = QImage(); }
    void Set(quint8 kind, const QByteArray &data);
    // Decoded image (null for metafiles and undecodable data).
    const QImage &Image() const;
    // Natural size in pixels; metafiles report the frame of their header when readable.
    QSize NaturalSize() const;
    QString DecodeError() const { Image(); return m_error; }
private:
    mutable bool m_decoded = false;
    mutable QImage m_image;
    mutable QString m_error;
};

// Largest picture accepted from a record or a field.
constexpr qint64 frMaxPictureBytes = 64 * 1024 * 1024;

class TfrPictureView : public TfrView {
public:
    TfrPictureView();
    QString ClassName() const override { return QStringLiteral("TfrPictureView"); }

    TfrPicture Picture;
    quint8 BlobType = btBMP;

    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                  const QVariant &par3, QVariant &val) override;
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void GetBlob(const QVariant &fieldValue) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void SaveToXML(TfrXmlWriter &xml) override;
    void DefinePopupMenu(QMenu *menu) override;
    void ShowEditor() override;
    // Loads a file; the kind follows the extension. False (picture emptied) when missing.
    bool LoadFromFile(const QString &fileName);
};
