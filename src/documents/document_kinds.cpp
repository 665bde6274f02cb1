#include "documents/document_kinds.h"

#include "common/dates.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "common/texts.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace torvika {

namespace {

bool digitsOnly(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The number as digits without its leading zeros ("0" for zero).
QString stripZeros(const QString& digits) {
    qsizetype i = 0;
    while (i < digits.size() - 1 && digits[i] == u'0')
        ++i;
    return digits.mid(i);
}

// Adds one to a decimal text of any length.
QString plusOne(const QString& digits) {
    QString s = digits;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (s[i] != u'9') {
            s[i] = QChar(s[i].unicode() + 1);
            return s;
        }
        s[i] = u'0';
    }
    return u'1' + s;
}

DocumentKind kindOf(const SqlRows& rows, int row) {
    const QVariantList& r = rows.rows[row];
    DocumentKind k;
    k.id = r[0].toLongLong();
    k.name = r[1].toString();
    k.places = r[2].toString();
    k.number = r[3].toString().trimmed();
    k.copies = r[4].toInt();
    k.numberingId = r.size() > 5 && !r[5].isNull() ? r[5].toLongLong() : k.id;
    return k;
}

void refuse(const QString& message) {
    throw EDocumentError(message);
}

void checkName(const QString& name) {
    if (name.trimmed().isEmpty())
        refuse(texts::kEmptyName);
}

} // namespace

std::optional<DocumentKind> findDocumentKind(const QSqlDatabase& db, const QString& name) {
    const SqlRows rows = readRows(
        db,
        QStringLiteral("SELECT D.ID_Dokument, D.Opisanie, D.Kade_se_izpolzva, COALESCE(S.N_Dok, D.N_Dok), "
                       "D.N_Copies, COALESCE(S.ID_Dokument, D.ID_Dokument) FROM Dokumenti D "
                       "LEFT JOIN Dokumenti S ON S.ID_Dokument = (SELECT MIN(X.ID_Dokument) FROM "
                       "Dokumenti X WHERE X.Opisanie = D.Nomeracia_Ot AND X.ID_Dokument <> D.ID_Dokument) "
                       "WHERE D.Opisanie = ? ORDER BY D.ID_Dokument"),
        {name}, 1);
    if (rows.rows.isEmpty())
        return std::nullopt;
    return kindOf(rows, 0);
}

