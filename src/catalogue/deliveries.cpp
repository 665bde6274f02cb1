#include "catalogue/deliveries.h"

#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/numbered_fields.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QSet>

namespace torvika {

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// The largest quantity or price a file may give: far above any delivery,
// far below what an exact number holds.
const Decimal kMaxImportedNumber(1000000000000LL);

// Quantities are kept to the decimals of the stock.
constexpr int kQuantityDecimals = 6;
// Factors of a product are read back to these decimals, so that a product
// of three stays within the decimals an exact number holds.
constexpr int kRateDecimals = 8;

const QString kLineColumns = QStringLiteral("Nomer_Produkt, Opisanie, Dostavna_Cena, Valuta_D, "
                                            "Prodajna_Cena, Valuta_P, Kolitchestvo, Mqrka, Have_DDS");

bool isTrue(const QVariant& v) {
    return v.toString().trimmed().compare(kTrue, Qt::CaseInsensitive) == 0;
}

QString boolText(bool b) {
    return b ? kTrue : kFalse;
}

Decimal price(const QVariant& v) {
    return fromNumberColumn(v, kDeliveryPriceDecimals);
}

Decimal quantity(const QVariant& v) {
    return fromNumberColumn(v, kQuantityDecimals);
}

DeliveryLine lineFrom(const QVariantList& r) {
    DeliveryLine l;
    l.article = r[0].toLongLong();
    l.description = r[1].toString();
    l.deliveryPrice = price(r[2]);
    l.deliveryCurrency = r[3].toString();
    l.sellingPrice = price(r[4]);
    l.sellingCurrency = r[5].toString();
    l.quantity = quantity(r[6]);
    l.unit = r[7].toString();
    l.vatIncluded = isTrue(r[8]);
    return l;
}

DeliveryArticle articleFrom(const QSqlQuery& q) {
    DeliveryArticle a;
    a.id = q.value(0).toLongLong();
    a.description = q.value(1).toString();
    a.sellingPrice = price(q.value(2));
    a.sellingCurrency = q.value(3).toString();
    a.deliveryPrice = price(q.value(4));
    a.deliveryCurrency = q.value(5).toString();
    a.unit = q.value(6).toString();
    a.vatIncluded = isTrue(q.value(7));
    a.warranty = isTrue(q.value(8));
    a.taxGroup = q.value(9).isNull() ? kStandardTaxGroup : q.value(9).toInt();
    return a;
}

const QString kArticleSelect = QStringLiteral(
    "SELECT Produkti.ID, Produkti.Opisanie, Produkti.Ed_Cena, Produkti.Valuta_P, Produkti.Dostavna_Cena, "
    "Produkti.Valuta_D, Produkti.Mqrka, Produkti.DDS, Produkti.Garancionen, Produkti.Dan_Grup FROM Produkti");

bool currencyExists(const QSqlDatabase& db, const QString& currency) {
    return scalarSql(db, QStringLiteral("SELECT 1 FROM Valuti WHERE Opisanie = ?"), {currency}).isValid();
}

bool rowExists(const QSqlDatabase& db, const QString& sql, qint64 id) {
    return id > 0 && scalarSql(db, sql, {id}).isValid();
}

QString dateCondition(const QString& field, const DateCondition& c, QVariantList& values) {
    if (!c.from.isValid() || (c.comparison == DateComparison::Between && !c.to.isValid()))
        throw EConvertError(texts::kOrderNoSearchDate);
    values << isoDate(c.from);
    switch (c.comparison) {
    case DateComparison::Equal:
        return QStringLiteral(" AND %1 = ?").arg(field);
    case DateComparison::AtMost:
        return QStringLiteral(" AND %1 <= ?").arg(field);
    case DateComparison::AtLeast:
        return QStringLiteral(" AND %1 >= ?").arg(field);
    case DateComparison::Between:
        values << isoDate(c.to);
        return QStringLiteral(" AND %1 BETWEEN ? AND ?").arg(field);
    }
    return {};
}

QString marks(qsizetype n) {
    return QStringList(n, QStringLiteral("?")).join(u',');
}

} // namespace

// ---- The supplier and the article ----

QStringList deliverySuppliers(const QSqlDatabase& db, const QString& text) {
    const QString select = QStringLiteral("SELECT ID, Ime_Firma FROM Firmi WHERE ID > 0");
    const QString order = QStringLiteral(" ORDER BY Ime_Firma, ID");
    QString sql;
    QVariantList values;
    if (text.isEmpty())
        return {};
    const QChar first = text.front();
    const QString rest = text.mid(1).trimmed();
    if (first == u' ') {
        sql = select + order;
    } else if (first == u'+' || first == u'-') {
        if (rest.isEmpty())
            return {};
        sql = select +
              QStringLiteral(" AND UPPER(%1) LIKE ? ESCAPE '\\'")
                  .arg(first == u'+' ? QStringLiteral("Dan_N") : QStringLiteral("EIK")) +
              order;
        values << likeContains(rest.toUpper());
    } else if (first == u'!') {
        bool ok = false;
        const qint64 id = rest.toLongLong(&ok);
        if (!ok)
            return {};
        sql = select + QStringLiteral(" AND ID = ?") + order;
        values << id;
    } else {
        sql = select + QStringLiteral(" AND UPPER(Ime_Firma) LIKE ? ESCAPE '\\'") + order;
        values << likeContains(text.trimmed().toUpper());
    }
    const SqlRows rows = readRows(db, sql, values, kSupplierListLimit);
    QStringList out;
    for (const QVariantList& r : rows.rows)
        out << refText(r[0].toLongLong(), r[1].toString());
    return out;
}

