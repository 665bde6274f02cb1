#include "counterparties/counterparty_exchange.h"

#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "common/texts.h"
#include "counterparties/texts.h"

namespace torvika {

namespace {

// A field of the file and the column it fills.
struct FileColumn {
    int field;
    const char* column;
    int width; // 0 for the number column T_O
};
constexpr FileColumn kFirmColumns[] = {
    {1, "EIK", 20},          {2, "Dan_N", 20},    {3, "Ime_Firma", 150}, {4, "Grad", 100},
    {5, "Adres_Firma", 255}, {6, "Telefon", 100}, {7, "Banka_Ime", 100}, {8, "Banka_Kod", 20},
    {9, "Banka_Smetka", 50}, {10, "T_O", 0},      {17, "Zabel", 2000},
};
constexpr FileColumn kPersonColumns[] = {
    {11, "Ime_Klient", 150},     {12, "Grad", 100}, {13, "Adres_Klient", 255},
    {14, "Telefon_Klient", 100}, {15, "EGN", 20},
};

// The values of a line for a table's columns; absent fields are missing
// from it.
struct LineValues {
    QStringList columns;
    QVariantList values;
};

template <size_t N> LineValues readColumns(ImportFields& f, const FileColumn (&columns)[N]) {
    LineValues out;
    for (const FileColumn& c : columns) {
        QVariant value;
        if (c.width == 0) {
            if (const std::optional<Decimal> d = f.number(c.field))
                value = numberColumnValue(*d);
        } else if (const std::optional<QString> t = f.text(c.field, c.width)) {
            value = *t;
        }
        if (value.isValid()) {
            out.columns << QString::fromLatin1(c.column);
            out.values << value;
        }
    }
    return out;
}

// The values of every column for a new row: what the line holds, empty
// texts and a discount of 0 for the rest.
template <size_t N> QVariantList allColumns(const LineValues& line, const FileColumn (&columns)[N]) {
    QVariantList values;
    for (const FileColumn& c : columns) {
        const qsizetype i = line.columns.indexOf(QString::fromLatin1(c.column));
        values << (i >= 0 ? line.values[i] : c.width == 0 ? QVariant(0.0) : QVariant(QString()));
    }
    return values;
}

template <size_t N> QString columnList(const FileColumn (&columns)[N]) {
    QStringList names;
    for (const FileColumn& c : columns)
        names << QString::fromLatin1(c.column);
    return names.join(QStringLiteral(", "));
}

// A real EIK names one counterparty; an empty one or "0" names none.
QString realEik(const QString& eik) {
    const QString t = eik.trimmed();
    return t == QLatin1String("0") ? QString() : t;
}

struct StoredFirm {
    qint64 id;
    qint64 person; // ID_Mol; 0 or less when the firm has no person of its own
};

} // namespace

ImportReport importCounterparties(const QSqlDatabase& db, const QString& fileName, bool replace,
                                  Progress& progress) {
    NumberedFieldFile file(fileName);
    ImportReport report;
    PreparedStatements statements(db);
    runImport(db, report, [&] {
        lockTablesAgainstWriters(db, {QStringLiteral("Firmi"), QStringLiteral("Klienti")});
        qint64 nextFirm = nextKey(db, QStringLiteral("Firmi"), QStringLiteral("ID"));
        qint64 nextPerson = nextKey(db, QStringLiteral("Klienti"), QStringLiteral("ID"));
        QHash<QString, StoredFirm> byEik;
        QSqlQuery stored =
            execSql(db, QStringLiteral("SELECT ID, EIK, ID_Mol FROM Firmi WHERE ID <> 0 ORDER BY ID"));
        while (stored.next()) {
            const QString eik = realEik(stored.value(1).toString());
            if (!eik.isEmpty() && !byEik.contains(eik))
                byEik.insert(eik, {stored.value(0).toLongLong(),
                                   stored.value(2).isNull() ? -1 : stored.value(2).toLongLong()});
        }
        stored.finish();
        QHash<QString, qint64> lineOf; // the line each real EIK of the file stands on
        const QString insertFirm =
            QStringLiteral("INSERT INTO Firmi (ID, %1, ID_Mol, Nomer_Grupa) VALUES (?, %2, ?, 0)")
                .arg(columnList(kFirmColumns),
                     QStringList(qsizetype(std::size(kFirmColumns)), QStringLiteral("?")).join(u','));
        const QString insertPerson =
            QStringLiteral("INSERT INTO Klienti (ID, %1) VALUES (?, %2)")
                .arg(columnList(kPersonColumns),
                     QStringList(qsizetype(std::size(kPersonColumns)), QStringLiteral("?")).join(u','));
        // Writes the line's values over the row; false when there is no such row.
        auto update = [&](const QString& table, const LineValues& line, qint64 id) {
            QStringList set;
            for (const QString& c : line.columns)
                set << c + QStringLiteral(" = ?");
            return statements
                       .exec(QStringLiteral("UPDATE %1 SET %2 WHERE ID = ?")
                                 .arg(table, set.join(QStringLiteral(", "))),
                             QVariantList(line.values) << id)
                       .numRowsAffected() > 0;
        };
        return readNumberedFile(file, progress, [&](qint64 number, const NumberedFields& fields) {
            if (fields.isEmpty() && !fields.unterminated())
                return;
            if (const std::optional<QString> broken = unterminatedLine(fields)) {
                report.refuse(number, *broken);
                return;
            }
            ImportFields f(fields);
            const LineValues firm = readColumns(f, kFirmColumns);
            const LineValues person = readColumns(f, kPersonColumns);
            if (!f.ok()) {
                report.refuse(number, f.refusal());
                return;
            }
            const QString eikShown = fields.value(1);
            const QString nameShown = fields.value(3);
            const QString eik = realEik(eikShown);
            if (!eik.isEmpty()) {
                if (const auto earlier = lineOf.constFind(eik); earlier != lineOf.cend()) {
                    report.refuse(number, texts::kImportRepeatedInFile.arg(kImportCounterpartyKey.arg(eik),
                                                                           QString::number(*earlier)));
                    return;
                }
                lineOf.insert(eik, number);
            }
            const auto found = eik.isEmpty() ? byEik.cend() : byEik.constFind(eik);
            if (found == byEik.cend()) {
                const qint64 id = nextFirm++;
                const qint64 personId = nextPerson++;
                statements.exec(insertFirm, QVariantList{id} << allColumns(firm, kFirmColumns) << personId);
                statements.exec(insertPerson, QVariantList{personId} << allColumns(person, kPersonColumns));
                report.addNumbered(kImportCounterpartyAdded.arg(eikShown, nameShown));
                ++report.added;
                return;
            }
            ++report.repeated;
            if (!replace) {
                report.addNumbered(kImportCounterpartyExists.arg(eikShown, nameShown));
                return;
            }
            if (!firm.columns.isEmpty())
                update(QStringLiteral("Firmi"), firm, found->id);
            if (!person.columns.isEmpty()) {
                // Person 0 is the "none" row that firms without a person
                // share: such a firm gets a person of its own.
                if (found->person <= 0 || !update(QStringLiteral("Klienti"), person, found->person)) {
                    const qint64 personId = found->person > 0 ? found->person : nextPerson++;
                    statements.exec(insertPerson,
                                    QVariantList{personId} << allColumns(person, kPersonColumns));
                    statements.exec(QStringLiteral("UPDATE Firmi SET ID_Mol = ? WHERE ID = ?"),
                                    {personId, found->id});
                    byEik[eik].person = personId;
                }
            }
            report.addNumbered(kImportCounterpartyUpdated.arg(eikShown, nameShown));
            ++report.replaced;
        });
    });
    progress.finish();
    closeImportReport(report, texts::kImportDataTotal, replace);
    return report;
}

ExportSource counterpartyExportSource() {
    using V = ExportValue;
    ExportSource source;
    source.fields = {
        {1, QStringLiteral("1: Булстат/ЕИК"), V::Text},
        {2, QStringLiteral("2: ЗДДС номер"), V::Text},
        {3, QStringLiteral("3: Име на фирма"), V::Text},
        {4, QStringLiteral("4: Населено място на фирма"), V::Text},
        {5, QStringLiteral("5: Адрес на регистрация"), V::Text},
        {6, QStringLiteral("6: Телефон на фирма"), V::Text},
        {7, QStringLiteral("7: Име на банка"), V::Text},
        {8, QStringLiteral("8: Банков код"), V::Text},
        {9, QStringLiteral("9: Банкова сметка"), V::Text},
        {10, QStringLiteral("10: Търговска отстъпка"), V::Number},
        {11, QStringLiteral("11: Име на МОЛ"), V::Text},
        {12, QStringLiteral("12: Населено място МОЛ"), V::Text},
        {13, QStringLiteral("13: Адрес на МОЛ"), V::Text},
        {14, QStringLiteral("14: Телефон на МОЛ"), V::Text},
        {15, QStringLiteral("15: ЕГН на МОЛ"), V::Text},
        {17, QStringLiteral("17: Забележка"), V::Text},
    };
    source.statement = {
        QStringLiteral(
            "SELECT Firmi.EIK, Firmi.Dan_N, Firmi.Ime_Firma, Firmi.Grad, Firmi.Adres_Firma, Firmi.Telefon, "
            "Firmi.Banka_Ime, Firmi.Banka_Kod, Firmi.Banka_Smetka, Firmi.T_O, Klienti.Ime_Klient, "
            "Klienti.Grad AS Grad_Mol, Klienti.Adres_Klient, Klienti.Telefon_Klient, Klienti.EGN, "
            "Firmi.Zabel, "
            "Firmi.ID AS Label_ID, Firmi.Ime_Firma AS Label_Name "
            "FROM Firmi LEFT JOIN Klienti ON Klienti.ID = Firmi.ID_Mol AND Klienti.ID <> 0 "
            "WHERE Firmi.ID <> 0\nORDER BY Firmi.ID"),
        {},
        QStringLiteral("Firmi.ID")};
    source.recordLabel = kExportCounterpartyLabel;
    return source;
}

} // namespace torvika
