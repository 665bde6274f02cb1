#pragma once
// The counterparty groups: the flat table Grupi_Kontrag and the tree of
// groups kept in the text file Opis_Kontrag.pdt of the company database
// directory, one node "<ID>:<name>" a line, indented one tab per level.

#include "counterparties/texts.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

inline const QString kGroupTreeFileName = QStringLiteral("Opis_Kontrag.pdt");

struct GroupTreeLine {
    int depth = 0;
    QString text;
    bool operator==(const GroupTreeLine&) const = default;
};

QString groupTreeFile(const QString& databaseDirectory);

// The tree in file order. The file may be UTF-8 or Windows-1251 and end its
// lines in CR LF or LF; blank lines are skipped and a node never lies more
// than one level below the node before it. The tree always starts with the
// root "0:Всички контрагенти" (the whole tree when the file is missing).
QList<GroupTreeLine> readGroupTree(const QString& fileName);
// Rewrites the file whole: UTF-8, CR LF. Throws EInOutError.
void writeGroupTree(const QString& fileName, const QList<GroupTreeLine>& lines);

// Adds a group; false (and nothing stored) when the number is taken.
bool addCounterpartyGroup(const QSqlDatabase& db, qint64 number, const QString& name);

} // namespace torvika
