#include "sales/receipt_files.h"

#include "common/errors.h"
#include "sales/departments.h"
#include "sales/texts.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace torvika {

namespace {

// The receipt directory of the original installations, meaningless here.
const QString kWindowsDefault = QStringLiteral("C:\\Temp");

QString fromProgramDir(const QString& programDir, const QString& path) {
    return QDir::isRelativePath(path) ? QDir(programDir).filePath(path) : path;
}

QString systemError(const QString& what, const QString& path) {
    return what.arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno)));
}

// Command files are read by a print server that may run under another
// account: readable by everyone, written by their owner.
constexpr mode_t kCommandFileMode = 0644;

// Makes the open file readable as a command file of the directory: its
// mode, and the directory's group where the program may give it (a shared
// print directory is often one of the server's group, set-group-ID or not).
void shareWithDirectory(int fd, const QString& directory) {
    if (::fchmod(fd, kCommandFileMode) != 0)
        throw EInOutError(systemError(texts::kCommandFileNotWritten, directory));
    struct stat dir {};
    struct stat file {};
    if (::stat(QFile::encodeName(directory).constData(), &dir) == 0 && ::fstat(fd, &file) == 0 &&
        dir.st_gid != file.st_gid) {
        // Only a group the program's user belongs to can be given; the file
        // stays readable by everyone otherwise.
        [[maybe_unused]] const int given = ::fchown(fd, uid_t(-1), dir.st_gid);
    }
}

// Moves the file to the new name unless a file of that name is there:
// false then, and nothing moved. Atomic where the file system allows it.
bool renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw EInOutError(systemError(texts::kCommandFileNotWritten, to));
#endif
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    return placeWithoutLinks(from, to);
}

// A command file's bytes written under a temporary name in its directory,
// removed again unless moved into place.
class PendingFile {
public:
    PendingFile(const QString& directory, const QByteArray& bytes)
        : file_(QDir(directory).filePath(QStringLiteral(".torvika-XXXXXX.tmp"))) {
        if (!file_.open())
            throw EInOutError(
                texts::kCommandFileNotWritten.arg(QDir::toNativeSeparators(directory), file_.errorString()));
        shareWithDirectory(file_.handle(), directory);
        const bool written =
            file_.write(bytes) == bytes.size() && file_.flush() && ::fsync(file_.handle()) == 0;
        const QString error = written ? QString() : file_.errorString();
        file_.close();
        if (!written || file_.error() != QFileDevice::NoError)
            throw EInOutError(texts::kCommandFileNotWritten.arg(
                QDir::toNativeSeparators(directory), error.isEmpty() ? file_.errorString() : error));
    }
    bool moveTo(const QString& path) {
        if (!renameNoReplace(file_.fileName(), path))
            return false;
        file_.setAutoRemove(false);
        return true;
    }

private:
    QTemporaryFile file_;
};

bool taken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The receipt numbers of the directory: its counter file and its lock,
// which every workstation writing receipts there takes while it numbers
// one.
const QString kCounterFile = QStringLiteral(".torvika-bon-counter");
const QString kLockFile = QStringLiteral(".torvika-bon.lock");
// How long another workstation's numbering is waited for.
constexpr int kLockWaitMs = 10000;

// The number the counter file says comes next; 0 without one. A file that
// is no number counts as none: the receipt files present still bound it.
qint64 counterFileNumber(const QString& directory) {
    QFile f(QDir(directory).filePath(kCounterFile));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 n = QString::fromLatin1(f.read(32)).trimmed().toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

void writeCounterFile(const QString& directory, qint64 next) {
    const QString path = QDir(directory).filePath(kCounterFile);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray::number(next) + "\n") < 0 || !f.commit())
        throw EInOutError(texts::kCommandFileNotWritten.arg(QDir::toNativeSeparators(path), f.errorString()));
}

