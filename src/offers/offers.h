#pragma once
// Offers to clients: the offer being composed (a working copy of the
// connection), its price correction, the comparison of the alternatives of
// one position (the lines of one marker), the mandatory elements, saving
// the offer with its lines (and, when asked, order lines to suppliers) in
// one transaction, the printed offer's text, and the saved offers' report.
//
// Amounts are exact decimals: a line's price is its catalogue price with
// the correction applied by the formula parser of the price groups, never
// by the database; totals in lev multiply by the rate of the line's
// currency, joined by its exact name.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/working_table.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace torvika {

// ---- The price correction ----

// The operators of "Корекция на Цена 1", in list order.
inline const QStringList kCorrectionSigns{QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                                          QStringLiteral("/")};
// The longest correction kept with a line (Korekt holds sign, blank, value).
inline constexpr int kCorrectionMaxLength = 18;

// A correction checked: the formula applied to a price and the text the
// line keeps ("* 1.2").
struct PriceCorrection {
    QString formula; // over P, the catalogue price: "P*1.2", "P+10%", "P-(2+3)"
    QString text;
    // The corrected price; none with the message when it cannot be computed
    // (division by zero).
    std::variant<Decimal, QString> apply(const Decimal& price) const;
};
// The correction of the sign and the typed value: a number ("1.2", "1,2"),
// a percentage ("10%": with + and - of the price) or a formula of numbers.
// The message of the refusal when the value is none of them.
std::variant<PriceCorrection, QString> priceCorrection(const QString& sign, const QString& value);

// ---- The offer being composed ----

struct OfferLine {
    QString group; // Grup: the supplier's group, or "Арт. N: <ID>"
    QString description;
    Decimal quantity = 1;
    Decimal price; // Cena: corrected
    Decimal price2;
    Decimal price3;
    QString currency;        // a Valuti.Opisanie
    QString supplier;        // Firma: the supplier's name, or "В наличност"
    int marker = 1;          // ID_Mark
    QString correction;      // Korekt
    QString catalogueNumber; // Kat_N
    qint64 article = 0;      // an own article's number, 0 for a supplier's
};

// A catalogue row to add, with its catalogue price 1 not yet corrected.
struct CatalogueRow {
    QString group;
    QString description;
    Decimal price1;
    Decimal price2;
    Decimal price3;
    QString currency;
    QString supplier;
    QString catalogueNumber;
};
// The supplier's articles by Art_CL.ID as the offer takes them. Throws
// EDatabaseError.
QList<CatalogueRow> catalogueRows(const QSqlDatabase& db, const QList<qint64>& articles);

// The comparison of the alternatives of one marker.
struct MarkerComparison {
    int marker = 1;
    int priceColumn = 1;        // 1 to 3: Cena, Cena_2, Cena_3
    Decimal markerSum;          // the marker's lines: Kol x P x Kurs
    std::optional<Decimal> low; // the lowest and highest line of the marker
    std::optional<Decimal> high;
    QSet<qint64> lowLines; // the marker's lines at those sums
    QSet<qint64> highLines;
    Decimal offerSum;              // every line: Kol x Cena x Kurs, the offer's value
    QStringList unknownCurrencies; // currencies without a rate: their lines count nothing
};

// The working copy: a temporary table of the connection with the lines
// (ID, Grup, Opisanie, Kol, Cena, Cena_2, Cena_3, Valuta, Firma, ID_Mark,
// Korekt, Kat_N, Art_ID, and the comparison's Suma and Pe4alba).
class OfferCopy {
public:
    explicit OfferCopy(const QSqlDatabase& db);
    OfferCopy(const OfferCopy&) = delete;
    OfferCopy& operator=(const OfferCopy&) = delete;

    const QString& table() const { return working_.table(); }

    qint64 add(const OfferLine& line);
    int remove(const QList<qint64>& ids);
    void clear();
    QList<OfferLine> lines() const;
    int count() const;
    // The markers that have lines.
    QSet<int> markers() const;

    // Computes the line sums of the price column (1 to 3) and the marker's
    // comparison; writes Suma and Pe4alba of every line. Throws
    // EDatabaseError.
    MarkerComparison compare(int marker, int priceColumn);

