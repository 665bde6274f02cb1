// The designer's operations on a template without its windows: elements
// kept inside the page while moved and resized, removed, saved under their
// own kind or a new one (never over another kind without the question),
// the fields offered from the database's catalogue and the fields of a
// template the database lacks, and the outside files taken into the
// templates' directory.

#include "common/sql.h"
#include "documents/report_engine.h"
#include "documents/rich_text.h"
#include "documents/template_design.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextDocument>

using namespace torvika;

namespace {

ReportTemplate twoBands() {
    ReportTemplate t;
    t.name = QStringLiteral("Образец");
    t.headerHeight = 100;
    t.detailHeight = 20;
    t.addElement(ElementKind::DataField, ReportBand::Header, {50, 20});
    return t;
}

} // namespace

class TemplateDesignTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    QString dir() { return fx_->session().programDir.documentationsDir(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        QDir().mkpath(dir());
    }
    void cleanup() { fx_.reset(); }

    // Where an element ends when it is dragged or sized to the box: inside
    // the page's frame across, inside its band down.
    void keptInside_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QRect>("asked");
        QTest::addColumn<QRect>("kept");
        const int page = int(kContentWidth);
        QTest::newRow("inside") << int(ReportBand::Header) << QRect(10, 30, 50, 20) << QRect(10, 30, 50, 20);
        QTest::newRow("left of the page")
            << int(ReportBand::Header) << QRect(-40, 5, 50, 20) << QRect(0, 5, 50, 20);
        QTest::newRow("right of the page")
            << int(ReportBand::Header) << QRect(page - 10, 5, 50, 20) << QRect(page - 50, 5, 50, 20);
        QTest::newRow("above the band")
            << int(ReportBand::Header) << QRect(5, -30, 50, 20) << QRect(5, 0, 50, 20);
        QTest::newRow("below the band")
            << int(ReportBand::Header) << QRect(5, 95, 50, 20) << QRect(5, 80, 50, 20);
        QTest::newRow("far below") << int(ReportBand::Detail) << QRect(5, 5000, 50, 20)
                                   << QRect(5, 0, 50, 20);
        QTest::newRow("taller than its band")
            << int(ReportBand::Detail) << QRect(5, 3, 50, 40) << QRect(5, 0, 50, 40);
        QTest::newRow("wider than the page")
            << int(ReportBand::Header) << QRect(30, 0, 5000, 20) << QRect(0, 0, page, 20);
        QTest::newRow("sized to nothing")
            << int(ReportBand::Header) << QRect(30, 0, -8, 0) << QRect(30, 0, 1, 1);
        QTest::newRow("band of no height")
            << int(ReportBand::Footer) << QRect(30, 12, 50, 20) << QRect(30, 0, 50, 20);
    }
    void keptInside() {
        QFETCH(int, band);
        QFETCH(QRect, asked);
        QFETCH(QRect, kept);
        ReportTemplate t = twoBands();
        placeElement(t, 0, ReportBand(band), asked);
        QCOMPARE(t.elements[0].geometry, kept);
        QCOMPARE(int(t.elements[0].band), band);
        QCOMPARE(t.elements[0].name, "QRDBText1");
    }

    // Removing an element renumbers the list; a new one never takes a name
    // still in use.
    void removeAndName() {
        ReportTemplate t = twoBands();
        t.addElement(ElementKind::Label, ReportBand::Detail);
        t.addElement(ElementKind::SystemData, ReportBand::Detail);
        t.removeElement(0);
        QCOMPARE(t.elements.size(), 2);
        QCOMPARE(t.elements[0].name, "QRLabel2");
        QCOMPARE(t.addElement(ElementKind::SystemData, ReportBand::Footer), 2);
        QCOMPARE(t.elements[2].name, "QRSysData4");
        t.removeElement(7); // none such: nothing happens
        QCOMPARE(t.elements.size(), 3);
    }

    // Saving: under its own name the kind's row is updated (its number
    // stays), under a new name a new kind is registered and the kind opened
    // keeps its row and files; a name of another kind, or of files without
    // a kind, is one the designer must ask about.
    void saveUnderKind() {
        execSql(db(), "INSERT INTO Dokumenti (ID_Dokument, Opisanie, Kade_se_izpolzva, N_Dok, N_Copies) "
                      "VALUES (901, 'Протокол', 'МАГАЗИН , ,', '0042', 0)");
        ReportTemplate t = twoBands();
        t.name = QStringLiteral("Протокол");
        QVERIFY(!replacesOtherKind(db(), dir(), "Протокол", "Протокол"));
        QVERIFY(!replacesOtherKind(db(), dir(), "протокол", "Протокол"));
        QVERIFY(replacesOtherKind(db(), dir(), "Протокол", "Опис"));
        QVERIFY(replacesOtherKind(db(), dir(), "Протокол", QString()));
        QVERIFY(!replacesOtherKind(db(), dir(), "Опис", "Протокол"));
        saveTemplate(db(), dir(), t, {true, true, false}, "0001");
        QCOMPARE(
            readRows(db(), "SELECT N_Dok, Kade_se_izpolzva FROM Dokumenti WHERE Opisanie = 'Протокол'").rows,
            (QList<QVariantList>{{"0042", "МАГАЗИН ,СЕРВИЗ ,"}}));

        t.name = QStringLiteral("Опис");
        t.elements[0].geometry.moveLeft(200);
        saveTemplate(db(), dir(), t, {true, false, false}, "007");
        QCOMPARE(scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Опис'").toString(), "007");
        QCOMPARE(
            scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti WHERE Opisanie IN ('Опис', 'Протокол')").toInt(),
            2);
        QCOMPARE(LOAD_SELECTED_FILE_PRINT(dir(), "Протокол").elements[0].geometry.left(), 0);
        QCOMPARE(LOAD_SELECTED_FILE_PRINT(dir(), "Опис").elements[0].geometry.left(), 200);

        // Files left without a kind are still another template's.
        QFile orphan(templatePath(dir(), "Стар", ".psc"));
        QVERIFY(orphan.open(QIODevice::WriteOnly));
        orphan.close();
        QVERIFY(replacesOtherKind(db(), dir(), "стар", QString()));
    }

    // A name that cannot be a file name is refused before anything is written.
    void badName() {
        ReportTemplate t = twoBands();
        for (const char* name : {"Фактура/копие", "..", "a:b", "  "}) {
            t.name = QString::fromUtf8(name);
            QVERIFY_THROWS_EXCEPTION(EDocumentError, saveTemplate(db(), dir(), t, {}, "1"));
        }
        QCOMPARE(QDir(dir()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti WHERE Opisanie LIKE '%копие%'").toInt(), 0);
    }

    // The fields offered: the document tables first, with the columns the
    // catalogue gives; the template's fields the database lacks, named once.
    void fieldsFromCatalogue() {
        QStringList missing;
        const QList<FieldTable> tables = fieldTables(db(), &missing);
        QCOMPARE(missing, QStringList{});
        QVERIFY(tables.size() > 20);
        QCOMPARE(tables[0].dataSet, "Prodajbi_Vremenni.DB");
        QCOMPARE(tables[2].dataSet, "Produkti.DB");
        QVERIFY(tables[2].columns.contains("Opisanie", Qt::CaseInsensitive));
        QVERIFY(std::any_of(tables.begin(), tables.end(), [](const FieldTable& t) {
            return t.dataSet.compare("Printed_Dok.DB", Qt::CaseInsensitive) == 0;
        }));
        QVERIFY(std::none_of(tables.begin(), tables.end(),
                             [](const FieldTable& t) { return t.dataSet.startsWith("sqlite_"); }));

        ReportTemplate t = twoBands();
        auto field = [&t](const char* table, const char* column) {
            const int i = t.addElement(ElementKind::DataField, ReportBand::Detail);
            t.elements[i].dataSet = QString::fromLatin1(table);
            t.elements[i].dataField = QString::fromLatin1(column);
        };
        field("Produkti.DB", "Opisanie");
        field("Stari_Klienti.db", "Ime");
        field("Stari_Klienti.db", "Grad");
        field("Firmi.db", "Faks");
        field("Bad Name;--.db", "x");
        QCOMPARE(missingFields(db(), t), (QStringList{texts::kUnknownTable.arg("Stari_Klienti.db", t.name),
                                                      texts::kUnknownColumn.arg("Firmi.db", "Faks", t.name),
                                                      texts::kUnknownTable.arg("Bad Name;--.db", t.name)}));
    }

    // An outside band text: RTF taken as it is, plain text (UTF-8 or
    // Windows-1251) made RTF; a file that is not there is an error.
    void bandTextFromOutside() {
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello\\par}";
        QCOMPARE(bandTextFromFile(fx_->writeFile("a.rtf", rtf)), rtf);
        const QByteArray cp1251 = "\xcf\xf0\xee\xf2\xee\xea\xee\xeb"; // "Протокол"
        for (const QByteArray& bytes : {cp1251, QByteArray("Протокол")}) {
            const QByteArray made = bandTextFromFile(fx_->writeFile("a.txt", bytes));
            QVERIFY(made.startsWith("{\\rtf"));
            QTextDocument doc;
            readRtf(made, doc);
            QCOMPARE(doc.toPlainText(), "Протокол");
        }
        QVERIFY_THROWS_EXCEPTION(EDocumentError, bandTextFromFile(fx_->root() + "none.rtf"));
    }

    // A picture is copied into the templates' directory: the same picture
    // again keeps its copy, another of the same name gets its own.
    void pictureImported() {
        QImage red(8, 4, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(fx_->root() + "logo.png"));
        QCOMPARE(importPicture(dir(), fx_->root() + "logo.png"), "logo.png");
        QCOMPARE(importPicture(dir(), fx_->root() + "logo.png"), "logo.png");
        QCOMPARE(QImage(QDir(dir()).filePath("logo.png")).size(), QSize(8, 4));
        QImage blue(3, 3, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QDir().mkpath(fx_->root() + "other");
        QVERIFY(blue.save(fx_->root() + "other/logo.png"));
        QCOMPARE(importPicture(dir(), fx_->root() + "other/logo.png"), "logo (2).png");
        QCOMPARE(QImage(QDir(dir()).filePath("logo.png")).size(), QSize(8, 4));
        // Already in the directory: used where it is.
        QCOMPARE(importPicture(dir(), QDir(dir()).filePath("logo (2).png")), "logo (2).png");
        fx_->writeFile("notes.png", "not a picture");
        QVERIFY_THROWS_EXCEPTION(EDocumentError, importPicture(dir(), fx_->root() + "notes.png"));
    }
};

QTEST_MAIN(TemplateDesignTest)
#include "test_template_design.moc"
