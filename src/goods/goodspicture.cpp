#include "goods/goodspicture.h"

#include "common/jpeg.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orv {

namespace {
const char *kDamaged = "图片已损坏，无法显示";
const char *kUnknown = "不支持的图片格式，无法显示";

void setError(QString *error, const char *text)
{
    if (error)
        *error = QString::fromUtf8(text);
}

} // namespace

QImage decodePicture(const QByteArray &bytes, QString *error)
{
    if (looksLikeJpeg(bytes)) {
        QImage img = decodeJpeg(bytes);
        if (img.isNull())
            setError(error, kDamaged);
        else if (error)
            error->clear();
        return img;
    }
    QImage img;
    if (!bytes.isEmpty())
        img = QImage::fromData(bytes);
    if (img.isNull()) {
        // A known header that does not decode is a damaged picture; anything else
        // (metafiles included) is a format we cannot show.
        const bool known = bytes.startsWith("BM") || bytes.startsWith("\x89PNG") || bytes.startsWith("GIF8") ||
                           bytes.startsWith(QByteArray("\0\0\1\0", 4));
        setError(error, known ? kDamaged : kUnknown);
        return {};
    }
    if (error)
        error->clear();
    return img;
}

QByteArray loadGoodsPicture(Connection &c, qint64 rowNo)
{
    QSqlQuery q(c.db());
    q.prepare("select 图片 from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo);
    c.run(q);
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

bool saveGoodsPicture(Connection &c, qint64 rowNo, const QByteArray &bytes)
{
    QSqlQuery q(c.db());
    q.prepare("update 货品目录 set 图片 = ? where 流水号 = ?");
    q.addBindValue(bytes.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes));
    q.addBindValue(rowNo);
    c.run(q);
    return q.numRowsAffected() > 0;
}

} // namespace orv
