#pragma once
// The one way windows talk to the operator outside their own controls:
// messages, questions, file choice, modal runs and opening files.
// Tests install a scripted double (tests/support) in place of the real one.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

class QColor;
class QDialog;
class QFont;
class QWidget;

namespace orv {

// Long work the operator watches and may cancel (a window with a bar and 取消); it closes when
// the object goes.
class Progress {
public:
    virtual ~Progress() = default;
    // Shows `done` of `total`; false once the operator has cancelled.
    virtual bool advance(qint64 done, qint64 total) = 0;
};

class Prompt {
public:
    using Buttons = QMessageBox::StandardButtons;
    using Button = QMessageBox::StandardButton;
    using Icon = QMessageBox::Icon;

    virtual ~Prompt() = default;
    // A message or question; returns the button pressed.
    virtual Button message(QWidget *parent, const QString &caption, const QString &text,
                           Icon icon = QMessageBox::Information, Buttons buttons = QMessageBox::Ok,
                           Button defaultButton = QMessageBox::NoButton) = 0;
    // A name typed without a suffix gets `defaultSuffix` (no dot) when one is given.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter, const QString &defaultSuffix = QString()) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int runModal(QDialog *dialog) = 0;
    // Opens a file or link with the desktop's default application.
    virtual bool openExternal(const QString &pathOrUrl) = 0;
    // Shows the progress of long work under `caption`, `label` saying what it is; the window
    // appears only when the work takes a while. A prompt without windows shows nothing and is
    // never cancelled.
    virtual std::unique_ptr<Progress> progress(QWidget *parent, const QString &caption, const QString &label);
    // A save dialog that also tells which of the filter's entries was chosen (0-based, -1 none).
    virtual QString saveFileNameAndFilter(QWidget *parent, const QString &caption, const QString &dir,
                                          const QString &filter, int *chosenFilter);
    // The colour dialog (its custom colours shown) on `initial`; false when cancelled.
    virtual bool chooseColor(QWidget *parent, const QColor &initial, QColor &chosen);
    // The font dialog on `initial`; false when cancelled.
    virtual bool chooseFont(QWidget *parent, const QFont &initial, QFont &chosen);

    static Prompt &instance();
    // Installs a replacement (tests); nullptr restores the desktop prompt. Not owned.
    static void install(Prompt *prompt);
};

// Shorthands used everywhere.
inline Prompt &prompt() { return Prompt::instance(); }

// A plain notice (no icon unless one is named) captioned with the application title.
void notice(QWidget *parent, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon);
// A failure reaches the operator as a message (its text is the operator's; any driver detail
// was logged where it arose); the window stays usable.
void showError(QWidget *parent, const std::exception &e);
// A Yes/No question under the given caption; true for Yes.
bool askYesNo(QWidget *parent, const QString &caption, const QString &text);

} // namespace orv
