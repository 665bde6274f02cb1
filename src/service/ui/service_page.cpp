#include "service/ui/service_page.h"

#include "catalogue/reference_lists.h"
#include "common/cformat.h"
#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/record_window.h"
#include "common/ui/selection_order.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/document_printer.h"
#include "sales/departments.h"
#include "sales/ui/fiscal_commands.h"
#include "service/repairs.h"
#include "service/texts.h"
#include "service/ui/form_remont.h"
#include "service/ui/row_colours.h"
#include "service/ui/service_settings.h"
#include "shell/vat_rates.h"
#include "ui_service_page.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>

namespace torvika {

namespace {

const QString kShortDate = QStringLiteral("dd.MM.yyyy");

QString dateText(const QDate& date) {
    return date.isValid() ? date.toString(kShortDate) : QString();
}

} // namespace

ServicePage::ServicePage(Host& host, QWidget* parent)
    : HostPage(parent), ui(new Ui::ServicePage), host_(host) {
    ui->setupUi(this);
    Session& session = host.session();
    ui->QuickSearch_Kontrag_Ser->setUp(host.context(), QuickSearchPage::Service, this);
    ui->DocumentChoosers->setUp(session, PrintContext::Service, QStringLiteral("_Ser"));

    lines_ = new StatementModel(this);
    lines_->setColumns(
        {{QStringLiteral("N_Prodajba"), QStringLiteral("Приет под N:"), 0, GridColumnSpec::Integer},
         {QStringLiteral("Barkod"), QStringLiteral("Арт. N"), 7, GridColumnSpec::Integer},
         {QStringLiteral("S_N"), QStringLiteral("Сер. N"), 14},
         {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 24},
         {QStringLiteral("Pri4ina"), QStringLiteral("Причина"), 24},
         {QStringLiteral("Pred_Cena_Remont"), QStringLiteral("Цена"), 9, GridColumnSpec::Number},
         {QStringLiteral("Valuta"), QStringLiteral("Валута"), 7},
         {QStringLiteral("Krai_data"), QStringLiteral("Да се ремонтира до"), 0, GridColumnSpec::Date},
         {QStringLiteral("Operator"), QStringLiteral("Приел"), 0}});
    lines_->setPageSize(0);
    setUpStatementGrid(ui->DBGrid_Ser, lines_, true);
    order_ = new SelectionOrder(ui->DBGrid_Ser);

    dossier_ = new StatementModel(this);
    dossier_->setColumns(
        {{QStringLiteral("N_Priem"), QStringLiteral("Приет под N:"), 0, GridColumnSpec::Integer},
         {QStringLiteral("Pri4ina"), QStringLiteral("Причина за приемане"), 20},
         {QStringLiteral("Data_Priem"), QStringLiteral("Дата приемане"), 0, GridColumnSpec::Date},
         {QStringLiteral("Time_Priem"), QStringLiteral("Час приемане"), 0},
         {QStringLiteral("Operator"), QStringLiteral("Оператор приел"), 0},
         {QStringLiteral("Data_Izd"), QStringLiteral("Дата издаване"), 0, GridColumnSpec::Date},
         {QStringLiteral("Time_Izd"), QStringLiteral("Час издаване"), 0}});
    setUpStatementGrid(ui->DBGrid3, dossier_);
    dossierLines_ = new StatementModel(this);
    dossierLines_->setColumns(
        {{QStringLiteral("SN"), QStringLiteral("Сериен номер"), 12},
         {QStringLiteral("Remont"), QStringLiteral("Извършен ремонт/сменен елемент"), 24},
         {QStringLiteral("Kol"), QStringLiteral("Кол."), 6, GridColumnSpec::Number},
         {QStringLiteral("Ed_Cena"), QStringLiteral("Ед. цена"), 9, GridColumnSpec::Number, 4},
         {QStringLiteral("Valuta"), QStringLiteral("Валута"), 7},
         {QStringLiteral("Suma"), QStringLiteral("Общо лв"), 9, GridColumnSpec::Number, 4},
         {QStringLiteral("Garan_Remont"), QStringLiteral("Гаранция до"), 0, GridColumnSpec::Date},
         {QStringLiteral("Zamqna"), QStringLiteral("Замяна"), 0},
         {QStringLiteral("Oper_Remont"), QStringLiteral("Оператор извършил ремонт"), 0}});
    setUpStatementGrid(ui->DBGrid4, dossierLines_);
    ui->DBGrid4->setItemDelegate(new RowColours({}, this, 7));
    connect(ui->DBGrid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ServicePage::showDossierLines);

    ui->Memo_Pri4ina->document()->setMaximumBlockCount(0);
    connect(ui->Memo_Pri4ina, &QPlainTextEdit::textChanged, this, [this] {
        // At most 255 characters of reason.
        const QString text = ui->Memo_Pri4ina->toPlainText();
        if (text.size() > kReasonMaxLength) {
            ui->Memo_Pri4ina->setPlainText(text.left(kReasonMaxLength));
            ui->Memo_Pri4ina->moveCursor(QTextCursor::End);
        }
    });
    ui->Edit_SN->setValidator(nullptr);
    connect(ui->Edit_SN, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int at = ui->Edit_SN->cursorPosition();
        ui->Edit_SN->setText(text.toUpper());
        ui->Edit_SN->setCursorPosition(at);
    });
    connect(ui->Edit_SN, &QLineEdit::returnPressed, this, &ServicePage::lookUp);
    connect(ui->Edit_Art, &QLineEdit::textChanged, this, &ServicePage::articleChanged);
    connect(ui->Edit_Art, &QLineEdit::returnPressed, ui->Edit_SN, qOverload<>(&QWidget::setFocus));
    connect(ui->CheckBox_Free_Text, &QCheckBox::toggled, this, &ServicePage::freeTextToggled);
    connect(ui->CheckBox_Garancionen, &QCheckBox::toggled, this, &ServicePage::warrantyToggled);
    connect(ui->SpdBtn_Sel_SN, &QToolButton::clicked, this,
            [this] { ui->ListBox_Sel_SN->setVisible(!ui->ListBox_Sel_SN->isVisible()); });
    connect(ui->ListBox_Sel_SN, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { pickSerial(item->text()); });
    // The lists hand their choice to the page through its follow-ups (addFollowUps).
    connect(ui->Link_Klient, &QPushButton::clicked, this,
            [this] { pickCounterparty(host_.context(), kSelectServiceClient, this); });
    connect(ui->Link_Dostavchik, &QPushButton::clicked, this,
            [this] { pickCounterparty(host_.context(), kSelectServiceSupplier, this); });
    connect(ui->Link_Artikul, &QPushButton::clicked, this,
            [this] { pickArticles(host_.context(), kSelectServiceIntakeArticle, this); });
    connect(ui->Button_Dobavi, &QPushButton::clicked, this, &ServicePage::addLine);
    connect(ui->Button_Otkaz_Ser, &QPushButton::clicked, this, &ServicePage::cancelLines);
    connect(ui->Button_Izberi_Vsi, &QPushButton::clicked, this, &ServicePage::selectAll);
    connect(ui->Button_Priemi, &QPushButton::clicked, this, &ServicePage::acceptLines);
    connect(ui->Button_Obnovi, &QPushButton::clicked, this, &ServicePage::readLines);
    connect(ui->Button_Serviz, &QPushButton::clicked, this, [this] { host_.runCommand(Command::N59); });
    connect(ui->Button_Pechat, &QPushButton::clicked, this, &ServicePage::printTicket);
    connect(ui->Button3, &QPushButton::clicked, this, &ServicePage::printDocuments);

