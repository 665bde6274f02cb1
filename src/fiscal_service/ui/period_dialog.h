#pragma once
// "Период за който се отнася справката": the period of the tax-office file.
// Both dates become today at every showing; "ОК" (the default button)
// closes the dialog with OK when the period is sound, and says why not when
// its end is before its start.

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TForm_SPR_TDD_Fisk_Ser;
}

namespace torvika {

class TForm_SPR_TDD_Fisk_Ser : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SPR_TDD_Fisk_Ser(std::function<QDate()> today, QWidget* parent = nullptr);
    ~TForm_SPR_TDD_Fisk_Ser() override;

    QDate from() const;
    QDate to() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click();

    std::unique_ptr<Ui::TForm_SPR_TDD_Fisk_Ser> ui;
    std::function<QDate()> today_;
};

} // namespace torvika