QStringList deliveryDocumentKinds(const QSqlDatabase& db) {
    const SqlRows rows = readRows(db, QStringLiteral("SELECT ID, Opisanie FROM Rab_Dokumenti ORDER BY ID"));
    QStringList out;
    for (const QVariantList& r : rows.rows)
        out << refText(r[0].toLongLong(), r[1].toString());
    return out;
}

std::optional<DeliveryArticle> deliveryArticle(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q = execSql(db, kArticleSelect + QStringLiteral(" WHERE Produkti.ID = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return articleFrom(q);
}

std::optional<DeliveryArticle> findDeliveryArticle(const QSqlDatabase& db, const QString& typed,
                                                   bool bySupplierNumber, qint64 supplier) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (!bySupplierNumber) {
        bool ok = false;
        const qint64 id = text.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return deliveryArticle(db, id);
    }
    // The supplier's own number of the article, that supplier's only.
    QSqlQuery q = execSql(
        db,
        kArticleSelect + QStringLiteral(", Nomenklatures WHERE Nomenklatures.Nomenkl_N = ? AND "
                                        "Nomenklatures.ID_Kontrag = ? AND Produkti.ID = Nomenklatures.ID "
                                        "ORDER BY Produkti.ID"),
        {text, supplier});
    if (!q.next())
        return std::nullopt;
    return articleFrom(q);
}

// ---- Prices ----

std::optional<Decimal> typedDeliveryNumber(const QString& text) {
    if (text.trimmed().isEmpty())
        return Decimal(0);
    return Decimal::parse(text);
}

std::optional<Decimal> markupPercent(const Decimal& deliveryPrice, const Decimal& sellingPrice) {
    if (deliveryPrice.isZero())
        return std::nullopt;
    return ((sellingPrice - deliveryPrice) * 100).divided(deliveryPrice, kDeliveryPriceDecimals);
}

std::optional<Decimal> priceWithMarkup(const Decimal& deliveryPrice, const Decimal& markup) {
    const Decimal p =
        (deliveryPrice + (deliveryPrice * markup).divided(100, 10)).rounded(kDeliveryPriceDecimals);
    if (p.sign() < 0)
        return std::nullopt;
    return p;
}

std::optional<Decimal> priceAfterDiscount(const Decimal& sellingPrice, const Decimal& discount) {
    const Decimal p =
        (sellingPrice - (sellingPrice * discount).divided(100, 10)).rounded(kDeliveryPriceDecimals);
    if (p.sign() < 0)
        return std::nullopt;
    return p;
}

Decimal priceWithVat(const Decimal& price, const Decimal& ratePercent, bool include) {
    const Decimal factor = Decimal(100) + ratePercent;
    if (include)
        return (price * factor).divided(100, kDeliveryPriceDecimals);
    return (price * 100).divided(factor, kDeliveryPriceDecimals);
}

Decimal priceInBaseCurrency(const Decimal& price, const Decimal& rate) {
    return (price * rate.rounded(kRateDecimals)).rounded(kDeliveryPriceDecimals);
}

QString baseCurrencyName(const QSqlDatabase& db) {
    return baseCurrencyRowName(db);
}

std::optional<Decimal> currencyRate(const QSqlDatabase& db, const QString& currency) {
    const QVariant v =
        scalarSql(db, QStringLiteral("SELECT Kurs FROM Valuti WHERE Opisanie = ?"), {currency});
    if (!v.isValid())
        return std::nullopt;
    return fromNumberColumn(v, kRateDecimals);
}

// ---- The delivery being entered ----

DeliveryDraft::DeliveryDraft(const QSqlDatabase& db)
    : db_(db),
      lines_(db, QStringLiteral("DostavkiTMP"),
             QStringLiteral(
                 "Nomer_Produkt INTEGER NOT NULL PRIMARY KEY, Opisanie VARCHAR(150), Dostavna_Cena "
                 "DOUBLE PRECISION, Valuta_D VARCHAR(20), Prodajna_Cena DOUBLE PRECISION, Valuta_P "
                 "VARCHAR(20), Kolitchestvo DOUBLE PRECISION, Mqrka VARCHAR(%1), Have_DDS VARCHAR(5), "
                 "Por INTEGER")
                 .arg(kDeliveryUnitWidth)),
      serials_(db, QStringLiteral("DostavkiTMP_Serials"),
               QStringLiteral("Serial_Key INTEGER NOT NULL PRIMARY KEY, Nomer_Produkt INTEGER, Serial_ID "
                              "VARCHAR(%1), Model VARCHAR(%2), Partida VARCHAR(%2), Data VARCHAR(10)")
                   .arg(kSerialWidth)
                   .arg(kSerialModelWidth)) {}

DeliveryDraft::~DeliveryDraft() = default;

qint64 DeliveryDraft::proposedNumber() const {
    return GET_MAX_NUMBER(db_, QStringLiteral("Dostavki"), QStringLiteral("ID"));
}

std::optional<QString> DeliveryDraft::checkLine(const DeliveryLine& l) const {
    if (l.quantity.sign() < 0)
        return texts::kBadQuantity;
    if (l.deliveryPrice.sign() < 0 || l.sellingPrice.sign() < 0)
        return texts::kPriceNotANumber;
    if (l.deliveryCurrency.trimmed().isEmpty() || l.sellingCurrency.trimmed().isEmpty())
        return texts::kNoCurrency;
    for (const QString& c : {l.deliveryCurrency, l.sellingCurrency})
        if (!currencyExists(db_, c))
            return texts::kUnknownCurrency.arg(c);
    if (l.unit.size() > kDeliveryUnitWidth)
        return texts::kUnitTooLong.arg(kDeliveryUnitWidth);
    return std::nullopt;
}

QVariantList DeliveryDraft::lineValues(const DeliveryLine& l, const QString& description) const {
    return {l.article,
            description,
            numberColumnValue(l.deliveryPrice.rounded(kDeliveryPriceDecimals)),
            l.deliveryCurrency,
            numberColumnValue(l.sellingPrice.rounded(kDeliveryPriceDecimals)),
            l.sellingCurrency,
            numberColumnValue(l.quantity.rounded(kQuantityDecimals)),
            l.unit,
            boolText(l.vatIncluded)};
}

std::optional<QString> DeliveryDraft::add(const DeliveryLine& l) {
    const std::optional<DeliveryArticle> a = deliveryArticle(db_, l.article);
    if (!a)
        return texts::kArticleNumberNotFound;
    if (line(l.article))
        return texts::kDeliveryLineExists.arg(refText(a->id, a->description));
    if (const auto refusal = checkLine(l))
        return refusal;
    const qint64 order =
        scalarSql(db_, QStringLiteral("SELECT MAX(Por) FROM %1").arg(table()), {}, 0).toLongLong() + 1;
    execSql(db_,
            QStringLiteral("INSERT INTO %1 (%2, Por) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table(), kLineColumns),
            lineValues(l, a->description) << order);
    return std::nullopt;
}

std::optional<QString> DeliveryDraft::replace(qint64 article, const DeliveryLine& l) {
    const std::optional<DeliveryLine> old = line(article);
    if (!old)
        return texts::kDeliveryLineGone.arg(article);
    if (const auto refusal = checkLine(l))
        return refusal;
    const int serialsOf = int(serials(article).size());
    if (Decimal(serialsOf) > l.quantity)
        return texts::kQuantityBelowSerials.arg(serialsOf);
    const std::optional<DeliveryArticle> a = deliveryArticle(db_, article);
    DeliveryLine changed = l;
    changed.article = article;
    QVariantList values = lineValues(changed, a ? a->description : old->description);
    values.removeFirst();
    values << article;
    execSql(db_,
            QStringLiteral("UPDATE %1 SET Opisanie = ?, Dostavna_Cena = ?, Valuta_D = ?, Prodajna_Cena = ?, "
                           "Valuta_P = ?, Kolitchestvo = ?, Mqrka = ?, Have_DDS = ? WHERE Nomer_Produkt = ?")
                .arg(table()),
            values);
    return std::nullopt;
}

int DeliveryDraft::remove(const QList<qint64>& articles) {
    int removed = 0;
    Transaction t(db_);
    for (qint64 a : articles) {
        QSqlQuery q =
            execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Nomer_Produkt = ?").arg(table()), {a});
        removed += qMax(0, q.numRowsAffected());
        execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Nomer_Produkt = ?").arg(serials_.table()), {a});
    }
    t.commit();
    return removed;
}

void DeliveryDraft::clear() {
    Transaction t(db_);
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table()));
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(serials_.table()));
    t.commit();
}

