#pragma once
// Transfers and scrap: goods moved from one warehouse to another, and goods
// written off a warehouse. The lines being collected are this
// workstation's own (a temporary table of the connection); saving records
// the document with its lines (Transfer and Transfer_Art, Brak and
// Brak_Art) and moves the stock through GET_NALI4NOST, in one transaction:
// a transfer never leaves goods taken out of one warehouse and not put
// into the other.
//
// A line carries the article's selling price and currency when it was
// added, so that the document shows the value of what moved.

#include "catalogue/deliveries.h"
#include "common/decimal.h"
#include "common/sql_statement.h"
#include "common/vat.h"
#include "common/working_table.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

enum class StockMoveKind { Transfer, Scrap };

struct StockMoveLine {
    qint64 key = 0; // the line's own number in the document
    qint64 article = 0;
    QString description;
    Decimal quantity;
    QString unit;
    Decimal price; // the article's selling price
    QString currency;
    QString reason; // scrap: why the goods are written off
};

// The value of the lines at their selling prices, in the base currency,
// split at the rates of the articles' tax groups (the prices hold the VAT).
struct StockMoveSums {
    Decimal total;
    Decimal base;
    Decimal vat;
    QStringList unknownCurrencies; // lines in these are in no figure
};

// An article whose lines ask for more than the source warehouse holds.
struct StockShortage {
    qint64 article = 0;
    QString description;
    Decimal wanted;
    Decimal available;
};

struct StockMoveHeader {
    QDateTime when;
    QString operatorName;
    QString note;
};

struct StockMoveSaveResult {
    enum Status { Saved, Refused } status = Saved;
    qint64 id = 0;
    QString message;
};

// The widest reason and note kept.
inline constexpr int kStockMoveReasonWidth = 255;

class StockMoveDraft {
public:
    // Empty working lines. Throws EDatabaseError.
    StockMoveDraft(const QSqlDatabase& db, StockMoveKind kind);
    ~StockMoveDraft();
    StockMoveDraft(const StockMoveDraft&) = delete;
    StockMoveDraft& operator=(const StockMoveDraft&) = delete;

    StockMoveKind kind() const { return kind_; }
    const QSqlDatabase& database() const { return db_; }

    // The warehouses: a transfer's source and target, scrap's one
    // warehouse (the target is not used). Refused (the message): a warehouse
    // that does not exist, the same warehouse twice, a change once lines
    // exist.
    std::optional<QString> setWarehouses(qint64 source, qint64 target = 0);
    qint64 source() const { return source_; }
    qint64 target() const { return target_; }

    // What the source warehouse holds of the article for a new line: its
    // stock less the quantity of its lines already collected (0 without a
    // stock row).
    Decimal available(qint64 article, qint64 exceptLine = 0) const;

    // Adds a line (an article may have several). Refused (the message): no
    // warehouses chosen, no such article, a quantity not above 0, a reason
    // too long. Returns the new line's key otherwise.
    struct Added {
        qint64 key = 0;
        QString refusal;
    };
    Added add(qint64 article, const Decimal& quantity, const QString& reason = QString());
    // Gives the line with that key a new quantity (and reason); that line
    // only. Refused as add, and when the line is gone.
    std::optional<QString> change(qint64 key, const Decimal& quantity, const QString& reason = QString());
    int remove(const QList<qint64>& keys);
    void clear();

    std::optional<StockMoveLine> line(qint64 key) const;
    QList<StockMoveLine> lines() const;
    int count() const;
    bool isEmpty() const { return count() == 0; }

    // The grid: Line_Key, Art_ID, Opisanie, Kol, Mqrka, Ed_Cena, Valuta,
    // Sum_Row (in the base currency; empty in an unknown currency), Pri4ina;
    // in the order added, key Line_Key.
    SqlStatement linesStatement() const;
    StockMoveSums sums(const VatRates& rates) const;
    // The articles whose lines ask for more than the source holds.
    QList<StockShortage> shortages() const;

    // Records the document and moves the stock (see the top of this file),
    // then empties the lines. Refused, nothing written: no lines, warehouses
    // missing or the same, an article that is gone. Throws EDatabaseError
    // (nothing written, the lines kept).
    StockMoveSaveResult save(const StockMoveHeader& header);

private:
    QSqlDatabase db_;
    StockMoveKind kind_;
    WorkingTable lines_;
    qint64 source_ = 0;
    qint64 target_ = 0;
};

// ---- Import and export of the lines: numbered fields 1 article, 2 quantity ----

struct StockMoveImport {
    int added = 0;
    // "<line number>: <reason>"; when there are any, nothing is imported.
    QStringList refused;
};
// Adds a line per line of the file, all or none. Throws EInOutError,
// EConvertError for a file that is no text.
StockMoveImport importStockMoveLines(StockMoveDraft& draft, const QString& path);
// Writes the lines in the order added. Throws EInOutError, EConvertError.
void exportStockMoveLines(const StockMoveDraft& draft, const QString& path);

// ---- Print ----

// "Transfer" or "Brak" in TEMP.
QString stockMovePrintFile(StockMoveKind kind);
// source and target: the warehouses' reference texts (scrap: source only).
QStringList stockMovePrintHeading(StockMoveKind kind, const QString& source, const QString& target,
                                  const QDateTime& when);
QStringList stockMovePrintTotals(const StockMoveSums& sums, int decimals);

// ---- The report of recorded transfers and scrap ----

struct StockMoveReportFilter {
    std::optional<DateCondition> date;
    std::optional<qint64> warehouse; // a transfer from or to it; scrap in it
    std::optional<qint64> article;   // documents with a line of it
};
// ID, Data, Vreme, Sklad_Ot, Ot_Name, Sklad_Do, Do_Name (scrap: the
// warehouse is Sklad_Ot, Sklad_Do empty), Operator, Zabel, by number; key ID.
// Throws EConvertError for a date condition without its dates.
SqlStatement stockMoveReportStatement(StockMoveKind kind, const StockMoveReportFilter& filter);
// The document's lines: Line_N, Art_ID, Opisanie, Kol, Mqrka, Ed_Cena,
// Valuta, Sum_Row, Pri4ina (empty for a transfer); in the order recorded.
SqlStatement stockMoveLinesStatement(StockMoveKind kind, qint64 id);
// The lines of a recorded document.
QList<StockMoveLine> recordedStockMoveLines(const QSqlDatabase& db, StockMoveKind kind, qint64 id);

} // namespace torvika
