#include "service/intake_lines.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "sales/receipt_lines.h"
#include "service/texts.h"

#include <QDir>
#include <algorithm>

namespace torvika {

namespace {

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

QDate isoToDate(const QVariant& v) {
    return QDate::fromString(v.toString().trimmed(), Qt::ISODate);
}

// The serial-number condition on a column: the whole number in any letter
// case (served by the column's UPPER index), or any number holding the text
// (served by the column's search index from three characters on).
struct SerialColumn {
    QString table;
    QString column;
    QString searchIndex;
};
ContainsCondition serialCondition(const QSqlDatabase& db, const SerialColumn& c, const QString& serial,
                                  bool contains) {
    const QString upper = serial.trimmed().toUpper();
    const QString column = c.table + u'.' + c.column;
    if (!contains)
        return {QStringLiteral("UPPER(%1) = ?").arg(column), upper};
    return containsCondition(sqlEngine(db), c.table, QStringLiteral("rowid"), column, c.searchIndex, upper);
}

// The next number of the shop's sale lines, taken by a row inserted and
// deleted again inside the caller's transaction: no sale line ever gets it,
// and the sequence never hands it out again.
qint64 takeLineNumber(const QSqlDatabase& db) {
    const qint64 number =
        insertReturningKey(db, QStringLiteral("INSERT INTO Prodajbi_Vremenni (Operator) VALUES (?)"),
                           {QString()}, QStringLiteral("N_Prodajba"));
    execSql(db, QStringLiteral("DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?"), {number});
    return number;
}

} // namespace

QString SupplierWarranty::supplierText() const {
    return refText(supplier, supplierName);
}

QString SerialSale::articleText() const {
    return refText(article, articleName);
}

QString SerialSale::clientText() const {
    return refText(client, clientName);
}

bool SerialLookup::underSupplierWarranty(const QDate& today) const {
    return supplier && supplier->validUntil.isValid() && supplier->validUntil > today;
}

SerialLookup lookupSerial(const QSqlDatabase& db, const QString& serial, bool contains) {
    SerialLookup out;
    if (serial.trimmed().isEmpty())
        return out;

    const ContainsCondition s = serialCondition(
        db, {QStringLiteral("S"), QStringLiteral("Serial_ID"), QStringLiteral("Serials_Numbers")}, serial,
        contains);
    const SqlRows supplier =
        readRows(db,
                 QStringLiteral(
                     "SELECT G.ID, G.ID_Kontrag, F.Ime_Firma, D.Opisanie, G.ID_Dok, G.Data, S.Data, G.Zabel "
                     "FROM Serials S JOIN Garancia_dostavtchik G ON G.ID = S.ID_Karta "
                     "LEFT JOIN Firmi F ON F.ID = G.ID_Kontrag "
                     "LEFT JOIN Rab_Dokumenti D ON D.ID = G.Vid_Dok WHERE ") +
                     s.sql + QStringLiteral(" ORDER BY G.Data DESC, G.ID DESC"),
                 {s.value}, 1);
    if (!supplier.rows.isEmpty()) {
        const QVariantList& r = supplier.rows.first();
        out.supplier =
            SupplierWarranty{r[0].toLongLong(), r[1].toLongLong(), r[2].toString(), r[3].toString(),
                             r[4].toString(),   isoToDate(r[5]),   isoToDate(r[6]), r[7].toString()};
    }

    const ContainsCondition p = serialCondition(
        db, {QStringLiteral("P"), QStringLiteral("Pored_Ot"), QStringLiteral("Prodajbi_Serials")}, serial,
        contains);
    const SqlRows sale = readRows(
        db,
        QStringLiteral("SELECT P.ID_Art, A.Opisanie, P.ID_Klient, F.Ime_Firma, P.Pored_Do, P.D_Prodajba "
                       "FROM Prodajbi P LEFT JOIN Produkti A ON A.ID = P.ID_Art "
                       "LEFT JOIN Firmi F ON F.ID = P.ID_Klient WHERE ") +
            p.sql + QStringLiteral(" ORDER BY P.D_Prodajba DESC, P.T_Prodajba DESC, P.ID_Prodajba DESC"),
        {p.value}, 1);
    if (!sale.rows.isEmpty()) {
        const QVariantList& r = sale.rows.first();
        out.sale = SerialSale{r[0].toLongLong(), r[1].toString(), r[2].toLongLong(),
                              r[3].toString(),   r[4].toString(), isoToDate(r[5])};
    }

    // The register's entries, latest document first; a "contains" search
    // lists at most this many for the pick list.
    constexpr int kMaxSerials = 500;
    const SqlRows serials =
        readRows(db,
                 QStringLiteral("SELECT S.Serial_ID, S.Model, S.Partida FROM Serials S WHERE ") + s.sql +
                     QStringLiteral(" ORDER BY S.ID_Karta DESC, S.Serial_ID"),
                 {s.value}, kMaxSerials);
    for (const QVariantList& r : serials.rows) {
        if (out.serials.isEmpty()) {
            out.model = r[1].toString();
            out.batch = r[2].toString();
        }
        const QString number = r[0].toString();
        if (!out.serials.contains(number))
            out.serials << number;
    }
    return out;
}

SqlStatement dossierStatement(const QString& serial) {
    return {QStringLiteral("SELECT R.N_Priem, R.Pri4ina, R.Data_Priem, R.Time_Priem, R.Operator, R.Data_Izd, "
                           "R.Time_Izd, K.Ime_Firma AS Ime_Kontrag FROM R_Priem R "
                           "LEFT JOIN Firmi K ON K.ID = R.ID_Kontrag WHERE UPPER(R.S_N) = ?\n"
                           "ORDER BY R.Data_Izd DESC, R.Time_Izd DESC, R.N_Priem DESC"),
            {serial.trimmed().toUpper()},
            QStringLiteral("R.N_Priem")};
}

std::optional<IntakeRefusal> checkIntakeEntry(const IntakeEntry& e, const QDate& today) {
    if (e.client <= 0)
        return IntakeRefusal{IntakeRefusal::Client, texts::kIntakeNoClient};
    if (e.description.trimmed().isEmpty())
        return IntakeRefusal{IntakeRefusal::Description, texts::kIntakeDescriptionMissing};
    if (intakeReasonText(e.reason).trimmed().isEmpty())
        return IntakeRefusal{IntakeRefusal::Reason, texts::kIntakeReasonMissing};
    if (e.currency.trimmed().isEmpty())
        return IntakeRefusal{IntakeRefusal::Currency, texts::kIntakeCurrencyMissing};
    if (!e.due.isValid() || e.due < today)
        return IntakeRefusal{IntakeRefusal::Due, texts::kIntakeDueInPast};
    return std::nullopt;
}

std::optional<Decimal> parseRepairPrice(const QString& text) {
    const std::optional<Decimal> price = Decimal::parse(text);
    if (!price || price->sign() < 0)
        return std::nullopt;
    return price;
}

QString intakeReasonText(const QString& typed) {
    QString text = typed;
    text.remove(u'\r');
    text.remove(u'\n');
    return text.left(kReasonMaxLength);
}

qint64 addIntakeLine(const QSqlDatabase& db, const QString& operatorName, const IntakeEntry& e,
                     const QDateTime& now, int priceDecimals) {
    if (const std::optional<IntakeRefusal> refusal = checkIntakeEntry(e, now.date()))
        throw EConvertError(refusal->message);
    const bool w = e.warranty;
    Transaction t(db);
    const qint64 number = takeLineNumber(db);
    execSql(db,
            QStringLiteral("INSERT INTO Priem_Ser_Vremen (N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, "
                           "Gar_Dok_N, Data_Gar_Dok, ID_Kontrag, Data_Priem, Time_Priem, Operator, "
                           "Pred_Cena_Remont, Valuta, ID_Dostav4ik, Model, Partida, Krai_data) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {number, e.article > 0 ? e.article : kFreeTextItem, e.serial.trimmed().toUpper(),
             e.description.trimmed(), intakeReasonText(e.reason), boolText(w),
             w ? e.warrantyDocument.trimmed() : QString(),
             w && e.warrantyDocumentDate.isValid() ? isoDate(e.warrantyDocumentDate) : QString(), e.client,
             isoDate(now.date()), shortTime(now.time()), operatorName,
             numberColumnValue(e.price.rounded(std::clamp(priceDecimals, 0, 12))), e.currency.trimmed(),
             w ? std::max<qint64>(e.supplier, 0) : qint64(0), w ? e.model.trimmed() : QString(),
             w ? e.batch.trimmed() : QString(), isoDate(e.due)});
    t.commit();
    return number;
}

SqlStatement intakeLinesStatement(const QString& operatorName) {
    return {QStringLiteral("SELECT N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Pred_Cena_Remont, Valuta, "
                           "Krai_data, Operator, ID_Kontrag FROM Priem_Ser_Vremen WHERE Operator = ?\n"
                           "ORDER BY N_Prodajba"),
            {operatorName},
            QStringLiteral("N_Prodajba")};
}

QList<qint64> operatorIntakeLines(const QSqlDatabase& db, const QString& operatorName) {
    QList<qint64> out;
    QSqlQuery q = execSql(
        db, QStringLiteral("SELECT N_Prodajba FROM Priem_Ser_Vremen WHERE Operator = ? ORDER BY N_Prodajba"),
        {operatorName});
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}

std::optional<IntakeLine> loadIntakeLine(const QSqlDatabase& db, const QString& operatorName, qint64 number) {
    const SqlRows rows =
        readRows(db,
                 QStringLiteral("SELECT N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, ID_Kontrag, Operator, "
                                "Pred_Cena_Remont, Valuta FROM Priem_Ser_Vremen "
                                "WHERE N_Prodajba = ? AND Operator = ?"),
                 {number, operatorName});
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rows.rows.first();
    IntakeLine line;
    line.number = r[0].toLongLong();
    line.article = r[1].toLongLong();
    line.serial = r[2].toString();
    line.description = r[3].toString();
    line.reason = r[4].toString();
    line.client = r[5].toLongLong();
    line.operatorName = r[6].toString();
    line.price = fromNumberColumn(r[7], 6);
    line.currency = r[8].toString();
    return line;
}

int cancelIntakeLines(const QSqlDatabase& db, const QString& operatorName, const QList<qint64>& lines) {
    QList<qint64> ordered = lines;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    int deleted = 0;
    Transaction t(db);
    for (qint64 line : ordered) {
        const QSqlQuery q =
            execSql(db, QStringLiteral("DELETE FROM Priem_Ser_Vremen WHERE N_Prodajba = ? AND Operator = ?"),
                    {line, operatorName});
        if (q.numRowsAffected() < 1)
            continue;
        ++deleted;
        execSql(db, QStringLiteral("DELETE FROM Printed_Dok WHERE ID_Prod = ? AND Ot_Kade_Prod = ?"),
                {line, kServicePlace});
    }
    t.commit();
    return deleted;
}

QList<qint64> acceptIntakeLines(const QSqlDatabase& db, const QString& operatorName,
                                const QList<qint64>& lines) {
    QList<qint64> accepted;
    Transaction t(db);
    // The lines are locked in the order of their numbers, so that two
    // workstations of the operator accepting them in other orders wait for
    // each other instead of deadlocking; a line gone meanwhile is left out.
    QList<qint64> ordered = lines;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    QList<qint64> ours;
    for (qint64 line : ordered) {
        const QSqlQuery q = execSql(
            db,
            QStringLiteral("UPDATE Priem_Ser_Vremen SET Operator = ? WHERE N_Prodajba = ? AND Operator = ?"),
            {operatorName, line, operatorName});
        if (q.numRowsAffected() == 1)
            ours << line;
    }
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const qint64 line = *it;
        if (!ours.contains(line) || accepted.contains(line))
            continue;
        execSql(db,
                QStringLiteral(
                    "INSERT INTO Priem_Ser (N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, "
                    "Data_Gar_Dok, ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, "
                    "Valuta, ID_Dostav4ik, Model, Partida, Status, Krai_Data) "
                    "SELECT N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, Data_Gar_Dok, "
                    "ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, "
                    "ID_Dostav4ik, Model, Partida, 1, Krai_data FROM Priem_Ser_Vremen "
                    "WHERE N_Prodajba = ?"),
                {line});
        execSql(db, QStringLiteral("DELETE FROM Priem_Ser_Vremen WHERE N_Prodajba = ?"), {line});
        accepted << line;
    }
    t.commit();
    return accepted;
}

