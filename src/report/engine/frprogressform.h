#pragma once
// The progress window of long work (building, printing, exporting): the work
// starts from inside the window's modal run, updates Label1 and ends the run
// itself; Cancel asks the report to stop at its next page boundary.
#include <QDialog>

#include <exception>
#include <functional>

class QLabel;
class QPushButton;
class TfrReport;

class TfrProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrProgressForm(QWidget *parent = nullptr);
    ~TfrProgressForm() override;

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *Button1;

    QString StepCaption;                               // e.g. "正在打印页:"
    std::function<void(TfrProgressForm *)> OnStartWork;
    std::function<void()> OnCancel;                    // called by Cancel besides stopping the report
    TfrReport *Report = nullptr;

    // Shows the window modally and starts the work once the modal run is going.
    // Returns the modal result; an exception of the work is raised again here.
    int RunModal(TfrReport *report);
    // The step caption, two blanks and n (and " 从 " + total when total > 0);
    // lets pending events through so Cancel works.
    void ShowProgress(int n, int total = 0);
    // Ends the modal run (the work calls it when done); after Cancel the result stays Cancel.
    void Finish(int result = QDialog::Accepted);
    bool Cancelled() const { return m_cancelled; }

    // The window whose run is going, or null.
    static TfrProgressForm *Active();

public slots:
    void reject() override;

private:
    void StartWork();
    std::exception_ptr m_error;
    bool m_started = false;
    bool m_cancelled = false;
};

class TfrProgressHost;
// The engine's progress window for builds, prints and exports.
TfrProgressHost *frProgressWindowHost();
