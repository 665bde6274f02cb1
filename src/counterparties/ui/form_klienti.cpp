#include "counterparties/ui/form_klienti.h"

#include "common/errors.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/field_events.h"
#include "common/ui/messages.h"
#include "counterparties/counterparties.h"
#include "counterparties/identity_numbers.h"
#include "counterparties/texts.h"
#include "counterparties/ui/details_dialog.h"
#include "counterparties/ui/form_grad.h"
#include "counterparties/ui/town_lookup.h"
#include "ui_form_klienti.h"

namespace torvika {

TForm_Klienti::TForm_Klienti(const WindowContext& context, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Klienti), context_(context), session_(context.session) {
    ui->setupUi(this);
    sideButtons_ = {ui->Button_Karti, ui->Button_Skladove, ui->Button_Sp_Otstapki, ui->Button_Smetki};

    auto db = [this] { return session_.workspace.db(); };
    firmTown_ = new TownLookup(db, ui->EditGrad_Firma, this, QStringLiteral("ListBox_Grad_Firma"));
    personTown_ = new TownLookup(db, ui->EditGrad_Mol, this, QStringLiteral("ListBox_Grad_Mol"));
    connect(firmTown_, &TownLookup::entered, this,
            [this] { ui->EditGrad_Mol->setText(ui->EditGrad_Firma->text()); });
    connect(ui->Button_Nov_Grad_Firma, &QPushButton::clicked, this, [this] { newTown(ui->EditGrad_Firma); });
    connect(ui->Button_Nov_Grad_Mol, &QPushButton::clicked, this, [this] { newTown(ui->EditGrad_Mol); });

    // Typing the firm's name, address and phone fills the person's.
    connect(ui->Edit_Ime_Firma, &QLineEdit::textEdited, ui->Edit_Ime_Mol, &QLineEdit::setText);
    connect(ui->Edit_Adres_Firma, &QLineEdit::textEdited, ui->EditAdres_Mol, &QLineEdit::setText);
    connect(ui->Edit_Telefoni_Firma, &QLineEdit::textEdited, ui->Edit_Telefon_Mol, &QLineEdit::setText);

    connect(ui->Button_Insert, &QPushButton::clicked, this, &TForm_Klienti::Button_InsertClick);
    connect(ui->Button_Cancel, &QPushButton::clicked, this, &TForm_Klienti::Button_CancelClick);
    connect(ui->Button_Skladove, &QPushButton::clicked, this, &TForm_Klienti::Button_SkladoveClick);
    connect(ui->Button_Smetki, &QPushButton::clicked, this, &TForm_Klienti::Button_SmetkiClick);
    connect(ui->Button_Sp_Otstapki, &QPushButton::clicked, this, &TForm_Klienti::Button_Sp_OtstapkiClick);
    ui->Edit_EIK->installEventFilter(this);
    ui->Edit_EGN_Mol->installEventFilter(this);

    setState(Idle);
}

TForm_Klienti::~TForm_Klienti() = default;

void TForm_Klienti::setState(State state) {
    state_ = state;
    ui->Button_Insert->setText(state == Idle ? kCaptionNew : kCaptionEnter);
    ui->Button_Insert->setProperty("tag", int(state));
    ui->Button_Cancel->setEnabled(state != Idle);
    if (state != Idle) {
        for (QPushButton* b : sideButtons_)
            b->setEnabled(state == Edit);
        if (!context_.host.followUps().of<CounterpartyCardButtons>().has(kCardSpecialDiscounts)) {
            ui->Button_Sp_Otstapki->setEnabled(false);
            ui->Button_Sp_Otstapki->setToolTip(texts::kNoFollowUp);
        }
    }
}

void TForm_Klienti::clearFields() {
    for (QLineEdit* e : findChildren<QLineEdit*>())
        e->clear();
    ui->Memo_Zabel->clear();
    ui->Label_ID_Klient->clear();
    ui->Edit_Otsapka->setText(QStringLiteral("0"));
}

void TForm_Klienti::openNew(qint64 group) {
    clearFields();
    for (QLineEdit* e : {ui->Edit_EIK, ui->Edit_Dan_N, ui->Edit_Otsapka, ui->Edit_EGN_Mol})
        e->setText(QStringLiteral("0"));
    group_ = group;
    id_ = personId_ = -1;
    savedId_ = -1;
    setState(New);
    ui->Edit_Ime_Firma->setFocus();
}

bool TForm_Klienti::openEdit(qint64 id) {
    const std::optional<StoredCounterparty> c = loadCounterparty(session_.workspace.db(), id);
    if (!c)
        return false;
    clearFields();
    id_ = c->id;
    personId_ = c->personId;
    savedId_ = -1;
    ui->Label_ID_Klient->setText(QString::number(c->id));
    ui->Edit_Ime_Firma->setText(c->firm.name);
    ui->EditGrad_Firma->setText(c->firm.town);
    ui->Edit_Adres_Firma->setText(c->firm.address);
    ui->Edit_Telefoni_Firma->setText(c->firm.phone);
    ui->Edit_EIK->setText(c->firm.eik);
    ui->Edit_Dan_N->setText(c->firm.vatNumber);
    ui->Edit_BankaIme->setText(c->firm.bankName);
    ui->Edit_BankaKod->setText(c->firm.bankCode);
    ui->EditBanka_Smetka->setText(c->firm.bankAccount);
    ui->Edit_Otsapka->setText(c->firm.discount.toString());
    ui->Memo_Zabel->setPlainText(c->firm.note);
    ui->Edit_Ime_Mol->setText(c->person.name);
    ui->EditGrad_Mol->setText(c->person.town);
    ui->EditAdres_Mol->setText(c->person.address);
    ui->Edit_Telefon_Mol->setText(c->person.phone);
    ui->Edit_EGN_Mol->setText(c->person.egn);
    setState(Edit);
    ui->Edit_Ime_Firma->setFocus();
    return true;
}

QString TForm_Klienti::refText() const {
    return torvika::refText(id_, ui->Edit_Ime_Firma->text());
}

bool TForm_Klienti::readCards(FirmCard& firm, PersonCard& person) {
    const std::optional<Decimal> discount = Decimal::parse(ui->Edit_Otsapka->text());
    if (discount)
        firm.discount = *discount;
    if (!discount) {
        showMessage(kIncompleteData);
        ui->Edit_Otsapka->setFocus();
        return false;
    }
    firm.name = ui->Edit_Ime_Firma->text();
    firm.town = ui->EditGrad_Firma->text();
    firm.address = ui->Edit_Adres_Firma->text();
    firm.eik = ui->Edit_EIK->text();
    firm.vatNumber = ui->Edit_Dan_N->text();
    firm.phone = ui->Edit_Telefoni_Firma->text();
    firm.bankName = ui->Edit_BankaIme->text();
    firm.bankCode = ui->Edit_BankaKod->text();
    firm.bankAccount = ui->EditBanka_Smetka->text();
    firm.note = ui->Memo_Zabel->toPlainText();
    person.name = ui->Edit_Ime_Mol->text();
    person.town = ui->EditGrad_Mol->text();
    person.address = ui->EditAdres_Mol->text();
    person.phone = ui->Edit_Telefon_Mol->text();
    person.egn = ui->Edit_EGN_Mol->text();
    return true;
}

bool TForm_Klienti::saveNew() {
    bool eikMessage = false;
    const bool eikValid = Check_EIK(ui->Edit_EIK->text(), &eikMessage);
    if (eikMessage)
        showMessage(kInvalidEik);
    if (!(eikValid && Check_EGN(ui->Edit_EGN_Mol->text())) && !askYesNo(kAskInvalidIdentity))
        return false;
    FirmCard firm;
    PersonCard person;
    if (!readCards(firm, person))
        return false;
    return store([&] { savedId_ = createCounterparty(session_.db(), firm, person, group_).id; });
}

bool TForm_Klienti::saveEdit() {
    FirmCard firm;
    PersonCard person;
    if (!readCards(firm, person))
        return false;
    return store([&] {
        personId_ = updateCounterparty(session_.db(), id_, personId_, firm, person);
        savedId_ = id_;
    });
}

bool TForm_Klienti::store(const std::function<void()>& save) {
    // A save that fails keeps the card open with what was typed, and says
    // what happened: a busy database is not incomplete data.
    try {
        save();
        return true;
    } catch (const EDatabaseBusy& e) {
        reportError(e);
    } catch (const Error& e) {
        reportError(e, kIncompleteData + u'\r' + e.message());
    }
    return false;
}

void TForm_Klienti::Button_InsertClick() {
    if (state_ == New && !saveNew())
        return;
    if (state_ == Edit && !saveEdit())
        return;
    setState(Idle);
    accept();
}

void TForm_Klienti::Button_CancelClick() {
    clearFields();
    setState(Idle);
    if (askYesNo(kAskCloseCounterparties))
        reject();
}

void TForm_Klienti::Edit_EIKExit() {
    if (state_ == Idle || asking_)
        return;
    bool message = false;
    if (Check_EIK(ui->Edit_EIK->text(), &message))
        return;
    asking_ = true;
    if (message)
        showMessage(kInvalidEik);
    const bool goOn = askYesNo(kAskInvalidEik);
    asking_ = false;
    (goOn ? ui->Edit_Dan_N : ui->Edit_EIK)->setFocus();
}

void TForm_Klienti::Edit_EGN_MolExit() {
    if (state_ == Idle || asking_ || Check_EGN(ui->Edit_EGN_Mol->text()))
        return;
    asking_ = true;
    const bool goOn = askYesNo(kAskInvalidEgn);
    asking_ = false;
    if (goOn)
        ui->Memo_Zabel->setFocus();
    else
        ui->Edit_EGN_Mol->setFocus();
}

bool TForm_Klienti::eventFilter(QObject* watched, QEvent* event) {
    if (leftWithinWindow(event)) {
        if (watched == ui->Edit_EIK)
            Edit_EIKExit();
        else if (watched == ui->Edit_EGN_Mol)
            Edit_EGN_MolExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Klienti::Button_SkladoveClick() {
    if (state_ != Edit)
        return;
    TForm_Kontrag_Sklad sites(context_, id_, refText(), this);
    sites.exec();
}

void TForm_Klienti::Button_SmetkiClick() {
    if (state_ != Edit)
        return;
    TForm_Kontrag_Smetki accounts(context_, id_, refText(), this);
    accounts.exec();
}

void TForm_Klienti::Button_Sp_OtstapkiClick() {
    if (state_ == Edit)
        context_.host.followUps().of<CounterpartyCardButtons>().run(kCardSpecialDiscounts, this,
                                                                    {id_, refText()});
}

void TForm_Klienti::newTown(QLineEdit* field) {
    TForm_Grad towns(context_, this);
    towns.run(RecordCommand::Insert);
    towns.exec();
    field->setFocus();
}

} // namespace torvika
