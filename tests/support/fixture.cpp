#include "support/fixture.h"

#include "shell/company_databases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace torvika::test {

Fixture::Fixture(bool withDatabase) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory");
    ProgramDir pd(dir_.path());
    pd.prepare(QStringLiteral(TORVIKA_SOURCE_DIR "/no-share"));
    QDir scripts(QStringLiteral(TORVIKA_SOURCE_DIR "/scripts"));
    for (const QString& f : scripts.entryList(QDir::Files))
        QFile::copy(scripts.filePath(f), pd.sqlsDir() + u'/' + f);
    session_ = std::make_unique<Session>(pd);
    if (withDatabase) {
        QString problem = ensureDefaultDatabase(*session_);
        if (!problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
        session_->workspace.open();
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
