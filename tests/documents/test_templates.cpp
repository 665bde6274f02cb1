// The template files without a database: the element list of a .psc
// written and read back, the keys a save leaves behind, the rich-text bands
// as RTF, and the texts the engine prints for elements.

#include "common/cp1251.h"
#include "common/profile_file.h"
#include "documents/report_engine.h"
#include "documents/rich_text.h"
#include "documents/template_files.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace torvika;

namespace {

ReportElement element(ElementKind kind, ReportBand band, int code = 0) {
    ReportElement e;
    e.kind = kind;
    e.band = band;
    e.code = code;
    e.name = elementKindName(kind).mid(1) + QString::number(code);
    if (kind == ElementKind::DataField) {
        e.dataSet = QStringLiteral("Produkti.DB");
        e.dataField = QStringLiteral("Opisanie");
    }
    if (kind == ElementKind::Label)
        e.caption = code == kLabelFreeText ? QStringLiteral("4:Забележка")
                    : code == kLabelNumberWords ? QStringLiteral("Въведете число за изписване с думи")
                                                : labelKindItem(code);
    if (kind == ElementKind::Image)
        e.picture = QStringLiteral("logo.png");
    return e;
}

ReportTemplate readBack(const QByteArray& psc) {
    ReportTemplate t;
    readPsc(psc, t);
    return t;
}

} // namespace

class TemplatesTest : public QObject {
    Q_OBJECT

private slots:
    // Every element keeps its band, kind, geometry, frame and font.
    void elementRoundTrip_data() {
        QTest::addColumn<ReportElement>("e");
        ReportElement field = element(ElementKind::DataField, ReportBand::Header);
        field.geometry = QRect(12, 34, 156, 21);
        field.autoSize = true;
        field.alignment = ElementAlignment::Right;
        field.frame = {true, false, true, true, FrameStyle::DashDot, 3};
        field.font = {14, true, true, false, true};
        QTest::newRow("data field") << field;
        for (int code = kLabelNet; code <= kLabelLastKind; ++code) {
            ReportElement l = element(ElementKind::Label, ReportBand::Footer, code);
            l.alignment = ElementAlignment::Center;
            l.frame.style = FrameStyle::Dot;
            QTest::newRow(qPrintable(QStringLiteral("label %1").arg(code))) << l;
        }
        for (int code = kSysDate; code <= kSysTime; ++code)
            QTest::newRow(qPrintable(QStringLiteral("system data %1").arg(code)))
                << element(ElementKind::SystemData, ReportBand::Detail, code);
        QTest::newRow("image") << element(ElementKind::Image, ReportBand::Header);
    }
    void elementRoundTrip() {
        QFETCH(ReportElement, e);
        ReportTemplate t;
        t.name = QStringLiteral("Ф");
        t.headerHeight = 120;
        t.detailHeight = 22;
        t.footerHeight = 80;
        t.elements = {element(ElementKind::DataField, ReportBand::Detail), e};
        const ReportTemplate back = readBack(writePsc({}, t, "h.hdr", "f.ftr"));
        QCOMPARE(back.headerHeight, 120);
        QCOMPARE(back.detailHeight, 22);
        QCOMPARE(back.footerHeight, 80);
        QCOMPARE(back.elements.size(), 2);
        QVERIFY(back.elements[1] == e);
    }

    // The keys in the order they are written, with a label of kind 3.
    void fileText() {
        ReportTemplate t;
        ReportElement l = element(ElementKind::Label, ReportBand::Footer, kLabelTotalWords);
        l.name = QStringLiteral("QRLabel1");
        l.font.bold = l.font.italic = true;
        t.elements = {l};
        const QString text = QString::fromUtf8(writePsc({}, t, "D\\N.hdr", "D\\N.ftr"));
        QCOMPARE(text, QStringLiteral("[Text_Header]\r\nHeader_Heigth=0\r\nNameOfFile=D\\N.hdr\r\n"
                                      "[Text_Footer]\r\nFooter_Heigth=0\r\nNameOfFile=D\\N.ftr\r\n"
                                      "[Text_QRSubDetail1]\r\nQRSubDetail1_Height=0\r\n"
                                      "[Object1]\r\nType_Object=TQRLabel\r\nName=QRLabel1\r\n"
                                      "Parent=Form_GeneralForm_Dokumentaciq.GroupFooterBand1\r\nData=3\r\n"
                                      "Height=20\r\nWidth=50\r\nLeft=0\r\nTop=0\r\nAutoSize=False\r\n"
                                      "Alignment=taLeftJustify\r\nFrame.DrawLeft=0\r\nFrame.DrawRight=0\r\n"
                                      "Frame.DrawTop=0\r\nFrame.DrawBottom=0\r\nFrame.Style=psSolid\r\n"
                                      "Frame.Width=1\r\nFont.Size=10\r\nfsBold=1\r\nfsItalic=1\r\n"
                                      "fsUnderline=0\r\nfsStrikeOut=0\r\n[Object_Counts]\r\nMax=1\r\n"));
    }