int DeliveryDraft::addGroup(qint64 group) {
    Transaction t(db_);
    const qint64 order =
        scalarSql(db_, QStringLiteral("SELECT MAX(Por) FROM %1").arg(table()), {}, 0).toLongLong();
    QSqlQuery q =
        execSql(db_,
                QStringLiteral(
                    "INSERT INTO %1 (%2, Por) "
                    "SELECT Produkti.ID, Produkti.Opisanie, 0, Produkti.Valuta_P, Produkti.Ed_Cena, "
                    "Produkti.Valuta_P, 0, Produkti.Mqrka, COALESCE(Produkti.DDS, 'False'), ? + Produkti.ID "
                    "FROM Produkti WHERE Produkti.Nomer_Grupa = ? AND NOT EXISTS "
                    "(SELECT 1 FROM %1 d WHERE d.Nomer_Produkt = Produkti.ID)")
                    .arg(table(), kLineColumns),
                {order, group});
    const int added = qMax(0, q.numRowsAffected());
    t.commit();
    return added;
}

std::optional<DeliveryLine> DeliveryDraft::line(qint64 article) const {
    const SqlRows rows =
        readRows(db_, QStringLiteral("SELECT %1 FROM %2 WHERE Nomer_Produkt = ?").arg(kLineColumns, table()),
                 {article});
    if (rows.rows.isEmpty())
        return std::nullopt;
    return lineFrom(rows.rows.front());
}

QList<DeliveryLine> DeliveryDraft::lines() const {
    const SqlRows rows =
        readRows(db_, QStringLiteral("SELECT %1 FROM %2 ORDER BY Por").arg(kLineColumns, table()));
    QList<DeliveryLine> out;
    for (const QVariantList& r : rows.rows)
        out << lineFrom(r);
    return out;
}

int DeliveryDraft::count() const {
    return int(scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table()), {}, 0).toLongLong());
}

SqlStatement DeliveryDraft::linesStatement() const {
    return {
        QStringLiteral("SELECT d.Por AS Por, d.Nomer_Produkt AS Nomer_Produkt, d.Opisanie AS Opisanie, "
                       "d.Dostavna_Cena AS Dostavna_Cena, d.Valuta_D AS Valuta_D, d.Kolitchestvo AS "
                       "Kolitchestvo, d.Mqrka AS Mqrka, d.Dostavna_Cena * d.Kolitchestvo * Valuti.Kurs AS "
                       "Suma_D, d.Prodajna_Cena AS Prodajna_Cena, d.Valuta_P AS Valuta_P, d.Have_DDS AS "
                       "Have_DDS FROM %1 d LEFT JOIN Valuti ON Valuti.Opisanie = d.Valuta_D\nORDER BY Por")
            .arg(table()),
        {},
        QStringLiteral("Por")};
}