    ui->ComboBox_Otdel->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ui->ListBox_Sel_SN->hide();
    ui->SpdBtn_Sel_SN->hide();
    resetEntry();
    setClientText(texts::kIntakeNoClientShort);
}

ServicePage::~ServicePage() = default;

void ServicePage::addFollowUps(FollowUpRegistry& followUps) {
    // The page is one for the run: whoever opened the list, the choice is the page's.
    followUps.of<CounterpartyPicker>().add(kSelectServiceClient,
                                           [this](QWidget*, const QString& ref) { setClientText(ref); });
    followUps.of<CounterpartyPicker>().add(kSelectServiceSupplier,
                                           [this](QWidget*, const QString& ref) { takeSupplier(ref); });
    followUps.of<ArticlePicker>().add(kSelectServiceIntakeArticle,
                                      [this](QWidget*, const ArticleChoice& choice) {
                                          if (choice.current)
                                              takeArticle(*choice.current);
                                      });
}

DocumentChoosers* ServicePage::documentChoosers() const {
    return ui->DocumentChoosers;
}

QList<qint64> ServicePage::selectedIntakeLines() const {
    QList<qint64> out;
    for (int row : order_->rows())
        out << lines_->value(row, QStringLiteral("N_Prodajba")).toLongLong();
    return out;
}

