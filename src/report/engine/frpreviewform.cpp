#include "report/engine/frpreviewform.h"

#include "report/engine/frformstate.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpage.h"
#include "report/engine/frpasswform.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprint.h"
#include "report/engine/frprintform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frprogressform.h"
#include "report/engine/frpreviewsearchform.h"
#include "report/engine/frreport.h"
#include "report/engine/frtbitems.h"

#include "common/prompt.h"
#include "common/settings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPaintEvent>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

double TfrPreviewForm::LastScale = 1.0;
int TfrPreviewForm::LastScaleMode = 0;

namespace {

constexpr int kSmallChange = 10;
constexpr int kLargeChange = 200;
constexpr QRgb kOlive = qRgb(128, 128, 0);
const QColor kAreaGrey(128, 128, 128);

// Help context numbers of the controls.
constexpr char kHelpContext[] = "HelpContext";

// The toolbar's pictures, 16 x 16 on the transparent olive.
enum GlyphKind { gOpen, gSave, gPrint, gPageSetup, gFind, gHelp, gExit, gPgUp, gPgDown };

QImage toolGlyph(GlyphKind kind)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(kOlive);
    QPainter p(&img);
    p.setPen(Qt::black);
    switch (kind) {
    case gOpen:
        p.fillRect(QRect(1, 4, 12, 10), QColor(255, 255, 128));
        p.drawRect(QRect(1, 4, 12, 10));
        p.drawLine(1, 4, 3, 2);
        p.drawLine(3, 2, 7, 2);
        p.drawLine(7, 2, 8, 4);
        p.drawLine(10, 1, 14, 1);
        p.drawLine(14, 1, 14, 5);
        break;
    case gSave:
        p.fillRect(QRect(1, 1, 14, 14), QColor(0, 0, 128));
        p.fillRect(QRect(4, 2, 8, 5), Qt::white);
        p.fillRect(QRect(4, 10, 8, 5), QColor(192, 192, 192));
        p.drawRect(QRect(1, 1, 13, 13));
        break;
    case gPrint:
        p.fillRect(QRect(4, 1, 8, 5), Qt::white);
        p.drawRect(QRect(4, 1, 7, 4));
        p.fillRect(QRect(1, 6, 14, 6), QColor(192, 192, 192));
        p.drawRect(QRect(1, 6, 13, 5));
        p.fillRect(QRect(4, 11, 8, 4), Qt::white);
        p.drawRect(QRect(4, 11, 7, 3));
        break;
    case gPageSetup:
        p.fillRect(QRect(3, 1, 10, 14), Qt::white);
        p.drawRect(QRect(3, 1, 9, 13));
        p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        p.drawRect(QRect(5, 3, 5, 9));
        break;
    case gFind:
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(QRect(2, 2, 8, 8));
        p.drawLine(9, 9, 14, 14);
        break;
    case gHelp: {
        QFont f = p.font();
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 0, 128));
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case gExit:
        p.fillRect(QRect(3, 1, 9, 14), QColor(128, 64, 0));
        p.drawRect(QRect(3, 1, 8, 13));
        p.fillRect(QRect(9, 8, 1, 1), QColor(255, 255, 0));
        break;
    case gPgUp:
    case gPgDown:
        for (int row = 0; row < 4; ++row) {
            const int y = kind == gPgUp ? 6 + row : 9 - row;
            p.drawLine(7 - row, y, 7 + row, y);
        }
        break;
    }
    return img;
}

QString withoutExtension(const QString &fileName)
{
    const QFileInfo fi(fileName);
    const QString suffix = fi.suffix();
    if (suffix.isEmpty())
        return fileName;
    return fileName.left(fileName.size() - suffix.size() - 1);
}

// The page number of a page link ("@" and digits), 0 when the text is not one.
int pageLinkNumber(const QString &link)
{
    if (!link.startsWith(QLatin1Char('@')) || link.size() < 2)
        return 0;
    bool ok = false;
    const qlonglong n = link.mid(1).toLongLong(&ok);
    if (!ok)
        return 0;
    return n < 1 ? 1 : int(qMin<qlonglong>(n, INT_MAX));
}

// A page's texts as lines: what an object draws piece by piece on one line (a glyph run,
// a character at a time) is one line of text with the rectangle around it.
QList<TfrTextRecord> textLines(const QList<TfrTextRecord> &records)
{
    QList<TfrTextRecord> lines;
    for (const TfrTextRecord &r : records) {
        if (!lines.isEmpty()) {
            TfrTextRecord &last = lines.last();
            const bool sameLine = last.ObjectIndex == r.ObjectIndex && r.Rect.top() < last.Rect.bottom()
                                  && r.Rect.bottom() > last.Rect.top() && r.Rect.left() >= last.Rect.left();
            if (sameLine) {
                last.Text += r.Text;
                last.Rect = last.Rect.united(r.Rect);
                continue;
            }
        }
        lines.append(r);
    }
    return lines;
}

} // namespace

// ---------------------------------------------------------------------------

template <typename F> void TfrPreviewForm::Guarded(F &&f, bool defer)
{
    m_guard.Run(std::forward<F>(f), defer);
}

// ---------------------------------------------------------------------------
// TfrPBox

TfrPBox::TfrPBox(TfrPreviewForm *preview) : QWidget(preview), m_preview(preview)
{
    setObjectName(QStringLiteral("PBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setProperty(kHelpContext, 207);
}

void TfrPBox::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    m_preview->Guarded([&] { m_preview->PaintPages(p, e->region()); }, true);
}

void TfrPBox::resizeEvent(QResizeEvent *)
{
    m_preview->Guarded([&] { m_preview->FormResize(); }, true);
}

void TfrPBox::mousePressEvent(QMouseEvent *e)
{
    if (m_preview->HelpMode())
        return;
    m_preview->Guarded([&] {
        if (e->button() == Qt::RightButton) {
            m_preview->BoxMousePress(Qt::RightButton, e->position().toPoint(), m_lastClickedPage, m_down);
            m_preview->ProcMenu->popup(e->globalPosition().toPoint());
            return;
        }
        if (e->button() != Qt::LeftButton)
            return;
        m_last = e->position().toPoint();
        m_preview->BoxMousePress(Qt::LeftButton, m_last, m_lastClickedPage, m_down);
    });
}

void TfrPBox::mouseMoveEvent(QMouseEvent *e)
{
    m_preview->Guarded([&] {
        const QPoint pos = e->position().toPoint();
        if (m_preview->PageCount() == 0)
            return;
        if (m_down) {
            m_preview->HScrollBar->setValue(m_preview->HScrollBar->value() + (m_last.x() - pos.x()));
            m_preview->VScrollBar->setValue(m_preview->VScrollBar->value() + (m_last.y() - pos.y()));
            m_last = pos;
            return;
        }
        m_preview->BoxMouseMove(pos);
    }, true);
}

void TfrPBox::mouseReleaseEvent(QMouseEvent *)
{
    m_down = false;
}

void TfrPBox::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click arrives as this event alone, never as a press.
    m_preview->Guarded([&] {
        m_down = false;
        m_preview->BoxDoubleClick(m_lastClickedPage);
    });
}

