#include "report/designer/frdesignerform.h"
#include "report/designer/frcolorselector.h"
#include "report/designer/frcombos.h"
#include "report/designer/frdesignerpage.h"

#include "report/engine/frband.h"
#include "report/engine/frdock.h"
#include "report/engine/frfonts.h"
#include "report/engine/frformstate.h"
#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpage.h"
#include "report/engine/frstrings.h"
#include "report/engine/frtbitems.h"
#include "report/engine/frfloatwindow.h"
#include "report/engine/frtoolbar.h"
#include "report/engine/frutils.h"

#include "common/prompt.h"
#include "common/settings.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

namespace {
QString res(int id) { return GetLocalizedString(id); }

// A 16x16 glyph: a short symbol on the transparent colour of the buttons.
QImage textGlyph(const QString &symbol, const QColor &ink = Qt::black)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 0));
    QPainter p(&img);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(symbol.size() > 1 ? 8 : 12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRect(0, 0, 16, 14), Qt::AlignCenter, symbol);
    return img;
}

// The colour-bar strip: three slices of a normal and a disabled 16x16 glyph, the bar in pure red.
QImage colorBarStrip()
{
    QImage strip(96, 16, QImage::Format_RGB32);
    strip.fill(qRgb(128, 128, 0));
    QPainter p(&strip);
    const char *symbols[3] = {"A", "\u25A3", "\u25A1"};
    for (int slice = 0; slice < 3; ++slice)
        for (int half = 0; half < 2; ++half) {
            const int x = slice * 32 + half * 16;
            QImage g = textGlyph(QString::fromUtf8(symbols[slice]), half ? QColor(128, 128, 128) : QColor(Qt::black));
            p.drawImage(x, -2, g.copy(0, 0, 16, 14));
            p.fillRect(x + 1, 13, 14, 2, half ? QColor(128, 128, 128) : QColor(255, 0, 0));
        }
    return strip;
}

bool isText(const TfrView *v) { return dynamic_cast<const TfrMemoView *>(v) != nullptr; }
} // namespace

// ---------------------------------------------------------------------------

TfrCoordinatesPanel::TfrCoordinatesPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PBox1"));
    setFixedSize(230, 18);
}

void TfrCoordinatesPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(2, 1, 15, 15), Qt::AlignCenter, QStringLiteral("\u2316"));
    if (SizeIcon)
        p.drawText(QRect(92, 1, 15, 15), Qt::AlignCenter, QStringLiteral("\u2194"));
    p.drawText(QPoint(20, 13), PositionText);
    p.drawText(QPoint(110, 13), SizeText);
    p.drawText(QPoint(170, 13), ScaleText);
}

// ---------------------------------------------------------------------------
// Creation

TfrDesignerForm::TfrDesignerForm(bool isMainSession) : TfrReportDesigner(isMainSession)
{
    setObjectName(QStringLiteral("frDesignerForm"));
    BaseCaption = res(53080);
    setWindowTitle(BaseCaption);
    setSizeGripEnabled(true);
    SyncingToolbars = true;
    Model.Changed = [this] { SetModified(true); };
    Model.UndoStateChanged = [this] {
        if (m_destroyed)
            return;
        Action(QStringLiteral("N46"))->setEnabled(Model.UndoCount() > 0);
        Action(QStringLiteral("N48"))->setEnabled(Model.RedoCount() > 0);
    };
    m_colorBar = colorBarStrip();
    CreateActions();
    CreateMenus();
    CreateBody();
    CreateToolbars();
    resize(1000, 720);
}

TfrDesignerForm::~TfrDesignerForm()
{
    FormDestroy();
}

template <typename F> void TfrDesignerForm::Guarded(F &&f)
{
    m_guard.Run(std::forward<F>(f));
}

QAction *TfrDesignerForm::AddAction(const QString &name, const QString &text, std::function<void()> handler,
                                    const QKeySequence &shortcut, bool checkable)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    a->setCheckable(checkable);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    if (handler)
        connect(a, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    m_actions.insert(name, a);
    addAction(a);
    return a;
}

