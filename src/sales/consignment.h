#pragma once
// Credit instalments and consignment: a sale to a known counterparty paid
// later, in instalments ("отложено плащане"). The sale's lines are tied to a
// consignment (Konsignation) that records the number of instalments, their
// period, an interest rate and an optional first instalment; every payment
// towards an instalment is a Vnoski row and a payment row of Prodajbi
// (article 0, "в брой"); the payment that pays the last instalment off
// closes the consignment and marks its lines paid (Konsign_N -1).
//
// The debt is fixed at the sale, in the base currency and at the rates of
// that day (Konsignation.Suma and Valuta): a later change of a rate does
// not change what is owed. Amounts are exact decimals: the total due is
// (purchase − first instalment) × (1 + interest / 100)^N, taken to four
// decimals as the program always showed it, and the instalments add up to
// it to the stotinka (each is the total / N cut to the stotinka, the last
// takes the remainder). A credit is paid off when the exact amounts are
// paid; each payment also keeps its percentage of the instalment
// (Procent_pay, "%4.2f") as before.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/working_table.h"
#include "sales/receipt_files.h"
#include "sales/sale_lines.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace torvika {

// How the instalments are calculated (Vid_Pay): "равни вноски", "равни
// вноски с първоначална вноска".
enum class InstalmentMethod { Equal = 0, EqualWithFirst = 1 };
// The period of an instalment (Period_Vnosk): "месеци", "дни".
enum class InstalmentPeriod { Months = 0, Days = 1 };

// The bounds of the terms.
inline constexpr int kMinInstalments = 1;
inline constexpr int kMaxInstalments = 100;

// The total due: (purchase − first) × (1 + interest / 100)^count, exactly,
// then rounded to four decimals; count 0 gives purchase − first. 100 with
// 10 % over 2 instalments is 121.0000.
Decimal CALCULATE_KONSIGNACION_SUM(int count, const Decimal& purchase, const Decimal& first,
                                   const Decimal& interest);
// The amount of each instalment: total / count cut to the stotinka, the
// last taking what remains, so that they add up to the total to the
// stotinka.
QList<Decimal> instalmentAmounts(const Decimal& total, int count);
// The day instalment k falls due: k calendar months after the handover (a
// day past the end of the month falls on its last day: 31 January plus one
// month is the last day of February), or k days after it.
QDate instalmentDate(const QDate& handover, InstalmentPeriod period, int k);

// The terms of a credit as the consignment dialog gives them.
struct CreditTerms {
    qint64 counterparty = 0;
    QDate handover; // "Дата отдаване"
    int instalments = 1;
    InstalmentMethod method = InstalmentMethod::Equal;
    InstalmentPeriod period = InstalmentPeriod::Months;
    Decimal first;    // the first instalment (with the second method)
    Decimal interest; // percent per instalment
};

// Why the terms cannot be taken for a purchase of that sum; none when they
// can: a counterparty must be chosen, 1 to 100 instalments, an interest
// of 0 to 100, a first instalment of at least 0 and below the sum.
std::optional<QString> refuseCreditTerms(const CreditTerms& terms, const Decimal& purchase);

// The amounts and dates of the terms for the purchase: what the dialog
// shows and the protocol prints.
struct CreditSchedule {
    Decimal purchase;       // "Сума на покупка:"
    Decimal first;          // the first instalment
    Decimal total;          // "Общо задължение:", the total due after the first instalment
    Decimal instalment;     // "Сума за вноска:", total / count to four decimals
    QList<Decimal> amounts; // each instalment, to the stotinka
    QList<QDate> dates;     // the day each falls due
    QDate payDate;          // "Дата плащане": the day the last falls due
};
CreditSchedule creditSchedule(const CreditTerms& terms, const Decimal& purchase);

// The currency of a credit: the base currency (Valuti.Osn), "BGL" in a
// database without one. Throws EDatabaseError.
QString creditCurrencyName(const QSqlDatabase& db);

// The number the next credit would take (MAX + 1), as the consignment
// dialog shows it; the credit takes its own when it is recorded. Throws
// EDatabaseError.
qint64 proposedCreditNumber(const QSqlDatabase& db);

// A new number for a row of Prodajbi that is no sale line (a payment): taken
// from the sequence that numbers the sale lines, so that it is never a
// line's number. Inside the caller's transaction. Throws EDatabaseError.
qint64 takeSaleLineNumber(const QSqlDatabase& db);

// Writes the consignment of a sale and its first instalment, inside the
// sale's transaction: the Konsignation row (number MAX + 1, "False"), and,
// for a first instalment above 0, its payment row. Returns the number.
// Throws EConvertError for terms refuseCreditTerms refuses, EDatabaseError.
struct CreditRecord {
    qint64 consignment = 0;
    qint64 firstPaymentRow = 0; // 0 without a first instalment
};
struct PaymentRowPlace {
    QString operatorName;
    QDateTime when;
    int terminal = 1;
    int warehouse = 0;
};
CreditRecord recordCredit(const QSqlDatabase& db, const CreditTerms& terms, const Decimal& purchase,
                          const PaymentRowPlace& place);

// ---- the consignment dialog's lines

// The sale lines of a consignment being entered, as the dialog lists them:
// a working table of the connection, made when the dialog opens and
// dropped when it closes. Removing a line takes it out of the credit (it
// stays in the sale list, unsold).
class ConsignmentLines {
public:
    // Throws EDatabaseError.
    ConsignmentLines(const QSqlDatabase& db, const QList<SaleLine>& lines);
    ~ConsignmentLines();

