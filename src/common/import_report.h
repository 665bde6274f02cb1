#pragma once
// What an import of a numbered-field file did, line by line, for the
// import statistics panel; and the loop over the lines of such a file with
// progress and cancel.
//
// An import runs in one transaction per file: a cancelled or failed import
// stores nothing, and its report still says what would have been stored
// and what was refused.

#include "common/decimal.h"
#include "common/numbered_fields.h"
#include "common/progress.h"
#include "common/sql.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace torvika {

struct ImportReport {
    enum class Outcome { Stored, Cancelled, Failed };

    // The panel's lines: the numbered lines of the records ("<k>- ..."),
    // then the closing lines.
    QStringList lines;
    Outcome outcome = Outcome::Stored;
    QString failure; // what stopped a failed import

    int added = 0;
    int repeated = 0; // records the database had already
    int replaced = 0; // of those, the ones rewritten from the file
    int refused = 0;  // lines that were not imported, each with its reason

    // Adds "<k>- <text>", k being the number of lines in the panel plus 1.
    void addNumbered(const QString& text) {
        lines << QString::number(lines.size() + 1) + QStringLiteral("- ") + text;
    }
    // A refused line: "<k>- Ред <line>: ОТКАЗАН - <reason>".
    void refuse(qint64 line, const QString& reason);
    // The closing lines of a cancelled or failed import (it stored nothing),
    // for the importer to put before its own.
    void closeUnstored();
};

// Runs an import's body in one transaction: commits when the body returns
// true; when it returns false (the operator cancelled) or throws the
// program's error, nothing is stored and the report's outcome says why.
void runImport(const QSqlDatabase& db, ImportReport& report, const std::function<bool()>& body);

// The closing lines: an empty line, the total (totalText with the number
// of records added and repeated), "Добавени", then "Актуализации" (replace
// mode) or "Повторени", the refused lines when there were any, the lines
// of an import that stored nothing, and the line that says how to close
// the panel.
void closeImportReport(ImportReport& report, const QString& totalText, bool replace);

// The fields of one line read by kind, keeping the first reason to refuse
// the line. A number, whole number or mark written empty is absent.
class ImportFields {
public:
    explicit ImportFields(const NumberedFields& fields) : fields_(fields) {}

    bool ok() const { return refusal_.isEmpty(); }
    const QString& refusal() const { return refusal_; }
    void refuse(const QString& reason);

    // The value as written, when it is there; refused when longer than width.
    std::optional<QString> text(int number, int width);
    // "." or "," as the decimal separator, within the bounds given.
    std::optional<Decimal> number(int number, std::optional<Decimal> low = {},
                                  std::optional<Decimal> high = {});
    std::optional<qint64> whole(int number, qint64 low, qint64 high);
    // "True" or "False" in any letter case.
    std::optional<bool> mark(int number);

private:
    std::optional<QString> present(int number) const;

    const NumberedFields& fields_;
    QString refusal_;
};

// Why a line cut inside a value is refused whole; none for a whole line.
std::optional<QString> unterminatedLine(const NumberedFields& fields);

// Statements an import runs again and again, each prepared once.
class PreparedStatements {
public:
    explicit PreparedStatements(const QSqlDatabase& db) : db_(db) {}
    QSqlQuery& exec(const QString& sql, const QVariantList& values);

private:
    QSqlDatabase db_;
    QHash<QString, std::shared_ptr<PreparedSql>> prepared_;
};

// New rows written many at a time: head is "INSERT INTO <table> (<columns>)".
class BatchInsert {
public:
    BatchInsert(PreparedStatements& statements, const QString& head, int columns, int rowsPerBatch);
    void add(const QVariantList& row);
    void flush();

private:
    PreparedStatements& statements_;
    QString head_;
    int columns_;
    int rowsPerBatch_;
    QVariantList values_;
    int rows_ = 0;
};

// Reads the file's lines, splitting each into its fields, and hands them to
// `take` with their 1-based line numbers; reports the bytes read to the
// progress and stops early when the operator cancels. Returns false when
// cancelled. Throws what the file or `take` throws.
bool readNumberedFile(NumberedFieldFile& file, Progress& progress,
                      const std::function<void(qint64 line, const NumberedFields& fields)>& take);

} // namespace torvika