void TfrDesignerForm::CreateActions()
{
    // File
    AddAction(QStringLiteral("N23"), res(53157), {}, QKeySequence(Qt::CTRL | Qt::Key_N));
    AddAction(QStringLiteral("N19"), res(53158), {}, QKeySequence(Qt::CTRL | Qt::Key_O));
    AddAction(QStringLiteral("N20"), res(53159), {}, QKeySequence(Qt::CTRL | Qt::Key_S));
    AddAction(QStringLiteral("N17"), res(53160), {});
    AddAction(QStringLiteral("N42"), res(53161), {});
    AddAction(QStringLiteral("N8"), res(53162), {});
    AddAction(QStringLiteral("N25"), res(53163), [this] { PgB3Click(); });
    AddAction(QStringLiteral("N39"), res(53164), {}, QKeySequence(Qt::CTRL | Qt::Key_P));
    AddAction(QStringLiteral("N10"), res(53165), [this] { accept(); });
    // Edit
    AddAction(QStringLiteral("N46"), res(53167), [this] { Undo(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddAction(QStringLiteral("N48"), res(53168), [this] { Redo(); }, QKeySequence(Qt::CTRL | Qt::Key_Y));
    AddAction(QStringLiteral("N11"), res(53169), [this] { Cut(); }, QKeySequence(Qt::CTRL | Qt::Key_X));
    AddAction(QStringLiteral("N12"), res(53170), [this] { Copy(); }, QKeySequence(Qt::CTRL | Qt::Key_C));
    AddAction(QStringLiteral("N13"), res(53171), [this] { Paste(); }, QKeySequence(Qt::CTRL | Qt::Key_V));
    AddAction(QStringLiteral("N27"), res(53172), [this] { Delete(); });
    AddAction(QStringLiteral("N28"), res(53173), [this] { SelectAll(); }, QKeySequence(Qt::CTRL | Qt::Key_A));
    AddAction(QStringLiteral("N36"), res(53174), [this] { ShowObjectEditor(); });
    AddAction(QStringLiteral("N29"), res(53175), {});
    AddAction(QStringLiteral("N15"), res(53176), {});
    AddAction(QStringLiteral("N30"), res(53177), {});
    AddAction(QStringLiteral("N32"), res(53178), [this] { BringToFront(); });
    AddAction(QStringLiteral("N33"), res(53179), [this] { SendToBack(); });
    // Tools
    AddAction(QStringLiteral("N14"), res(53191), {});
    // Help: there is no help file; the items stay and do nothing.
    AddAction(QStringLiteral("N22"), res(53192), {}, QKeySequence(Qt::Key_F1));
    AddAction(QStringLiteral("N35"), res(53193), {}, QKeySequence(Qt::SHIFT | Qt::Key_F1));
    AddAction(QStringLiteral("N34"), res(53194), {});
    // Grid and fit
    AddAction(QStringLiteral("GB1"), res(53103), [this] { SetGridShow(Action(QStringLiteral("GB1"))->isChecked()); },
              {}, true);
    AddAction(QStringLiteral("GB2"), res(53104), [this] { SetGridAlign(Action(QStringLiteral("GB2"))->isChecked()); },
              {}, true);
    AddAction(QStringLiteral("GB3"), res(53105), [this] { FitToGrid(); });
    AddAction(QStringLiteral("HelpBtn"), res(53106), {}, {}, true);
    // Formatting commands run DoClick with the button's Tag.
    struct Fmt { const char *name; int hint; int tag; bool checkable; };
    const Fmt fmts[] = {
        {"FnB1", 53117, 9, true},   {"FnB2", 53118, 10, true},  {"FnB3", 53119, 18, true},
        {"AlB1", 53109, 11, true},  {"AlB3", 53111, 13, true},  {"AlB2", 53110, 12, true},
        {"AlB8", 53116, 22, true},  {"AlB6", 53114, 15, true},  {"AlB5", 53113, 15, true},
        {"AlB7", 53115, 15, true},  {"AlB4", 53112, 14, true},  {"FrB1", 53124, 1, true},
        {"FrB2", 53125, 2, true},   {"FrB3", 53126, 3, true},   {"FrB4", 53127, 4, true},
        {"FrB5", 53128, 20, false}, {"FrB6", 53129, 21, false},
    };
    for (const Fmt &f : fmts) {
        const int tag = f.tag;
        AddAction(QString::fromLatin1(f.name), res(f.hint), [this, tag] { DoClick(tag); }, {}, f.checkable);
    }
    AddAction(QStringLiteral("HlB1"), res(53121), {});
    for (int n = 1; n <= 10; ++n)
        AddAction(QStringLiteral("Align%1").arg(n), res(53139 + n), [this, n] { AlignClick(n); });
}

void TfrDesignerForm::CreateMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto add = [this](QMenu *m, const char *name) { m->addAction(Action(QString::fromLatin1(name))); };
    QMenu *file = MainMenu1->addMenu(res(53156));
    file->setObjectName(QStringLiteral("FileMenu"));
    for (const char *n : {"N23", "N19", "N20", "N17"})
        add(file, n);
    file->addSeparator()->setObjectName(QStringLiteral("N40"));
    add(file, "N42");
    file->addSeparator()->setObjectName(QStringLiteral("N21"));
    for (const char *n : {"N8", "N25", "N39"})
        add(file, n);
    file->addSeparator()->setObjectName(QStringLiteral("N24"));
    add(file, "N10");

    QMenu *edit = MainMenu1->addMenu(res(53166));
    edit->setObjectName(QStringLiteral("EditMenu"));
    add(edit, "N46");
    add(edit, "N48");
    edit->addSeparator()->setObjectName(QStringLiteral("N47"));
    for (const char *n : {"N11", "N12", "N13", "N27", "N28", "N36"})
        add(edit, n);
    edit->addSeparator()->setObjectName(QStringLiteral("N26"));
    for (const char *n : {"N29", "N15", "N30"})
        add(edit, n);
    edit->addSeparator()->setObjectName(QStringLiteral("N31"));
    add(edit, "N32");
    add(edit, "N33");

    QMenu *tools = MainMenu1->addMenu(res(53180));
    tools->setObjectName(QStringLiteral("ToolMenu"));
    QMenu *bars = tools->addMenu(res(53181));
    bars->setObjectName(QStringLiteral("N37"));
    struct Pan { const char *name; int text; int tag; };
    const Pan pans[] = {{"Pan2", 53183, 1}, {"Pan3", 53184, 2}, {"Pan1", 53182, 0}, {"Pan4", 53185, 3},
                        {"Pan6", 53187, 4}, {"Pan7", 53188, 6}, {"Pan5", 53186, 5}, {"Pan8", 53189, 7}};
    for (const Pan &pn : pans) {
        QAction *a = bars->addAction(res(pn.text));
        a->setObjectName(QString::fromLatin1(pn.name));
        a->setCheckable(true);
        a->setData(pn.tag);
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, a](bool on) {
            Guarded([&] {
                TfrToolBar *bar = nullptr;
                switch (a->data().toInt()) {
                case 0: bar = Panel1; break;
                case 1: bar = Panel2; break;
                case 2: bar = Panel3; break;
                case 3: bar = Panel4; break;
                case 4: bar = Panel5; break;
                case 6: bar = Panel6; break;
                default: break;   // the inspector and the insert-fields window come with their windows
                }
                if (bar)
                    bar->SetVisible(on);
            });
        });
    }
    connect(bars, &QMenu::aboutToShow, this, [this] {
        const std::pair<const char *, TfrToolBar *> map[] = {{"Pan1", Panel1}, {"Pan2", Panel2}, {"Pan3", Panel3},
                                                             {"Pan4", Panel4}, {"Pan6", Panel5}, {"Pan7", Panel6}};
        for (const auto &[name, bar] : map)
            Action(QString::fromLatin1(name))->setChecked(bar->IsVisible());
        Action(QStringLiteral("Pan5"))->setEnabled(false);
        Action(QStringLiteral("Pan8"))->setEnabled(false);
    });
    QMenu *mast = tools->addMenu(res(53190));
    mast->setObjectName(QStringLiteral("MastMenu"));
    mast->setEnabled(false);
    add(tools, "N14");

    QMenu *help = MainMenu1->addMenu(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    add(help, "N22");
    add(help, "N35");
    help->addSeparator()->setObjectName(QStringLiteral("N18"));
    add(help, "N34");

    // The surface's pop-up: seven fixed items, then the object's own and the inspector item.
    Popup1 = new QMenu(this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    const std::pair<const char *, const char *> popupItems[] = {
        {"N2", "N11"}, {"N1", "N12"}, {"N3", "N13"}, {"N5", "N27"}, {"N16", "N28"}};
    const int texts[] = {53150, 53151, 53152, 53153, 53154};
    for (int i = 0; i < 5; ++i) {
        QAction *main = Action(QString::fromLatin1(popupItems[i].second));
        QAction *a = Popup1->addAction(res(texts[i]));
        a->setObjectName(QString::fromLatin1(popupItems[i].first));
        a->setShortcut(main->shortcut());
        a->setShortcutVisibleInContextMenu(true);
        connect(a, &QAction::triggered, main, &QAction::trigger);
        m_actions.insert(a->objectName(), a);
    }
    Popup1->addSeparator()->setObjectName(QStringLiteral("N38"));
    QAction *n6 = Popup1->addAction(res(53155));
    n6->setObjectName(QStringLiteral("N6"));
    connect(n6, &QAction::triggered, this, [this] { Guarded([this] { ShowObjectEditor(); }); });
    m_actions.insert(QStringLiteral("N6"), n6);

    Popup2 = new QMenu(this);
    Popup2->setObjectName(QStringLiteral("Popup2"));
    const std::pair<const char *, const char *> tabItems[] = {
        {"N41", "Add page"}, {"N45", "Add dialog form"}, {"N43", "Delete page"}, {"N44", "Page options"}};
    for (const auto &[name, text] : tabItems) {
        QAction *a = Popup2->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false);
        m_actions.insert(a->objectName(), a);
    }
}

void TfrDesignerForm::CreateBody()
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->setMenuBar(MainMenu1);
    frDock1 = new TfrDock(frdock::alTop, this);
    frDock1->setObjectName(QStringLiteral("frDock1"));
    v->addWidget(frDock1);
    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    frDock2 = new TfrDock(frdock::alLeft, this);
    frDock2->setObjectName(QStringLiteral("frDock2"));
    middle->addWidget(frDock2);
    auto *center = new QWidget(this);
    center->setObjectName(QStringLiteral("Tab1Area"));
    auto *cv = new QVBoxLayout(center);
    cv->setContentsMargins(0, 0, 0, 0);
    cv->setSpacing(0);
    Tab1 = new QTabBar(center);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    Tab1->setExpanding(false);
    Tab1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Tab1, &QTabBar::currentChanged, this, [this](int i) {
        if (!SyncingToolbars && i >= 0 && i != CurPageIndex)
            Guarded([&] { SwitchDesignerPage(i); });
    });
    connect(Tab1, &QTabBar::customContextMenuRequested, this,
            [this](const QPoint &p) { Popup2->popup(Tab1->mapToGlobal(p)); });
    cv->addWidget(Tab1);
    ScrollBox1 = new QScrollArea(center);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("ScrollContent"));
    content->setAutoFillBackground(true);
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    content->setPalette(pal);
    ScrollBox1->setWidget(content);
    DesignSurface = new TfrDesignerPage(this, Model, content);
    cv->addWidget(ScrollBox1, 1);
    middle->addWidget(center, 1);
    frDock4 = new TfrDock(frdock::alRight, this);
    frDock4->setObjectName(QStringLiteral("frDock4"));
    middle->addWidget(frDock4);
    v->addLayout(middle, 1);
    frDock3 = new TfrDock(frdock::alBottom, this);
    frDock3->setObjectName(QStringLiteral("frDock3"));
    v->addWidget(frDock3);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusUnits = new QLabel(res(55330), StatusBar1);
    StatusUnits->setObjectName(QStringLiteral("StatusUnits"));
    StatusUnits->setFixedWidth(75);
    StatusUnits->installEventFilter(this);
    PBox1 = new TfrCoordinatesPanel(StatusBar1);
    StatusObject = new QLabel(StatusBar1);
    StatusObject->setObjectName(QStringLiteral("StatusObject"));
    StatusObject->setMinimumWidth(50);
    StatusBar1->addWidget(StatusUnits);
    StatusBar1->addWidget(PBox1);
    StatusBar1->addWidget(StatusObject, 1);
    v->addWidget(StatusBar1);

    ColorPicker = new TColorSelector(this);
    ColorPicker->hide();
    ColorPicker->OnColorSelected = [this](TColorSelector *) { Guarded([this] { ColorChosen(); }); };

    LinePanel = new QFrame(this);
    LinePanel->setObjectName(QStringLiteral("LinePanel"));
    static_cast<QFrame *>(LinePanel)->setFrameShape(QFrame::Panel);
    LinePanel->setAutoFillBackground(true);
    const char *styleSymbols[6] = {"\u2500", "- -", "\u00B7\u00B7", "-\u00B7", "-\u00B7\u00B7", "\u2550"};
    for (int i = 0; i < 6; ++i) {
        auto *b = new TfrSpeedButton(LinePanel);
        b->setObjectName(QStringLiteral("frSpeedButton%1").arg(i + 1));
        b->setGeometry(2 + i * 24, 2, 22, 22);
        b->SetFlat(true);
        b->SetGlyph(textGlyph(QString::fromUtf8(styleSymbols[i])));
        const int tag = 25 + i;
        connect(b, &TfrSpeedButton::clicked, this, [this, tag] {
            LinePanel->hide();
            Guarded([&] { DoClick(tag); });
        });
    }
    LinePanel->resize(2 + 6 * 24 + 2, 26);
    LinePanel->hide();
}

