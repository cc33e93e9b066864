#include "report/engine/frpicture.h"

#include "report/engine/frfonts.h"
#include "common/jpeg.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QMenu>
#include <QtEndian>

namespace {
// Largest decoded bitmap or icon accepted (a hostile header may announce a huge frame).
constexpr qint64 kMaxPixels = 40ll * 1000 * 1000;

QImage decodeWithQt(const QByteArray &data, const char *format, QString *error)
{
    QBuffer buf;
    buf.setData(data);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, format);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        *error = QStringLiteral("Image too large");
        return {};
    }
    QImage img = reader.read();
    if (img.isNull())
        *error = reader.errorString();
    return img;
}

// Frame of a metafile in pixels, from its header (enhanced or placeable).
QSize metafileSize(const QByteArray &d)
{
    if (d.size() >= 24 && qFromLittleEndian<quint32>(d.constData()) == 1) {
        const qint32 l = qFromLittleEndian<qint32>(d.constData() + 8);
        const qint32 t = qFromLittleEndian<qint32>(d.constData() + 12);
        const qint32 r = qFromLittleEndian<qint32>(d.constData() + 16);
        const qint32 b = qFromLittleEndian<qint32>(d.constData() + 20);
        const qint64 w = qint64(r) - l + 1, h = qint64(b) - t + 1;
        if (w > 0 && h > 0 && w < 100000 && h < 100000)
            return QSize(int(w), int(h));
    }
    if (d.size() >= 16 && qFromLittleEndian<quint32>(d.constData()) == 0x9AC6CDD7u) {
        const qint16 l = qFromLittleEndian<qint16>(d.constData() + 6);
        const qint16 t = qFromLittleEndian<qint16>(d.constData() + 8);
        const qint16 r = qFromLittleEndian<qint16>(d.constData() + 10);
        const qint16 b = qFromLittleEndian<qint16>(d.constData() + 12);
        const quint16 inch = qFromLittleEndian<quint16>(d.constData() + 14);
        if (inch > 0 && r > l && b > t)
            return QSize(frRound((r - l) * 96.0 / inch), frRound((b - t) * 96.0 / inch));
    }
    return {};
}

// Metafiles have no renderer here: a marked box stands in, the bytes are kept.
void drawPlaceholder(QPainter *p, const QRect &r, const QString &label)
{
    p->save();
    p->setClipRect(r, Qt::IntersectClip);
    p->fillRect(r, QColor(235, 235, 235));
    p->setPen(QPen(QColor(128, 128, 128), 1));
    p->drawRect(r.adjusted(0, 0, -1, -1));
    p->drawLine(r.topLeft(), r.bottomRight());
    p->drawLine(r.topRight(), r.bottomLeft());
    p->setFont(MakeQFont(QStringLiteral("Arial"), 8));
    p->setPen(Qt::black);
    p->drawText(r, Qt::AlignCenter, label);
    p->restore();
}
} // namespace

void TfrPicture::Set(quint8 kind, const QByteArray &data)
{
    Kind = kind >= gkBitmap && kind <= gkJpeg ? kind : quint8(gkNone);
    Data = Kind == gkNone ? QByteArray() : data;
    m_decoded = false;
    m_image = QImage();
    m_error.clear();
}

const QImage &TfrPicture::Image() const
{
    if (m_decoded)
        return m_image;
    m_decoded = true;
    m_error.clear();
    switch (Kind) {
    case gkBitmap: m_image = decodeWithQt(Data, "BMP", &m_error); break;
    case gkIcon: m_image = decodeWithQt(Data, "ICO", &m_error); break;
    case gkJpeg: m_image = orv::decodeJpeg(Data, &m_error); break;
    default: m_image = QImage(); break;
    }
    return m_image;
}

QSize TfrPicture::NaturalSize() const
{
    if (Kind == gkMetafile)
        return metafileSize(Data);
    return Image().size();
}

// ---------------------------------------------------------------------------

TfrPictureView::TfrPictureView()
{
    TypeCode = 1;
    BaseName = QStringLiteral("Picture");
    Flags = 1 | flPictRatio;
    if (EngineHooks.SetScriptConstant) {
        EngineHooks.SetScriptConstant(QStringLiteral("btBMP"), 0);
        EngineHooks.SetScriptConstant(QStringLiteral("btJPG"), 1);
        EngineHooks.SetScriptConstant(QStringLiteral("btICO"), 2);
        EngineHooks.SetScriptConstant(QStringLiteral("btWMF"), 3);
    }
}

