#include "common/import_report.h"

#include "common/errors.h"
#include "common/texts.h"

namespace torvika {

void ImportReport::refuse(qint64 line, const QString& reason) {
    ++refused;
    addNumbered(texts::kImportLineRefused.arg(line).arg(reason));
}

void ImportReport::closeUnstored() {
    lines << QString();
    lines << (outcome == Outcome::Cancelled ? texts::kImportCancelled : texts::kImportFailed.arg(failure));
    lines << texts::kImportNothingStored;
}

void runImport(const QSqlDatabase& db, ImportReport& report, const std::function<bool()>& body) {
    try {
        Transaction t(db);
        if (!body()) {
            report.outcome = ImportReport::Outcome::Cancelled;
            return;
        }
        t.commit();
    } catch (const Error& e) {
        report.outcome = ImportReport::Outcome::Failed;
        report.failure = e.message();
    }
}

void closeImportReport(ImportReport& report, const QString& totalText, bool replace) {
    report.lines << QString() << totalText.arg(report.added + report.repeated)
                 << texts::kImportAdded.arg(report.added)
                 << (replace ? texts::kImportReplaced.arg(report.replaced)
                             : texts::kImportRepeated.arg(report.repeated));
    if (report.refused > 0)
        report.lines << texts::kImportRefusedLines.arg(report.refused);
    if (report.outcome != ImportReport::Outcome::Stored)
        report.closeUnstored();
    report.lines << texts::kImportPressEsc;
}

void ImportFields::refuse(const QString& reason) {
    if (refusal_.isEmpty())
        refusal_ = reason;
}

std::optional<QString> ImportFields::present(int number) const {
    std::optional<QString> v = fields_.find(number);
    if (v && v->trimmed().isEmpty())
        return std::nullopt;
    return v;
}

std::optional<QString> ImportFields::text(int number, int width) {
    std::optional<QString> v = fields_.find(number);
    if (v && v->size() > width) {
        refuse(texts::kImportTooLong.arg(number).arg(width));
        return std::nullopt;
    }
    return v;
}

std::optional<Decimal> ImportFields::number(int number, std::optional<Decimal> low,
                                            std::optional<Decimal> high) {
    const std::optional<QString> v = present(number);
    if (!v)
        return std::nullopt;
    const std::optional<Decimal> d = Decimal::parse(*v);
    if (!d) {
        refuse(texts::kImportNotANumber.arg(QString::number(number), *v));
        return std::nullopt;
    }
    if ((low && *d < *low) || (high && *d > *high)) {
        if (!high)
            refuse(texts::kImportBelow.arg(QString::number(number), *v, low->toString()));
        else if (!low)
            refuse(texts::kImportAbove.arg(QString::number(number), *v, high->toString()));
        else
            refuse(
                texts::kImportOutOfRange.arg(QString::number(number), *v, low->toString(), high->toString()));
        return std::nullopt;
    }
    return d;
}

std::optional<qint64> ImportFields::whole(int number, qint64 low, qint64 high) {
    const std::optional<QString> v = present(number);
    if (!v)
        return std::nullopt;
    const std::optional<Decimal> d = Decimal::parse(*v);
    if (!d || *d != d->integerPart() || *d < Decimal(low) || *d > Decimal(high)) {
        refuse(texts::kImportNotAWholeNumber.arg(QString::number(number), *v, QString::number(low),
                                                 QString::number(high)));
        return std::nullopt;
    }
    return d->toString().toLongLong();
}

std::optional<bool> ImportFields::mark(int number) {
    const std::optional<QString> v = present(number);
    if (!v)
        return std::nullopt;
    const QString t = v->trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    refuse(texts::kImportNotAMark.arg(QString::number(number), *v));
    return std::nullopt;
}

std::optional<QString> unterminatedLine(const NumberedFields& fields) {
    if (fields.unterminated())
        return texts::kImportUnterminated.arg(fields.unterminatedField());
    return std::nullopt;
}

QSqlQuery& PreparedStatements::exec(const QString& sql, const QVariantList& values) {
    std::shared_ptr<PreparedSql>& s = prepared_[sql];
    if (!s)
        s = std::make_shared<PreparedSql>(db_, sql);
    return s->exec(values);
}

BatchInsert::BatchInsert(PreparedStatements& statements, const QString& head, int columns, int rowsPerBatch)
    : statements_(statements), head_(head), columns_(columns), rowsPerBatch_(rowsPerBatch) {}

void BatchInsert::add(const QVariantList& row) {
    values_ << row;
    if (++rows_ == rowsPerBatch_)
        flush();
}

void BatchInsert::flush() {
    if (rows_ == 0)
        return;
    const QString one = u'(' + QStringList(columns_, QStringLiteral("?")).join(u',') + u')';
    statements_.exec(head_ + QStringLiteral(" VALUES ") + QStringList(rows_, one).join(u','), values_);
    values_.clear();
    rows_ = 0;
}

bool readNumberedFile(NumberedFieldFile& file, Progress& progress,
                      const std::function<void(qint64 line, const NumberedFields& fields)>& take) {
    constexpr int kScale = 1000;
    constexpr int kLinesPerLook = 256; // between two looks at the cancel button
    progress.start(kScale);
    int shown = -1;
    int sinceLook = 0;
    while (const std::optional<QString> text = file.nextLine()) {
        take(file.lineNumber(), GET_IMPORTED_DATA(*text));
        const int now = file.size() > 0 ? int(file.position() * kScale / file.size()) : kScale;
        if (now != shown) {
            shown = now;
            progress.setValue(now);
        }
        if (++sinceLook >= kLinesPerLook) {
            sinceLook = 0;
            if (progress.cancelled())
                return false;
        }
    }
    return !progress.cancelled();
}

} // namespace torvika
