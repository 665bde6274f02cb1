#pragma once
// Exporting records as numbered-field text: one line per record, each
// chosen field written as its opener, its value, the closer and a tab. With
// the usual opener "N:[" (the "N" stands for the field's number) and closer
// "]" the file reads back with GET_IMPORTED_DATA; another opener is written
// as typed, without field numbers.
//
// What the file cannot carry (the closer or a line break inside a value, a
// character Windows-1251 cannot hold) is found by checkExport before
// anything is written, with the records concerned, so that what is exported
// imports back unchanged.

#include "common/progress.h"
#include "common/sql_statement.h"

#include <QChar>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

enum class ExportValue {
    Text,
    Number, // written with the format's decimal separator, shortest exact form
    Mark    // "True" or "False"
};

struct ExportField {
    int number;
    QString caption; // "<number>: <what>", as the export window lists it
    ExportValue kind;
};

// The records of one kind of file: the statement's first columns are the
// fields in order; its next two columns name the record in a report of
// values that cannot be carried (recordLabel's %1 and %2).
struct ExportSource {
    QList<ExportField> fields;
    SqlStatement statement;
    QString recordLabel;
};

struct ExportFormat {
    QString opener = QStringLiteral("N:[");
    QString closer = QStringLiteral("]");
    QChar decimalSeparator = u'.';
};

// The opener of a field: nothing for an empty opener; the field's number
// followed by the rest of the opener when it starts with "N"; the opener as
// typed otherwise.
QString fieldOpener(const QString& opener, int number);

// A value of a chosen field that the file cannot carry.
struct ExportProblem {
    QString record; // the source's record label
    QString field;  // the field's caption
    QString value;
};
// The first `limit` problems of the chosen fields (chosen[i] for
// source.fields[i]); none when every value can be written. Throws
// EDatabaseError.
QList<ExportProblem> checkExport(const QSqlDatabase& db, const ExportSource& source,
                                 const QList<bool>& chosen, const ExportFormat& format, int limit = 100);

// Writes the file (Windows-1251, CR LF) under a temporary name and puts it
// in place only when every record was written, so that a failure never
// leaves a half file. Returns the number of records. Throws EInOutError when
// the file cannot be written, EConvertError when a value cannot be carried
// (after checkExport found none, the data changed meanwhile), EDatabaseError.
// Stops early, writing nothing, when the operator cancels (returns -1).
qint64 writeExport(const QSqlDatabase& db, const ExportSource& source, const QList<bool>& chosen,
                   const ExportFormat& format, const QString& fileName, Progress& progress);

} // namespace torvika