Decimal intakeRepairTotal(const QSqlDatabase& db, const QList<qint64>& lines) {
    Decimal total;
    for (qint64 line : lines) {
        const QVariant price = scalarSql(
            db, QStringLiteral("SELECT Pred_Cena_Remont FROM Priem_Ser_Vremen WHERE N_Prodajba = ?"), {line});
        if (const std::optional<Decimal> d = Decimal::fromVariant(price))
            total += *d;
    }
    return total;
}

QStringList workshopTicketLines(const Department& department, const WorkshopTicket& t) {
    const QString frame = QStringLiteral(":=======================");
    QStringList out;
    if (deviceTypeNumber(department.deviceType) == 1)
        out << QStringLiteral("*");
    out << frame << u':' + commandText(department.name).toUpper() << frame
        << QStringLiteral(":ПОС: ") + commandText(t.terminal)
        << QStringLiteral(":Приет под N: ") + QString::number(t.intake)
        << QStringLiteral(":Клиент: ") + commandText(t.clientName)
        << QStringLiteral(":Клиент тел.: ") + commandText(t.clientPhone)
        << QStringLiteral(":Арт.: ") + commandText(t.description)
        << QStringLiteral(":Причина: ") + commandText(t.reason)
        << QStringLiteral(":Опер.: ") + cformat(u"%-16.16s", {commandText(t.operatorName)}) << frame
        << QStringLiteral(":Цена ремонт: ") << frame;
    return out;
}

