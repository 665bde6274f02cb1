#pragma once
// "ЕКСПОРТ НА ДАННИ": the fields of one kind of numbered-field file as
// check boxes (all ticked when the window opens), "Маркирай всичко" and
// "Изчисти всичко", the field opener ("Префикс", "N" standing for the
// field's number) and closer ("Субфикс"), the decimal separator of the
// numbers, and "ЕКСПОРТ": the file chosen in a save dialog, the values
// the file cannot carry listed before anything is written (the window stays
// open then), the file written with a progress that can be cancelled, and
// opened. "ОТКАЗ" closes the window. The opener, closer and separator keep
// the last values for the rest of the run.

#include "common/numbered_export.h"

#include <QDialog>
#include <QSqlDatabase>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace torvika {

class Form_Export_Data : public QDialog {
    Q_OBJECT
public:
    Form_Export_Data(std::function<QSqlDatabase()> database, QWidget* parent = nullptr);

    // Fills the list with the source's fields, ticks them all and shows the
    // window modally. The file written; empty when nothing was.
    QString SELECTED_EXPORT(const ExportSource& source);

    // The fields ticked, in list order.
    QList<bool> chosen() const;
    ExportFormat format() const;

private:
    void setAll(bool ticked);
    void Button_ExportClick();

    std::function<QSqlDatabase()> database_;
    ExportSource source_;
    QString written_;
    QListWidget* list_;
    QLineEdit* prefix_;
    QLineEdit* subfix_;
    QComboBox* decimal_;
    QPushButton* export_;
};

} // namespace torvika