void TfrDesignerForm::Bind(TfrTBButton *b, QAction *a)
{
    b->setEnabled(a->isEnabled());
    if (a->isCheckable())
        b->SetDown(a->isChecked());
    connect(a, &QAction::changed, b, [a, b] {
        b->setEnabled(a->isEnabled());
        if (a->isCheckable() && b->Down() != a->isChecked())
            b->SetDown(a->isChecked());
    });
    connect(b, &TfrSpeedButton::clicked, a, [a, b] {
        if (!a->isEnabled())
            return;
        if (a->isCheckable()) {
            {
                const QSignalBlocker block(a);
                a->setChecked(b->Down());
            }
            emit a->triggered(a->isChecked());
        } else {
            a->trigger();
        }
    });
}

void TfrDesignerForm::SetToggle(const QString &name, bool down)
{
    if (QAction *a = Action(name)) {
        const QSignalBlocker block(a);
        a->setChecked(down);
    }
    if (TfrTBButton *b = Button(name))
        b->SetDown(down);
}

TfrTBButton *TfrDesignerForm::AddButton(TfrToolBar *bar, const QString &name, const QString &hint, int tag,
                                        QAction *action, int group, bool allowAllUp)
{
    auto *b = new TfrTBButton(bar);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setProperty("Tag", tag);
    b->SetFlat(true);
    b->resize(22, 22);
    if (group) {
        b->SetGroupIndex(group);
        b->SetAllowAllUp(allowAllUp);
    }
    if (action) {
        if (action->icon().isNull() && !b->Glyph().isNull())
            action->setIcon(QIcon(QPixmap::fromImage(b->Glyph())));
        Bind(b, action);
    }
    m_buttons.insert(name, b);
    return b;
}

void TfrDesignerForm::AddSeparator(TfrToolBar *bar)
{
    auto *s = new TfrTBSeparator(bar);
    s->resize(8, 22);
}

