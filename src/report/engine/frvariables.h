#pragma once
// TfrVariables: an ordered list of named variant values. Name lookup is
// case-insensitive; duplicates are ignored while sorted. Insertion order unless
// switched to sorted order (the engine's GlobalVariables and ScriptConstants are sorted).
#include "report/engine/frvalue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TfrVariables {
public:
    TfrVariables() = default;
    TfrVariables(const TfrVariables &other) { Assign(other); }
    TfrVariables &operator=(const TfrVariables &other) { if (this != &other) Assign(other); return *this; }

    // Sets the named entry, appending it (or inserting it in order when sorted) when absent.
    void SetValue(const QString &name, const QVariant &value);
    // Its value; Null (frNull()) when absent.
    QVariant GetValue(const QString &name) const;
    QVariant operator[](const QString &name) const { return GetValue(name); }

    void SetValueAt(int index, const QVariant &value);   // ignored out of range
    QVariant GetValueAt(int index) const;                // the integer 0 out of range

    int IndexOf(const QString &name) const;              // -1 when absent
    bool Contains(const QString &name) const { return IndexOf(name) >= 0; }
    int Count() const { return int(m_items.size()); }
    QString GetName(int index) const;                    // empty out of range
    void SetName(int index, const QString &name);        // ignored out of range

    // Sets the name's value to 0 (appending it when absent) and moves the entry to position.
    void Insert(int position, const QString &name);
    void Delete(int index);                              // ignored out of range
    void Clear() { m_items.clear(); invalidateIndex(); }
    void Assign(const TfrVariables &other);

    void SetSorted(bool sorted);
    bool Sorted() const { return m_sorted; }

    QStringList Names() const;

private:
    struct Item { QString name; QVariant value; };
    int findSorted(const QString &name, bool *found) const;
    int findUnsorted(const QString &name) const;
    void invalidateIndex() { m_indexed = false; m_index.clear(); }
    QList<Item> m_items;
    bool m_sorted = false;
    // Unsorted lists find names through a hash of their case-folded forms (first
    // occurrence), built on demand, so filling a list of n names costs O(n).
    mutable QHash<QString, int> m_index;
    mutable bool m_indexed = false;
};
