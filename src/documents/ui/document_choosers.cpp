#include "documents/ui/document_choosers.h"

#include "common/ui/error_edge.h"
#include "documents/document_kinds.h"
#include "documents/print_run.h"
#include "documents/ui/document_printer.h"
#include "ui_document_choosers.h"

#include <QListWidget>

namespace torvika {

namespace {

void tickAll(QListWidget* list, Qt::CheckState state) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(state);
}

QStringList ticked(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            out << list->item(i)->text();
    return out;
}

void addChecked(QListWidget* list, const QString& text, bool on) {
    auto* item = new QListWidgetItem(text, list);
    // The list toggles the tick itself, on a click anywhere on the item.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

DocumentChoosers::DocumentChoosers(QWidget* parent) : QWidget(parent), ui(new Ui::DocumentChoosers) {
    ui->setupUi(this);
    ui->Panel_Dokumets->hide();
    ui->Panel_Printers->hide();
    connect(ui->SpdBtn_Pokaji_Dokuments, &QToolButton::toggled, this, &DocumentChoosers::documentsToggled);
    connect(ui->SpdBtn_Pokaji_Printers, &QToolButton::toggled, this, &DocumentChoosers::printersToggled);
    connect(ui->BitBtn_Sel_All, &QPushButton::clicked, this,
            [this] { tickAll(ui->ChkListBox_Pokaj_Dokum, Qt::Checked); });
    connect(ui->BitBtn_Clear_all, &QPushButton::clicked, this,
            [this] { tickAll(ui->ChkListBox_Pokaj_Dokum, Qt::Unchecked); });
    connect(ui->BitBtn5, &QPushButton::clicked, this,
            [this] { tickAll(ui->CheckListBox_Printers, Qt::Checked); });
    connect(ui->BitBtn4, &QPushButton::clicked, this,
            [this] { tickAll(ui->CheckListBox_Printers, Qt::Unchecked); });
    // A click anywhere on an item toggles its tick; the hint names it.
    for (QListWidget* list : {ui->ChkListBox_Pokaj_Dokum, ui->CheckListBox_Printers})
        connect(list, &QListWidget::itemClicked, this, [list](QListWidgetItem* item) {
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            list->setToolTip(item->text());
        });
}

DocumentChoosers::~DocumentChoosers() = default;

void DocumentChoosers::setUp(Session& session, PrintContext context, const QString& suffix) {
    session_ = &session;
    context_ = context;
    if (suffix.isEmpty())
        return;
    for (QObject* o : findChildren<QObject*>())
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            o->setObjectName(o->objectName() + suffix);
}

void DocumentChoosers::showChoosers() {
    if (ui->SpdBtn_Pokaji_Dokuments->isChecked())
        documentsToggled(true);
    else
        ui->SpdBtn_Pokaji_Dokuments->setChecked(true);
}

void DocumentChoosers::closeChoosers() {
    ui->SpdBtn_Pokaji_Dokuments->setChecked(false);
    ui->SpdBtn_Pokaji_Printers->setChecked(false);
    ui->Panel_Dokumets->hide();
    ui->Panel_Printers->hide();
}

QStringList DocumentChoosers::checkedDocuments() const {
    return ticked(ui->ChkListBox_Pokaj_Dokum);
}

QStringList DocumentChoosers::checkedPrinters() const {
    return ticked(ui->CheckListBox_Printers);
}

void DocumentChoosers::documentsToggled(bool down) {
    if (!down) {
        closeChoosers();
        return;
    }
    fillDocuments();
    ui->Panel_Dokumets->show();
    if (ui->SpdBtn_Pokaji_Printers->isChecked())
        printersToggled(true);
    else
        ui->SpdBtn_Pokaji_Printers->setChecked(true);
}

void DocumentChoosers::printersToggled(bool down) {
    if (!down) {
        ui->Panel_Printers->hide();
        return;
    }
    fillPrinters();
    ui->Panel_Printers->show();
}

void DocumentChoosers::fillDocuments() {
    ui->ChkListBox_Pokaj_Dokum->clear();
    if (!session_)
        return;
    guarded([this] {
        for (const QString& kind : documentKindsFor(session_->db(), context_))
            addChecked(ui->ChkListBox_Pokaj_Dokum, kind, false);
    });
}

void DocumentChoosers::fillPrinters() {
    ui->CheckListBox_Printers->clear();
    const QString current = defaultPrinterName();
    for (const QString& printer : installedPrinters())
        addChecked(ui->CheckListBox_Printers, printer, printer == current);
    if (session_) {
        DocumentPrintState& state = session_->state<DocumentPrintState>();
        state.defaultPrinter = current;
        state.jobPrinter = current;
    }
}

} // namespace torvika