// The highest number of a receipt file in the directory: waiting
// ("BON<n>.bon") or being printed (".BON<n>.bon.printing" and the like).
qint64 highestReceiptFile(const QString& directory) {
    static const QRegularExpression name(QStringLiteral(R"(^\.?BON(\d{1,18})\.bon(\..*)?$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    qint64 highest = 0;
    for (const QString& entry : QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = name.match(entry);
        if (m.hasMatch())
            highest = std::max(highest, m.captured(1).toLongLong());
    }
    return highest;
}

} // namespace

FiscalSettings fiscalSettingsFrom(const QString& programDir, const QString& receiptDirectory, int saleReceipt,
                                  const QString& deviceType, bool departmentTickets) {
    FiscalSettings s;
    s.programDir = programDir;
    const QString& dir = receiptDirectory;
    if (dir.trimmed().isEmpty() || dir.compare(kWindowsDefault, Qt::CaseInsensitive) == 0)
        s.receiptDir = QDir(programDir).filePath(QStringLiteral("Fiscal"));
    else
        s.receiptDir = fromProgramDir(programDir, dir);
    s.saleReceipt = saleReceipt;
    s.deviceType = deviceTypeNumber(deviceType);
    s.departmentTickets = departmentTickets;
    return s;
}

QString FiscalSettings::waitingTicketsDir() const {
    return QDir(programDir).filePath(QStringLiteral("WaitingTickets"));
}

QString departmentDirectory(const FiscalSettings& settings, int department, const QString& path) {
    if (path.trimmed().isEmpty())
        return QDir(settings.receiptDir).filePath(QStringLiteral("Department%1").arg(department));
    return fromProgramDir(settings.programDir, path);
}

QList<SaleLine> pendingSaleLines(const QSqlDatabase& db, const QString& operatorName,
                                 const QList<qint64>& lineNumbers, int decimals) {
    const QList<SaleLine> all = allOperatorLines(db, operatorName, decimals);
    QList<SaleLine> out;
    for (qint64 number : lineNumbers)
        for (const SaleLine& line : all)
            if (line.number == number) {
                out << line;
                break;
            }
    return out;
}

std::optional<ReceiptLine> receiptLine(const SaleLine& line) {
    if (!line.rate)
        return std::nullopt;
    ReceiptLine r;
    r.article = QString::number(line.article);
    r.name = line.description;
    r.quantity = line.quantity;
    r.unitPrice = line.unitPrice;
    r.discount = line.discount;
    r.vatGroup = line.taxGroup;
    r.department = line.department;
    r.rate = *line.rate;
    return r;
}

QList<ReceiptLine> receiptLines(const QList<SaleLine>& lines) {
    QList<ReceiptLine> out;
    for (const SaleLine& line : lines)
        if (const std::optional<ReceiptLine> r = receiptLine(line))
            out << *r;
    return out;
}

QStringList currenciesWithoutRate(const QList<SaleLine>& lines) {
    QStringList out;
    for (const SaleLine& line : lines)
        if (!line.rate && !out.contains(line.currency))
            out << line.currency;
    return out;
}

QString writeReceiptFile(const QString& directory, int& counter, const QByteArray& bytes) {
    if (!QDir().mkpath(directory))
        throw EInOutError(texts::kDirectoryNotCreated.arg(QDir::toNativeSeparators(directory)));
    PendingFile file(directory, bytes);
    QLockFile lock(QDir(directory).filePath(kLockFile));
    if (!lock.tryLock(kLockWaitMs))
        throw EInOutError(texts::kReceiptNumbersBusy.arg(QDir::toNativeSeparators(directory)));
    // Past everything handed out or still there, so that a new receipt is
    // never printed before older ones waiting, and no number comes twice.
    qint64 n = std::max(
        {qint64(counter), qint64(1), counterFileNumber(directory), highestReceiptFile(directory) + 1});
    for (; n < std::numeric_limits<int>::max(); ++n) {
        writeCounterFile(directory, n + 1);
        const QString path = QDir(directory).filePath(QStringLiteral("BON%1.bon").arg(n));
        if (!taken(path) && file.moveTo(path)) {
            counter = int(n + 1);
            return path;
        }
    }
    throw EInOutError(texts::kCommandFileNotWritten.arg(QDir::toNativeSeparators(directory), QString()));
}

bool placeWithoutLinks(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // Only one writer creates the name; the file then replaces its own
    // placeholder (a server that takes the empty placeholder first prints
    // nothing of it).
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kCommandFileMode);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw EInOutError(systemError(texts::kCommandFileNotWritten, to));
    }
    ::close(fd);
    if (::rename(source.constData(), target.constData()) != 0)
        throw EInOutError(systemError(texts::kCommandFileNotWritten, to));
    return true;
}

bool writeCommandFileIfAbsent(const QString& path, const QByteArray& bytes) {
    const QString directory = QFileInfo(path).absolutePath();
    if (!QFileInfo(directory).isDir())
        throw EInOutError(texts::kDirectoryMissing.arg(QDir::toNativeSeparators(directory)));
    if (taken(path))
        return false;
    PendingFile file(directory, bytes);
    return file.moveTo(path);
}

void FiscalState::PREPARE_BON_FILE(const ReceiptLine& line, int kind, const FiscalSettings& settings,
                                   const Decimal& amountDue) {
    prepareBonLine(prepared, line, kind, settings.prepare(), amountDue);
}

