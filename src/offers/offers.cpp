#include "offers/offers.h"

#include "catalogue/orders.h"
#include "catalogue/price_formula.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/grid_export.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "offers/texts.h"

namespace torvika {

namespace {

// The rates of the currencies by their exact names.
QHash<QString, Decimal> currencyRates(const QSqlDatabase& db) {
    QHash<QString, Decimal> rates;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT Opisanie, Kurs FROM Valuti"));
    while (q.next())
        rates.insert(q.value(0).toString(), fromNumberColumn(q.value(1)));
    return rates;
}

QString dateText(const QDate& d) {
    return isoDate(d);
}

} // namespace

// ---- The price correction ----

std::variant<Decimal, QString> PriceCorrection::apply(const Decimal& price) const {
    const FormulaResult r = GETRESULT_FORMULA(formula, price, Decimal(0));
    if (!r.value)
        return texts::kCorrectionArithmetic.arg(price.toString(), r.message);
    return r.value->rounded(2);
}

std::variant<PriceCorrection, QString> priceCorrection(const QString& sign, const QString& value) {
    const QString typed = value.trimmed();
    if (!kCorrectionSigns.contains(sign))
        return texts::kCorrectionRefused.arg(typed, sign);
    QString operand;
    if (const std::optional<Decimal> d = typedDecimal(typed)) {
        operand = d->toString();
    } else if (typed.endsWith(u'%') && typedDecimal(typed.chopped(1))) {
        // "10%": with + and - a percentage of the price, as the formulas read it.
        operand = typedDecimal(typed.chopped(1))->toString() + u'%';
    } else {
        // A formula of numbers only: the catalogue price is no part of it.
        if (typed.contains(u'P', Qt::CaseInsensitive) || typed.contains(u'D', Qt::CaseInsensitive))
            return texts::kCorrectionRefused.arg(typed, QStringLiteral("P, D"));
        operand = u'(' + typed + u')';
    }
    PriceCorrection c{QStringLiteral("P") + sign + operand, sign + u' ' + typed};
    if (const std::optional<FormulaResult> fault = formulaSyntaxFault(c.formula))
        return texts::kCorrectionRefused.arg(typed, fault->message);
    if (typed.size() > kCorrectionMaxLength)
        return texts::kCorrectionTooLong.arg(kCorrectionMaxLength);
    return c;
}

// ---- Catalogue rows ----

QList<CatalogueRow> catalogueRows(const QSqlDatabase& db, const QList<qint64>& articles) {
    QList<CatalogueRow> out;
    PreparedSql row(
        db, QStringLiteral("SELECT Grupi_CL.Opisanie, Art_CL.Opisanie, Art_CL.Cena_1, Art_CL.Cena_2, "
                           "Art_CL.Cena_3, Art_CL.Valuta, Firm_CL.Opisanie, Art_CL.Kat_N FROM Art_CL "
                           "JOIN Firm_CL ON Firm_CL.ID = Art_CL.ID_F JOIN Grupi_CL ON Grupi_CL.ID_F = "
                           "Art_CL.ID_F AND Grupi_CL.ID = Art_CL.ID_G WHERE Art_CL.ID = ?"));
    for (qint64 id : articles) {
        QSqlQuery& q = row.exec({id});
        if (q.next())
            out << CatalogueRow{q.value(0).toString(),           q.value(1).toString(),
                                fromNumberColumn(q.value(2), 4), fromNumberColumn(q.value(3), 4),
                                fromNumberColumn(q.value(4), 4), q.value(5).toString(),
                                q.value(6).toString(),           q.value(7).toString()};
        q.finish();
    }
    return out;
}

// ---- The working copy ----

OfferCopy::OfferCopy(const QSqlDatabase& db)
    : db_(db),
      working_(
          db, QStringLiteral("Oferta_TMP"),
          QStringLiteral("ID INTEGER NOT NULL PRIMARY KEY, Grup VARCHAR(150), Opisanie VARCHAR(255), "
                         "Kol DOUBLE PRECISION, Cena DOUBLE PRECISION, Cena_2 DOUBLE PRECISION, "
                         "Cena_3 DOUBLE PRECISION, Valuta VARCHAR(20), Firma VARCHAR(150), ID_Mark INTEGER, "
                         "Korekt VARCHAR(20), Kat_N VARCHAR(50), Art_ID INTEGER, Suma DOUBLE PRECISION, "
                         "Pe4alba DOUBLE PRECISION")) {}

qint64 OfferCopy::add(const OfferLine& l) {
    // The copy is this connection's own: its MAX + 1 is free.
    const qint64 id =
        scalarSql(db_, QStringLiteral("SELECT MAX(ID) FROM %1").arg(table()), {}, 0).toLongLong() + 1;
    execSql(db_,
            QStringLiteral(
                "INSERT INTO %1 (ID, Grup, Opisanie, Kol, Cena, Cena_2, Cena_3, Valuta, Firma, ID_Mark, "
                "Korekt, Kat_N, Art_ID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table()),
            {id, l.group, l.description, numberColumnValue(l.quantity), numberColumnValue(l.price),
             numberColumnValue(l.price2), numberColumnValue(l.price3), l.currency, l.supplier, l.marker,
             l.correction, l.catalogueNumber, l.article});
    return id;
}

int OfferCopy::remove(const QList<qint64>& ids) {
    int removed = 0;
    for (qint64 id : ids)
        removed += qMax(
            0,
            execSql(db_, QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table()), {id}).numRowsAffected());
    return removed;
}

void OfferCopy::clear() {
    execSql(db_, QStringLiteral("DELETE FROM %1").arg(table()));
}

QList<OfferLine> OfferCopy::lines() const {
    QList<OfferLine> out;
    QSqlQuery q =
        execSql(db_, QStringLiteral("SELECT Grup, Opisanie, Kol, Cena, Cena_2, Cena_3, Valuta, Firma, "
                                    "ID_Mark, Korekt, Kat_N, Art_ID FROM %1 ORDER BY ID")
                         .arg(table()));
    while (q.next())
        out << OfferLine{
            q.value(0).toString(),           q.value(1).toString(),           fromNumberColumn(q.value(2), 4),
            fromNumberColumn(q.value(3), 4), fromNumberColumn(q.value(4), 4), fromNumberColumn(q.value(5), 4),
            q.value(6).toString(),           q.value(7).toString(),           q.value(8).toInt(),
            q.value(9).toString(),           q.value(10).toString(),          q.value(11).toLongLong()};
    return out;
}

int OfferCopy::count() const {
    return scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table()), {}, 0).toInt();
}

