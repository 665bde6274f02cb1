#pragma once
// "ДОКУМЕНТАЦИЯ": the document designer. A template (a document kind's
// three files) is opened from the list of kinds, its bands and elements
// shown on the page (design_page.h) and edited there with the mouse and the
// keyboard, in the tool window "Добавяне на елементи" (element_settings.h)
// and with the font controls above the page, which act on the element
// chosen. The upper and lower band texts are edited in place of their
// files or taken from outside files. "Запази" saves the template under the
// name given (its own kind, or a new one; another kind only after a
// question), "Преглед" and "Печат" show and print it with the lines of the
// operator's sale on the shop page, without numbering anything.

#include "documents/report_template.h"
#include "documents/ui/element_settings.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class QAction;
class QMenuBar;

namespace Ui {
class TForm_GeneralForm_Dokumentaciq;
}

namespace torvika {

class DesignModel;
class DesignPage;

class TForm_GeneralForm_Dokumentaciq : public QDialog {
    Q_OBJECT
public:
    explicit TForm_GeneralForm_Dokumentaciq(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_GeneralForm_Dokumentaciq() override;

    // Opens the template of the kind (the document box's choice).
    void LOAD_SELECTED_FILE_PRINT(const QString& name);
    // The menu's operations.
    void N_Open_FileClick();
    void N_otvori_goreClick();
    void N_otvori_otdoluClick();
    void N2Click();
    void N_PregledClick();
    void editBandText(ReportBand band);
    void openSettings(bool picture);

    DesignModel& model() { return *model_; }
    DesignPage* page() const;
    TForm_Nastrojki* settingsWindow() const { return settings_; }
    QMenuBar* menuBar() const { return menu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildMenu();
    void bindFontControls();
    void showSelectedFont();
    void loadBandFile(ReportBand band);
    void refreshFieldTables();
    bool mayDiscard();
    void deleteChosen();

    std::unique_ptr<Ui::TForm_GeneralForm_Dokumentaciq> ui;
    Session& session_;
    DesignModel* model_;
    QMenuBar* menu_ = nullptr;
    QAction* labelAction_ = nullptr;
    QAction* pictureAction_ = nullptr;
    QPointer<TForm_Nastrojki> settings_;
    bool showing_ = false;
};

} // namespace torvika
