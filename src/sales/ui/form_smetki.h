#pragma once
// "Активни сметки": the dining room's tables and places. Opened for design
// it shows the drawing panel: the kind to draw, the size of new tables, the
// tables and places, the stored schemes. Opened from the tool button it
// shows the floor only, with the tables of the operator's open bills
// filled; a click on a table marks it and "ИЗБЕРИ" hands its number back as
// the bill to show.

#include "sales/table_floor.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Smetki;
}

namespace torvika {

class TForm_Smetki : public QDialog {
    Q_OBJECT
public:
    enum Mode { Design, ActiveBills };

    TForm_Smetki(const WindowContext& context, Mode mode, const QList<int>& openBills,
                 QWidget* parent = nullptr);
    ~TForm_Smetki() override;

    Mode mode() const { return mode_; }
    const TableFloor& floor() const { return state_.floor; }
    // After "ИЗБЕРИ": the marked table's number (0 when none was marked).
    int chosenTable() const { return chosenTable_; }

    // The drawing panel's operations, as its controls run them.
    void chooseKind(FloorObject::Kind kind);
    void drawAt(const QRect& rect);
    void markTable(int table);
    void markPlace(int place);
    void removeMarked();
    void clearAll();
    // Stores the floor under the scheme named in "Схема".
    bool saveScheme();
    // Shows the scheme stored under the name (asks first about a drawing not stored).
    void showScheme(const QString& scheme);

private:
    void objectClicked(const FloorObject& object);
    void fillTables();
    void fillPlaces();
    void loadScheme(const QString& scheme);

    std::unique_ptr<Ui::TForm_Smetki> ui;
    Session& session_;
    FloorState& state_;
    Mode mode_;
    int markedTable_ = 0;
    int markedPlace_ = 0;
    int chosenTable_ = 0;
};

} // namespace torvika
