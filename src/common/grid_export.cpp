#include "common/grid_export.h"

#include "common/dates.h"
#include "common/texts.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QFile>

namespace torvika {

namespace {

const QByteArray utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

// Dates and times as the program shows them; anything else as Qt writes it.
QString displayText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDate:
        return shortDate(value.toDate());
    case QMetaType::QTime:
        return shortTime(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return shortDate(dt.date()) + u' ' + shortTime(dt.time());
    }
    default:
        return value.toString();
    }
}

// Appends to an open file; a new or empty file gets the byte-order mark first.
class ExportFile {
public:
    ExportFile(const QString& fileName, ExportWrite mode) : file_(fileName) {
        const QIODevice::OpenMode how =
            mode == ExportWrite::Rewrite ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::Append;
        ok_ = file_.open(how);
        if (ok_ && file_.size() == 0)
            write(utf8Bom);
    }

    bool ok() const { return ok_; }
    void write(const QByteArray& bytes) {
        if (ok_ && file_.write(bytes) != bytes.size())
            ok_ = false;
    }
    void write(const QString& text) { write(text.toUtf8()); }
    void line(const QString& text) { write(text + exportLineEnd); }
    // Flushes and closes; false when anything failed.
    bool close() {
        if (ok_ && !file_.flush())
            ok_ = false;
        file_.close();
        return ok_;
    }

private:
    QFile file_;
    bool ok_ = false;
};

} // namespace

ExportKind exportKindFor(int choice) {
    for (const ExportKindChoice& c : exportKindChoices) {
        if (c.number == choice)
            return ExportKind{c.number, c.extension.toString(), c.separator.toString()};
    }
    return ExportKind{};
}

QString footerLine() {
    return texts::kExportFooter;
}

QString exportDateLine(const QDateTime& now) {
    return texts::kExportDate + shortDate(now.date()) + u' ' + shortTime(now.time());
}

QString FORMAT_NUMBERS(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), u'0') + text;
}

bool writeExportText(const QString& fileName, const QString& text, ExportWrite mode) {
    ExportFile f(fileName, mode);
    f.write(text);
    return f.close();
}

bool writeExportLines(const QString& fileName, const QStringList& lines, ExportWrite mode) {
    ExportFile f(fileName, mode);
    for (const QString& l : lines)
        f.line(l);
    return f.close();
}

bool isHtmlKind(const ExportKind& kind) {
    return kind.extension.compare(QLatin1String(".html"), Qt::CaseInsensitive) == 0;
}

QStringList linesForKind(const ExportKind& kind, const QStringList& lines) {
    if (!isHtmlKind(kind))
        return lines;
    QStringList out;
    for (const QString& l : lines)
        out << l.toHtmlEscaped();
    return out;
}

QString exportCell(const QString& text, int pixelWidth, const ExportKind& kind) {
    const int w = qMax(0, pixelWidth / 5);
    QString t = text;
    for (QChar& c : t) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    int cut = qMin<int>(w, t.size());
    // Never split a character outside the basic plane in two.
    if (cut > 0 && cut < t.size() && t.at(cut - 1).isHighSurrogate())
        --cut;
    t = t.left(cut).leftJustified(w, u' ');
    if (isHtmlKind(kind))
        t = t.toHtmlEscaped();
    return t;
}

QString exportFileName(const QString& tempDir, const QString& name, const ExportKind& kind) {
    QString dir = tempDir;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir + name + kind.extension;
}

bool PRINT_INTO(QAbstractItemModel& model, const QList<GridColumn>& columns, const QString& fileName,
                const ExportKind& kind) {
    ExportFile f(fileName, ExportWrite::Append);
    f.line(QString());
    if (isHtmlKind(kind))
        f.line(QStringLiteral("<pre>"));

    QString titles;
    for (const GridColumn& c : columns)
        titles += kind.separator + exportCell(c.title, c.pixelWidth, kind);
    f.line(titles);
    f.line(QString());

    // A query model hands out its rows in portions; the file gets all of them.
    while (f.ok() && model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    const int rows = model.rowCount();
    for (int r = 0; r < rows && f.ok(); ++r) {
        QString row;
        for (const GridColumn& c : columns) {
            QString text;
            if (c.modelColumn >= 0 && c.modelColumn < model.columnCount())
                text = displayText(model.data(model.index(r, c.modelColumn), Qt::DisplayRole));
            row += kind.separator + exportCell(text, c.pixelWidth, kind);
        }
        f.line(row);
    }
    f.line(QString());
    return f.close();
}

} // namespace torvika