QStringList documentKindsFor(const QSqlDatabase& db, PrintContext context) {
    QStringList places;
    switch (context) {
    case PrintContext::Shop:
    case PrintContext::SalesReport:
        places << texts::kPlaceShop;
        break;
    case PrintContext::Service:
        places << texts::kPlaceService;
        break;
    case PrintContext::FiscalService:
        places << texts::kPlaceFiscalService << texts::kPlaceFiscalCentre;
        break;
    default:
        return {};
    }
    QStringList conditions;
    QVariantList values;
    for (const QString& p : places) {
        conditions << QStringLiteral("Kade_se_izpolzva LIKE ? ESCAPE '\\'");
        values << likeContains(p);
    }
    const SqlRows rows = readRows(db,
                                  QStringLiteral("SELECT DISTINCT Opisanie FROM Dokumenti WHERE ") +
                                      conditions.join(QStringLiteral(" OR ")),
                                  values);
    QStringList out;
    for (const QVariantList& r : rows.rows)
        out << r[0].toString();
    std::sort(out.begin(), out.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    return out;
}

bool isNumbered(const QString& number) {
    return digitsOnly(number) && stripZeros(number) != QLatin1String("0");
}

bool isDocumentNumberText(const QString& number) {
    return number.trimmed().isEmpty() || digitsOnly(number.trimmed());
}

QString nextDocumentNumber(const QString& number) {
    if (!digitsOnly(number) || number == QLatin1String("0"))
        return number;
    const QString next = plusOne(stripZeros(number));
    return next.rightJustified(number.size(), u'0');
}

void lockDocumentKind(const QSqlDatabase& db, const QString& kindName) {
    // Another workstation printing the kind holds its row until it commits;
    // the row of the series it is numbered in first, so that every print
    // taking a number of one series locks in the same order.
    execSql(
        db,
        QStringLiteral("UPDATE Dokumenti SET N_Dok = N_Dok WHERE Opisanie = (SELECT MIN(K.Nomeracia_Ot) FROM "
                       "Dokumenti K WHERE K.Opisanie = ?) AND Opisanie <> ?"),
        {kindName, kindName});
    execSql(db, QStringLiteral("UPDATE Dokumenti SET N_Dok = N_Dok WHERE Opisanie = ?"), {kindName});
}

IssuedNumber INC_NUMBER_PRINTED_DOK(const QSqlDatabase& db, const IssueRequest& request) {
    IssuedNumber out;
    lockDocumentKind(db, request.kindName);
    const std::optional<DocumentKind> kind = findDocumentKind(db, request.kindName);
    if (!kind)
        return out;
    out.number = kind->number;
    // A number with other characters would print the same every time.
    if (!isDocumentNumberText(kind->number))
        throw EDocumentError(texts::kNumberNotDigits.arg(kind->number));
    if (!digitsOnly(kind->number))
        return out;
    if (isNumbered(kind->number)) {
        const LineSource source = lineSource(request.context);
        QList<QVariantList> lines;
        if (!source.from.isEmpty() && !request.lines.isEmpty()) {
            QStringList marks;
            QVariantList keys = source.values;
            for (qint64 l : request.lines) {
                marks << QStringLiteral("?");
                keys << l;
            }
            const SqlRows rows = readRows(db,
                                          QStringLiteral("SELECT N_Prodajba, Barkod, Operator FROM %1 "
                                                         "WHERE N_Prodajba IN (%2)")
                                              .arg(source.from, marks.join(QStringLiteral(", "))),
                                          keys);
            for (qint64 l : request.lines)
                for (const QVariantList& r : rows.rows)
                    if (r[0].toLongLong() == l) {
                        lines << r;
                        break;
                    }
        }
        const int place = issuePlace(request.context);
        for (const QVariantList& line : lines)
            execSql(db,
                    QStringLiteral(
                        "INSERT INTO Printed_Dok (ID_Prod, ID_Dok, ID_Kontrag, ID_Art, N_Dok, Operator, "
                        "Data, fTime, Ot_Kade_Prod) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {line[0], kind->id, request.counterparty, line[1], kind->number, line[2],
                     isoDate(request.now.date()), shortTime(request.now.time()), place});
        out.registered = !lines.isEmpty();
    }
    const QString next = nextDocumentNumber(kind->number);
    if (next != kind->number)
        execSql(db, QStringLiteral("UPDATE Dokumenti SET N_Dok = ? WHERE ID_Dokument = ?"),
                {next, kind->numberingId});
    return out;
}

std::optional<IssuedDocument> issuedDocument(const QSqlDatabase& db, const QString& kindName,
                                             PrintContext context, const QList<qint64>& lines) {
    const std::optional<DocumentKind> kind = findDocumentKind(db, kindName);
    if (!kind || lines.isEmpty())
        return std::nullopt;
    QStringList marks;
    QVariantList values{kind->id, issuePlace(context)};
    for (qint64 l : lines) {
        marks << QStringLiteral("?");
        values << l;
    }
    const SqlRows last = readRows(db,
                                  QStringLiteral("SELECT N_Dok FROM Printed_Dok WHERE ID_Dok = ? AND "
                                                 "Ot_Kade_Prod = ? AND ID_Prod IN (%1) "
                                                 "ORDER BY Data DESC, fTime DESC, N_Dok DESC")
                                      .arg(marks.join(QStringLiteral(", "))),
                                  values, 1);
    if (last.rows.isEmpty())
        return std::nullopt;
    IssuedDocument issued;
    issued.number = last.rows[0][0].toString();
    const SqlRows registered = readRows(
        db,
        QStringLiteral("SELECT DISTINCT ID_Prod FROM Printed_Dok WHERE ID_Dok = ? AND Ot_Kade_Prod = ? "
                       "AND N_Dok = ? ORDER BY ID_Prod"),
        {kind->id, issuePlace(context), issued.number});
    for (const QVariantList& r : registered.rows)
        issued.lines << r[0].toLongLong();
    QList<qint64> selected = lines;
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    issued.sameLines = selected == issued.lines;
    return issued;
}

QString currentDocumentNumber(const QSqlDatabase& db, const QString& kindName) {
    const std::optional<DocumentKind> kind = findDocumentKind(db, kindName);
    return kind ? kind->number : QString();
}

SqlStatement documentKindsStatement() {
    // A kind numbered in another's series shows that series' number.
    return {QStringLiteral(
                "SELECT D.ID_Dokument AS ID_Dokument, D.Opisanie AS Opisanie, COALESCE((SELECT S.N_Dok "
                "FROM Dokumenti S WHERE S.ID_Dokument = (SELECT MIN(X.ID_Dokument) FROM Dokumenti X "
                "WHERE X.Opisanie = D.Nomeracia_Ot AND X.ID_Dokument <> D.ID_Dokument)), D.N_Dok) AS "
                "N_Dok, D.Kade_se_izpolzva AS Kade_se_izpolzva, D.N_Copies AS N_Copies FROM Dokumenti D"
                "\nORDER BY D.ID_Dokument"),
            {},
            QStringLiteral("ID_Dokument")};
}

void setDocumentNumber(const QSqlDatabase& db, qint64 id, const QString& number) {
    const QString n = number.trimmed();
    if (!digitsOnly(n))
        refuse(texts::kNumberDigitsOnly);
    // A kind numbered in another's series sets that series' number.
    const QVariant series = scalarSql(
        db,
        QStringLiteral(
            "SELECT MIN(X.ID_Dokument) FROM Dokumenti D JOIN Dokumenti X ON X.Opisanie = D.Nomeracia_Ot "
            "AND X.ID_Dokument <> D.ID_Dokument WHERE D.ID_Dokument = ?"),
        {id});
    execSql(db, QStringLiteral("UPDATE Dokumenti SET N_Dok = ? WHERE ID_Dokument = ?"),
            {n, series.isNull() ? QVariant(id) : series});
}

void setDocumentCopies(const QSqlDatabase& db, qint64 id, int copies) {
    if (copies < 0)
        refuse(texts::kCopiesNotNegative);
    execSql(db, QStringLiteral("UPDATE Dokumenti SET N_Copies = ? WHERE ID_Dokument = ?"), {copies, id});
}

void setDocumentPlaces(const QSqlDatabase& db, qint64 id, const QString& places) {
    execSql(db, QStringLiteral("UPDATE Dokumenti SET Kade_se_izpolzva = ? WHERE ID_Dokument = ?"),
            {places, id});
}

void renameDocumentKind(const QSqlDatabase& db, const QString& dir, qint64 id, const QString& name) {
    const QString n = name.trimmed();
    checkName(n);
    if (!isValidTemplateName(n))
        refuse(texts::kBadTemplateName.arg(n));
    Transaction tx(db);
    const QString old =
        scalarSql(db, QStringLiteral("SELECT Opisanie FROM Dokumenti WHERE ID_Dokument = ?"), {id})
            .toString();
    if (old == n)
        return;
    if (scalarSql(db,
                  QStringLiteral("SELECT COUNT(*) FROM Dokumenti WHERE Opisanie = ? AND ID_Dokument <> ?"),
                  {n, id})
            .toLongLong() > 0)
        refuse(texts::kKindNameTaken.arg(n));
    const char* const extensions[] = {".psc", ".hdr", ".ftr"};
    for (const char* ext : extensions)
        if (QFile::exists(templatePath(dir, n, ext)))
            refuse(texts::kKindNameTaken.arg(n));
    execSql(db, QStringLiteral("UPDATE Dokumenti SET Opisanie = ? WHERE ID_Dokument = ?"), {n, id});
    // The kinds numbered in its series follow it.
    execSql(db, QStringLiteral("UPDATE Dokumenti SET Nomeracia_Ot = ? WHERE Nomeracia_Ot = ?"), {n, old});
    // The template follows its kind's name: first a whole copy under the
    // new name (removed again when anything fails), then the kind renamed,
    // then the old files removed. At no moment does a name hold part of a
    // template.
    QStringList moved;
    auto undo = [&moved] {
        for (const QString& f : moved)
            QFile::remove(f);
    };
    if (!old.isEmpty() && isValidTemplateName(old))
        for (const char* ext : extensions) {
            const QString from = templatePath(dir, old, ext);
            const QString to = templatePath(dir, n, ext);
            if (!QFile::exists(from))
                continue;
            if (!QFile::copy(from, to)) {
                undo();
                throw EInOutError(texts::kFileUnwritable.arg(QDir::toNativeSeparators(to), QString()));
            }
            moved << to;
        }
    try {
        tx.commit();
    } catch (...) {
        undo();
        throw;
    }
    for (const char* ext : extensions)
        if (moved.contains(templatePath(dir, n, ext)))
            QFile::remove(templatePath(dir, old, ext));
}

qint64 addDocumentKind(const QSqlDatabase& db, const QString& name) {
    checkName(name);
    if (!isValidTemplateName(name.trimmed()))
        refuse(texts::kBadTemplateName.arg(name.trimmed()));
    Transaction tx(db);
    const qint64 key = nextKey(db, QStringLiteral("Dokumenti"), QStringLiteral("ID_Dokument"));
    if (scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Dokumenti WHERE Opisanie = ?"), {name.trimmed()})
            .toLongLong() > 0)
        refuse(texts::kKindNameTaken.arg(name.trimmed()));
    execSql(db,
            QStringLiteral("INSERT INTO Dokumenti (ID_Dokument, Opisanie, Kade_se_izpolzva, N_Dok, N_Copies) "
                           "VALUES (?, ?, ?, '0', 0)"),
            {key, name.trimmed(), placesText({})});
    tx.commit();
    return key;
}

void deleteDocumentKind(const QSqlDatabase& db, qint64 id) {
    Transaction tx(db);
    const QString name =
        scalarSql(db, QStringLiteral("SELECT Opisanie FROM Dokumenti WHERE ID_Dokument = ?"), {id})
            .toString();
    if (scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Printed_Dok WHERE ID_Dok = ?"), {id})
            .toLongLong() > 0)
        refuse(texts::kKindInUse.arg(name));
    execSql(db, QStringLiteral("DELETE FROM Dokumenti WHERE ID_Dokument = ?"), {id});
    tx.commit();
}

SqlStatement workKindsStatement() {
    return {QStringLiteral("SELECT ID, Opisanie FROM Rab_Dokumenti ORDER BY ID"), {}, QStringLiteral("ID")};
}

qint64 addWorkKind(const QSqlDatabase& db, const QString& name) {
    checkName(name);
    Transaction tx(db);
    const qint64 key = nextKey(db, QStringLiteral("Rab_Dokumenti"), QStringLiteral("ID"));
    execSql(db, QStringLiteral("INSERT INTO Rab_Dokumenti (ID, Opisanie) VALUES (?, ?)"),
            {key, name.trimmed()});
    tx.commit();
    return key;
}

void renameWorkKind(const QSqlDatabase& db, qint64 id, const QString& name) {
    checkName(name);
    execSql(db, QStringLiteral("UPDATE Rab_Dokumenti SET Opisanie = ? WHERE ID = ?"), {name.trimmed(), id});
}

void deleteWorkKind(const QSqlDatabase& db, qint64 id) {
    Transaction tx(db);
    const QString name =
        scalarSql(db, QStringLiteral("SELECT Opisanie FROM Rab_Dokumenti WHERE ID = ?"), {id}).toString();
    const qint64 uses =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Dostavki WHERE Vid_Dokument = ?"), {id})
            .toLongLong() +
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Garancia_dostavtchik WHERE Vid_Dok = ?"), {id})
            .toLongLong();
    if (uses > 0)
        refuse(texts::kWorkKindInUse.arg(name));
    execSql(db, QStringLiteral("DELETE FROM Rab_Dokumenti WHERE ID = ?"), {id});
    tx.commit();
}

} // namespace torvika
