#pragma once
// "Ценови групи": the price groups. The list shows them; choosing one puts
// it into the fields below, where it is changed; "Нов" empties the fields
// for a new group; "ЗАПИС" stores what the fields hold (a new group under
// the next number, or the chosen one); "Изтрии" deletes the chosen group
// after a question; "ОТКАЗ" closes the window and abandons what was not
// stored. The formula line takes only the characters a formula may hold
// (letters upper-cased, the caret kept at the end); "Проба" shows in
// "Резултат" the price the fields give for the sample prices beside it,
// or says what is wrong with the formula.

#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

class QTableView;

namespace Ui {
class TForm_Cenovi_Listi;
}

namespace torvika {

class StatementModel;

class TForm_Cenovi_Listi : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Cenovi_Listi(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Cenovi_Listi() override;

    StatementModel* model() const { return model_; }
    QTableView* grid() const;
    // The number of the group the fields edit; 0 for a new group.
    qint64 editedId() const { return id_; }
    // Makes the group's row current (and its values the fields'); false
    // when it is not listed.
    bool positionOn(qint64 id);

private slots:
    // Stores the group; false (with a message and the caret on the field
    // to correct) when it was not stored.
    bool Button_ZapisClick();
    // The buttons.
    void Button_NovClick();
    void Button_IztriiClick();
    void Button_OtkazClick();
    void Button_ProbaClick();

private:
    void reread(qint64 current);
    void showCurrent();
    void Edit_FormulaEdited(const QString& text);
    void refuse(const QString& message, QWidget* field, int position = -1);

    std::unique_ptr<Ui::TForm_Cenovi_Listi> ui;
    Session& session_;
    StatementModel* model_;
    qint64 id_ = 0;
};

} // namespace torvika
