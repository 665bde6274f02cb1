#pragma once
// "Гаранционни продукти": a supplier's warranty document (kind, number,
// date, note, supplier) and its serial numbers, one row each with article,
// model, batch and validity, staged on this workstation until "Запис"
// stores the document, its serial numbers and the warranty mark of their
// articles together. The window is also filled from an import file.

#include "catalogue/ui/article_picker.h"
#include "common/ui/list_window.h"
#include "service/warranty_cards.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class TForm_Garanc_Produkti;
}

namespace torvika {

class TForm_Garanc_Produkti : public ListWindow {
    Q_OBJECT
public:
    // Throws EDatabaseError when the staging rows cannot be made.
    explicit TForm_Garanc_Produkti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Garanc_Produkti() override;

    // The article chosen in the catalogue (mode 3).
    void takeArticle(const PickedArticle& article);
    // The supplier chosen in the counterparty list (mode 2).
    void takeSupplier(const QString& ref);
    // Stages the rows of a checked import file and takes its document's
    // number, date and note; false when a row was refused (the message shown).
    bool takeImport(const WarrantyImport& file);

protected:
    QString sortField(int column) const override;

private:
    void articleTyped();
    void validityChanged();
    QDate validity() const;
    void addRow();
    void removeRows();
    void save();
    void resetDocument();
    void reread();

    std::unique_ptr<Ui::TForm_Garanc_Produkti> ui;
    Session& session_;
    WindowContext context_;
    WarrantyStaging staging_;
    qint64 article_ = 0;
};

// "Импорт на данни" / "Гаранционни продукти": the file chosen, read and
// checked whole, then the window filled with it for the supplier and the
// kind to be chosen and saved. A file with faults stages nothing and says
// each fault by line.
void importWarrantyFile(const WindowContext& context, QWidget* parent);

} // namespace torvika
