#pragma once
// The list of the internal documents, one child window for the seven kinds: the list entries
// open it on their kind, or switch the open one to it (warehouse/internallist.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmDiaoBoList : public DocumentListWindow {
    Q_OBJECT
public:
    // Opens on the kind of G.gDocKind.
    explicit TfrmDiaoBoList(QWidget *parent = nullptr);

    // The list's own kind: only this changes it; an entry window changing G.gDocKind does not.
    int kind() const { return m_kind; }
    void showKind(int kind);

private:
    int m_kind;
};

inline QPointer<TfrmDiaoBoList> frmDiaoBoList;

} // namespace orv
