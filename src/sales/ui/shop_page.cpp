#include "sales/ui/shop_page.h"

#include "common/ref_text.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/selection_order.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "documents/ui/document_choosers.h"
#include "documents/ui/document_printer.h"
#include "sales/sale_counterparty.h"
#include "sales/sale_lines.h"
#include "sales/texts.h"
#include "shell/ui/menu_rights.h"
#include "ui_shop_page.h"

#include <QAction>

namespace torvika {

namespace {

// The buttons that run menu commands, and the blanks between caption and
// shortcut text.
struct CommandButton {
    const char* button;
    const char* command;
    int blanks; // -1: the caption carries no shortcut text
};
constexpr CommandButton kCommandButtons[] = {
    {"Button_Insert_in_List", "Enter1", 0},
    {"Button_Prodajba", "N_Prodajba", 5},
    {"Button_Otkaz", "N_Cancel_Prodajba", 10},
    {"Button_Select_all", "N_Select_All", 4},
    {"Button_TO", "N_Ob6ta_TO", 3},
    {"Button_Refresh", "N_Refresh", 3},
};

} // namespace

ShopPage::ShopPage(Host& host, QWidget* parent)
    : HostPage(parent), ui(new Ui::ShopPage), host_(host), lines_(new StatementModel(this)) {
    ui->setupUi(this);
    Session& session = host.session();
    // The operator's pending lines; the rows selected are the lines
    // documents are printed for.
    lines_->setColumns({{QStringLiteral("Barkod"), QStringLiteral("Арт. №"), 8, GridColumnSpec::Integer},
                        {QStringLiteral("Opisanie"), QStringLiteral("Описание"), 30},
                        {QStringLiteral("Kol"), QStringLiteral("Кол."), 8, GridColumnSpec::Number},
                        {QStringLiteral("Mqrka"), QStringLiteral("Мярка"), 6},
                        {QStringLiteral("Ed_Cena"), QStringLiteral("Ед. Цена"), 10, GridColumnSpec::Number},
                        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
                        {QStringLiteral("T_O"), QStringLiteral("TO в %"), 8, GridColumnSpec::Number},
                        {QStringLiteral("Operator"), QStringLiteral("Оператор"), 12}});
    setUpStatementGrid(ui->DBGrid1, lines_, true);
    selection_ = new SelectionOrder(ui->DBGrid1);
    ui->DocumentChoosers->setUp(session, PrintContext::Shop);
    // "Печат документи" prints; it is enabled as "Печат на документи" is.
    QAction* documents = host.command(QStringLiteral("N_Dokumenti"));
    connect(ui->Button_Pe4at_Dokumenti, &QPushButton::clicked, this, &ShopPage::Button_Pe4at_DokumentiClick);
    auto followDocuments = [this, documents] {
        ui->Button_Pe4at_Dokumenti->setEnabled(documents->isEnabled());
    };
    connect(documents, &QAction::changed, this, followDocuments);
    followDocuments();
    ui->QuickSearch_Kontrag->setUp(session, QuickSearchPage::Shop, this);
    connect(ui->QuickSearch_Kontrag, &CounterpartyQuickSearch::chosen, this,
            [this](const QString& ref) { chooseSaleCounterparty(ref, true); });
    counterpartyFollowUps().add(
        kSelectSaleCounterparty, [this](const QString& ref) { chooseSaleCounterparty(ref, false); }, this);

    // Each button runs its command and is enabled as its command is.
    for (const CommandButton& b : kCommandButtons) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(b.button));
        QAction* command = host.command(QString::fromLatin1(b.command));
        const QString name = command->objectName();
        connect(button, &QPushButton::clicked, this, [this, name] { host_.runCommand(name); });
        auto follow = [button, command] { button->setEnabled(command->isEnabled()); };
        connect(command, &QAction::changed, button, follow);
        follow();
    }
    connect(&session, &Session::saleCounterpartyChanged, this, &ShopPage::showSaleCounterparty);
    connect(&session, &Session::operatorChanged, this, &ShopPage::showSaleCounterparty);
}

ShopPage::~ShopPage() = default;

