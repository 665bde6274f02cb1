#include "fiscal_printer/fiscal_device.h"

#include "common/cp1251.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <stdexcept>

namespace torvika::fiscal_printer {

namespace {

const QString kRule = QString(40, u'=');
const QString kThinRule = QString(40, u'-');

// The names of a fiscal item are at most this long.
constexpr int kItemNameLength = 12;

const QRegularExpression& itemPattern() {
    static const QRegularExpression re(QStringLiteral("^%(\\d+)\\^([^^]*)\\^(\\d+)\\^(\\d+)\\^([0-3])\\^$"));
    return re;
}
const QRegularExpression& reversalPattern() {
    static const QRegularExpression re(QStringLiteral("^#S,(operator-error|refund|tax-base-reduction)$"));
    return re;
}
const QString kReversalOriginal = QStringLiteral("Сторно на бон: ");
const QRegularExpression& commandTextPattern() {
    static const QRegularExpression re(QStringLiteral("^([YP]),1,______,_,__;([^;]*);$"));
    return re;
}

QString quantityText(qint64 thousandths) {
    return QStringLiteral("%1.%2").arg(thousandths / 1000).arg(thousandths % 1000, 3, 10, QChar(u'0'));
}

QString numbered(qint64 n) {
    return QStringLiteral("%1").arg(n, 7, 10, QChar(u'0'));
}

// The printout's second line: when, and which file.
QString stamp(const QDateTime& now, const QString& source) {
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  ") + source;
}

FileError lineError(int line, const QString& reason) {
    return FileError{line, reason};
}

} // namespace

QString vatGroupLetter(int group) {
    static const QString letters = QStringLiteral("АБВГ");
    return group >= 0 && group < 4 ? QString(letters[group]) : QStringLiteral("?");
}

QString money(qint64 stotinki) {
    const qint64 a = stotinki < 0 ? -stotinki : stotinki;
    return (stotinki < 0 ? QStringLiteral("-") : QString()) +
           QStringLiteral("%1.%2").arg(a / 100).arg(a % 100, 2, 10, QChar(u'0'));
}

ParsedFile parseCommandFile(const QByteArray& bytes, Place place) {
    ParsedFile result;
    if (bytes.isEmpty()) {
        result.file = CommandFile{};
        return result;
    }
    if (!bytes.endsWith("\r\n")) {
        result.error = FileError{0, QStringLiteral("последният ред не завършва с CR LF")};
        return result;
    }
    QList<QByteArray> raw = bytes.split('\n');
    raw.removeLast(); // after the last line end
    enum Kind { StarLine, ColonLine, FirstCommandLine, CommandLine, ItemLine, ReportLine, ReversalLine };
    QList<Kind> kinds;
    CommandFile file;
    QChar report;
    for (int i = 0; i < raw.size(); ++i) {
        const int number = i + 1;
        QByteArray line = raw[i];
        if (!line.endsWith('\r') || line.count('\r') != 1) {
            result.error = lineError(number, QStringLiteral("редът не завършва с CR LF"));
            return result;
        }
        line.chop(1);
        const QString text = fromCp1251(line);
        PrintLine printed;
        if (text == u'*') {
            kinds << StarLine;
            continue;
        }
        if (text.startsWith(u':')) {
            kinds << ColonLine;
            printed.text = text.mid(1);
        } else if (text.startsWith(u'%')) {
            const QRegularExpressionMatch m = itemPattern().match(text);
            if (!m.hasMatch()) {
                result.error = lineError(number, QStringLiteral("неправилен ред на артикул: ") + text);
                return result;
            }
            Item item;
            item.article = m.captured(1);
            item.name = m.captured(2);
            bool priceOk = false, quantityOk = false;
            item.price = m.captured(3).toLongLong(&priceOk);
            item.quantity = m.captured(4).toLongLong(&quantityOk);
            item.vatGroup = m.captured(5).toInt();
            if (item.name.size() > kItemNameLength || item.name.trimmed().isEmpty() || !priceOk ||
                !quantityOk || item.quantity <= 0) {
                result.error = lineError(number, QStringLiteral("неправилен ред на артикул: ") + text);
                return result;
            }
            kinds << ItemLine;
            printed.isItem = true;
            printed.item = item;
        } else if (const QRegularExpressionMatch m = commandTextPattern().match(text); m.hasMatch()) {
            kinds << (m.captured(1) == u'Y' ? FirstCommandLine : CommandLine);
            printed.text = m.captured(2);
        } else if (const QRegularExpressionMatch m = reversalPattern().match(text); m.hasMatch()) {
            if (i != 0) {
                result.error = lineError(number, QStringLiteral("начален ред на сторно не е първият ред"));
                return result;
            }
            kinds << ReversalLine;
            file.reversalReason = m.captured(1);
            continue;
        } else if (text == u"#N" || text == u"#I" || text == u"#C") {
            kinds << ReportLine;
            report = text[1];
            continue;
        } else {
            result.error = lineError(number, QStringLiteral("непознат ред: ") + text);
            return result;
        }
        file.lines << printed;
    }

    // The lines must make one of the layouts.
    const bool hasItems = kinds.contains(ItemLine);
    const bool hasColon = kinds.contains(ColonLine);
    if (kinds.contains(ReportLine)) {
        if (kinds.size() != 1) {
            result.error = lineError(int(kinds.indexOf(ReportLine)) + 1,
                                     QStringLiteral("отчетът не е единственият ред"));
            return result;
        }
        if (place != Place::Receipts) {
            result.error = lineError(1, QStringLiteral("отчет в папка на отдел"));
            return result;
        }
        file.kind = report == u'N'   ? CommandFile::DailyZeroing
                    : report == u'I' ? CommandFile::DailyReport
                                     : CommandFile::CopyLast;
        result.file = file;
        return result;
    }
    for (int i = 0; i < kinds.size(); ++i) {
        const Kind k = kinds[i];
        if (k == StarLine && i != 0) {
            result.error = lineError(i + 1, QStringLiteral("\"*\" не е първият ред"));
            return result;
        }
        if (k == FirstCommandLine && i != 0) {
            result.error = lineError(i + 1, QStringLiteral("начален ред на бон не е първият ред"));
            return result;
        }
        if (k == CommandLine && kinds.first() != FirstCommandLine) {
            result.error = lineError(i + 1, QStringLiteral("ред на текст без начален ред"));
            return result;
        }
        if ((k == FirstCommandLine || k == CommandLine) &&
            (hasColon || hasItems || kinds.contains(StarLine))) {
            result.error = lineError(i + 1, QStringLiteral("редове от различни формати"));
            return result;
        }
        if (k == ItemLine && kinds.contains(StarLine)) {
            result.error = lineError(i + 1, QStringLiteral("артикул в служебен бон"));
            return result;
        }
        if (k == ItemLine && place != Place::Receipts) {
            result.error = lineError(i + 1, QStringLiteral("артикул в бележка за отдел"));
            return result;
        }
    }
    if (kinds.contains(ReversalLine)) {
        if (!hasItems || kinds.contains(StarLine) || kinds.contains(FirstCommandLine)) {
            result.error = lineError(1, QStringLiteral("сторно без артикули"));
            return result;
        }
        if (place != Place::Receipts) {
            result.error = lineError(1, QStringLiteral("сторно в папка на отдел"));
            return result;
        }
        const bool namesOriginal = std::any_of(file.lines.begin(), file.lines.end(), [](const PrintLine& l) {
            return !l.isItem && l.text.startsWith(kReversalOriginal) &&
                   l.text.size() > kReversalOriginal.size();
        });
        if (!namesOriginal) {
            result.error = lineError(0, QStringLiteral("сторно без оригиналния бон"));
            return result;
        }
        file.kind = CommandFile::ReversalReceipt;
        result.file = file;
        return result;
    }
    file.kind = hasItems ? CommandFile::FiscalReceipt : CommandFile::TextReceipt;
    result.file = file;
    return result;
}

QStringList FiscalDevice::print(const CommandFile& file, Place place, const QString& source,
                                const QDateTime& now) {
    QStringList out;
    switch (file.kind) {
    case CommandFile::Empty:
        return out;
    case CommandFile::DailyZeroing:
        return report(true, source, now);
    case CommandFile::DailyReport:
        return report(false, source, now);
    case CommandFile::CopyLast:
        out << kRule;
        if (figures_.lastReceipt == 0 || figures_.lastReceiptBody.isEmpty()) {
            out << QStringLiteral("КОПИЕ: няма отпечатан фискален бон") << stamp(now, source) << kRule;
            return out;
        }
        out << QStringLiteral("КОПИЕ НА ФИСКАЛЕН БОН № ") + numbered(figures_.lastReceipt)
            << stamp(now, source) << figures_.lastReceiptBody << QStringLiteral("КОПИЕ") << kRule;
        return out;
    case CommandFile::TextReceipt:
        out << kRule
            << (place == Place::Receipts ? QStringLiteral("СЛУЖЕБЕН БОН")
                                         : QStringLiteral("БЕЛЕЖКА ЗА ИЗГОТВЯНЕ"))
            << stamp(now, source);
        for (const PrintLine& l : file.lines)
            out << l.text;
        out << kRule;
        return out;
    case CommandFile::FiscalReceipt:
    case CommandFile::ReversalReceipt:
        break;
    }
    const bool reversal = file.kind == CommandFile::ReversalReceipt;

    QStringList body;
    std::array<qint64, 4> groups{};
    qint64 total = 0;
    for (const PrintLine& l : file.lines) {
        if (!l.isItem) {
            body << l.text;
            continue;
        }
        const Item& item = l.item;
        const qint64 amount = item.amount();
        groups[size_t(item.vatGroup)] += amount;
        total += amount;
        body << item.article + u' ' + item.name.trimmed();
        body << QStringLiteral("   %1 x %2 = %3 %4")
                    .arg(quantityText(item.quantity), money(item.price), money(amount),
                         vatGroupLetter(item.vatGroup));
    }
    body << kThinRule << QStringLiteral("ОБЩО: ") + money(total);
    for (int g = 0; g < 4; ++g)
        if (groups[size_t(g)] != 0)
            body << QStringLiteral("ДДС група %1: %2").arg(vatGroupLetter(g), money(groups[size_t(g)]));

    ++figures_.lastReceipt;
    if (reversal) {
        // Given back: the day's totals go down; the copy stays the last sale's.
        for (int g = 0; g < 4; ++g)
            figures_.dayTotals[size_t(g)] -= groups[size_t(g)];
        out << kRule << QStringLiteral("СТОРНО ФИСКАЛЕН БОН № ") + numbered(figures_.lastReceipt)
            << QStringLiteral("Основание: ") + file.reversalReason << stamp(now, source) << body << kRule;
        return out;
    }
    ++figures_.dayReceipts;
    for (int g = 0; g < 4; ++g)
        figures_.dayTotals[size_t(g)] += groups[size_t(g)];
    figures_.lastReceiptBody = body;
    out << kRule << QStringLiteral("ФИСКАЛЕН БОН № ") + numbered(figures_.lastReceipt) << stamp(now, source)
        << body << kRule;
    return out;
}

QStringList FiscalDevice::report(bool zeroing, const QString& source, const QDateTime& now) {
    QStringList out;
    out << kRule;
    if (zeroing)
        out << QStringLiteral("ДНЕВЕН ОТЧЕТ С НУЛИРАНЕ № ") + numbered(figures_.lastZeroing + 1);
    else
        out << QStringLiteral("ДНЕВЕН ОТЧЕТ БЕЗ НУЛИРАНЕ");
    out << stamp(now, source);
    out << QStringLiteral("Фискални бонове: %1").arg(figures_.dayReceipts);
    qint64 total = 0;
    for (int g = 0; g < 4; ++g) {
        out << QStringLiteral("ДДС група %1: %2")
                   .arg(vatGroupLetter(g), money(figures_.dayTotals[size_t(g)]));
        total += figures_.dayTotals[size_t(g)];
    }
    out << QStringLiteral("ОБЩО: ") + money(total) << kRule;
    if (zeroing) {
        ++figures_.lastZeroing;
        figures_.dayReceipts = 0;
        figures_.dayTotals = {};
    }
    return out;
}

FiscalDevice::Figures FiscalDevice::load(const QString& path) {
    QFile f(path);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString() + ": " + f.errorString().toStdString());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw std::runtime_error("the device figures in " + path.toStdString() + " are damaged");
    const QJsonObject o = doc.object();
    Figures fig;
    fig.lastReceipt = o.value(QStringLiteral("lastReceipt")).toInteger();
    fig.lastZeroing = o.value(QStringLiteral("lastZeroing")).toInteger();
    fig.dayReceipts = o.value(QStringLiteral("dayReceipts")).toInteger();
    const QJsonArray totals = o.value(QStringLiteral("dayTotals")).toArray();
    for (int g = 0; g < 4 && g < totals.size(); ++g)
        fig.dayTotals[size_t(g)] = totals[g].toInteger();
    for (const QJsonValue& v : o.value(QStringLiteral("lastReceiptBody")).toArray())
        fig.lastReceiptBody << v.toString();
    return fig;
}

void FiscalDevice::save(const Figures& fig, const QString& path) {
    QJsonObject o;
    o.insert(QStringLiteral("lastReceipt"), fig.lastReceipt);
    o.insert(QStringLiteral("lastZeroing"), fig.lastZeroing);
    o.insert(QStringLiteral("dayReceipts"), fig.dayReceipts);
    QJsonArray totals;
    for (qint64 t : fig.dayTotals)
        totals << t;
    o.insert(QStringLiteral("dayTotals"), totals);
    o.insert(QStringLiteral("lastReceiptBody"), QJsonArray::fromStringList(fig.lastReceiptBody));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(o).toJson()) < 0 || !f.commit())
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + f.errorString().toStdString());
}

} // namespace torvika::fiscal_printer
