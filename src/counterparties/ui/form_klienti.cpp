#include "counterparties/ui/form_klienti.h"

#include "common/errors.h"
#include "common/ref_text.h"
#include "common/ui/field_events.h"
#include "common/ui/messages.h"
#include "counterparties/counterparties.h"
#include "counterparties/identity_numbers.h"
#include "counterparties/texts.h"
#include "counterparties/ui/form_grad.h"
#include "counterparties/ui/form_kontrag_sklad.h"
#include "counterparties/ui/form_kontrag_smetki.h"
#include "counterparties/ui/town_lookup.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvika {

namespace {

QLineEdit* edit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TForm_Klienti::TForm_Klienti(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), firmName_(edit("Edit_Ime_Firma", this)),
      firmTownField_(edit("EditGrad_Firma", this)), firmAddress_(edit("Edit_Adres_Firma", this)),
      firmPhone_(edit("Edit_Telefoni_Firma", this)), eik_(edit("Edit_EIK", this)),
      vatNumber_(edit("Edit_Dan_N", this)), bankName_(edit("Edit_BankaIme", this)),
      bankCode_(edit("Edit_BankaKod", this)), bankAccount_(edit("EditBanka_Smetka", this)),
      discount_(edit("Edit_Otsapka", this)), idLabel_(new QLabel(this)),
      personName_(edit("Edit_Ime_Mol", this)), personAddress_(edit("EditAdres_Mol", this)),
      personPhone_(edit("Edit_Telefon_Mol", this)), personTownField_(edit("EditGrad_Mol", this)),
      egn_(edit("Edit_EGN_Mol", this)), note_(new QPlainTextEdit(this)), email_(edit("Edit_Email", this)),
      insert_(button(kCaptionNew, "Button_Insert", this)),
      cancel_(button(kCaptionCancel, "Button_Cancel", this)) {
    setObjectName(QStringLiteral("Form_Klienti"));
    setWindowTitle(QStringLiteral("Контрагенти"));
    idLabel_->setObjectName(QStringLiteral("Label_ID_Klient"));
    note_->setObjectName(QStringLiteral("Memo_Zabel"));
    note_->setTabChangesFocus(true);

    auto* firmBox = new QGroupBox(QStringLiteral("Фирма"), this);
    auto* fl = new QGridLayout(firmBox);
    int row = 0;
    auto addRow = [](QGridLayout* l, int& r, const QString& caption, QWidget* field,
                     QWidget* extra = nullptr) {
        l->addWidget(new QLabel(caption), r, 0);
        l->addWidget(field, r, 1);
        field->setMinimumWidth(220);
        if (extra)
            l->addWidget(extra, r, 2);
        ++r;
    };
    auto* firmTownNew = button(QStringLiteral("Нов"), "Button_Nov_Grad_Firma", this);
    auto* numberRow = new QWidget(firmBox);
    auto* nl = new QHBoxLayout(numberRow);
    nl->setContentsMargins(0, 0, 0, 0);
    nl->addWidget(new QLabel(QStringLiteral("КЛИЕНТ № "), numberRow));
    nl->addWidget(idLabel_);
    nl->addStretch(1);
    fl->addWidget(numberRow, row++, 0, 1, 3);
    addRow(fl, row, QStringLiteral("Име на фирма"), firmName_);
    addRow(fl, row, QStringLiteral("Град"), firmTownField_, firmTownNew);
    addRow(fl, row, QStringLiteral("Адрес"), firmAddress_);
    addRow(fl, row, QStringLiteral("Телефон"), firmPhone_);
    addRow(fl, row, QStringLiteral("ЕИК"), eik_);
    addRow(fl, row, QStringLiteral("ЗДДС N"), vatNumber_);
    addRow(fl, row, QStringLiteral("Банка"), bankName_);
    addRow(fl, row, QStringLiteral("Банков код"), bankCode_);
    addRow(fl, row, QStringLiteral("Банкова сметка"), bankAccount_);
    addRow(fl, row, QStringLiteral("Търговска отстъпка"), discount_,
           new QLabel(QStringLiteral("%"), firmBox));

    auto* personBox = new QGroupBox(QStringLiteral("Физическo лицe"), this);
    auto* pl = new QGridLayout(personBox);
    row = 0;
    auto* personTownNew = button(QStringLiteral("Нов"), "Button_Nov_Grad_Mol", this);
    addRow(pl, row, QStringLiteral("МОЛ"), personName_);
    addRow(pl, row, QStringLiteral("Адрес"), personAddress_);
    addRow(pl, row, QStringLiteral("Телефон"), personPhone_);
    addRow(pl, row, QStringLiteral("Град"), personTownField_, personTownNew);
    addRow(pl, row, QStringLiteral("ЕГН"), egn_);
    addRow(pl, row, QStringLiteral("E - mail"), email_);
    addRow(pl, row, QStringLiteral("Забележка"), note_);

    auto* cards = button(QStringLiteral("Клиентски карти"), "Button_Karti", this);
    auto* sites = button(QStringLiteral("Складове"), "Button_Skladove", this);
    auto* discounts = button(QStringLiteral("Специални отстъпки"), "Button_Sp_Otstapki", this);
    auto* accounts = button(QStringLiteral("Банкови сметки"), "Button_Smetki", this);
    sideButtons_ = {cards, sites, discounts, accounts};
    // The fields take the width; the captions and small buttons keep theirs.
    fl->setColumnStretch(1, 1);
    pl->setColumnStretch(1, 1);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : sideButtons_) {
        b->setEnabled(false);
        side->addWidget(b);
    }
    side->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(firmBox, 1);
    top->addWidget(personBox, 1);
    top->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(insert_);
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    auto db = [this] { return session_.workspace.db(); };
    firmTown_ = new TownLookup(db, firmTownField_, this, QStringLiteral("ListBox_Grad_Firma"));
    personTown_ = new TownLookup(db, personTownField_, this, QStringLiteral("ListBox_Grad_Mol"));
    connect(firmTown_, &TownLookup::entered, this,
            [this] { personTownField_->setText(firmTownField_->text()); });
    connect(firmTownNew, &QPushButton::clicked, this, [this] { newTown(firmTownField_); });
    connect(personTownNew, &QPushButton::clicked, this, [this] { newTown(personTownField_); });