LineAmounts ServicePage::documentAmounts() const {
    Session& session = host_.session();
    // A repair is a service at the standard rate.
    return [&session](const QSqlDatabase& db, const QList<qint64>& lines) {
        return splitVatByRate(
            {{0, companyVatRates(session).of(kStandardTaxGroup), intakeRepairTotal(db, lines)}});
    };
}

void ServicePage::formShown(bool current) {
    if (current)
        ui->Edit_SN->setFocus();
}

void ServicePage::activated() {
    ui->ComboBox_Valuta->clear();
    ui->ComboBox_Otdel->clear();
    Session& session = host_.session();
    if (session.workspace.isOpen()) {
        logged([&] {
            ui->ComboBox_Valuta->addItems(currencyNames(session.db()));
            ui->ComboBox_Otdel->addItems(departmentItems(session.db()));
        });
    }
    ui->ComboBox_Otdel->setCurrentIndex(ui->ComboBox_Otdel->count() > 0 ? 0 : -1);
    ui->DateTimePicker_Krai_Data->setDate(session.today());
    ui->ComboBox_Valuta->setCurrentIndex(ui->ComboBox_Valuta->count() > 0 ? 0 : -1);
    readLines();
    ui->Edit_SN->setFocus();
}

void ServicePage::refresh() {
    readLines();
}

void ServicePage::readLines() {
    Session& session = host_.session();
    if (!session.workspace.isOpen())
        return;
    guarded([&] {
        lines_->setStatement(session.db(), intakeLinesStatement(session.operatorName()));
        fitGridColumns(ui->DBGrid_Ser);
    });
}

qint64 ServicePage::clientNumber() const {
    return std::max(0, GetID_MFromTreeNodeName(ui->QuickSearch_Kontrag_Ser->field()->text()));
}

void ServicePage::setClientText(const QString& text) {
    ui->QuickSearch_Kontrag_Ser->setCounterpartyText(text);
    if (ui->QuickSearch_Kontrag_Ser->list())
        ui->QuickSearch_Kontrag_Ser->list()->hide();
}

void ServicePage::articleChanged(const QString& text) {
    ui->Label_Opis_art->setText(ui->CheckBox_Free_Text->isChecked() ? QStringLiteral("-1:") + text : text);
}

void ServicePage::freeTextToggled(bool on) {
    ui->Link_Artikul->setEnabled(!on);
    ui->Edit_Art->setReadOnly(!on);
    ui->Edit_Art->clear();
    ui->CheckBox_Garancionen->setVisible(on);
    if (!on)
        ui->CheckBox_Garancionen->setChecked(false);
    articleChanged(ui->Edit_Art->text());
}

