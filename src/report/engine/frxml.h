#pragma once
// XML form of a report template (".xml"): a one-way export, read by nothing in
// the engine. One element for the report with its options, the dictionary's
// variables (Propdata) and one script text in which every page and object
// script is a procedure; one element per page; one per object, whose
// attributes the object writes itself (TfrView::SaveToXML).
//
// The document is code page 936 and says so in its declaration
// (encoding="GBK"), lines end with CR LF, numbers use "." whatever the locale.
// Attribute values are escaped: line breaks, tab, double quote, "<", ">", "&"
// and every character code page 936 cannot hold become character references;
// characters XML 1.0 forbids are left out. So any XML parser reads the file.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;
class TfrPage;
class TfrReport;

QString EscapeXMLText(const QString &text);
// One character (a code point) as it is written inside an attribute value.
QString EscapeXMLChar(char32_t c);
// Each byte as two upper-case hexadecimal digits.
QString StreamToHex(const QByteArray &bytes);

// Builds the document text; the objects add their elements through it.
class TfrXmlWriter {
public:
    explicit TfrXmlWriter(const TfrReport *report) : m_report(report) {}

    const TfrReport *Report() const { return m_report; }
    // The page whose objects are being written; null outside pages.
    const TfrPage *Page() const { return m_page; }
    void SetPage(const TfrPage *page) { m_page = page; }

    // Opens an element; the attributes that follow belong to it.
    void StartTag(const QString &name);
    bool TagOpen() const { return m_tagOpen; }
    // Attributes: texts are escaped, numbers decimal, floats with ".".
    void Attr(const QString &name, const QString &text);
    void Attr(const QString &name, const char *text) { Attr(name, QString::fromLatin1(text)); }
    void Attr(const QString &name, qint64 value);
    void Attr(const QString &name, int value) { Attr(name, qint64(value)); }
    void FloatAttr(const QString &name, double value);
    // DataSet and DataField when the text names a data field of a data set.
    void DataFieldAttrs(const QString &text);
    // Closes the open tag with "/>" or ">", and the line.
    void EndEmpty();
    void EndOpen();
    // A whole line (ended by CR LF).
    void Line(const QString &text);

    QString Text() const { return m_text; }

    // Engine page pixels to whole millimetres.
    static int PixelsToMm(double pixels);
    static QString FloatText(double value);

private:
    const TfrReport *m_report;
    const TfrPage *m_page = nullptr;
    QString m_text;
    bool m_tagOpen = false;
};

// A script as the procedure `name` + "OnBeforePrint"; nothing for an empty script.
QStringList XmlScriptProcedure(const QString &name, const QStringList &script);
// Every page's and object's procedure, then the main block; lines ended by CR LF.
QString XmlScriptText(const TfrReport &report);
// Whether a script holds anything but blanks.
bool XmlHasScript(const QStringList &script);

// Writes the XML form of the report. Throws EfrStreamError when the device refuses.
void SaveXMLReport(TfrReport &report, QIODevice &stream);