    // Typing the firm's name, address and phone fills the person's.
    connect(firmName_, &QLineEdit::textEdited, personName_, &QLineEdit::setText);
    connect(firmAddress_, &QLineEdit::textEdited, personAddress_, &QLineEdit::setText);
    connect(firmPhone_, &QLineEdit::textEdited, personPhone_, &QLineEdit::setText);

    connect(insert_, &QPushButton::clicked, this, &TForm_Klienti::Button_InsertClick);
    connect(cancel_, &QPushButton::clicked, this, &TForm_Klienti::Button_CancelClick);
    connect(sites, &QPushButton::clicked, this, &TForm_Klienti::Button_SkladoveClick);
    connect(accounts, &QPushButton::clicked, this, &TForm_Klienti::Button_SmetkiClick);
    connect(discounts, &QPushButton::clicked, this, &TForm_Klienti::Button_Sp_OtstapkiClick);
    eik_->installEventFilter(this);
    egn_->installEventFilter(this);

    setState(Idle);
}

void TForm_Klienti::setState(State state) {
    state_ = state;
    insert_->setText(state == Idle ? kCaptionNew : kCaptionEnter);
    insert_->setProperty("tag", int(state));
    cancel_->setEnabled(state != Idle);
    if (state != Idle) {
        for (QPushButton* b : sideButtons_)
            b->setEnabled(state == Edit);
    }
}

void TForm_Klienti::clearFields() {
    for (QLineEdit* e : findChildren<QLineEdit*>())
        e->clear();
    note_->clear();
    idLabel_->clear();
    discount_->setText(QStringLiteral("0"));
}

void TForm_Klienti::openNew(qint64 group) {
    clearFields();
    for (QLineEdit* e : {eik_, vatNumber_, discount_, egn_})
        e->setText(QStringLiteral("0"));
    group_ = group;
    id_ = personId_ = -1;
    savedId_ = -1;
    setState(New);
    firmName_->setFocus();
}

