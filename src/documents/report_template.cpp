#include "documents/report_template.h"

#include "common/ref_text.h"

#include <algorithm>

namespace torvika {

QString labelKindItem(int kind) {
    switch (kind) {
    case kLabelNet:
        return QStringLiteral("0:Цена без ДДС");
    case kLabelVat:
        return QStringLiteral("1:ДДС");
    case kLabelTotal:
        return QStringLiteral("2:Обща сума продажба");
    case kLabelTotalWords:
        return QStringLiteral("3:Сума с думи");
    case kLabelFreeText:
        return QStringLiteral("4:Свободен текст");
    case kLabelPayment:
        return QStringLiteral("6:Начин на плащане");
    case kLabelRates:
        return QStringLiteral("7:Ставки на ДДС");
    case kLabelRateBases:
        return QStringLiteral("8:Данъчни основи по ставки");
    case kLabelRateVat:
        return QStringLiteral("9:ДДС по ставки");
    case kLabelLineRate:
        return QStringLiteral("10:Ставка на ДДС на реда");
    case kLabelTotalDual:
        return QStringLiteral("11:Обща сума в евро и в лева");
    default:
        return {};
    }
}

int labelKindOfCaption(const QString& caption) {
    const int kind = GetID_MFromTreeNodeName(caption);
    return kind >= kLabelNet && kind <= kLabelLastKind ? kind : -1;
}

QString tableOfDataSet(const QString& dataSet) {
    const QString t = dataSet.trimmed();
    return t.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive) ? t.left(t.size() - 3) : t;
}

QString elementKindName(ElementKind kind) {
    switch (kind) {
    case ElementKind::DataField:
        return QStringLiteral("TQRDBText");
    case ElementKind::Label:
        return QStringLiteral("TQRLabel");
    case ElementKind::SystemData:
        return QStringLiteral("TQRSysData");
    case ElementKind::Image:
        return QStringLiteral("TQRImage");
    }
    return {};
}

int ReportTemplate::bandHeight(ReportBand band) const {
    switch (band) {
    case ReportBand::Header:
        return headerHeight;
    case ReportBand::Detail:
        return detailHeight;
    case ReportBand::Footer:
        return footerHeight;
    }
    return 0;
}

void ReportTemplate::setBandHeight(ReportBand band, int height) {
    height = std::max(0, height);
    switch (band) {
    case ReportBand::Header:
        headerHeight = height;
        break;
    case ReportBand::Detail:
        detailHeight = height;
        break;
    case ReportBand::Footer:
        footerHeight = height;
        break;
    }
}

int ReportTemplate::addElement(ElementKind kind, ReportBand band, QSize size) {
    ReportElement e;
    e.kind = kind;
    e.band = band;
    e.geometry = QRect(QPoint(0, 0), size);
    if (kind == ElementKind::Label) {
        e.code = kLabelNet;
        e.caption = labelKindItem(kLabelNet);
    }
    const QString base = elementKindName(kind).mid(1);
    int number = int(elements.size()) + 1;
    while (indexOf(base + QString::number(number)) >= 0)
        ++number;
    e.name = base + QString::number(number);
    elements.append(e);
    return int(elements.size()) - 1;
}

void ReportTemplate::removeElement(int index) {
    if (index >= 0 && index < elements.size())
        elements.removeAt(index);
}

void ReportTemplate::moveElement(int index, ReportBand band, QPoint topLeft) {
    if (index < 0 || index >= elements.size())
        return;
    elements[index].band = band;
    elements[index].geometry.moveTopLeft(topLeft);
}

int ReportTemplate::indexOf(const QString& elementName) const {
    for (int i = 0; i < elements.size(); ++i)
        if (elements[i].name.compare(elementName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList ReportTemplate::tables() const {
    QStringList out;
    for (const ReportElement& e : elements) {
        if (e.kind != ElementKind::DataField || e.dataField.isEmpty())
            continue;
        const bool known = std::any_of(out.begin(), out.end(), [&](const QString& t) {
            return tableOfDataSet(t).compare(tableOfDataSet(e.dataSet), Qt::CaseInsensitive) == 0;
        });
        if (!known)
            out.append(e.dataSet);
    }
    std::stable_sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

bool ReportTemplate::hasDataFields() const {
    return std::any_of(elements.begin(), elements.end(), [](const ReportElement& e) {
        return e.kind == ElementKind::DataField && !e.dataField.isEmpty();
    });
}

} // namespace torvika
