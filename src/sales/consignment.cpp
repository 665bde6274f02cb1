#include "sales/consignment.h"

#include "catalogue/deliveries.h"
#include "common/base_currency.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/sql.h"
#include "sales/receipt_lines.h"
#include "sales/sale_completion.h"
#include "sales/sale_lines.h"
#include "sales/texts.h"

#include <QHash>
#include <algorithm>
#include <stdexcept>

namespace torvika {

namespace {

constexpr int kShownDecimals = 4; // "%4.4f"
constexpr int kMoneyDecimals = 2; // the stotinka

// A decimal cut toward zero to the decimals.
Decimal truncated(const Decimal& value, int decimals) {
    const Decimal r = value.rounded(decimals);
    if (value.sign() >= 0)
        return r > value ? r - Decimal::fromScaled(1, decimals) : r;
    return r < value ? r + Decimal::fromScaled(1, decimals) : r;
}

QString trueText() {
    return QStringLiteral("True");
}

// "5.3.2026г": day, month and year without leading zeros.
QString scheduleDate(const QDate& d) {
    return QStringLiteral("%1.%2.%3г").arg(d.day()).arg(d.month()).arg(d.year());
}

const QString kGoodsHeading = QStringLiteral("+-----Описание---------------+--Кол--+--Ед. цена--+-Валута-+");
const QString kGoodsFoot = QStringLiteral("+----------------------------+-------+------------+--------+");
const QString kVoucherFrame = QStringLiteral("+----------------------------------------------------------+");

} // namespace

Decimal CALCULATE_KONSIGNACION_SUM(int count, const Decimal& purchase, const Decimal& first,
                                   const Decimal& interest) {
    Decimal value = purchase - first;
    // Each instalment adds the interest to what is owed; exact throughout,
    // kept within the digits a Decimal holds.
    for (int i = 0; i < count; ++i)
        value = (value + (value * interest).divided(100, 12)).rounded(12);
    return value.rounded(kShownDecimals);
}

QList<Decimal> instalmentAmounts(const Decimal& total, int count) {
    QList<Decimal> out;
    if (count <= 0)
        return out;
    const Decimal sum = total.rounded(kMoneyDecimals);
    const Decimal each = truncated(sum.divided(count, 12), kMoneyDecimals);
    for (int k = 1; k < count; ++k)
        out << each;
    out << sum - each * Decimal(count - 1);
    return out;
}

QDate instalmentDate(const QDate& handover, InstalmentPeriod period, int k) {
    return period == InstalmentPeriod::Days ? handover.addDays(k) : handover.addMonths(k);
}

std::optional<QString> refuseCreditTerms(const CreditTerms& terms, const Decimal& purchase) {
    if (terms.counterparty <= 0)
        return texts::kCreditNeedsCounterparty;
    if (terms.instalments < kMinInstalments || terms.instalments > kMaxInstalments)
        return texts::kCreditInstalmentsRange;
    if (terms.interest < Decimal() || terms.interest > Decimal(100))
        return texts::kCreditInterestRange;
    if (purchase <= Decimal())
        return texts::kCreditNothingToPay;
    if (terms.method == InstalmentMethod::EqualWithFirst &&
        (terms.first < Decimal() || terms.first >= purchase))
        return texts::kCreditFirstRange;
    if (!terms.handover.isValid())
        return texts::kCreditNoDate;
    try {
        CALCULATE_KONSIGNACION_SUM(terms.instalments, purchase, terms.first, terms.interest);
    } catch (const std::overflow_error&) {
        return texts::kCreditTooLarge;
    }
    return std::nullopt;
}

CreditSchedule creditSchedule(const CreditTerms& terms, const Decimal& purchase) {
    CreditSchedule s;
    s.purchase = purchase;
    s.first = terms.method == InstalmentMethod::EqualWithFirst ? terms.first : Decimal();
    const int count = std::clamp(terms.instalments, 0, kMaxInstalments);
    s.total = CALCULATE_KONSIGNACION_SUM(count, purchase, s.first, terms.interest);
    s.instalment = count > 0 ? s.total.divided(count, kShownDecimals) : s.total;
    s.amounts = instalmentAmounts(s.total, count);
    for (int k = 1; k <= count; ++k)
        s.dates << instalmentDate(terms.handover, terms.period, k);
    s.payDate = s.dates.isEmpty() ? terms.handover : s.dates.last();
    return s;
}

QString creditCurrencyName(const QSqlDatabase& db) {
    const QString name = baseCurrencyRowName(db);
    return name.isEmpty() ? QStringLiteral("BGL") : name;
}

qint64 takeSaleLineNumber(const QSqlDatabase& db) {
    // The line is never seen by another workstation: it goes before the
    // transaction commits.
    const qint64 number =
        insertReturningKey(db, QStringLiteral("INSERT INTO Prodajbi_Vremenni (Operator, Sm_N) VALUES (?, ?)"),
                           {QString(), -1}, QStringLiteral("N_Prodajba"));
    execSql(db, QStringLiteral("DELETE FROM Prodajbi_Vremenni WHERE N_Prodajba = ?"), {number});
    return number;
}

namespace {

// A payment row of Prodajbi: article 0, one piece at the amount, cash.
qint64 writePaymentRow(const QSqlDatabase& db, qint64 counterparty, const Decimal& amount,
                       const QString& currency, const PaymentRowPlace& place) {
    const qint64 number = takeSaleLineNumber(db);
    execSql(
        db,
        QStringLiteral("INSERT INTO Prodajbi (ID_Prodajba, ID_Art, Operator, D_Prodajba, T_Prodajba, Kol, "
                       "ED_Cena, Valuta, ID_Klient, T_O, Konsign_N, Pored_Ot, Pored_Do, Type_Pay, Term_N, "
                       "Sklad_ID) VALUES (?, 0, ?, ?, ?, 1, ?, ?, ?, 0, 0, '0', '0', ?, ?, ?)"),
        {number, place.operatorName, isoDate(place.when.date()), shortTime(place.when.time()),
         numberColumnValue(amount), currency, counterparty, texts::kPayCash, place.terminal,
         place.warehouse});
    return number;
}

} // namespace

qint64 proposedCreditNumber(const QSqlDatabase& db) {
    return scalarSql(db, QStringLiteral("SELECT COALESCE(MAX(ID), 0) + 1 FROM Konsignation")).toLongLong();
}

CreditRecord recordCredit(const QSqlDatabase& db, const CreditTerms& terms, const Decimal& purchase,
                          const PaymentRowPlace& place) {
    if (const std::optional<QString> refusal = refuseCreditTerms(terms, purchase))
        throw EConvertError(*refusal);
    const CreditSchedule s = creditSchedule(terms, purchase);
    const QString currency = creditCurrencyName(db);
    CreditRecord r;
    r.consignment = nextKey(db, QStringLiteral("Konsignation"), QStringLiteral("ID"));
    execSql(
        db,
        QStringLiteral("INSERT INTO Konsignation (ID, ID_Kontrag, Date_Otd, Date_Pay, Broj_Vnosk, Vid_Pay, "
                       "Period_Vnosk, Operator, Payed, First_Vnosk, Lihva, Suma, Valuta) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 'False', ?, ?, ?, ?)"),
        {r.consignment, terms.counterparty, isoDate(terms.handover), isoDate(s.payDate), terms.instalments,
         int(terms.method), int(terms.period), place.operatorName,
         numberColumnValue(s.first.rounded(kShownDecimals)),
         numberColumnValue(terms.interest.rounded(kShownDecimals)), numberColumnValue(purchase), currency});
    if (s.first > Decimal())
        r.firstPaymentRow = writePaymentRow(db, terms.counterparty, s.first, currency, place);
    return r;
}

ConsignmentLines::ConsignmentLines(const QSqlDatabase& db, const QList<SaleLine>& lines)
    : db_(db),
      table_(std::make_unique<WorkingTable>(
          db, QStringLiteral("Konsignation_TMP"),
          QStringLiteral(
              "N_Prodajba INTEGER, Pored INTEGER, Barkod VARCHAR(150), Opisanie VARCHAR(150), "
              "Kol DOUBLE PRECISION, Mqrka VARCHAR(10), Ed_Cena DOUBLE PRECISION, Valuta VARCHAR(10), "
              "Operator VARCHAR(100), Pored_Ot VARCHAR(100), Pored_Do VARCHAR(100), "
              "T_O DOUBLE PRECISION"))),
      lines_(lines) {
    int place = 0;
    for (const SaleLine& l : lines)
        execSql(db_,
                QStringLiteral(
                    "INSERT INTO %1 (N_Prodajba, Pored, Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, "
                    "Operator, Pored_Ot, Pored_Do, T_O) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(table_->table()),
                {l.number, ++place, QString::number(l.article), l.description, numberColumnValue(l.quantity),
                 l.unit, numberColumnValue(l.unitPrice), l.currency, l.operatorName, l.serialFrom, l.serialTo,
                 numberColumnValue(l.discount)});
}

ConsignmentLines::~ConsignmentLines() = default;

SqlStatement ConsignmentLines::statement() const {
    SqlStatement s;
    s.text = QStringLiteral(
                 "SELECT N_Prodajba, Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, T_O, Operator FROM ") +
             table_->table() + QStringLiteral("\nORDER BY Pored");
    s.key = QStringLiteral("N_Prodajba");
    return s;
}

void ConsignmentLines::remove(const QList<qint64>& numbers) {
    for (qint64 n : numbers)
        execSql(db_, QStringLiteral("DELETE FROM %1 WHERE N_Prodajba = ?").arg(table_->table()), {n});
    lines_.removeIf([&](const SaleLine& l) { return numbers.contains(l.number); });
}

QList<SaleLine> ConsignmentLines::lines() const {
    return lines_;
}

Decimal ConsignmentLines::purchase() const {
    Decimal sum;
    for (const SaleLine& l : lines_)
        sum += l.amount;
    return sum;
}

QList<qint64> openCredits(const QSqlDatabase& db, qint64 counterparty) {
    const SqlRows rows = readRows(db,
                                  QStringLiteral("SELECT DISTINCT ID FROM Konsignation WHERE ID_Kontrag = ? "
                                                 "AND (Payed IS NULL OR UPPER(Payed) <> 'TRUE') ORDER BY ID"),
                                  {counterparty});
    QList<qint64> out;
    for (const QVariantList& r : rows.rows)
        out << r[0].toLongLong();
    return out;
}

std::optional<CreditState> loadCredit(const QSqlDatabase& db, qint64 credit) {
    const SqlRows rows = readRows(
        db,
        QStringLiteral("SELECT ID, ID_Kontrag, Date_Otd, Broj_Vnosk, Period_Vnosk, Payed, First_Vnosk, "
                       "Lihva, Suma, Valuta FROM Konsignation WHERE ID = ?"),
        {credit}, 1);
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& k = rows.rows[0];
    CreditState s;
    s.id = k[0].toLongLong();
    s.counterparty = k[1].toLongLong();
    s.handover = QDate::fromString(k[2].toString(), Qt::ISODate);
    s.count = k[3].toInt();
    s.period = k[4].toInt() == 1 ? InstalmentPeriod::Days : InstalmentPeriod::Months;
    s.paidOff = k[5].toString().compare(trueText(), Qt::CaseInsensitive) == 0;
    s.first = fromNumberColumn(k[6], kShownDecimals);
    s.interest = fromNumberColumn(k[7], kShownDecimals);
    s.currency = k[9].toString();
    if (!k[8].isNull()) {
        s.purchase = fromNumberColumn(k[8], kShownDecimals);
    } else {
        // A credit of an earlier version: its lines at their rates now.
        QSqlQuery q = execSql(db,
                              QStringLiteral("SELECT P.Kol, P.ED_Cena, V.Kurs, P.T_O FROM Prodajbi P "
                                             "JOIN Valuti V ON V.Opisanie = P.Valuta "
                                             "WHERE P.ID_Klient = ? AND P.Konsign_N = ? AND P.ID_Art <> 0"),
                              {s.counterparty, s.id});
        while (q.next())
            s.purchase +=
                lineAmount(fromNumberColumn(q.value(0), 6), fromNumberColumn(q.value(1), 6),
                           fromNumberColumn(q.value(2), 8), fromNumberColumn(q.value(3), 8), kShownDecimals);
    }
    if (s.currency.isEmpty())
        s.currency = creditCurrencyName(db);
    if (s.count <= 0)
        return s;
    s.total = CALCULATE_KONSIGNACION_SUM(s.count, s.purchase, s.first, s.interest);
    s.instalment = s.total.divided(s.count, kShownDecimals);
    s.amounts = instalmentAmounts(s.total, s.count);

    QList<Decimal> paid(s.count);
    const SqlRows payments =
        readRows(db, QStringLiteral("SELECT ID, Procent_pay, Suma FROM Vnoski WHERE ID_Konsign = ?"), {s.id});
    for (const QVariantList& p : payments.rows) {
        const int n = p[0].toInt();
        if (n < 1 || n > s.count)
            continue;
        // A payment of an earlier version kept only its percentage.
        paid[n - 1] += p[2].isNull()
                           ? (s.amounts[n - 1] * fromNumberColumn(p[1], 2)).divided(100, kMoneyDecimals)
                           : fromNumberColumn(p[2], kShownDecimals);
    }
    s.current = s.count + 1;
    for (int n = 1; n <= s.count; ++n)
        if (paid[n - 1] < s.amounts[n - 1]) {
            s.current = n;
            s.paidOfCurrent = paid[n - 1];
            s.due = s.amounts[n - 1] - paid[n - 1];
            break;
        }
    return s;
}

SqlStatement creditLinesStatement(qint64 credit) {
    return {QStringLiteral("SELECT P.ID_Prodajba, P.ID_Art, A.Opisanie, P.Kol, P.ED_Cena, P.Valuta, P.T_O, "
                           "P.Operator FROM Prodajbi P LEFT JOIN Produkti A ON A.ID = P.ID_Art "
                           "WHERE P.Konsign_N = ? AND P.ID_Art <> 0"),
            {credit},
            QStringLiteral("ID_Prodajba")};
}

PaymentResult payInstalment(const QSqlDatabase& db, const InstalmentPayment& payment) {
    PaymentResult r;
    Transaction t(db);
    // The credit is locked and read again: a till that paid it meanwhile
    // has changed what is due.
    const QSqlQuery lock =
        execSql(db, QStringLiteral("UPDATE Konsignation SET ID = ID WHERE ID = ?"), {payment.credit});
    const std::optional<CreditState> s =
        lock.numRowsAffected() == 1 ? loadCredit(db, payment.credit) : std::nullopt;
    if (!s || s->paidOff || s->count <= 0 || s->current > s->count || s->current != payment.instalment ||
        s->due != payment.due) {
        r.status = PaymentResult::Changed;
        return r;
    }
    r.instalment = s->current;
    r.amount = payment.partial.value_or(s->due);
    if (r.amount <= Decimal())
        throw EConvertError(texts::kPaymentNotAboveZero);
    if (r.amount > s->due)
        throw EConvertError(texts::kPaymentAboveDue.arg(format42(s->due)));
    const Decimal instalment = s->amounts[s->current - 1];
    r.percent = instalment.isZero() ? Decimal(100) : (r.amount * Decimal(100)).divided(instalment, 2);
    r.remaining = s->due - r.amount;
    execSql(db,
            QStringLiteral(
                "INSERT INTO Vnoski (ID, Data_Pay, ID_Konsign, Procent_pay, Suma) VALUES (?, ?, ?, ?, ?)"),
            {r.instalment, isoDate(payment.place.when.date()), s->id, numberColumnValue(r.percent),
             numberColumnValue(r.amount)});
    r.paymentRow = writePaymentRow(db, s->counterparty, r.amount, s->currency, payment.place);
    const std::optional<CreditState> after = loadCredit(db, s->id);
    if (after && after->current > after->count) {
        execSql(db, QStringLiteral("UPDATE Konsignation SET Payed = ? WHERE ID = ?"), {trueText(), s->id});
        execSql(db, QStringLiteral("UPDATE Prodajbi SET Konsign_N = -1 WHERE Konsign_N = ?"), {s->id});
        r.paidOff = true;
    }
    t.commit();
    return r;
}

QString instalmentReceiptLine(int instalment, qint64 credit, const Decimal& amount) {
    return QStringLiteral("%0^Вн.:") + QString::number(instalment) + QStringLiteral(" Кр.N: ") +
           QString::number(credit) + QStringLiteral(":^") + QString::number(stotinki(amount)) +
           QStringLiteral("^1000^1^");
}

BonResult printInstalmentReceipt(FiscalState& state, const QSqlDatabase& db, const PaymentResult& payment,
                                 qint64 credit, const FiscalSettings& settings, const BonHeader& header) {
    if (!settings.saleHasReceipt())
        return {};
    // The receipt carries the payment alone: its total is what was paid.
    state.prepared.lines << instalmentReceiptLine(payment.instalment, credit, payment.amount);
    state.prepared.total = payment.amount;
    FiscalSettings receiptOnly = settings;
    receiptOnly.departmentTickets = false;
    const BonResult result = state.CREATE_BON_FILE(
        settings.saleReceipt == kFiscalReceipt ? kBonFiscal : kBonService, db, receiptOnly, header);
    if (!result.receiptFile.isEmpty() && payment.paymentRow > 0) {
        SaleLine row;
        row.number = payment.paymentRow;
        recordReceiptFile(db, {row}, result.receiptFile);
    }
    return result;
}

QString creditGoodsRow(const CreditGoods& g) {
    return cformat(u"%s%-28.28s%-3s%-5.7s%-3s%-10s%-3s%-6.6s%-1s",
                   {QStringLiteral("|"), g.description, QStringLiteral("|"), g.quantity, QStringLiteral("|"),
                    g.price, QStringLiteral("|"), g.currency, QStringLiteral("|")});
}

CreditParties creditCounterparty(const QSqlDatabase& db, qint64 counterparty) {
    CreditParties p;
    const SqlRows rows = readRows(
        db,
        QStringLiteral("SELECT F.Ime_Firma, F.Grad, F.Adres_Firma, F.EIK, K.Ime_Klient, K.EGN, F.Telefon "
                       "FROM Firmi F LEFT JOIN Klienti K ON K.ID = F.ID_Mol WHERE F.ID = ?"),
        {counterparty}, 1);
    if (rows.rows.isEmpty())
        return p;
    const QVariantList& r = rows.rows[0];
    p.name = r[0].toString();
    p.town = r[1].toString();
    p.address = r[2].toString();
    p.eik = r[3].toString();
    p.person = r[4].toString();
    p.egn = r[5].toString();
    p.phone = r[6].toString();
    return p;
}

QStringList handoverProtocol(const ProtocolData& d) {
    const QString number = QString::number(d.number);
    const QString handover = shortDate(d.terms.handover);
    QStringList l;
    l << QString() << cformat(u"%40s", {QStringLiteral("ПРИЕМО - ПРЕДАВАТЕЛЕН ПРОТОКОЛ ")}) << QString();
    l << cformat(u"%30s%s%s%s",
                 {QStringLiteral("ДОГОВОР ЗА ОТЛОЖЕНО ПЛАЩАНЕ N: "), number, QStringLiteral(" / "), handover})
      << QString();
    l << cformat(u"%s%s%-35.35s", {QStringLiteral("Днес ") + handover, QStringLiteral(", представител на "),
                                   d.parties.firmName});
    l << QStringLiteral("представляван от  ") + d.parties.firmMol;
    l << QStringLiteral("със седалище и адрес на управление ") + d.parties.firmAddress;
    l << QStringLiteral("Булстат: ") + d.parties.firmEik << QString() << QStringLiteral("предаде стоката: ")
      << QString();
    l << kGoodsHeading;
    for (const CreditGoods& g : d.goods)
        l << creditGoodsRow(g);
    l << kGoodsFoot << QString();
    l << QStringLiteral("На: ") + d.parties.name;
    l << QStringLiteral("с адресна регистрация: ") + d.parties.town + QStringLiteral(", ") +
             d.parties.address;
    l << QStringLiteral("Булстат: ") + d.parties.eik;
    l << QStringLiteral("представлявана от :") + d.parties.person;
    l << QStringLiteral("ЕГН: ") + d.parties.egn;
    l << QStringLiteral("телефон: ") + d.parties.phone << QString() << QString();
    l << cformat(u"%40s", {QStringLiteral(" С ПОГАСИТЕЛНА СХЕМА")}) << QString();
    l << cformat(u"%30s%s%s%s",
                 {QStringLiteral("КЪМ ДОГОВОР ЗА ЛИЗИНГ N: "), number, QStringLiteral(" / "), handover})
      << QString() << QString();
    l << cformat(u"%40s", {QStringLiteral("Първоначална вноска  ") + format44(d.schedule.first) +
                           QStringLiteral(" ,") + d.currency});
    for (int k = 1; k <= d.schedule.amounts.size(); ++k)
        l << cformat(u"%30s%40s",
                     {QString::number(k) + QStringLiteral(" вноска  ") + format44(d.schedule.amounts[k - 1]) +
                          QStringLiteral(" ,") + d.currency,
                      QStringLiteral("да се внесе до дата : ") + scheduleDate(d.schedule.dates[k - 1])});
    l << QString() << QString() << QString();
    l << QStringLiteral("Обща сума на задължението: ") +
             formatFixed(d.schedule.total + d.schedule.first, d.decimals) + QStringLiteral(", ") + d.currency;
    l << QString() << QString() << QString() << QString();
    l << QStringLiteral("      Приел:...........             Предал:..............   ") << QString();
    l << QStringLiteral("      /               /              ") + d.operatorName;
    l << QString() << QString() << QString() << QString();
    return l;
}

QStringList instalmentVoucher(const VoucherData& d) {
    const QString credit = QString::number(d.credit);
    const QString bar = QStringLiteral("|");
    QStringList l;
    l << kVoucherFrame;
    if (d.partial)
        l << cformat(u"%s%-40s%19s",
                     {bar, QStringLiteral("ЧАСТИЧНО ПЛАЩАНЕ - ВНОСКА КЪМ КРЕДИТ: ") + credit, bar});
    else
        l << cformat(u"%s%40s%19s", {bar, QStringLiteral("ВНОСКА КЪМ КРЕДИТ: ") + credit, bar});
    l << QStringLiteral("|----------------------------------------------------------|");
    l << cformat(
        u"%20s%30s",
        {QStringLiteral("|     Дата:") + shortDate(d.now.date()) + u' ' + shortTime(d.now.time()), bar});
    l << cformat(u"%s%-35.35s%11s", {QStringLiteral("|     Клиент: "), d.counterparty, bar});
    l << cformat(u"%s%-44s%-1s",
                 {QStringLiteral("|     Вноска N:"),
                  QString::number(d.instalment) + QStringLiteral(";От общо:") + QString::number(d.count),
                  bar});
    l << cformat(u"%s%43s", {QStringLiteral("|     За стоката:"), bar});
    l << kGoodsHeading;
    for (const CreditGoods& g : d.goods)
        l << creditGoodsRow(g);
    l << kVoucherFrame;
    l << cformat(
        u"%-59s%-1s",
        {QStringLiteral("|     Сума:") + format44(d.amount) + QStringLiteral(", ") + d.currencyWord, bar});
    if (d.partial)
        l << cformat(u"%-59s%-1s", {QStringLiteral("|     ОСТАТЪК:") + (d.due - d.amount).toString() +
                                        QStringLiteral(", ") + d.currencyWord,
                                    bar});
    l << QStringLiteral("|                                                          |");
    l << QStringLiteral("|     Приел:...........             Предал:..............  |");
    l << kVoucherFrame << QString() << QString();
    return l;
}

} // namespace torvika