QSet<int> OfferCopy::markers() const {
    QSet<int> out;
    QSqlQuery q = execSql(db_, QStringLiteral("SELECT DISTINCT ID_Mark FROM %1").arg(table()));
    while (q.next())
        out.insert(q.value(0).toInt());
    return out;
}

MarkerComparison OfferCopy::compare(int marker, int priceColumn) {
    MarkerComparison c;
    c.marker = marker;
    c.priceColumn = qBound(1, priceColumn, 3);
    const QHash<QString, Decimal> rates = currencyRates(db_);
    struct Row {
        qint64 id;
        Decimal sum;
        Decimal profit;
        bool counted;
    };
    QList<Row> rows;
    QSqlQuery q = execSql(
        db_, QStringLiteral("SELECT ID, Kol, Cena, Cena_2, Cena_3, Valuta, ID_Mark FROM %1 ORDER BY ID")
                 .arg(table()));
    while (q.next()) {
        const Decimal quantity = fromNumberColumn(q.value(1), 4);
        const Decimal price = fromNumberColumn(q.value(2), 4);
        const Decimal compared = fromNumberColumn(q.value(1 + c.priceColumn), 4);
        const QString currency = q.value(5).toString();
        const auto rate = rates.constFind(currency);
        if (rate == rates.cend()) {
            if (!c.unknownCurrencies.contains(currency))
                c.unknownCurrencies << currency;
            rows << Row{q.value(0).toLongLong(), Decimal(0), Decimal(0), false};
            continue;
        }
        const Decimal sum = quantity * compared * *rate;
        const Decimal value = quantity * price * *rate;
        rows << Row{q.value(0).toLongLong(), sum, value - sum, true};
        c.offerSum += value;
        if (q.value(6).toInt() == marker) {
            c.markerSum += sum;
            if (!c.low || sum < *c.low)
                c.low = sum;
            if (!c.high || sum > *c.high)
                c.high = sum;
        }
    }
    q.finish();
    QSqlQuery markers = execSql(db_, QStringLiteral("SELECT ID, ID_Mark FROM %1").arg(table()));
    QHash<qint64, int> markerOf;
    while (markers.next())
        markerOf.insert(markers.value(0).toLongLong(), markers.value(1).toInt());
    Transaction t(db_);
    PreparedSql update(db_, QStringLiteral("UPDATE %1 SET Suma = ?, Pe4alba = ? WHERE ID = ?").arg(table()));
    for (const Row& r : rows) {
        update.exec({r.counted ? numberColumnValue(r.sum.rounded(4)) : QVariant(),
                     r.counted ? numberColumnValue(r.profit.rounded(4)) : QVariant(), r.id});
        if (r.counted && markerOf.value(r.id) == marker) {
            if (c.low && r.sum == *c.low)
                c.lowLines.insert(r.id);
            if (c.high && r.sum == *c.high)
                c.highLines.insert(r.id);
        }
    }
    t.commit();
    return c;
}