void ServicePage::warrantyToggled(bool on) {
    for (QWidget* w :
         {static_cast<QWidget*>(ui->Label_Gar_Dok_N), static_cast<QWidget*>(ui->Edit_Gar_Dok_N),
          static_cast<QWidget*>(ui->Label_Data_Dok_Gar), static_cast<QWidget*>(ui->DateTimePicker_Data_Dok),
          static_cast<QWidget*>(ui->Link_Dostavchik), static_cast<QWidget*>(ui->Label_Ime_Dost),
          static_cast<QWidget*>(ui->Label_Model_Vh), static_cast<QWidget*>(ui->Edit_Model),
          static_cast<QWidget*>(ui->Label_Partida_Vh), static_cast<QWidget*>(ui->Edit_Partida)})
        w->setVisible(on);
    if (on)
        ui->DateTimePicker_Data_Dok->setDate(host_.session().today());
}

void ServicePage::takeArticle(const PickedArticle& article) {
    ui->CheckBox_Free_Text->setChecked(false);
    ui->Edit_Art->setText(article.refText());
    ui->Edit_Pred_Cena_Priem->setText(formatFixed(article.price, amountDecimals(host_.session())).trimmed());
    const int currency = ui->ComboBox_Valuta->findText(article.currency);
    if (currency >= 0)
        ui->ComboBox_Valuta->setCurrentIndex(currency);
}

void ServicePage::takeSupplier(const QString& ref) {
    ui->Label_Ime_Dost->setText(ref);
}

void ServicePage::lookUp() {
    Session& session = host_.session();
    const QString serial = ui->Edit_SN->text().trimmed().toUpper();
    ui->Edit_SN->setText(serial);
    SerialLookup found;
    if (!guarded([&] { found = lookupSerial(session.db(), serial, ui->CheckBox_Select_Chast->isChecked()); }))
        return;
    // What the supplier's document says.
    const std::optional<SupplierWarranty>& supplier = found.supplier;
    ui->Label_Vid_Dok->setText(supplier ? supplier->documentKind : QString());
    ui->Label_Data_Dok->setText(supplier ? dateText(supplier->documentDate) : QString());
    ui->Label_Dok_N->setText(supplier ? supplier->documentNumber : QString());
    ui->Label_Dost->setText(supplier ? supplier->supplierText() : QString());
    ui->Label_Gar_Do->setText(supplier ? dateText(supplier->validUntil) : QString());
    ui->Label_Zabel->setText(supplier ? supplier->note : QString());
    // The sale.
    if (found.sale) {
        ui->CheckBox_Free_Text->setChecked(false);
        ui->Edit_Art->setText(found.sale->articleText());
        setClientText(found.sale->clientText());
    } else if (ui->Edit_Art->text().isEmpty()) {
        // An item the shop did not sell: described in free text. The client
        // already chosen stays, so that several items of one client can be
        // taken in one after another.
        ui->CheckBox_Free_Text->setChecked(true);
        ui->Edit_Art->setText(texts::kIntakeNoDescription);
    }
    if (clientNumber() <= 0)
        setClientText(texts::kIntakeNoClientShort);
    ui->Label_Gar_Klient->setText(found.sale ? found.sale->warranty : QString());
    ui->Label_Data_Prod->setText(found.sale ? dateText(found.sale->date) : QString());
    ui->Label_Model->setText(found.model);
    ui->Label_Partida->setText(found.batch);
    // A supplier's warranty still running makes it a warranty intake.
    if (found.underSupplierWarranty(session.today())) {
        ui->CheckBox_Garancionen->setVisible(true);
        ui->CheckBox_Garancionen->setChecked(true);
        ui->Edit_Gar_Dok_N->setText(supplier->documentNumber);
        ui->DateTimePicker_Data_Dok->setDate(supplier->documentDate);
        ui->DateTimePicker_Krai_Data->setDate(supplier->validUntil);
        ui->Edit_Model->setText(found.model);
        ui->Edit_Partida->setText(found.batch);
        ui->Label_Ime_Dost->setText(supplier->supplierText());
    }
    // Several serial numbers found: the pick list.
    ui->ListBox_Sel_SN->clear();
    ui->ListBox_Sel_SN->hide();
    ui->SpdBtn_Sel_SN->setVisible(found.serials.size() >= 2);
    if (found.serials.size() >= 2)
        ui->ListBox_Sel_SN->addItems(found.serials);
    // The dossier of the serial number.
    guarded([&] {
        dossier_->setStatement(session.db(), dossierStatement(serial));
        fitGridColumns(ui->DBGrid3);
        if (dossier_->rowCount() > 0)
            ui->DBGrid3->setCurrentIndex(dossier_->index(0, 0));
        showDossierLines();
    });
    ui->Memo_Pri4ina->setFocus();
}

