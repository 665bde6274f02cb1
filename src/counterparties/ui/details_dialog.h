#pragma once
// The sites and bank-accounts dialogs of a counterparty, and their pattern
// on the record window: a grid of its rows, edit fields under it, and two
// buttons whose captions follow the state: idle "НОВ" / "ИЗТРИИ", entering
// "ЗАПИС" / "ОТКАЖИ". A double click on a row loads it for editing; after a
// save or "ОТКАЖИ" the fields are empty again. Rows are never deleted. The
// dialog's .ui file holds the shared part; each derived dialog lays its own
// fields out in fieldsPanel().

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

namespace Ui {
class DetailsDialog;
class TForm_Kontrag_Sklad;
class TForm_Kontrag_Smetki;
} // namespace Ui

namespace torvika {

class DetailsDialog : public RecordWindow {
    Q_OBJECT
public:
    ~DetailsDialog() override;

protected:
    DetailsDialog(const WindowContext& context, qint64 counterparty, const QString& refText, QWidget* parent);

    // What a derived dialog says of its rows.
    struct Details {
        // The statement's columns with their titles; the first is the key.
        QList<GridColumnSpec> columns;
        std::function<SqlStatement()> statement;
        // Empties the fields; puts the row into them.
        std::function<void()> clear;
        std::function<void(int row)> load;
        // Stores the fields as a new row (key invalid) or over the row with
        // the key; returns the row's key. Throws.
        std::function<qint64(const QVariant& key)> save;
        // A row is being entered (the fields' lists may be filled).
        std::function<void()> entering{};
    };
    // Call at the end of the derived constructor.
    void setUpDetails(const Details& details);

    // The empty panel between the grid and the buttons, for the fields.
    QWidget* fieldsPanel() const;

    Session& session_;
    const qint64 counterparty_;

private:
    std::unique_ptr<Ui::DetailsDialog> ui;
};

// "Складове за избран контрагент": the sites of a counterparty.
class TForm_Kontrag_Sklad : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Sklad(const WindowContext& context, qint64 counterparty, const QString& refText,
                        QWidget* parent = nullptr);
    ~TForm_Kontrag_Sklad() override;

private:
    std::unique_ptr<Ui::TForm_Kontrag_Sklad> ui;
};

// "Сметки за избран контрагент": the bank accounts of a counterparty.
class TForm_Kontrag_Smetki : public DetailsDialog {
    Q_OBJECT
public:
    TForm_Kontrag_Smetki(const WindowContext& context, qint64 counterparty, const QString& refText,
                         QWidget* parent = nullptr);
    ~TForm_Kontrag_Smetki() override;

private:
    std::unique_ptr<Ui::TForm_Kontrag_Smetki> ui;
};

} // namespace torvika
