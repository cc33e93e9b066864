#include "report/engine/frvariables.h"

namespace {
int cmpName(const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive); }
} // namespace

int TfrVariables::findSorted(const QString &name, bool *found) const
{
    int lo = 0, hi = int(m_items.size()) - 1;
    *found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = cmpName(m_items[mid].name, name);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                *found = true;
        }
    }
    return lo;
}

int TfrVariables::findUnsorted(const QString &name) const
{
    if (!m_indexed) {
        m_index.clear();
        m_index.reserve(m_items.size());
        // Walked backwards so the first of equal names wins.
        for (int i = int(m_items.size()) - 1; i >= 0; --i)
            m_index.insert(m_items[i].name.toCaseFolded(), i);
        m_indexed = true;
    }
    const auto it = m_index.constFind(name.toCaseFolded());
    return it != m_index.constEnd() ? *it : -1;
}

int TfrVariables::IndexOf(const QString &name) const
{
    if (m_sorted) {
        bool found = false;
        const int i = findSorted(name, &found);
        return found ? i : -1;
    }
    return findUnsorted(name);
}

void TfrVariables::SetValue(const QString &name, const QVariant &value)
{
    if (m_sorted) {
        bool found = false;
        const int i = findSorted(name, &found);
        if (found)
            m_items[i].value = value;
        else
            m_items.insert(i, Item{name, value});
        return;
    }
    const int i = IndexOf(name);
    if (i >= 0) {
        m_items[i].value = value;
        return;
    }
    m_items.append(Item{name, value});
    if (m_indexed)
        m_index.insert(name.toCaseFolded(), int(m_items.size()) - 1);
}

QVariant TfrVariables::GetValue(const QString &name) const
{
    const int i = IndexOf(name);
    return i >= 0 ? m_items[i].value : frNull();
}

void TfrVariables::SetValueAt(int index, const QVariant &value)
{
    if (index >= 0 && index < m_items.size())
        m_items[index].value = value;
}

QVariant TfrVariables::GetValueAt(int index) const
{
    if (index >= 0 && index < m_items.size())
        return m_items[index].value;
    return QVariant(0);
}

QString TfrVariables::GetName(int index) const
{
    if (index >= 0 && index < m_items.size())
        return m_items[index].name;
    return QString();
}

void TfrVariables::SetName(int index, const QString &name)
{
    if (index < 0 || index >= m_items.size())
        return;
    if (!m_sorted) {
        m_items[index].name = name;
        invalidateIndex();
        return;
    }
    // A sorted list keeps its order: re-place the entry (a duplicate name is dropped).
    Item it = m_items.takeAt(index);
    it.name = name;
    bool found = false;
    const int i = findSorted(name, &found);
    if (!found)
        m_items.insert(i, it);
}

void TfrVariables::Insert(int position, const QString &name)
{
    SetValue(name, QVariant(0));
    if (m_sorted)
        return;   // a sorted list decides the place itself
    const int i = IndexOf(name);
    if (position < 0)
        position = 0;
    if (position >= m_items.size())
        position = int(m_items.size()) - 1;
    if (i >= 0 && i != position) {
        m_items.move(i, position);
        invalidateIndex();
    }
}

void TfrVariables::Delete(int index)
{
    if (index >= 0 && index < m_items.size()) {
        m_items.removeAt(index);
        invalidateIndex();
    }
}

void TfrVariables::Assign(const TfrVariables &other)
{
    Clear();
    invalidateIndex();
    if (m_sorted) {
        for (const Item &it : other.m_items)
            SetValue(it.name, it.value);
    } else {
        m_items = other.m_items;
    }
}

void TfrVariables::SetSorted(bool sorted)
{
    if (sorted == m_sorted)
        return;
    m_sorted = sorted;
    invalidateIndex();
    if (!sorted)
        return;
    // Sort, dropping duplicates (the first occurrence wins).
    QList<Item> old = m_items;
    m_items.clear();
    for (const Item &it : old) {
        bool found = false;
        const int i = findSorted(it.name, &found);
        if (!found)
            m_items.insert(i, it);
    }
}

QStringList TfrVariables::Names() const
{
    QStringList out;
    out.reserve(m_items.size());
    for (const Item &it : m_items)
        out << it.name;
    return out;
}
