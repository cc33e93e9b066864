#include "report/engine/frutils.h"
#include "report/engine/frlocale.h"
#include "report/engine/frvalue.h"

#include <QLabel>
#include <QMetaObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace {
struct GlobalEntry {
    QPointer<QObject> object;
    bool isForm;
};
QList<GlobalEntry> &globals()
{
    static QList<GlobalEntry> g;
    return g;
}
void prune()
{
    auto &g = globals();
    for (int i = int(g.size()) - 1; i >= 0; --i)
        if (!g[i].object)
            g.removeAt(i);
}
QPointer<QObject> g_reportOwner;

bool sameName(const QObject *o, const QString &name)
{
    return o && !name.isEmpty() && o->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

// A component owned by `owner` at any depth, breadth first so the nearest wins.
QObject *findOwned(const QObject *owner, const QString &name)
{
    if (!owner)
        return nullptr;
    QList<const QObject *> queue{owner};
    while (!queue.isEmpty()) {
        const QObject *o = queue.takeFirst();
        for (QObject *c : o->children()) {
            if (sameName(c, name))
                return c;
            queue << c;
        }
    }
    return nullptr;
}

bool inheritsName(const QObject *o, const QString &className)
{
    if (className == QLatin1String("IfrDataSource"))
        return dynamic_cast<const IfrDataSource *>(o) != nullptr;
    for (const QMetaObject *m = o->metaObject(); m; m = m->superClass())
        if (className.compare(QLatin1String(m->className()), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

void frRegisterGlobalComponent(QObject *component, bool isForm)
{
    if (!component)
        return;
    prune();
    for (const GlobalEntry &e : std::as_const(globals()))
        if (e.object == component)
            return;
    globals().append(GlobalEntry{component, isForm});
}

void frUnregisterGlobalComponent(QObject *component)
{
    auto &g = globals();
    for (int i = int(g.size()) - 1; i >= 0; --i)
        if (!g[i].object || g[i].object == component)
            g.removeAt(i);
}

QList<QObject *> frGlobalComponents()
{
    prune();
    QList<QObject *> out;
    // Forms first (the screen's forms), then data modules.
    for (const GlobalEntry &e : std::as_const(globals()))
        if (e.isForm)
            out << e.object.data();
    for (const GlobalEntry &e : std::as_const(globals()))
        if (!e.isForm)
            out << e.object.data();
    return out;
}

QObject *frFindGlobalComponent(const QString &name)
{
    for (QObject *o : frGlobalComponents())
        if (sameName(o, name))
            return o;
    return nullptr;
}

QObject *frFindOwnedComponent(const QObject *owner, const QString &name) { return findOwned(owner, name); }

void frSetReportOwner(QObject *owner) { g_reportOwner = owner; }
QObject *frReportOwner() { return g_reportOwner.data(); }

QObject *FindComponentByPath(const QObject *owner, const QString &path)
{
    try {
        const int dot = path.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return findOwned(owner, path);
        const QString first = path.left(dot);
        const QString rest = path.mid(dot + 1);
        QObject *top = frFindGlobalComponent(first);
        if (!top)
            return nullptr;
        const int dot2 = rest.indexOf(QLatin1Char('.'));
        if (dot2 < 0)
            return findOwned(top, rest);
        QObject *middle = findOwned(top, rest.left(dot2));
        if (!middle)
            return nullptr;
        return findOwned(middle, rest.mid(dot2 + 1));
    } catch (const std::exception &) {
        throw EfrClassNotFound(QStringLiteral("Missing ") + path);
    }
}

QObject *FindReportComponent(const QString &path) { return FindComponentByPath(frReportOwner(), path); }

QString FieldExists(const IfrDataSource *ds, const QString &name)
{
    if (!ds)
        return QString();
    QStringList names;
    try {
        GetFieldNames(ds, names);
    } catch (...) {
    }
    for (const QString &n : std::as_const(names))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return QString();
}

QString FieldExists(const QObject *component, const QString &name)
{
    QStringList names;
    TryGetFieldNames(component, names);
    for (const QString &n : std::as_const(names))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return QString();
}

void FindDataSetField(const QString &path, IfrDataSource *&dataSet, QString &fieldName)
{
    fieldName.clear();
    // Cut at each "."; from the first double quote on the rest (at most 255 characters) is one part.
    QStringList parts;
    QString cur;
    for (int i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == QLatin1Char('"')) {
            cur += path.mid(i, 255);
            break;
        }
        if (c == QLatin1Char('.')) {
            parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts << cur;

    IfrDataSource *ds = nullptr;
    QString field;
    switch (parts.size()) {
    case 1:
        if (!dataSet)
            return;
        ds = dataSet;
        field = UnquoteText(path);
        break;
    case 2:
        ds = frAsDataSource(FindComponentByPath(frReportOwner(), parts[0]));
        field = UnquoteText(parts[1]);
        break;
    case 3:
    case 4: {
        QObject *o = frFindGlobalComponent(parts[0]);
        for (int i = 1; o && i < parts.size() - 1; ++i)
            o = findOwned(o, parts[i]);
        ds = frAsDataSource(o);
        field = UnquoteText(parts.last());
        break;
    }
    default:
        return;
    }
    if (!ds)
        return;
    dataSet = ds;
    fieldName = FieldExists(ds, field);
}

QVariant FieldValue(IfrDataSource *ds, int field)
{
    if (!ds->IsOpen())
        ds->Open();
    const TfrFieldType t = ds->FieldType(field);
    if (ds->HasDisplayHandler(field) || t == TfrFieldType::LargeInt)
        return QVariant(ds->DisplayText(field));
    if (ds->IsNull(field)) {
        switch (t) {
        case TfrFieldType::String:
        case TfrFieldType::WideString:
            return QVariant(QString());
        case TfrFieldType::Boolean:
            return QVariant(false);
        default:
            return QVariant(0);
        }
    }
    QVariant v = ds->Value(field);
    if (v.typeId() == QMetaType::QByteArray && t != TfrFieldType::Blob && t != TfrFieldType::Graphic
        && t != TfrFieldType::TypedBinary)
        v = QVariant(QString::fromUtf8(v.toByteArray()));
    return v;
}

QVariant FieldValue(IfrDataSource *ds, const QString &fieldName)
{
    if (!ds->IsOpen())
        ds->Open();
    const int i = ds->FieldIndex(fieldName);
    if (i < 0)
        throw EfrDataError(QStringLiteral("Field '%1' not found").arg(fieldName));
    return FieldValue(ds, i);
}

namespace {
bool isNestedContainer(const QObject *o) { return o->property("frContainer").toBool(); }

// Components of `container` at any depth, not entering nested containers; nested
// containers are collected in `nested`.
void collect(const QObject *container, QList<QObject *> &out, QList<QObject *> &nested)
{
    for (QObject *c : container->children()) {
        if (isNestedContainer(c)) {
            nested << c;
            continue;
        }
        out << c;
        collect(c, out, nested);
    }
}

void visitContainer(const QObject *container, const QObject *global, const QObject *owner,
                    const QString &className, QStringList &list, const QObject *exclude)
{
    QList<QObject *> comps, nested;
    collect(container, comps, nested);
    // Depth first: the nested containers of a form come before its own components.
    for (QObject *n : std::as_const(nested))
        visitContainer(n, global, owner, className, list, exclude);
    for (QObject *c : std::as_const(comps)) {
        if (c == exclude || c->objectName().isEmpty() || !inheritsName(c, className))
            continue;
        QString name;
        if (container == owner)
            name = c->objectName();
        else if (container == global)
            name = container->objectName() + QLatin1Char('.') + c->objectName();
        else
            name = global->objectName() + QLatin1Char('.') + container->objectName() + QLatin1Char('.')
                + c->objectName();
        if (!list.contains(name))
            list << name;
    }
}
} // namespace

void GetComponentsOfClass(const QObject *owner, const QString &className, QStringList &list,
                          const QObject *exclude)
{
    list.clear();
    for (QObject *container : frGlobalComponents())
        visitContainer(container, container, owner, className, list, exclude);
}

QWidget *FindControlAtPoint(QWidget *parent, const QPoint &point)
{
    if (!parent)
        return nullptr;
    const QObjectList kids = parent->children();
    for (int i = int(kids.size()) - 1; i >= 0; --i) {
        QWidget *w = qobject_cast<QWidget *>(kids[i]);
        if (!w || !w->isVisible() || w->isWindow())
            continue;
        if (!w->geometry().contains(point))
            continue;
        if (QWidget *deeper = FindControlAtPoint(w, point - w->pos()))
            return deeper;
        return w;
    }
    return nullptr;
}

void SetControlsEnabled(const QList<QWidget *> &controls, bool enabled)
{
    for (QWidget *w : controls) {
        if (!w)
            continue;
        QPalette pal = w->palette();
        if (qobject_cast<QLabel *>(w)) {
            pal.setColor(QPalette::WindowText, pal.color(enabled ? QPalette::Active : QPalette::Disabled,
                                                         QPalette::WindowText));
        } else {
            pal.setColor(QPalette::Base, enabled ? pal.color(QPalette::Active, QPalette::Base)
                                                 : pal.color(QPalette::Active, QPalette::Button));
        }
        w->setPalette(pal);
        w->setEnabled(enabled);
    }
}

QString UnquoteText(const QString &text)
{
    if (text.size() > 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

QString NextListItem(const QString &text, int &position)
{
    const int start = position;
    int p = position;
    while (p <= text.size() && text[p - 1] != QLatin1Char(';'))
        ++p;
    position = p + 1;
    return text.mid(start - 1, p - start);
}

void SplitList(const QString &text, QStringList &list)
{
    list.clear();
    int pos = 1;
    while (pos <= text.size())
        list << NextListItem(text, pos);
}

double ParseFloatText(const QString &text)
{
    QString t = text;
    const QChar dec = GetEngineLocale()->DecimalSeparator;
    t.replace(QLatin1Char(','), dec);
    t.replace(QLatin1Char('.'), dec);
    return frStrToFloat(t.trimmed());
}

QString GetWindowsVersion() { return QStringLiteral("NT"); }
