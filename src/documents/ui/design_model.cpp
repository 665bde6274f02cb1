#include "documents/ui/design_model.h"

#include "documents/template_design.h"

namespace torvika {

void DesignModel::reset(const ReportTemplate& report, const QString& openedName) {
    report_ = report;
    openedName_ = openedName;
    modified_ = false;
    selected_ = -1;
    emit changed();
    emit selectionChanged(-1);
}

void DesignModel::setOpenedName(const QString& name) {
    openedName_ = name;
    report_.name = name;
}

const ReportElement* DesignModel::selectedElement() const {
    return selected_ >= 0 && selected_ < report_.elements.size() ? &report_.elements[selected_] : nullptr;
}

void DesignModel::select(int index) {
    if (index < -1 || index >= report_.elements.size())
        index = -1;
    if (index == selected_)
        return;
    selected_ = index;
    emit selectionChanged(index);
}

void DesignModel::touch() {
    modified_ = true;
    emit changed();
}

void DesignModel::setBandHeight(ReportBand band, int height) {
    if (report_.bandHeight(band) == height)
        return;
    report_.setBandHeight(band, height);
    touch();
}

void DesignModel::setBandText(ReportBand band, const QByteArray& rtf) {
    (band == ReportBand::Footer ? report_.footerText : report_.headerText) = rtf;
    touch();
}

int DesignModel::addElement(ElementKind kind, ReportBand band, QSize size) {
    const int index = report_.addElement(kind, band, size);
    touch();
    selected_ = -1;
    select(index);
    return index;
}

void DesignModel::removeElement(int index) {
    if (index < 0 || index >= report_.elements.size())
        return;
    report_.removeElement(index);
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
    touch();
    emit selectionChanged(selected_);
}

void DesignModel::place(int index, ReportBand band, const QRect& box) {
    if (index < 0 || index >= report_.elements.size())
        return;
    const ReportElement before = report_.elements[index];
    placeElement(report_, index, band, box);
    if (!(report_.elements[index] == before))
        touch();
}

void DesignModel::changeSelected(const std::function<void(ReportElement&)>& change) {
    if (selected_ < 0 || selected_ >= report_.elements.size())
        return;
    ReportElement& e = report_.elements[selected_];
    const ReportElement before = e;
    change(e);
    if (!(e == before))
        touch();
}

} // namespace torvika
