#include "sales/receipt_files.h"

#include "common/errors.h"
#include "sales/departments.h"
#include "sales/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
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
    // A file system without links: the name is looked at, then taken.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return false;
    if (::rename(source.constData(), target.constData()) == 0)
        return true;
    throw EInOutError(systemError(texts::kCommandFileNotWritten, to));
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
            if (line.number == number && line.rate) {
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

QString writeReceiptFile(const QString& directory, int& counter, const QByteArray& bytes) {
    if (!QDir().mkpath(directory))
        throw EInOutError(texts::kDirectoryNotCreated.arg(QDir::toNativeSeparators(directory)));
    PendingFile file(directory, bytes);
    // A file the server has not consumed keeps its number: the receipt
    // takes the next free one (after a restart the counter starts at 1).
    for (int n = qMax(counter, 1); n < std::numeric_limits<int>::max(); ++n) {
        const QString path = QDir(directory).filePath(QStringLiteral("BON%1.bon").arg(n));
        if (!taken(path) && file.moveTo(path)) {
            counter = n + 1;
            return path;
        }
    }
    throw EInOutError(texts::kCommandFileNotWritten.arg(QDir::toNativeSeparators(directory), QString()));
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
    BonResult result;
    try {
        result.receiptFile = writeReceiptFile(settings.receiptDir, counter, bytes);
    } catch (const Error& e) {
        result.receiptFailed = true;
        result.receiptError = e.message();
    }
    writeTickets(result, db, settings, header, mode == kBonService);
    prepared.loss = {};
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
        const Ticket ticket{
            number, department->name, QDir(directory).filePath(QStringLiteral("ToPrepare%1.bon").arg(number)),
            commandFileBytes(departmentTicketLines(type, header, withBill, department->name, *it))};
        if (waitingFor(number)) {
            waiting_ << ticket;
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
                waiting_ << ticket;
        } catch (const Error& e) {
            result.ticketFailures << TicketFailure{number, department->name, e.message()};
        }
    }
    result.ticketsWaiting = int(waiting_.size());
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
                it = waiting_.erase(it);
                continue;
            }
        } catch (const Error& e) {
            failures << TicketFailure{it->department, it->name, e.message()};
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
        addCorrectionLine(state.prepared);
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
    if (receiptOnly.saleReceipt != kServiceReceipt && receiptOnly.saleReceipt != kFiscalReceipt)
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
