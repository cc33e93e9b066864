#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include <QHash>
#include <memory>

namespace {
QHash<QString, QImage> &bitmaps()
{
    static QHash<QString, QImage> b;
    return b;
}
} // namespace

TfrLocale::TfrLocale() = default;

QString TfrLocale::LoadString(int stringId) const
{
    if (OnLocalize) {
        QString text;
        OnLocalize(stringId, text);
        if (!text.isEmpty())
            return text;
    }
    const QString s = frResourceString(stringId);
    return s.isNull() ? QString() : s;
}

QImage TfrLocale::LoadBitmap(const QString &name) const
{
    return bitmaps().value(name.toUpper());
}

void TfrLocale::RegisterBitmap(const QString &name, const QImage &image)
{
    bitmaps().insert(name.toUpper(), image);
}

TfrLocale *GetEngineLocale()
{
    static std::unique_ptr<TfrLocale> locale;
    if (!locale)
        locale = std::make_unique<TfrLocale>();
    return locale.get();
}

QString GetLocalizedString(int stringId) { return GetEngineLocale()->LoadString(stringId); }
