#pragma once
// Operators of a company database (table Operators: ID, Ime, Par, Prava),
// their passwords, the login check, and the per-operator shortcut sections
// of Firm_Data.ini.
//
// Passwords are stored as salted PBKDF2-SHA256 hashes in the text form
// "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>". A Par value not
// in that form is a plain-text password of an older database: it is
// accepted once and replaced by its hash at that login.

#include "common/sql_statement.h"
#include "shell/firm_data.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <exception>
#include <functional>
#include <optional>

namespace torvika {

struct OperatorRow {
    qint64 id = 0;
    QString ime;
    QString par;
    QString prava;
    QString code; // Kod_Oper: four capital Latin letters or digits, or empty
};

// Every operator in table order (by ID).
QList<OperatorRow> listOperators(const QSqlDatabase& db);
// The rows of the operators grid: ID and Ime of every operator, by ID. The
// passwords stay out of it.
SqlStatement operatorsStatement();
// The first operator (by ID) with that name.
std::optional<OperatorRow> findOperatorByName(const QSqlDatabase& db, const QString& name);
// With the operator's code (the other readers leave it empty).
std::optional<OperatorRow> findOperatorById(const QSqlDatabase& db, qint64 id);
// The operator code as stored: trimmed and in capitals. Throws Error with
// texts::kBadOperatorCode unless it is empty or four Latin letters or
// digits (the code the unique sale number carries).
QString checkedOperatorCode(const QString& code);
// Inserts an operator with the password hashed; returns the new ID. A new
// operator has a password of its own: an empty one throws Error with
// texts::kNewOperatorNeedsPassword and nothing is stored; so does a code
// that is not one (checkedOperatorCode).
qint64 insertOperator(const QSqlDatabase& db, const QString& ime, const QString& password,
                      const QString& prava, const QString& code = {});
// Changes name, rights and code; the password only when one is given.
void updateOperator(const QSqlDatabase& db, qint64 id, const QString& ime,
                    const std::optional<QString>& password, const QString& prava, const QString& code = {});

// The iteration count of new hashes: slow enough to make guessing costly,
// quick enough for a login.
inline constexpr int kPasswordIterations = 40000; // about 60 ms on a current desktop
// A new salted hash of a password, in the stored text form.
QString hashPassword(const QString& password, int iterations = kPasswordIterations);
// Whether a Par value is in the hash form.
bool isPasswordHash(const QString& stored);
// Whether the password matches a stored value (a hash, or plain text from
// an older database). Compares in constant time.
bool verifyPassword(const QString& stored, const QString& password);

// Told of a failure that does not change the outcome, so the caller can
// log it.
using FailureLog = std::function<void(const std::exception&)>;

// The login check: the first operator (by ID) of that name whose password
// matches, or nullopt. A plain-text password that matches is stored hashed
// at once; when that cannot be done (a busy or read-only database) the
// login succeeds all the same, the password stays as it was for the next
// login to try again, and upgradeFailed is told. Names and passwords are
// bound values: any text is just a name or a password. Throws
// EDatabaseError when the table cannot be read.
std::optional<OperatorRow> checkCredentials(const QSqlDatabase& db, const QString& name,
                                            const QString& password, const FailureLog& upgradeFailed = {});

// Replaces every plain-text password of the table by its hash, in the
// caller's transaction (the creation of a company database stores its
// first operator hashed). Nothing when the table keeps no passwords.
// Throws EDatabaseError.
void hashPlainPasswords(const QSqlDatabase& db);

// The text of the status panel naming the operator: "Оператор: <name>".
QString operatorPanelText(const QString& operatorName);
// The section of an operator's shortcuts: "Оператор: <name>".
QString operatorShortcutSection(const QString& operatorName);
// The shortcut texts stored for an operator, by node number: for nodes 1 to
// Counts - 1 within a tree of nodeCount nodes, the keys present in the
// section (an empty text removes the shortcut). Nodes without a key are
// absent: their commands keep their current shortcuts.
QHash<int, QString> readOperatorShortcuts(const Settings& settings, const QString& operatorName,
                                          int nodeCount);
// Stores the operator's shortcuts: the key of every node 1 .. nodeCount - 1
// (a node missing from texts gets the empty text) and Counts = nodeCount,
// in one save. Throws EInOutError.
void writeOperatorShortcuts(Settings& settings, const QString& operatorName, const QHash<int, QString>& texts,
                            int nodeCount);

} // namespace torvika
