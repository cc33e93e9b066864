// Text layout of the text object: fonts, wrapping, heights, splitting.
#include "report/engine/frmemo.h"

#include <QBuffer>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

namespace {
// "¶" in the tables stands for the paragraph mark carried by wrapped lines.
QStringList marks(const QStringList &l)
{
    QStringList out;
    for (QString s : l)
        out << s.replace(QChar(0xB6), frParagraphMark);
    return out;
}
} // namespace

class TestMemo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        EngineMode = 1;
        EngineHooks = TfrEngineHooks();
    }

    void fontTable_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("family");
        QTest::newRow("Arial") << "Arial" << "Liberation Sans";
        QTest::newRow("case") << "arial" << "Liberation Sans";
        QTest::newRow("Times") << "Times New Roman" << "Liberation Serif";
        QTest::newRow("Courier") << "Courier New" << "Liberation Mono";
        QTest::newRow("MS Sans Serif") << "MS Sans Serif" << "Liberation Sans";
        QTest::newRow("Tahoma") << "Tahoma" << "Liberation Sans";
        QTest::newRow("宋体") << "宋体" << "Noto Sans Mono CJK SC";
        QTest::newRow("仿宋") << "仿宋_GB2312" << "Noto Sans Mono CJK SC";
        QTest::newRow("楷体") << "楷体" << "Noto Sans Mono CJK SC";
        QTest::newRow("黑体") << "黑体" << "Noto Sans Mono CJK SC";
        QTest::newRow("unknown") << "Some Face" << "Liberation Sans";
    }
    void fontTable()
    {
        QFETCH(QString, stored);
        QFETCH(QString, family);
        QCOMPARE(MapFontFamily(stored), family);
        // The family is really installed and chosen, not substituted.
        const QFontInfo info(MakeQFont(stored, 10));
        QCOMPARE(info.family(), family);
        QCOMPARE(info.pixelSize(), 13);
    }

    // The Chinese system faces have Latin letters half as wide as their
    // characters, so a line of mixed text breaks where it did when designed.
    void chineseFacesHaveHalfWidthLatin_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("宋体") << "宋体";
        QTest::newRow("黑体") << "黑体";
        QTest::newRow("楷体") << "楷体_GB2312";
    }
    void chineseFacesHaveHalfWidthLatin()
    {
        QFETCH(QString, face);
        TfrMemoView m;
        m.Font.Name = face;
        m.Font.Size = 12; // 16 pixels: whole-pixel halves
        QCOMPARE(m.MeasureWidth(QStringLiteral("汉")), 16);
        QCOMPARE(m.MeasureWidth(QStringLiteral("Ab1x")), m.MeasureWidth(QStringLiteral("汉字")));
    }

    void pixelHeights_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("pixels");
        QTest::newRow("10") << 10.0 << 1.0 << 13;
        QTest::newRow("9") << 9.0 << 1.0 << 12;
        QTest::newRow("12") << 12.0 << 1.0 << 16;
        QTest::newRow("half to even, down") << 1.875 << 1.0 << 2;  // 2.5
        QTest::newRow("half to even, up") << 5.625 << 1.0 << 8;    // 7.5
        QTest::newRow("zoomed truncates") << 10.0 << 1.5 << 20;    // 19.99..
        QTest::newRow("zoomed 2") << 11.0 << 2.0 << 29;            // 29.33
    }
    void pixelHeights()
    {
        QFETCH(double, points);
        QFETCH(double, zoom);
        QFETCH(int, pixels);
        QCOMPARE(FontPixelHeight(points, zoom), pixels);
    }

    // Cases give the text, the part of it that must just fit the available width, the flags and the lines.
    void wrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fits");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("lines");
        const int ww = 1 | flWordWrap;
        QTest::newRow("fits: one line with mark") << "abc" << "abcdef" << ww << QStringList{"abc¶"};
        QTest::newRow("blank at the break is dropped") << "ab cd" << "ab c" << ww << QStringList{"ab", "cd¶"};
        QTest::newRow("word longer than the line") << "abcdef" << "abc" << ww << QStringList{"abc", "def¶"};
        QTest::newRow("two words per line") << "aa bb cc dd" << "aa bb" << ww << QStringList{"aa bb", "cc dd¶"};
        QTest::newRow("line breaks") << "a\r\nb" << "abcdef" << ww << QStringList{"a¶", "b¶"};
        QTest::newRow("trailing break") << "ab\r\n" << "abcdef" << ww << QStringList{"ab¶"};
        QTest::newRow("Chinese between characters") << "一二三四五" << "一二" << ww
                                                      << QStringList{"一二", "三四", "五¶"};
        QTest::newRow("mixed") << "数量 12345" << "数量 1" << ww << QStringList{"数量", "12345¶"};
        QTest::newRow("no word wrap") << "ab cd ef" << "ab" << 1 << QStringList{"ab cd ef¶"};
        QTest::newRow("latin never hyphenated") << "abcdefgh" << "abcd" << (ww | flWordBreak)
                                                << QStringList{"abcd", "efgh¶"};
        QTest::newRow("Chinese never hyphenated") << "仓库管理系统" << "仓库管" << (ww | flWordBreak)
                                                  << QStringList{"仓库管", "理系统¶"};
    }
    void wrap()
    {
        QFETCH(QString, text);
        QFETCH(QString, fits);
        QFETCH(int, flags);
        QFETCH(QStringList, lines);
        TfrMemoView m;
        m.Font.Name = QStringLiteral("Courier New");
        m.Flags = quint16(flags);
        m.Width = m.MeasureWidth(fits) + 2 * m.GapX;
        m.PrintText = {text};
        m.WrapMemo();
        QCOMPARE(m.WrapBuffer, marks(lines));
        // Height: lines × (spacing + pixel height) plus both gaps.
        QCOMPARE(m.TextHeight, int(lines.size()) * (2 + 13) + 2 * m.GapY);
    }

    void noRoomForOneCharacter()
    {
        TfrMemoView m;
        m.Width = 2 * m.GapX; // nothing fits
        m.PrintText = {QStringLiteral("abc")};
        m.WrapMemo();
        // One character per line; the loop ends.
        QStringList joined = m.WrapBuffer;
        QCOMPARE(joined.join(QString()).remove(frParagraphMark), QStringLiteral("abc"));
        for (const QString &l : joined)
            QVERIFY(QString(l).remove(frParagraphMark).size() <= 1);
    }

    void noRoomWithWordBreakTerminates()
    {
        TfrMemoView m;
        m.Flags = 1 | flWordWrap | flWordBreak;
        m.Width = 2 * m.GapX;
        m.PrintText = {QStringLiteral("ПРОГРАММА abc")};
        m.WrapMemo(); // gives up on a tried position rather than looping
        QVERIFY(!m.WrapBuffer.isEmpty());
    }

    void cyrillicHyphenation()
    {
        QCOMPARE(TfrMemoView::BreakWord(QStringLiteral("abcdef")), QList<int>());
        QCOMPARE(TfrMemoView::BreakWord(QStringLiteral("ДОМ")), QList<int>());
        // МО|ЛО|КО: breaks after the vowels at 2 and 4.
        QCOMPARE(TfrMemoView::BreakWord(QStringLiteral("молоко")), QList<int>({2, 4}));
        TfrMemoView m;
        m.Font.Name = QStringLiteral("Courier New");
        m.Flags = 1 | flWordWrap | flWordBreak;
        // The hyphen itself must fit.
        m.Width = m.MeasureWidth(QStringLiteral("да моло")) + 2 * m.GapX;
        m.PrintText = {QStringLiteral("да молоко")};
        m.WrapMemo();
        QCOMPARE(m.WrapBuffer, marks({"да мо-", "локо¶"}));
        m.Width = m.MeasureWidth(QStringLiteral("да моло-")) + 2 * m.GapX;
        m.WrapMemo();
        QCOMPARE(m.WrapBuffer, marks({"да моло-", "ко¶"}));
    }

    void designerKeepsLongBracketLine()
    {
        EngineMode = 0;
        TfrMemoView m;
        m.Width = 20;
        m.PrintText = {QStringLiteral("[Goods.\"Name\" + Goods.Size]")};
        m.WrapMemo();
        QCOMPARE(m.WrapBuffer, m.PrintText); // unchanged, no mark
    }

    void rotatedUsesHeight()
    {
        TfrMemoView m;
        m.Font.Name = QStringLiteral("Courier New");
        m.Alignment = frtaVertical;
        m.Width = 10;
        m.Height = m.MeasureWidth(QStringLiteral("ab c")) + 2 * m.GapY;
        m.PrintText = {QStringLiteral("ab cd")};
        m.WrapMemo();
        QCOMPARE(m.WrapBuffer, marks({"ab", "cd¶"}));
        QCOMPARE(m.TextHeight, 2 * 15 + 2 * m.GapX);
    }

    void heights_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("height");
        QTest::newRow("10pt, 3 lines") << 10 << 2 << 3 << 3 * 15 + 2;
        QTest::newRow("9pt, spacing 0") << 9 << 0 << 2 << 2 * 12 + 2;
        QTest::newRow("12pt, spacing 5") << 12 << 5 << 1 << 21 + 2;
    }
    void heights()
    {
        QFETCH(int, size);
        QFETCH(int, spacing);
        QFETCH(int, lines);
        QFETCH(int, height);
        TfrMemoView m;
        m.Font.Size = size;
        m.LineSpacing = spacing;
        m.Width = 400;
        for (int i = 0; i < lines; ++i)
            m.Memo << QStringLiteral("line %1").arg(i);
        // Vertical layout depends on the point size only, never on font metrics.
        QCOMPARE(m.CalcHeight(), height);
        QCOMPARE(m.PrintPhase, quint8(1));
        m.Height = height;
        QCOMPARE(m.MinHeight(), 2 + 2 * m.GapY + spacing + FontPixelHeight(size));
    }

    void calcHeightExpandsAndSuppresses()
    {
        EngineHooks.ExpandBracket = [](const QString &inner) {
            return inner == QLatin1String("Lines") ? QStringLiteral("a\r\nb\r\nc") : QString();
        };
        TfrMemoView m;
        m.Width = 300;
        m.Memo = {QStringLiteral("[Lines]")};
        QCOMPARE(m.CalcHeight(), 3 * 15 + 2);
        m.Flags |= flTextOnly;
        QCOMPARE(m.CalcHeight(), 15 + 2);
        m.Flags |= flSuppress;
        m.LastValue = QStringLiteral("[Lines]") + frParagraphMark;
        QCOMPARE(m.CalcHeight(), 0);
    }

    // An object of 10 lines where 4 fit prints 4 and keeps the rest.
    void splitPrinting()
    {
        TfrMemoView m;
        m.Width = 300;
        for (int i = 1; i <= 10; ++i)
            m.Memo << QStringLiteral("line %1").arg(i);
        m.CalcHeight();
        m.Height = 4 * 15 + 2 * m.GapY + 1;
        m.PrintPhase = 2;
        m.RecordMode = 1;
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        m.Print(buf);
        QCOMPARE(m.LinesDone, 4);
        QCOMPARE(m.PrintPhase, quint8(0));
        QCOMPARE(m.PrintText.size(), 6);
        QCOMPARE(QString(m.PrintText.first()).remove(frParagraphMark), QStringLiteral("line 5"));
        buf.seek(0);
        QCOMPARE(ReadStreamByte(buf), quint8(0));
        TfrMemoView r;
        r.RecordMode = 1;
        r.LoadFromStream(buf);
        QCOMPARE(r.Memo.size(), 4);
        QCOMPARE(QString(r.Memo[3]).remove(frParagraphMark), QStringLiteral("line 4"));
    }

    // Aligned to the bottom of its band, the object prints with its bottom on the band's edge.
    void bottomAlignedToBand()
    {
        EngineHooks.CurrentBandGeometry = [](TfrBandGeometry &b) {
            b.Top = 300;
            b.Height = 80;
            b.Type = 5;
            return true;
        };
        TfrMemoView m;
        m.SetBounds(10, 5, 100, 20);
        m.BandAlign = baBottom;
        m.Memo = {QStringLiteral("x")};
        m.RecordMode = 1;
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        m.Print(buf);
        buf.seek(0);
        ReadStreamByte(buf);
        TfrMemoView r;
        r.RecordMode = 1;
        r.LoadFromStream(buf);
        QCOMPARE(r.Top + r.Height, 380);
        QCOMPARE(r.BandAlign, quint8(baNone));
        QCOMPARE(m.BandAlign, quint8(baBottom));
    }

    // A handler that changes the text keeps it from being expanded.
    void beforePrintHandler()
    {
        EngineHooks.ExpandBracket = [](const QString &) { return QStringLiteral("EXPANDED"); };
        EngineHooks.HasBeforePrintHandler = [] { return true; };
        EngineHooks.BeforePrintObject = [](QStringList &text, TfrView *) {
            if (text.value(0) == QLatin1String("[change]"))
                text = QStringList{QStringLiteral("[set by handler]")};
        };
        TfrMemoView m;
        m.RecordMode = 1;
        for (const QString &memo : {QStringLiteral("[change]"), QStringLiteral("[keep]")}) {
            m.Memo = {memo};
            QBuffer buf;
            buf.open(QIODevice::ReadWrite);
            m.Print(buf);
            buf.seek(0);
            ReadStreamByte(buf);
            TfrMemoView r;
            r.RecordMode = 1;
            r.LoadFromStream(buf);
            QCOMPARE(r.Memo.value(0), memo == QLatin1String("[keep]") ? QStringLiteral("EXPANDED")
                                                                      : QStringLiteral("[set by handler]"));
        }
    }

    void suppressRepeatedValue()
    {
        TfrMemoView m;
        m.Flags |= flSuppress;
        m.Memo = {QStringLiteral("same")};
        m.RecordMode = 1;
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        m.Print(buf);
        const qint64 once = buf.size();
        QVERIFY(once > 0);
        m.Print(buf);
        QCOMPARE(buf.size(), once);
        m.Memo = {QStringLiteral("other")};
        m.Print(buf);
        QVERIFY(buf.size() > once);
    }

    void highlightErrorIsSwallowed()
    {
        EngineHooks.Evaluate = [](const QString &) -> QVariant { throw std::runtime_error("bad"); };
        TfrMemoView m;
        m.HighlightCondition = QStringLiteral("[x] >");
        m.Memo = {QStringLiteral("t")};
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        m.Print(buf);
        QVERIFY(buf.size() > 0);
        QCOMPARE(m.Font.Style.bold, false);
    }

    void formatCode();

    void autoWidth()
    {
        TfrMemoView m;
        m.Font.Name = QStringLiteral("Courier New");
        m.Memo = {QStringLiteral("abcd"), QStringLiteral("ab")};
        const int w = m.CalcWidth(m.Memo);
        QCOMPARE(w, m.MeasureWidth(QStringLiteral("abcd")) + 1 + 2 * m.GapX + 1);
    }
};

