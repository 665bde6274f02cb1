#include "sales/ui/form_smetki.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "sales/texts.h"
#include "ui_form_smetki.h"

#include <QSignalBlocker>

namespace torvika {

TForm_Smetki::TForm_Smetki(const WindowContext& context, Mode mode, const QList<int>& openBills,
                           QWidget* parent)
    : QDialog(parent, Qt::Tool), ui(new Ui::TForm_Smetki), session_(context.session),
      state_(context.session.state<FloorState>()), mode_(mode) {
    ui->setupUi(this);
    ui->Panel_Design->setVisible(mode == Design);
    ui->Shape_Pravoagalnik->setKind(FloorObject::RectangleTable);
    ui->Shape_Krag->setKind(FloorObject::RoundTable);
    ui->Shape_Mqsto->setKind(FloorObject::Place);
    for (FloorShapeButton* b : {ui->Shape_Pravoagalnik, ui->Shape_Krag, ui->Shape_Mqsto})
        connect(b, &FloorShapeButton::clicked, this, [this, b] { chooseKind(b->kind()); });
    for (QSpinBox* s : {ui->SpinEdit_Visochina, ui->SpinEdit_Shirina}) {
        s->setRange(kFloorMinSide, kFloorMaxSide);
        s->setValue(kFloorDefaultSide);
        connect(s, &QSpinBox::valueChanged, this, [this] {
            ui->Floor->setNewTableSize({ui->SpinEdit_Shirina->value(), ui->SpinEdit_Visochina->value()});
        });
    }
    ui->Floor->setFloor(&state_.floor);
    ui->Floor->setHighlighted(openBills);
    connect(ui->Floor, &FloorView::drawRequested, this, &TForm_Smetki::drawAt);
    connect(ui->Floor, &FloorView::objectClicked, this, &TForm_Smetki::objectClicked);
    connect(ui->ComboBox_Masa, &QComboBox::activated, this,
            [this](int i) { markTable(ui->ComboBox_Masa->itemData(i).toInt()); });
    connect(ui->ComboBox_Mqsto, &QComboBox::activated, this,
            [this](int i) { markPlace(ui->ComboBox_Mqsto->itemData(i).toInt()); });
    connect(ui->Button_Zapis, &QPushButton::clicked, this, &TForm_Smetki::saveScheme);
    connect(ui->Button_Izchisti, &QPushButton::clicked, this, [this] {
        if (askYesNo(texts::kFloorAskClear))
            clearAll();
    });
    connect(ui->Button_Iztrii, &QPushButton::clicked, this, &TForm_Smetki::removeMarked);
    connect(ui->ComboBox_Shema, &QComboBox::activated, this,
            [this](int i) { showScheme(ui->ComboBox_Shema->itemText(i)); });
    connect(ui->Button_Izberi, &QPushButton::clicked, this, [this] {
        chosenTable_ = markedTable_;
        accept();
    });
    connect(ui->Button_Otkaji, &QPushButton::clicked, this, &QDialog::reject);

    guarded([&] {
        if (!state_.loaded)
            loadScheme(state_.scheme.isEmpty() ? texts::kFloorDefaultScheme : state_.scheme);
        const QSignalBlocker block(ui->ComboBox_Shema);
        ui->ComboBox_Shema->addItems(floorSchemes(session_.db()));
        if (ui->ComboBox_Shema->findText(state_.scheme) < 0)
            ui->ComboBox_Shema->addItem(state_.scheme);
        ui->ComboBox_Shema->setCurrentText(state_.scheme);
    });
    fillTables();
}

TForm_Smetki::~TForm_Smetki() = default;

void TForm_Smetki::loadScheme(const QString& scheme) {
    state_.floor = loadFloor(session_.db(), scheme);
    state_.scheme = scheme;
    state_.loaded = true;
    state_.changed = false;
    markedTable_ = markedPlace_ = 0;
    ui->Floor->setMarked(0, 0);
}

void TForm_Smetki::chooseKind(FloorObject::Kind kind) {
    const bool choose = ui->Floor->drawingKind() != int(kind);
    for (FloorShapeButton* b : {ui->Shape_Pravoagalnik, ui->Shape_Krag, ui->Shape_Mqsto})
        b->setChosen(choose && b->kind() == kind);
    ui->Floor->setDrawingKind(choose ? int(kind) : -1);
}

void TForm_Smetki::drawAt(const QRect& rect) {
    const auto kind = FloorObject::Kind(ui->Floor->drawingKind());
    if (ui->Floor->drawingKind() < 0)
        return;
    int table = markedTable_;
    if (kind == FloorObject::Place && table == 0 && !state_.floor.tables().isEmpty())
        table = state_.floor.tables().constLast().number;
    const FloorObject o = state_.floor.add(kind, rect, table);
    state_.changed = true;
    fillTables();
    if (o.isTable())
        markTable(o.number);
    else {
        markTable(o.table);
        markPlace(o.number);
    }
}

void TForm_Smetki::markTable(int table) {
    markedTable_ = table;
    markedPlace_ = 0;
    ui->ComboBox_Masa->setCurrentIndex(ui->ComboBox_Masa->findData(table));
    fillPlaces();
    ui->Floor->setMarked(markedTable_, 0);
}

void TForm_Smetki::markPlace(int place) {
    markedPlace_ = place;
    ui->ComboBox_Mqsto->setCurrentIndex(ui->ComboBox_Mqsto->findData(place));
    ui->Floor->setMarked(markedTable_, place);
}

void TForm_Smetki::objectClicked(const FloorObject& object) {
    markTable(object.table);
    if (!object.isTable())
        markPlace(object.number);
}

void TForm_Smetki::removeMarked() {
    for (const FloorObject& o : state_.floor.objects()) {
        const bool hit = markedPlace_ ? (!o.isTable() && o.table == markedTable_ && o.number == markedPlace_)
                                      : (o.isTable() && o.number == markedTable_);
        if (hit) {
            state_.floor.remove(o);
            state_.changed = true;
            break;
        }
    }
    const int table = markedPlace_ ? markedTable_ : 0;
    fillTables();
    markTable(table);
}

void TForm_Smetki::clearAll() {
    state_.floor.clear();
    state_.changed = true;
    fillTables();
    markTable(0);
}

bool TForm_Smetki::saveScheme() {
    const QString scheme = ui->ComboBox_Shema->currentText().trimmed();
    if (scheme.isEmpty())
        return false;
    return guarded([&] {
        saveFloor(session_.db(), scheme, state_.floor);
        state_.scheme = scheme;
        state_.changed = false;
        if (ui->ComboBox_Shema->findText(scheme) < 0)
            ui->ComboBox_Shema->addItem(scheme);
        showMessage(texts::kFloorSaved);
    });
}

void TForm_Smetki::showScheme(const QString& scheme) {
    if (scheme == state_.scheme)
        return;
    if (state_.changed && askYesNo(texts::kFloorAskSaveScheme)) {
        const QString wanted = scheme;
        {
            const QSignalBlocker block(ui->ComboBox_Shema);
            ui->ComboBox_Shema->setCurrentText(state_.scheme);
        }
        if (!saveScheme())
            return;
        ui->ComboBox_Shema->setCurrentText(wanted);
    }
    guarded([&] { loadScheme(scheme); });
    ui->ComboBox_Shema->setCurrentText(state_.scheme);
    fillTables();
}

void TForm_Smetki::fillTables() {
    const QSignalBlocker block(ui->ComboBox_Masa);
    ui->ComboBox_Masa->clear();
    for (const FloorObject& t : state_.floor.tables())
        ui->ComboBox_Masa->addItem(t.name(), t.number);
    ui->ComboBox_Masa->setCurrentIndex(ui->ComboBox_Masa->findData(markedTable_));
    fillPlaces();
    ui->Floor->update();
}

void TForm_Smetki::fillPlaces() {
    const QSignalBlocker block(ui->ComboBox_Mqsto);
    ui->ComboBox_Mqsto->clear();
    for (const FloorObject& p : state_.floor.places(markedTable_))
        ui->ComboBox_Mqsto->addItem(p.name(), p.number);
    ui->ComboBox_Mqsto->setCurrentIndex(ui->ComboBox_Mqsto->findData(markedPlace_));
}

} // namespace torvika