BonResult FiscalState::CREATE_BON_FILE(BonMode mode, const QSqlDatabase& db, const FiscalSettings& settings,
                                       const BonHeader& header) {
    if (mode != kBonService && mode != kBonFiscal)
        prepared.lines.clear();
    const QByteArray bytes =
        commandFileBytes(receiptFileLines(mode, settings.deviceType, header, prepared.lines, prepared.total));
    // Used up whatever happens: lines that could not be printed now must
    // never be printed with the next customer's receipt.
    prepared.lines.clear();
    prepared.items.clear();
    BonResult result;
    try {
        result.receiptFile = writeReceiptFile(settings.receiptDir, counter, bytes);
    } catch (const Error& e) {
        result.receiptFailed = true;
        result.receiptError = e.message();
    }
    writeTickets(result, db, settings, header, mode == kBonService);
    return result;
}

BonResult FiscalState::writeDepartmentTickets(const QSqlDatabase& db, const FiscalSettings& settings,
                                              const BonHeader& header) {
    BonResult result;
    writeTickets(result, db, settings, header, false);
    return result;
}

bool FiscalState::waitingFor(int department) const {
    for (const Ticket& t : waiting_)
        if (t.department == department)
            return true;
    return false;
}

void FiscalState::writeTickets(BonResult& result, const QSqlDatabase& db, const FiscalSettings& settings,
                               const BonHeader& header, bool withBill) {
    result.ticketFailures += retryWaitingTickets();
    const QMap<int, QStringList> lists = std::exchange(prepared.departments, {});
    for (auto it = lists.cbegin(); it != lists.cend(); ++it) {
        if (it->isEmpty())
            continue;
        const int number = it.key();
        std::optional<Department> department;
        try {
            department = loadDepartment(db, number);
        } catch (const Error& e) {
            result.ticketFailures << TicketFailure{number, {}, e.message()};
            continue;
        }
        if (!department) {
            result.ticketFailures << TicketFailure{number, {}, texts::kNoSuchDepartment};
            continue;
        }
        const int type = deviceTypeNumber(department->deviceType);
        if (deviceLayout(type) == DeviceLayout::None)
            continue; // a department whose tickets are not printed
        const QString directory = departmentDirectory(settings, number, department->path);
        Ticket ticket{number,
                      department->name,
                      QDir(directory).filePath(QStringLiteral("ToPrepare%1.bon").arg(number)),
                      commandFileBytes(departmentTicketLines(type, header, withBill, department->name, *it)),
                      {}};
        if (waitingFor(number)) {
            wait(std::move(ticket), settings.waitingTicketsDir(), result);
            continue;
        }
        try {
            // The default directory is the program's own to create; a
            // typed one is where a print server already watches.
            if (department->path.trimmed().isEmpty() && !QDir().mkpath(directory))
                throw EInOutError(texts::kDirectoryNotCreated.arg(QDir::toNativeSeparators(directory)));
            if (writeCommandFileIfAbsent(ticket.file, ticket.bytes))
                ++result.ticketsWritten;
            else
                wait(std::move(ticket), settings.waitingTicketsDir(), result);
        } catch (const Error& e) {
            result.ticketFailures << TicketFailure{number, department->name, e.message()};
        }
    }
    result.ticketsWaiting = int(waiting_.size());
}

namespace {

// A kept ticket: "TVKT", a version, then the department, its name, the
// ticket's file and bytes.
constexpr quint32 kKeptTicketMagic = 0x54564b54;
constexpr quint32 kKeptTicketVersion = 1;
// Far more than any ticket; a larger file is no ticket of ours.
constexpr qint64 kKeptTicketMaxSize = 4 * 1024 * 1024;
const QString kKeptTicketSuffix = QStringLiteral(".ticket");

QStringList keptTicketFiles(const QString& directory) {
    return QDir(directory).entryList({u'*' + kKeptTicketSuffix}, QDir::Files, QDir::Name);
}

} // namespace

void FiscalState::wait(Ticket ticket, const QString& directory, BonResult& result) {
    try {
        if (!QDir().mkpath(directory))
            throw EInOutError(texts::kDirectoryNotCreated.arg(QDir::toNativeSeparators(directory)));
        // Named in the order of waiting, after every ticket kept there.
        const QStringList kept = keptTicketFiles(directory);
        const qint64 last = kept.isEmpty() ? 0 : kept.last().section(u'.', 0, 0).toLongLong();
        const QString path = QDir(directory).filePath(
            QStringLiteral("%1").arg(last + 1, 10, 10, QChar(u'0')) + kKeptTicketSuffix);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kKeptTicketMagic << kKeptTicketVersion << qint32(ticket.department) << ticket.name
            << ticket.file << ticket.bytes;
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
            throw EInOutError(
                texts::kCommandFileNotWritten.arg(QDir::toNativeSeparators(path), f.errorString()));
        ticket.kept = path;
    } catch (const Error& e) {
        result.keepError = e.message();
    }
    waiting_ << std::move(ticket);
}

