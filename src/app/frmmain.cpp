#include "app/frmmain.h"
#include "data/datamodule.h"
#include "ledger/ledger.h"
#include "app/frmlogin.h"
#include "app/frmserver.h"
#include "app/frmserver1.h"
#include "app/lifecycle.h"
#include "data/login.h"
#include "app/menutree.h"
#include "data/serverconfig.h"
#include "common/clock.h"
#include "common/paths.h"
#include "common/prompt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

namespace orv {

namespace {
const char *kTimeFormat = "yyyy-MM-dd hh:mm:ss";
}

void writeWindowStatus(const QString &caption)
{
    if (!frmMain)
        return;
    frmMain->panel(0)->setText("登陆时间");
    frmMain->panel(5)->setText(G.gAppTitle + "-[" + caption + "]");
}

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("frmMain");
    frmMain = this;
    m_workspace = new QMdiArea(this);
    m_workspace->setObjectName("Image1");
    QLinearGradient g(0, 0, 0, 1000);
    g.setColorAt(0, QColor(58, 110, 165));
    g.setColorAt(1, QColor(24, 52, 90));
    m_workspace->setBackground(g);
    setCentralWidget(m_workspace);
    buildMenu();
    buildStatusBar();
    clockTimer = new QTimer(this);
    clockTimer->setObjectName("Timer1");
    clockTimer->setInterval(1000);
    connect(clockTimer, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    clockTimer->start();
    setChildHost(this);
    resize(1024, 720);
}

TfrmMain::~TfrmMain()
{
    if (childHost() == this)
        setChildHost(nullptr);
}

void TfrmMain::buildMenu()
{
    QHash<QString, QMenu *> menus;
    for (const MenuItemDef &d : menuTree()) {
        QMenu *parentMenu = menus.value(d.parent);
        if (d.caption == "-") {
            QAction *sep = parentMenu->addSeparator();
            sep->setObjectName(d.name);
            m_items.insert(d.name, sep);
            continue;
        }
        if (d.submenu) {
            QMenu *m = parentMenu ? parentMenu->addMenu(d.caption) : menuBar()->addMenu(d.caption);
            m->setObjectName(d.name);
            m->menuAction()->setObjectName(d.name);
            menus.insert(d.name, m);
            m_items.insert(d.name, m->menuAction());
            continue;
        }
        QAction *a = parentMenu ? parentMenu->addAction(d.caption) : menuBar()->addAction(d.caption);
        a->setObjectName(d.name);
        m_items.insert(d.name, a);
        const QString name = d.name;
        connect(a, &QAction::triggered, this, [name] {
            try {
                if (MenuHandler h = menuHandler(name))
                    h();
            } catch (const std::exception &ex) {
                notice(frmMain, QString::fromUtf8(ex.what()), QMessageBox::Critical);
            }
        });
    }
    // The registry outlives any one main window: reach it through its instance variable.
    setMenuHandler("FileExitItem", [] { if (frmMain) frmMain->FileExitItemClick(); });
    setMenuHandler("FileSaveAsItem", [] { if (frmMain) frmMain->FileSaveAsItemClick(); });
    connectMenuHandlers();
}

// An entry whose window is not part of the program stays unconnected (greyed).
void TfrmMain::connectMenuHandlers()
{
    for (const MenuItemDef &d : menuTree())
        if (!d.submenu && d.caption != "-")
            m_items.value(d.name)->setEnabled(bool(menuHandler(d.name)));
}

void TfrmMain::buildStatusBar()
{
    struct P { const char *text; int width; };
    const P panels[8] = {{"登录时间：", 80}, {"", 150}, {"当前登录用户：", 80}, {"", 100},
                         {"当前页面：", 70}, {"", 300}, {"当前时间：", 70}, {"", 100}};
    QStatusBar *bar = statusBar();
    bar->setObjectName("StatusBar");
    for (int i = 0; i < 8; ++i) {
        auto *l = new QLabel(QString::fromUtf8(panels[i].text), bar);
        l->setObjectName(QString("Panel%1").arg(i));
        // Wide enough for its design text and for a time stamp.
        const int need = qMax(l->fontMetrics().horizontalAdvance(l->text()),
                              i % 2 ? l->fontMetrics().horizontalAdvance("2000-00-00 00:00:00") : 0) + 12;
        l->setMinimumWidth(qMax(panels[i].width, need));
        l->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(l, i == 5 ? 1 : 0);
        m_panels << l;
    }
}

void TfrmMain::Timer1Timer() { m_panels[7]->setText(Clock::localNow().toString(kTimeFormat)); }

void TfrmMain::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_started) {
        m_started = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        QTimer::singleShot(0, this, [this] { startUp(); });
    }
}

