#pragma once
// "Укажи общи данни за артикули": the fields ticked are written into every
// marked article of the catalogue. "Гаранционен продукт" and "Поддържа
// поредица" exclude each other.

#include "catalogue/article_lists.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Ob6ti_Danni_artikuli;
}

namespace torvika {

class TForm_Ob6ti_Danni_artikuli : public QDialog {
    Q_OBJECT
public:
    TForm_Ob6ti_Danni_artikuli(const WindowContext& context, const QList<qint64>& articles,
                               QWidget* parent = nullptr);
    ~TForm_Ob6ti_Danni_artikuli() override;

    // The data of the ticked fields; none (and the message, the caret on
    // the field) when a ticked field holds no valid value.
    std::optional<ArticleCommonData> data();
    int changed() const { return changed_; }

    // "ЗАПИС": writes the ticked fields into the articles and accepts.
    void Button_ZapisClick();

private:
    void updateEnabled();

    std::unique_ptr<Ui::TForm_Ob6ti_Danni_artikuli> ui;
    Session& session_;
    QList<qint64> articles_;
    int changed_ = 0;
};

} // namespace torvika