DeliverySums DeliveryDraft::sums(const VatRates& rates) const {
    const SqlRows rows = readRows(
        db_,
        QStringLiteral("SELECT d.Dostavna_Cena, d.Kolitchestvo, d.Valuta_D, d.Have_DDS, Produkti.Dan_Grup, "
                       "Valuti.Kurs FROM %1 d LEFT JOIN Produkti ON Produkti.ID = d.Nomer_Produkt "
                       "LEFT JOIN Valuti ON Valuti.Opisanie = d.Valuta_D ORDER BY d.Por")
            .arg(table()));
    // Per rate: the gross of the lines that hold their VAT and the base of
    // those that do not; each sum is split or taxed once.
    struct RateSums {
        Decimal gross;
        Decimal net;
    };
    QMap<Decimal, RateSums> byRate;
    DeliverySums s;
    Decimal exactTotal;
    for (const QVariantList& r : rows.rows) {
        if (r[5].isNull()) {
            if (!s.unknownCurrencies.contains(r[2].toString()))
                s.unknownCurrencies << r[2].toString();
            continue;
        }
        const Decimal amount =
            (price(r[0]) * quantity(r[1])).rounded(kRateDecimals) * fromNumberColumn(r[5], kRateDecimals);
        exactTotal += amount;
        const Decimal rate = rates.of(r[4].isNull() ? kStandardTaxGroup : r[4].toInt());
        RateSums& sum = byRate[rate];
        if (isTrue(r[3]))
            sum.gross += amount;
        else
            sum.net += amount;
    }
    s.total = exactTotal.rounded(2);
    for (auto it = byRate.cbegin(); it != byRate.cend(); ++it) {
        const VatSplit held = splitVat(it.value().gross.rounded(2), it.key());
        const Decimal net = it.value().net.rounded(2);
        const Decimal added = (net * it.key()).divided(100, 2);
        s.base += held.net + net;
        s.vat += held.vat + added;
    }
    s.due = s.base + s.vat;
    return s;
}

// Serial numbers.

std::optional<QString> DeliveryDraft::addSerial(const DeliverySerial& serial) {
    const QString sn = serial.serial.trimmed();
    if (sn.isEmpty())
        return texts::kEnterSerial;
    const std::optional<DeliveryLine> l = line(serial.article);
    if (!l)
        return texts::kSerialNeedsLine;
    if (sn.size() > kSerialWidth || serial.model.size() > kSerialModelWidth ||
        serial.batch.size() > kSerialModelWidth)
        return texts::kSerialTooLong.arg(kSerialModelWidth).arg(kSerialWidth);
    if (scalarSql(db_,
                  QStringLiteral("SELECT 1 FROM %1 WHERE Nomer_Produkt = ? AND Serial_ID = ?")
                      .arg(serials_.table()),
                  {serial.article, sn})
            .isValid())
        return texts::kSerialTwice.arg(sn);
    if (scalarSql(db_, QStringLiteral("SELECT 1 FROM Serials WHERE ID = ? AND Serial_ID = ?"),
                  {serial.article, sn})
            .isValid())
        return texts::kSerialRegistered.arg(sn, refText(l->article, l->description));
    const int already = int(serials(serial.article).size());
    if (Decimal(already + 1) > l->quantity)
        return texts::kSerialsAboveQuantity.arg(l->quantity.toString());
    const qint64 key =
        scalarSql(db_, QStringLiteral("SELECT MAX(Serial_Key) FROM %1").arg(serials_.table()), {}, 0)
            .toLongLong() +
        1;
    execSql(db_,
            QStringLiteral("INSERT INTO %1 (Serial_Key, Nomer_Produkt, Serial_ID, Model, Partida, Data) "
                           "VALUES (?, ?, ?, ?, ?, ?)")
                .arg(serials_.table()),
            {key, serial.article, sn, serial.model.trimmed(), serial.batch.trimmed(),
             serial.validUntil.isValid() ? QVariant(isoDate(serial.validUntil))
                                         : QVariant(QMetaType::fromType<QString>())});
    return std::nullopt;
}

int DeliveryDraft::removeSerials(const QList<qint64>& keys) {
    int removed = 0;
    for (qint64 k : keys) {
        QSqlQuery q =
            execSql(db_, QStringLiteral("DELETE FROM %1 WHERE Serial_Key = ?").arg(serials_.table()), {k});
        removed += qMax(0, q.numRowsAffected());
    }
    return removed;
}

QList<DeliverySerial> DeliveryDraft::serials(qint64 article) const {
    const SqlRows rows =
        readRows(db_,
                 QStringLiteral("SELECT Serial_Key, Nomer_Produkt, Serial_ID, Model, Partida, Data FROM %1 "
                                "WHERE Nomer_Produkt = ? ORDER BY Serial_Key")
                     .arg(serials_.table()),
                 {article});
    QList<DeliverySerial> out;
    for (const QVariantList& r : rows.rows)
        out << DeliverySerial{r[0].toLongLong(), r[1].toLongLong(),
                              r[2].toString(),   r[3].toString(),
                              r[4].toString(),   QDate::fromString(r[5].toString(), Qt::ISODate)};
    return out;
}

int DeliveryDraft::serialCount() const {
    return int(
        scalarSql(db_, QStringLiteral("SELECT COUNT(*) FROM %1").arg(serials_.table()), {}, 0).toLongLong());
}