    // A save over an earlier file: no key of an earlier element survives in
    // its section, sections beyond Max are ignored, a hand-set Original stays.
    void saveOverAnEarlierFile() {
        ReportTemplate t;
        t.elements = {element(ElementKind::DataField, ReportBand::Detail),
                      element(ElementKind::DataField, ReportBand::Detail)};
        QByteArray psc = writePsc({}, t, {}, {});
        psc += "[Original]\r\nVis=1\r\n";
        t.elements = {element(ElementKind::Label, ReportBand::Footer, kLabelTotal)};
        psc = writePsc(psc, t, {}, {});
        QVERIFY(!ProfileData::parse(psc).hasKey("Object1", "DataField"));
        const ReportTemplate back = readBack(psc);
        QCOMPARE(back.elements.size(), 1);
        QCOMPARE(back.elements[0].kind, ElementKind::Label);
        QVERIFY(back.tables().isEmpty());
        QVERIFY(back.stampEnabled);
    }

    // What a hand-edited file reads as.
    void readingLeniently() {
        const QByteArray psc = "[object_counts]\r\nmax=4\r\n"
                               "[Object1]\r\nParent=Form_GeneralForm_Dokumentaciq.GroupHeaderBand1\r\n"
                               "DataSet=Firmi.db\r\nDataField=Ime_Firma\r\n"
                               "[Object2]\r\nType_Object=TQRLabel\r\nParent=nowhere\r\nDataSet=Firmi.db\r\n"
                               "DataField=EIK\r\n"
                               "[Object3]\r\nType_Object=TQRSomething\r\n"
                               "[Object4]\r\nType_Object=TQRSysData\r\nData=9\r\n"
                               "[Object5]\r\nType_Object=TQRImage\r\n";
        const ReportTemplate t = readBack(psc);
        QCOMPARE(t.elements.size(), 4);
        QCOMPARE(t.elements[0].kind, ElementKind::DataField);
        QCOMPARE(t.elements[0].name, "TQRDBText1");
        QCOMPARE(t.elements[1].kind, ElementKind::Label);
        QCOMPARE(t.elements[1].band, ReportBand::Header); // the previous element's
        QCOMPARE(t.elements[1].code, kLabelNet);
        QCOMPARE(t.elements[1].geometry.width(), 10);
        QCOMPARE(t.elements[2].kind, ElementKind::Label); // the previous element's kind
        QCOMPARE(t.elements[3].code, kSysTime);
        // Only the data field's column joins a table.
        QCOMPARE(t.tables(), QStringList{"Firmi.db"});
    }

    // The designer's editing on the same model.
    void editingTheModel() {
        ReportTemplate t;
        t.addElement(ElementKind::DataField, ReportBand::Detail);
        t.addElement(ElementKind::SystemData, ReportBand::Header);
        const int third = t.addElement(ElementKind::Label, ReportBand::Footer);
        QCOMPARE(t.elements[third].name, "QRLabel3");
        t.removeElement(0);
        QCOMPARE(t.elements[t.addElement(ElementKind::Label, ReportBand::Detail)].name, "QRLabel4");
        t.moveElement(0, ReportBand::Footer, {30, 40});
        QCOMPARE(t.elements[0].band, ReportBand::Footer);
        QCOMPARE(t.elements[0].geometry.topLeft(), QPoint(30, 40));
        t.setBandHeight(ReportBand::Detail, -5);
        QCOMPARE(t.detailHeight, 0);
        QCOMPARE(labelKindOfCaption("2:Обща сума продажба"), 2);
        QCOMPARE(labelKindOfCaption("7:Ставки на ДДС"), 7);
        QCOMPARE(labelKindOfCaption("11:Обща сума в евро и в лева"), 11);
        QCOMPARE(labelKindOfCaption("12:x"), -1);
    }