void FiscalState::forget(const Ticket& ticket) {
    if (!ticket.kept.isEmpty())
        QFile::remove(ticket.kept);
}

QList<TicketFailure> FiscalState::resumeWaitingTickets(const QString& directory) {
    QList<TicketFailure> damaged;
    const QString dir = QDir(directory).absolutePath();
    if (resumed_.contains(dir))
        return damaged;
    resumed_ << dir;
    QList<Ticket> resumed;
    for (const QString& name : keptTicketFiles(dir)) {
        const QString path = QDir(dir).filePath(name);
        bool alreadyWaiting = false;
        for (const Ticket& t : waiting_)
            alreadyWaiting = alreadyWaiting || QFileInfo(t.kept) == QFileInfo(path);
        if (alreadyWaiting)
            continue;
        QFile f(path);
        Ticket ticket{0, {}, {}, {}, path};
        quint32 magic = 0, version = 0;
        qint32 department = 0;
        bool read = false;
        if (f.open(QIODevice::ReadOnly) && f.size() <= kKeptTicketMaxSize) {
            QDataStream in(&f);
            in.setVersion(QDataStream::Qt_6_0);
            in >> magic >> version >> department >> ticket.name >> ticket.file >> ticket.bytes;
            read = in.status() == QDataStream::Ok && magic == kKeptTicketMagic &&
                   version == kKeptTicketVersion && department > 0 && !ticket.file.isEmpty();
        }
        if (!read) {
            damaged << TicketFailure{
                department, {}, texts::kKeptTicketDamaged.arg(QDir::toNativeSeparators(path))};
            f.close();
            QFile::remove(path);
            continue;
        }
        ticket.department = department;
        resumed << ticket;
    }
    // Older than any ticket of this run: they go first.
    waiting_ = resumed + waiting_;
    return damaged;
}

QList<TicketFailure> FiscalState::retryWaitingTickets() {
    QList<TicketFailure> failures;
    QSet<int> blocked;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (blocked.contains(it->department)) {
            ++it;
            continue;
        }
        try {
            if (writeCommandFileIfAbsent(it->file, it->bytes)) {
                forget(*it);
                it = waiting_.erase(it);
                continue;
            }
        } catch (const Error& e) {
            failures << TicketFailure{it->department, it->name, e.message()};
            forget(*it);
            it = waiting_.erase(it);
            continue;
        }
        // Its department's previous ticket is still there: this one and
        // the department's later ones go on waiting, in order.
        blocked.insert(it->department);
        ++it;
    }
    return failures;
}

QList<TicketFailure> FiscalState::waitingDepartments() const {
    QList<TicketFailure> out;
    QSet<int> seen;
    for (const Ticket& t : waiting_)
        if (!seen.contains(t.department)) {
            seen.insert(t.department);
            out << TicketFailure{t.department, t.name, {}};
        }
    return out;
}

BonResult printSaleReceipt(FiscalState& state, const QList<ReceiptLine>& soldLines, const Decimal& amountDue,
                           const QSqlDatabase& db, const FiscalSettings& settings, const BonHeader& header) {
    const int kind = settings.saleReceipt;
    for (const ReceiptLine& line : soldLines)
        state.PREPARE_BON_FILE(line, kind, settings, amountDue);
    if (kind == kFiscalReceipt) {
        addCorrectionLine(state.prepared, amountDue);
        return state.CREATE_BON_FILE(kBonFiscal, db, settings, header);
    }
    if (kind == kServiceReceipt)
        return state.CREATE_BON_FILE(kBonService, db, settings, header);
    return state.writeDepartmentTickets(db, settings, header);
}

BonResult printSaleReceiptAgain(FiscalState& state, const QList<ReceiptLine>& soldLines,
                                const Decimal& amountDue, const QSqlDatabase& db,
                                const FiscalSettings& settings, const BonHeader& header) {
    FiscalSettings receiptOnly = settings;
    receiptOnly.departmentTickets = false;
    if (!receiptOnly.saleHasReceipt())
        return {};
    return printSaleReceipt(state, soldLines, amountDue, db, receiptOnly, header);
}

BonResult printServiceReceipt(FiscalState& state, const QList<ReceiptLine>& lines, const Decimal& amountDue,
                              const QSqlDatabase& db, const FiscalSettings& settings,
                              const BonHeader& header) {
    for (const ReceiptLine& line : lines)
        state.PREPARE_BON_FILE(line, kServiceReceipt, settings, amountDue);
    return state.CREATE_BON_FILE(kBonService, db, settings, header);
}

} // namespace torvika
