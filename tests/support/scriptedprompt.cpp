#include "scriptedprompt.h"

#include <QDialog>
#include <QTest>

namespace orv::test {

ScriptedPrompt::ScriptedPrompt() { Prompt::install(this); }

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::install(nullptr);
    if (!m_script.isEmpty() && !m_failed)
        QTest::qFail(qPrintable(QString("%1 scripted prompt(s) never came; first: %2 \"%3\"")
                                    .arg(m_script.size()).arg(m_script.first().kind, m_script.first().text)),
                     __FILE__, __LINE__);
}

ScriptedPrompt &ScriptedPrompt::expectMessage(const QString &text, Button answer, const QString &caption)
{
    Step s;
    s.kind = "message";
    s.text = text;
    s.caption = caption;
    s.answer = answer;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectOpenFile(const QString &answer)
{
    Step s;
    s.kind = "open";
    s.fileAnswer = answer;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectSaveFile(const QString &answer)
{
    Step s;
    s.kind = "save";
    s.fileAnswer = answer;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectModal(std::function<int(QDialog *)> drive)
{
    Step s;
    s.kind = "modal";
    s.drive = std::move(drive);
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectExternal(bool result)
{
    Step s;
    s.kind = "external";
    s.boolAnswer = result;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectProgress(const QString &label, int cancelAt)
{
    Step s;
    s.kind = "progress";
    s.text = label;
    s.cancelAt = cancelAt;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectSaveFileAndFilter(const QString &answer, int filterIndex)
{
    Step s;
    s.kind = "save";
    s.fileAnswer = answer;
    s.filterIndex = filterIndex;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectColor(const QColor &answer)
{
    Step s;
    s.kind = "color";
    s.color = answer;
    m_script.append(s);
    return *this;
}

ScriptedPrompt &ScriptedPrompt::expectFont(std::function<bool(QFont &)> edit)
{
    Step s;
    s.kind = "font";
    s.fontEdit = std::move(edit);
    m_script.append(s);
    return *this;
}

QStringList ScriptedPrompt::messageTexts() const
{
    QStringList out;
    for (const auto &r : m_recorded)
        if (r.kind == "message")
            out << r.text;
    return out;
}

bool ScriptedPrompt::verifyDone()
{
    if (m_script.isEmpty())
        return true;
    fail(QString("leftover scripted prompt: %1 \"%2\"").arg(m_script.first().kind, m_script.first().text));
    m_script.clear();
    return false;
}

void ScriptedPrompt::fail(const QString &why)
{
    m_failed = true;
    // Record now; the test body sees it as a failure when it returns.
    QTest::qFail(qPrintable(why), __FILE__, __LINE__);
}

ScriptedPrompt::Step ScriptedPrompt::take(const QString &kind, const QString &caption, const QString &text)
{
    m_recorded.append({kind, caption, text, kind == "message" ? m_lastIcon : QMessageBox::NoIcon});
    if (m_script.isEmpty()) {
        fail(QString("unexpected prompt: %1 [%2] \"%3\"").arg(kind, caption, text));
        Step s;
        s.kind = kind;
        s.answer = QMessageBox::Cancel;
        s.boolAnswer = false;
        return s;
    }
    Step s = m_script.takeFirst();
    if (s.kind != kind) {
        fail(QString("expected a %1 prompt \"%2\", got %3 [%4] \"%5\"").arg(s.kind, s.text, kind, caption, text));
    } else if ((kind == "message" || kind == "progress") && s.text != text) {
        fail(QString("expected message \"%1\", got \"%2\"").arg(s.text, text));
    } else if (kind == "message" && !s.caption.isNull() && s.caption != caption) {
        fail(QString("expected caption \"%1\", got \"%2\" for \"%3\"").arg(s.caption, caption, text));
    }
    return s;
}

Prompt::Button ScriptedPrompt::message(QWidget *, const QString &caption, const QString &text, Icon icon,
                                       Buttons, Button)
{
    m_lastIcon = icon;
    return take("message", caption, text).answer;
}

QString ScriptedPrompt::openFileName(QWidget *, const QString &caption, const QString &, const QString &filter,
                                     const QString &defaultSuffix)
{
    m_lastOpenFilter = filter;
    m_lastOpenSuffix = defaultSuffix;
    return take("open", caption, QString()).fileAnswer;
}

QString ScriptedPrompt::saveFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    return take("save", caption, QString()).fileAnswer;
}

int ScriptedPrompt::runModal(QDialog *dialog)
{
    Step s = take("modal", dialog ? dialog->windowTitle() : QString(), dialog ? dialog->objectName() : QString());
    if (!s.drive)
        return QDialog::Rejected;
    dialog->show();
    int r = s.drive(dialog);
    dialog->hide();
    dialog->setResult(r);
    return r;
}

class ScriptedProgress final : public Progress {
public:
    ScriptedProgress(ScriptedPrompt &prompt, int cancelAt) : m_prompt(prompt), m_cancelAt(cancelAt) {}
    bool advance(qint64 done, qint64 total) override
    {
        ++m_prompt.m_advances;
        m_prompt.m_lastProgress = total > 0 ? double(done) / double(total) : 0;
        return m_cancelAt <= 0 || ++m_count < m_cancelAt;
    }

private:
    ScriptedPrompt &m_prompt;
    int m_cancelAt;
    int m_count = 0;
};

std::unique_ptr<Progress> ScriptedPrompt::progress(QWidget *, const QString &caption, const QString &label)
{
    int cancelAt = 0;
    if (!m_script.isEmpty() && m_script.first().kind == "progress")
        cancelAt = take("progress", caption, label).cancelAt;
    else
        m_recorded.append({"progress", caption, label, QMessageBox::NoIcon});
    return std::make_unique<ScriptedProgress>(*this, cancelAt);
}

QString ScriptedPrompt::saveFileNameAndFilter(QWidget *, const QString &caption, const QString &,
                                              const QString &filter, int *chosenFilter)
{
    m_lastSaveFilter = filter;
    const Step s = take("save", caption, QString());
    if (chosenFilter)
        *chosenFilter = s.filterIndex;
    return s.fileAnswer;
}

bool ScriptedPrompt::chooseColor(QWidget *, const QColor &initial, QColor &chosen)
{
    m_lastColor = initial;
    const Step s = take("color", QString(), initial.name());
    if (!s.color.isValid())
        return false;
    chosen = s.color;
    return true;
}

bool ScriptedPrompt::chooseFont(QWidget *, const QFont &initial, QFont &chosen)
{
    const Step s = take("font", QString(), initial.family());
    if (!s.fontEdit)
        return false;
    QFont f = initial;
    if (!s.fontEdit(f))
        return false;
    chosen = f;
    return true;
}

bool ScriptedPrompt::openExternal(const QString &pathOrUrl)
{
    return take("external", QString(), pathOrUrl).boolAnswer;
}

} // namespace orv::test