    // N_Prodajba, Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, T_O,
    // Operator, keyed by N_Prodajba, in the order of the sale.
    SqlStatement statement() const;
    // Takes the lines (N_Prodajba) out. Throws EDatabaseError.
    void remove(const QList<qint64>& numbers);
    // The lines left, in the order of the sale.
    QList<SaleLine> lines() const;
    // Their amounts in the base currency.
    Decimal purchase() const;

private:
    QSqlDatabase db_;
    std::unique_ptr<WorkingTable> table_;
    QList<SaleLine> lines_;
};

// ---- the instalments window

// The counterparty's open credits (not paid off), by number.
QList<qint64> openCredits(const QSqlDatabase& db, qint64 counterparty);

// A credit as the instalments window shows it.
struct CreditState {
    qint64 id = 0;
    qint64 counterparty = 0;
    int count = 0;          // Broj_Vnosk
    Decimal interest;       // Lihva
    Decimal first;          // First_Vnosk
    Decimal purchase;       // "Общо сума на покупка:"
    Decimal total;          // "Общо дължима сума :"
    Decimal instalment;     // "Сума за вноска:" (total / count, four decimals)
    QList<Decimal> amounts; // each instalment to the stotinka
    QString currency;
    QDate handover;
    InstalmentPeriod period = InstalmentPeriod::Months;
    bool paidOff = false;
    int current = 1;       // "Номер вноска:", count + 1 once all are paid
    Decimal paidOfCurrent; // paid so far towards the current instalment
    Decimal due;           // "Сума за доплащане:", what the current instalment still lacks
};
// None when there is no such credit. Throws EDatabaseError.
std::optional<CreditState> loadCredit(const QSqlDatabase& db, qint64 credit);

// The sale lines of the credit: ID_Art, Opisanie, Kol, ED_Cena, Valuta,
// T_O, Operator, keyed by ID_Prodajba.
SqlStatement creditLinesStatement(qint64 credit);

// A payment towards the current instalment, as the window saw it.
struct InstalmentPayment {
    qint64 credit = 0;
    int instalment = 0;             // the current instalment shown
    Decimal due;                    // what it lacked as shown
    std::optional<Decimal> partial; // a partial payment's amount; none pays the instalment in full
    PaymentRowPlace place;
};

struct PaymentResult {
    enum Status {
        Paid,
        Changed, // paid or closed on another workstation meanwhile: nothing written
    } status = Paid;
    int instalment = 0;
    Decimal amount;
    Decimal percent; // of the instalment, as Vnoski keeps it
    qint64 paymentRow = 0;
    bool paidOff = false; // the credit is closed by this payment
    Decimal remaining;    // what the instalment still lacks after it
};
// Records the payment in one transaction: the credit is locked and re-read
// (two tills paying the same instalment give one payment), the Vnoski row,
// the payment row of Prodajbi and, when every instalment is paid, the
// credit closed and its lines marked paid. Throws EConvertError for a
// partial amount that is not above 0 or above what is due, EDatabaseError.
PaymentResult payInstalment(const QSqlDatabase& db, const InstalmentPayment& payment);

// The receipt line of an instalment payment:
// "%0^Вн.:<n> Кр.N: <credit>:^<amount in stotinki>^1000^1^".
QString instalmentReceiptLine(int instalment, qint64 credit, const Decimal& amount);
// Writes the receipt of the payment as [Tuning] "FB" says (a service or a
// fiscal receipt; nothing for 0) with the payment as its total, and records
// its file for the payment row. The result says what was written.
BonResult printInstalmentReceipt(FiscalState& state, const QSqlDatabase& db, const PaymentResult& payment,
                                 qint64 credit, const FiscalSettings& settings, const BonHeader& header);

// ---- printouts (Vnoski_Pay.tmp)

// A goods row of the printouts.
struct CreditGoods {
    QString description;
    QString quantity;
    QString price;
    QString currency;
};
// "|" + description (28) + "|" + quantity + "|" + price + "|" + currency + "|".
QString creditGoodsRow(const CreditGoods& goods);

// The company as Firm_Data.ini names it, and the counterparty.
struct CreditParties {
    QString firmName, firmMol, firmAddress, firmEik;
    QString name, town, address, eik, person, egn, phone;
};
// Reads the counterparty and its person. Throws EDatabaseError.
CreditParties creditCounterparty(const QSqlDatabase& db, qint64 counterparty);

// The handover protocol and repayment schedule of the consignment dialog.
struct ProtocolData {
    qint64 number = 0;
    CreditTerms terms;
    CreditSchedule schedule;
    QList<CreditGoods> goods;
    QString currency; // the currency of the last line
    CreditParties parties;
    QString operatorName;
    int decimals = 2;
};
QStringList handoverProtocol(const ProtocolData& data);

// The voucher of the instalments window.
struct VoucherData {
    qint64 credit = 0;
    QDateTime now;
    QString counterparty; // the reference text
    int instalment = 0;
    int count = 0;
    QList<CreditGoods> goods;
    // What is paid: in full, what the instalment lacked ("Сума за
    // доплащане:"); in part, the partial amount, and what the instalment
    // lacked before it.
    Decimal amount;
    bool partial = false;
    Decimal due;
    QString currencyWord = QStringLiteral("лева"); // the base currency's
};
QStringList instalmentVoucher(const VoucherData& data);

} // namespace torvika