void TfrPictureView::DefinePropList()
{
    TfrView::DefinePropList();
    AddProperty(QStringLiteral("Picture"), 0x40, [this] {
        if (EditorHooks.Picture)
            EditorHooks.Picture(this);
    });
    AddProperty(QStringLiteral("Stretched"), 8);
    AddProperty(QStringLiteral("Center"), 8);
    AddProperty(QStringLiteral("KeepAspect"), 8);
    AddProperty(QStringLiteral("DataField"), 0x141, [this] {
        if (EditorHooks.DataField)
            EditorHooks.DataField(this);
    });
    AddEnumProperty(QStringLiteral("BlobType"), QStringLiteral("btBMP;btJPG;btICO;btWMF"), {0, 1, 2, 3});
}

void TfrPictureView::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    const QString n = name.toUpper();
    if (n == QLatin1String("CENTER")) SetFlag(flPictCenter, value.toBool());
    else if (n == QLatin1String("KEEPASPECT")) SetFlag(flPictRatio, value.toBool());
    else if (n == QLatin1String("BLOBTYPE")) BlobType = quint8(value.toInt());
    // "PICTURE" took a raw object reference as an integer: not accepted from scripts.
}

QVariant TfrPictureView::GetPropValue(const QString &name)
{
    QVariant v = TfrView::GetPropValue(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    if (n == QLatin1String("CENTER")) return bool(Flags & flPictCenter);
    if (n == QLatin1String("KEEPASPECT")) return bool(Flags & flPictRatio);
    if (n == QLatin1String("BLOBTYPE")) return int(BlobType);
    return {};
}

void TfrPictureView::DoMethod(const QString &methodName, const QVariant &par1, const QVariant &par2,
                              const QVariant &par3, QVariant &val)
{
    TfrView::DoMethod(methodName, par1, par2, par3, val);
    if (methodName == QLatin1String("LOADFROMFILE")) {
        const QString file = EngineHooks.Evaluate ? EngineHooks.Evaluate(par1.toString()).toString()
                                                  : par1.toString();
        LoadFromFile(file);
    }
}

bool TfrPictureView::LoadFromFile(const QString &fileName)
{
    Picture.Clear();
    if (fileName.isEmpty())
        return false;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly) || f.size() > frMaxPictureBytes)
        return false;
    const QByteArray data = f.readAll();
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("bmp"))
        Picture.Set(gkBitmap, data);
    else if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || orv::looksLikeJpeg(data))
        Picture.Set(gkJpeg, data); // under any name a JPEG is kept as one, for the bounded decoder
    else if (ext == QLatin1String("ico"))
        Picture.Set(gkIcon, data);
    else if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        Picture.Set(gkMetafile, data);
    else {
        // Other image files are kept as bitmaps, the kinds a record can hold.
        QImage img = QImage::fromData(data);
        if (img.isNull())
            return false;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        img.save(&out, "BMP");
        Picture.Set(gkBitmap, out.data());
    }
    return true;
}

void TfrPictureView::GetBlob(const QVariant &fieldValue)
{
    Picture.Clear();
    if (fieldValue.isNull())
        return;
    QByteArray data = fieldValue.toByteArray();
    if (data.isEmpty() || data.size() > frMaxPictureBytes)
        return;
    static const quint8 kinds[] = {gkBitmap, gkJpeg, gkIcon, gkMetafile};
    const quint8 kind = BlobType < 4 ? kinds[BlobType] : quint8(gkBitmap);
    // Bitmaps stored by a graphic field carry an 8-byte header before the file.
    if (kind == gkBitmap && data.size() >= 8 && qFromLittleEndian<quint16>(data.constData()) == 1
        && qFromLittleEndian<quint16>(data.constData() + 2) == 256
        && qFromLittleEndian<quint32>(data.constData() + 4) == quint32(data.size() - 8))
        data = data.mid(8);
    Picture.Set(kind, data);
}

void TfrPictureView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamByte(s, Picture.IsEmpty() ? quint8(gkNone) : Picture.Kind);
    WriteStreamByte(s, BlobType);
    const qint64 at = s.pos();
    WriteStreamInt(s, 0);
    if (!Picture.IsEmpty())
        WriteStreamBytes(s, Picture.Data);
    const qint64 end = s.pos();
    if (end > 0xFFFFFFFFll)
        throw EfrStreamError("Picture record beyond 4 GB");
    if (!s.seek(at))
        throw EfrStreamError("Stream write error");
    WriteStreamInt(s, qint32(quint32(end)));
    if (!s.seek(end))
        throw EfrStreamError("Stream write error");
}

