#pragma once
// Deliveries: goods received from a supplier against one of the supplier's
// documents. The delivery being entered is this workstation's own: its
// lines (one per article) and the serial numbers received with them live in
// temporary tables of the connection, which no other workstation sees.
// Saving records the delivery and its lines (Dostavki, Dostavka_Art),
// raises the stock of the chosen warehouse through GET_NALI4NOST, carries
// the prices, unit, VAT mark and supplier of every line back into the
// catalogue, and registers the serial numbers under a supplier warranty
// document (Garancia_dostavtchik, Serials), all in one transaction: the
// whole delivery or nothing.
//
// Amounts carry their currency by name (Valuti.Opisanie) and are converted
// to the base currency with its rate (Kurs).

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/vat.h"
#include "common/working_table.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

namespace torvika {

// ---- The supplier and the article ----

// The counterparties the supplier field finds, as reference texts
// "<ID>:<Ime_Firma>" by name: "+<n>" those whose VAT number (Dan_N)
// contains n, "-<n>" those whose EIK contains n, "!<n>" the one with number
// n, a text beginning with a blank every counterparty, any other text those
// whose name contains it in any letter case. The row 0 ("no counterparty")
// is never offered. At most kSupplierListLimit are listed.
inline constexpr int kSupplierListLimit = 500;
QStringList deliverySuppliers(const QSqlDatabase& db, const QString& text);

// The kinds of supplier documents as reference texts "<ID>:<Opisanie>" of
// Rab_Dokumenti, by number.
QStringList deliveryDocumentKinds(const QSqlDatabase& db);

// What the article line takes from the catalogue.
struct DeliveryArticle {
    qint64 id = 0;
    QString description;
    Decimal sellingPrice; // Ed_Cena
    QString sellingCurrency;
    Decimal deliveryPrice; // the last delivery price
    QString deliveryCurrency;
    QString unit;
    bool vatIncluded = false; // DDS
    bool warranty = false;    // Garancionen
    int taxGroup = kStandardTaxGroup;
};
std::optional<DeliveryArticle> deliveryArticle(const QSqlDatabase& db, qint64 id);
// The article the article field names: its number ("а."), or the supplier's
// own number of it ("н.", Nomenklatures of that supplier only). None when
// there is no such article.
std::optional<DeliveryArticle> findDeliveryArticle(const QSqlDatabase& db, const QString& typed,
                                                   bool bySupplierNumber, qint64 supplier);

// ---- Prices ----

// The decimals of the prices a markup, a discount, the VAT mark or the
// conversion computes.
inline constexpr int kDeliveryPriceDecimals = 4;
// A typed price, markup or discount ("," or "." alike; blank is 0); none
// when the text is no number.
std::optional<Decimal> typedDeliveryNumber(const QString& text);
// (selling - delivery) / delivery * 100; none when the delivery price is 0.
std::optional<Decimal> markupPercent(const Decimal& deliveryPrice, const Decimal& sellingPrice);
// delivery + delivery * markup / 100; none when that is below 0.
std::optional<Decimal> priceWithMarkup(const Decimal& deliveryPrice, const Decimal& markup);
// The supplier's discount off the selling price: selling - selling *
// discount / 100; none when that is below 0.
std::optional<Decimal> priceAfterDiscount(const Decimal& sellingPrice, const Decimal& discount);
// The price with VAT added (include) or taken out, at the rate in percent.
Decimal priceWithVat(const Decimal& price, const Decimal& ratePercent, bool include);
// The price in the base currency at the rate of its currency.
Decimal priceInBaseCurrency(const Decimal& price, const Decimal& rate);
// The base currency (Osn), for the conversion; empty when none is marked.
QString baseCurrencyName(const QSqlDatabase& db);
// The rate of the currency; none when Valuti has no such currency.
std::optional<Decimal> currencyRate(const QSqlDatabase& db, const QString& currency);

// ---- The delivery being entered ----

struct DeliveryLine {
    qint64 article = 0;
    QString description; // filled from the catalogue when the line is written
    Decimal deliveryPrice;
    QString deliveryCurrency;
    Decimal sellingPrice;
    QString sellingCurrency;
    Decimal quantity;
    QString unit;
    bool vatIncluded = false; // the prices include VAT ("Вкл. ДДС")
};

// A serial number received with a line's article.
struct DeliverySerial {
    qint64 key = 0; // its number in the delivery
    qint64 article = 0;
    QString serial;
    QString model;
    QString batch;
    QDate validUntil; // the supplier's warranty
};

// The widest texts kept: the supplier's document number, a unit, a serial
// number, a model or batch, a note.
inline constexpr int kDocumentNumberWidth = 12;
inline constexpr int kDeliveryUnitWidth = 20;
inline constexpr int kSerialWidth = 250;
inline constexpr int kSerialModelWidth = 100;
inline constexpr int kDeliveryNoteWidth = 255;

// The totals of the lines, in the base currency.
struct DeliverySums {
    Decimal total; // delivery price x quantity x rate over every line
    Decimal base;  // the tax base
    Decimal vat;
    Decimal due; // base + VAT: lines without the VAT mark get it added
    // Currencies of lines that Valuti no longer has: those lines are in no
    // figure above, and the delivery cannot be saved.
    QStringList unknownCurrencies;
    // What is left to pay in cash after the bank payment and the unpaid part.
    Decimal paidCash(const Decimal& paidBank, const Decimal& notPaid) const {
        return due - paidBank - notPaid;
    }
};

struct DeliveryHeader {
    qint64 supplier = -1;     // Firmi.ID
    qint64 documentKind = -1; // Rab_Dokumenti.ID
    QString documentNumber;
    QDate documentDate;
    QDateTime delivered; // the date and time of the delivery
    QString note;
    qint64 warehouse = -1; // Sklad.ID_Sklad
    Decimal paidBank;
    Decimal notPaid;
};

struct DeliverySaveOptions {
    // The operator agreed to leave out the lines of quantity 0.
    bool withoutEmptyLines = false;
    // The operator agreed to record a second delivery of the same supplier
    // document.
    bool repeatedDocument = false;
};

struct DeliverySaveResult {
    enum Status {
        Saved,
        Refused,            // message says why; nothing written
        AskEmptyLines,      // emptyLines lines have quantity 0
        AskRepeatedDocument // the supplier's document is recorded already (as delivery `id`)
    } status = Saved;
    qint64 id = 0; // the delivery's number (Saved), the earlier delivery (AskRepeatedDocument)
    QString message;
    int emptyLines = 0;
};

class DeliveryDraft {
public:
    // Empty working tables. Throws EDatabaseError.
    explicit DeliveryDraft(const QSqlDatabase& db);
    ~DeliveryDraft();
    DeliveryDraft(const DeliveryDraft&) = delete;
    DeliveryDraft& operator=(const DeliveryDraft&) = delete;