DocumentChoosers* ShopPage::documentChoosers() const {
    return ui->DocumentChoosers;
}

void ShopPage::refresh() {
    Session& session = host_.session();
    if (!session.workspace.isOpen())
        return;
    guarded([&] {
        lines_->setStatement(
            session.db(),
            {QStringLiteral("SELECT N_Prodajba, Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, T_O, "
                            "Operator FROM Prodajbi_Vremenni WHERE Operator = ? ORDER BY N_Prodajba"),
             {session.operatorName()},
             QStringLiteral("N_Prodajba")});
    });
}

QList<qint64> ShopPage::selectedSaleLines() const {
    QList<qint64> out;
    for (int row : selection_->rows())
        out << lines_->value(row, QStringLiteral("N_Prodajba")).toLongLong();
    return out;
}

DocumentAmounts ShopPage::selectedAmounts(const QList<qint64>& lines) const {
    Session& session = host_.session();
    Decimal total;
    for (const SaleLine& line :
         allOperatorLines(session.db(), session.operatorName(), session.displayDecimals))
        if (lines.contains(line.number))
            total += line.amount;
    return splitVat(total, vatRateFromText(session.firmData().vatText()));
}

void ShopPage::showDocumentChoosers() {
    ui->DocumentChoosers->showChoosers();
}

void ShopPage::Button_Pe4at_DokumentiClick() {
    Session& session = host_.session();
    PrintRequest request = pageRequest(session, PrintContext::Shop);
    request.lines = selectedSaleLines();
    request.counterparty = std::max(0, GetID_MFromTreeNodeName(session.saleCounterparty()));
    if (!request.lines.isEmpty() && !guarded([&] { request.amounts = selectedAmounts(request.lines); }))
        return;
    printDocuments(session, request,
                   {ui->DocumentChoosers->checkedDocuments(), ui->DocumentChoosers->checkedPrinters()}, this);
    ui->DocumentChoosers->closeChoosers();
}

CounterpartyQuickSearch* ShopPage::counterpartySearch() const {
    return ui->QuickSearch_Kontrag;
}

QString ShopPage::billText() const {
    return ui->ComboBox_Smetka->currentText();
}

void ShopPage::formShown(bool current) {
    if (ui->ComboBox_Smetka->count() > 0)
        ui->ComboBox_Smetka->setCurrentIndex(ui->ComboBox_Smetka->count() - 1);
    if (!current)
        return;
    // The VAT switch shows only when a VAT rate is set.
    ui->ChkBox_Add_DDS->setVisible(
        QString::compare(host_.session().firmData().vatText(), QStringLiteral("0")) > 0);
    ui->Edit_Barkod->setFocus();
}

void ShopPage::writeButtonCaptions(int insertInListBlanks) {
    for (const CommandButton& b : kCommandButtons) {
        if (b.blanks < 0)
            continue;
        auto* button = findChild<QPushButton*>(QString::fromLatin1(b.button));
        const QString caption =
            button->property("caption").isValid() ? button->property("caption").toString() : button->text();
        button->setProperty("caption", caption);
        const int blanks = b.blanks == 0 ? insertInListBlanks : b.blanks;
        button->setText(caption + QString(blanks, u' ') +
                        actionShortcutText(host_.command(QString::fromLatin1(b.command))));
    }
}

void ShopPage::showSaleCounterparty() {
    ui->QuickSearch_Kontrag->setCounterpartyText(host_.session().saleCounterparty());
}

void ShopPage::chooseSaleCounterparty(const QString& refText, bool fromQuickSearch) {
    Session& session = host_.session();
    session.setSaleCounterparty(refText);
    guarded([&] {
        const QSqlDatabase db = session.db();
        const qint64 id = GetID_MFromTreeNodeName(refText);
        const QList<qint64> articles = pendingArticles(db, session.operatorName());
        PendingLinesUpdate what;
        what.discounts = askYesNo(texts::kAskCounterpartyDiscounts);
        what.articleNumbers = fromQuickSearch && id > 0;
        updatePendingLines(db, session.operatorName(), id, articles, what);
    });
}

} // namespace torvika