void TfrPictureView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    const quint8 kind = ReadStreamByte(s);
    if (RecordMajor * 10 + RecordMinor > 10)
        BlobType = ReadStreamByte(s);
    const qint64 end = quint32(ReadStreamInt(s));
    const qint64 pos = s.pos();
    if (end < pos || end - pos > frMaxPictureBytes || (!s.isSequential() && end > s.size()))
        throw EfrStreamError("Picture data out of range");
    const QByteArray data = ReadStreamBytes(s, end - pos);
    Picture.Set(kind, data);
    if (!s.isSequential() && !s.seek(end))
        throw EfrStreamError("Unexpected end of stream");
}

void TfrPictureView::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    BeginDraw();
    ShowBackground();
    if (Canvas && !Picture.IsEmpty()) {
        QSize nat = Picture.NaturalSize();
        if (nat.isEmpty())
            nat = DrawRect.size();
        const int iw = nat.width(), ih = nat.height();
        QRect T;
        const int dw = DrawRect.width(), dh = DrawRect.height();
        if (Flags & 1) {
            T = DrawRect;
            if ((Flags & flPictRatio) && iw > 0 && ih > 0) {
                const double kx = double(Width) / iw, ky = double(Height) / ih;
                if (kx >= ky)
                    T = QRect(DrawRect.x(), DrawRect.y(), frDrawCoord(iw * ky), dh);
                else
                    T = QRect(DrawRect.x(), DrawRect.y(), dw, frDrawCoord(ih * kx));
                if (Flags & flPictCenter)
                    T.translate((dw - T.width()) / 2, (dh - T.height()) / 2);
            }
        } else {
            const int w = frDrawCoord(iw * ZoomX), h = frDrawCoord(ih * ZoomY);
            T = QRect(DrawRect.x(), DrawRect.y(), w, h);
            if (Flags & flPictCenter)
                T.translate((dw - w) / 2, (dh - h) / 2);
        }
        const QImage &img = Picture.Image();
        if (Picture.Kind == gkMetafile)
            drawPlaceholder(Canvas, T, QStringLiteral("WMF/EMF"));
        else if (img.isNull())
            drawPlaceholder(Canvas, T, QStringLiteral("?"));
        else if (!(ToPrinter && Picture.Kind == gkIcon))
            Canvas->drawImage(T, img);
    } else if (Canvas && EngineMode == 0) {
        QPainter *p = Canvas;
        p->save();
        p->setClipRect(DrawRect, Qt::IntersectClip);
        p->setFont(MakeQFont(QStringLiteral("Arial"), 8));
        p->setPen(Qt::black);
        p->drawText(Left + 20, Top + 3 + QFontMetrics(p->font()).ascent(), QStringLiteral("[图片]"));
        // The empty-picture glyph: a small framed landscape.
        const QRect g(Left + 1, Top + 2, 16, 14);
        p->fillRect(g, Qt::white);
        p->setPen(QColor(96, 96, 96));
        p->drawRect(g.adjusted(0, 0, -1, -1));
        p->setPen(QColor(0, 128, 0));
        p->drawLine(g.left() + 2, g.bottom() - 3, g.left() + 7, g.top() + 6);
        p->drawLine(g.left() + 7, g.top() + 6, g.right() - 2, g.bottom() - 3);
        p->restore();
    }
    ShowFrame();
    EndDraw();
}

void TfrPictureView::DefinePopupMenu(QMenu *menu)
{
    if (!menu)
        return;
    TfrView::DefinePopupMenu(menu);
    QAction *c = menu->addAction(QStringLiteral("图片中心化"));
    c->setCheckable(true);
    c->setChecked(Flags & flPictCenter);
    QObject::connect(c, &QAction::triggered, [this](bool on) {
        ApplyToSelection(this, 8, [on](TfrView *v) {
            if (dynamic_cast<TfrPictureView *>(v))
                v->Flags = on ? (v->Flags | flPictCenter) : (v->Flags & ~flPictCenter);
        });
    });
    QAction *k = menu->addAction(QStringLiteral("保持纵横比"));
    k->setCheckable(true);
    k->setEnabled(Flags & 1);
    k->setChecked((Flags & 1) && (Flags & flPictRatio));
    QObject::connect(k, &QAction::triggered, [this](bool on) {
        ApplyToSelection(this, 8, [on](TfrView *v) {
            if (dynamic_cast<TfrPictureView *>(v))
                v->Flags = on ? (v->Flags | flPictRatio) : (v->Flags & ~flPictRatio);
        });
    });
}

void TfrPictureView::ShowEditor()
{
    if (EditorHooks.Picture)
        EditorHooks.Picture(this);
}