    const QSqlDatabase& database() const { return db_; }
    // The working lines' table (for statements of this connection).
    const QString& table() const { return lines_.table(); }

    // The number a delivery saved now would get (MAX + 1), for showing;
    // the saved delivery takes its number when it is written.
    qint64 proposedNumber() const;

    // Adds a line. Refused (the message; nothing written): no such article,
    // a line for it already, a quantity below 0, a price below 0, a missing
    // currency or one Valuti does not have, a unit too long.
    std::optional<QString> add(const DeliveryLine& line);
    // Gives the article's line new values (its article stays). Refused as
    // add, and when the line is gone or the quantity falls below the serial
    // numbers entered for it.
    std::optional<QString> replace(qint64 article, const DeliveryLine& line);
    // Takes the articles' lines and their serial numbers out; returns the
    // lines removed.
    int remove(const QList<qint64>& articles);
    // Empties the delivery.
    void clear();
    // Adds a line for every article of the group that has none yet:
    // delivery price 0 in the article's currency, its selling price, unit
    // and VAT mark, quantity 0. Returns the lines added.
    int addGroup(qint64 group);

    std::optional<DeliveryLine> line(qint64 article) const;
    QList<DeliveryLine> lines() const;
    int count() const;
    bool isEmpty() const { return count() == 0; }

    // The grid: Nomer_Produkt, Opisanie, Dostavna_Cena, Valuta_D,
    // Kolitchestvo, Mqrka, Suma_D (the line in the base currency; empty when
    // its currency is unknown, the line still listed), Prodajna_Cena,
    // Valuta_P, Have_DDS; by article, key Nomer_Produkt.
    SqlStatement linesStatement() const;

    // The totals at the rates of the lines' tax groups: a line with the VAT
    // mark holds its VAT, a line without gets it added. Throws EDatabaseError.
    DeliverySums sums(const VatRates& rates) const;

    // Serial numbers. Refused (the message): an empty serial number, an
    // article without a line, a serial number of the article entered twice
    // or registered already, more serial numbers than the line's quantity.
    std::optional<QString> addSerial(const DeliverySerial& serial);
    int removeSerials(const QList<qint64>& keys);
    QList<DeliverySerial> serials(qint64 article) const;
    int serialCount() const;
    // Serial_Key, Serial_ID, Model, Partida, Data of the article's serial
    // numbers, in the order entered; key Serial_Key.
    SqlStatement serialsStatement(qint64 article) const;

    // Records the delivery (see the top of this file) and empties the
    // working tables. Refused, nothing written: no supplier or document kind
    // that exists, no warehouse that exists, a document number too long, no
    // lines, a line in an unknown currency or of an article that is gone,
    // payments above the amount due. Asks (nothing written) about lines of
    // quantity 0 and about a supplier document recorded already, unless the
    // options say the operator agreed. Throws EDatabaseError (nothing
    // written, the working lines kept).
    DeliverySaveResult save(const DeliveryHeader& header, const VatRates& rates,
                            const DeliverySaveOptions& options = {});

private:
    std::optional<QString> checkLine(const DeliveryLine& line) const;
    QVariantList lineValues(const DeliveryLine& line, const QString& description) const;

