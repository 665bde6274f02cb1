// Documents laid out and written to PDF files: the shipped invoice for 30
// sale lines, from loading its template and reading its rows to the file
// written; and a report of about 50 pages (the invoice's layout with 2,460 rows)
// laid out and written.

#include "common/sql.h"
#include "common/vat.h"
#include "documents/print_run.h"
#include "documents/template_files.h"
#include "support/company_database.h"

#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace torvika;

namespace {

const QString kTemplates = QStringLiteral(TORVIKA_SOURCE_DIR "/documentations");

PrintRequest invoiceRequest(const QList<qint64>& lines) {
    PrintRequest r;
    r.lines = lines;
    r.counterparty = 5;
    r.operatorName = QStringLiteral("Администратор");
    r.amounts = [](const QSqlDatabase&, const QList<qint64>& lines) {
        QList<VatLine> amounts;
        for (qint64 line : lines)
            amounts << VatLine{line, Decimal(20), Decimal(48)};
        return splitVatByRate(amounts);
    };
    r.companyFields = companyFields("Алфа ЕООД", "201234567", "Иван Иванов", "гр. Пловдив", "032 123456",
                                    "BG80BNBG96611020345678", "BNBGBGSF", "БНБ", "20");
    r.templateDir = kTemplates;
    r.now = QDateTime(QDate(2024, 5, 17), QTime(10, 30));
    return r;
}

void BM_Invoice30LinesToPdf(benchmark::State& state) {
    bench::CompanyDatabase company;
    const QSqlDatabase db = company.db();
    execSql(db, "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                "(5, 'Бета Трейд ООД', 'ул. Витоша 12', '123456789', 'BG123456789', 0, 0)");
    company.insertRows(
        "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, Operator, "
        "T_O, SUM_BezDDS, Bez_DDS) VALUES (?, ?, 2, 'бр.', 24, 'Лева', 'Администратор', 0, 40, 20)",
        30, [](qsizetype i) {
            return QVariantList{100 + i, QStringLiteral("Артикул %1 с име от няколко думи").arg(i)};
        });
    QList<qint64> lines;
    for (const QVariantList& r :
         readRows(db, "SELECT N_Prodajba FROM Prodajbi_Vremenni ORDER BY N_Prodajba").rows)
        lines << r[0].toLongLong();
    const PrintRequest request = invoiceRequest(lines);
    QTemporaryDir out;
    for (auto _ : state) {
        // The payment method asked at print time: the operator takes what is offered.
        const PreparedDocument doc = prepareDocument(
            db, request, QStringLiteral("Фактура"),
            [](const QString&, int, const QString& offered) { return std::optional<QString>(offered); });
        ReportValues values = doc.values;
        values.stamp = QStringLiteral("ОРИГИНАЛ");
        values.number = QStringLiteral("0000000001");
        const ReportLayout layout(doc.report, doc.data, values);
        QPdfWriter writer(out.filePath("invoice.pdf"));
        if (!layout.print(writer))
            state.SkipWithError("the PDF was not written");
    }
}
BENCHMARK(BM_Invoice30LinesToPdf)->Unit(benchmark::kMillisecond);

void BM_Report50PagesToPdf(benchmark::State& state) {
    QStringList warnings;
    const ReportTemplate report = LOAD_SELECTED_FILE_PRINT(kTemplates, QStringLiteral("Фактура"), &warnings);
    ReportData data;
    data.queried = true;
    const QStringList fields{"Barkod", "Opisanie", "Mqrka", "Kol", "Bez_DDS", "SUM_BezDDS"};
    for (const QString& f : fields)
        data.columns << QStringLiteral("prodajbi_vremenni.") + f.toLower();
    for (int i = 0; i < 2460; ++i)
        data.rows.append({100 + i, QStringLiteral("Артикул %1 с име от няколко думи").arg(i),
                          QStringLiteral("бр."), 2.0, 20.0, 40.0});
    ReportValues values;
    values.amounts = splitVatByRate({{0, Decimal(20), Decimal(92000)}});
    values.title = QStringLiteral("Фактура");
    values.printed = QDateTime(QDate(2024, 5, 17), QTime(10, 30));
    values.stamp = QStringLiteral("ОРИГИНАЛ");
    QTemporaryDir out;
    int pages = 0;
    for (auto _ : state) {
        const ReportLayout layout(report, data, values);
        pages = layout.pageCount();
        QPdfWriter writer(out.filePath("report.pdf"));
        if (!layout.print(writer))
            state.SkipWithError("the PDF was not written");
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Report50PagesToPdf)->Unit(benchmark::kMillisecond);

} // namespace