SqlStatement DeliveryDraft::serialsStatement(qint64 article) const {
    return {
        QStringLiteral("SELECT Serial_Key, Serial_ID, Model, Partida, Data FROM %1 WHERE Nomer_Produkt = ?"
                       "\nORDER BY Serial_Key")
            .arg(serials_.table()),
        {article},
        QStringLiteral("Serial_Key")};
}

// Saving.

DeliverySaveResult DeliveryDraft::save(const DeliveryHeader& h, const VatRates& rates,
                                       const DeliverySaveOptions& options) {
    const auto refused = [](const QString& message) {
        DeliverySaveResult r;
        r.status = DeliverySaveResult::Refused;
        r.message = message;
        return r;
    };
    if (h.documentNumber.size() > kDocumentNumberWidth)
        return refused(texts::kDocumentNumberTooLong.arg(kDocumentNumberWidth));
    if (h.paidBank.sign() < 0 || h.notPaid.sign() < 0)
        return refused(texts::kPaymentNotANumber);

    Transaction t(db_);
    if (!rowExists(db_, QStringLiteral("SELECT 1 FROM Firmi WHERE ID = ?"), h.supplier) ||
        !rowExists(db_, QStringLiteral("SELECT 1 FROM Rab_Dokumenti WHERE ID = ?"), h.documentKind))
        return refused(texts::kIncompleteSupplier);
    if (!rowExists(db_, QStringLiteral("SELECT 1 FROM Sklad WHERE ID_Sklad = ?"), h.warehouse))
        return refused(texts::kChooseDeliveryWarehouse);
    const QList<DeliveryLine> all = lines();
    QList<DeliveryLine> saved;
    for (const DeliveryLine& l : all)
        if (!l.quantity.isZero())
            saved << l;
    if (saved.isEmpty())
        return refused(texts::kEmptyDelivery);
    const DeliverySums s = sums(rates);
    if (!s.unknownCurrencies.isEmpty())
        return refused(texts::kUnknownCurrency.arg(s.unknownCurrencies.front()));
    if (saved.size() < all.size() && !options.withoutEmptyLines) {
        DeliverySaveResult r;
        r.status = DeliverySaveResult::AskEmptyLines;
        r.emptyLines = int(all.size() - saved.size());
        return r;
    }
    if (h.paidBank + h.notPaid > s.due)
        return refused(texts::kPaymentsAboveDue.arg(format42(h.paidBank + h.notPaid), format42(s.due)));

    // The number is taken first: it keeps other workstations from recording
    // a delivery until this one ends, so the check of the document below
    // still holds when it is written.
    const qint64 id = nextKey(db_, QStringLiteral("Dostavki"), QStringLiteral("ID"));
    const QString number = h.documentNumber.trimmed();
    if (!number.isEmpty() && !options.repeatedDocument) {
        const QVariant earlier = scalarSql(
            db_,
            QStringLiteral("SELECT MIN(ID) FROM Dostavki WHERE Nomer_Dostav4ik = ? AND Vid_Dokument = ? AND "
                           "Nomer_Dokument = ?"),
            {h.supplier, h.documentKind, number});
        if (!earlier.isNull() && earlier.isValid()) {
            DeliverySaveResult r;
            r.status = DeliverySaveResult::AskRepeatedDocument;
            r.id = earlier.toLongLong();
            return r;
        }
    }

    const Decimal cash = s.paidCash(h.paidBank, h.notPaid);
    execSql(db_,
            QStringLiteral(
                "INSERT INTO Dostavki (ID, Data_Dostavka, Time_Dostavka, Nomer_Dostav4ik, Vid_Dokument, "
                "Data_Dokument, Nomer_Dokument, Zabel, ID_Sklad, Pay_Cach, Pay_Bank, Pay_Not) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, isoDate(h.delivered.date()), shortTime(h.delivered.time()), h.supplier, h.documentKind,
             h.documentDate.isValid() ? QVariant(isoDate(h.documentDate))
                                      : QVariant(QMetaType::fromType<QString>()),
             number, h.note.left(kDeliveryNoteWidth), h.warehouse, numberColumnValue(cash.rounded(2)),
             numberColumnValue(h.paidBank.rounded(2)), numberColumnValue(h.notPaid.rounded(2))});
    for (const DeliveryLine& l : saved) {
        QSqlQuery updated = execSql(
            db_,
            QStringLiteral("UPDATE Produkti SET Ed_Cena = ?, Valuta_P = ?, Mqrka = ?, Dostavna_Cena = ?, "
                           "Valuta_D = ?, Dostav4ik = ?, DDS = ? WHERE ID = ?"),
            {numberColumnValue(l.sellingPrice.rounded(kDeliveryPriceDecimals)), l.sellingCurrency, l.unit,
             numberColumnValue(l.deliveryPrice.rounded(kDeliveryPriceDecimals)), l.deliveryCurrency,
             h.supplier, boolText(l.vatIncluded), l.article});
        if (updated.numRowsAffected() < 1)
            return refused(texts::kArticleGone.arg(refText(l.article, l.description)));
        execSql(
            db_,
            QStringLiteral("INSERT INTO Dostavka_Art (ID_Dostavka, Nomer_Produkt, Dostavna_Cena, Valuta_D, "
                           "Prodajna_Cena, Valuta_P, Kolitchestvo, Mqrka) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, l.article, numberColumnValue(l.deliveryPrice.rounded(kDeliveryPriceDecimals)),
             l.deliveryCurrency, numberColumnValue(l.sellingPrice.rounded(kDeliveryPriceDecimals)),
             l.sellingCurrency, numberColumnValue(l.quantity), l.unit});
        GET_NALI4NOST(db_, l.article, h.warehouse, kAddStock, l.quantity);
    }

    // The serial numbers received, under one supplier warranty document.
    const SqlRows serialRows = readRows(
        db_, QStringLiteral(
                 "SELECT s.Nomer_Produkt, s.Model, s.Partida, s.Serial_ID, s.Data, d.Opisanie FROM %1 s, "
                 "%2 d WHERE d.Nomer_Produkt = s.Nomer_Produkt AND d.Kolitchestvo > 0 "
                 "ORDER BY s.Serial_Key")
                 .arg(serials_.table(), table()));
    if (!serialRows.rows.isEmpty()) {
        lockTableForWriting(db_, QStringLiteral("Serials"));
        const qint64 card = nextKey(db_, QStringLiteral("Garancia_dostavtchik"), QStringLiteral("ID"));
        execSql(
            db_,
            QStringLiteral("INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {card, h.supplier, h.documentKind, number,
             h.documentDate.isValid() ? QVariant(isoDate(h.documentDate))
                                      : QVariant(QMetaType::fromType<QString>()),
             h.note.left(kDeliveryNoteWidth)});
        QSet<qint64> marked;
        for (const QVariantList& r : serialRows.rows) {
            const qint64 article = r[0].toLongLong();
            if (scalarSql(db_, QStringLiteral("SELECT 1 FROM Serials WHERE ID = ? AND Serial_ID = ?"),
                          {article, r[3]})
                    .isValid())
                return refused(
                    texts::kSerialRegistered.arg(r[3].toString(), refText(article, r[5].toString())));
            execSql(db_,
                    QStringLiteral("INSERT INTO Serials (ID_Karta, ID, Model, Partida, Serial_ID, Data) "
                                   "VALUES (?, ?, ?, ?, ?, ?)"),
                    {card, article, r[1], r[2], r[3], r[4]});
            if (!marked.contains(article)) {
                marked.insert(article);
                execSql(db_, QStringLiteral("UPDATE Produkti SET Garancionen = 'True' WHERE ID = ?"),
                        {article});
            }
        }
    }
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(table()));
    execScriptStatement(db_, QStringLiteral("DELETE FROM %1").arg(serials_.table()));
    t.commit();
    DeliverySaveResult r;
    r.id = id;
    return r;
}