    // The grid: ID, ID_Mark, Grup, Kat_N, Opisanie, Suma, Kol, Cena, Valuta,
    // Korekt, Cena_2, Cena_3, Pe4alba, Firma; by ID.
    SqlStatement linesStatement() const;

private:
    QSqlDatabase db_;
    WorkingTable working_;
};

// ---- Mandatory elements ----

struct MandatoryElement {
    qint64 id = 0;
    QString description;
};
QList<MandatoryElement> mandatoryElements(const QSqlDatabase& db);
// Adds the element under a new number, taken in the transaction that
// writes it. Throws EDatabaseError.
MandatoryElement addMandatoryElement(const QSqlDatabase& db, const QString& description);
bool deleteMandatoryElement(const QSqlDatabase& db, qint64 id);
// The elements not covered by a line: the element at position i stands for
// marker i + 1.
QStringList missingMandatoryElements(const QList<MandatoryElement>& elements, const QSet<int>& markers);

// ---- Saving ----

struct OfferSave {
    qint64 counterparty = 0;
    QString counterpartyRef; // "<ID>:<name>", the requester of the orders
    QDate date;
    Decimal advance;
    // The suppliers (Firma) whose lines become order lines; empty: none.
    QSet<QString> orderSuppliers;
};
struct SavedOffer {
    qint64 id = 0;
    int orderLines = 0;
};
// Stores the offer and its lines, and the order lines of the suppliers
// asked for, in one transaction: all of it or nothing. Throws EConvertError
// when the counterparty is none or no longer stored, EDatabaseError when
// the database refuses. An offer without lines is not stored (id 0).
SavedOffer saveOffer(const QSqlDatabase& db, const QList<OfferLine>& lines, const OfferSave& save);

// The advance payment as typed; none when it is no number.
std::optional<Decimal> typedAdvance(const QString& text);

// ---- The printed offer ----

struct CompanyData {
    QString name, manager, address, phone, eik, iban, bic, bank;
};
struct OfferPrint {
    qint64 number = 0; // 0 when only printed
    qint64 counterparty = 0;
    QDate date;
    Decimal total;
    Decimal advance;
    int decimals = 2;
    QString operatorName;
    QString currencyWord = QStringLiteral("лева"); // the base currency's
    CompanyData company;
};
// The lines before the grid rows and those after them (the footer line
// not included). Throws EDatabaseError.
QStringList offerPrintHeading(const QSqlDatabase& db, const OfferPrint& print);
QStringList offerPrintClosing(const OfferPrint& print);

// ---- Saved offers ----

using OfferComparison = ValueComparison;
struct OfferFilter {
    std::optional<qint64> counterparty;
    OfferComparison counterpartyComparison = OfferComparison::Equal;
    std::optional<qint64> counterpartyTo;
    std::optional<qint64> number;
    OfferComparison numberComparison = OfferComparison::Equal;
    std::optional<qint64> numberTo;
    std::optional<QDate> date;
    OfferComparison dateComparison = OfferComparison::Equal;
    std::optional<QDate> dateTo;
};
// ID, ID_Kontrag, Data_Oferta, Pay_Beffor, Ime_Firma; by ID.
SqlStatement savedOffersStatement(const OfferFilter& filter);
// The lines of a saved offer with Suma = Kol x Cena x Kurs: Grup, Kat_N,
// Opisanie, Kol, Cena, Valuta, Suma, Korekt, Cena_2, Cena_3, Dostav4ik.
SqlStatement savedOfferLinesStatement(qint64 offer);
struct StoredOffer {
    qint64 id = 0;
    qint64 counterparty = 0;
    QString counterpartyName;
    QDate date;
    Decimal advance;
    QList<OfferLine> lines;
};
std::optional<StoredOffer> loadOffer(const QSqlDatabase& db, qint64 id);
// The offer's value in lev, and the currencies without a rate.
Decimal offerValue(const QSqlDatabase& db, const QList<OfferLine>& lines,
                   QStringList* unknownCurrencies = nullptr);
// Deletes the offer with its lines in one transaction; false when it was gone.
bool deleteOffer(const QSqlDatabase& db, qint64 id);
// Order lines for the offer's lines of the suppliers given, dated `date`,
// in one transaction; returns how many.
int ordersFromOffer(const QSqlDatabase& db, const StoredOffer& offer, const QSet<QString>& suppliers,
                    const QDate& date);

} // namespace torvika
