#pragma once
// "ИНФОРМАЦИЯ ЗА ИЗВЪРШЕН ИМПОРТ НА АРТИКУЛИ", shown after an article
// import: the articles added and those replaced with a price that changed
// ("Арт. номер", "Описание", "Цена", "Валута", "Корекция", "Нов артикул"),
// in a working table of the connection; "ПЕЧАТ" writes them into a grid
// export file and opens it; "ОТКАЗ" closes the window.

#include "catalogue/data_import.h"
#include "common/ui/list_window.h"
#include "common/working_table.h"

#include <QDateTime>
#include <functional>
#include <memory>

class QPushButton;

namespace torvika {

class Form_Info_Import : public ListWindow {
    Q_OBJECT
public:
    // now gives the date and time of the print's heading.
    Form_Info_Import(const GridContext& context, std::function<QDateTime()> now, QWidget* parent = nullptr);
    ~Form_Info_Import() override;

    // Shows the rows modally.
    void showStatistics(const QList<ImportedArticle>& rows);
    // Lists the rows without showing the window.
    void fill(const QList<ImportedArticle>& rows);

private:
    std::function<QDateTime()> now_;
    std::unique_ptr<WorkingTable> table_;
};

} // namespace torvika
