#pragma once
// The two registers edited in place in a grid: "Установяване на начален
// номер за документ" (TForm_Na4_N_Dok, the document kinds with their
// running numbers, places and copies) and "Видове документи"
// (TForm_Rab_Dokumenti, the kinds of paperwork of deliveries and supplier
// warranties). A cell is edited in the grid; the change goes through the
// logic, which refuses a wrong value with a message, and the grid is read
// again. "Добави" asks for the new kind's name and adds it, "Изтрий"
// deletes the current one after a question.

#include "common/ui/record_window.h"
#include "shell/ui/host.h"

#include <memory>

class QPushButton;

namespace Ui {
class TForm_Na4_N_Dok;
class TForm_Rab_Dokumenti;
} // namespace Ui

namespace torvika {

// What the two registers share: kinds named in the column Opisanie, added
// by name, deleted after a question, the window closed by its own button.
class KindGrid : public RecordWindow {
    Q_OBJECT
protected:
    using RecordWindow::RecordWindow;
    struct Kinds {
        QTableView* grid;
        QList<GridColumnSpec> columns;
        QString keyField;
        QStringList editable;
        std::function<SqlStatement()> statement;
        std::function<qint64(const QString& name)> add;
        std::function<void(const QVariant& key, const QString& field, const QString& text)> storeField;
        std::function<void(qint64 key)> remove;
        QPushButton* addButton;
        QPushButton* deleteButton;
        QPushButton* closeButton;
    };
    // Sets the grid up and reads it.
    void setUpKinds(Session& session, const Kinds& kinds);
};

class TForm_Na4_N_Dok : public KindGrid {
    Q_OBJECT
public:
    explicit TForm_Na4_N_Dok(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Na4_N_Dok() override;

private:
    std::unique_ptr<Ui::TForm_Na4_N_Dok> ui;
};

class TForm_Rab_Dokumenti : public KindGrid {
    Q_OBJECT
public:
    explicit TForm_Rab_Dokumenti(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Rab_Dokumenti() override;

private:
    std::unique_ptr<Ui::TForm_Rab_Dokumenti> ui;
};

} // namespace torvika