// Display-format code and its dialog.
void TestMemo::formatCode()
{
    QCOMPARE(MakeFormatCode(1, 1, QStringLiteral("3"), QString()), (1 << 24) + (1 << 16) + 768 + 44);
    QCOMPARE(MakeFormatCode(2, 4, QString(), QString()), (2 << 24) + (4 << 16) + 44);
    QCOMPARE(MakeFormatCode(1, 0, QStringLiteral("x"), QStringLiteral(".")), (1 << 24) + 46);

    TfrFmtForm form((1 << 24) + (3 << 16) + (2 << 8) + '.', QString());
    QCOMPARE(form.windowTitle(), QStringLiteral("变量格式"));
    QCOMPARE(form.CatLB->count(), 5);
    QCOMPARE(form.CatLB->currentRow(), 1);
    QCOMPARE(form.TypeLB->currentRow(), 3);
    QCOMPARE(form.DecEdit->text(), QStringLiteral("2"));
    QCOMPARE(form.SplEdit->text(), QStringLiteral("."));
    QVERIFY(!form.FormatEdit->isEnabled());
    form.CatLB->setCurrentRow(0);
    QCOMPARE(form.TypeLB->count(), 1); // empty entries are not listed
    form.CatLB->setCurrentRow(2);
    QCOMPARE(form.TypeLB->currentRow(), 0);
    QVERIFY(!form.DecEdit->isEnabled());
    QVERIFY(form.DecEdit->text().isEmpty());
    form.TypeLB->setCurrentRow(4);
    QVERIFY(form.FormatEdit->isEnabled());
    form.FormatEdit->setText(QStringLiteral("yyyy-mm-dd"));
    form.accept();
    QCOMPARE(form.Format(), (2 << 24) + (4 << 16) + 44);
    QCOMPARE(form.FormatText(), QStringLiteral("yyyy-mm-dd"));
}

QTEST_MAIN(TestMemo)
#include "tst_memo.moc"