// ---- Import and export ----

DeliveryImport importDeliveryLines(DeliveryDraft& draft, const QString& path, const QString& deliveryCurrency,
                                   const QString& sellingCurrency) {
    struct Imported {
        Decimal quantity;
        std::optional<Decimal> deliveryPrice;
        std::optional<Decimal> sellingPrice;
    };
    NumberedFieldFile file(path);
    DeliveryImport result;
    QList<qint64> order;
    QHash<qint64, Imported> found;
    QHash<qint64, DeliveryArticle> articles;
    while (const std::optional<QString> text = file.nextLine()) {
        if (text->trimmed().isEmpty())
            continue;
        const qint64 n = file.lineNumber();
        const NumberedFields f = GET_IMPORTED_DATA(*text);
        if (f.unterminated()) {
            result.refused << texts::kLineUnterminated.arg(n).arg(f.unterminatedField());
            continue;
        }
        const QString articleText = f.value(1).trimmed();
        bool ok = false;
        const qint64 id = articleText.toLongLong(&ok);
        std::optional<DeliveryArticle> a;
        if (ok) {
            if (articles.contains(id))
                a = articles.value(id);
            else if ((a = deliveryArticle(draft.database(), id)))
                articles.insert(id, *a);
        }
        if (!a) {
            result.refused << texts::kImportNoArticle.arg(n).arg(articleText);
            continue;
        }
        const std::optional<Decimal> q = Decimal::parse(f.value(2));
        if (!q || q->sign() <= 0 || *q > kMaxImportedNumber) {
            result.refused << texts::kImportBadQuantity.arg(n).arg(f.value(2));
            continue;
        }
        Imported line;
        line.quantity = *q;
        bool pricesOk = true;
        for (int field : {3, 4}) {
            if (!f.has(field))
                continue;
            const std::optional<Decimal> p = Decimal::parse(f.value(field));
            if (!p || p->sign() < 0 || *p > kMaxImportedNumber) {
                result.refused << texts::kImportBadPrice.arg(n).arg(f.value(field));
                pricesOk = false;
                break;
            }
            (field == 3 ? line.deliveryPrice : line.sellingPrice) = *p;
        }
        if (!pricesOk)
            continue;
        auto it = found.find(id);
        if (it != found.end() && it->quantity + line.quantity > kMaxImportedNumber) {
            result.refused << texts::kImportBadQuantity.arg(n).arg(f.value(2));
            continue;
        }
        if (it == found.end()) {
            order << id;
            found.insert(id, line);
        } else {
            it->quantity += line.quantity;
            if (line.deliveryPrice)
                it->deliveryPrice = line.deliveryPrice;
            if (line.sellingPrice)
                it->sellingPrice = line.sellingPrice;
        }
    }
    if (!result.refused.isEmpty())
        return result;
    Transaction t(draft.database());
    for (qint64 id : order) {
        const Imported& in = found[id];
        const DeliveryArticle& a = articles[id];
        if (std::optional<DeliveryLine> old = draft.line(id)) {
            old->quantity += in.quantity;
            if (in.deliveryPrice) {
                old->deliveryPrice = *in.deliveryPrice;
                old->deliveryCurrency = deliveryCurrency;
            }
            if (in.sellingPrice) {
                old->sellingPrice = *in.sellingPrice;
                old->sellingCurrency = sellingCurrency;
            }
            if (const auto refusal = draft.replace(id, *old))
                throw EConvertError(*refusal);
            ++result.changed;
            continue;
        }
        DeliveryLine l;
        l.article = id;
        l.quantity = in.quantity;
        l.deliveryPrice = in.deliveryPrice.value_or(Decimal(0));
        l.deliveryCurrency = deliveryCurrency;
        l.sellingPrice = in.sellingPrice.value_or(a.sellingPrice);
        l.sellingCurrency = in.sellingPrice ? sellingCurrency : a.sellingCurrency;
        l.unit = a.unit;
        l.vatIncluded = a.vatIncluded;
        if (const auto refusal = draft.add(l))
            throw EConvertError(*refusal);
        ++result.added;
    }
    t.commit();
    return result;
}

