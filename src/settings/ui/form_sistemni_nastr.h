#pragma once
// "Системни настройки" (TForm_Sistemni_Nastr): the company details and the
// switches of Firm_Data.ini on four pages, and starting the program with
// the desktop session.
//
// Opening the dialog changes nothing: the values are shown as stored (the
// dialog's defaults for missing keys) and only the usable state of the
// dependent controls follows them; the tick boxes' effects on other boxes
// run when the operator changes them. "Запис" checks the VAT rate and
// makes the receipt directory, then writes every value in one save and
// writes or removes the autostart entry; a failure is shown and the dialog
// stays open with what was typed. "Отказ" stores nothing.
//
// A further setting is one row of the settings table and one line of the
// constructor: fields_.addTo(ui->Layout_<page>_More, setting::kName).

#include "settings/ui/setting_fields.h"
#include "shell/ui/host.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <memory>

namespace Ui {
class TForm_Sistemni_Nastr;
}

namespace torvika {

class TForm_Sistemni_Nastr : public QDialog {
    Q_OBJECT
public:
    // Shows the stored values. Throws EInOutError when Firm_Data.ini
    // cannot be read.
    explicit TForm_Sistemni_Nastr(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Sistemni_Nastr() override;

    // N_Sistemni_NastrClick: a new dialog each time, shown modally; a file
    // that cannot be read is reported and no dialog opens.
    static void run(const WindowContext& context, QWidget* parent);

private slots:
    void Button_SaveClick();
    void SpdBtn_Select_Temp_BonClick();

private:
    void load();
    void connectDependencies();
    // The usable state of the controls that depend on others.
    void followDependencies();
    void followContractBoxes();
    void followReceiptKind();
    bool checkVatPercent();
    bool checkFiscalDevice();
    bool makeReceiptDirectory();
    QString receiptDirectory(const QString& typed) const;

    const WindowContext context_;
    std::unique_ptr<Ui::TForm_Sistemni_Nastr> ui;
    SettingFields fields_;
    QLineEdit* deviceNumber_ = nullptr;
    QCheckBox* httpOutput_ = nullptr;
    QLineEdit* serverAddress_ = nullptr;
};

} // namespace torvika
