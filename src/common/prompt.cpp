#include "common/prompt.h"
#include "common/apptitle.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFontDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QUrl>

#include <algorithm>

namespace orv {
namespace {

class DesktopPrompt final : public Prompt {
public:
    Button message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                   Buttons buttons, Button defaultButton) override
    {
        QMessageBox box(icon, caption, text, buttons, parent);
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        return static_cast<Button>(box.exec());
    }
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, const QString &defaultSuffix) override
    {
        if (defaultSuffix.isEmpty())
            return QFileDialog::getOpenFileName(parent, caption, dir, filter);
        QFileDialog dialog(parent, caption, dir, filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(defaultSuffix);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
    int runModal(QDialog *dialog) override { return dialog->exec(); }
    bool openExternal(const QString &pathOrUrl) override
    {
        QUrl url(pathOrUrl);
        const QString scheme = url.scheme().toLower();
        if (scheme == "http" || scheme == "https" || scheme == "mailto")
            return QDesktopServices::openUrl(url);
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath()));
    }
    std::unique_ptr<Progress> progress(QWidget *parent, const QString &caption, const QString &label) override;
};

class DialogProgress final : public Progress {
public:
    DialogProgress(QWidget *parent, const QString &caption, const QString &label)
        : m_dialog(label, QStringLiteral("取消"), 0, 1000, parent)
    {
        m_dialog.setWindowTitle(caption);
        // The work holds the database: nothing else may start on it meanwhile.
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
        m_sinceEvents.start();
    }
    bool advance(qint64 done, qint64 total) override
    {
        if (total > 0)
            m_dialog.setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
        // The dialog only looks at its events when the value moves; slow work moves it seldom,
        // and the window would stop painting and hear 取消 late.
        if (m_sinceEvents.elapsed() >= 50) {
            QCoreApplication::processEvents();
            m_sinceEvents.restart();
        }
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceEvents;
};

std::unique_ptr<Progress> DesktopPrompt::progress(QWidget *parent, const QString &caption, const QString &label)
{
    return std::make_unique<DialogProgress>(parent, caption, label);
}

DesktopPrompt g_desktop;
Prompt *g_current = nullptr;

} // namespace

std::unique_ptr<Progress> Prompt::progress(QWidget *, const QString &, const QString &)
{
    class Silent final : public Progress {
    public:
        bool advance(qint64, qint64) override { return true; }
    };
    return std::make_unique<Silent>();
}

QString Prompt::saveFileNameAndFilter(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter, int *chosenFilter)
{
    QString selected;
    const QString name = QFileDialog::getSaveFileName(parent, caption, dir, filter, &selected);
    if (chosenFilter)
        *chosenFilter = selected.isEmpty() ? -1 : int(filter.split(QStringLiteral(";;")).indexOf(selected));
    return name;
}

bool Prompt::chooseColor(QWidget *parent, const QColor &initial, QColor &chosen)
{
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return false;
    chosen = c;
    return true;
}

bool Prompt::chooseFont(QWidget *parent, const QFont &initial, QFont &chosen)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (ok)
        chosen = f;
    return ok;
}

Prompt &Prompt::instance() { return g_current ? *g_current : g_desktop; }
void Prompt::install(Prompt *prompt) { g_current = prompt; }

void notice(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    prompt().message(parent, appTitle(), text, icon, QMessageBox::Ok);
}

void showError(QWidget *parent, const std::exception &e)
{
    notice(parent, QString::fromUtf8(e.what()), QMessageBox::Critical);
}

bool askYesNo(QWidget *parent, const QString &caption, const QString &text)
{
    return prompt().message(parent, caption, text, QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace orv
