#pragma once
// The designer's flat combo boxes (the toolbars' font name, size and frame
// width), the font combo with its five recent fonts and sample window, and the
// borderless pop-up list the object inspector drops down.
#include <QComboBox>
#include <QWidget>

class QLabel;
class QListWidget;

class TfrCustomComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TfrCustomComboBox(QWidget *parent = nullptr);

    int EditOffset() const { return m_editOffset; }
    void SetEditOffset(int offset);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    static constexpr int ButtonWidth = 11;
    // The list opened upward the last time it dropped down.
    bool DroppedUpward() const { return m_upward; }
    // Hot: dropped down, the field has the focus, or the mouse is over it.
    bool Hot() const;
    // Height of the drop-down list for the current items.
    int DropDownHeight() const;

    void showPopup() override;
    void hidePopup() override;
    QSize sizeHint() const override;

signals:
    // The operator picked an entry of the list (not a text set by code).
    void ListEntryChosen(int index);

protected:
    // Paints the area left of the text; the base fills it with the window colour.
    virtual void DrawImage(QPainter &p, const QRect &r);
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void placeEditor();
    int m_editOffset = 0;
    bool m_readOnly = false;
    bool m_upward = false;
    bool m_mouseIn = false;
    bool m_dropped = false;
};

class TfrComboBox : public TfrCustomComboBox {
    Q_OBJECT
public:
    using TfrCustomComboBox::TfrCustomComboBox;
};

// The sample of the highlighted font while the font list is open.
class TfrFontPreview : public QWidget {
    Q_OBJECT
public:
    explicit TfrFontPreview(QWidget *owner);
    void ShowFont(const QString &family);
    QLabel *Panel() const { return m_panel; }
private:
    QLabel *m_panel;
};

class TfrFontComboBox : public TfrCustomComboBox {
    Q_OBJECT
public:
    explicit TfrFontComboBox(QWidget *parent = nullptr);

    bool ShowMRU = true;
    QString MRURegKey = QStringLiteral("\\Software\\OrvReport\\MRUFont");
    // Number of recent fonts at the top of the list, minus one (-1 none).
    int MRUCount() const { return m_mruCount; }
    // Fills the list: every family, the recent ones first (slots of fonts that are gone
    // are cleared). `families` replaces the installed ones (tests).
    void PopulateList(const QStringList &families = QStringList());
    // An entry picked from the list: it becomes the most recent font.
    void FontChosen(int index);
    TfrFontPreview *Preview() const { return m_preview; }

    void showPopup() override;
    void hidePopup() override;

protected:
    void DrawImage(QPainter &p, const QRect &r) override;

private:
    void writeSlots();
    TfrFontPreview *m_preview;
    int m_mruCount = -1;
    bool m_updating = false;
};

class TfrPopupListBox : public QWidget {
    Q_OBJECT
public:
    explicit TfrPopupListBox(QWidget *parent = nullptr);
    QListWidget *ListBox;
};
