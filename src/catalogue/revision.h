#pragma once
// Stock revision: the articles of one warehouse counted (typed, picked or
// read from a count file), each with the quantity the books showed when it
// was entered and the quantity found, saved as a revision (Revision,
// Revision_Art) that moves the stock of the warehouse by the difference.
//
// The books' quantity is kept per line from the moment the line is made,
// and saving adds found - recorded to the stock: a sale made on another
// workstation after the article was counted stays sold, and the stock ends
// at what was found less what left since.

#include "common/decimal.h"
#include "common/progress.h"
#include "common/sql_statement.h"
#include "common/working_table.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace torvika {

// The reason offered first ("Основание").
inline const QString kRevisionDefaultReason = QStringLiteral("Справка налично");
inline constexpr int kRevisionReasonWidth = 15;

// "Справка налично", then every other reason of the saved revisions, sorted.
QStringList revisionReasons(const QSqlDatabase& db);
// The number the next revision will most likely get (MAX + 1 now); the
// number is taken when the revision is saved.
qint64 expectedRevisionNumber(const QSqlDatabase& db);

// The value of a list of lines in the base currency, at the currencies'
// rates: what the books showed, what was found, and the difference. Lines
// whose currency has no rate are counted in `unvalued` and left out.
struct RevisionTotals {
    Decimal recorded;
    Decimal counted;
    Decimal difference() const { return counted - recorded; }
    int unvalued = 0;
};

// What reading a count file did: the lines read, the articles they named
// (one article on several lines is one, its counts summed), and the lines
// left out, each "Ред <n>: <reason>".
struct CountFileImport {
    int lines = 0;
    int articles = 0;
    QStringList problems;
    bool cancelled = false;
};

// The revision being entered: one line per article in a working table of
// the connection, which no other workstation sees.
class RevisionDraft {
public:
    RevisionDraft(const QSqlDatabase& db, qint64 warehouse);

    qint64 warehouse() const { return warehouse_; }
    // The counted warehouse is fixed once lines exist: false then.
    bool setWarehouse(qint64 warehouse);

    // The working table, for statements of the window's grid.
    const QString& table() const { return table_.table(); }
    qint64 lineCount() const;
    bool isEmpty() const { return lineCount() == 0; }
    // The articles of the lines, in entry order.
    QList<qint64> articles() const;

    // The article's quantity in the warehouse now, exactly as the books keep it.
    Decimal recordedQuantity(qint64 article) const;
    // The counted quantity of the article's line; none when it has no line.
    std::optional<Decimal> countedQuantity(qint64 article) const;

    // Adds the quantity found to the article's line, or makes its line with
    // the books' quantity now and the article's unit, price and currency.
    // False when there is no such article. std::invalid_argument for a
    // negative quantity.
    bool addCount(qint64 article, const Decimal& counted);
    // Sets the counted quantity of the article's line (the line's edit).
    void setCount(qint64 article, const Decimal& counted);
    void removeLines(const QList<qint64>& articles);
    void clear();

    RevisionTotals totals() const;
    // The grid: Nomer, Art_ID, Art_Opis, Difrents, Nal_Kol, Otkr_Kol, Mqrka,
    // Ed_Cena, Valuta, Nal_Sum, Otkr_Sum (in the base currency; empty for a
    // currency without a rate), in entry order.
    SqlStatement linesStatement() const;

    // Reads a count file (field 1 the article, field 2 the quantity found;
    // Windows-1251 or UTF-8): every valid count is added; a line that is
    // not one, or names an article that does not exist, is listed and left
    // out, never counted as 0. Nothing is added when the operator cancels.
    // Throws EInOutError or EConvertError when the file cannot be read.
    CountFileImport importCountFile(const QString& fileName, Progress& progress);
    // Writes the lines as a count file: 1 article, 2 counted, 3 recorded.
    // Throws EInOutError.
    void exportCountFile(const QString& fileName) const;

    // Saves the revision in one transaction, its number taken as MAX + 1
    // under the lock, and moves the stock of each article by found -
    // recorded; the lines are emptied. None when there are no lines.
    // Throws EConvertError for a reason longer than kRevisionReasonWidth,
    // EDatabaseError when an article of the lines is gone (nothing saved).
    std::optional<qint64> save(const QDate& date, const QTime& time, const QString& reason);

private:
    // Makes the lines of articles that have none and adds the counts to
    // those that have: the articles must exist.
    void addCounts(const QList<std::pair<qint64, Decimal>>& counts);

    QSqlDatabase db_;
    qint64 warehouse_;
    WorkingTable table_;
    qint64 nextLine_ = 1;
};

// ---- Saved revisions ----

struct RevisionFilter {
    QDate from;
    QDate to;
    std::optional<qint64> warehouse;
};
// ID, Date_Rev, Time_Rev, Osnovanie, Sklad_ID, Opis_Sklad and Art_Count,
// the newest first.
SqlStatement revisionListStatement(const RevisionFilter& filter);
// The lines of a saved revision, with the grid's columns of the draft (the
// values at today's rates), by article.
SqlStatement revisionLinesStatement(qint64 revision);
RevisionTotals revisionTotals(const QSqlDatabase& db, qint64 revision);

} // namespace torvika
