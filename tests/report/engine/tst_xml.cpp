// The XML form of templates: a template with every object kind is written,
// checked by an independent parser (xmllint) and against the attributes each
// element must carry, in their order.
#include "report/engine/frbarcodeview.h"
#include "report/engine/frlocale.h"
#include "report/engine/frxml.h"

#include "common/codec.h"
#include "templatebuilder.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Element {
    QString name;
    QStringList attrNames;
    QXmlStreamAttributes attrs;
    int depth = 0;
    QString value(const QString &n) const { return attrs.value(n).toString(); }
};

// The elements of a document in order, with their attributes in document order.
QList<Element> parse(const QByteArray &gbk, QString *error)
{
    QString text = orv::fromGbk(gbk);
    // The bytes were decoded here; the reader gets the text without its declaration.
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    QXmlStreamReader r(text);
    QList<Element> out;
    int depth = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            Element e;
            e.name = r.name().toString();
            e.attrs = r.attributes();
            for (const QXmlStreamAttribute &a : e.attrs)
                e.attrNames << a.name().toString();
            e.depth = depth++;
            out << e;
        } else if (r.isEndElement()) {
            --depth;
        }
    }
    if (r.hasError())
        *error = r.errorString();
    return out;
}

const Element *find(const QList<Element> &list, const QString &name)
{
    for (const Element &e : list)
        if (e.value(QStringLiteral("Name")) == name)
            return &e;
    return nullptr;
}

const QStringList kCommon = {"Name", "Left", "Top", "Width", "Height", "Color", "Frame.Typ", "Frame.Width",
                             "Frame.Color", "Frame.Style", "GapX", "GapY", "TagStr", "Memo.text", "Align",
                             "Restrictions"};

void lint(const QString &file)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    QVERIFY2(!xmllint.isEmpty(), "xmllint not found: scripts/install-deps.sh installs libxml2-utils");
    QProcess p;
    p.start(xmllint, {QStringLiteral("--noout"), file});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, p.readAllStandardError().constData());
}

} // namespace

