#include "shell/operators.h"

#include "common/errors.h"
#include "common/sql.h"
#include "shell/texts.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace torvika {

namespace {

const QString kHashScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// Stored counts above this are refused, so a damaged value cannot stall a login.
constexpr int kMaxIterations = 10'000'000;

// Without Kod_Oper: the login reads the operators of a database the
// update script has not brought up to date yet.
const QString kSelectColumns = QStringLiteral("SELECT ID, Ime, Par, Prava FROM Operators");

OperatorRow rowFrom(const QSqlQuery& q) {
    OperatorRow r;
    r.id = q.value(0).toLongLong();
    r.ime = q.value(1).toString();
    r.par = q.value(2).toString();
    r.prava = q.value(3).toString();
    return r;
}

QList<OperatorRow> rows(QSqlQuery q) {
    QList<OperatorRow> result;
    while (q.next())
        result.append(rowFrom(q));
    return result;
}

// Equal bytes, in time that depends only on the lengths.
bool constantTimeEqual(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              kHashBytes);
}

struct ParsedHash {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

std::optional<ParsedHash> parseHash(const QString& stored) {
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != kHashScheme)
        return std::nullopt;
    bool ok = false;
    ParsedHash p;
    p.iterations = parts[1].toInt(&ok);
    if (!ok || p.iterations < 1 || p.iterations > kMaxIterations)
        return std::nullopt;
    auto salt = QByteArray::fromBase64Encoding(parts[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    auto hash = QByteArray::fromBase64Encoding(parts[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || salt.decoded.isEmpty() || hash.decoded.isEmpty())
        return std::nullopt;
    p.salt = salt.decoded;
    p.hash = hash.decoded;
    return p;
}

} // namespace

QList<OperatorRow> listOperators(const QSqlDatabase& db) {
    return rows(execSql(db, kSelectColumns + QStringLiteral(" ORDER BY ID")));
}

SqlStatement operatorsStatement() {
    return {QStringLiteral("SELECT ID, Ime FROM Operators ORDER BY ID"), {}, QStringLiteral("ID")};
}

std::optional<OperatorRow> findOperatorByName(const QSqlDatabase& db, const QString& name) {
    QSqlQuery q = execSql(db, kSelectColumns + QStringLiteral(" WHERE Ime = ? ORDER BY ID"), {name});
    if (q.next())
        return rowFrom(q);
    return std::nullopt;
}

std::optional<OperatorRow> findOperatorById(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q =
        execSql(db, QStringLiteral("SELECT ID, Ime, Par, Prava, Kod_Oper FROM Operators WHERE ID = ?"), {id});
    if (!q.next())
        return std::nullopt;
    OperatorRow r = rowFrom(q);
    r.code = q.value(4).toString();
    return r;
}

QString checkedOperatorCode(const QString& code) {
    const QString c = code.trimmed().toUpper();
    static const QRegularExpression pattern(QStringLiteral("^[A-Z0-9]{4}$"));
    if (!c.isEmpty() && !pattern.match(c).hasMatch())
        throw Error(texts::kBadOperatorCode);
    return c;
}

qint64 insertOperator(const QSqlDatabase& db, const QString& ime, const QString& password,
                      const QString& prava, const QString& code) {
    if (password.isEmpty())
        throw Error(texts::kNewOperatorNeedsPassword);
    const QString c = checkedOperatorCode(code);
    return insertReturningKey(
        db, QStringLiteral("INSERT INTO Operators (Ime, Par, Prava, Kod_Oper) VALUES (?, ?, ?, ?)"),
        {ime, hashPassword(password), prava, c}, QStringLiteral("ID"));
}

void updateOperator(const QSqlDatabase& db, qint64 id, const QString& ime,
                    const std::optional<QString>& password, const QString& prava, const QString& code) {
    const QString c = checkedOperatorCode(code);
    if (password)
        execSql(db,
                QStringLiteral("UPDATE Operators SET Ime = ?, Par = ?, Prava = ?, Kod_Oper = ? WHERE ID = ?"),
                {ime, hashPassword(*password), prava, c, id});
    else
        execSql(db, QStringLiteral("UPDATE Operators SET Ime = ?, Prava = ?, Kod_Oper = ? WHERE ID = ?"),
                {ime, prava, c, id});
}

QString hashPassword(const QString& password, int iterations) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(salt.data()),
                                         reinterpret_cast<quint32*>(salt.data() + salt.size()));
    const QByteArray hash = derive(password, salt, iterations);
    return kHashScheme + u'$' + QString::number(iterations) + u'$' + QString::fromLatin1(salt.toBase64()) +
           u'$' + QString::fromLatin1(hash.toBase64());
}