SqlStatement OfferCopy::linesStatement() const {
    return {
        QStringLiteral("SELECT ID, ID_Mark, Grup, Kat_N, Opisanie, Suma, Kol, Cena, Valuta, Korekt, Cena_2, "
                       "Cena_3, Pe4alba, Firma FROM %1\nORDER BY ID")
            .arg(table()),
        {},
        QStringLiteral("ID")};
}

// ---- Mandatory elements ----

QList<MandatoryElement> mandatoryElements(const QSqlDatabase& db) {
    QList<MandatoryElement> out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie FROM Zad_el ORDER BY ID"));
    while (q.next())
        out << MandatoryElement{q.value(0).toLongLong(), q.value(1).toString()};
    return out;
}

MandatoryElement addMandatoryElement(const QSqlDatabase& db, const QString& description) {
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("Zad_el"), QStringLiteral("ID"));
    execSql(db, QStringLiteral("INSERT INTO Zad_el (ID, Opisanie, Checked) VALUES (?, ?, 'False')"),
            {id, description});
    t.commit();
    return {id, description};
}

bool deleteMandatoryElement(const QSqlDatabase& db, qint64 id) {
    return execSql(db, QStringLiteral("DELETE FROM Zad_el WHERE ID = ?"), {id}).numRowsAffected() > 0;
}

QStringList missingMandatoryElements(const QList<MandatoryElement>& elements, const QSet<int>& markers) {
    QStringList out;
    for (qsizetype i = 0; i < elements.size(); ++i)
        if (!markers.contains(int(i) + 1))
            out << elements[i].description;
    return out;
}

// ---- Saving ----

std::optional<Decimal> typedAdvance(const QString& text) {
    const std::optional<Decimal> d = typedDecimal(text);
    if (!d)
        return std::nullopt;
    return d->rounded(4);
}

namespace {

void addOrders(const QSqlDatabase& db, const QList<OfferLine>& lines, const QSet<QString>& suppliers,
               const QString& requester, const QDate& date, int& added) {
    for (const OfferLine& l : lines) {
        if (!suppliers.contains(l.supplier))
            continue;
        OrderLine o;
        o.date = date;
        o.article = l.article;
        o.supplierNumber = l.catalogueNumber.left(kOrderNumberWidth);
        o.description = l.description.left(kOrderTextWidth);
        o.quantity = l.quantity;
        o.price = l.price2;
        o.currency = l.currency;
        o.requester = requester.left(kOrderTextWidth);
        o.supplier = l.supplier.left(kOrderTextWidth);
        addOrderLine(db, o);
        ++added;
    }
}

} // namespace