void exportDeliveryLines(const DeliveryDraft& draft, const QString& path) {
    QByteArray bytes;
    for (const DeliveryLine& l : draft.lines())
        bytes += numberedFieldFileLine(numberedFieldLine({{1, QString::number(l.article)},
                                                          {2, l.quantity.toString()},
                                                          {3, l.deliveryPrice.toString()},
                                                          {4, l.sellingPrice.toString()}}));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(path, f.errorString()));
}

// ---- Print ----

QStringList deliveryPrintHeading(const DeliveryPrintHeading& h) {
    return {QString(),
            texts::kDeliveryPrintTitle,
            u'\t' + shortDate(h.now.date()) + u' ' + shortTime(h.now.time()),
            QString(),
            texts::kDeliveryPrintDelivered.arg(shortDate(h.delivered.date()), shortTime(h.delivered.time())),
            texts::kDeliveryPrintSupplier + h.supplier,
            texts::kDeliveryPrintDocument + h.documentKind,
            texts::kDeliveryPrintDocumentNumber.arg(h.documentNumber, shortDate(h.documentDate)),
            texts::kDeliveryPrintWarehouse + h.warehouse,
            texts::kDeliveryPrintNote + h.note};
}

QStringList deliveryPrintTotals(const Decimal& due, const Decimal& paidCash, const Decimal& paidBank,
                                const Decimal& notPaid) {
    return {QString(),
            QString(),
            texts::kDeliveryPrintDue + format42(due),
            texts::kDeliveryPrintCash + format42(paidCash),
            texts::kDeliveryPrintBank + format42(paidBank),
            texts::kDeliveryPrintNotPaid + format42(notPaid)};
}

// ---- The report ----

SqlStatement deliveryReportStatement(const DeliveryReportFilter& f) {
    QString where;
    QVariantList values;
    if (f.supplier) {
        where += QStringLiteral(" AND Dostavki.Nomer_Dostav4ik = ?");
        values << *f.supplier;
    }
    if (f.documentKind) {
        where += QStringLiteral(" AND Dostavki.Vid_Dokument = ?");
        values << *f.documentKind;
    }
    if (f.documentNumber) {
        where += QStringLiteral(" AND UPPER(Dostavki.Nomer_Dokument) LIKE ? ESCAPE '\\'");
        values << likeContains(f.documentNumber->toUpper());
    }
    if (f.documentDate)
        where += dateCondition(QStringLiteral("Dostavki.Data_Dokument"), *f.documentDate, values);
    if (f.enteredDate)
        where += dateCondition(QStringLiteral("Dostavki.Data_Dostavka"), *f.enteredDate, values);
    if (f.articles) {
        if (f.articles->isEmpty()) {
            where += QStringLiteral(" AND 1 = 0");
        } else {
            where += QStringLiteral(" AND Dostavki.ID IN (SELECT Dostavka_Art.ID_Dostavka FROM Dostavka_Art "
                                    "WHERE Dostavka_Art.Nomer_Produkt IN (%1))")
                         .arg(marks(f.articles->size()));
            for (qint64 a : *f.articles)
                values << a;
        }
    }
    if (f.warehouse) {
        where += QStringLiteral(" AND Dostavki.ID_Sklad = ?");
        values << *f.warehouse;
    }
    return {
        QStringLiteral("SELECT Dostavki.ID AS ID, Dostavki.Data_Dostavka AS Data_Dostavka, "
                       "Dostavki.Time_Dostavka AS Time_Dostavka, Dostavki.Vid_Dokument AS Vid_Dokument, "
                       "Dostavki.Data_Dokument AS Data_Dokument, Dostavki.Nomer_Dokument AS Nomer_Dokument, "
                       "Dostavki.Pay_Cach AS Pay_Cach, Dostavki.Pay_Bank AS Pay_Bank, Dostavki.Pay_Not AS "
                       "Pay_Not, Firmi.Ime_Firma AS Ime_Firma, Rab_Dokumenti.Opisanie AS Dok_Name, "
                       "Sklad.Opis_Sklad AS Opis_Sklad FROM Dostavki "
                       "LEFT JOIN Firmi ON Firmi.ID = Dostavki.Nomer_Dostav4ik "
                       "LEFT JOIN Rab_Dokumenti ON Rab_Dokumenti.ID = Dostavki.Vid_Dokument "
                       "LEFT JOIN Sklad ON Sklad.ID_Sklad = Dostavki.ID_Sklad WHERE 1 = 1%1\nORDER BY ID")
            .arg(where),
        values, QStringLiteral("ID")};
}

