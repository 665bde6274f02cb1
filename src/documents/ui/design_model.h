#pragma once
// The template a designer window edits, shared by its page and its
// element-settings window: the report, the element chosen, the band new
// elements go to. Every change goes through here, keeps the elements
// inside the page and tells both windows.

#include "documents/report_template.h"

#include <QObject>
#include <functional>

namespace torvika {

class DesignModel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const ReportTemplate& report() const { return report_; }
    // A template opened or begun: nothing chosen, nothing changed yet.
    void reset(const ReportTemplate& report, const QString& openedName);
    // The name of the kind the template was opened as or last saved under.
    QString openedName() const { return openedName_; }
    void setOpenedName(const QString& name);
    bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    int selected() const { return selected_; }
    const ReportElement* selectedElement() const;
    void select(int index);

    ReportBand currentBand() const { return currentBand_; }
    void setCurrentBand(ReportBand band) { currentBand_ = band; }

    void setBandHeight(ReportBand band, int height);
    void setBandText(ReportBand band, const QByteArray& rtf);
    // Adds an element on the band at the top left corner, chooses it and
    // returns its index.
    int addElement(ElementKind kind, ReportBand band, QSize size);
    void removeElement(int index);
    // Puts the element on the band in the box, kept inside the page.
    void place(int index, ReportBand band, const QRect& box);
    // Changes the element chosen (nothing when none is).
    void changeSelected(const std::function<void(ReportElement&)>& change);

signals:
    void changed();
    void selectionChanged(int index);

private:
    void touch();

    ReportTemplate report_;
    QString openedName_;
    int selected_ = -1;
    ReportBand currentBand_ = ReportBand::Detail;
    bool modified_ = false;
};

} // namespace torvika
