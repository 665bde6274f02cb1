#include "support/fixture.h"

#include "common/sql.h"
#include "shell/company_databases.h"
#include "shell/operators.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace torvika::test {

namespace {

// A program directory with the scripts and nothing else.
void prepareProgramDir(const QString& root) {
    ProgramDir pd(root);
    pd.prepare(QString());
    QDir scripts(QStringLiteral(TORVIKA_SOURCE_DIR "/scripts"));
    for (const QString& f : scripts.entryList(QDir::Files))
        QFile::copy(scripts.filePath(f), pd.sqlsDir() + u'/' + f);
}

// The program directory whose company database every fixture copies:
// created from the creation script on first use, once per test program.
const QString& templateDir() {
    static QTemporaryDir dir;
    static const bool made = [] {
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
        prepareProgramDir(dir.path());
        Session session{ProgramDir(dir.path())};
        const QString problem = ensureDefaultDatabase(session);
        if (!problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
        // The first operator's password hashed with one round: every login
        // of a test checks it, and the program's slow hash would make each
        // one cost a tenth of a second.
        session.workspace.open();
        execSql(session.db(), QStringLiteral("UPDATE Operators SET Par = ? WHERE Ime = ?"),
                {hashPassword(QStringLiteral("1"), 1), QStringLiteral("Администратор")});
        session.workspace.close();
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = dir.path();
    return path;
}

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(src);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(src, target))
            throw std::runtime_error("cannot copy the template database");
    }
}

} // namespace

Fixture::Fixture(bool withDatabase) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory");
    if (withDatabase) {
        copyTree(templateDir(), dir_.path());
        ProgramDir pd(dir_.path());
        pd.prepare(QString());
        session_ = std::make_unique<Session>(pd);
        // The copy works on its own database.
        const QString data = QDir::cleanPath(pd.dataDir());
        session_->workspace.engineConfig().modifyAliasPath(kServiceAlias, data);
        session_->firmData().setDbPath(data);
        session_->workspace.open();
    } else {
        prepareProgramDir(dir_.path());
        session_ = std::make_unique<Session>(ProgramDir(dir_.path()));
    }
}

Fixture::~Fixture() {
    session_.reset();
}

QString Fixture::writeFile(const QString& relative, const QByteArray& bytes) {
    QString path = root() + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
    return path;
}

QByteArray Fixture::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace torvika::test