    QSqlDatabase db_;
    WorkingTable lines_;
    WorkingTable serials_;
};

// ---- Import and export of the working lines ----

// The numbered fields of a delivery line in a file: 1 article, 2 quantity,
// 3 delivery price, 4 selling price.
struct DeliveryImport {
    int added = 0;
    int changed = 0; // lines of articles the delivery had: quantity added, prices replaced
    // "<line number>: <reason>" of the lines refused; when there are any,
    // nothing is imported.
    QStringList refused;
};
// Reads the file into the delivery, all lines or none. A line without
// field 3 has delivery price 0; without field 4 the article's own selling
// price in its currency, otherwise the selling currency given. The delivery
// currency is the one given. Blank lines are skipped. Throws EInOutError,
// EConvertError for a file that is no text.
DeliveryImport importDeliveryLines(DeliveryDraft& draft, const QString& path, const QString& deliveryCurrency,
                                   const QString& sellingCurrency);
// Writes the working lines, one per line in article order (Windows-1251,
// CR LF). Throws EInOutError, EConvertError.
void exportDeliveryLines(const DeliveryDraft& draft, const QString& path);

// ---- The print of the delivery being entered ----

inline const QString kDeliveryPrintFile = QStringLiteral("Доставка");
struct DeliveryPrintHeading {
    QDateTime now;
    QDateTime delivered;
    QString supplier;     // the supplier field
    QString documentKind; // the kind's reference text
    QString documentNumber;
    QDate documentDate;
    QString warehouse; // the warehouse's reference text
    QString note;
};
QStringList deliveryPrintHeading(const DeliveryPrintHeading& h);
// The lines after the grid: the amount due and the payments, "%4.2f".
QStringList deliveryPrintTotals(const Decimal& due, const Decimal& paidCash, const Decimal& paidBank,
                                const Decimal& notPaid);

// ---- The delivery report ----

enum class DateComparison { Equal, AtMost, AtLeast, Between };
inline constexpr std::array<QStringView, 4> dateComparisonCaptions{u"равно", u"по - малко", u"по - голямо",
                                                                   u"между"};
struct DateCondition {
    DateComparison comparison = DateComparison::Equal;
    QDate from;
    QDate to; // "между"
};

struct DeliveryReportFilter {
    std::optional<qint64> supplier;
    std::optional<qint64> documentKind;
    std::optional<QString> documentNumber; // contains, as typed
    std::optional<DateCondition> documentDate;
    std::optional<DateCondition> enteredDate; // the date of the delivery
    std::optional<qint64> warehouse;
    // Deliveries that hold any of the articles.
    std::optional<QList<qint64>> articles;
};
// The deliveries: ID, Data_Dostavka, Time_Dostavka, Vid_Dokument,
// Data_Dokument, Nomer_Dokument, Pay_Cach, Pay_Bank, Pay_Not, Ime_Firma,
// Dok_Name, Opis_Sklad, one row per delivery (also when its supplier,
// document kind or warehouse is gone), by number; key ID. Throws
// EConvertError for a date condition without its dates.
SqlStatement deliveryReportStatement(const DeliveryReportFilter& filter);

// A recorded delivery.
struct DeliveryRecord {
    qint64 id = 0;
    QDate delivered;
    QString time;
    qint64 supplier = 0;
    QString supplierName;
    qint64 documentKind = 0;
    QString documentKindName;
    QDate documentDate;
    QString documentNumber;
    QString note;
    qint64 warehouse = 0;
    QString warehouseName;
    Decimal paidCash;
    Decimal paidBank;
    Decimal notPaid;
    Decimal deliveryTotal; // the lines at the delivery prices, base currency
    Decimal sellingTotal;  // the lines at the selling prices, base currency
};
std::optional<DeliveryRecord> loadDelivery(const QSqlDatabase& db, qint64 id);
// The lines of the delivery: Nomer_Produkt, Opisanie, Kolitchestvo, Mqrka,
// Dostavna_Cena, Valuta_D, Suma_Dost, Prodajna_Cena, Valuta_P, Suma_Prod
// (each amount at the rate of its own currency, empty when the currency is
// unknown); by article, key Nomer_Produkt.
SqlStatement deliveryLinesStatement(qint64 id);

// The report's print: what it holds and the lines before each grid.
enum class DeliveryReportPrint { Documents, Articles, Everything };
inline constexpr std::array<QStringView, 3> deliveryReportPrintCaptions{
    u"Данни за документ", u"Данни за артикули", u"Всичко за документа"};
inline const QString kDeliveryReportFile = QStringLiteral("Spr_Dostavki");
QStringList deliveryReportHeading(const QDateTime& now);
// The delivery above its lines.
QStringList deliveryRecordLines(const DeliveryRecord& d);

} // namespace torvika