void TfrDesignerForm::CreateToolbars()
{
    auto makeBar = [this](const QString &name, int caption, TfrDock *dock) {
        auto *bar = new TfrToolBar(dock);
        bar->setObjectName(name);
        bar->SetCaption(res(caption));
        return bar;
    };
    Panel2 = makeBar(QStringLiteral("Panel2"), 53082, frDock1);
    Panel3 = makeBar(QStringLiteral("Panel3"), 53083, frDock1);
    Panel1 = makeBar(QStringLiteral("Panel1"), 53081, frDock1);
    Panel6 = makeBar(QStringLiteral("Panel6"), 53086, frDock1);
    Panel4 = makeBar(QStringLiteral("Panel4"), 53084, frDock2);
    Panel5 = makeBar(QStringLiteral("Panel5"), 53085, frDock4);

    auto glyphed = [this](TfrToolBar *bar, const char *name, int hint, int tag, const QString &symbol,
                          const char *action, int group = 0, bool allUp = false) {
        QAction *a = action ? Action(QString::fromLatin1(action)) : nullptr;
        TfrTBButton *btn = AddButton(bar, QString::fromLatin1(name), res(hint), tag, nullptr, group, allUp);
        btn->SetGlyph(textGlyph(symbol));
        if (a) {
            if (a->icon().isNull())
                a->setIcon(QIcon(QPixmap::fromImage(textGlyph(symbol))));
            Bind(btn, a);
        }
        return btn;
    };
    // Standard
    glyphed(Panel2, "FileBtn1", 53087, 40, QStringLiteral("N"), "N23");
    glyphed(Panel2, "FileBtn2", 53088, 41, QStringLiteral("O"), "N19");
    glyphed(Panel2, "FileBtn3", 53089, 42, QStringLiteral("S"), "N20");
    glyphed(Panel2, "FileBtn4", 53090, 43, QStringLiteral("V"), "N39");
    AddSeparator(Panel2);
    glyphed(Panel2, "CutB", 53091, 44, QStringLiteral("\u2702"), "N11");
    glyphed(Panel2, "CopyB", 53092, 45, QStringLiteral("\u22A1"), "N12");
    glyphed(Panel2, "PstB", 53093, 46, QStringLiteral("\u229E"), "N13");
    AddSeparator(Panel2);
    glyphed(Panel2, "UndoB", 53094, 47, QStringLiteral("\u21B6"), "N46");
    glyphed(Panel2, "RedoB", 53095, 48, QStringLiteral("\u21B7"), "N48");
    AddSeparator(Panel2);
    glyphed(Panel2, "ZB1", 53096, 49, QStringLiteral("\u2191"), "N32");
    glyphed(Panel2, "ZB2", 53097, 50, QStringLiteral("\u2193"), "N33");
    AddSeparator(Panel2);
    glyphed(Panel2, "SelAllB", 53098, 51, QStringLiteral("\u25A6"), "N28");
    AddSeparator(Panel2);
    glyphed(Panel2, "PgB1", 53099, 52, QStringLiteral("+"), "N29");
    glyphed(Panel2, "PgB4", 53102, 70, QStringLiteral("D"), "N15");
    glyphed(Panel2, "PgB2", 53100, 53, QStringLiteral("\u2212"), "N30");
    glyphed(Panel2, "PgB3", 53101, 54, QStringLiteral("P"), "N25");
    AddSeparator(Panel2);
    glyphed(Panel2, "GB1", 53103, 55, QStringLiteral("\u2237"), "GB1", 1, true);
    glyphed(Panel2, "GB2", 53104, 56, QStringLiteral("#"), "GB2", 2, true);
    glyphed(Panel2, "GB3", 53105, 57, QStringLiteral("\u22A0"), "GB3");
    AddSeparator(Panel2);
    glyphed(Panel2, "HelpBtn", 53106, 0, QStringLiteral("?"), "HelpBtn", 100, true);
    TfrTBButton *exitB = AddButton(Panel2, QStringLiteral("ExitB"), res(53108), 58, Action(QStringLiteral("N10")));
    exitB->SetCaption(res(53107));
    exitB->resize(50, 22);

    // Text
    C2 = new TfrFontComboBox(Panel3);
    C2->setObjectName(QStringLiteral("C2"));
    C2->setToolTip(res(53123));
    C2->PopulateList();
    C2->resize(150, 21);
    C3 = new TfrComboBox(Panel3);
    C3->setObjectName(QStringLiteral("C3"));
    C3->setToolTip(res(53122));
    for (int s : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        C3->addItem(QString::number(s));
    C3->resize(44, 21);
    connect(C2, &TfrCustomComboBox::ListEntryChosen, this, [this] { Guarded([this] { DoClick(7); }); });
    connect(C3, &TfrCustomComboBox::ListEntryChosen, this, [this] { Guarded([this] { DoClick(8); }); });
    glyphed(Panel3, "FnB1", 53117, 9, QStringLiteral("B"), "FnB1", 1, true);
    glyphed(Panel3, "FnB2", 53118, 10, QStringLiteral("I"), "FnB2", 2, true);
    glyphed(Panel3, "FnB3", 53119, 18, QStringLiteral("U"), "FnB3", 3, true);
    TfrTBButton *clb2 = AddButton(Panel3, QStringLiteral("ClB2"), res(53120), 17, nullptr);
    glyphed(Panel3, "HlB1", 53121, 59, QStringLiteral("H"), "HlB1");
    AddSeparator(Panel3);
    glyphed(Panel3, "AlB1", 53109, 11, QStringLiteral("\u2261L"), "AlB1", 4);
    glyphed(Panel3, "AlB3", 53111, 13, QStringLiteral("\u2261C"), "AlB3", 4);
    glyphed(Panel3, "AlB2", 53110, 12, QStringLiteral("\u2261R"), "AlB2", 4);
    glyphed(Panel3, "AlB8", 53116, 22, QStringLiteral("\u2261J"), "AlB8", 4);
    AddSeparator(Panel3);
    glyphed(Panel3, "AlB6", 53114, 15, QStringLiteral("\u2580"), "AlB6", 6);
    glyphed(Panel3, "AlB5", 53113, 15, QStringLiteral("\u25AC"), "AlB5", 6);
    glyphed(Panel3, "AlB7", 53115, 15, QStringLiteral("\u2584"), "AlB7", 6);
    glyphed(Panel3, "AlB4", 53112, 14, QStringLiteral("\u21BB"), "AlB4", 5, true);

    // Frame
    glyphed(Panel1, "FrB1", 53124, 1, QStringLiteral("\u2594"), "FrB1", 1, true);
    glyphed(Panel1, "FrB2", 53125, 2, QStringLiteral("\u258F"), "FrB2", 2, true);
    glyphed(Panel1, "FrB3", 53126, 3, QStringLiteral("\u2581"), "FrB3", 3, true);
    glyphed(Panel1, "FrB4", 53127, 4, QStringLiteral("\u2595"), "FrB4", 4, true);
    glyphed(Panel1, "FrB5", 53128, 20, QStringLiteral("\u25A1"), "FrB5");
    glyphed(Panel1, "FrB6", 53129, 21, QStringLiteral("\u2B1A"), "FrB6");
    AddSeparator(Panel1);
    TfrTBButton *clb1 = AddButton(Panel1, QStringLiteral("ClB1"), res(53130), 5, nullptr);
    TfrTBButton *clb3 = AddButton(Panel1, QStringLiteral("ClB3"), res(53131), 19, nullptr);
    TfrTBButton *stb1 = glyphed(Panel1, "StB1", 53133, 0, QStringLiteral("\u2504"), nullptr);
    connect(stb1, &TfrSpeedButton::clicked, this, [this] { Guarded([this] { StB1Click(); }); });
    C4 = new TfrComboBox(Panel1);
    C4->setObjectName(QStringLiteral("C4"));
    C4->setToolTip(res(53132));
    for (const char *w : {"0,1", "0,5", "1", "1,5", "2", "3", "4", "5", "6", "7", "8", "9", "10"})
        C4->addItem(QString::fromLatin1(w));
    C4->resize(48, 21);
    connect(C4, &TfrCustomComboBox::ListEntryChosen, this, [this] { Guarded([this] { DoClick(6); }); });
    for (TfrTBButton *b : {clb1, clb2, clb3})
        connect(b, &TfrSpeedButton::clicked, this, [this, b] { Guarded([&] { ColorButtonClick(b); }); });

    // Objects
    struct Tool { const char *name; int hint; int tag; const char *symbol; };
    const Tool tools[] = {{"OB1", 53134, -1, "\u2196"}, {"OB2", 53135, 0, "A"}, {"OB4", 53137, 1, "\u25A3"},
                          {"OB3", 53136, 2, "\u2550"}, {"OB5", 53138, 3, "\u25A4"}, {"OB6", 53139, 4, "\u2571"}};
    for (const Tool &t : tools) {
        TfrTBButton *b = glyphed(Panel4, t.name, t.hint, t.tag, QString::fromUtf8(t.symbol), nullptr, 1);
        const int tag = t.tag;
        connect(b, &TfrSpeedButton::clicked, this, [this, tag] {
            PressObjectTool(tag, QApplication::keyboardModifiers() & Qt::ShiftModifier);
        });
    }
    for (int n = 0; n < AddInObjectCount(); ++n) {
        const TfrAddInObjectInfo &info = AddInObject(n);
        bool number = false;
        const int id = info.ButtonHint.toInt(&number);
        TfrTBButton *b = AddButton(Panel4, QStringLiteral("AddIn%1").arg(n), number ? res(id) : info.ButtonHint,
                                   10 + n, nullptr, 1);
        if (!info.ButtonBmp.isNull())
            b->SetGlyph(info.ButtonBmp);
        b->SetGrayedInactive(false);
        b->setVisible(!info.IsControl);
        const int tag = 10 + n;
        connect(b, &TfrSpeedButton::clicked, this, [this, tag] {
            PressObjectTool(tag, QApplication::keyboardModifiers() & Qt::ShiftModifier);
        });
    }
    // Alignment palette
    const char *alignSymbols[10] = {"\u258F", "\u2502", "\u2194", "\u2225", "\u2595",
                                    "\u2594", "\u2500", "\u2195", "\u2261", "\u2581"};
    for (int n = 1; n <= 10; ++n)
        glyphed(Panel5, QStringLiteral("Align%1").arg(n).toLatin1().constData(), 53139 + n, 60,
                QString::fromUtf8(alignSymbols[n - 1]), QStringLiteral("Align%1").arg(n).toLatin1().constData());

    // Each toolbar takes its length before it docks, so the next one finds its row taken.
    const std::pair<TfrToolBar *, TfrDock *> docking[] = {{Panel2, frDock1}, {Panel3, frDock1}, {Panel1, frDock1},
                                                          {Panel6, frDock1}, {Panel4, frDock2}, {Panel5, frDock4}};
    for (const auto &[bar, dock] : docking) {
        bar->AdjustBounds();
        bar->AddToDock(dock);
        bar->AdjustBounds();
        dock->AdjustBounds();
    }
    // The tools toolbar shows only with two or more tools.
    Panel6->SetVisible(Panel6->Items().size() >= 2);
    for (TfrDock *d : {frDock1, frDock2, frDock3, frDock4})
        d->AdjustBounds();
}

// ---------------------------------------------------------------------------
// Show, close, destroy

void TfrDesignerForm::showEvent(QShowEvent *e)
{
    TfrReportDesigner::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        qApp->installEventFilter(this);
        Guarded([this] { FormShow(); });
    }
}