TfrmMain::StartOutcome TfrmMain::startUp()
{
    m_started = true;
    const QString cfg = Paths::configFile();
    if (!QFileInfo::exists(cfg)) {
        openModal(frmServer, true, this);
        terminateProgram();
        return StartOutcome::Ended;
    }
    try {
        const ConnectionSettings s = settingsFromConfigIni(cfg);
        G.gServerName = s.server;
        G.gDbUserID = s.user;
        const BusyCursor busy;
        db().open(s);
    } catch (const std::exception &e) {
        // A database that cannot serve at all (not a database, not writable, newer schema)
        // is named plainly before the usual question.
        if (const auto *d = dynamic_cast<const DatabaseUnusable *>(&e))
            notice(this, d->message());
        if (prompt().message(this, "提示", "数据库连接失败,是否重新连接数据库?", QMessageBox::Question,
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            openModal(frmServer, true, this);
        terminateProgram();
        return StartOutcome::Ended;
    }
    try {
        loadCompanyRecord();
    } catch (const std::exception &ex) {
        // Nothing is usable without the company tables: say why and end.
        notice(this, QString::fromUtf8(ex.what()), QMessageBox::Critical);
        terminateProgram();
        return StartOutcome::Ended;
    }

    if (frmLogin)
        delete frmLogin.data();
    frmLogin = new TfrmLogin(this);
    centreOnDesktop(frmLogin);
    prompt().runModal(frmLogin);
    // Only a successful login makes the main window usable.
    if (!frmLogin->loggedIn()) {
        terminateProgram();
        return StartOutcome::Ended;
    }

    setWindowTitle(G.gAppTitle);
    m_panels[0]->setText("登陆时间");
    m_panels[1]->setText(Clock::localNow().toString(kTimeFormat));
    m_panels[3]->setText(G.gCurrentUser);
    m_panels[5]->setText(windowTitle());
    applyPrivileges();
    return StartOutcome::Running;
}

void TfrmMain::loadCompanyRecord()
{
    DataSet &q = frmDataModule->ADOQuery(4);
    q.setSql("select 公司名称,公司地址,公司电话,公司传真,主营业务,打印签单  from 基本信息 order by 流水号");
    q.open();
    G.gCompanyName = q.fieldByName("公司名称").asString();
    G.gCompanyAddress = q.fieldByName("公司地址").asString();
    G.gCompanyPhone = q.fieldByName("公司电话").asString();
    G.gCompanyFax = q.fieldByName("公司传真").asString();
    G.gCompanyBusiness = q.fieldByName("主营业务").asString();
    G.gPrintSignature = q.fieldByName("打印签单").asString() == "True" ? 1 : 0;
}

void TfrmMain::applyPrivileges()
{
    for (const MenuItemDef &d : menuTree()) {
        if (d.parent.isEmpty() || d.caption == "-")
            continue;
        const QString flagText = d.flag > 0 ? G.privilege(d.flag) : QString();
        m_items.value(d.name)->setVisible(menuEntryVisible(d.name, d.flag, flagText));
    }
}

void TfrmMain::closeEvent(QCloseEvent *e)
{
    if (m_closing || programTerminated()) {
        e->accept();
        return;
    }
    if (prompt().message(this, "系统提示", "确认要退出本系统?", QMessageBox::Question,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        e->ignore();
        return;
    }
    m_closing = true;
    try {
        Connection &c = db();
        if (!c.isOpen())
            c.open(c.settings());
        LoginService(c).writeLog(G.gCurrentUser, "退出系统");
    } catch (const std::exception &) {
        notice(this, "请检测数据库连接！");
    }
    m_workspace->closeAllSubWindows();
    terminateProgram();
    e->accept();
}

void TfrmMain::FileExitItemClick()
{
    if (prompt().message(this, "系统提示", "确认要退出本系统?", QMessageBox::Question,
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        m_closing = true;
        terminateProgram();
        close();
    }
}

void TfrmMain::FileSaveAsItemClick() { openModal(frmServer1, true, nullptr); }

// The main window's numbering and voucher operations, kept for callers that work on the
// program state; they number and write through a ledger on the program's connection, as
// every posting does.
QString TfrmMain::getDbIDField()
{
    G.gNewRecordID = makeRecordID();
    return G.gNewRecordID;
}

QString TfrmMain::getTaskNo()
{
    Ledger ledger(db());
    G.gVoucherNo = ledger.numbers(voucherNumberRule(G.gVoucherKind)).next();
    return G.gVoucherNo;
}

QString TfrmMain::sanhao()
{
    Ledger ledger(db());
    G.gVoucherNo = ledger.numbers(voucherNumberRule(G.gVoucherKind)).makeFree(G.gVoucherNo);
    return G.gVoucherNo;
}

void TfrmMain::insert()
{
    Ledger ledger(db());
    const VoucherRef ref = ledger.vouchers().prepareHeader(frmDataModule->ADOQuery(14), G.gVoucherKind);
    G.gVoucherNo = ref.number;
    G.gNewRecordID = ref.id;
}

void TfrmMain::insertintoming()
{
    Ledger ledger(db());
    ledger.vouchers().prepareLine(frmDataModule->ADOQuery(12));
}

namespace {
// The connection a child window loaded its rows over.
constexpr char kLoadedOver[] = "orvConnectionGeneration";

quint64 connectionGeneration() { return frmDataModule ? frmDataModule->ADOConnection1.generation() : 0; }
} // namespace

QWidget *TfrmMain::showChild(const char *className, const std::function<QWidget *()> &create)
{
    const quint64 generation = connectionGeneration();
    for (QMdiSubWindow *sub : m_workspace->subWindowList()) {
        QWidget *w = sub->widget();
        if (w && qstrcmp(w->metaObject()->className(), className) == 0) {
            // The connection was lost (or opened anew) since the window loaded: what it shows
            // is what that connection gave it, perhaps nothing. Chosen again, as the message
            // about the loss asks, it opens afresh and loads again.
            if (sub->property(kLoadedOver).toULongLong() != generation && sub->close())
                break;
            if (sub->isMinimized())
                sub->showNormal();
            if (!sub->isVisible())
                sub->show();
            m_workspace->setActiveSubWindow(sub);
            sub->raise();
            w->setFocus();
            return w;
        }
    }
    QWidget *w = create();
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_workspace->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Taken before the window loads, so a loss during its own load counts.
    sub->setProperty(kLoadedOver, generation);
    sub->showMaximized();
    w->setFocus();
    return w;
}

void TfrmMain::closeOtherChildren(const char *keepClassName)
{
    for (QMdiSubWindow *sub : m_workspace->subWindowList()) {
        QWidget *w = sub->widget();
        if (w && qstrcmp(w->metaObject()->className(), keepClassName) != 0)
            sub->close();
    }
}

} // namespace orv
