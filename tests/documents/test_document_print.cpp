// Printing documents without a printer: the query of a template for the
// selected lines, the numbering into Printed_Dok, the stamp and copies of a
// run, and the save of a template into Dokumenti.

#include "common/sql.h"
#include "documents/print_run.h"
#include "documents/template_files.h"
#include "documents/texts.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace torvika;

namespace {

ReportElement field(const QString& dataSet, const QString& column, ReportBand band = ReportBand::Detail) {
    ReportElement e;
    e.kind = ElementKind::DataField;
    e.name = column;
    e.band = band;
    e.dataSet = dataSet;
    e.dataField = column;
    return e;
}

ReportElement label(int code, ReportBand band = ReportBand::Footer) {
    ReportElement e;
    e.kind = ElementKind::Label;
    e.name = QStringLiteral("L%1").arg(code);
    e.band = band;
    e.code = code;
    e.caption = labelKindItem(code);
    return e;
}

ReportTemplate templateOf(const QString& name, const QList<ReportElement>& elements) {
    ReportTemplate t;
    t.name = name;
    t.headerHeight = 40;
    t.detailHeight = 20;
    t.footerHeight = 40;
    t.stampEnabled = true;
    t.elements = elements;
    return t;
}

// The amounts of the lines as the shop computes them: quantity times price,
// at the default rate of the line's tax group.
DocumentAmounts lineAmounts(const QSqlDatabase& db, const QList<qint64>& lines) {
    QList<VatLine> amounts;
    for (qint64 line : lines)
        for (const QVariantList& r :
             readRows(db, "SELECT Kol * Ed_Cena, Dan_Grup FROM Prodajbi_Vremenni WHERE N_Prodajba = ?",
                      {line})
                 .rows)
            amounts << VatLine{line, VatRates::defaults().of(r[1].toInt()),
                               Decimal::fromVariant(r[0]).value_or(Decimal()).rounded(2)};
    return splitVatByRate(amounts);
}

bool done(PrintOutcome outcome) {
    return outcome == PrintOutcome::Printed;
}

// What a print of a layout drew: its stamp per copy and its text.
struct Drawn {
    QStringList stamps;
    QString text;
    int copies = 0;
};

} // namespace

class DocumentPrintTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }
    QString dir() { return fx_->session().programDir.documentationsDir(); }

    QList<qint64> lines_;

    qint64 addLine(qint64 article, const QString& name, const QString& op = QStringLiteral("Иван")) {
        return insertReturningKey(
            db(),
            "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, T_O, "
            "SUM_BezDDS, Bez_DDS) VALUES (?, ?, 2, 'бр.', 12, 'Лева', ?, 0, 20, 10)",
            {article, name, op}, "N_Prodajba");
    }

    PrintRequest request(const QList<qint64>& lines) {
        PrintRequest r;
        r.lines = lines;
        r.counterparty = 5;
        r.operatorName = QStringLiteral("Иван");
        r.amounts = lineAmounts;
        r.companyFields = companyFields("Алфа ЕООД", "201234567", "", "", "", "", "", "", "20");
        r.templateDir = dir();
        r.now = QDateTime(QDate(2024, 5, 17), QTime(10, 30, 5));
        return r;
    }

    // Saves the template with the stamp switched on by hand, as no save
    // writes it, and the kind's number.
    void save(const ReportTemplate& t, const QString& number = QStringLiteral("0")) {
        saveTemplate(db(), dir(), t, {}, number);
        QFile psc(templatePath(dir(), t.name, ".psc"));
        QVERIFY(psc.open(QIODevice::Append));
        psc.write("[Original]\r\nVis=1\r\n");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = ? WHERE Opisanie = ?", {number, t.name});
    }

    PreparedDocument prepare(const QString& kind, const QList<qint64>& lines,
                             const LabelPrompt& prompt = {}) {
        return prepareDocument(db(), request(lines), kind, prompt);
    }

    QString number(const QString& kind) {
        return scalarSql(db(), "SELECT N_Dok FROM Dokumenti WHERE Opisanie = ?", {kind}).toString();
    }
    int registered() { return scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok").toInt(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        QDir().mkpath(dir());
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                      "(5, 'Бета ООД', '123456789', 'BG123456789', 7, 0), (6, 'Гама ООД', '1', '1', 0, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "INSERT INTO Operators (Ime, Par, Prava) VALUES ('Иван', '1', '')");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa) VALUES (10, 'Чай от каталога', 1), "
                      "(11, 'Кафе от каталога', 1)");
        lines_ = {addLine(10, "Чай на реда"), addLine(11, "Кафе на реда"), addLine(10, "Чай втори ред")};
    }
    void cleanup() { fx_.reset(); }

    // The lines of a document are the selected ones, in the order they were
    // selected, each column printing its own table's value.
    void selectedLinesInTheirOrder() {
        save(templateOf("Опис", {field("Prodajbi_vremenni.DB", "Opisanie"), field("Produkti.DB", "Opisanie"),
                                 field("Firmi.db", "Ime_Firma", ReportBand::Header),
                                 field("Klienti.db", "Ime_Klient", ReportBand::Header),
                                 field("Operators.db", "Ime", ReportBand::Footer)}));
        const PreparedDocument doc = prepare("Опис", {lines_[2], lines_[1]});
        QCOMPARE(doc.data.rows.size(), 2);
        const int line = doc.data.columnOf(doc.report.elements[0]);
        const int article = doc.data.columnOf(doc.report.elements[1]);
        QCOMPARE(doc.data.rows[0][line].toString(), "Чай втори ред");
        QCOMPARE(doc.data.rows[0][article].toString(), "Чай от каталога");
        QCOMPARE(doc.data.rows[1][line].toString(), "Кафе на реда");
        QCOMPARE(doc.data.rows[1][article].toString(), "Кафе от каталога");
        QCOMPARE(doc.data.rows[0][doc.data.columnOf(doc.report.elements[2])].toString(), "Бета ООД");
        QCOMPARE(doc.data.rows[0][doc.data.columnOf(doc.report.elements[3])].toString(), "Петър Петров");
        QCOMPARE(doc.data.rows[0][doc.data.columnOf(doc.report.elements[4])].toString(), "Иван");
    }

    // A counterparty whose person was deleted and a line whose article was
    // deleted still print every line, with those fields empty.
    void missingJoinedRowsKeepTheLines() {
        save(templateOf("Опис", {field("Prodajbi_vremenni.DB", "Opisanie"), field("Produkti.DB", "Opisanie"),
                                 field("Firmi.db", "Ime_Firma", ReportBand::Header),
                                 field("Klienti.db", "Ime_Klient", ReportBand::Header)}));
        execSql(db(), "DELETE FROM Produkti WHERE ID = 11");
        execSql(db(), "UPDATE Firmi SET ID_Mol = 99 WHERE ID = 6");
        PrintRequest r = request({lines_[0], lines_[1]});
        r.counterparty = 6;
        const PreparedDocument doc = prepareDocument(db(), r, "Опис", {});
        QCOMPARE(doc.data.rows.size(), 2);
        const int article = doc.data.columnOf(doc.report.elements[1]);
        QCOMPARE(doc.data.rows[0][article].toString(), "Чай от каталога");
        QVERIFY(doc.data.rows[1][article].toString().isEmpty());
        QCOMPARE(doc.data.rows[1][doc.data.columnOf(doc.report.elements[0])].toString(), "Кафе на реда");
        QCOMPARE(doc.data.rows[0][doc.data.columnOf(doc.report.elements[2])].toString(), "Гама ООД");
        QVERIFY(doc.data.rows[0][doc.data.columnOf(doc.report.elements[3])].toString().isEmpty());
    }

    // The template's tables and columns are checked before a statement is
    // built; values never become SQL text.
    void templatesCannotInjectSql_data() {
        QTest::addColumn<QString>("dataSet");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown table") << "Nqma.DB"
                                       << "ID" << texts::kUnknownTable.arg("Nqma", "Лош");
        QTest::newRow("unknown column") << "Produkti.DB"
                                        << "Nqma" << texts::kUnknownColumn.arg("Produkti", "Nqma", "Лош");
        QTest::newRow("statement in a column")
            << "Produkti.DB"
            << "ID FROM Produkti; DROP TABLE Produkti; --"
            << texts::kUnknownColumn.arg("Produkti", "ID FROM Produkti; DROP TABLE Produkti; --", "Лош");
        QTest::newRow("statement in a table")
            << "Produkti; DROP TABLE Firmi"
            << "ID" << texts::kUnknownTable.arg("Produkti; DROP TABLE Firmi", "Лош");
    }
    void templatesCannotInjectSql() {
        QFETCH(QString, dataSet);
        QFETCH(QString, column);
        QFETCH(QString, message);
        save(templateOf("Лош", {field(dataSet, column)}));
        try {
            prepare("Лош", {lines_[0]});
            QFAIL("printed");
        } catch (const EDocumentError& e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(!tableColumns(db(), "Produkti").isEmpty());
        QVERIFY(!tableColumns(db(), "Firmi").isEmpty());
        // A counterparty or operator name is a value, whatever it holds.
        save(templateOf("Оператор", {field("Operators.db", "Ime")}));
        PrintRequest r = request({lines_[0]});
        r.operatorName = QStringLiteral("Иван' OR '1'='1");
        QVERIFY(prepareDocument(db(), r, "Оператор", {}).empty());
    }

    // A table that no condition narrows would repeat the rows: refused at
    // print when it does, warned of at save.
    void unjoinedTables() {
        ReportTemplate t =
            templateOf("Групи", {field("Prodajbi_vremenni.DB", "Opisanie"), field("Grupi.db", "Opisanie")});
        const TemplateSaveResult saved = saveTemplate(db(), dir(), t, {}, "0");
        QCOMPARE(saved.unjoinedTables, QStringList{"Grupi.db"});
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки')");
        QCOMPARE(prepare("Групи", lines_).data.rows.size(), 3); // one row: nothing repeats
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (2, 'Храни')");
        try {
            prepare("Групи", lines_);
            QFAIL("printed");
        } catch (const EDocumentError& e) {
            QCOMPARE(e.message(), texts::kRepeatingTable.arg("Grupi", "Групи"));
        }
    }

    // Nothing to print is said, never printed as nothing; a template of
    // labels only is one page.
    void emptyAndLabelOnlyDocuments() {
        save(templateOf("Празен", {field("Prodajbi_vremenni.DB", "Opisanie")}));
        QVERIFY(prepare("Празен", {999}).empty());
        save(templateOf("Етикети", {label(kLabelTotal), label(kLabelTotalWords)}));
        const PreparedDocument doc = prepare("Етикети", {lines_[0]});
        QVERIFY(!doc.empty());
        const ReportLayout layout(doc.report, doc.data, doc.values);
        QCOMPARE(layout.pageCount(), 1);
        QCOMPARE(layout.elementText(0, 0), "24.00");
        QCOMPARE(layout.elementText(1, 0), Sum_To_Words(Decimal(24)));
    }

    // Labels typed at print time: a free text, a number in words, a number
    // that is none, a prompt given up.
    void typedLabels() {
        ReportElement text = label(kLabelFreeText);
        text.caption = QStringLiteral("4:Забележка");
        save(templateOf("Текстове", {text, label(kLabelNumberWords)}));
        QStringList asked;
        auto answer = [&asked](QStringList answers) {
            return [&asked, answers](const QString&, int kind,
                                     const QString& caption) mutable -> std::optional<QString> {
                asked << QString::number(kind) + u'|' + caption;
                if (answers.isEmpty())
                    return std::nullopt;
                return answers.takeFirst();
            };
        };
        PreparedDocument doc = prepare("Текстове", {lines_[0]}, answer({"Платено", "12,5"}));
        QCOMPARE(asked, (QStringList{"4|4:Забележка", "5|Въведете число за изписване с думи"}));
        QCOMPARE(doc.values.typedLabels.value(0), "Платено");
        QCOMPARE(doc.values.typedLabels.value(1), Sum_To_Words(Decimal("12.5")));
        try {
            prepare("Текстове", {lines_[0]}, answer({"Платено", "дванадесет"}));
            QFAIL("printed");
        } catch (const EDocumentError& e) {
            QCOMPARE(e.message(), texts::kTypedNotANumber.arg("дванадесет", "Текстове"));
        }
        try {
            prepare("Текстове", {lines_[0]}, answer({}));
            QFAIL("printed");
        } catch (const EDocumentError& e) {
            QVERIFY(e.message().isEmpty());
        }
    }

    // The first completed print of a kind in a run takes the number and the
    // stamp "ОРИГИНАЛ"; every later one is "КОПИЕ" with the same number.
    void numberingAndStamps_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("rows");
        QTest::newRow("numbered") << "000125"
                                  << "000125"
                                  << "000126" << 2;
        QTest::newRow("outgrows its width") << "999"
                                            << "999"
                                            << "1000" << 2;
        QTest::newRow("unnumbered") << "0"
                                    << "0"
                                    << "0" << 0;
        QTest::newRow("zeros advance") << "0000"
                                       << "0000"
                                       << "0001" << 0;
    }
    void numberingAndStamps() {
        QFETCH(QString, stored);
        QFETCH(QString, printed);
        QFETCH(QString, next);
        QFETCH(int, rows);
        save(templateOf("Фактура",
                        {field("Prodajbi_vremenni.DB", "Opisanie"), field("Dokumenti.DB", "N_Dok")}),
             stored);
        const QList<qint64> selected{lines_[0], lines_[1]};
        const PreparedDocument doc = prepare("Фактура", selected);
        DocumentPrintState state;
        state.beginRun(PrintContext::Shop, selected);
        QStringList drawn;
        auto draw = [&](const ReportLayout& layout, int) {
            drawn << layout.plainText().section(u'\n', 0, 0) + u' ' + layout.elementText(1, 0);
            return true;
        };
        QVERIFY(done(printDocument(db(), state, doc, request(selected), draw)));
        QVERIFY(done(printDocument(db(), state, doc, request(selected), draw)));
        QCOMPARE(drawn, (QStringList{"ОРИГИНАЛ " + printed, "КОПИЕ " + printed}));
        QCOMPARE(number("Фактура"), next);
        const SqlRows reg =
            readRows(db(), "SELECT ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, Data, fTime, "
                           "Ot_Kade_Prod FROM Printed_Dok ORDER BY ID_Prod");
        QCOMPARE(reg.rows.size(), rows);
        if (rows > 0) {
            const qint64 kind = findDocumentKind(db(), "Фактура")->id;
            QCOMPARE(reg.rows[0],
                     (QVariantList{lines_[0], kind, 5, 10, printed, "Иван", "2024-05-17", "10:30:05", 1}));
            QCOMPARE(reg.rows[1][0].toLongLong(), lines_[1]);
            QCOMPARE(reg.rows[1][3].toInt(), 11);
        }
        // A new run starts from "ОРИГИНАЛ" and the next number.
        state.beginRun(PrintContext::Shop, selected);
        drawn.clear();
        QVERIFY(done(printDocument(db(), state, doc, request(selected), draw)));
        QCOMPARE(drawn, QStringList{"ОРИГИНАЛ " + next});
    }

    // A print that did not happen registers nothing and keeps the number;
    // a kind printed later in the run still takes it.
    void failedPrintRegistersNothing() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        const PreparedDocument doc = prepare("Фактура", {lines_[0]});
        DocumentPrintState state;
        state.beginRun(PrintContext::Shop, {lines_[0]});
        QCOMPARE(printDocument(db(), state, doc, request({lines_[0]}),
                               [](const ReportLayout&, int) { return false; }),
                 PrintOutcome::NotDrawn);
        QCOMPARE(number("Фактура"), "000125");
        QCOMPARE(registered(), 0);
        QCOMPARE(state.stamp("Фактура"), texts::kStampOriginal);
        QVERIFY(done(printDocument(db(), state, doc, request({lines_[0]}),
                                   [](const ReportLayout&, int) { return true; })));
        QCOMPARE(number("Фактура"), "000126");
        QCOMPARE(registered(), 1);
    }

    // N_Copies 3: three copies of every page with one stamp; a PDF holds them.
    void copies() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        execSql(db(), "UPDATE Dokumenti SET N_Copies = 3 WHERE Opisanie = 'Фактура'");
        const PreparedDocument doc = prepare("Фактура", {lines_[0]});
        QCOMPARE(doc.copies, 3);
        DocumentPrintState state;
        const QString pdf = fx_->root() + "copies.pdf";
        QVERIFY(done(printDocument(db(), state, doc, request({lines_[0]}),
                                   [&](const ReportLayout& layout, int copies) {
                                       QPdfWriter writer(pdf);
                                       return layout.print(writer, copies);
                                   })));
        QCOMPARE(registered(), 1);
        const QString bytes = QString::fromLatin1(test::Fixture::readFile(pdf));
        QCOMPARE(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 3);
    }

    // A number taken stays the taking workstation's until it commits, and
    // the next one continues after it.
    void numberTakenUnderTheLock() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        const QSqlDatabase other = fx_->openReadOnly("reader");
        Transaction tx(db());
        IssueRequest issue{
            "Фактура", PrintContext::Shop, {lines_[0]}, 5, QDateTime(QDate(2024, 5, 17), QTime(9, 0))};
        QCOMPARE(INC_NUMBER_PRINTED_DOK(db(), issue).number, "000125");
        // Until it commits, another workstation sees the number untaken.
        QCOMPARE(scalarSql(other, "SELECT N_Dok FROM Dokumenti WHERE Opisanie = 'Фактура'").toString(),
                 "000125");
        tx.commit();
        QCOMPARE(INC_NUMBER_PRINTED_DOK(db(), issue).number, "000126");
        QCOMPARE(number("Фактура"), "000127");
    }

    // What is printed is what is numbered and registered: the lines and
    // their amounts as they are when the number is taken, not as they were
    // when the document was prepared (before its file was chosen).
    void printedRowsAreRegisteredRows() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie"),
                                    field("Prodajbi_vremenni.DB", "Kol"), label(kLabelTotal)}),
             "000125");
        const QList<qint64> selected{lines_[0], lines_[1]};
        const PreparedDocument doc = prepare("Фактура", selected);
        QCOMPARE(doc.data.rows.size(), 2);
        {
            QSqlDatabase other = fx_->openWorkstation("other");
            execSql(other, "DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?", {lines_[1]});
            execSql(other, "UPDATE Prodajbi_Vremenni SET Kol = 5 WHERE N_Prodajba = ?", {lines_[0]});
        }
        QSqlDatabase::removeDatabase("other");
        DocumentPrintState state;
        QString drawn;
        QVERIFY(done(printDocument(db(), state, doc, request(selected), [&](const ReportLayout& layout, int) {
            drawn = layout.plainText();
            return true;
        })));
        QVERIFY2(drawn.contains("Чай на реда\n5.00"), qPrintable(drawn));
        QVERIFY(!drawn.contains("Кафе на реда"));
        QVERIFY(drawn.contains("60.00"));
        const SqlRows reg = readRows(db(), "SELECT ID_Prod, N_Dok FROM Printed_Dok");
        QCOMPARE(reg.rows, (QList<QVariantList>{{lines_[0], "000125"}}));
    }

    // A line cancelled on another workstation while its document prints
    // waits for the print: the cancel then removes the line's registration
    // with the line, and no registration of a line that is gone remains.
    void cancelWhilePrinting() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        const QList<qint64> selected{lines_[0], lines_[1]};
        const PreparedDocument doc = prepare("Фактура", selected);
        DocumentPrintState state;
        std::atomic<bool> cancelled = false;
        bool cancelledDuringPrint = true;
        std::unique_ptr<QThread> canceller(QThread::create([&] {
            {
                QSqlDatabase conn = fx_->openWorkstation("canceller");
                execScriptStatement(conn, "BEGIN");
                execSql(conn, "DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?", {lines_[1]});
                execSql(conn, "DELETE FROM Printed_Dok WHERE ID_Prod = ?", {lines_[1]});
                execScriptStatement(conn, "COMMIT");
                cancelled = true;
            }
            QSqlDatabase::removeDatabase("canceller");
        }));
        QVERIFY(done(printDocument(db(), state, doc, request(selected), [&](const ReportLayout&, int) {
            canceller->start();
            canceller->wait(1500);
            cancelledDuringPrint = cancelled;
            return true;
        })));
        QVERIFY(canceller->wait(60000));
        QVERIFY(cancelled);
        QVERIFY(!cancelledDuringPrint);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Printed_Dok WHERE ID_Prod NOT IN "
                                 "(SELECT N_Prodajba FROM Prodajbi_Vremenni)")
                     .toInt(),
                 0);
        QCOMPARE(scalarSql(db(), "SELECT ID_Prod FROM Printed_Dok").toLongLong(), lines_[0]);
    }

    // A rename whose commit fails leaves the kind and its whole template
    // under the old name, and nothing under the new one.
    void renameKeepsTheTemplateWhole() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        const qint64 id = findDocumentKind(db(), "Фактура")->id;
        // A row that names the kind, checked only at the commit.
        execScriptStatement(db(), "CREATE UNIQUE INDEX IX_Dokumenti_Name ON Dokumenti (Opisanie)");
        execScriptStatement(db(), "CREATE TABLE Guard (Name VARCHAR(150) REFERENCES Dokumenti (Opisanie) "
                                  "DEFERRABLE INITIALLY DEFERRED)");
        if (isSqlite(db()))
            execScriptStatement(db(), "PRAGMA foreign_keys = ON");
        execSql(db(), "INSERT INTO Guard (Name) VALUES ('Фактура')");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, renameDocumentKind(db(), dir(), id, "Данъчна фактура"));
        QCOMPARE(findDocumentKind(db(), "Фактура")->id, id);
        for (const char* ext : {".psc", ".hdr", ".ftr"}) {
            QVERIFY(QFile::exists(templatePath(dir(), "Фактура", ext)));
            QVERIFY(!QFile::exists(templatePath(dir(), "Данъчна фактура", ext)));
        }
        if (isSqlite(db()))
            execScriptStatement(db(), "PRAGMA foreign_keys = OFF");
    }

    // A save updates the kind's row and keeps its running number; the name
    // must be a file name.
    void saveKeepsTheRow() {
        const ReportTemplate t = templateOf("Протокол", {label(kLabelTotal)});
        DocumentPlaces places;
        places.service = true;
        QVERIFY(saveTemplate(db(), dir(), t, places, "0001").registered);
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '0042' WHERE Opisanie = 'Протокол'");
        places.shop = false;
        QVERIFY(!saveTemplate(db(), dir(), t, places, "0001").registered);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Dokumenti WHERE Opisanie = 'Протокол'").toInt(), 1);
        QCOMPARE(number("Протокол"), "0042");
        QCOMPARE(findDocumentKind(db(), "Протокол")->places, " ,СЕРВИЗ ,");
        QCOMPARE(documentKindsFor(db(), PrintContext::Service), QStringList{"Протокол"});
        for (const char* bad : {"a/b", "..\\x", "x:y", "a*", "что?", "\"q\"", "<a>", "a|b", ""}) {
            ReportTemplate b = t;
            b.name = QString::fromUtf8(bad);
            QVERIFY_THROWS_EXCEPTION(EDocumentError, saveTemplate(db(), dir(), b, {}, "0"));
        }
    }

    // The kinds of the register: numbers of digits, copies from 0, a kind
    // in use kept, a renamed kind taking its template along.
    void kindRegister() {
        save(templateOf("Фактура", {field("Prodajbi_vremenni.DB", "Opisanie")}), "000125");
        const qint64 id = findDocumentKind(db(), "Фактура")->id;
        QVERIFY_THROWS_EXCEPTION(EDocumentError, setDocumentNumber(db(), id, "12a"));
        QVERIFY_THROWS_EXCEPTION(EDocumentError, setDocumentCopies(db(), id, -1));
        setDocumentNumber(db(), id, "0007");
        setDocumentCopies(db(), id, 2);
        QCOMPARE(number("Фактура"), "0007");
        renameDocumentKind(db(), dir(), id, "Данъчна фактура");
        QVERIFY(QFile::exists(templatePath(dir(), "Данъчна фактура", ".psc")));
        QVERIFY(!QFile::exists(templatePath(dir(), "Фактура", ".psc")));
        QVERIFY_THROWS_EXCEPTION(EDocumentError, renameDocumentKind(db(), dir(), id, "Стокова разписка"));
        const qint64 added = addDocumentKind(db(), "Нов");
        QVERIFY(added > id);
        DocumentPrintState state;
        const PreparedDocument doc = prepare("Данъчна фактура", {lines_[0]});
        QVERIFY(done(printDocument(db(), state, doc, request({lines_[0]}),
                                   [](const ReportLayout&, int) { return true; })));
        QVERIFY_THROWS_EXCEPTION(EDocumentError, deleteDocumentKind(db(), id));
        deleteDocumentKind(db(), added);
        QVERIFY(!findDocumentKind(db(), "Нов"));

        const qint64 work = addWorkKind(db(), "Протокол за брак");
        QCOMPARE(work, 5); // after the four shipped ones
        execSql(db(), "INSERT INTO Dostavki (ID, Vid_Dokument) VALUES (1, 1)");
        QVERIFY_THROWS_EXCEPTION(EDocumentError, deleteWorkKind(db(), 1));
        deleteWorkKind(db(), work);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(*) FROM Rab_Dokumenti").toInt(), 4);
    }
};

QTEST_MAIN(DocumentPrintTest)
#include "test_document_print.moc"