void TfrDesignerForm::FormShow()
{
    const bool main = IsMainSession;
    const quint16 r = Model.DesignerRestrictions;
    auto enable = [this](std::initializer_list<const char *> names, bool on) {
        for (const char *n : names)
            if (QAction *a = Action(QString::fromLatin1(n)))
                a->setEnabled(on);
    };
    enable({"N23"}, main && !(r & frdrDontCreateReport));
    enable({"N19"}, main && !(r & frdrDontLoadReport));
    enable({"N17"}, !(r & frdrDontSaveReport));
    enable({"N39"}, main && !(r & frdrDontPreviewReport));
    enable({"N29", "N41"}, main && !(r & frdrDontCreatePage));
    enable({"N15", "N45"}, main && !(r & frdrDontCreatePage));
    enable({"N30", "N43"}, main && !(r & frdrDontDeletePage));
    enable({"N25", "N44"}, main && !(r & frdrDontEditPage));
    enable({"N42"}, main && !(r & frdrDontEditVariables));
    enable({"N8"}, main && !(r & frdrDontChangeReportOptions));
    Button(QStringLiteral("OB3"))->setEnabled(main);
    Button(QStringLiteral("OB5"))->setEnabled(main);

    Model.ClearUndo();
    Model.ClearRedo();
    SetModified(false);
    EditedSinceOpened = false;
    if (CurrentReport)
        CurrentReport->ChangedInMainDesigner = 0;
    SyncingToolbars = true;
    EngineMode = 0;
    DesignerSession &session = frDesignerSession();
    session.Last.FontName = C2->findText(QStringLiteral("Arial")) >= 0 ? QStringLiteral("Arial") : C2->itemText(0);
    session.Last.FontSize = 10;
    LoadDesignerOptions();
    SwitchDesignerPage(0);
    SetDocumentName(main && CurrentReport ? CurrentReport->FileName : res(55209));
    Model.UnselectAll();
    DesignSurface->ResetMouseState();
    UpdateCommandStates();
    PressSelectTool();
    SetColorButtonGlyph(0, Button(QStringLiteral("ClB1")), 1);
    SetColorButtonGlyph(0, Button(QStringLiteral("ClB2")), 0);
    SetColorButtonGlyph(0, Button(QStringLiteral("ClB3")), 2);
    ColorPicker->hide();
    LinePanel->hide();
    ConnectEditorHooks();
    SyncingToolbars = false;
    SyncToolbarsWithSelection();
}

void TfrDesignerForm::closeEvent(QCloseEvent *e)
{
    // In a main session a changed report asks before it goes; a page edited from the
    // preview is asked about by the engine once the window has closed.
    if (IsMainSession && CurrentReport && GetModified() && !(Model.DesignerRestrictions & frdrDontSaveReport)) {
        const auto answer = orv::prompt().message(
            this, res(55006),
            res(55306) + QLatin1Char(' ') + res(55336) + QLatin1Char(' ') + QFileInfo(DocumentName).fileName()
                + QLatin1Char('?'),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !LastCommandDone)) {
            e->ignore();
            return;
        }
        if (answer == QMessageBox::No)
            setResult(QDialog::Rejected);
    }
    TfrReportDesigner::closeEvent(e);
}

void TfrDesignerForm::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    qApp->removeEventFilter(this);
    Model.Reset();
    if (m_shown) {
        SaveDesignerOptions();
        if (IsMainSession && CurrentReport)
            CurrentReport->FileName = DocumentName;
    }
    // The hooks point into this window: they go with it.
    EditorHooks.SelectedObjects = nullptr;
    EditorHooks.BeforeChange = nullptr;
    EditorHooks.AfterChange = nullptr;
    EditorHooks.InsertExpression = nullptr;
}

void TfrDesignerForm::resizeEvent(QResizeEvent *e)
{
    TfrReportDesigner::resizeEvent(e);
    if (m_shown && !m_destroyed)
        Guarded([this] { PlaceSurface(); });
}

void TfrDesignerForm::wheelEvent(QWheelEvent *e)
{
    QScrollBar *v = ScrollBox1->verticalScrollBar();
    v->setValue(v->value() + (e->angleDelta().y() < 0 ? 8 : -8));
    e->accept();
}

// ---------------------------------------------------------------------------
// Engine interface

bool TfrDesignerForm::GetModified() { return CurrentReport && CurrentReport->ReportChanged; }

void TfrDesignerForm::SetModified(bool value)
{
    if (CurrentReport) {
        CurrentReport->ReportChanged = value;
        if (value && IsMainSession)
            CurrentReport->ChangedInMainDesigner = 1;
    }
    if (value)
        EditedSinceOpened = true;
    const bool saveAllowed = !(Model.DesignerRestrictions & frdrDontSaveReport);
    Action(QStringLiteral("N20"))->setEnabled(value && saveAllowed);
}

void TfrDesignerForm::BeforeChange() { Model.RecordUndoStep(acEdit); }

void TfrDesignerForm::AfterChange()
{
    DesignSurface->PaintPageObjects();
    UpdateCoordinates();
}

void TfrDesignerForm::RedrawPage() { DesignSurface->RedrawPage(); }

void TfrDesignerForm::SelectObject(const QString &name)
{
    TfrPage *page = Model.Page();
    if (page && page->FindObject(name)) {
        Model.SelectOnly(page->FindObject(name));
        Model.ComputeSelectionFrame();
        SyncToolbarsWithSelection();
        RedrawPage();
        return;
    }
    // "Page" and a number selects that page; any other text is ignored.
    if (!name.startsWith(QLatin1String("Page")) || !CurrentReport)
        return;
    bool ok = false;
    const int n = name.mid(4).toInt(&ok);
    if (ok && n >= 1 && n <= CurrentReport->Pages().Count())
        SwitchDesignerPage(n - 1);
}

QString TfrDesignerForm::InsertDBField() { return QString(); }

QString TfrDesignerForm::InsertExpression() { return QString(); }

void TfrDesignerForm::ConnectEditorHooks()
{
    EditorHooks.SelectedObjects = [this] { return Model.SelectedObjects(); };
    EditorHooks.BeforeChange = [this] { BeforeChange(); };
    EditorHooks.AfterChange = [this] { AfterChange(); };
    EditorHooks.InsertExpression = [this] { return InsertExpression(); };
}

// ---------------------------------------------------------------------------
// Options

void TfrDesignerForm::SetDocumentName(const QString &name)
{
    DocumentName = name;
    setWindowTitle(BaseCaption + QStringLiteral(" - ") + QFileInfo(name).fileName());
}

void TfrDesignerForm::SetGridSize(int n)
{
    if (n == Model.Options.GridSize)
        return;
    Model.Options.GridSize = n;
    RedrawPage();
}

void TfrDesignerForm::SetGridShow(bool value)
{
    SetToggle(QStringLiteral("GB1"), value);
    if (value == Model.Options.GridShow)
        return;
    Model.Options.GridShow = value;
    RedrawPage();
}

void TfrDesignerForm::SetGridAlign(bool value)
{
    SetToggle(QStringLiteral("GB2"), value);
    Model.Options.GridAlign = value;
}

void TfrDesignerForm::SetUnits(int units)
{
    Model.Options.Units = units;
    StatusUnits->setText(UnitsCaption(units));
    UpdateCoordinates();
}

void TfrDesignerForm::SetGrayButtons(bool value)
{
    Model.Options.GrayButtons = value;
    for (TfrToolBar *bar : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6})
        for (TfrSpeedButton *b : bar->findChildren<TfrSpeedButton *>())
            b->SetGrayedInactive(value);
}

void TfrDesignerForm::LoadDesignerOptions()
{
    TfrDesignerOptions o;
    o.Load();
    Model.Options.GridSize = 0;   // so that SetGridSize applies
    SetGridSize(o.GridSize);
    SetGridAlign(o.GridAlign);
    Model.Options.GridShow = !o.GridShow;
    SetGridShow(o.GridShow);
    SetUnits(o.Units);
    SetGrayButtons(o.GrayButtons);
    TfrDesignerOptions &m = Model.Options;
    m.EditAfterInsert = o.EditAfterInsert;
    m.Selection = o.Selection;
    m.PagePosition = o.PagePosition;
    m.BandTitles = o.BandTitles;
    m.LocalizedPropNames = o.LocalizedPropNames;
    GetEngineLocale()->LocalizedPropNames = o.LocalizedPropNames;
    m.UnlimitedHeight = o.UnlimitedHeight;
    m.DisableUndo = o.DisableUndo;
    m.SyntaxHighlight = o.SyntaxHighlight;
    // A toolbar never saved keeps the row it docked in (restoring hides it for a moment,
    // which would hand its row to the next toolbar).
    auto settings = orv::userSettings();
    for (TfrToolBar *bar : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6}) {
        settings->beginGroup(frToolbarStateGroup(bar->objectName()));
        const bool stored = !settings->childKeys().isEmpty();
        settings->endGroup();
        if (stored)
            RestoreToolbarState(bar);
    }
    Panel6->SetVisible(Panel6->Items().size() >= 2);
    for (TfrDock *d : {frDock1, frDock2, frDock3, frDock4})
        d->AdjustBounds();
    RestoreFormState(this);
}

