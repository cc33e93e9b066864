#include "report/engine/frformstate.h"
#include "report/engine/frreport.h"

#include "common/settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QString frRegistryRoot()
{
    return RegistryRootKey.isEmpty() ? QStringLiteral("Software\\OrvReport") : RegistryRootKey;
}

int frReadInt(QSettings &s, const QString &name, int current)
{
    bool ok = false;
    const int v = s.value(name).toInt(&ok);
    return ok ? v : current;
}

QRect frFitToScreen(QRect r)
{
    QScreen *screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return r;
    const QRect avail = screen->availableGeometry();
    if (avail.isEmpty())
        return r;
    r.setWidth(qBound(1, r.width(), avail.width()));
    r.setHeight(qBound(1, r.height(), avail.height()));
    r.moveLeft(qBound(avail.left(), r.left(), avail.right() + 1 - r.width()));
    r.moveTop(qBound(avail.top(), r.top(), avail.bottom() + 1 - r.height()));
    return r;
}

QString frFormStateGroup(const QString &className)
{
    QString key = frRegistryRoot() + QStringLiteral("\\Form\\") + className;
    return key.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void SaveFormState(QWidget *form)
{
    if (!form)
        return;
    auto s = orv::userSettings();
    s->beginGroup(frFormStateGroup(QString::fromLatin1(form->metaObject()->className())));
    const bool maximized = form->windowState() & Qt::WindowMaximized;
    const QRect r = maximized ? form->normalGeometry() : form->geometry();
    s->setValue(QStringLiteral("XPosition"), r.x());
    s->setValue(QStringLiteral("YPosition"), r.y());
    s->setValue(QStringLiteral("Width"), r.width());
    s->setValue(QStringLiteral("Height"), r.height());
    s->setValue(QStringLiteral("Maximized"), maximized);
    s->endGroup();
}

void RestoreFormState(QWidget *form)
{
    if (!form)
        return;
    auto s = orv::userSettings();
    s->beginGroup(frFormStateGroup(QString::fromLatin1(form->metaObject()->className())));
    Qt::WindowStates state = form->windowState();
    const QVariant maximized = s->value(QStringLiteral("Maximized"));
    if (maximized.isValid() && !maximized.toBool())
        state &= ~Qt::WindowMaximized;
    const QRect cur = form->geometry();
    QRect r(frReadInt(*s, QStringLiteral("XPosition"), cur.x()), frReadInt(*s, QStringLiteral("YPosition"), cur.y()),
            frReadInt(*s, QStringLiteral("Width"), cur.width()), frReadInt(*s, QStringLiteral("Height"), cur.height()));
    s->endGroup();
    if (r.width() <= 0 || r.height() <= 0)
        r.setSize(cur.size());
    // The bounds are the normal bounds; a window that stays maximised gets them for when it is restored.
    form->setWindowState(state & ~Qt::WindowMaximized);
    form->setGeometry(frFitToScreen(r));
    if (state & Qt::WindowMaximized)
        form->setWindowState(state);
}
