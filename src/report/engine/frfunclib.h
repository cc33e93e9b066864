#pragma once
// The hook through which function libraries plug into the engine (the library
// registry): TfrFunctionLibrary, RegisterFunctionLibrary / UnregisterFunctionLibrary
// and TfrInstalledFunctions (descriptions for the designer's function picker).
//
// frCallFunctionLibraries is what a report's function handler
// (TfrReport.RunFunction) asks first; the libraries themselves (standard, database)
// are built elsewhere and registered by TfrGlobals' creation hook.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class TfrFunctionLibrary {
public:
    virtual ~TfrFunctionLibrary();
    // A stable class name; libraries are registered once per class name.
    virtual QString ClassName() const = 0;
    QStringList Names;   // function names handled, upper-case

    // When Names holds name (case-insensitive): ComputeFunction and true; else false
    // and value untouched. Arguments are source texts.
    bool OnFunction(const QString &name, const QVariant &p1, const QVariant &p2,
                    const QVariant &p3, QVariant &value);
    virtual void ComputeFunction(int index, const QString &name, const QVariant &p1,
                                 const QVariant &p2, const QVariant &p3, QVariant &value) = 0;
    // Records a description in the engine's installed functions.
    void AddFunctionDesc(const QString &name, const QString &category, const QString &description);
};

using TfrFunctionLibraryFactory = std::function<std::unique_ptr<TfrFunctionLibrary>()>;

// Registers one instance made by the factory unless a library of the same class name
// is registered. Returns the registered instance (existing or new).
TfrFunctionLibrary *RegisterFunctionLibrary(const QString &className, const TfrFunctionLibraryFactory &make);
void UnregisterFunctionLibrary(const QString &className);
QList<TfrFunctionLibrary *> frFunctionLibraries();   // registration order
// Asks the libraries in registration order; true when one handled the call.
bool frCallFunctionLibraries(const QString &name, const QVariant &p1, const QVariant &p2,
                             const QVariant &p3, QVariant &value);

class TfrInstalledFunctions {
public:
    struct Desc { QString libraryClass, name, category, description; };
    // Ignored when category is empty or a description of exactly that name exists.
    void Add(const QString &libraryClass, const QString &name, const QString &category,
             const QString &description);
    QString GetFunctionDescription(const QString &name) const;     // case-insensitive; empty
    void GetCategoryList(QStringList &list) const;                  // distinct, sorted
    // Sorted names of a category; every name for an empty category or res 55348 "所有函数".
    void GetFunctionList(const QString &category, QStringList &list) const;
    void RemoveLibrary(const QString &libraryClass);
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
private:
    QList<Desc> m_items;
};
TfrInstalledFunctions &frInstalledFunctions();