std::optional<DeliveryRecord> loadDelivery(const QSqlDatabase& db, qint64 id) {
    const SqlRows rows = readRows(
        db,
        QStringLiteral(
            "SELECT Dostavki.ID, Dostavki.Data_Dostavka, Dostavki.Time_Dostavka, Dostavki.Nomer_Dostav4ik, "
            "Firmi.Ime_Firma, Dostavki.Vid_Dokument, Rab_Dokumenti.Opisanie, Dostavki.Data_Dokument, "
            "Dostavki.Nomer_Dokument, Dostavki.Zabel, Dostavki.ID_Sklad, Sklad.Opis_Sklad, "
            "Dostavki.Pay_Cach, Dostavki.Pay_Bank, Dostavki.Pay_Not FROM Dostavki "
            "LEFT JOIN Firmi ON Firmi.ID = Dostavki.Nomer_Dostav4ik "
            "LEFT JOIN Rab_Dokumenti ON Rab_Dokumenti.ID = Dostavki.Vid_Dokument "
            "LEFT JOIN Sklad ON Sklad.ID_Sklad = Dostavki.ID_Sklad WHERE Dostavki.ID = ?"),
        {id});
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rows.rows.front();
    DeliveryRecord d;
    d.id = r[0].toLongLong();
    d.delivered = QDate::fromString(r[1].toString(), Qt::ISODate);
    d.time = r[2].toString();
    d.supplier = r[3].toLongLong();
    d.supplierName = r[4].toString();
    d.documentKind = r[5].toLongLong();
    d.documentKindName = r[6].toString();
    d.documentDate = QDate::fromString(r[7].toString(), Qt::ISODate);
    d.documentNumber = r[8].toString();
    d.note = r[9].toString();
    d.warehouse = r[10].toLongLong();
    d.warehouseName = r[11].toString();
    d.paidCash = fromNumberColumn(r[12], 2);
    d.paidBank = fromNumberColumn(r[13], 2);
    d.notPaid = fromNumberColumn(r[14], 2);
    const SqlRows lines = readRows(
        db,
        QStringLiteral(
            "SELECT Dostavka_Art.Dostavna_Cena, Dostavka_Art.Prodajna_Cena, Dostavka_Art.Kolitchestvo, "
            "vd.Kurs, vp.Kurs FROM Dostavka_Art LEFT JOIN Valuti vd ON vd.Opisanie = Dostavka_Art.Valuta_D "
            "LEFT JOIN Valuti vp ON vp.Opisanie = Dostavka_Art.Valuta_P WHERE Dostavka_Art.ID_Dostavka = ?"),
        {id});
    Decimal delivery;
    Decimal selling;
    for (const QVariantList& l : lines.rows) {
        const Decimal q = quantity(l[2]);
        delivery += (price(l[0]) * q).rounded(kRateDecimals) * fromNumberColumn(l[3], kRateDecimals);
        selling += (price(l[1]) * q).rounded(kRateDecimals) * fromNumberColumn(l[4], kRateDecimals);
    }
    d.deliveryTotal = delivery.rounded(2);
    d.sellingTotal = selling.rounded(2);
    return d;
}

SqlStatement deliveryLinesStatement(qint64 id) {
    return {
        QStringLiteral("SELECT Dostavka_Art.Nomer_Produkt AS Nomer_Produkt, Produkti.Opisanie AS Opisanie, "
                       "Dostavka_Art.Kolitchestvo AS Kolitchestvo, Dostavka_Art.Mqrka AS Mqrka, "
                       "Dostavka_Art.Dostavna_Cena AS Dostavna_Cena, Dostavka_Art.Valuta_D AS Valuta_D, "
                       "Dostavka_Art.Dostavna_Cena * Dostavka_Art.Kolitchestvo * vd.Kurs AS Suma_Dost, "
                       "Dostavka_Art.Prodajna_Cena AS Prodajna_Cena, Dostavka_Art.Valuta_P AS Valuta_P, "
                       "Dostavka_Art.Prodajna_Cena * Dostavka_Art.Kolitchestvo * vp.Kurs AS Suma_Prod "
                       "FROM Dostavka_Art LEFT JOIN Produkti ON Produkti.ID = Dostavka_Art.Nomer_Produkt "
                       "LEFT JOIN Valuti vd ON vd.Opisanie = Dostavka_Art.Valuta_D "
                       "LEFT JOIN Valuti vp ON vp.Opisanie = Dostavka_Art.Valuta_P "
                       "WHERE Dostavka_Art.ID_Dostavka = ?\nORDER BY Nomer_Produkt"),
        {id},
        QStringLiteral("Nomer_Produkt")};
}

QStringList deliveryReportHeading(const QDateTime& now) {
    return {QString(), texts::kDeliveryReportTitle, QString(),
            texts::kDeliveryReportDate + shortDate(now.date()) + u' ' + shortTime(now.time())};
}

QStringList deliveryRecordLines(const DeliveryRecord& d) {
    return {QString(),
            texts::kDeliveryRecordTitle.arg(d.id).arg(shortDate(d.delivered) + u' ' + d.time),
            texts::kDeliveryPrintSupplier + refText(d.supplier, d.supplierName),
            texts::kDeliveryPrintDocument + refText(d.documentKind, d.documentKindName),
            texts::kDeliveryPrintDocumentNumber.arg(d.documentNumber, shortDate(d.documentDate)),
            texts::kDeliveryPrintWarehouse + refText(d.warehouse, d.warehouseName),
            texts::kDeliveryPrintNote + d.note,
            texts::kDeliveryRecordTotal + format42(d.deliveryTotal),
            texts::kDeliveryPrintCash + format42(d.paidCash),
            texts::kDeliveryPrintBank + format42(d.paidBank),
            texts::kDeliveryPrintNotPaid + format42(d.notPaid)};
}

} // namespace torvika