void ServicePage::showDossierLines() {
    const QModelIndex current = ui->DBGrid3->currentIndex();
    if (!current.isValid()) {
        dossierLines_->clear();
        return;
    }
    const qint64 item = dossier_->value(current.row(), QStringLiteral("N_Priem")).toLongLong();
    guarded([&] {
        dossierLines_->setStatement(host_.session().db(), repairLinesStatement(item, RepairArchive::Issued));
        fitGridColumns(ui->DBGrid4);
    });
}

void ServicePage::pickSerial(const QString& serial) {
    ui->Edit_SN->setText(serial);
    setClientText(texts::kIntakeNoClientShort);
    ui->Edit_Art->clear();
    ui->CheckBox_Garancionen->setChecked(false);
    lookUp();
}

void ServicePage::resetEntry() {
    Session& session = host_.session();
    ui->CheckBox_Free_Text->setChecked(true);
    ui->CheckBox_Free_Text->setChecked(false);
    ui->CheckBox_Garancionen->setChecked(false);
    warrantyToggled(false);
    ui->Edit_Art->clear();
    ui->Edit_SN->clear();
    ui->Memo_Pri4ina->clear();
    ui->Edit_Gar_Dok_N->clear();
    ui->Edit_Model->clear();
    ui->Edit_Partida->clear();
    ui->DateTimePicker_Data_Dok->setDate(session.today());
    ui->DateTimePicker_Krai_Data->setDate(session.today());
    ui->Edit_Pred_Cena_Priem->setText(QStringLiteral("0.0000"));
    ui->Label_Ime_Dost->setText(texts::kIntakeNoSupplier);
}

void ServicePage::addLine() {
    Session& session = host_.session();
    IntakeEntry entry;
    entry.client = clientNumber();
    if (entry.client <= 0) {
        showMessage(texts::kIntakeNoClient);
        pickCounterparty(host_.context(), kSelectServiceClient, this);
        return;
    }
    const std::optional<Decimal> price = parseRepairPrice(ui->Edit_Pred_Cena_Priem->text());
    if (!price) {
        refuseField(texts::kIntakePriceNotNumber.arg(ui->Edit_Pred_Cena_Priem->text()),
                    ui->Edit_Pred_Cena_Priem);
        return;
    }
    const bool freeText = ui->CheckBox_Free_Text->isChecked();
    entry.article =
        freeText ? kFreeTextItem : std::max<qint64>(0, GetID_MFromTreeNodeName(ui->Edit_Art->text()));
    if (!freeText && entry.article <= 0)
        entry.article = kFreeTextItem;
    entry.description = ui->Edit_Art->text();
    entry.serial = ui->Edit_SN->text();
    entry.reason = intakeReasonText(ui->Memo_Pri4ina->toPlainText());
    entry.warranty = ui->CheckBox_Garancionen->isChecked();
    entry.warrantyDocument = ui->Edit_Gar_Dok_N->text();
    entry.warrantyDocumentDate = ui->DateTimePicker_Data_Dok->date();
    entry.price = *price;
    entry.currency = ui->ComboBox_Valuta->currentText();
    entry.supplier = std::max(0, GetID_MFromTreeNodeName(ui->Label_Ime_Dost->text()));
    entry.model = ui->Edit_Model->text();
    entry.batch = ui->Edit_Partida->text();
    entry.due = ui->DateTimePicker_Krai_Data->date();
    if (const std::optional<IntakeRefusal> refusal = checkIntakeEntry(entry, session.today())) {
        QWidget* field = ui->Edit_Art;
        switch (refusal->field) {
        case IntakeRefusal::Client:
            field = ui->QuickSearch_Kontrag_Ser->field();
            break;
        case IntakeRefusal::Description:
            field = ui->Edit_Art;
            break;
        case IntakeRefusal::Reason:
            field = ui->Memo_Pri4ina;
            break;
        case IntakeRefusal::Due:
            field = ui->DateTimePicker_Krai_Data;
            break;
        case IntakeRefusal::Currency:
            field = ui->ComboBox_Valuta;
            break;
        }
        refuseField(refusal->message, field);
        return;
    }
    if (!guarded([&] {
            addIntakeLine(session.db(), session.operatorName(), entry, session.now(),
                          amountDecimals(session));
        }))
        return;
    readLines();
    resetEntry();
    ui->Edit_SN->setFocus();
}

