#include "report/engine/frprogressform.h"
#include "report/engine/frlocale.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"

#include "common/prompt.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
TfrProgressForm *g_active = nullptr;
}

TfrProgressForm::TfrProgressForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frProgressForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setMinimumWidth(240);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addWidget(Label2);
    lay->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, &TfrProgressForm::reject);
}

TfrProgressForm::~TfrProgressForm()
{
    if (g_active == this)
        g_active = nullptr;
}

TfrProgressForm *TfrProgressForm::Active() { return g_active; }

int TfrProgressForm::RunModal(TfrReport *report)
{
    Button1->setText(GetLocalizedString(frRes::Cancel));
    Report = report;
    Label2->clear();
    m_error = nullptr;
    m_started = false;
    m_cancelled = false;
    TfrProgressForm *previous = std::exchange(g_active, this);
    QMetaObject::invokeMethod(this, &TfrProgressForm::StartWork, Qt::QueuedConnection);
    int result = orv::prompt().runModal(this);
    // A run that ended before the work began (e.g. a scripted run) still does the work.
    if (!m_started && result != QDialog::Rejected) {
        StartWork();
        result = this->result();
    }
    g_active = previous;
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
    return result;
}

void TfrProgressForm::StartWork()
{
    if (m_started)
        return;
    m_started = true;
    try {
        if (OnStartWork)
            OnStartWork(this);
    } catch (...) {
        // Nothing may leave the event loop; the caller of RunModal gets it.
        m_error = std::current_exception();
        Finish(QDialog::Rejected);
    }
}

void TfrProgressForm::ShowProgress(int n, int total)
{
    QString text = StepCaption + QStringLiteral("  ") + QString::number(n);
    if (total > 0)
        text += QLatin1Char(' ') + GetLocalizedString(55199) + QLatin1Char(' ') + QString::number(total);
    Label1->setText(text);
    QCoreApplication::processEvents();
}

void TfrProgressForm::Finish(int result)
{
    done(m_cancelled ? int(QDialog::Rejected) : result);
}

void TfrProgressForm::reject()
{
    m_cancelled = true;
    if (Report)
        Report->StopRequested = true;
    if (OnCancel)
        OnCancel();
    QDialog::reject();
}

namespace {

class ProgressWindowHost final : public TfrProgressHost {
public:
    bool Run(const QString &caption, const QString &label, const std::function<bool()> &work,
             const std::function<void()> &cancel) override
    {
        TfrProgressForm form;
        form.setWindowTitle(caption);
        form.StepCaption = label;
        form.Label1->setText(label);
        form.OnCancel = cancel;
        bool result = false;
        form.OnStartWork = [&](TfrProgressForm *f) {
            result = work();
            f->Finish(QDialog::Accepted);
        };
        const int r = form.RunModal(nullptr);
        return r == QDialog::Accepted && !form.Cancelled() && result;
    }
    void SetLabel(const QString &label) override
    {
        if (TfrProgressForm *f = TfrProgressForm::Active())
            f->Label1->setText(label);
    }
    // Hiding a dialog would end its modal run (and the work with it): the window is made
    // see-through instead while another window is in front.
    void SetVisible(bool visible) override
    {
        if (TfrProgressForm *f = TfrProgressForm::Active())
            f->setWindowOpacity(visible ? 1.0 : 0.0);
    }
    bool IsVisible() const override
    {
        TfrProgressForm *f = TfrProgressForm::Active();
        return f && f->isVisible() && f->windowOpacity() > 0;
    }
};

} // namespace

TfrProgressHost *frProgressWindowHost()
{
    static ProgressWindowHost host;
    return &host;
}