void TfrDesignerForm::SaveDesignerOptions()
{
    Model.Options.Save();
    for (TfrToolBar *bar : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6}) {
        if (bar != Panel6 || IsMainSession)
            SaveToolbarState(bar);
    }
    SaveFormState(this);
}

// ---------------------------------------------------------------------------
// Pages

void TfrDesignerForm::SwitchDesignerPage(int index)
{
    TfrReport *report = CurrentReport;
    TfrPage *page = report ? report->Pages().GetPage(index) : DesignerPage;
    if (!page)
        page = DesignerPage;
    if (!page)
        return;
    CurPageIndex = index;
    DesignerPage = page;
    CurPageType = page->PageType;
    CurrentPage = page;
    // A dialog page's window comes with the dialog-page work; report pages are drawn here.
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
    Model.SetPage(page, index);
    PlaceSurface();
    UpdatePageTabs();
    {
        const QSignalBlocker block(Tab1);
        Tab1->setCurrentIndex(index);
    }
    ResetSelection();
    Model.SortBands();
    DesignSurface->PrimeObjects();
    DesignSurface->PaintPageObjects();
}

void TfrDesignerForm::RunReportCall(const std::function<void()> &call)
{
    Model.Reset();
    DesignSurface->ResetMouseState();
    DesignerPage = nullptr;
    auto retake = [this] {
        Model.Reset();
        ConnectEditorHooks();
        EngineMode = 0;
        SwitchDesignerPage(CurPageIndex);
    };
    try {
        call();
    } catch (...) {
        retake();
        throw;
    }
    retake();
}

void TfrDesignerForm::UpdatePageTabs()
{
    const QSignalBlocker block(Tab1);
    const int pages = CurrentReport ? CurrentReport->Pages().Count() : 1;
    auto caption = [&](int i) {
        if (CurrentReport)
            for (TfrPage *p : CurrentReport->Pages().List())
                for (TfrView *v : p->Objects)
                    if (auto *s = dynamic_cast<TfrSubReportView *>(v); s && s->SubReportPage == i)
                        return s->Name;
        return res(55004) + QString::number(i + 1);
    };
    if (Tab1->count() != pages) {
        while (Tab1->count())
            Tab1->removeTab(0);
        for (int i = 0; i < pages; ++i)
            Tab1->addTab(caption(i));
    } else {
        for (int i = 0; i < pages; ++i)
            if (Tab1->tabText(i) != caption(i))
                Tab1->setTabText(i, caption(i));
    }
}

void TfrDesignerForm::PlaceSurface()
{
    TfrPage *page = Model.Page();
    if (!page || DesignSurface->DrawingSuspended)
        return;
    const QSize pageSize(page->PrnInfo.PageWidth, page->PrnInfo.PageHeight);
    const int sb = ScrollBox1->verticalScrollBar()->sizeHint().width();
    const TfrSurfacePlacement p = ::PlaceSurface(pageSize, ScrollBox1->viewport()->width(),
                                                 Model.Options.PagePosition, Model.Options.UnlimitedHeight, sb);
    ScrollBox1->widget()->resize(qMax(p.HorizontalRange + sb, p.Bounds.right() + 11), p.VerticalRange);
    if (DesignSurface->geometry() != p.Bounds)
        DesignSurface->setGeometry(p.Bounds);
}

// ---------------------------------------------------------------------------
// Commands

bool TfrDesignerForm::InEditField() const
{
    const QWidget *f = QApplication::focusWidget();
    for (const QWidget *w = f; w; w = w->parentWidget())
        if (w == C2 || w == C3 || w == C4)
            return true;
    return false;
}

void TfrDesignerForm::AfterCommand(const QRect &before)
{
    DesignSurface->PaintPageObjects(QRegion(before) + Model.SelectionArea());
    UpdateCoordinates();
}

void TfrDesignerForm::DoClick(int tag)
{
    if (SyncingToolbars)
        return;
    const QRect before = Model.SelectionArea();
    TfrCommandInput in;
    auto down = [this](const char *name) { return Button(QString::fromLatin1(name))->Down(); };
    switch (tag) {
    case 1: in.Down = down("FrB1"); break;
    case 2: in.Down = down("FrB2"); break;
    case 3: in.Down = down("FrB3"); break;
    case 4: in.Down = down("FrB4"); break;
    case 9: in.Down = down("FnB1"); break;
    case 10: in.Down = down("FnB2"); break;
    case 18: in.Down = down("FnB3"); break;
    case 14: in.Down = down("AlB4"); break;
    case 15: in.Middle = down("AlB5"); in.Bottom = down("AlB7"); break;
    case 6: in.Text = C4->currentText(); break;
    case 7: in.Text = C2->currentText(); break;
    case 8: in.Text = C3->currentText(); break;
    case 5: case 17: case 19: in.Color = ColorPicker->Color(); break;
    default: break;
    }
    Model.DoClick(tag, in);
    AfterCommand(before);
    if (QWidget *f = QApplication::focusWidget(); f && f->window() == this)
        f->clearFocus();
    if (tag == 20 || tag == 21)
        SyncToolbarsWithSelection();
}

void TfrDesignerForm::UpdateCommandStates()
{
    const int kind = Model.SelectionKind(TfrDesignModel::ClipboardHasObject());
    const bool reportPage = CurPageType == ptReport;
    const bool frame = (kind & (skText | skOther | skMany)) && reportPage;
    const bool text = kind & (skText | skMany);
    const bool any = kind & 15;
    for (const char *n : {"FrB1", "FrB2", "FrB3", "FrB4", "FrB5", "FrB6"})
        Action(QString::fromLatin1(n))->setEnabled(frame);
    for (const char *n : {"ClB1", "ClB3", "StB1"})
        Button(QString::fromLatin1(n))->setEnabled(frame);
    C4->setEnabled(frame);
    for (const char *n : {"FnB1", "FnB2", "FnB3", "AlB1", "AlB2", "AlB3", "AlB4", "AlB5", "AlB6", "AlB7", "AlB8", "HlB1"})
        Action(QString::fromLatin1(n))->setEnabled(text);
    Button(QStringLiteral("ClB2"))->setEnabled(text);
    C2->setEnabled(text);
    C3->setEnabled(text);
    for (const char *n : {"N32", "N33", "GB3", "N11", "N2", "N12", "N1", "N27", "N5"})
        Action(QString::fromLatin1(n))->setEnabled(any);
    for (const char *n : {"N13", "N3"})
        Action(QString::fromLatin1(n))->setEnabled(kind & skClipboard);
    for (const char *n : {"N36", "N6"})
        Action(QString::fromLatin1(n))->setEnabled(kind & 7);
    UpdateCoordinates();
}

void TfrDesignerForm::SetColorButtonGlyph(qint32 color, TfrSpeedButton *button, int slice)
{
    if (!button)
        return;
    QImage g = m_colorBar.copy(slice * 32, 0, 32, 16);
    const QColor c = color == clTransparent ? QColor() : FrColor(color);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            if ((g.pixel(x, y) & 0xFFFFFF) == 0xFF0000)
                g.setPixel(x, y, c.isValid() ? c.rgb() : qRgb(1, 2, 3));
    if (color == clTransparent)
        for (int x = 1; x <= 14; ++x)
            g.setPixel(x, 13, palette().color(QPalette::Button).rgb());
    button->SetGlyph(g);
    button->setProperty("Color", color);
}

void TfrDesignerForm::ColorButtonClick(TfrSpeedButton *button)
{
    LinePanel->hide();
    const QPoint at = button->mapTo(this, QPoint(0, 0));
    if (ColorPicker->isVisible() && ColorPicker->x() == at.x()) {
        ColorPicker->hide();
    } else {
        ColorPicker->move(at.x(), at.y() + 26);
        ColorPicker->show();
        ColorPicker->raise();
    }
    ColorTargetButton = button;
    const QImage g = button->Glyph();
    const bool same = !g.isNull() && g.pixel(2, 14) == g.pixel(1, 13);
    ColorPicker->SetColor(same ? frToEngineColor(QColor(g.pixel(2, 14))) : clTransparent);
}