SavedOffer saveOffer(const QSqlDatabase& db, const QList<OfferLine>& lines, const OfferSave& save) {
    if (save.counterparty < 1)
        throw EConvertError(texts::kCounterpartyNotGiven);
    SavedOffer out;
    if (lines.isEmpty())
        return out;
    Transaction t(db);
    if (!scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Firmi WHERE ID = ?"), {save.counterparty}, 0)
             .toLongLong())
        throw EConvertError(texts::kCounterpartyGone);
    out.id = nextKey(db, QStringLiteral("Oferti_Klient"), QStringLiteral("ID"));
    execSql(db,
            QStringLiteral(
                "INSERT INTO Oferti_Klient (ID, ID_Kontrag, Data_Oferta, Pay_Beffor) VALUES (?, ?, ?, ?)"),
            {out.id, save.counterparty, dateText(save.date), numberColumnValue(save.advance)});
    PreparedSql line(
        db, QStringLiteral("INSERT INTO Oferti_Klient_Art (ID_Oferta, Grup, Opisanie, Kol, Cena, "
                           "Cena_2, Cena_3, Valuta, Dostav4ik, Korekt, Kat_N) VALUES (?, ?, ?, ?, ?, ?, "
                           "?, ?, ?, ?, ?)"));
    for (const OfferLine& l : lines)
        line.exec({out.id, l.group, l.description, numberColumnValue(l.quantity), numberColumnValue(l.price),
                   numberColumnValue(l.price2), numberColumnValue(l.price3), l.currency, l.supplier,
                   l.correction, l.catalogueNumber});
    addOrders(db, lines, save.orderSuppliers, save.counterpartyRef, save.date, out.orderLines);
    t.commit();
    return out;
}

// ---- The printed offer ----

QStringList offerPrintHeading(const QSqlDatabase& db, const OfferPrint& p) {
    QString name;
    QString phone;
    QSqlQuery q =
        execSql(db, QStringLiteral("SELECT Ime_Firma, Telefon FROM Firmi WHERE ID = ?"), {p.counterparty});
    if (q.next()) {
        name = q.value(0).toString();
        phone = q.value(1).toString();
    }
    const QString title = p.number > 0 ? texts::kPrintTitleNumbered.arg(p.number) : texts::kPrintTitle;
    return {QString(),
            QStringLiteral("%1").arg(title, 40),
            QString(),
            texts::kPrintTo + name,
            texts::kPrintPhone + phone,
            QString(),
            QString(),
            texts::kPrintToday.arg(shortDate(p.date)) + p.company.name.left(35).leftJustified(35),
            texts::kPrintManager + p.company.manager,
            texts::kPrintAddress + p.company.address,
            texts::kPrintCompanyPhone + p.company.phone,
            texts::kPrintEik + p.company.eik,
            texts::kPrintIban + p.company.iban,
            texts::kPrintBic + p.company.bic,
            texts::kPrintBank + p.company.bank,
            QString(),
            texts::kPrintOffers,
            QString()};
}

QStringList offerPrintClosing(const OfferPrint& p) {
    QStringList out;
    out << QString();
    if (p.number > 0)
        out << QString();
    out << texts::kPrintOfferTotal.arg(p.currencyWord) + formatFixed(p.total, p.decimals) + u' '
        << texts::kPrintAdvance + p.advance.toString() + u' '
        << texts::kPrintRemaining.arg(p.currencyWord) + formatFixed(p.total - p.advance, p.decimals) + u' '
        << QString() << QString() << QString() << QString();
    if (p.number > 0)
        out << texts::kPrintSignSaved << QString() << texts::kPrintSignSavedNames.arg(p.operatorName);
    else
        out << texts::kPrintSign << QString() << texts::kPrintSignNames.arg(p.operatorName);
    out << QString();
    return out;
}

// ---- Saved offers ----

SqlStatement savedOffersStatement(const OfferFilter& f) {
    QString text =
        QStringLiteral("SELECT Oferti_Klient.ID, Oferti_Klient.ID_Kontrag, Oferti_Klient.Data_Oferta, "
                       "Oferti_Klient.Pay_Beffor, Firmi.Ime_Firma FROM Oferti_Klient JOIN Firmi ON "
                       "Firmi.ID = Oferti_Klient.ID_Kontrag WHERE 1 = 1");
    QVariantList values;
    auto add = [&](const QString& field, OfferComparison cmp, const QVariant& from, const QVariant& to) {
        text += QStringLiteral(" AND ") + valueCondition(field, cmp);
        values << from;
        if (cmp == OfferComparison::Between)
            values << to;
    };
    if (f.counterparty)
        add(QStringLiteral("Oferti_Klient.ID_Kontrag"), f.counterpartyComparison, *f.counterparty,
            f.counterpartyTo.value_or(*f.counterparty));
    if (f.number)
        add(QStringLiteral("Oferti_Klient.ID"), f.numberComparison, *f.number,
            f.numberTo.value_or(*f.number));
    if (f.date)
        add(QStringLiteral("Oferti_Klient.Data_Oferta"), f.dateComparison, dateText(*f.date),
            dateText(f.dateTo.value_or(*f.date)));
    return {text + QStringLiteral("\nORDER BY Oferti_Klient.ID"), values, QStringLiteral("Oferti_Klient.ID")};
}