    void templateNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Фактура" << true;
        QTest::newRow("with blanks and dots") << "Стокова разписка No.2" << true;
        for (const char* bad :
             {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "..", "a..b", " "})
            QTest::newRow(bad) << QString::fromUtf8(bad) << false;
    }
    void templateNames() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(isValidTemplateName(name), valid);
    }

    // A band text as a word processor writes it: code page, Unicode escapes,
    // styles, fonts, sizes, alignment, skipped groups.
    void readingRtf() {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
            "{\\f1\\froman\\fcharset204 Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}"
            "{\\*\\generator Writer;}{\\info{\\title x}}\\viewkind4\\uc1"
            "\\pard\\qc\\b\\f0\\fs32 " +
            toCp1251(QStringLiteral("Фактура")) +
            "\\b0\\par\r\n\\pard\\qr\\i\\f1\\fs20 \\u1044?\\u1072?\\'f2\\'e0\\i0\\ul  x\\ulnone\\cf1  "
            "y\\cf0\\tab z\\par\r\n}";
        QTextDocument doc;
        readRtf(rtf, doc);
        QCOMPARE(doc.blockCount(), 2);
        const QTextBlock first = doc.firstBlock();
        QCOMPARE(first.text(), "Фактура");
        QCOMPARE(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(first.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(first.begin().fragment().charFormat().fontPointSize(), 16.0);
        const QTextBlock second = first.next();
        QCOMPARE(second.text(), "Дата x y\tz");
        QCOMPARE(second.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        const QTextCharFormat italic = second.begin().fragment().charFormat();
        QVERIFY(italic.fontItalic());
        QCOMPARE(italic.fontFamilies().toStringList().value(0), "Times New Roman");
        QTextCursor c(&doc);
        c.setPosition(second.position() + 6); // after "x"
        QVERIFY(c.charFormat().fontUnderline());
        c.setPosition(second.position() + 8);
        QCOMPARE(c.charFormat().foreground().color(), QColor(Qt::red));
        // Text that is not RTF is plain text.
        readRtf(QStringLiteral("ред 1\nред 2").toUtf8(), doc);
        QCOMPARE(doc.toPlainText(), "ред 1\nред 2");
    }

    // What is written is read back the same.
    void rtfRoundTrip() {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
        QTextCharFormat bold;
        bold.setFontFamilies({QStringLiteral("Arial")});
        bold.setFontPointSize(18);
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("ГАРАНЦИОННА КАРТА {1}\\"), bold);
        QTextBlockFormat tabs;
        tabs.setTabPositions({QTextOption::Tab(370, QTextOption::LeftTab)});
        tabs.setLeftMargin(20);
        c.insertBlock(tabs);
        QTextCharFormat plain;
        plain.setFontFamilies({QStringLiteral("Courier New")});
        plain.setFontPointSize(10);
        plain.setFontUnderline(true);
        plain.setFontItalic(true);
        plain.setFontStrikeOut(true);
        c.insertText(QStringLiteral("Купувач:\tПродавач: € ☺"), plain);
        c.insertBlock(QTextBlockFormat());
        const QByteArray written = writeRtf(doc);
        QTextDocument back;
        readRtf(written, back);
        QCOMPARE(back.toPlainText(), doc.toPlainText());
        QCOMPARE(writeRtf(back), written);
        QCOMPARE(back.firstBlock().next().blockFormat().tabPositions().value(0).position, 370.0);
        QCOMPARE(back.firstBlock().next().blockFormat().leftMargin(), 20.0);
    }

    // The texts of data fields.
    void fieldTexts_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("floating") << QVariant(2.675) << "2.68";
        QTest::newRow("whole floating") << QVariant(2.0) << "2.00";
        QTest::newRow("integer") << QVariant(qint64(125)) << "125";
        QTest::newRow("ISO date") << QVariant("2024-05-17") << "17.05.2024";
        QTest::newRow("text") << QVariant("24, месеца") << "24, месеца";
        QTest::newRow("null") << QVariant() << "";
    }
    void fieldTexts() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(fieldText(value), text);
    }

    // System data and page breaks: the row number and count, the page
    // number of a report over several pages, each page's rows.
    void systemDataAndPages() {
        ReportTemplate t;
        t.name = QStringLiteral("Опис");
        t.headerHeight = 100;
        t.detailHeight = 20;
        t.footerHeight = 60;
        t.elements = {element(ElementKind::DataField, ReportBand::Detail),
                      element(ElementKind::SystemData, ReportBand::Detail, kSysDetailNo),
                      element(ElementKind::SystemData, ReportBand::Footer, kSysDetailCount),
                      element(ElementKind::SystemData, ReportBand::Footer, kSysPageNumber),
                      element(ElementKind::SystemData, ReportBand::Header, kSysTitle),
                      element(ElementKind::SystemData, ReportBand::Header, kSysDateTime)};
        ReportData data;
        data.queried = true;
        data.columns = {QStringLiteral("produkti.opisanie")};
        for (int i = 0; i < 120; ++i)
            data.rows.append({QStringLiteral("ред %1").arg(i + 1)});
        ReportValues values;
        values.title = t.name;
        values.printed = QDateTime(QDate(2024, 5, 17), QTime(8, 5, 9));
        const ReportLayout layout(t, data, values);
        QCOMPARE(layout.pageCount(), 3);
        QCOMPARE(layout.elementText(0, 41), "ред 42");
        QCOMPARE(layout.elementText(1, 41), "42");
        QCOMPARE(layout.elementText(2, 119), "120");
        QCOMPARE(layout.elementText(4, 0), "Опис");
        QCOMPARE(layout.elementText(5, 0), "17.05.2024 08:05:09");
        const QString text = layout.plainText();
        QVERIFY(text.contains("ред 120"));
        QVERIFY(text.endsWith("120\n3\nСтр. 3 от 3")); // the footer on the last page
    }

    // A long customer name takes the lines it needs; what is under it in
    // its band (fields and band text) moves down, and the band with it.
    void headerFieldsGrow() {
        ReportTemplate t;
        t.headerHeight = 80;
        t.detailHeight = 20;
        ReportElement name = element(ElementKind::DataField, ReportBand::Header);
        name.dataSet = QStringLiteral("Firmi.db");
        name.dataField = QStringLiteral("Ime_Firma");
        name.geometry = QRect(78, 20, 120, 17);
        ReportElement address = name;
        address.dataField = QStringLiteral("Adres_Firma");
        address.geometry = QRect(78, 37, 120, 17);
        t.elements = {name, address};
        t.headerText = "Име:\nАдрес:";
        ReportData data;
        data.queried = true;
        data.columns = {QStringLiteral("firmi.ime_firma"), QStringLiteral("firmi.adres_firma")};
        data.rows = {{QStringLiteral("Търговска компания за строителни материали и инструменти ООД"),
                      QStringLiteral("ул. Витоша 12")}};
        const ReportLayout layout(t, data, ReportValues());
        const QRectF nameBox = layout.elementBox(0, 0);
        const QRectF addressBox = layout.elementBox(1, 0);
        QVERIFY2(nameBox.height() >= 3 * 15, qPrintable(QString::number(nameBox.height())));
        QVERIFY(addressBox.top() >= nameBox.bottom());
        const QRectF header = layout.placedBands(0).first().box;
        QCOMPARE(header.height(), 80 + addressBox.top() - (kPageMargin + 37));
    }

    // No band runs into the foot of the page: a band taller than the page
    // is cut at the foot, and the rows go on after it.
    void bandTallerThanThePage() {
        ReportTemplate t;
        t.headerHeight = 3000;
        t.detailHeight = 20;
        t.footerHeight = 40;
        t.elements = {element(ElementKind::DataField, ReportBand::Detail)};
        ReportData data;
        data.queried = true;
        data.columns = {QStringLiteral("produkti.opisanie")};
        for (int i = 0; i < 3; ++i)
            data.rows.append({QStringLiteral("ред %1").arg(i + 1)});
        const ReportLayout layout(t, data, ReportValues());
        QCOMPARE(layout.pageCount(), 2);
        const double foot = kPageHeight - kPageMargin - kPageFootHeight;
        for (int page = 0; page < layout.pageCount(); ++page)
            for (const ReportLayout::PlacedBand& b : layout.placedBands(page))
                QVERIFY2(b.box.bottom() <= foot + 0.01, qPrintable(QString::number(b.box.bottom())));
        QCOMPARE(layout.placedBands(0).size(), 1);
        QVERIFY(layout.plainText().contains("ред 3"));
    }

    // Rows that go on over a page are headed there by the column headings
    // (the upper band's last line); every page says which of how many it is.
    void laterPagesRepeatTheHeadings() {
        ReportTemplate t;
        t.headerHeight = 60;
        t.detailHeight = 20;
        t.footerHeight = 20;
        t.headerText = "ОПИС\nКод\tНаименование";
        ReportElement code = element(ElementKind::SystemData, ReportBand::Detail, kSysDetailNo);
        t.elements = {code};
        ReportData data;
        data.queried = true;
        for (int i = 0; i < 120; ++i)
            data.rows.append(QVariantList());
        const ReportLayout layout(t, data, ReportValues());
        QCOMPARE(layout.pageCount(), 3);
        const QStringList pages = layout.plainText().split(QRegularExpression("Стр. \\d от 3\n?"));
        QCOMPARE(pages.size(), 4);
        QVERIFY(pages[0].startsWith("ОПИС\nКод\tНаименование\n1\n"));
        for (int page : {1, 2}) {
            QVERIFY2(pages[page].startsWith("Код\tНаименование\n"), qPrintable(pages[page].left(40)));
            QCOMPARE(layout.placedBands(page).first().band, ReportBand::Header);
            QVERIFY(layout.placedBands(page).first().box.height() < 20);
        }
        QVERIFY(layout.plainText().contains("Стр. 2 от 3"));
    }
};

QTEST_MAIN(TemplatesTest)
#include "test_templates.moc"