void ServicePage::selectAll() {
    ui->DBGrid_Ser->selectAll();
}

void ServicePage::cancelLines() {
    Session& session = host_.session();
    if (askYesNo(texts::kIntakeCancelQuestion)) {
        const QList<qint64> lines = selectedIntakeLines();
        guarded([&] { cancelIntakeLines(session.db(), session.operatorName(), lines); });
    }
    readLines();
}

void ServicePage::acceptLines() {
    Session& session = host_.session();
    const QList<qint64> lines = selectedIntakeLines();
    guarded([&] { acceptIntakeLines(session.db(), session.operatorName(), lines); });
    readLines();
    setClientText(texts::kIntakeNoClientShort);
    // The next client is received by whoever logs in.
    session.requestLogin();
}

void ServicePage::printTicket() {
    Session& session = host_.session();
    const QModelIndex current = ui->DBGrid_Ser->currentIndex();
    if (selectedIntakeLines().isEmpty() || !current.isValid()) {
        showMessage(texts::kIntakeNoLineForTicket);
        return;
    }
    const qint64 line = lines_->value(current.row(), QStringLiteral("N_Prodajba")).toLongLong();
    const int departmentId = GetID_MFromTreeNodeName(ui->ComboBox_Otdel->currentText());
    if (departmentId <= 0) {
        showMessage(texts::kIntakeNoDepartment);
        return;
    }
    guarded([&] {
        const std::optional<Department> department = loadDepartment(session.db(), departmentId);
        if (!department) {
            showMessage(texts::kIntakeDepartmentGone.arg(departmentId));
            return;
        }
        const std::optional<WorkshopTicket> ticket = workshopTicketFor(
            session.db(), session.operatorName(), line, QString::number(terminalNumber(session)));
        if (!ticket) {
            showMessage(texts::kIntakeLineGone);
            readLines();
            return;
        }
        const BonResult result =
            writeWorkshopTicket(session.state<FiscalState>(), fiscalSettings(session), *department, *ticket);
        if (!result.ticketFailures.isEmpty())
            showMessage(texts::kIntakeTicketFailed);
        else if (result.ticketsWaiting > 0)
            showMessage(texts::kIntakeTicketWaiting.arg(department->name));
    });
}

void ServicePage::printDocuments() {
    Session& session = host_.session();
    const QList<qint64> lines = selectedIntakeLines();
    if (lines.isEmpty()) {
        showMessage(texts::kIntakeNoLinesForDocuments);
        return;
    }
    PrintRequest request;
    if (!guarded([&] { request = pageRequest(session, PrintContext::Service); }))
        return;
    request.lines = lines;
    // The documents name the client of the lines.
    const int first = order_->rows().value(0, -1);
    request.counterparty = lines_->value(first, QStringLiteral("ID_Kontrag")).toLongLong();
    request.amounts = documentAmounts();
    torvika::printDocuments(
        session, request, {ui->DocumentChoosers->checkedDocuments(), ui->DocumentChoosers->checkedPrinters()},
        this);
    ui->DocumentChoosers->closeChoosers();
}

} // namespace torvika
