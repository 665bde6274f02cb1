#include "sales/receipt_lines.h"

#include "common/cformat.h"
#include "common/cp1251.h"
#include "common/ref_text.h"

#include <algorithm>

namespace torvika {

namespace {

// The prefixes of the text commands of the command layout.
const QString kFirstText = QStringLiteral("Y,1,______,_,__;");
const QString kText = QStringLiteral("P,1,______,_,__;");
const QString kFrame = QStringLiteral("=======================");

const QString kTerminal = QStringLiteral("ПОС: ");
const QString kBill = QStringLiteral("ПОРЪЧКА: ");
const QString kOperator = QStringLiteral("Опер.: ");
const QString kUniqueSaleNumber = QStringLiteral("УНП: ");
const QString kTotal = QStringLiteral("Общо: ");
const QString kDiscount = QStringLiteral("отстъпка: ");
const QString kSurcharge = QStringLiteral("надбавка: ");

QString operatorText(const QString& name) {
    return cformat(u"%-16.16s", {commandText(name)});
}

// The "отстъпка"/"надбавка" line of a discounted or surcharged line.
QString discountText(const Decimal& discount) {
    return (discount.sign() < 0 ? kSurcharge : kDiscount) + format42(discount) + u'%';
}

qint64 whole(const Decimal& value) {
    return value.integerPart().toString().toLongLong();
}

} // namespace

FiscalItemFigures fiscalItemFigures(const ReceiptLine& line) {
    // The unit price in stotinki: price × rate × (100 − discount). The
    // sale list's values fit exactly; only values with more decimals than
    // the exact type holds in a product are rounded first.
    const Decimal exact =
        (line.unitPrice * line.rate).rounded(10) * (Decimal(100) - line.discount).rounded(8);
    FiscalItemFigures f;
    f.price = whole(exact); // truncated towards zero
    f.quantity = whole(line.quantity * 1000);
    return f;
}

qint64 stotinki(const Decimal& leva) {
    return whole((leva * 100).rounded(0));
}

const QStringList& deviceTypeTexts() {
    static const QStringList texts{
        QStringLiteral("0: НЕ РАЗПЕЧАТВА"),
        QStringLiteral("1: ЕЛТРЕЙД - Фискален принтер"),
        QStringLiteral("2: ЕЛТРЕЙД - Касов апарат"),
        QStringLiteral("3: ДАТЕКС - Касов апарат MP5000"),
        QStringLiteral("4: ДАТЕКС - Касов апарат MP500"),
        QStringLiteral("5: ДАТЕКС - Касов апарат MP500 TR"),
        QStringLiteral("6: ДАТЕКС - Касов апарат MP50"),
        QStringLiteral("7: ДАТЕКС - Касов апарат MP55"),
        QStringLiteral("8: ДАТЕКС - Касов апарат MP55 M"),
        QStringLiteral("9: ДАТЕКС - Касов апарат MP55 L"),
        QStringLiteral("10: ДАТЕКС - Касов апарат MP50 LD"),
        QStringLiteral("11: ДАТЕКС - Касов апарат DP50"),
        QStringLiteral("12: ДАТЕКС - Касов апарат DP50 D"),
        QStringLiteral("13: ДАТЕКС - Касов апарат Samsung ER250 F"),
        QStringLiteral("14: ДАТЕКС - Фискален принтер FP 3530"),
        QStringLiteral("15: ДАТЕКС - Фискален принтер FP 300"),
        QStringLiteral("16: ДАТЕКС - Фискален принтер FP 1000"),
        QStringLiteral("17: ДАТЕКС - Фискален принтер FP 550F"),
        QStringLiteral("18: ДАТЕКС - Фискален принтер FP 550F - 40"),
    };
    return texts;
}

int deviceTypeNumber(const QString& text) {
    return GetID_MFromTreeNodeName(text);
}

DeviceLayout deviceLayout(int type) {
    if (type == 1)
        return DeviceLayout::ColonStar;
    if (type == 2)
        return DeviceLayout::Colon;
    if (type >= 3 && type <= 18)
        return DeviceLayout::Command;
    return DeviceLayout::None;
}

QString commandText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'^' || c == u';' || c == u'\r' || c == u'\n') {
            out += u' ';
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // One character that Windows-1251 cannot hold: one '?', so that
            // widths count it once.
            out += u'?';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString fiscalItemLine(const ReceiptLine& line, const FiscalItemFigures& f) {
    return u'%' + commandText(line.article) + u'^' + cformat(u"%-12.12s", {commandText(line.name)}) + u'^' +
           QString::number(f.price) + u'^' + QString::number(f.quantity) + u'^' +
           QString::number(line.vatGroup) + u'^';
}

QStringList fiscalItemLines(const ReceiptLine& line) {
    QStringList out{fiscalItemLine(line, fiscalItemFigures(line))};
    if (!line.discount.isZero())
        out << u':' + discountText(line.discount);
    return out;
}

QStringList serviceItemLines(const ReceiptLine& line) {
    const QString name = cformat(u"%-12.11s", {commandText(line.name)});
    // "%-4.2f" cut to 4 characters, "%-8.2f" cut to 8.
    const QString quantity = cformat(u"%-4.4s", {formatFixed(line.quantity, 2, -4)});
    // In leva, as the receipt's total is.
    const QString price = cformat(u"%-8.8s", {formatFixed(line.unitPrice * line.rate, 2, -8)});
    QStringList out{name + quantity + QStringLiteral(" x ") + price};
    if (!line.discount.isZero())
        out << discountText(line.discount);
    return out;
}

QString correctionLine(qint64 stotinki) {
    return QStringLiteral("%0000^КОРЕКЦИЯ:^") + QString::number(stotinki) + QStringLiteral("^1000^1^");
}

QStringList receiptFileLines(BonMode mode, int deviceType, const BonHeader& header,
                             const QStringList& prepared, const Decimal& total) {
    const QString terminal = kTerminal + commandText(header.terminal);
    const QString bill = kBill + commandText(header.bill);
    const QString op = kOperator + operatorText(header.operatorName);
    const QString sum = kTotal + format42(total);
    // The unique sale number after the operator, where the sale has one.
    const QStringList unp =
        header.unp.isEmpty() ? QStringList() : QStringList{kUniqueSaleNumber + commandText(header.unp)};
    switch (mode) {
    case kBonFiscal: {
        // The device prints its own total; the dual amount is a text line after the items.
        QStringList out{u':' + terminal, u':' + op};
        for (const QString& line : unp)
            out << u':' + line;
        out += prepared;
        if (!header.dualTotal.isEmpty())
            out << u':' + commandText(header.dualTotal);
        return out;
    }
    case kBonDailyZeroing:
        return {QStringLiteral("#N")};
    case kBonDailyReport:
        return {QStringLiteral("#I")};
    case kBonCopyLast:
        return {QStringLiteral("#C")};
    case kBonService:
        break;
    }
    QStringList out;
    switch (deviceLayout(deviceType)) {
    case DeviceLayout::None:
        break;
    case DeviceLayout::ColonStar:
        out << QStringLiteral("*");
        [[fallthrough]];
    case DeviceLayout::Colon:
        out << u':' + terminal << u':' + bill << u':' + op;
        for (const QString& line : unp + prepared)
            out << u':' + line;
        out << u':' + kFrame << u':' + sum;
        if (!header.dualTotal.isEmpty())
            out << u':' + commandText(header.dualTotal);
        out << u':' + kFrame;
        break;
    case DeviceLayout::Command:
        out << kFirstText + terminal + u';' << kText + bill + u';' << kText + op + u';';
        for (const QString& line : unp + prepared)
            out << kText + line + u';';
        out << kText + kFrame + u';' << kText + sum + u';';
        if (!header.dualTotal.isEmpty())
            out << kText + commandText(header.dualTotal) + u';';
        out << kText + kFrame + u';';
        break;
    }
    return out;
}

QStringList departmentTicketLines(int deviceType, const BonHeader& header, bool withBill,
                                  const QString& departmentName, const QStringList& departmentLines) {
    const QString terminal = kTerminal + commandText(header.terminal);
    const QString bill = kBill + commandText(header.bill);
    const QString op = kOperator + operatorText(header.operatorName);
    const QString title = commandText(departmentName).toUpper();
    QStringList out;
    switch (deviceLayout(deviceType)) {
    case DeviceLayout::None:
        break;
    case DeviceLayout::ColonStar:
        out << QStringLiteral("*");
        [[fallthrough]];
    case DeviceLayout::Colon:
        out << u':' + terminal;
        if (withBill)
            out << u':' + bill;
        out << u':' + op << u':' + kFrame << u':' + title << u':' + kFrame;
        for (const QString& line : departmentLines)
            out << u':' + line;
        out << u':' + kFrame;
        break;
    case DeviceLayout::Command:
        out << kFirstText + terminal + u';';
        if (withBill)
            out << kText + bill + u';';
        out << kText + op + u';' << kText + kFrame + u';' << kText + title + u';' << kText + kFrame + u';';
        for (const QString& line : departmentLines)
            out << kText + line + u';';
        out << kText + kFrame + u';';
        break;
    }
    return out;
}

QByteArray commandFileBytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += toCp1251(line) + "\r\n";
    return out;
}