void TfrDesignerForm::ColorChosen()
{
    TfrSpeedButton *b = ColorTargetButton;
    if (!b)
        return;
    const qint32 color = ColorPicker->Color();
    const int tag = b->property("Tag").toInt();
    SetColorButtonGlyph(color, b, tag == 5 ? 1 : tag == 19 ? 2 : 0);
    DoClick(tag);
}

void TfrDesignerForm::StB1Click()
{
    ColorPicker->hide();
    if (LinePanel->isHidden()) {
        TfrTBButton *b = Button(QStringLiteral("StB1"));
        const QPoint at = b->mapTo(this, QPoint(0, 0));
        LinePanel->move(at.x(), at.y() + 26);
        LinePanel->show();
        LinePanel->raise();
    } else {
        LinePanel->hide();
    }
}

void TfrDesignerForm::SyncToolbarsWithSelection()
{
    SyncingToolbars = true;
    const QSignalBlocker b2(C2), b3(C3), b4(C4);
    ColorPicker->hide();
    LinePanel->hide();
    UpdateCommandStates();
    if (Model.SelectedCount == 1 && Model.LastSelected() && Model.LastSelected()->TypeCode != 2) {
        TfrView *v = Model.LastSelected();
        SetToggle(QStringLiteral("FrB1"), v->FrameTyp & 8);
        SetToggle(QStringLiteral("FrB2"), v->FrameTyp & 4);
        SetToggle(QStringLiteral("FrB3"), v->FrameTyp & 2);
        SetToggle(QStringLiteral("FrB4"), v->FrameTyp & 1);
        C4->setEditText(QString::number(v->FrameWidth, 'g', 2).replace(QLatin1Char('.'), QLatin1Char(',')));
        SetColorButtonGlyph(v->FillColor, Button(QStringLiteral("ClB1")), 1);
        SetColorButtonGlyph(v->FrameColor, Button(QStringLiteral("ClB3")), 2);
        if (auto *m = dynamic_cast<TfrMemoView *>(v)) {
            SetColorButtonGlyph(m->Font.Color, Button(QStringLiteral("ClB2")), 0);
            if (C2->currentText() != m->Font.Name)
                C2->setEditText(m->Font.Name);
            if (C3->currentText() != QString::number(m->Font.Size))
                C3->setEditText(QString::number(m->Font.Size));
            SetToggle(QStringLiteral("FnB1"), m->Font.Style.bold);
            SetToggle(QStringLiteral("FnB2"), m->Font.Style.italic);
            SetToggle(QStringLiteral("FnB3"), m->Font.Style.underline);
            SetToggle(QStringLiteral("AlB4"), m->Alignment & 4);
            SetToggle(QStringLiteral("AlB5"), (m->Alignment & 0x18) == 8);
            SetToggle(QStringLiteral("AlB6"), (m->Alignment & 0x18) == 0);
            SetToggle(QStringLiteral("AlB7"), (m->Alignment & 0x18) == 0x10);
            const char *horizontal[4] = {"AlB1", "AlB2", "AlB3", "AlB8"};
            for (int i = 0; i < 4; ++i)
                SetToggle(QString::fromLatin1(horizontal[i]), (m->Alignment & 3) == i);
        }
    } else if (Model.SelectedCount > 1) {
        for (const char *n : {"FrB1", "FrB2", "FrB3", "FrB4", "FnB1", "FnB2", "FnB3", "AlB4", "AlB5"})
            SetToggle(QString::fromLatin1(n), false);
        SetColorButtonGlyph(0, Button(QStringLiteral("ClB1")), 1);
        C4->setEditText(QStringLiteral("1"));
        C2->setEditText(QString());
        C3->setEditText(QString());
        SetToggle(QStringLiteral("AlB1"), true);
    }
    StatusObject->setText(StatusObjectText());
    UpdateCoordinates();
    SyncingToolbars = false;
}

QString TfrDesignerForm::StatusObjectText() const
{
    if (Model.SelectedCount != 1)
        return QString();
    TfrView *v = Model.LastSelected();
    if (!v)
        return QString();
    if (auto *b = dynamic_cast<TfrBandView *>(v))
        return v->Name + QStringLiteral(": ") + BandTypeCaption(b->GetBandType());
    if (!v->Memo.isEmpty())
        return v->Name + QStringLiteral(": ") + v->Memo.first();
    return v->Name;
}

void TfrDesignerForm::UpdateCoordinates()
{
    const int u = Model.Options.Units;
    PBox1->PositionText.clear();
    PBox1->SizeText.clear();
    PBox1->ScaleText.clear();
    PBox1->SizeIcon = Model.SelectedCount > 0 || DesignSurface->HoverMode != 1;
    auto sizeOf = [](const QRect &r) { return QSize(r.right() - r.left(), r.bottom() - r.top()); };
    if (DesignSurface->ShowDragRect) {
        const QRect &d = Model.DragRect;
        PBox1->PositionText = UnitsPairText(d.left(), d.top(), u);
        PBox1->SizeText = UnitsPairText(sizeOf(d).width(), sizeOf(d).height(), u);
    } else if (Model.SelectedCount == 1) {
        TfrView *v = Model.LastSelected();
        PBox1->PositionText = UnitsPairText(v->Left, v->Top, u);
        PBox1->SizeText = UnitsPairText(v->Width, v->Height, u);
    } else if (Model.SelectedCount > 1 && Model.SelectionFrameValid) {
        int l = 10000, t = 10000;
        for (TfrView *v : Model.SelectedObjects()) {
            l = qMin(l, v->Left);
            t = qMin(t, v->Top);
        }
        PBox1->PositionText = UnitsPairText(l, t, u);
        const QSize now = sizeOf(Model.DragRect), start = sizeOf(Model.DragRectStart);
        const double kx = start.width() ? double(now.width()) / start.width() : 0;
        const double ky = start.height() ? double(now.height()) / start.height() : 0;
        PBox1->ScaleText = QStringLiteral("% %1,%2").arg(frRound(kx * 100)).arg(frRound(ky * 100));
    } else if (DesignSurface->HoverMode == 1) {
        PBox1->PositionText = UnitsPairText(Model.DragRect.left(), Model.DragRect.top(), u);
    }
    PBox1->update();
}

void TfrDesignerForm::AlignClick(int n)
{
    const QRect before = Model.SelectionArea();
    if (Model.Align(n, DesignSurface->size()))
        DesignSurface->PaintPageObjects();
    Q_UNUSED(before);
    UpdateCoordinates();
}

void TfrDesignerForm::ResetSelection()
{
    Model.UnselectAll();
    Model.ComputeSelectionFrame();
    UpdateCommandStates();
    StatusObject->setText(StatusObjectText());
}

void TfrDesignerForm::Undo()
{
    if (Model.Undo()) {
        ResetSelection();
        DesignSurface->PaintPageObjects();
    }
}

void TfrDesignerForm::Redo()
{
    if (Model.Redo()) {
        ResetSelection();
        DesignSurface->PaintPageObjects();
    }
}

void TfrDesignerForm::Copy()
{
    Model.CopySelection();
    UpdateCommandStates();
}

void TfrDesignerForm::Cut()
{
    const QRect before = Model.SelectionArea();
    Model.CutSelection();
    UpdateCommandStates();
    AfterCommand(before);
}

void TfrDesignerForm::Paste()
{
    Model.Paste(DesignSurface->OriginInScrollBox());
    SyncToolbarsWithSelection();
    DesignSurface->PaintPageObjects();
}

void TfrDesignerForm::Delete()
{
    const QRect before = Model.SelectionArea();
    Model.DeleteSelection();
    UpdatePageTabs();
    ResetSelection();
    AfterCommand(before);
}

void TfrDesignerForm::SelectAll()
{
    Model.SelectAll();
    SyncToolbarsWithSelection();
    DesignSurface->update();
}

void TfrDesignerForm::BringToFront()
{
    Model.BringToFront();
    DesignSurface->PaintPageObjects();
}

void TfrDesignerForm::SendToBack()
{
    Model.SendToBack();
    DesignSurface->PaintPageObjects();
}

void TfrDesignerForm::FitToGrid()
{
    const QRect before = Model.SelectionArea();
    Model.FitToGrid();
    AfterCommand(before);
}

