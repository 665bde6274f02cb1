#include "common/numbered_export.h"

#include "common/cp1251.h"
#include "common/decimal.h"
#include "common/errors.h"
#include "common/sql.h"
#include "common/texts.h"

#include <QSaveFile>

namespace torvika {

namespace {

QString valueText(const QVariant& v, ExportValue kind, QChar separator) {
    if (v.isNull())
        return {};
    switch (kind) {
    case ExportValue::Number: {
        const std::optional<Decimal> d = Decimal::fromVariant(v);
        if (!d)
            return v.toString();
        QString text = d->toString();
        if (separator != u'.')
            text.replace(u'.', separator);
        return text;
    }
    case ExportValue::Mark: {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return {};
        return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ? QStringLiteral("True")
                                                                             : QStringLiteral("False");
    }
    case ExportValue::Text:
        break;
    }
    return v.toString();
}

bool canCarry(const QString& value, const ExportFormat& format) {
    if (value.contains(u'\r') || value.contains(u'\n'))
        return false;
    if (!format.closer.isEmpty() && value.contains(format.closer))
        return false;
    return fromCp1251(toCp1251(value)) == value;
}

// Runs over the statement's rows, handing each field's text to `field`
// and the row's end to `row`; stops when either returns false.
template <typename Field, typename Row>
void forEachRecord(const QSqlDatabase& db, const ExportSource& source, const QList<bool>& chosen,
                   const ExportFormat& format, Field field, Row row) {
    QSqlQuery q = execSql(db, source.statement.text, source.statement.values);
    const int fields = int(source.fields.size());
    while (q.next()) {
        for (int i = 0; i < fields; ++i) {
            if (i >= chosen.size() || !chosen[i])
                continue;
            if (!field(q, i, valueText(q.value(i), source.fields[i].kind, format.decimalSeparator)))
                return;
        }
        if (!row(q))
            return;
    }
}

} // namespace

QString fieldOpener(const QString& opener, int number) {
    if (opener.startsWith(u'N'))
        return QString::number(number) + opener.mid(1);
    return opener;
}

QList<ExportProblem> checkExport(const QSqlDatabase& db, const ExportSource& source,
                                 const QList<bool>& chosen, const ExportFormat& format, int limit) {
    QList<ExportProblem> problems;
    const int label = int(source.fields.size());
    forEachRecord(
        db, source, chosen, format,
        [&](const QSqlQuery& q, int i, const QString& value) {
            if (!canCarry(value, format))
                problems << ExportProblem{
                    source.recordLabel.arg(q.value(label).toString(), q.value(label + 1).toString()),
                    source.fields[i].caption, value};
            return problems.size() < limit;
        },
        [](const QSqlQuery&) { return true; });
    return problems;
}

qint64 writeExport(const QSqlDatabase& db, const ExportSource& source, const QList<bool>& chosen,
                   const ExportFormat& format, const QString& fileName, Progress& progress) {
    const qint64 total =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM (%1) AS records").arg(source.statement.text),
                  source.statement.values)
            .toLongLong();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(texts::kFileUnwritable.arg(fileName, file.errorString()));
    constexpr int kScale = 1000;
    progress.start(kScale);
    qint64 written = 0;
    bool cancelled = false;
    const int label = int(source.fields.size());
    QString line;
    QByteArray out;
    auto flush = [&] {
        if (file.write(out) != out.size())
            throw EInOutError(texts::kFileUnwritable.arg(fileName, file.errorString()));
        out.clear();
    };
    forEachRecord(
        db, source, chosen, format,
        [&](const QSqlQuery& q, int i, const QString& value) {
            if (!canCarry(value, format))
                throw EConvertError(texts::kExportValueCannotBeCarried.arg(
                    source.fields[i].caption,
                    source.recordLabel.arg(q.value(label).toString(), q.value(label + 1).toString()), value));
            line += fieldOpener(format.opener, source.fields[i].number) + value + format.closer + u'\t';
            return true;
        },
        [&](const QSqlQuery&) {
            out += toCp1251(line) + "\r\n";
            line.clear();
            ++written;
            if (out.size() > (1 << 20))
                flush();
            if (written % 1024 == 0) {
                progress.setValue(int(written * kScale / qMax<qint64>(1, total)));
                if (progress.cancelled()) {
                    cancelled = true;
                    return false;
                }
            }
            return true;
        });
    if (cancelled) {
        file.cancelWriting();
        progress.finish();
        return -1;
    }
    flush();
    if (!file.commit())
        throw EInOutError(texts::kFileUnwritable.arg(fileName, file.errorString()));
    progress.finish();
    return written;
}

} // namespace torvika
