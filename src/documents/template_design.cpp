#include "documents/template_design.h"

#include "common/cp1251.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "common/texts.h"
#include "documents/report_engine.h"
#include "documents/rich_text.h"
#include "documents/template_files.h"
#include "documents/texts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSqlRecord>
#include <QTextDocument>
#include <algorithm>

namespace torvika {

namespace {

// The tables documents read their rows from, as the designer lists them.
const char* const kDocumentTables[] = {
    "Prodajbi_Vremenni.DB", "Priem_Ser_Vremen.DB", "Produkti.DB", "Firmi.db",
    "Klienti.db",           "Operators.db",        "Dokumenti.DB"};

// The largest outside file taken into a template.
constexpr qint64 kMaxImportedFile = 64 * 1024 * 1024;

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList columnsOf(const QSqlRecord& record) {
    QStringList out;
    for (int i = 0; i < record.count(); ++i)
        out << record.fieldName(i);
    return out;
}

QByteArray readImported(const QString& path) {
    const QFileInfo info(path);
    if (info.size() > kMaxImportedFile)
        throw EDocumentError(texts::kTemplateFileTooLarge.arg(QDir::toNativeSeparators(path)));
    QFile f(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        throw EDocumentError(texts::kFileUnreadable.arg(QDir::toNativeSeparators(path), f.errorString()));
    return f.readAll();
}

} // namespace

QStringList systemDataItems() {
    return {
        QStringLiteral("Дата"),     QStringLiteral("Дата и час"),        QStringLiteral("DetailCount"),
        QStringLiteral("DetailNo"), QStringLiteral("Номер на страница"), QStringLiteral("Име на документа"),
        QStringLiteral("Час")};
}

QList<int> designerLabelKinds() {
    QList<int> out;
    for (int k = kLabelNet; k <= kLabelLastKind; ++k)
        if (!labelKindItem(k).isEmpty())
            out << k;
    return out;
}

QList<FieldTable> fieldTables(const QSqlDatabase& db, QStringList* missing) {
    QList<FieldTable> out;
    QStringList listed;
    for (const char* t : kDocumentTables) {
        const QString dataSet = QString::fromLatin1(t);
        const QSqlRecord record = tableColumns(db, tableOfDataSet(dataSet));
        listed << tableOfDataSet(dataSet);
        if (record.isEmpty()) {
            if (missing)
                missing->append(tableOfDataSet(dataSet));
            continue;
        }
        out.append({dataSet, columnsOf(record)});
    }
    QStringList others = db.tables(QSql::Tables);
    std::sort(others.begin(), others.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& t : others) {
        if (t.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive) || !isPlainIdentifier(t) ||
            std::any_of(listed.begin(), listed.end(), [&t](const QString& l) { return same(l, t); }))
            continue;
        const QSqlRecord record = tableColumns(db, t);
        if (!record.isEmpty())
            out.append({t + QStringLiteral(".DB"), columnsOf(record)});
    }
    return out;
}

QStringList missingFields(const QSqlDatabase& db, const ReportTemplate& report) {
    QStringList out;
    QStringList seen;
    for (const ReportElement& e : report.elements) {
        if (e.kind != ElementKind::DataField || e.dataField.trimmed().isEmpty())
            continue;
        const QString table = tableOfDataSet(e.dataSet);
        const QString column = e.dataField.trimmed();
        const QString key = (table + u'.' + column).toLower();
        if (seen.contains(key) || seen.contains(table.toLower()))
            continue;
        const QSqlRecord record =
            isPlainIdentifier(table) && !table.contains(u'.') ? tableColumns(db, table) : QSqlRecord();
        if (record.isEmpty()) {
            seen << table.toLower();
            out << texts::kUnknownTable.arg(e.dataSet, report.name);
        } else if (!isPlainIdentifier(column) || record.indexOf(column) < 0) {
            seen << key;
            out << texts::kUnknownColumn.arg(e.dataSet, column, report.name);
        }
    }
    return out;
}

QRect keptInside(const ReportTemplate& report, ReportBand band, QRect box) {
    const int pageWidth = int(kContentWidth);
    const int width = std::clamp(box.width(), 1, pageWidth);
    const int height = std::clamp(box.height(), 1, int(kPageHeight));
    const int left = std::clamp(box.left(), 0, pageWidth - width);
    const int top = std::clamp(box.top(), 0, std::max(0, report.bandHeight(band) - height));
    return QRect(left, top, width, height);
}

void placeElement(ReportTemplate& report, int index, ReportBand band, const QRect& box) {
    if (index < 0 || index >= report.elements.size())
        return;
    report.elements[index].band = band;
    report.elements[index].geometry = keptInside(report, band, box);
}

QStringList documentKindNames(const QSqlDatabase& db) {
    QStringList out;
    for (const QVariantList& row :
         readRows(db, QStringLiteral("SELECT Opisanie FROM Dokumenti ORDER BY ID_Dokument")).rows)
        out << row.value(0).toString();
    return out;
}

bool replacesOtherKind(const QSqlDatabase& db, const QString& dir, const QString& name,
                       const QString& openedName) {
    if (!openedName.isEmpty() && same(name.trimmed(), openedName.trimmed()))
        return false;
    const QStringList kinds = documentKindNames(db);
    if (std::any_of(kinds.begin(), kinds.end(), [&name](const QString& k) { return same(k, name); }))
        return true;
    const QStringList files = QDir(dir).entryList(QDir::Files);
    return std::any_of(files.begin(), files.end(), [&name](const QString& f) {
        for (const char* ext : {".psc", ".hdr", ".ftr"})
            if (same(f, name + QLatin1String(ext)))
                return true;
        return false;
    });
}

QByteArray bandTextFromFile(const QString& path) {
    const QByteArray bytes = readImported(path);
    if (bytes.trimmed().startsWith("{\\rtf"))
        return bytes;
    QTextDocument doc;
    doc.setPlainText(decodeUtf8OrCp1251(bytes));
    return writeRtf(doc);
}

QString importPicture(const QString& dir, const QString& path) {
    const QByteArray bytes = readImported(path);
    QImageReader reader(path);
    if (!reader.canRead())
        throw EDocumentError(texts::kNotAPicture.arg(QDir::toNativeSeparators(path)));
    QDir().mkpath(dir);
    const QFileInfo info(path);
    if (QFileInfo(QDir(dir).absolutePath()) == QFileInfo(info.absolutePath()))
        return info.fileName();
    const auto hash = [](const QByteArray& b) {
        return QCryptographicHash::hash(b, QCryptographicHash::Sha1);
    };
    QString name = info.fileName();
    for (int n = 2;; ++n) {
        const QString target = QDir(dir).filePath(name);
        QFile existing(target);
        if (!existing.exists())
            break;
        if (existing.open(QIODevice::ReadOnly) && hash(existing.readAll()) == hash(bytes))
            return name;
        name = QStringLiteral("%1 (%2).%3").arg(info.completeBaseName()).arg(n).arg(info.suffix());
    }
    QFile out(QDir(dir).filePath(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw EDocumentError(
            texts::kFileUnwritable.arg(QDir::toNativeSeparators(out.fileName()), out.errorString()));
    return name;
}

} // namespace torvika