int TfrDesignerForm::CurrentObjectTool() const
{
    for (QWidget *w : Panel4->Items())
        if (auto *b = qobject_cast<TfrTBButton *>(w); b && b->Down() && b->GroupIndex() == 1)
            return b->property("Tag").toInt();
    return -1;
}

void TfrDesignerForm::PressSelectTool()
{
    Button(QStringLiteral("OB1"))->SetDown(true);
    KeepInsertTool = false;
}

void TfrDesignerForm::PressObjectTool(int tag, bool shift)
{
    if (tag == -1) {
        KeepInsertTool = false;
        return;
    }
    for (QWidget *w : Panel4->Items())
        if (auto *b = qobject_cast<TfrTBButton *>(w); b && b->property("Tag").toInt() == tag)
            b->SetDown(true);
    KeepInsertTool = shift;
    DesignSurface->SetCursorKind(ccArrow);
}

void TfrDesignerForm::BuildSurfacePopup()
{
    UpdateCommandStates();
    const QList<QAction *> items = Popup1->actions();
    for (int i = 7; i < items.size(); ++i) {
        Popup1->removeAction(items[i]);
        if (items[i]->parent() == Popup1)
            delete items[i];
    }
    const std::vector<TfrView *> sel = Model.SelectedObjects();
    TfrView *last = Model.LastSelected();
    bool own = sel.size() == 1;
    if (sel.size() > 1 && last && last->TypeCode != 2) {
        own = true;
        for (TfrView *v : sel) {
            const bool same = (isText(v) && isText(last))
                              || (last->TypeCode == 10 ? v->ClassName() == last->ClassName()
                                                       : v->TypeCode == last->TypeCode);
            own = own && same;
        }
    }
    if (own && last)
        last->DefinePopupMenu(Popup1);
}

void TfrDesignerForm::ShowSurfacePopup(const QPoint &globalPos)
{
    BuildSurfacePopup();
    Popup1->popup(globalPos);
}

void TfrDesignerForm::StatusBarDoubleClick(QPoint p)
{
    if (p.x() < 75)
        SetUnits((Model.Options.Units + 1) % 3);
}

// ---------------------------------------------------------------------------
// Keys

bool TfrDesignerForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == StatusUnits && e->type() == QEvent::MouseButtonDblClick) {
        Guarded([&] { StatusBarDoubleClick(QPoint(0, 0)); });
        return true;
    }
    // A key press that no one takes travels up to the parents before its release comes:
    // it is looked at once, at its first receiver.
    if (e->type() == QEvent::KeyRelease)
        m_lastKey = nullptr;
    if (e->type() != QEvent::KeyPress || !isVisible())
        return TfrReportDesigner::eventFilter(watched, e);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return TfrReportDesigner::eventFilter(watched, e);
    auto *k = static_cast<QKeyEvent *>(e);
    if (k == m_lastKey && k->key() == m_lastKeyCode && m_lastKeyReceiver && w != m_lastKeyReceiver
        && w->isAncestorOf(m_lastKeyReceiver))
        return false;
    m_lastKey = k;
    m_lastKeyCode = k->key();
    m_lastKeyReceiver = w;
    bool consumed = false;
    // A key whose command failed (and was told) is used up as well.
    if (!m_guard.Run([&] { consumed = FormKeyDown(k->key(), k->modifiers()); }))
        consumed = true;
    return consumed;
}

bool TfrDesignerForm::FormKeyDown(int key, Qt::KeyboardModifiers mods)
{
    const bool ctrl = mods & Qt::ControlModifier, shift = mods & Qt::ShiftModifier, alt = mods & Qt::AltModifier;
    const int kind = Model.SelectionKind(TfrDesignModel::ClipboardHasObject());
    const bool some = kind & 15, one = kind & 7;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    QWidget *focus = QApplication::focusWidget();
    auto inCombo = [focus](QWidget *c) {
        for (QWidget *w = focus; w; w = w->parentWidget())
            if (w == c)
                return true;
        return false;
    };
    // Esc never closes the window (as a dialog's would); with no button down it drops the tool.
    if (key == Qt::Key_Escape && DesignSurface->MouseIsDown)
        return true;
    if (key == Qt::Key_Escape) {
        PressSelectTool();
        DesignSurface->PageMouseLeave();
        DesignSurface->PageMouseMove(Qt::NoButton, Qt::NoModifier, QPoint(0, 0));
        Model.UnselectAll();
        Model.ComputeSelectionFrame();
        DesignSurface->PaintPageObjects();
        SyncToolbarsWithSelection();
        return true;
    }
    if (enter && (inCombo(C3) || inCombo(C4))) {
        DoClick(inCombo(C3) ? 8 : 6);
        return true;
    }
    // Editing keys typed into the font, size and width fields stay there.
    if (InEditField())
        return false;
    if (key == Qt::Key_Delete && !shift && some) {
        Delete();
        return true;
    }
    if (enter && one) {
        if (ctrl)
            ShowMemoEditor(nullptr);
        else
            ShowObjectEditor();
        return true;
    }
    if (ctrl && key >= Qt::Key_1 && key <= Qt::Key_9 && some) {
        C4->setEditText(QString::number(key - Qt::Key_0));
        DoClick(6);
        return true;
    }
    if (ctrl && key == Qt::Key_F && some) {
        DoClick(20);
        return true;
    }
    if (ctrl && key == Qt::Key_D && some) {
        DoClick(21);
        return true;
    }
    if (ctrl && key == Qt::Key_G) {
        SetGridShow(!Model.Options.GridShow);
        return true;
    }
    if (ctrl && one && (key == Qt::Key_B || key == Qt::Key_I || key == Qt::Key_U)) {
        const QString name = key == Qt::Key_B ? QStringLiteral("FnB1") : key == Qt::Key_I ? QStringLiteral("FnB2")
                                                                                           : QStringLiteral("FnB3");
        SetToggle(name, !Button(name)->Down());
        DoClick(key == Qt::Key_B ? 9 : key == Qt::Key_I ? 10 : 18);
        return true;
    }
    if (shift && key == Qt::Key_Delete && some) {
        Cut();
        return true;
    }
    if (ctrl && key == Qt::Key_Insert && some) {
        Copy();
        return true;
    }
    if (shift && key == Qt::Key_Insert && (kind & skClipboard)) {
        Paste();
        return true;
    }
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        QScrollBar *v = ScrollBox1->verticalScrollBar();
        v->setValue(v->value() + (key == Qt::Key_PageUp ? -200 : 200));
        return true;
    }
    int dx = 0, dy = 0, dir = -1;
    switch (key) {
    case Qt::Key_Left: dx = -1; dir = 0; break;
    case Qt::Key_Right: dx = 1; dir = 1; break;
    case Qt::Key_Up: dy = -1; dir = 2; break;
    case Qt::Key_Down: dy = 1; dir = 3; break;
    default: return false;
    }
    if (!some)
        return false;
    const QRect before = Model.SelectionArea();
    if (ctrl) {
        Model.NudgeSelection(dx, dy, false);
    } else if (shift) {
        Model.NudgeSelection(dx, dy, true);
    } else if (Model.SelectedCount == 1) {
        if (!Model.NeighbourStep(dir, alt))
            return true;
        SyncToolbarsWithSelection();
        DesignSurface->PaintPageObjects();
        return true;
    } else {
        return false;
    }
    AfterCommand(before);
    return true;
}

// ---------------------------------------------------------------------------
// What the editors and dialogs of later work fill

void TfrDesignerForm::ShowObjectEditor()
{
    TfrView *v = Model.LastSelected();
    if (!v || (Model.DesignerRestrictions & frdrDontEditObj) || (v->Restrictions & frrfDontEditContents))
        return;
    if (v->TypeCode == 2 || v->TypeCode == 3)
        return;
    v->ShowEditor();
    DesignSurface->ResetMouseState();
    DesignSurface->PaintPageObjects(v->GetClipRgn(true));
    StatusObject->setText(StatusObjectText());
}

void TfrDesignerForm::ShowMemoEditor(TfrView *) {}

void TfrDesignerForm::PgB3Click() {}

int TfrDesignerForm::ChooseBandType() { return -1; }

TfrView *TfrDesignerForm::InsertSubReport(const QRect &) { return nullptr; }
