#pragma once
// The service intake: the lines an operator assembles on the service page
// (Priem_Ser_Vremen), what the serial-number lookup finds about an item,
// the dossier of its earlier repairs, the workshop ticket, and "ПРИЕМИ",
// which moves lines into the register of items in service (Priem_Ser).
//
// Every operator works on his own lines, found by his name (never by a
// pattern). An intake number is taken from the same numbers as the shop's
// sale lines (Prodajbi_Vremenni.N_Prodajba), so that documents registered
// for an intake line (Printed_Dok.ID_Prod) never meet a sale of the same
// number; it is never reused and stays with the item until it is issued.

#include "common/decimal.h"
#include "common/sql_statement.h"
#include "sales/departments.h"
#include "sales/receipt_files.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

// The number of the service page where documents are registered
// (Printed_Dok.Ot_Kade_Prod).
inline constexpr int kServicePlace = 2;
// Barkod of an item described in free text.
inline constexpr qint64 kFreeTextItem = -1;
// The longest reason for intake.
inline constexpr int kReasonMaxLength = 255;

// ---- The serial-number lookup ----

// The supplier's warranty of a serial number: its latest warranty document.
struct SupplierWarranty {
    qint64 card = 0;        // Garancia_dostavtchik.ID
    qint64 supplier = 0;    // Firmi.ID
    QString supplierName;   // Ime_Firma; empty when the supplier is gone
    QString documentKind;   // Rab_Dokumenti.Opisanie
    QString documentNumber; // ID_Dok
    QDate documentDate;     // Data
    QDate validUntil;       // Serials.Data
    QString note;           // Zabel
    QString supplierText() const;
};

// The latest sale of a serial number.
struct SerialSale {
    qint64 article = 0;
    QString articleName; // empty when the article is gone
    qint64 client = 0;
    QString clientName;
    QString warranty; // Pored_Do: the warranty given to the client
    QDate date;       // D_Prodajba
    QString articleText() const;
    QString clientText() const;
};

struct SerialLookup {
    std::optional<SupplierWarranty> supplier;
    std::optional<SerialSale> sale;
    QString model; // of the latest register entry
    QString batch;
    // The serial numbers of the register that match, each once, in order.
    QStringList serials;
    // The supplier's warranty runs after today (one ending today does not).
    bool underSupplierWarranty(const QDate& today) const;
};

// What the register, the sales and the supplier documents say about the
// serial number: the whole number (letter case aside) or, with contains,
// any serial number holding the text. The latest sale and the latest
// supplier document count. An empty text finds nothing. Throws
// EDatabaseError.
SerialLookup lookupSerial(const QSqlDatabase& db, const QString& serial, bool contains);

// The dossier of a serial number: its items issued from repair (R_Priem),
// latest first: N_Priem, Pri4ina, Data_Priem, Time_Priem, Operator,
// Data_Izd, Time_Izd, Ime_Kontrag; key N_Priem.
SqlStatement dossierStatement(const QString& serial);

// ---- The working list ----

struct IntakeEntry {
    qint64 article = kFreeTextItem; // the catalogue article, or kFreeTextItem
    QString description;            // "<ID>:<name>" of the article, or the free text
    QString serial;
    QString reason;
    bool warranty = false;
    QString warrantyDocument;
    QDate warrantyDocumentDate;
    qint64 client = 0;
    Decimal price; // the estimated repair price
    QString currency;
    qint64 supplier = 0;
    QString model;
    QString batch;
    QDate due; // "Да се ремонтира до"
};

// What an entry lacks before it can be added (nothing was written).
struct IntakeRefusal {
    enum Field { Client, Description, Reason, Due, Currency } field;
    QString message;
};
// Checks the entry as "Добави в списък" does: a client, a description, a
// reason, a currency and a due date not before today.
std::optional<IntakeRefusal> checkIntakeEntry(const IntakeEntry& entry, const QDate& today);

// A typed price: a number not below 0, "12,50" and "12.50" alike; none for
// anything else.
std::optional<Decimal> parseRepairPrice(const QString& text);
// The reason as stored: its lines run together, at most 255 characters.
QString intakeReasonText(const QString& typed);

// Adds the entry to the operator's working list and gives its intake
// number. The serial number is kept in upper case, the price rounded to
// the price decimals; the warranty document, its date, the supplier, the
// model and the batch only for a warranty intake. Throws EConvertError
// when the entry is refused (checkIntakeEntry) and EDatabaseError.
qint64 addIntakeLine(const QSqlDatabase& db, const QString& operatorName, const IntakeEntry& entry,
                     const QDateTime& now, int priceDecimals);

// The operator's working list: N_Prodajba, Barkod, S_N, Opisanie, Pri4ina,
// Pred_Cena_Remont, Valuta, Krai_data, Operator, ID_Kontrag; key N_Prodajba.
SqlStatement intakeLinesStatement(const QString& operatorName);
// The numbers of the operator's lines, in list order ("Избери всичко").
QList<qint64> operatorIntakeLines(const QSqlDatabase& db, const QString& operatorName);

// One line of the working list.
struct IntakeLine {
    qint64 number = 0;
    qint64 article = kFreeTextItem;
    QString serial;
    QString description;
    QString reason;
    qint64 client = 0;
    QString operatorName;
    Decimal price;
    QString currency;
};
// The operator's line; none when it is gone. Throws EDatabaseError.
std::optional<IntakeLine> loadIntakeLine(const QSqlDatabase& db, const QString& operatorName, qint64 number);

// "Откажи": deletes the operator's lines with those numbers and the
// documents registered for them on the service page, in one transaction.
// A line that is not the operator's (or gone) is left alone, and so are
// its documents. Returns how many lines were deleted.
int cancelIntakeLines(const QSqlDatabase& db, const QString& operatorName, const QList<qint64>& lines);

// "ПРИЕМИ": moves the operator's lines, last selected first, into the
// register of items in service with the state of a new item (1), in one
// transaction. A line gone meanwhile (accepted on another workstation) is
// left out. Returns the intake numbers accepted.
QList<qint64> acceptIntakeLines(const QSqlDatabase& db, const QString& operatorName,
                                const QList<qint64>& lines);

// The sum of the expected repair prices (Pred_Cena_Remont) of the intake
// lines with those numbers; a line without a price counts 0. Throws
// EDatabaseError.
Decimal intakeRepairTotal(const QSqlDatabase& db, const QList<qint64>& lines);

// ---- The workshop ticket ----

// The file the workshop's print server reads in the department's directory.
inline const QString kWorkshopTicketFile = QStringLiteral("ToPrepare_Ser.bon");

struct WorkshopTicket {
    QString terminal;
    qint64 intake = 0;
    QString clientName;
    QString clientPhone;
    QString description;
    QString reason;
    QString operatorName;
};
// The ticket's lines for the department: a "*" line first for a device
// of type 1, then ":" text lines.
QStringList workshopTicketLines(const Department& department, const WorkshopTicket& ticket);
// The ticket of the operator's intake line, its client read from the
// counterparties. None when the line is gone. Throws EDatabaseError.
std::optional<WorkshopTicket> workshopTicketFor(const QSqlDatabase& db, const QString& operatorName,
                                                qint64 line, const QString& terminal);
// Writes the ticket as the department's workshop ticket in its directory
// (created when missing): at once when the print server has taken the
// previous one, otherwise it waits for it, so that no ticket is written
// over. The result names a failure ("Неуспешен печат на бон").
BonResult writeWorkshopTicket(FiscalState& state, const FiscalSettings& settings,
                              const Department& department, const WorkshopTicket& ticket);

} // namespace torvika
