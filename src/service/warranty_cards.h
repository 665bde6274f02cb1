#pragma once
// Supplier warranty documents (Garancia_dostavtchik) and the register of
// serial numbers they bring (Serials): the rows of a document staged on
// one workstation until it is saved, the save that stores the document,
// its serial numbers and the warranty mark of their articles together, and
// the import of a document from a numbered-field file.

#include "common/progress.h"
#include "common/sql_statement.h"
#include "common/working_table.h"
#include "service/repairs.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

// The longest number of a supplier's document.
inline constexpr int kWarrantyNumberMaxLength = 12;

// "<ID>:<Opisanie>" of every document kind (Rab_Dokumenti), by number.
QStringList documentKindItems(const QSqlDatabase& db);
// The number the next document is expected to get ("Пореден N:"); the
// save takes the number free at that moment.
qint64 expectedWarrantyCard(const QSqlDatabase& db);

// A serial number of a document.
struct WarrantyRow {
    qint64 article = 0;
    QString model;
    QString batch;
    QString serial;
    // The validity: until a date, or a period from the document's date.
    PeriodUnit unit = PeriodUnit::UntilDate;
    int count = 0;
    QDate until; // UntilDate
};

struct WarrantyHeader {
    qint64 supplier = 0; // Firmi.ID, 0 when none
    qint64 kind = 0;     // Rab_Dokumenti.ID
    QString number;      // the supplier's own number, at most 12 characters
    QDate date;
    QString note;
};

// The rows of the document being entered: a temporary table of the
// connection, which no other workstation sees, made when the window opens
// and dropped when it closes.
class WarrantyStaging {
public:
    // Throws EDatabaseError.
    explicit WarrantyStaging(const QSqlDatabase& db);

    // The date the rows' periods run from; rows staged with a period in
    // days or months are recomputed when it changes.
    const QDate& documentDate() const { return date_; }
    void setDocumentDate(const QDate& date);

    // Stages the row and gives its number (N). Throws EConvertError with
    // the message to show: no serial number or no article chosen, an
    // article that does not exist, no validity, a serial number already
    // staged (in any letter case); nothing is staged then.
    int stage(const WarrantyRow& row);
    // Stages every row, or none (the first refusal is thrown).
    void stageAll(const QList<WarrantyRow>& rows);
    // Removes the staged rows with those numbers; returns how many.
    int remove(const QList<int>& numbers);
    void clear();
    int count() const;

    // The staged rows: N, ID, Opisanie, Model, Partida, Serial_ID, Data; key N.
    SqlStatement statement() const;

    // Saves the document and its rows in one transaction under the next
    // free document number, which it returns: the articles become
    // warranty articles, the document and its serial numbers are stored,
    // and the staged rows are emptied. Nothing is stored on failure (the
    // rows stay staged). Throws EConvertError for a number longer than 12
    // characters, a document without a kind or without a date, or without
    // rows; EDatabaseError.
    qint64 save(const WarrantyHeader& header);

private:
    QSqlDatabase db_;
    WorkingTable table_;
    QDate date_;
};

// ---- The import file ----

struct WarrantyImportError {
    qint64 line = 0;
    QString message;
};
// A numbered-field file checked whole: its document line's number, date
// and note (the last document line's), its rows, and every fault found,
// by line.
struct WarrantyImport {
    bool hasDocument = false;
    QString number;
    QDate date;
    QString note;
    QList<WarrantyRow> rows;
    QList<WarrantyImportError> errors;
    bool cancelled = false; // the operator stopped the reading: nothing to stage
    bool ok() const { return errors.isEmpty() && !cancelled; }
    // The faults as one message: up to `limit` lines, then how many more.
    QString errorText(int limit = 20) const;
};
// A date of the file: "dd.MM.yyyy" (the short date), or "yyyy-MM-dd".
QDate importedDate(const QString& text);
// Reads and checks the file: a line with field 7 is the document line
// (number 7, date 8, note 9), a line with field 1 a serial number (article
// 1, batch 2, model 3, serial 4, valid until 5); every article must exist,
// every serial be given once, every date be a date. The progress shows how
// far the file is read and may stop it. Throws EInOutError when the file
// cannot be read, EConvertError when it is no text file.
WarrantyImport readWarrantyFile(const QSqlDatabase& db, const QString& path, Progress* progress = nullptr);

// ---- Reports ----

enum class DateComparison { Equal, AtMost, AtLeast, Between };
struct DateFilter {
    DateComparison comparison = DateComparison::Equal;
    QDate from;
    QDate to; // Between
};
// Appends " AND <column> ..." for the filter to the conditions and binds its dates.
void addDateFilter(QString& conditions, QVariantList& values, const QString& column,
                   const DateFilter& filter);

struct TextFilter {
    QString text;
    bool contains = false; // "Търси част"
};

// "Справка гаранционни продукти": every criterion given narrows it.
struct WarrantyReportFilter {
    std::optional<qint64> supplier;
    std::optional<qint64> kind;
    std::optional<QString> number;
    std::optional<DateFilter> date;
    std::optional<qint64> article;
    std::optional<TextFilter> serial;
    std::optional<TextFilter> model;
    std::optional<TextFilter> batch;
    std::optional<DateFilter> validity;
};
// The documents: ID, Dok_Name, ID_Dok, Data, Dost_Name, Zabel, ID_Kontrag,
// Vid_Dok; each document once, by number (key G.ID). A document whose
// supplier or kind is gone is listed all the same.
SqlStatement warrantyDocumentsStatement(const WarrantyReportFilter& filter);
// The serial numbers of a document: ID, Art_Name, Serial_ID, Model,
// Partida, Data; by serial number.
SqlStatement documentSerialsStatement(qint64 card);

} // namespace torvika
