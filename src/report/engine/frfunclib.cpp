#include "report/engine/frfunclib.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<std::unique_ptr<TfrFunctionLibrary>> &libraries()
{
    static std::vector<std::unique_ptr<TfrFunctionLibrary>> libs;
    return libs;
}
} // namespace

TfrFunctionLibrary::~TfrFunctionLibrary() = default;

bool TfrFunctionLibrary::OnFunction(const QString &name, const QVariant &p1, const QVariant &p2,
                                    const QVariant &p3, QVariant &value)
{
    for (int i = 0; i < Names.size(); ++i) {
        if (Names[i].compare(name, Qt::CaseInsensitive) == 0) {
            ComputeFunction(i, Names[i], p1, p2, p3, value);
            return true;
        }
    }
    return false;
}

void TfrFunctionLibrary::AddFunctionDesc(const QString &name, const QString &category, const QString &description)
{
    frInstalledFunctions().Add(ClassName(), name, category, description);
}

TfrFunctionLibrary *RegisterFunctionLibrary(const QString &className, const TfrFunctionLibraryFactory &make)
{
    for (const auto &l : libraries())
        if (l->ClassName() == className)
            return l.get();
    std::unique_ptr<TfrFunctionLibrary> lib = make();
    if (!lib)
        return nullptr;
    libraries().push_back(std::move(lib));
    return libraries().back().get();
}

void UnregisterFunctionLibrary(const QString &className)
{
    auto &libs = libraries();
    for (auto it = libs.begin(); it != libs.end(); ++it) {
        if ((*it)->ClassName() == className) {
            frInstalledFunctions().RemoveLibrary(className);
            libs.erase(it);
            return;
        }
    }
}

QList<TfrFunctionLibrary *> frFunctionLibraries()
{
    QList<TfrFunctionLibrary *> out;
    for (const auto &l : libraries())
        out << l.get();
    return out;
}

bool frCallFunctionLibraries(const QString &name, const QVariant &p1, const QVariant &p2,
                             const QVariant &p3, QVariant &value)
{
    // A copy: a library may (un)register others while it runs.
    const QList<TfrFunctionLibrary *> libs = frFunctionLibraries();
    for (TfrFunctionLibrary *l : libs)
        if (l->OnFunction(name, p1, p2, p3, value))
            return true;
    return false;
}

// ---------------------------------------------------------------------------

void TfrInstalledFunctions::Add(const QString &libraryClass, const QString &name, const QString &category,
                                const QString &description)
{
    if (category.isEmpty())
        return;
    for (const Desc &d : std::as_const(m_items))
        if (d.name == name)
            return;
    m_items.append(Desc{libraryClass, name, category, description});
}

QString TfrInstalledFunctions::GetFunctionDescription(const QString &name) const
{
    for (const Desc &d : m_items)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return d.description;
    return QString();
}

void TfrInstalledFunctions::GetCategoryList(QStringList &list) const
{
    list.clear();
    for (const Desc &d : m_items)
        if (!list.contains(d.category))
            list << d.category;
    list.sort();
}

void TfrInstalledFunctions::GetFunctionList(const QString &category, QStringList &list) const
{
    list.clear();
    const bool all = category.isEmpty() || category == GetLocalizedString(frRes::AllFunctions);
    for (const Desc &d : m_items)
        if (all || d.category == category)
            list << d.name;
    list.sort();
}

void TfrInstalledFunctions::RemoveLibrary(const QString &libraryClass)
{
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&](const Desc &d) { return d.libraryClass == libraryClass; }),
                  m_items.end());
}

TfrInstalledFunctions &frInstalledFunctions()
{
    static TfrInstalledFunctions f;
    return f;
}
