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
#include "shell/session.h"

#include <memory>

namespace Ui {
class TForm_Na4_N_Dok;
class TForm_Rab_Dokumenti;
} // namespace Ui

namespace torvika {

class TForm_Na4_N_Dok : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Na4_N_Dok(Session& session, QWidget* parent = nullptr);
    ~TForm_Na4_N_Dok() override;

protected:
    SqlStatement recordsStatement() const override;
    std::optional<QVariant> addRecord() override;
    void storeField(const QVariant& key, const QString& field, const QString& text) override;
    bool deleteRecord(const QVariant& key) override;
    QString deleteQuestion(int row) const override;

private:
    std::unique_ptr<Ui::TForm_Na4_N_Dok> ui;
    Session& session_;
};

class TForm_Rab_Dokumenti : public RecordWindow {
    Q_OBJECT
public:
    explicit TForm_Rab_Dokumenti(Session& session, QWidget* parent = nullptr);
    ~TForm_Rab_Dokumenti() override;

protected:
    SqlStatement recordsStatement() const override;
    std::optional<QVariant> addRecord() override;
    void storeField(const QVariant& key, const QString& field, const QString& text) override;
    bool deleteRecord(const QVariant& key) override;
    QString deleteQuestion(int row) const override;

private:
    std::unique_ptr<Ui::TForm_Rab_Dokumenti> ui;
    Session& session_;
};

} // namespace torvika