bool TForm_Klienti::openEdit(qint64 id) {
    const std::optional<StoredCounterparty> c = loadCounterparty(session_.workspace.db(), id);
    if (!c)
        return false;
    clearFields();
    id_ = c->id;
    personId_ = c->personId;
    savedId_ = -1;
    idLabel_->setText(QString::number(c->id));
    firmName_->setText(c->firm.name);
    firmTownField_->setText(c->firm.town);
    firmAddress_->setText(c->firm.address);
    firmPhone_->setText(c->firm.phone);
    eik_->setText(c->firm.eik);
    vatNumber_->setText(c->firm.vatNumber);
    bankName_->setText(c->firm.bankName);
    bankCode_->setText(c->firm.bankCode);
    bankAccount_->setText(c->firm.bankAccount);
    discount_->setText(QString::number(c->firm.discount));
    note_->setPlainText(c->firm.note);
    personName_->setText(c->person.name);
    personTownField_->setText(c->person.town);
    personAddress_->setText(c->person.address);
    personPhone_->setText(c->person.phone);
    egn_->setText(c->person.egn);
    setState(Edit);
    firmName_->setFocus();
    return true;
}

QString TForm_Klienti::refText() const {
    return torvika::refText(id_, firmName_->text());
}

bool TForm_Klienti::readCards(FirmCard& firm, PersonCard& person) {
    QString discount = discount_->text().trimmed();
    discount.replace(u',', u'.');
    bool ok = false;
    firm.discount = discount.toDouble(&ok);
    if (!ok) {
        showMessage(kIncompleteData);
        discount_->setFocus();
        return false;
    }
    firm.name = firmName_->text();
    firm.town = firmTownField_->text();
    firm.address = firmAddress_->text();
    firm.eik = eik_->text();
    firm.vatNumber = vatNumber_->text();
    firm.phone = firmPhone_->text();
    firm.bankName = bankName_->text();
    firm.bankCode = bankCode_->text();
    firm.bankAccount = bankAccount_->text();
    firm.note = note_->toPlainText();
    person.name = personName_->text();
    person.town = personTownField_->text();
    person.address = personAddress_->text();
    person.phone = personPhone_->text();
    person.egn = egn_->text();
    return true;
}

bool TForm_Klienti::saveNew() {
    bool eikMessage = false;
    const bool eikValid = Check_EIK(eik_->text(), &eikMessage);
    if (eikMessage)
        showMessage(kInvalidEik);
    if (!(eikValid && Check_EGN(egn_->text())) && !askYesNo(kAskInvalidIdentity))
        return false;
    FirmCard firm;
    PersonCard person;
    if (!readCards(firm, person))
        return false;
    try {
        savedId_ = createCounterparty(session_.workspace.db(), firm, person, group_).id;
    } catch (const EDatabaseError&) {
        showMessage(kIncompleteData);
    }
    return true;
}

bool TForm_Klienti::saveEdit() {
    FirmCard firm;
    PersonCard person;
    if (!readCards(firm, person))
        return false;
    try {
        personId_ = updateCounterparty(session_.workspace.db(), id_, personId_, firm, person);
        savedId_ = id_;
    } catch (const EDatabaseError&) {
        showMessage(kIncompleteData);
    }
    return true;
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
    if (Check_EIK(eik_->text(), &message))
        return;
    asking_ = true;
    if (message)
        showMessage(kInvalidEik);
    const bool goOn = askYesNo(kAskInvalidEik);
    asking_ = false;
    (goOn ? vatNumber_ : eik_)->setFocus();
}

void TForm_Klienti::Edit_EGN_MolExit() {
    if (state_ == Idle || asking_ || Check_EGN(egn_->text()))
        return;
    asking_ = true;
    const bool goOn = askYesNo(kAskInvalidEgn);
    asking_ = false;
    if (goOn)
        note_->setFocus();
    else
        egn_->setFocus();
}

bool TForm_Klienti::eventFilter(QObject* watched, QEvent* event) {
    if (leftWithinWindow(event)) {
        if (watched == eik_)
            Edit_EIKExit();
        else if (watched == egn_)
            Edit_EGN_MolExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Klienti::Button_SkladoveClick() {
    if (state_ != Edit)
        return;
    TForm_Kontrag_Sklad sites(session_, id_, refText(), this);
    sites.exec();
}

void TForm_Klienti::Button_SmetkiClick() {
    if (state_ != Edit)
        return;
    TForm_Kontrag_Smetki accounts(session_, id_, refText(), this);
    accounts.exec();
}

void TForm_Klienti::Button_Sp_OtstapkiClick() {
    if (state_ == Edit && openSpecialDiscounts)
        openSpecialDiscounts(session_, refText(), this);
}

void TForm_Klienti::newTown(QLineEdit* field) {
    TForm_Grad towns(session_, this);
    towns.beginNewRow();
    towns.exec();
    field->setFocus();
}

} // namespace torvika
