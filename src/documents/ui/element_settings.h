#pragma once
// "Добавяне на елементи": the designer's tool window beside its page. The
// band heights and the band new elements go to; on the page "Етикет" the
// kind of a new element (a data field with its table and column, a computed
// label, system data), "СЪЗДАЙ" and "ИЗТРИИ", the list of elements, and the
// size, position, alignment, frame and font of the element chosen, each
// applied at once; on the page "Картинка" a picture added or changed. The
// window follows the element chosen on the page and the page follows it.

#include "documents/template_design.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TForm_Nastrojki;
}

namespace torvika {

class DesignModel;

class TForm_Nastrojki : public QWidget {
    Q_OBJECT
public:
    TForm_Nastrojki(DesignModel* model, const QString& templateDir, QWidget* parent = nullptr);
    ~TForm_Nastrojki() override;

    // The tables and columns offered for data fields, and the tables the
    // database lacks (named in the window).
    void setFieldTables(const QList<FieldTable>& tables, const QStringList& problems);
    enum class Page { Label, Picture };
    void showPage(Page page);

    // "СЪЗДАЙ", "ИЗТРИИ" and the picture's "ИЗБЕРИ".
    void BitBtn1Click();
    void deleteElement();
    void choosePicture();

private:
    void kindChosen();
    void fillKindBox();
    void typeChosen(int index);
    void fieldChosen(int index);
    void showSelected();
    void showHeights();
    void bindStyleControls();
    ReportBand chosenBand() const;
    ElementKind chosenKind() const;

    std::unique_ptr<Ui::TForm_Nastrojki> ui;
    DesignModel* model_;
    QString templateDir_;
    bool showing_ = false;
};

} // namespace torvika
