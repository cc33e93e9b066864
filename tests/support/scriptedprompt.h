#pragma once
// Test double of the prompt layer: answers prompts in the order they are scripted,
// records their exact texts, and fails the test on an unexpected or leftover prompt.
#include "common/prompt.h"

#include <QColor>
#include <QFont>

#include <QList>
#include <QString>
#include <functional>

namespace orv::test {

struct Recorded {
    QString kind; // "message", "open", "save", "modal", "external", "progress"
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon; // of a message
};

class ScriptedPrompt : public Prompt {
public:
    ScriptedPrompt();  // installs itself
    ~ScriptedPrompt() override; // uninstalls; records a failure for leftover expectations

    // Expect a message whose text equals `text` (and caption, when not null); answer with `answer`.
    ScriptedPrompt &expectMessage(const QString &text, Button answer = QMessageBox::Ok,
                                  const QString &caption = QString());
    ScriptedPrompt &expectOpenFile(const QString &answer);
    ScriptedPrompt &expectSaveFile(const QString &answer);
    // Expect a modal run; `drive` gets the dialog (fill controls, press buttons) and returns the result code.
    ScriptedPrompt &expectModal(std::function<int(QDialog *)> drive);
    ScriptedPrompt &expectExternal(bool result = true);
    // Expect progress shown with `label`; the operator cancels at its `cancelAt`-th advance (from
    // 1; never when 0). Progress nobody scripted is recorded and never cancelled.
    ScriptedPrompt &expectProgress(const QString &label, int cancelAt = 0);
    // A save dialog asked through saveFileNameAndFilter: the name and the chosen filter entry.
    ScriptedPrompt &expectSaveFileAndFilter(const QString &answer, int filterIndex);
    // The colour dialog: an invalid colour answers Cancel.
    ScriptedPrompt &expectColor(const QColor &answer);
    // The font dialog: `accept` false answers Cancel; `edit` changes the offered font.
    ScriptedPrompt &expectFont(std::function<bool(QFont &)> edit);

    const QList<Recorded> &recorded() const { return m_recorded; }
    QStringList messageTexts() const;
    int pending() const { return int(m_script.size()); }
    // How often progress advanced, and the last fraction shown (done / total).
    int progressAdvances() const { return m_advances; }
    double lastProgress() const { return m_lastProgress; }
    // Fails (QVERIFY-style) when expectations are left; call at the end of a test.
    bool verifyDone();

    Button message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                   Buttons buttons, Button defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, const QString &defaultSuffix) override;
    // What the last open-file choice offered.
    QString lastOpenFilter() const { return m_lastOpenFilter; }
    QString lastOpenSuffix() const { return m_lastOpenSuffix; }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    int runModal(QDialog *dialog) override;
    bool openExternal(const QString &pathOrUrl) override;
    std::unique_ptr<Progress> progress(QWidget *parent, const QString &caption, const QString &label) override;
    QString saveFileNameAndFilter(QWidget *parent, const QString &caption, const QString &dir,
                                  const QString &filter, int *chosenFilter) override;
    bool chooseColor(QWidget *parent, const QColor &initial, QColor &chosen) override;
    bool chooseFont(QWidget *parent, const QFont &initial, QFont &chosen) override;
    // The colour and font last offered to a dialog.
    QColor lastOfferedColor() const { return m_lastColor; }
    QString lastSaveFilter() const { return m_lastSaveFilter; }

private:
    struct Step {
        QString kind;
        QString text;
        QString caption;
        Button answer = QMessageBox::Ok;
        QString fileAnswer;
        bool boolAnswer = true;
        std::function<int(QDialog *)> drive;
        int cancelAt = 0;
        int filterIndex = -1;
        QColor color;
        std::function<bool(QFont &)> fontEdit;
    };
    friend class ScriptedProgress;
    Step take(const QString &kind, const QString &caption, const QString &text);
    void fail(const QString &why);

    QList<Step> m_script;
    QList<Recorded> m_recorded;
    bool m_failed = false;
    Icon m_lastIcon = QMessageBox::NoIcon;
    QString m_lastOpenFilter;
    QString m_lastOpenSuffix;
    int m_advances = 0;
    double m_lastProgress = 0;
    QString m_lastSaveFilter;
    QColor m_lastColor;
};

} // namespace orv::test