void TfrPBox::wheelEvent(QWheelEvent *e)
{
    const int notches = e->angleDelta().y() / 120;
    if (notches != 0)
        m_preview->WheelScroll(notches);
    e->accept();
}

// ---------------------------------------------------------------------------
// TfrPreviewForm

TfrPreviewForm::TfrPreviewForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPreviewForm"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    auto *bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(0);
    auto button = [&](TfrTBButton *&b, const char *name, int helpContext) {
        b = new TfrTBButton(Panel1);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(23, 22);
        b->setProperty(kHelpContext, helpContext);
        bar->addWidget(b);
    };
    auto separator = [&](TfrTBSeparator *&s, const char *name) {
        s = new TfrTBSeparator(Panel1);
        s->setObjectName(QLatin1String(name));
        s->setFixedSize(8, 22);
        bar->addWidget(s);
    };
    button(ZoomBtn, "ZoomBtn", 200);
    ZoomBtn->setFixedSize(48, 22);
    ZoomBtn->SetCaption(QStringLiteral("200%"));
    separator(Separator1, "Separator1");
    button(LoadBtn, "LoadBtn", 201);
    LoadBtn->SetGlyph(toolGlyph(gOpen));
    button(SaveBtn, "SaveBtn", 202);
    SaveBtn->SetGlyph(toolGlyph(gSave));
    button(PrintBtn, "PrintBtn", 203);
    PrintBtn->SetGlyph(toolGlyph(gPrint));
    button(PageSetupBtn, "PageSetupBtn", 203);
    PageSetupBtn->SetGlyph(toolGlyph(gPageSetup));
    separator(Separator2, "Separator2");
    button(FindBtn, "FindBtn", 204);
    FindBtn->SetGlyph(toolGlyph(gFind));
    button(HelpBtn, "HelpBtn", 0);
    HelpBtn->SetGlyph(toolGlyph(gHelp));
    separator(Separator3, "Separator3");
    button(ExitBtn, "ExitBtn", 205);
    ExitBtn->SetGlyph(toolGlyph(gExit));
    bar->addStretch();

    ScrollBox1 = new QWidget(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    PBox = new TfrPBox(this);
    PBox->setParent(ScrollBox1);
    auto *boxLay = new QVBoxLayout(ScrollBox1);
    boxLay->setContentsMargins(0, 0, 0, 0);
    boxLay->addWidget(PBox);

    auto *column = new QWidget(this);
    column->setObjectName(QStringLiteral("RightPanel"));
    column->setFixedWidth(16);
    VScrollBar = new QScrollBar(Qt::Vertical, column);
    VScrollBar->setObjectName(QStringLiteral("VScrollBar"));
    PgUp = new TfrSpeedButton(column);
    PgUp->setObjectName(QStringLiteral("PgUp"));
    PgUp->setFixedSize(16, 16);
    PgUp->SetGlyph(toolGlyph(gPgUp));
    PgDown = new TfrSpeedButton(column);
    PgDown->setObjectName(QStringLiteral("PgDown"));
    PgDown->setFixedSize(16, 16);
    PgDown->SetGlyph(toolGlyph(gPgDown));
    auto *colLay = new QVBoxLayout(column);
    colLay->setContentsMargins(0, 0, 0, 0);
    colLay->setSpacing(0);
    colLay->addWidget(VScrollBar, 1);
    colLay->addWidget(PgUp);
    colLay->addWidget(PgDown);

    auto *status = new QWidget(this);
    status->setObjectName(QStringLiteral("StatusPanel"));
    Label1 = new QLabel(status);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setMinimumWidth(90);
    Label1->setProperty(kHelpContext, 206);
    Label2 = new QLabel(status);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setMinimumWidth(150);
    Label2->setProperty(kHelpContext, 206);
    HScrollBar = new QScrollBar(Qt::Horizontal, status);
    HScrollBar->setObjectName(QStringLiteral("HScrollBar"));
    auto *statusLay = new QHBoxLayout(status);
    statusLay->setContentsMargins(2, 0, 16, 0);
    statusLay->addWidget(Label1);
    statusLay->addWidget(Label2);
    statusLay->addWidget(HScrollBar, 1);

    for (QScrollBar *b : {VScrollBar, HScrollBar}) {
        b->setRange(0, 32000);
        b->setPageStep(kLargeChange);
        b->setSingleStep(kSmallChange);
        b->setFocusPolicy(Qt::NoFocus);
    }

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(ScrollBox1, 1);
    middle->addWidget(column);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(Panel1);
    lay->addLayout(middle, 1);
    lay->addWidget(status);

    // The pop-up menu: zoom items, the fit items, then the page commands.
    ProcMenu = new QMenu(this);
    ProcMenu->setObjectName(QStringLiteral("ProcMenu"));
    auto *zoomGroup = new QActionGroup(ProcMenu);
    for (int tag : {200, 150, 100, 75, 50, 25, 10, 1, 2, 3}) {
        QAction *a = ProcMenu->addAction(tag > 3 ? QString::number(tag) + QLatin1Char('%') : QString());
        a->setObjectName(QStringLiteral("Zoom%1").arg(tag));
        a->setData(tag);
        a->setCheckable(true);
        a->setChecked(tag == 100);
        zoomGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] { Guarded([&] { N3Click(tag); }); });
    }
    PageItemsSeparator = ProcMenu->addSeparator();
    EditPageItem = ProcMenu->addAction(QString());
    EditPageItem->setObjectName(QStringLiteral("EditPageItem"));
    AddPageItem = ProcMenu->addAction(QString());
    AddPageItem->setObjectName(QStringLiteral("AddPageItem"));
    RemovePageItem = ProcMenu->addAction(QString());
    RemovePageItem->setObjectName(QStringLiteral("RemovePageItem"));
    connect(EditPageItem, &QAction::triggered, this, [this] { Guarded([&] { EditBtnClick(); }); });
    connect(AddPageItem, &QAction::triggered, this, [this] { Guarded([&] { NewPageBtnClick(); }); });
    connect(RemovePageItem, &QAction::triggered, this, [this] { Guarded([&] { DelPageBtnClick(); }); });

    auto on = [this](TfrSpeedButton *b, void (TfrPreviewForm::*handler)()) {
        connect(b, &TfrSpeedButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    on(ZoomBtn, &TfrPreviewForm::ZoomBtnClick);
    on(LoadBtn, &TfrPreviewForm::LoadBtnClick);
    on(SaveBtn, &TfrPreviewForm::SaveBtnClick);
    on(PrintBtn, &TfrPreviewForm::PrintBtnClick);
    on(PageSetupBtn, &TfrPreviewForm::PageSetupBtnClick);
    on(FindBtn, &TfrPreviewForm::FindBtnClick);
    on(HelpBtn, &TfrPreviewForm::HelpBtnClick);
    on(ExitBtn, &TfrPreviewForm::ExitBtnClick);
    on(PgUp, &TfrPreviewForm::PgUpClick);
    on(PgDown, &TfrPreviewForm::PgDownClick);
    connect(VScrollBar, &QScrollBar::valueChanged, this, [this](int v) { Guarded([&] { VScrollBarChange(v); }); });
    connect(HScrollBar, &QScrollBar::valueChanged, this, [this](int v) { Guarded([&] { HScrollBarChange(v); }); });

    // Keys reach the window before its controls.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);
    ApplyCaptions();
    // Where the window system does not maximise (no window manager), the page still shows.
    if (const QScreen *sc = screen()) {
        const QRect area = sc->availableGeometry();
        resize(area.size() * 0.85);
        move(area.center() - rect().center());
    }
    setWindowState(Qt::WindowMaximized);
}

TfrPreviewForm::~TfrPreviewForm()
{
    // The pages still held are freed, not handed back.
    m_pages.reset();
}

int TfrPreviewForm::PageCount() const { return m_pages ? m_pages->Count() : 0; }

void TfrPreviewForm::ApplyCaptions()
{
    ZoomItem(1)->setText(GetLocalizedString(53020));
    ZoomItem(2)->setText(GetLocalizedString(53021));
    ZoomItem(3)->setText(GetLocalizedString(53022));
    EditPageItem->setText(GetLocalizedString(53029));
    AddPageItem->setText(GetLocalizedString(53030));
    RemovePageItem->setText(GetLocalizedString(53031));
    ZoomBtn->setToolTip(GetLocalizedString(53024));
    LoadBtn->setToolTip(GetLocalizedString(53025));
    SaveBtn->setToolTip(GetLocalizedString(53026));
    PrintBtn->setToolTip(GetLocalizedString(53027));
    FindBtn->setToolTip(GetLocalizedString(53028));
    HelpBtn->setToolTip(GetLocalizedString(53032));
    ExitBtn->setToolTip(GetLocalizedString(53023));
}

QAction *TfrPreviewForm::ZoomItem(int tag) const
{
    return ProcMenu->findChild<QAction *>(QStringLiteral("Zoom%1").arg(tag));
}

// ---------------------------------------------------------------------------
// Pages and the report

void TfrPreviewForm::TakePages()
{
    if (!m_report)
        return;
    m_pages = m_report->TakePreparedPages();
}

void TfrPreviewForm::ReturnPages()
{
    if (!m_report)
        return;
    m_report->ReturnPreparedPages(std::move(m_pages));
    m_pages.reset();
}

namespace {
// Lends the window's pages to the report for one command; they come back whatever happens.
class PagesLent {
public:
    explicit PagesLent(TfrPreviewForm &f) : m_f(f) { m_f.ReturnPages(); }
    ~PagesLent() { m_f.TakePages(); }

private:
    TfrPreviewForm &m_f;
};
} // namespace

void TfrPreviewForm::Attach(TfrReport &report)
{
    m_report = &report;
    TakePages();
    ApplyReportOptions();
    ResetView(true);
}

void TfrPreviewForm::ShowForReport(TfrReport &report)
{
    Attach(report);
    HScrollBar->setValue(0);
    VScrollBar->setValue(0);
    if (report.ModalPreview)
        orv::prompt().runModal(this);
    else
        show();
}

void TfrPreviewForm::ApplyReportOptions()
{
    if (!m_report)
        return;
    const quint8 b = m_report->PreviewButtons;
    ZoomBtn->setVisible(b & pbZoom);
    LoadBtn->setVisible(b & pbLoad);
    SaveBtn->setVisible(b & pbSave);
    PrintBtn->setVisible(b & pbPrint);
    FindBtn->setVisible(b & pbFind);
    PageSetupBtn->setVisible(b & pbPageSetup);
    HelpBtn->setVisible(b & pbHelp);
    ExitBtn->setVisible(b & pbExit);
    Separator1->setVisible(ZoomBtn->isVisibleTo(Panel1));
    Separator3->setVisible(FindBtn->isVisibleTo(Panel1) || HelpBtn->isVisibleTo(Panel1));
    UpdateButtons();

    const bool editable = bool(DesignerClassRef) && m_report->ModifyPrepared;
    for (QAction *a : {PageItemsSeparator, EditPageItem, AddPageItem, RemovePageItem})
        a->setVisible(editable);

    switch (m_report->InitialZoom) {
    case pzPageWidth: LastScaleMode = 1; break;
    case pzOnePage: LastScaleMode = 2; break;
    case pzTwoPages: LastScaleMode = 3; break;
    case pzDefault: break;
    }

    bool grayed = m_report->GrayedButtons;
    if (DesignerClassRef) {
        // Where the designer keeps its options (under its RegistryRootKey).
        auto s = orv::userSettings();
        grayed = s->value(frFormStateGroup(QStringLiteral("TfrDesignerForm")) + QStringLiteral("/GrayButtons"), false)
                     .toBool();
    }
    ApplyGrayedButtons(grayed);
}

void TfrPreviewForm::UpdateButtons()
{
    // Printing always has a target: an installed printer, or a PDF file through the virtual printer.
    PrintBtn->setEnabled(true);
    // Page setup rebuilds the report: a loaded prepared report has nothing to rebuild from.
    PageSetupBtn->setEnabled(m_report && m_report->Rebuildable);
}

void TfrPreviewForm::ApplyGrayedButtons(bool flag)
{
    for (TfrTBButton *b : Panel1->findChildren<TfrTBButton *>())
        b->SetGrayedInactive(flag);
}

void TfrPreviewForm::TickZoomItem()
{
    if (m_zoomMode >= 1 && m_zoomMode <= 3) {
        ZoomItem(m_zoomMode)->setChecked(true);
        return;
    }
    const int tag = frRound(m_zoom * 100);
    for (QAction *a : ProcMenu->actions())
        if (a->isCheckable() && a->data().toInt() == tag && tag > 3)
            a->setChecked(true);
}

void TfrPreviewForm::ResetView(bool toFirstPage)
{
    m_zoom = LastScale;
    m_zoomMode = LastScaleMode;
    TickZoomItem();
    if (toFirstPage) {
        m_curPage = 1;
        m_ofsX = m_ofsY = 0;
        m_hOld = m_vOld = 0;
        const QSignalBlocker bh(HScrollBar), bv(VScrollBar);
        HScrollBar->setValue(0);
        VScrollBar->setValue(0);
    }
    m_curPage = qBound(1, m_curPage, qMax(1, PageCount()));
    UpdatePageLabel();
    FormResize();
    for (int i = 0; i < PageCount(); ++i) {
        m_pages->SetVisible(i, false);
        m_pages->Draw(i, nullptr, QRect());
    }
    RemovePageItem->setEnabled(PageCount() >= 2);
    PBox->update();
}

void TfrPreviewForm::UpdatePageLabel()
{
    if (PageCount() == 0) {
        Label1->clear();
        return;
    }
    Label1->setText(GetLocalizedString(55004) + QLatin1Char(' ') + QString::number(m_curPage) + QLatin1Char('/')
                    + QString::number(PageCount()));
}

// ---------------------------------------------------------------------------
// Layout and painting

void TfrPreviewForm::FormResize()
{
    if (PageCount() == 0)
        return;
    m_paintAllowed = false;
    const int areaW = PBox->width(), areaH = PBox->height();
    const TfrPageInfo *cur = m_pages->GetPage(m_curPage - 1);
    const double pw = qMax(1, cur->PrnInfo.PageWidth), ph = qMax(1, cur->PrnInfo.PageHeight);
    switch (m_zoomMode) {
    case 1: m_zoom = (areaW - 20) / pw; break;
    case 2: m_zoom = (areaH - 20) / ph; break;
    case 3: m_zoom = (areaW - 30) / (2 * pw); break;
    default: break;
    }
    // A window too small for its fit leaves a tiny page, never a negative one.
    if (!(m_zoom > 0.01))
        m_zoom = 0.01;
    TickZoomItem();
    ZoomBtn->SetCaption(QString::number(frRound(m_zoom * 100)) + QLatin1Char('%'));

    const int n = PageCount();
    auto scaled = [&](int units) { return frRound(units * m_zoom); };
    // Pages per row: the page that does not fit is not counted in the next row.
    int perRow = 0, x = 10, c = 0;
    for (int i = 0; i < n; ++i) {
        const int next = scaled(m_pages->GetPage(i)->PrnInfo.PageWidth) + x + 10;
        if (areaW < next) {
            perRow = qMax(perRow, c);
            c = 0;
            x = 10;
        } else {
            x = next;
            ++c;
            if (i == n - 1)
                perRow = qMax(perRow, c);
        }
    }
    if (perRow == 0)
        perRow = 1;
    if (m_zoomMode == 2)
        perRow = 1;
    else if (m_zoomMode == 3)
        perRow = 2;

    int y = 10, maxRight = 0, maxBottom = 0;
    for (int i = 0; i < n; i += perRow) {
        x = 10;
        int tallest = 0;
        for (int j = i; j < qMin(n, i + perRow); ++j) {
            TfrPageInfo *p = m_pages->GetPage(j);
            const int w = scaled(p->PrnInfo.PageWidth), h = scaled(p->PrnInfo.PageHeight);
            const int left = (perRow == 1 && w < areaW) ? (areaW - w) / 2 : x;
            p->PageRect = QRect(left, y, w, h);
            x += w + 10;
            tallest = qMax(tallest, h);
            maxRight = qMax(maxRight, left + w);
            maxBottom = qMax(maxBottom, y + h);
        }
        y += tallest + 10;
    }

    auto range = [](int extent, int area) {
        const int r = extent - area;
        return r < 0 ? 0 : r + 10;
    };
    const int hr = range(maxRight, areaW), vr = range(maxBottom, areaH);
    HScrollBar->setMaximum(hr);
    HScrollBar->setEnabled(hr != 0);
    VScrollBar->setMaximum(vr);
    VScrollBar->setEnabled(vr != 0);
    if (isVisible())
        PBox->setFocus();
    ScrollToCurrentPage();
    m_paintAllowed = true;
}

void TfrPreviewForm::ScrollToCurrentPage()
{
    const TfrPageInfo *p = m_pages ? m_pages->GetPage(m_curPage - 1) : nullptr;
    if (!p)
        return;
    const int target = p->PageRect.top() - 10;
    if (VScrollBar->value() != target)
        VScrollBar->setValue(target);
}

QRect TfrPreviewForm::PageRect(int index) const
{
    const TfrPageInfo *p = m_pages ? m_pages->GetPage(index) : nullptr;
    return p ? p->PageRect.translated(m_ofsX, m_ofsY) : QRect();
}

QRect TfrPreviewForm::PageDrawRect(int index) const
{
    const TfrPageInfo *p = m_pages ? m_pages->GetPage(index) : nullptr;
    if (!p)
        return {};
    const QRect r = PageRect(index);
    if (p->UseMargins)
        return r;
    const TfrPrinterMetrics &m = p->PrnInfo;
    return QRect(r.left() + frRound((m.OffsetX + p->MarginLeft) * m_zoom),
                 r.top() + frRound((m.OffsetY + p->MarginTop) * m_zoom),
                 frRound((m.PrintableWidth - p->MarginLeft - p->MarginRight) * m_zoom),
                 frRound((m.PrintableHeight - p->MarginTop - p->MarginBottom) * m_zoom));
}

QRect TfrPreviewForm::FoundRect() const
{
    if (!m_found || !m_pages || !m_pages->GetPage(m_foundPage))
        return {};
    const TfrPageInfo *p = m_pages->GetPage(m_foundPage);
    const QRect d = PageDrawRect(m_foundPage);
    const double k = double(d.width()) / qMax(1, p->PrnInfo.PageWidth);
    const double ky = double(d.height()) / qMax(1, p->PrnInfo.PageHeight);
    return QRect(d.left() + frRound(m_foundText.left() * k), d.top() + frRound(m_foundText.top() * ky),
                 frRound(m_foundText.width() * k), frRound(m_foundText.height() * ky));
}

void TfrPreviewForm::PaintPages(QPainter &p, const QRegion &region)
{
    if (PageCount() == 0) {
        p.fillRect(region.boundingRect(), palette().color(QPalette::Button));
        return;
    }
    if (!m_paintAllowed)
        return;
    const int n = PageCount();
    const int areaH = PBox->height();
    QList<int> visible;
    QList<int> hidden;
    QRegion grey = region;
    for (int i = 0; i < n; ++i) {
        const QRect r = PageRect(i);
        // Hidden: out of the page area's real height (tall windows included).
        if (r.top() > areaH || r.bottom() < 0) {
            hidden << i;
            continue;
        }
        if (region.intersects(r)) {
            visible << i;
            grey -= r.adjusted(1, 1, -1, -1);
        }
    }
    p.setClipRegion(grey);
    p.fillRect(region.boundingRect(), kAreaGrey);
    p.setClipRegion(region);
    for (int i : visible) {
        const QRect r = PageRect(i);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setBrush(Qt::NoBrush);
        const int right = r.left() + r.width(), bottom = r.top() + r.height();
        p.drawLine(r.left() + 1, bottom, right, bottom);
        p.drawLine(right, bottom, right, r.top() + 1);
    }
    for (int i : hidden) {
        m_pages->SetVisible(i, false);
        m_pages->Draw(i, &p, QRect());
    }
    for (int i : visible) {
        m_pages->SetVisible(i, true);
        p.save();
        p.setClipRegion(region.intersected(PageRect(i)));
        m_pages->Draw(i, &p, PageDrawRect(i));
        p.restore();
    }
    if (m_found && visible.contains(m_foundPage)) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(FoundRect().adjusted(0, 0, 1, 1), Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

// ---------------------------------------------------------------------------
// Scrolling and paging

void TfrPreviewForm::VScrollBarChange(int value)
{
    const int dy = m_vOld - value;
    m_ofsY = -value;
    m_vOld = value;
    if (dy != 0)
        PBox->scroll(0, dy);
    for (int i = 0; i < PageCount(); ++i) {
        const QRect r = m_pages->GetPage(i)->PageRect;
        const int line = value + 11;
        if (r.top() < line && line < r.top() + r.height()) {
            if (m_curPage != i + 1) {
                m_curPage = i + 1;
                UpdatePageLabel();
            }
            break;
        }
    }
}

void TfrPreviewForm::HScrollBarChange(int value)
{
    const int dx = m_hOld - value;
    m_ofsX = -value;
    m_hOld = value;
    if (dx != 0)
        PBox->scroll(dx, 0);
}

void TfrPreviewForm::SetCurrentPage(int pageNo)
{
    if (PageCount() == 0)
        return;
    m_curPage = qBound(1, pageNo, PageCount());
    UpdatePageLabel();
    ScrollToCurrentPage();
}

void TfrPreviewForm::PgUpClick()
{
    if (m_curPage > 1)
        SetCurrentPage(m_curPage - 1);
}

void TfrPreviewForm::PgDownClick()
{
    if (m_curPage < PageCount())
        SetCurrentPage(m_curPage + 1);
}

void TfrPreviewForm::WheelScroll(int notches)
{
    VScrollBar->setValue(VScrollBar->value() - notches * kSmallChange * m_wheelStep);
}

int TfrPreviewForm::PageAt(const QPoint &areaPos) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (PageRect(i).contains(areaPos))
            return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Mouse

void TfrPreviewForm::BoxMousePress(Qt::MouseButton button, const QPoint &pos, int &lastClickedPage, bool &startDrag)
{
    if (PageCount() == 0)
        return;
    if (button == Qt::RightButton) {
        if (DesignerClassRef && m_report && m_report->ModifyPrepared)
            for (QAction *a : {PageItemsSeparator, EditPageItem, AddPageItem, RemovePageItem})
                a->setVisible(true);
        return;
    }
    lastClickedPage = m_curPage;
    bool hit = false;
    for (int i = 0; i < PageCount(); ++i) {
        const QRect r = PageRect(i);
        if (!r.contains(pos))
            continue;
        lastClickedPage = i + 1;
        const QPoint inPage(frRound((pos.x() - r.left()) / m_zoom), frRound((pos.y() - r.top()) / m_zoom));
        QString link;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        if (m_pages->ObjectAtPoint(i, inPage, link, cursor, true)) {
            hit = true;
            // A page link jumps to its page when there is one; anything else was handled or is ignored.
            const int target = pageLinkNumber(link);
            if (target > 0 && target <= PageCount())
                SetCurrentPage(target);
        }
        break;
    }
    if (!hit) {
        startDrag = true;
        m_curPage = lastClickedPage;
        UpdatePageLabel();
    }
}

void TfrPreviewForm::BoxMouseMove(const QPoint &pos)
{
    const int i = PageAt(pos);
    QString link;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool over = false;
    if (i >= 0) {
        const QRect r = PageRect(i);
        const QPoint inPage(frRound((pos.x() - r.left()) / m_zoom), frRound((pos.y() - r.top()) / m_zoom));
        over = m_pages->ObjectAtPoint(i, inPage, link, cursor, false);
    }
    PBox->setCursor(over ? cursor : Qt::ArrowCursor);
    // A page link reads "页" and its number.
    static const QRegularExpression pageLink(QStringLiteral("^@([0-9]+)$"));
    const QRegularExpressionMatch m = pageLink.match(link.trimmed());
    Label2->setText(m.hasMatch() ? GetLocalizedString(55004) + QLatin1Char(' ') + m.captured(1) : link);
}

void TfrPreviewForm::BoxDoubleClick(int lastClickedPage)
{
    if (PageCount() == 0 || lastClickedPage < 1)
        return;
    SetCurrentPage(lastClickedPage);
    if (EditPageItem->isVisible())
        EditBtnClick();
}

// ---------------------------------------------------------------------------
// Zoom

void TfrPreviewForm::ZoomBtnClick()
{
    for (QAction *a : {PageItemsSeparator, EditPageItem, AddPageItem, RemovePageItem})
        a->setVisible(false);
    ProcMenu->popup(ZoomBtn->mapToGlobal(QPoint(0, ZoomBtn->height())));
}

void TfrPreviewForm::N3Click(int tag)
{
    if (PageCount() == 0)
        return;
    m_ofsX = 0;
    if (tag >= 1 && tag <= 3) {
        m_zoomMode = tag;
    } else {
        m_zoomMode = 0;
        m_zoom = tag / 100.0;
    }
    TickZoomItem();
    HScrollBar->setValue(0);
    FormResize();
    LastScale = m_zoom;
    LastScaleMode = m_zoomMode;
    PBox->update();
}

// ---------------------------------------------------------------------------
// Keys

bool TfrPreviewForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (PageCount() == 0)
        return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up:
        VScrollBar->setValue(VScrollBar->value() - kSmallChange);
        return true;
    case Qt::Key_Down:
        VScrollBar->setValue(VScrollBar->value() + kSmallChange);
        return true;
    case Qt::Key_Left:
        HScrollBar->setValue(HScrollBar->value() - kSmallChange);
        return true;
    case Qt::Key_Right:
        HScrollBar->setValue(HScrollBar->value() + kSmallChange);
        return true;
    case Qt::Key_PageUp:
        if (ctrl)
            PgUpClick();
        else
            VScrollBar->setValue(VScrollBar->value() - kLargeChange);
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            PgDownClick();
        else
            VScrollBar->setValue(VScrollBar->value() + kLargeChange);
        return true;
    case Qt::Key_Home:
        if (!ctrl)
            return false;
        VScrollBar->setValue(0);
        return true;
    case Qt::Key_End:
        if (!ctrl)
            return false;
        SetCurrentPage(PageCount());
        return true;
    case Qt::Key_Space:
        ZoomBtnClick();
        return true;
    case Qt::Key_Escape:
        ExitBtnClick();
        return true;
    case Qt::Key_F3:
        if (ctrl || m_findText.isEmpty())
            return false;
        if (m_curPage != m_lastFoundPage + 1) {
            m_lastFoundPage = m_curPage - 1;
            m_resumeRecord = 0;
        }
        SearchNext();
        return true;
    case Qt::Key_O:
        if (!ctrl)
            return false;
        LoadBtnClick();
        return true;
    case Qt::Key_S:
        if (!ctrl)
            return false;
        SaveBtnClick();
        return true;
    case Qt::Key_F:
        if (!ctrl)
            return false;
        FindBtnClick();
        return true;
    case Qt::Key_P:
        if (!ctrl)
            return false;
        if (PrintBtn->isEnabled())
            PrintBtnClick();
        return true;
    case Qt::Key_E:
        if (!ctrl)
            return false;
        if (EditPageItem->isVisible())
            EditBtnClick();
        return true;
    default:
        return false;
    }
}

void TfrPreviewForm::keyPressEvent(QKeyEvent *e)
{
    bool handled = false;
    Guarded([&] { handled = FormKeyDown(e->key(), e->modifiers()); });
    if (handled)
        e->accept();
    else if (e->key() != Qt::Key_Escape && e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)
        QDialog::keyPressEvent(e);
}

bool TfrPreviewForm::eventFilter(QObject *watched, QEvent *e)
{
    if (m_helpMode && e->type() == QEvent::MouseButtonPress) {
        EndHelpMode(static_cast<QMouseEvent *>(e)->globalPosition().toPoint());
        return true;
    }
    if (e->type() == QEvent::KeyPress && watched != this && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *k = static_cast<QKeyEvent *>(e);
        bool handled = false;
        Guarded([&] { handled = FormKeyDown(k->key(), k->modifiers()); });
        if (handled)
            return true;
    }
    if (e->type() == QEvent::FocusIn && (watched == HScrollBar || watched == VScrollBar))
        PBox->setFocus();
    return QDialog::eventFilter(watched, e);
}

bool TfrPreviewForm::focusNextPrevChild(bool)
{
    return false;
}

// ---------------------------------------------------------------------------
// Find

void TfrPreviewForm::FindBtnClick()
{
    if (PageCount() == 0)
        return;
    TfrPreviewSearchForm f(this);
    f.Edit1->setText(m_findText);
    f.CB1->setChecked(m_caseSensitive);
    if (orv::prompt().runModal(&f) != QDialog::Accepted)
        return;
    m_caseSensitive = f.CB1->isChecked();
    m_findText = m_caseSensitive ? f.Edit1->text() : f.Edit1->text().toUpper();
    if (f.RB1->isChecked()) {
        m_lastFoundPage = 0;
        m_resumeRecord = 0;
    } else if (m_curPage != m_lastFoundPage + 1) {
        m_lastFoundPage = m_curPage - 1;
        m_resumeRecord = 0;
    }
    SearchNext();
}

void TfrPreviewForm::SearchNext()
{
    if (PageCount() == 0 || m_findText.isEmpty())
        return;
    m_paintAllowed = false;
    struct Allow {
        bool &flag;
        ~Allow() { flag = true; }
    } allow{m_paintAllowed};
    for (int i = qMax(0, m_lastFoundPage); i < PageCount(); ++i) {
        m_pages->SetVisible(i, true);
        const QList<TfrTextRecord> records = textLines(m_pages->PageTexts(i));
        int hit = -1;
        for (int k = m_resumeRecord; k < records.size(); ++k) {
            const QString text = m_caseSensitive ? records[k].Text : records[k].Text.toUpper();
            if (text.contains(m_findText)) {
                hit = k;
                break;
            }
        }
        if (hit < 0) {
            m_pages->SetVisible(i, false);
            m_pages->Draw(i, nullptr, QRect());
            m_resumeRecord = 0;
            continue;
        }
        m_lastFoundPage = i;
        m_curPage = i + 1;
        UpdatePageLabel();
        m_found = true;
        m_foundPage = i;
        m_foundText = records[hit].Rect;
        m_resumeRecord = hit + 1;
        // Scroll so that the page's top shows, or the hit when it lies lower.
        const QRect page = m_pages->GetPage(i)->PageRect;
        const int areaW = PBox->width(), areaH = PBox->height();
        const int hgt = frRound(m_zoom * m_foundText.height());
        const int wid = frRound(m_zoom * m_foundText.width());
        const int t = frRound(m_zoom * m_foundText.top()) + 10;
        if (areaH - hgt < t)
            VScrollBar->setValue(page.top() + t + hgt - areaH - 10);
        else
            VScrollBar->setValue(page.top() - 10);
        const int x0 = page.left() + frRound(m_zoom * m_foundText.left());
        if (areaW - wid < x0)
            HScrollBar->setValue(x0 + wid - areaW + 10);
        else
            HScrollBar->setValue(page.left() - 10);
        m_curPage = i + 1;
        UpdatePageLabel();
        QCoreApplication::processEvents();
        m_paintAllowed = true;
        PBox->update();
        return;
    }
}

// ---------------------------------------------------------------------------
// Print, page setup, open and save

void TfrPreviewForm::PrintBtnClick()
{
    if (PageCount() == 0 || !m_report)
        return;
    TfrReport &report = *m_report;
    TfrPrinter &prn = EnsureReportPrinter();
    const int oldIndex = prn.PrinterIndex;
    TfrPrintRequest request{QString(), report.DefaultCopies, report.DefaultCollate, 0};
    if (report.ShowPrintDialog) {
        TfrPrintForm f(this);
        f.E1->setText(QString::number(qMax(1, report.DefaultCopies)));
        f.CollateCB->setChecked(report.DefaultCollate);
        if (orv::prompt().runModal(&f) != QDialog::Accepted)
            return;
        request = {f.PageNumbers(m_curPage), f.Copies(), f.Collate(), f.PrintPages()};
    }
    if (report.RebuildPrinter && prn.PrinterIndex != oldIndex && report.Rebuildable) {
        if (!ChangePrinter(report, oldIndex, prn.PrinterIndex))
            return;
        if (report.PrepareReport() && report.EMFPages().Count() > 0)
            TakePages();
    }
    QString pdf;
    if (prn.IsVirtual()) {
        pdf = orv::prompt().saveFileName(this, QStringLiteral("打印到 PDF 文件"), QString(),
                                         QStringLiteral("PDF 文件 (*.pdf)"));
        if (pdf.isEmpty())
            return;
        if (QFileInfo(pdf).suffix().isEmpty())
            pdf += QStringLiteral(".pdf");
    }
    std::unique_ptr<TfrPrintTarget> target = frCreatePrintTarget(pdf);
    if (!target)
        return;
    {
        PagesLent lent(*this);
        PrintPreparedReport(report, request, *target);
    }
    ResetView(false);
}

void TfrPreviewForm::PageSetupBtnClick()
{
    if (PageCount() == 0 || !m_report || !m_report->Rebuildable)
        return;
    TfrReport &report = *m_report;
    TfrPrinter &prn = EnsureReportPrinter();
    QPrinter scratch(QPrinter::HighResolution);
    QPrinter *printer = prn.IsVirtual() ? &scratch : prn.Platform().Device();
    if (!printer)
        printer = &scratch;
    const TfrPageInfo *first = m_pages->GetPage(0);
    // Margins in millimetres from the first page's engine units (x 500 div 18 hundredths).
    auto mm = [](int units) { return (units * 500 / 18) / 100.0; };
    const double w = qMax(1, prn.PaperWidth) / 10.0, h = qMax(1, prn.PaperHeight) / 10.0;
    printer->setPageLayout(QPageLayout(QPageSize(QSizeF(qMin(w, h), qMax(w, h)), QPageSize::Millimeter),
                                       prn.Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(mm(first->MarginLeft), mm(first->MarginTop), mm(first->MarginRight),
                                                 mm(first->MarginBottom)),
                                       QPageLayout::Millimeter, QMarginsF()));
    QPageSetupDialog dialog(printer, this);
    if (orv::prompt().runModal(&dialog) != QDialog::Accepted)
        return;
    const QPageLayout layout = printer->pageLayout();
    const QPageSize size = layout.pageSize();
    const int code = size.windowsId() > 0 && size.windowsId() < frCustomPaper ? size.windowsId() : frCustomPaper;
    const QSizeF sizeMm = size.size(QPageSize::Millimeter);
    const int orientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    int pw = frRound(sizeMm.width() * 10), ph = frRound(sizeMm.height() * 10);
    if (orientation == poLandscape)
        std::swap(pw, ph);
    if (prn.IsVirtual())
        prn.SetPaper(code, pw, ph, frDefaultBin, orientation, true);
    else
        prn.Refresh();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    auto units = [](double millimetres) { return frRound(millimetres * 100) * 18 / 500; };
    for (TfrPage *p : report.Pages().List()) {
        if (p->PageType != ptReport)
            continue;
        p->MarginLeft = units(margins.left());
        p->MarginTop = units(margins.top());
        p->MarginRight = units(margins.right());
        p->MarginBottom = units(margins.bottom());
        p->ChangePaper(prn.PaperSize, code == frCustomPaper ? pw : 0, code == frCustomPaper ? ph : 0, prn.Bin,
                       prn.Orientation);
    }
    // The old pages stay unless the rebuild gives new ones.
    if (report.PrepareReport() && report.EMFPages().Count() > 0)
        TakePages();
    ResetView(true);
}

void TfrPreviewForm::LoadBtnClick()
{
    if (PageCount() == 0 || !m_report)
        return;
    const QString name = orv::prompt().openFileName(this, GetLocalizedString(53025), QString(),
                                                    GetLocalizedString(55211) + QStringLiteral(" (*.frp)"));
    if (!name.isEmpty())
        LoadPreparedFile(name);
}

bool TfrPreviewForm::LoadPreparedFile(const QString &fileName)
{
    if (!m_report)
        return false;
    // The report's own list is empty while the window holds the pages: the file is read
    // into it, and only a whole file replaces what the window shows.
    QString error;
    if (!m_report->LoadPreparedReport(fileName, &error)) {
        m_guard.Show(QStringLiteral("不能读取报表文件 %1\n%2").arg(fileName, error));
        return false;
    }
    m_pages.reset();
    TakePages();
    m_found = false;
    m_curPage = 1;
    FormResize();
    UpdatePageLabel();
    ScrollToCurrentPage();
    UpdateButtons();
    RemovePageItem->setEnabled(PageCount() >= 2);
    PBox->update();
    return true;
}

void TfrPreviewForm::SaveBtnClick()
{
    if (PageCount() == 0 || !m_report)
        return;
    const QString name = orv::prompt().saveFileName(this, GetLocalizedString(53026), QString(),
                                                    GetLocalizedString(55211) + QStringLiteral(" (*.frp)"));
    if (!name.isEmpty())
        SavePreparedFile(name);
}

bool TfrPreviewForm::SavePreparedFile(const QString &fileName)
{
    if (!m_report)
        return false;
    const QString name = withoutExtension(fileName) + QStringLiteral(".frp");
    QString error;
    bool ok = false;
    {
        PagesLent lent(*this);
        ok = m_report->SavePreparedReport(name, &error);
    }
    if (!ok) {
        m_guard.Show(QStringLiteral("不能保存报表文件 %1\n%2").arg(name, error));
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Pages

void TfrPreviewForm::EditBtnClick()
{
    if (PageCount() == 0 || !m_report || !m_report->ModifyPrepared)
        return;
    {
        PagesLent lent(*this);
        m_report->EditPreparedPage(m_curPage - 1);
    }
    ResetView(false);
}

void TfrPreviewForm::NewPageBtnClick()
{
    if (PageCount() == 0 || !m_report || m_report->Pages().Count() == 0)
        return;
    m_pages->Insert(m_curPage - 1, *m_report->Pages().GetPage(0));
    ResetView(false);
}

void TfrPreviewForm::DelPageBtnClick()
{
    if (PageCount() < 2)
        return;
    if (orv::prompt().message(this, GetLocalizedString(55006), GetLocalizedString(55005), QMessageBox::Question,
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (m_found && m_foundPage >= m_curPage - 1)
        m_found = false;
    m_pages->Delete(m_curPage - 1);
    ResetView(true);
}

// ---------------------------------------------------------------------------
// Help

QString TfrPreviewForm::HelpTopic(int context)
{
    switch (context) {
    case 200: return QStringLiteral("放缩：选择显示比例，或按页宽、全页、双页显示。");
    case 201: return QStringLiteral("打开报表：打开以前保存的报表文件（*.frp）。");
    case 202: return QStringLiteral("保存报表：把预览中的报表保存为报表文件（*.frp）。");
    case 203: return QStringLiteral("打印报表：选择打印机、页范围、份数和对齐；虚拟打印机打印到 PDF 文件。");
    case 204: return QStringLiteral("查找文本：在报表中查找文本，按 F3 查找下一处。");
    case 205: return QStringLiteral("关闭预览：关闭预览窗口（Esc）。");
    case 206: return QStringLiteral("状态栏：当前页号和总页数；鼠标指向链接时显示链接。");
    case 207: return QStringLiteral("报表页面：拖动鼠标移动页面，滚轮上下滚动，右键打开放缩菜单。");
    default: return {};
    }
}

void TfrPreviewForm::HelpBtnClick()
{
    m_helpMode = true;
    setCursor(Qt::WhatsThisCursor);
    grabMouse(Qt::WhatsThisCursor);
}

void TfrPreviewForm::EndHelpMode(const QPoint &globalPos)
{
    m_helpMode = false;
    releaseMouse();
    unsetCursor();
    QWidget *w = childAt(mapFromGlobal(globalPos));
    if (!w || w == HelpBtn)
        return;
    for (; w && w != this; w = w->parentWidget()) {
        const QVariant c = w->property(kHelpContext);
        if (c.isValid()) {
            const QString text = HelpTopic(c.toInt());
            if (!text.isEmpty())
                orv::prompt().message(this, GetLocalizedString(53032), text, QMessageBox::Information);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Show and close

void TfrPreviewForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    ApplyCaptions();
    RestoreFormState(this);
    PBox->setFocus();
}

void TfrPreviewForm::ExitBtnClick()
{
    if (m_report && m_report->ModalPreview)
        accept();
    else
        close();
}

void TfrPreviewForm::FormClose()
{
    if (m_stateSaved)
        return;
    m_stateSaved = true;
    if (m_shown)
        SaveFormState(this);
}

void TfrPreviewForm::closeEvent(QCloseEvent *e)
{
    FormClose();
    QDialog::closeEvent(e);
}

void TfrPreviewForm::done(int r)
{
    FormClose();
    QDialog::done(r);
}

// ---------------------------------------------------------------------------

void frRegisterPreview()
{
    TfrReport::PreviewHook = [](TfrReport &report, const QString &caption) {
        auto *f = new TfrPreviewForm();
        f->setWindowTitle(caption);
        if (report.ModalPreview) {
            std::unique_ptr<TfrPreviewForm> owned(f);
            f->ShowForReport(report);
        } else {
            f->setAttribute(Qt::WA_DeleteOnClose);
            f->ShowForReport(report);
        }
    };
    frSetProgressHost(frProgressWindowHost());
    if (!TfrReport::PasswordQuery)
        TfrReport::PasswordQuery = frAskReportPassword;
}
