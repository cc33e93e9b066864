#pragma once
// The one print routine of the document and list windows: load a template from the
// reports folder, put the window's texts into the template's named text objects
// (slots), print the bands by name from the report's page build, and show the
// preview.
//
//     TfrDocumentPrint print(frReport1);
//     if (!print.Load(TfrDocumentPrint::TemplatePath("tongyong2.frf")))
//         return;                                  // missing template: told, nothing printed
//     print.SetSlot("Memo1", companyName + "采购入库单");
//     ...
//     print.Show([&](TfrDocumentPage &page) {
//         page.ShowBand("报表标题1");
//         page.ShowBand("主项头1");
//         page.ShowBand("主项头3");
//         for (const Line &l : lines) {
//             page.SetSlot("Memo18", l.name);     // ... the line's slots, then its band
//             page.ShowBand("主项数据1");
//         }
//         page.ShowBand("主项脚1");
//         page.ShowBand("页脚1");
//     });
//
// Slot texts are printed as they stand: a goods name "螺丝[M6]" is never evaluated.
// The template's own texts (a footer "第[PAGE#]页") keep their expansion. A slot the
// template does not have is skipped with a log line.
#include <QString>

#include <functional>

class TfrPage;
class TfrReport;

// What the page build of a print sees.
class TfrDocumentPage {
public:
    TfrDocumentPage(TfrReport &report, TfrPage &page) : m_report(report), m_page(page) {}
    // Prints the named band once, with the texts its slots hold now; an unknown name prints nothing.
    void ShowBand(const QString &bandName);
    // A slot's text as literal text; false (logged) when the template has no such slot.
    bool SetSlot(const QString &slot, const QString &text);
    TfrPage &Page() { return m_page; }

private:
    TfrReport &m_report;
    TfrPage &m_page;
};

class TfrDocumentPrint {
public:
    using Build = std::function<void(TfrDocumentPage &page)>;

    explicit TfrDocumentPrint(TfrReport &report) : m_report(report) {}

    // The template file of that name in the reports folder beside the program.
    static QString TemplatePath(const QString &fileName);

    // Loads the template. A missing file is told ("报表模板不存在：" + path) and false
    // returned; an unreadable one is told by the report and false returned. Nothing of
    // an earlier template is used then.
    bool Load(const QString &templatePath);
    bool Loaded() const { return m_loaded; }

    // A slot's text as literal text; false (logged) when the template has no such slot.
    bool SetSlot(const QString &slot, const QString &text);
    // A slot's current text (lines joined by line breaks); empty when there is no slot.
    QString SlotText(const QString &slot) const;

    // Builds the pages through `build` (called once per report page); true when pages were built.
    // No error of the engine leaves Prepare or Show: it is told ("打印失败：" and why), no
    // page is kept, and the caller's window goes on.
    bool Prepare(const Build &build);
    // Prepare, then the preview (or nothing when no preview window is installed).
    void Show(const Build &build);

    // Sets an object's text as literal text (shared by the page build).
    static bool SetLiteral(TfrReport &report, const QString &slot, const QString &text);

private:
    TfrReport &m_report;
    bool m_loaded = false;
};
