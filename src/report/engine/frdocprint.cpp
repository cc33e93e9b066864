#include "report/engine/frdocprint.h"

#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprepared.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"

#include "common/paths.h"
#include "common/prompt.h"

#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>

void TfrDocumentPage::ShowBand(const QString &bandName)
{
    m_page.ShowBandByName(bandName);
}

bool TfrDocumentPage::SetSlot(const QString &slot, const QString &text)
{
    return TfrDocumentPrint::SetLiteral(m_report, slot, text);
}

QString TfrDocumentPrint::TemplatePath(const QString &fileName)
{
    return orv::Paths::reportsDir() + QLatin1Char('/') + fileName;
}

bool TfrDocumentPrint::Load(const QString &templatePath)
{
    m_loaded = false;
    if (!QFileInfo(templatePath).isFile()) {
        orv::notice(nullptr, QStringLiteral("报表模板不存在：") + templatePath, QMessageBox::Warning);
        return false;
    }
    m_loaded = m_report.LoadFromFile(templatePath);
    return m_loaded;
}

bool TfrDocumentPrint::SetLiteral(TfrReport &report, const QString &slot, const QString &text)
{
    auto *memo = dynamic_cast<TfrMemoView *>(report.FindObject(slot));
    if (!memo) {
        qWarning().noquote() << QStringLiteral("report template %1 has no text slot %2; its text is left out")
                                    .arg(report.FileName, slot);
        return false;
    }
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    memo->Memo = text.split(lineBreak);
    // Text only: printed as it stands, never read as expressions or a data field.
    memo->Flags |= flTextOnly;
    return true;
}

bool TfrDocumentPrint::SetSlot(const QString &slot, const QString &text)
{
    return SetLiteral(m_report, slot, text);
}

QString TfrDocumentPrint::SlotText(const QString &slot) const
{
    TfrView *v = m_report.FindObject(slot);
    return v ? v->Memo.join(QLatin1Char('\n')) : QString();
}

namespace {
// The page build stays the report's while the print runs (a modal preview may rebuild).
struct ManualBuildScope {
    TfrReport &report;
    ManualBuildScope(TfrReport &r, const TfrDocumentPrint::Build &build) : report(r)
    {
        report.OnManualBuild = [&r, build](TfrPage *page) {
            TfrDocumentPage p(r, *page);
            if (build)
                build(p);
        };
    }
    ~ManualBuildScope() { report.OnManualBuild = nullptr; }
};

// No error of the engine leaves a print: the operator is told and the window goes on.
template <typename F> bool guarded(TfrReport &report, F &&work)
{
    QString failure;
    try {
        return work();
    } catch (const std::exception &e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("未知错误");
    }
    report.EMFPages().Clear();
    orv::prompt().message(nullptr, GetLocalizedString(frRes::Error), QStringLiteral("打印失败：") + failure,
                          QMessageBox::Critical);
    return false;
}
} // namespace

bool TfrDocumentPrint::Prepare(const Build &build)
{
    if (!m_loaded)
        return false;
    ManualBuildScope scope(m_report, build);
    return guarded(m_report, [&] { return m_report.PrepareReport(); });
}

void TfrDocumentPrint::Show(const Build &build)
{
    if (!m_loaded)
        return;
    ManualBuildScope scope(m_report, build);
    guarded(m_report, [&] {
        m_report.ShowReport();
        return true;
    });
}