bool isPasswordHash(const QString& stored) {
    return parseHash(stored).has_value();
}

bool verifyPassword(const QString& stored, const QString& password) {
    if (auto p = parseHash(stored))
        return constantTimeEqual(derive(password, p->salt, p->iterations), p->hash);
    // Plain text of an older database: compare digests, so the time does
    // not depend on where the texts differ.
    return constantTimeEqual(QCryptographicHash::hash(stored.toUtf8(), QCryptographicHash::Sha256),
                             QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256));
}

std::optional<OperatorRow> checkCredentials(const QSqlDatabase& db, const QString& name,
                                            const QString& password, const FailureLog& upgradeFailed) {
    const QList<OperatorRow> candidates =
        rows(execSql(db, kSelectColumns + QStringLiteral(" WHERE Ime = ? ORDER BY ID"), {name}));
    for (OperatorRow row : candidates) {
        if (!verifyPassword(row.par, password))
            continue;
        if (!isPasswordHash(row.par)) {
            const QString hashed = hashPassword(password);
            try {
                // Only over the text just checked: a password that another
                // workstation changed meanwhile stays as it was set there.
                if (execSql(db, QStringLiteral("UPDATE Operators SET Par = ? WHERE ID = ? AND Par = ?"),
                            {hashed, row.id, row.par})
                        .numRowsAffected() == 1)
                    row.par = hashed;
            } catch (const Error& e) {
                if (upgradeFailed)
                    upgradeFailed(e);
            }
        }
        return row;
    }
    return std::nullopt;
}

void hashPlainPasswords(const QSqlDatabase& db) {
    if (tableColumns(db, QStringLiteral("Operators")).indexOf(QStringLiteral("Par")) < 0)
        return;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Par FROM Operators"));
    QList<std::pair<qint64, QString>> plain;
    while (q.next()) {
        const QString par = q.value(1).toString();
        if (!isPasswordHash(par))
            plain.append({q.value(0).toLongLong(), par});
    }
    q.finish();
    for (const auto& [id, par] : plain)
        execSql(db, QStringLiteral("UPDATE Operators SET Par = ? WHERE ID = ?"), {hashPassword(par), id});
}

QString operatorPanelText(const QString& operatorName) {
    return texts::kOperatorPrefix + operatorName;
}

QString operatorShortcutSection(const QString& operatorName) {
    return texts::kOperatorPrefix + operatorName;
}

QHash<int, QString> readOperatorShortcuts(const Settings& settings, const QString& operatorName,
                                          int nodeCount) {
    const ProfileData data = settings.load();
    const QString section = operatorShortcutSection(operatorName);
    bool ok = false;
    int counts = data.value(section, QStringLiteral("Counts"), QStringLiteral("0")).trimmed().toInt(&ok);
    if (!ok)
        counts = 0;
    QHash<int, QString> result;
    // Node 0, the root, carries no command.
    for (int n = 1; n < counts && n < nodeCount; ++n) {
        const QString key = QString::number(n);
        if (data.hasKey(section, key))
            result.insert(n, data.value(section, key, QString()));
    }
    return result;
}

void writeOperatorShortcuts(Settings& settings, const QString& operatorName, const QHash<int, QString>& texts,
                            int nodeCount) {
    QList<std::pair<QString, QString>> values;
    for (int n = 1; n < nodeCount; ++n)
        values.append({QString::number(n), texts.value(n)});
    values.append({QStringLiteral("Counts"), QString::number(nodeCount)});
    settings.saveSection(operatorShortcutSection(operatorName), values);
}

} // namespace torvika