std::optional<WorkshopTicket> workshopTicketFor(const QSqlDatabase& db, const QString& operatorName,
                                                qint64 line, const QString& terminal) {
    const SqlRows rows = readRows(db,
                                  QStringLiteral("SELECT L.N_Prodajba, F.Ime_Firma, F.Telefon, L.Opisanie, "
                                                 "L.Pri4ina, L.Operator FROM Priem_Ser_Vremen L "
                                                 "LEFT JOIN Firmi F ON F.ID = L.ID_Kontrag "
                                                 "WHERE L.N_Prodajba = ? AND L.Operator = ?"),
                                  {line, operatorName});
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rows.rows.first();
    return WorkshopTicket{terminal,        r[0].toLongLong(), r[1].toString(), r[2].toString(),
                          r[3].toString(), r[4].toString(),   r[5].toString()};
}

BonResult writeWorkshopTicket(FiscalState& state, const FiscalSettings& settings,
                              const Department& department, const WorkshopTicket& ticket) {
    const QString directory = departmentDirectory(settings, department.id, department.path);
    return state.writeTicketFile(department.id, department.name,
                                 QDir(directory).filePath(kWorkshopTicketFile),
                                 commandFileBytes(workshopTicketLines(department, ticket)), settings);
}

} // namespace torvika