SqlStatement savedOfferLinesStatement(qint64 offer) {
    // Each line's rate joined by the exact currency name; the sum is shown,
    // the offer's value is computed exactly by offerValue.
    return {QStringLiteral(
                "SELECT Oferti_Klient_Art.Grup, Oferti_Klient_Art.Kat_N, Oferti_Klient_Art.Opisanie, "
                "Oferti_Klient_Art.Kol, Oferti_Klient_Art.Cena, Oferti_Klient_Art.Valuta, "
                "Oferti_Klient_Art.Kol * Oferti_Klient_Art.Cena * Valuti.Kurs AS Suma, "
                "Oferti_Klient_Art.Korekt, Oferti_Klient_Art.Cena_2, Oferti_Klient_Art.Cena_3, "
                "Oferti_Klient_Art.Dostav4ik FROM Oferti_Klient_Art LEFT JOIN Valuti ON Valuti.Opisanie "
                "= Oferti_Klient_Art.Valuta WHERE Oferti_Klient_Art.ID_Oferta = ?"),
            {offer},
            {}};
}

std::optional<StoredOffer> loadOffer(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT Oferti_Klient.ID_Kontrag, Firmi.Ime_Firma, Oferti_Klient.Data_Oferta, "
                               "Oferti_Klient.Pay_Beffor FROM Oferti_Klient LEFT JOIN Firmi ON Firmi.ID = "
                               "Oferti_Klient.ID_Kontrag WHERE Oferti_Klient.ID = ?"),
                {id});
    if (!q.next())
        return std::nullopt;
    StoredOffer o;
    o.id = id;
    o.counterparty = q.value(0).toLongLong();
    o.counterpartyName = q.value(1).toString();
    o.date = QDate::fromString(q.value(2).toString(), Qt::ISODate);
    o.advance = fromNumberColumn(q.value(3), 4);
    q.finish();
    QSqlQuery l =
        execSql(db,
                QStringLiteral("SELECT Grup, Opisanie, Kol, Cena, Cena_2, Cena_3, Valuta, Dostav4ik, Korekt, "
                               "Kat_N FROM Oferti_Klient_Art WHERE ID_Oferta = ?"),
                {id});
    while (l.next()) {
        OfferLine line;
        line.group = l.value(0).toString();
        line.description = l.value(1).toString();
        line.quantity = fromNumberColumn(l.value(2), 4);
        line.price = fromNumberColumn(l.value(3), 4);
        line.price2 = fromNumberColumn(l.value(4), 4);
        line.price3 = fromNumberColumn(l.value(5), 4);
        line.currency = l.value(6).toString();
        line.supplier = l.value(7).toString();
        line.correction = l.value(8).toString();
        line.catalogueNumber = l.value(9).toString();
        o.lines << line;
    }
    return o;
}

Decimal offerValue(const QSqlDatabase& db, const QList<OfferLine>& lines, QStringList* unknownCurrencies) {
    const QHash<QString, Decimal> rates = currencyRates(db);
    Decimal total;
    for (const OfferLine& l : lines) {
        const auto rate = rates.constFind(l.currency);
        if (rate == rates.cend()) {
            if (unknownCurrencies && !unknownCurrencies->contains(l.currency))
                *unknownCurrencies << l.currency;
            continue;
        }
        total += l.quantity * l.price * *rate;
    }
    return total;
}

bool deleteOffer(const QSqlDatabase& db, qint64 id) {
    Transaction t(db);
    execSql(db, QStringLiteral("DELETE FROM Oferti_Klient_Art WHERE ID_Oferta = ?"), {id});
    const bool deleted =
        execSql(db, QStringLiteral("DELETE FROM Oferti_Klient WHERE ID = ?"), {id}).numRowsAffected() > 0;
    t.commit();
    return deleted;
}

int ordersFromOffer(const QSqlDatabase& db, const StoredOffer& offer, const QSet<QString>& suppliers,
                    const QDate& date) {
    int added = 0;
    Transaction t(db);
    addOrders(db, offer.lines, suppliers, refText(offer.counterparty, offer.counterpartyName), date, added);
    t.commit();
    return added;
}

} // namespace torvika
