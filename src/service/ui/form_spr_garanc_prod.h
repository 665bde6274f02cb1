#pragma once
// "Справка гаранционни продукти": the supplier warranty documents found by
// the criteria ticked (supplier, kind, number, date; article, serial
// number, model, batch, each whole or by part, validity), and the serial
// numbers of the document under the cursor.

#include "catalogue/ui/article_picker.h"
#include "common/ui/list_window.h"
#include "service/warranty_cards.h"
#include "shell/ui/host.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;

namespace Ui {
class TForm_Spr_Garanc_Prod;
}

namespace torvika {

class StatementModel;

class TForm_Spr_Garanc_Prod : public ListWindow {
    Q_OBJECT
public:
    explicit TForm_Spr_Garanc_Prod(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Spr_Garanc_Prod() override;

    StatementModel* serialsModel() const { return serials_; }
    // The criteria ticked.
    WarrantyReportFilter filter() const;
    // The supplier (mode 12) and the article (mode 10) chosen in their lists.
    void takeSupplier(const QString& ref);
    void takeArticle(const PickedArticle& article);

protected:
    QString sortField(int column) const override;
    void listShown() override;

private:
    struct DateCriterion {
        QComboBox* comparison;
        QDateEdit* from;
        QDateEdit* to;
        QList<QWidget*> range;
    };
    void setUpDates(QCheckBox* box, const DateCriterion& dates);
    static DateFilter dateFilter(const DateCriterion& dates);
    void runSearch();
    void showSerials();

    std::unique_ptr<Ui::TForm_Spr_Garanc_Prod> ui;
    Session& session_;
    WindowContext context_;
    StatementModel* serials_ = nullptr;
    qint64 article_ = 0;
    DateCriterion documentDate_{}, validity_{};
};

} // namespace torvika