class TestXml : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StreamVersion = 25;
        EngineMode = 0;
        EngineHooks = TfrEngineHooks();
        GetEngineLocale()->DecimalSeparator = QLatin1Char('.');
        frSetReportOwner(nullptr);
    }

    void templateWithEveryObjectKind()
    {
        QObject owner;
        owner.setObjectName(QStringLiteral("frmPrint"));
        auto *goods = new TfrMemoryTable(QStringLiteral("Goods"), &owner);
        goods->AddField(QStringLiteral("Code"));
        goods->AddField(QStringLiteral("Photo"), TfrFieldType::Blob);
        frSetReportOwner(&owner);
        // Numbers carry "." whatever the locale says.
        GetEngineLocale()->DecimalSeparator = QLatin1Char(',');

        TfrReport report;
        orv::test::TemplateBuilder b(report);
        TfrPage &page = b.page();
        page.Script = {QStringLiteral("begin"), QStringLiteral("  x := 1;"), QStringLiteral("end")};
        b.band(0, btReportTitle, QStringLiteral("报表标题1"), 20, 40);
        auto *master = b.band(0, btMasterData, QStringLiteral("主项数据1"), 70, 20);
        master->FormatText = QStringLiteral("Goods");
        master->Flags = flBandStretched | flBandOnFirstPage;   // not on the last page
        b.band(0, btOverlay, QStringLiteral("Overlay1"), 100, 20);
        b.band(0, btCrossData, QStringLiteral("Cross1"), 130, 20);
        auto *memo = b.memo(0, QStringLiteral("Memo1"), QRect(80, 24, 200, 18),
                            {QStringLiteral("a\"b<c>&d"), QStringLiteral("货品한😀\x01")});
        memo->Script = {QStringLiteral("Memo1.Visible := True;")};
        memo->FrameTyp = frftLeft | frftBottom;
        memo->FrameWidth = 1.5;
        memo->Restrictions = 2 | 32;
        memo->BandAlign = baRest;
        memo->Font.Name = QStringLiteral("宋体");
        memo->Font.Size = 9;
        memo->Font.Style.bold = true;
        memo->Font.Style.underline = true;
        memo->Alignment = frtaCenter | frtaDown | frtaVertical;
        memo->Flags = flWordWrap | flTextOnly | flHideZeros;
        QImage img(3, 2, QImage::Format_RGB32);
        img.fill(Qt::blue);
        auto *pict = b.picture(0, QStringLiteral("Picture1"), QRect(300, 24, 40, 30), img);
        pict->Memo = {QStringLiteral("Goods.Photo")};
        pict->Flags = flPictCenter;
        b.line(0, QStringLiteral("Line1"), QRect(60, 60, 100, 0))->Flags = 0;
        b.subReport(0, QStringLiteral("Sub1"), QRect(60, 200, 100, 40), 2);
        b.shape(0, QStringLiteral("Shape1"), QRect(60, 250, 30, 30), skEllipse);
        b.checkBox(0, QStringLiteral("Check1"), QRect(60, 290, 12, 12), QStringLiteral("Goods.Code"));
        auto *bar = b.add<TfrBarCodeView>(0, 10, QStringLiteral("TfrBarCodeView"), QStringLiteral("Bar1"),
                                          QRect(60, 310, 100, 60));
        bar->Memo = {QStringLiteral("Goods.Code")};
        bar->Zoom = 1.5;
        bar->Rotation = 90;
        bar->BarType = bcCodeEAN13;
        TfrPage &dialog = b.dialogPage(QStringLiteral("选择<条件>"));
        dialog.Script = {QStringLiteral("ShowMessage('x');")};
        b.memo(1, QStringLiteral("Memo2"), QRect(10, 10, 50, 20), {QStringLiteral("x")});
        b.page();   // empty
        b.variables(QStringLiteral("单据"), {{QStringLiteral("合计"), QStringLiteral("[Sum]")}});
        report.Attributes.ReportName = QStringLiteral("入库单");
        report.Attributes.Password = QStringLiteral("k9");

        QTemporaryDir dir;
        QVERIFY(report.SaveToXMLFile(dir.filePath(QStringLiteral("入库.frf"))));
        const QString file = dir.filePath(QStringLiteral("入库.xml"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();

        // An independent parser takes the file as it stands.
        lint(file);
        if (QTest::currentTestFailed())
            return;

        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n"));
        QVERIFY(bytes.endsWith("</TfrReport>\r\n"));
        QVERIFY(bytes.contains(orv::toGbk(QStringLiteral("货品"))));              // GBK bytes
        QVERIFY(bytes.contains("a&#34;b&#60;c&#62;&#38;d&#13;&#10;"));
        QVERIFY(bytes.contains("&#54620;&#128512;&#13;&#10;"));                     // not in GBK; \x01 dropped

        QString error;
        const QList<Element> els = parse(bytes, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const Element &root = els.first();
        QCOMPARE(root.name, QStringLiteral("TfrReport"));
        QCOMPARE(root.attrNames,
                 QStringList({"ScriptLanguage", "ScriptText.text", "Propdata", "ReportOptions.Name",
                              "ReportOptions.Author", "ReportOptions.Description.text", "ReportOptions.CreateDate",
                              "ReportOptions.LastChange", "ReportOptions.VersionMajor", "ReportOptions.VersionMinor",
                              "ReportOptions.VersionRelease", "ReportOptions.VersionBuild",
                              "ReportOptions.Password"}));
        QCOMPARE(root.value("ReportOptions.Name"), QStringLiteral("入库单"));
        QCOMPARE(root.value("ReportOptions.Password"), QStringLiteral("a/"));
        QVERIFY(!root.value("ReportOptions.CreateDate").contains(QLatin1Char(',')));
        QCOMPARE(root.value("ScriptText.text"),
                 QStringLiteral("procedure Page1OnBeforePrint(Sender: TfrComponent);\r\nbegin\r\n"
                                "  with Page1, Engine do\r\n  begin\r\n  x := 1;\r\n  end\r\nend;\r\n\r\n"
                                "procedure Memo1OnBeforePrint(Sender: TfrComponent);\r\nbegin\r\n"
                                "  with Memo1, Engine do\r\n  begin\r\nMemo1.Visible := True;\r\n  end\r\nend;\r\n\r\n"
                                "procedure Page2OnBeforePrint(Sender: TfrComponent);\r\nbegin\r\n"
                                "  with Page2, Engine do\r\n  begin\r\nShowMessage('x');\r\n  end\r\nend;\r\n\r\n"
                                "begin\r\n\r\nend.\r\n"));
        QByteArray prop("\x08" "Datasets\x0e\x00" "\x09" "Variables\x0e", 22);
        auto str = [](const QString &s) {
            const QByteArray g = orv::toGbk(s);
            return QByteArray(1, 6) + char(g.size()) + g;
        };
        prop += QByteArray(1, 1) + "\x04Name" + str(QStringLiteral(" 单据")) + "\x05Value" + str(QString()) + QByteArray(1, 0);
        prop += QByteArray(1, 1) + "\x04Name" + str(QStringLiteral("合计")) + "\x05Value" + str(QStringLiteral("[Sum]"))
                + QByteArray(1, 0);
        prop += QByteArray(1, 0);
        QCOMPARE(root.value("Propdata"), QString::fromLatin1(prop.toHex().toUpper()));

        // Pages and the elements under them, in list order; overlay and cross band left out.
        QStringList layout;
        for (const Element &e : els.mid(1))
            layout << QString(e.depth * 2, QLatin1Char(' ')) + e.name;
        QCOMPARE(layout, QStringList({"  TfrReportPage", "    TfrReportTitle", "    TfrMasterData",
                                      "    TfrMemoView", "    TfrPictureView", "    TfrLineView",
                                      "    TfrSubReportView", "    TfrShapeView", "    TfrCheckBoxView",
                                      "    TfrBarCodeView", "  TfrDialogPage", "    TfrMemoView",
                                      "  TfrReportPage"}));

        const Element &page1 = els[1];
        QCOMPARE(page1.attrNames, QStringList({"Name", "Orientation", "PaperWidth", "PaperHeight", "PaperSize",
                                               "LeftMargin", "RightMargin", "TopMargin", "BottomMargin", "Columns",
                                               "ColumnWidth", "OnBeforePrint"}));
        QCOMPARE(page1.value("Name"), QStringLiteral("Page1"));
        QCOMPARE(page1.value("Orientation"), QStringLiteral("poPortrait"));
        QCOMPARE(page.PrnInfo.PageWidth, 758);
        QCOMPARE(page.PrnInfo.PageHeight, 1071);
        QCOMPARE(page1.value("PaperWidth"), QStringLiteral("210"));
        QCOMPARE(page1.value("PaperHeight"), QStringLiteral("297"));
        QCOMPARE(page1.value("PaperSize"), QStringLiteral("9"));
        QCOMPARE(page1.value("LeftMargin"), QString::number(TfrXmlWriter::PixelsToMm(page.LeftMargin())));
        QCOMPARE(page1.value("OnBeforePrint"), QStringLiteral("Page1OnBeforePrint"));

        const Element *dlg = find(els, QStringLiteral("Page2"));
        QVERIFY(dlg);
        QCOMPARE(dlg->attrNames, QStringList({"Name", "Height", "Left", "Top", "Width", "BorderStyle", "Caption",
                                              "Color", "Position", "OnActivate"}));
        QCOMPARE(dlg->value("Caption"), QStringLiteral("选择<条件>"));
        QVERIFY(bytes.contains(orv::toGbk(QStringLiteral("Caption=\"选择&#60;条件&#62;\""))));

        const Element *m = find(els, QStringLiteral("主项数据1"));
        QCOMPARE(m->attrNames, QStringList({"Name", "Left", "Top", "Width", "Height", "Columns", "ColumnWidth",
                                            "ColumnGap", "Stretched", "PrintOnLastPage", "DataSet"}));
        QCOMPARE(m->value("Left"), QString::number(-page.LeftMargin()));
        QCOMPARE(m->value("DataSet"), QStringLiteral("Goods"));

        const Element *memoEl = find(els, QStringLiteral("Memo1"));
        QCOMPARE(memoEl->attrNames,
                 QStringList(kCommon).replaceInStrings(QStringLiteral("Restrictions"), QStringLiteral("OnBeforePrint"))
                     << "OnClick" << "OnActivate" << "Restrictions" << "AllowExpressions" << "HideZeros"
                     << "Font.Name" << "Font.Height" << "Font.Color" << "Font.Style" << "Highlight.Condition"
                     << "Highlight.Font.Style" << "Highlight.Font.Color" << "Highlight.Color" << "LineSpacing"
                     << "CharSpacing" << "HAlign" << "VAlign" << "Rotation");
        QCOMPARE(memoEl->value("Left"), QString::number(80 - page.LeftMargin()));
        QCOMPARE(memoEl->value("Memo.text"), QStringLiteral("a\"b<c>&d\r\n货品한😀\r\n"));
        QCOMPARE(memoEl->value("Frame.Typ"), QStringLiteral("9"));     // left 1 + bottom 8
        QCOMPARE(memoEl->value("Frame.Width"), QStringLiteral("1.5"));
        QCOMPARE(memoEl->value("Restrictions"), QStringLiteral("5")); // any of 1..8, plus 32 as 4
        QCOMPARE(memoEl->value("Align"), QStringLiteral("4"));        // baRest
        QCOMPARE(memoEl->value("OnClick"), QStringLiteral("Memo1OnBeforePrint"));
        QCOMPARE(memoEl->value("Font.Name"), QStringLiteral("宋体"));
        QCOMPARE(memoEl->value("Font.Height"), QStringLiteral("-12"));
        QCOMPARE(memoEl->value("Font.Style"), QStringLiteral("5"));   // bold 1 + underline 4
        QCOMPARE(memoEl->value("Highlight.Font.Style"), QStringLiteral("1"));
        QCOMPARE(memoEl->value("HAlign"), QStringLiteral("2"));
        QCOMPARE(memoEl->value("VAlign"), QStringLiteral("2"));

        const Element *p = find(els, QStringLiteral("Picture1"));
        QCOMPARE(p->attrNames, QStringList(kCommon) << "Picture.Propdata" << "DataSet" << "DataField" << "Stretched"
                                                    << "Center" << "KeepAspectRatio");
        QCOMPARE(p->value("Picture.Propdata"), QString::fromLatin1(pict->Picture.Data.toHex().toUpper()));
        QCOMPARE(p->value("DataSet"), QStringLiteral("frmPrint.Goods"));
        QCOMPARE(p->value("DataField"), QStringLiteral("Photo"));

        QCOMPARE(find(els, QStringLiteral("Line1"))->attrNames, QStringList(kCommon) << "Stretched");
        QCOMPARE(find(els, QStringLiteral("Sub1"))->value("Page"), QStringLiteral("Page3"));
        QCOMPARE(find(els, QStringLiteral("Shape1"))->value("Shape"), QStringLiteral("2"));
        QCOMPARE(find(els, QStringLiteral("Check1"))->attrNames,
                 QStringList(kCommon) << "CheckStyle" << "CheckColor" << "DataSet" << "DataField" << "Text");

        const Element *barEl = find(els, QStringLiteral("Bar1"));
        QCOMPARE(barEl->attrNames, QStringList(kCommon) << "Text" << "BarType" << "CalcCheckSum" << "Rotation"
                                                        << "ShowText" << "Zoom" << "DataSet" << "DataField");
        QCOMPARE(barEl->value("Text"), QStringLiteral("Goods.Code"));
        QCOMPARE(barEl->value("BarType"), QStringLiteral("14"));
        QCOMPARE(barEl->value("CalcCheckSum"), QStringLiteral("1"));
        QCOMPARE(barEl->value("Rotation"), QStringLiteral("90"));
        QCOMPARE(barEl->value("ShowText"), QStringLiteral("1"));
        QCOMPARE(barEl->value("Zoom"), QStringLiteral("1.5"));
        QCOMPARE(barEl->value("DataSet"), QStringLiteral("frmPrint.Goods"));
        QCOMPARE(barEl->value("DataField"), QStringLiteral("Code"));

        // The empty page closes itself.
        QVERIFY(bytes.contains("<TfrReportPage Name=\"Page3\""));
        QVERIFY(bytes.contains("\"/>\r\n</TfrReport>\r\n"));
    }

    void scriptProcedures_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("body");   // the lines after "  begin"
        QTest::newRow("begin block") << QStringList{"begin", "a := 1;", "end"}
                                     << QStringList{"a := 1;", "  end", "end;", ""};
        QTest::newRow("statements") << QStringList{"a := 1;", "b := 2;", "c := 3;"}
                                    << QStringList{"a := 1;", "b := 2;", "c := 3;", "  end", "end;", ""};
        QTest::newRow("one line") << QStringList{"a := 1;"} << QStringList{"a := 1;", "  end", "end;", ""};
        QTest::newRow("begin end") << QStringList{"begin", "end"} << QStringList{"  end", "end;", ""};
    }
    void scriptProcedures()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, body);
        const QStringList p = XmlScriptProcedure(QStringLiteral("Memo1"), script);
        QCOMPARE(p.mid(0, 4), QStringList({"procedure Memo1OnBeforePrint(Sender: TfrComponent);", "begin",
                                           "  with Memo1, Engine do", "  begin"}));
        QCOMPARE(p.mid(4), body);
        QVERIFY(XmlScriptProcedure(QStringLiteral("Memo1"), {}).isEmpty());
    }

    void reportWithoutScriptsHasMainBlockOnly()
    {
        TfrReport report;
        orv::test::TemplateBuilder b(report);
        b.page();
        b.memo(0, QStringLiteral("Memo1"), QRect(0, 0, 10, 10));
        QCOMPARE(XmlScriptText(report), QStringLiteral("begin\r\n\r\nend.\r\n"));
    }

    void escaping()
    {
        QCOMPARE(EscapeXMLText(QStringLiteral("\"<>&\r\n\t")), QStringLiteral("&#34;&#60;&#62;&#38;&#13;&#10;&#9;"));
        QCOMPARE(EscapeXMLText(QStringLiteral("中文 abc")), QStringLiteral("中文 abc"));
        QCOMPARE(EscapeXMLText(QString(QChar(0x0B)) + QChar(0xFFFF)), QString());
        QCOMPARE(EscapeXMLChar(0x1F600), QStringLiteral("&#128512;"));
    }

    // An object name is written like any other attribute: escaped, forbidden characters
    // dropped, a character GBK lacks as a reference; its script procedure is named after it.
    void nameNeedingEscapes()
    {
        const QString name = QStringLiteral("a\"b<c>&d'e") + QChar(0x01) + QStringLiteral("f한");
        TfrReport report;
        orv::test::TemplateBuilder b(report);
        b.page();
        b.memo(0, name, QRect(10, 10, 100, 20), {QStringLiteral("x")})->Script = {QStringLiteral("x := 1;")};
        QTemporaryDir dir;
        QVERIFY(report.SaveToXMLFile(dir.filePath(QStringLiteral("n.frf"))));
        const QString file = dir.filePath(QStringLiteral("n.xml"));
        lint(file);
        if (QTest::currentTestFailed())
            return;
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QString error;
        const QList<Element> els = parse(f.readAll(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString readBack = QStringLiteral("a\"b<c>&d'ef한");
        QVERIFY(find(els, readBack));
        QCOMPARE(find(els, readBack)->name, QStringLiteral("TfrMemoView"));
        QVERIFY(els.first().value("ScriptText.text").contains(QStringLiteral("procedure ") + readBack + QStringLiteral("OnBeforePrint")));
    }

    void failedWriteKeepsNothingHalfWritten()
    {
        TfrReport report;
        orv::test::TemplateBuilder b(report);
        b.page();
        QTemporaryDir dir;
        QVERIFY(!report.SaveToXMLFile(dir.filePath(QStringLiteral("missing/x.frf"))));
        QVERIFY(report.SaveToXMLFile(dir.filePath(QStringLiteral("noext"))));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("noext.xml"))));
    }
};

QTEST_MAIN(TestXml)
#include "tst_xml.moc"
