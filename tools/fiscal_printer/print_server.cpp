#include "fiscal_printer/print_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <stdexcept>

namespace torvika::fiscal_printer {

namespace {

const QString kRejected = QStringLiteral("rejected");
const QString kClaimed = QStringLiteral(".printing");

QString statePath(const QString& journal) {
    return journal + QStringLiteral(".state");
}

qint64 fileNumber(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)\\.bon$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = digits.match(name);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

// A free name in the directory for the file moved aside.
QString asideName(const QDir& dir, const QString& name) {
    QString candidate = dir.filePath(name);
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = dir.filePath(QStringLiteral("%1.%2").arg(name).arg(n));
    return candidate;
}

} // namespace

PrintServer::PrintServer(ServerOptions options) : options_(std::move(options)) {
    for (const QString& dir : QStringList{options_.receiptDir} + options_.departmentDirs)
        QDir().mkpath(dir);
    const QString journalDir = QFileInfo(options_.journal).absolutePath();
    QDir().mkpath(journalDir);
    device_ = FiscalDevice(FiscalDevice::load(statePath(options_.journal)));
}

QStringList PrintServer::directories() const {
    QStringList dirs{options_.receiptDir};
    const QDir receipts(options_.receiptDir);
    for (const QString& sub : receipts.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (sub != kRejected)
            dirs << receipts.filePath(sub);
    for (const QString& d : options_.departmentDirs)
        if (!dirs.contains(d))
            dirs << d;
    return dirs;
}

QList<PrintServer::Waiting> PrintServer::waitingFiles() const {
    QList<Waiting> files;
    const QStringList dirs = directories();
    for (int i = 0; i < dirs.size(); ++i) {
        const QDir dir(dirs[i]);
        const Place place = i == 0 ? Place::Receipts : Place::Department;
        for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.bon")}, QDir::Files, QDir::Name)) {
            if (info.fileName().startsWith(u'.'))
                continue;
            files << Waiting{info.filePath(), place, info.lastModified(), fileNumber(info.fileName())};
        }
    }
    // In the order written: by time, and by number within one moment.
    std::stable_sort(files.begin(), files.end(), [](const Waiting& a, const Waiting& b) {
        if (a.modified != b.modified)
            return a.modified < b.modified;
        return a.number < b.number;
    });
    return files;
}

int PrintServer::processPending() {
    const QList<Waiting> files = waitingFiles();
    for (const Waiting& file : files)
        take(file);
    return int(files.size());
}

void PrintServer::take(const Waiting& waiting) {
    const QFileInfo info(waiting.path);
    const QString name = info.fileName();
    // Claimed first: the program may write a new file of the same name as
    // soon as this one is gone, and this one is printed only once.
    const QString claimed = asideName(info.dir(), QStringLiteral(".") + name + kClaimed);
    if (!QFile::rename(waiting.path, claimed)) {
        report(QStringLiteral("не може да бъде взет: ") + waiting.path);
        return;
    }
    QFile f(claimed);
    const ParsedFile parsed = f.open(QIODevice::ReadOnly)
                                  ? parseCommandFile(f.readAll(), waiting.place)
                                  : ParsedFile{std::nullopt, FileError{0, f.errorString()}};
    f.close();
    if (parsed.error) {
        QDir dir = info.dir();
        dir.mkpath(kRejected);
        const QDir rejected(dir.filePath(kRejected));
        const QString aside = asideName(rejected, name);
        QFile::rename(claimed, aside);
        const QString where =
            parsed.error->line > 0 ? QStringLiteral(", ред %1").arg(parsed.error->line) : QString();
        const QString text = QStringLiteral("ГРЕШКА: %1%2: %3; файлът е преместен в %4")
                                 .arg(waiting.path, where, parsed.error->reason, aside);
        appendJournal({text});
        report(text);
        return;
    }
    FiscalDevice device = device_;
    const QStringList printed = device.print(*parsed.file, waiting.place, waiting.path, clock());
    if (!printed.isEmpty())
        appendJournal(printed);
    FiscalDevice::save(device.figures(), statePath(options_.journal));
    device_ = device;
    QFile::remove(claimed);
    report(printed.isEmpty() ? QStringLiteral("празен файл, нищо за печат: ") + waiting.path
                             : QStringLiteral("отпечатан: ") + waiting.path);
}

void PrintServer::appendJournal(const QStringList& lines) {
    QFile journal(options_.journal);
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Append))
        throw std::runtime_error("cannot write the journal " + options_.journal.toStdString() + ": " +
                                 journal.errorString().toStdString());
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    if (journal.write(bytes) != bytes.size() || !journal.flush())
        throw std::runtime_error("cannot write the journal " + options_.journal.toStdString() + ": " +
                                 journal.errorString().toStdString());
}

} // namespace torvika::fiscal_printer