void prepareBonLine(PreparedReceipt& receipt, const ReceiptLine& line, int kind,
                    const PrepareSettings& settings, const Decimal& amountDue) {
    if (kind == kServiceReceipt && deviceLayout(settings.deviceType) != DeviceLayout::None) {
        receipt.total = amountDue;
        receipt.lines += serviceItemLines(line);
    } else if (kind == kFiscalReceipt) {
        receipt.items << PreparedItem{line, fiscalItemFigures(line), receipt.lines.size()};
        receipt.lines += fiscalItemLines(line);
    }
    if (settings.departmentTickets && line.department > 0)
        receipt.departments[line.department] += serviceItemLines(line);
}

void addCorrectionLine(PreparedReceipt& receipt, const Decimal& amountDue) {
    const qint64 due = stotinki(amountDue);
    qint64 items = 0;
    for (const PreparedItem& item : receipt.items)
        items += item.figures.amount();
    // Too much: lower the prices from the last item on until the items
    // come to no more than the amount due.
    for (qsizetype i = receipt.items.size() - 1; i >= 0 && items > due; --i) {
        PreparedItem& item = receipt.items[i];
        while (items > due && item.figures.price > 0) {
            const qint64 before = item.figures.amount();
            const qint64 excess = items - due;
            const qint64 step =
                std::max<qint64>(1, (excess * 1000) / std::max<qint64>(1, item.figures.quantity));
            item.figures.price = std::max<qint64>(0, item.figures.price - step);
            items += item.figures.amount() - before;
        }
        receipt.lines[item.at] = fiscalItemLine(item.line, item.figures);
    }
    if (due > items)
        receipt.lines << correctionLine(due - items);
}

PreparedReceipt buildSaleReceipt(const QList<ReceiptLine>& lines, int kind, const PrepareSettings& settings,
                                 const Decimal& amountDue) {
    PreparedReceipt receipt;
    for (const ReceiptLine& line : lines)
        prepareBonLine(receipt, line, kind, settings, amountDue);
    if (kind == kFiscalReceipt)
        addCorrectionLine(receipt, amountDue);
    return receipt;
}

} // namespace torvika
