#include "service/repairs.h"

#include "common/cformat.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"
#include "common/vat.h"
#include "sales/sale_completion.h"
#include "service/texts.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace torvika {

namespace {

QString boolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

QDate isoToDate(const QVariant& v) {
    return QDate::fromString(v.toString().trimmed(), Qt::ISODate);
}

QString shownDate(const QDate& d) {
    return d.isValid() ? shortDate(d) : QString();
}

// Locks the item's row of the register for the rest of the transaction;
// false when the item is no longer in service.
bool lockItem(const QSqlDatabase& db, qint64 item) {
    return execSql(db, QStringLiteral("UPDATE Priem_Ser SET Status = Status WHERE N_Prodajba = ?"), {item})
               .numRowsAffected() == 1;
}

struct Palette {
    const char* name;
    QRgb rgb;      // a fixed colour
    int role = -1; // or a colour of the palette
    QPalette::ColorGroup group = QPalette::Active;
};

const std::array<Palette, kStateColourCount>& colourTable() {
    using P = QPalette;
    static const std::array<Palette, kStateColourCount> table{{
        {"clAqua", 0x00FFFF},
        {"clBlack", 0x000000},
        {"clBlue", 0x0000FF},
        {"clDkGray", 0x808080},
        {"clFuchsia", 0xFF00FF},
        {"clGray", 0x808080},
        {"clGreen", 0x008000},
        {"clLime", 0x00FF00},
        {"clLtGray", 0xC0C0C0},
        {"clMaroon", 0x800000},
        {"clNavy", 0x000080},
        {"clOlive", 0x808000},
        {"clPurple", 0x800080},
        {"clRed", 0xFF0000},
        {"clSilver", 0xC0C0C0},
        {"clTeal", 0x008080},
        {"clWhite", 0xFFFFFF},
        {"clYellow", 0xFFFF00},
        {"clActiveBorder", 0, P::Mid},
        {"clActiveCaption", 0, P::Highlight},
        {"clAppWorkSpace", 0, P::Dark},
        {"clBackground", 0, P::Window},
        {"clBtnFace", 0, P::Button},
        {"clBtnHighlight", 0, P::Light},
        {"clBtnShadow", 0, P::Shadow},
        {"clBtnText", 0, P::ButtonText},
        {"clCaptionText", 0, P::HighlightedText},
        {"clGrayText", 0, P::PlaceholderText},
        {"clHighlight", 0, P::Highlight},
        {"clHighlightText", 0, P::HighlightedText},
        {"clInactiveBorder", 0, P::Midlight},
        {"clInactiveCaption", 0, P::Highlight, P::Inactive},
        {"clInactiveCaptionText", 0, P::HighlightedText, P::Inactive},
        {"clMenu", 0, P::Window},
        {"clMenuText", 0, P::WindowText},
        {"clScrollBar", 0, P::Button},
        {"clWindow", 0, P::Base},
        {"clWindowFrame", 0, P::Shadow},
        {"clWindowText", 0, P::Text},
    }};
    return table;
}

constexpr std::array<RepairColumnInfo, kRepairColumnCount> kRepairColumns{{
    {u"N_Prodajba", u"N"},
    {u"Status_Rem", u"Статус"},
    {u"Barkod", u"Арт. N"},
    {u"S_N", u"Сер. N"},
    {u"Opisanie", u"Описание"},
    {u"Model", u"Модел"},
    {u"Partida", u"Партида"},
    {u"Pri4ina", u"Причина"},
    {u"Data_Priem", u"Дата на приемане"},
    {u"Operator", u"Оператор"},
    {u"Gar_Dok_N", u"Гаранц. док. N"},
    {u"Data_Gar_Dok", u"Дата док."},
    {u"Ime_Firma", u"Контрагент"},
    {u"Krai_Data", u"Ремонт до дата"},
}};

// A quantity or price typed for a repair line.
Decimal typedNumber(const QString& text, bool positive, const QString& message) {
    const std::optional<Decimal> value = Decimal::parse(text);
    if (!value || value->sign() < 0 || (positive && value->isZero()))
        throw EConvertError(message.arg(text));
    return *value;
}

const QString kLineColumns = QStringLiteral("R.ID, R.N_Priem, R.Remont, R.Kol, R.%1, R.Valuta, "
                                            "R.Garan_Remont, R.SN, R.Zamqna, R.Oper_Remont, V.Kurs");

} // namespace

QDate periodEnd(const QDate& from, PeriodUnit unit, int count, const QDate& picked) {
    switch (unit) {
    case PeriodUnit::Days:
        return from.addDays(count);
    case PeriodUnit::Months:
        return from.addDays(30LL * count);
    case PeriodUnit::UntilDate:
        return picked;
    }
    return {};
}

const QStringList& stateColourNames() {
    static const QStringList names = [] {
        QStringList out;
        for (const Palette& p : colourTable())
            out << QString::fromLatin1(p.name);
        return out;
    }();
    return names;
}

QColor stateColour(int position, const QPalette& palette) {
    if (position < 0 || position >= kStateColourCount)
        position = kDefaultStateColour;
    const Palette& p = colourTable()[size_t(position)];
    if (p.role < 0)
        return QColor(p.rgb);
    return palette.color(p.group, QPalette::ColorRole(p.role));
}

QList<RepairState> repairStates(const QSqlDatabase& db) {
    QList<RepairState> out;
    QSqlQuery q = execSql(db, QStringLiteral("SELECT ID, Opisanie, Color FROM Status_Remont ORDER BY ID"));
    while (q.next()) {
        bool ok = false;
        int colour = q.value(2).toString().trimmed().toInt(&ok);
        if (!ok || colour < 0 || colour >= kStateColourCount)
            colour = kDefaultStateColour;
        out << RepairState{q.value(0).toInt(), q.value(1).toString(), colour};
    }
    return out;
}

SqlStatement repairStatesStatement() {
    return {QStringLiteral("SELECT ID, Opisanie, Color FROM Status_Remont\nORDER BY ID"),
            {},
            QStringLiteral("ID")};
}

int insertRepairState(const QSqlDatabase& db, const QString& name, int colour) {
    if (name.trimmed().isEmpty())
        throw EConvertError(texts::kStateNameMissing);
    Transaction t(db);
    const qint64 id = nextKey(db, QStringLiteral("Status_Remont"), QStringLiteral("ID"));
    execSql(db, QStringLiteral("INSERT INTO Status_Remont (ID, Opisanie, Color) VALUES (?, ?, ?)"),
            {id, name.trimmed(), QString::number(std::clamp(colour, 0, kStateColourCount - 1))});
    t.commit();
    return int(id);
}

void updateRepairState(const QSqlDatabase& db, int id, const QString& name, int colour) {
    if (name.trimmed().isEmpty())
        throw EConvertError(texts::kStateNameMissing);
    const QSqlQuery q =
        execSql(db, QStringLiteral("UPDATE Status_Remont SET Opisanie = ?, Color = ? WHERE ID = ?"),
                {name.trimmed(), QString::number(std::clamp(colour, 0, kStateColourCount - 1)), id});
    if (q.numRowsAffected() < 1)
        throw EConvertError(texts::kStateGone);
}

StateDeletion deleteRepairState(const QSqlDatabase& db, int id) {
    if (id == kNewItemState)
        return StateDeletion::NewItemState;
    Transaction t(db);
    // No item may take the state while it is checked and deleted.
    lockTableForWriting(db, QStringLiteral("Priem_Ser"));
    if (CHECK_REPEATED_NUMBERS(db, QStringLiteral("Priem_Ser"), QStringLiteral("Status"), id))
        return StateDeletion::InUse;
    const QSqlQuery q = execSql(db, QStringLiteral("DELETE FROM Status_Remont WHERE ID = ?"), {id});
    const bool deleted = q.numRowsAffected() > 0;
    t.commit();
    return deleted ? StateDeletion::Deleted : StateDeletion::AlreadyGone;
}

const RepairColumnInfo& repairColumn(RepairColumn column) {
    return kRepairColumns[size_t(column)];
}

SqlStatement itemsInServiceStatement(const RepairSearch& s) {
    QString condition;
    QVariantList values;
    if (s.column) {
        const QString field = QStringLiteral("P.") + repairColumn(*s.column).field.toString();
        switch (*s.column) {
        case RepairColumn::Number: {
            bool ok = false;
            const qint64 n = s.text.trimmed().toLongLong(&ok);
            condition = ok ? QStringLiteral(" AND P.N_Prodajba = ?") : QStringLiteral(" AND 1 = 0");
            if (ok)
                values << n;
            break;
        }
        case RepairColumn::State:
            condition = QStringLiteral(" AND P.Status = ?");
            values << s.state;
            break;
        case RepairColumn::Client:
            condition = QStringLiteral(" AND P.ID_Kontrag = ?");
            values << s.client;
            break;
        case RepairColumn::IntakeDate:
        case RepairColumn::DocumentDate:
        case RepairColumn::DueDate:
            condition = QStringLiteral(" AND %1 = ?").arg(field);
            values << isoDate(s.date);
            break;
        case RepairColumn::Article:
            condition = QStringLiteral(" AND CAST(P.Barkod AS VARCHAR(20)) LIKE ? ESCAPE '\\'");
            values << likeContains(s.text.trimmed());
            break;
        default:
            condition = QStringLiteral(" AND UPPER(%1) LIKE ? ESCAPE '\\'").arg(field);
            values << likeContains(s.text.toUpper());
            break;
        }
    }
    return {QStringLiteral(
                "SELECT P.N_Prodajba, S.Opisanie AS Status_Rem, P.Barkod, P.S_N, P.Opisanie, P.Model, "
                "P.Partida, P.Pri4ina, P.Data_Priem, P.Operator, P.Gar_Dok_N, P.Data_Gar_Dok, "
                "F.Ime_Firma, P.Krai_Data, P.Status, P.ID_Kontrag, S.Color FROM Priem_Ser P "
                "LEFT JOIN Firmi F ON F.ID = P.ID_Kontrag LEFT JOIN Status_Remont S ON S.ID = P.Status "
                "WHERE 1 = 1") +
                condition + QStringLiteral("\nORDER BY P.N_Prodajba"),
            values, QStringLiteral("P.N_Prodajba")};
}

bool isOverdue(const QDate& due, const QDate& intake, const QDate& today) {
    return due.isValid() && due < today && due != intake;
}

bool setItemState(const QSqlDatabase& db, qint64 item, int state) {
    return execSql(db, QStringLiteral("UPDATE Priem_Ser SET Status = ? WHERE N_Prodajba = ?"), {state, item})
               .numRowsAffected() > 0;
}

qint64 addRepairLine(const QSqlDatabase& db, qint64 item, const RepairLineEntry& e,
                     const QString& operatorName) {
    if (e.text.trimmed().isEmpty() || e.currency.trimmed().isEmpty() || !e.warrantyUntil.isValid())
        throw EConvertError(texts::kRepairNoData);
    const Decimal quantity = typedNumber(e.quantity, true, texts::kRepairQuantityNotNumber);
    const Decimal price = typedNumber(e.price, false, texts::kRepairPriceNotNumber);
    Transaction t(db);
    if (!lockItem(db, item))
        throw EConvertError(texts::kRepairItemGone.arg(item));
    const qint64 id = insertReturningKey(
        db,
        QStringLiteral("INSERT INTO Remont (N_Priem, Remont, Kol, Ed_Cena, Valuta, Garan_Remont, SN, Zamqna, "
                       "Oper_Remont) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {item, e.text.trimmed(), numberColumnValue(quantity), numberColumnValue(price), e.currency.trimmed(),
         isoDate(e.warrantyUntil), e.serial.trimmed(), boolText(e.replacement), operatorName},
        QStringLiteral("ID"));
    t.commit();
    return id;
}

bool deleteRepairLine(const QSqlDatabase& db, qint64 line) {
    Transaction t(db);
    const QVariant item = scalarSql(db, QStringLiteral("SELECT N_Priem FROM Remont WHERE ID = ?"), {line});
    if (!item.isValid() || !lockItem(db, item.toLongLong()))
        return false;
    const bool deleted =
        execSql(db, QStringLiteral("DELETE FROM Remont WHERE ID = ?"), {line}).numRowsAffected() > 0;
    t.commit();
    return deleted;
}

std::optional<Decimal> RepairLine::amount() const {
    if (!rate)
        return std::nullopt;
    return quantity * price * *rate;
}

QList<RepairLine> repairLines(const QSqlDatabase& db, qint64 item, RepairArchive where) {
    const bool archive = where == RepairArchive::Issued;
    const QString sql =
        QStringLiteral("SELECT ") +
        kLineColumns.arg(archive ? QStringLiteral("ED_Cena") : QStringLiteral("Ed_Cena")) +
        QStringLiteral(
            " FROM %1 R LEFT JOIN Valuti V ON V.Opisanie = R.Valuta WHERE R.N_Priem = ? ORDER BY R.ID")
            .arg(archive ? QStringLiteral("R_Remont") : QStringLiteral("Remont"));
    QSqlQuery q = execSql(db, sql, {item});
    QList<RepairLine> out;
    while (q.next()) {
        RepairLine l;
        l.id = q.value(0).toLongLong();
        l.item = q.value(1).toLongLong();
        l.text = q.value(2).toString();
        l.quantity = fromNumberColumn(q.value(3), 6);
        l.price = fromNumberColumn(q.value(4), 6);
        l.currency = q.value(5).toString();
        l.warrantyUntil = isoToDate(q.value(6));
        l.serial = q.value(7).toString();
        l.replacement = q.value(8).toString().compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
        l.operatorName = q.value(9).toString();
        if (!q.value(10).isNull())
            l.rate = fromNumberColumn(q.value(10), 8);
        out << l;
    }
    return out;
}

SqlStatement repairLinesStatement(qint64 item, RepairArchive where) {
    const bool archive = where == RepairArchive::Issued;
    const QString price = archive ? QStringLiteral("ED_Cena") : QStringLiteral("Ed_Cena");
    return {QStringLiteral("SELECT R.ID, R.Zamqna, R.SN, R.Remont, R.Kol, R.%1 AS Ed_Cena, R.Valuta, "
                           "R.Kol * R.%1 * V.Kurs AS Suma, R.Garan_Remont, R.Oper_Remont, R.N_Priem, V.Kurs "
                           "FROM %2 R LEFT JOIN Valuti V ON V.Opisanie = R.Valuta WHERE R.N_Priem = ?\n"
                           "ORDER BY R.ID")
                .arg(price, archive ? QStringLiteral("R_Remont") : QStringLiteral("Remont")),
            {item},
            QStringLiteral("R.ID")};
}

RepairTotal repairTotal(const QList<RepairLine>& lines) {
    RepairTotal t;
    for (const RepairLine& l : lines) {
        if (const std::optional<Decimal> a = l.amount()) {
            t.leva += *a;
            continue;
        }
        auto it = std::find_if(t.withoutRate.begin(), t.withoutRate.end(),
                               [&](const auto& p) { return p.first == l.currency; });
        if (it == t.withoutRate.end())
            t.withoutRate.append({l.currency, l.quantity * l.price});
        else
            it->second += l.quantity * l.price;
    }
    return t;
}

QString RepairTotal::text(int decimals) const {
    QString out = formatFixed(leva, decimals);
    for (const auto& [currency, amount] : withoutRate)
        out += QStringLiteral(" + %1 %2").arg(formatFixed(amount, decimals).trimmed(), currency);
    return out;
}

RepairIssueResult issueItem(const QSqlDatabase& db, qint64 item, const RepairIssue& r) {
    RepairIssueResult result;
    result.item = item;
    Transaction t(db);
    // The item's row leaves the register first: exactly one workstation
    // gets it, and whoever adds a line to the item waits for this issue and
    // then finds the item gone.
    QSqlQuery taken =
        execSql(db,
                QStringLiteral(
                    "DELETE FROM Priem_Ser WHERE N_Prodajba = ? RETURNING N_Prodajba, Barkod, S_N, Opisanie, "
                    "Pri4ina, Gar, Gar_Dok_N, Data_Gar_Dok, ID_Kontrag, Data_Priem, Time_Priem, Operator, "
                    "Pred_Cena_Remont, Valuta, ID_Dostav4ik, Model, Partida, Dosie_ID"),
                {item});
    QVariantList row;
    int rows = 0;
    while (taken.next()) {
        ++rows;
        for (int i = 0; i < 18; ++i)
            row << taken.value(i);
    }
    taken.finish();
    if (rows != 1) {
        result.status = RepairIssueResult::NotInService;
        return result;
    }
    result.client = row[8].toLongLong();

    const QList<RepairLine> lines = repairLines(db, item);
    if (lines.isEmpty()) {
        result.status = RepairIssueResult::NoRepairLines;
        return result;
    }
    // The lines to charge: those with an amount.
    QList<const RepairLine*> charged;
    for (const RepairLine& l : lines) {
        if (!r.charge || (l.quantity * l.price).sign() <= 0)
            continue;
        if (!l.rate) {
            if (!result.currencies.contains(l.currency))
                result.currencies << l.currency;
            continue;
        }
        charged << &l;
    }
    if (!result.currencies.isEmpty()) {
        result.status = RepairIssueResult::NoRate;
        return result;
    }

    execSql(db,
            QStringLiteral(
                "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena, Valuta, Garan_Remont, SN, Zamqna, "
                "Oper_Remont, ID) SELECT N_Priem, Remont, Kol, Ed_Cena, Valuta, Garan_Remont, SN, "
                "Zamqna, Oper_Remont, ID FROM Remont WHERE N_Priem = ?"),
            {item});
    QVariantList archived = row;
    archived << isoDate(r.when.date()) << shortTime(r.when.time()) << r.operatorName;
    execSql(db,
            QStringLiteral(
                "INSERT INTO R_Priem (N_Priem, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, "
                "Data_Gar_Dok, ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, "
                "ID_Dostav4ik, Model, Partida, Dosie_ID, Data_Izd, Time_Izd, Oper_Izd) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            archived);
    execSql(db, QStringLiteral("DELETE FROM Remont WHERE N_Priem = ?"), {item});

    if (!charged.isEmpty()) {
        // The charge goes through the shop's sale: each line becomes a
        // pending sale line of the operator, sold at once in this
        // transaction.
        QList<qint64> saleLines;
        for (const RepairLine* l : charged) {
            qint64 article = 0;
            QString name = l->text;
            QString unit = QStringLiteral("бр.");
            int taxGroup = kStandardTaxGroup;
            const int id = GetID_MFromTreeNodeName(l->text);
            if (id > 0) {
                const SqlRows a = readRows(
                    db, QStringLiteral("SELECT Opisanie, Mqrka, Dan_Grup FROM Produkti WHERE ID = ?"), {id});
                if (!a.rows.isEmpty()) {
                    article = id;
                    name = a.rows[0][0].toString();
                    if (!a.rows[0][1].toString().trimmed().isEmpty())
                        unit = a.rows[0][1].toString();
                    taxGroup = a.rows[0][2].isNull() ? kStandardTaxGroup : a.rows[0][2].toInt();
                }
            }
            saleLines << insertReturningKey(
                db,
                QStringLiteral(
                    "INSERT INTO Prodajbi_Vremenni (Barkod, Opisanie, Kol, Mqrka, Ed_Cena, Valuta, "
                    "Operator, Pored_Ot, Pored_Do, T_O, SUM_BezDDS, Bez_DDS, Sm_N, Term_N, Nomenkl_N, "
                    "Dan_Grup, Prigotvq_Se) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, 0, 0, ?, '0', ?, 0)"),
                {article, name, numberColumnValue(l->quantity), unit, numberColumnValue(l->price),
                 l->currency, r.operatorName, l->serial, shownDate(l->warrantyUntil), r.terminal, taxGroup},
                QStringLiteral("N_Prodajba"));
            result.amountDue += lineAmount(l->quantity, l->price, *l->rate, Decimal(), r.decimals);
        }
        SaleRequest sale;
        sale.operatorName = r.operatorName;
        // Sold in the order of the repair lines.
        sale.lines = QList<qint64>(saleLines.rbegin(), saleLines.rend());
        sale.pay = PayKind::Cash;
        sale.counterparty = result.client;
        sale.warehouse = r.warehouse;
        sale.amountDue = result.amountDue;
        sale.when = r.when;
        sale.decimals = r.decimals;
        sale.printsReceipt = true;
        const SaleResult sold = recordSale(db, sale);
        if (sold.status != SaleResult::Sold)
            throw EDatabaseError(
                texts::kRepairNoRate.arg(item).arg(sold.currencies.join(QStringLiteral(", "))));
        result.sold = sold.sold;
    }
    t.commit();
    return result;
}

BonResult printRepairReceipt(FiscalState& state, const QSqlDatabase& db, const FiscalSettings& settings,
                             const BonHeader& header, const RepairIssueResult& issued) {
    if (issued.sold.isEmpty())
        return {};
    FiscalSettings fiscal = settings;
    fiscal.saleReceipt = kFiscalReceipt;
    fiscal.departmentTickets = false;
    const BonResult result =
        printSaleReceipt(state, receiptLines(issued.sold), issued.amountDue, db, fiscal, header);
    if (!result.receiptFile.isEmpty())
        recordReceiptFile(db, issued.sold, result.receiptFile);
    return result;
}

std::optional<RepairProtocol> repairProtocolFor(const QSqlDatabase& db, qint64 item) {
    const SqlRows rows =
        readRows(db,
                 QStringLiteral("SELECT P.Opisanie, P.S_N, P.Pri4ina, F.Ime_Firma FROM Priem_Ser P "
                                "LEFT JOIN Firmi F ON F.ID = P.ID_Kontrag WHERE P.N_Prodajba = ?"),
                 {item});
    if (rows.rows.isEmpty())
        return std::nullopt;
    RepairProtocol p;
    p.description = rows.rows[0][0].toString();
    p.serial = rows.rows[0][1].toString();
    p.reason = rows.rows[0][2].toString();
    p.clientName = rows.rows[0][3].toString();
    p.lines = repairLines(db, item);
    return p;
}

QStringList repairProtocolLines(const RepairProtocol& p) {
    QStringList out;
    out << QString() << cformat(u"%40s", {QStringLiteral(" ПРОТОКОЛ ЗА РЕМОНТ ")}) << QString() << QString();
    out << cformat(u"%s%s%-35.35s", {QStringLiteral("Днес ") + shortDate(p.today),
                                     QStringLiteral(" на клиент: "), p.clientName});
    out << QStringLiteral("За стоката: ") + p.description << QStringLiteral("SN:") + p.serial
        << QStringLiteral("Причина за постъпване:") + p.reason << QString();
    out << QStringLiteral("представител на ") + p.company.name + u','
        << QStringLiteral("представлявано от  ") + p.company.mol
        << QStringLiteral("със седалище и адрес на управление ") + p.company.address
        << QStringLiteral("Телефон: ") + p.company.phone << QStringLiteral("Булстат: ") + p.company.eik
        << QStringLiteral("Сметка: ") + p.company.iban << QStringLiteral("Код: ") + p.company.bic
        << QStringLiteral("При банка: ") + p.company.bank << QString();
    out << QStringLiteral("Извърши следният ремонт: ") << QString()
        << QStringLiteral(
               "+--N--+-Гаранция до-+--------------------Описание на ремонта-------------------+-Кол-+"
               "--Ед цена---+--Валута--+----Общо--+");
    const QString bar = QStringLiteral("|");
    for (const RepairLine& l : p.lines) {
        const std::optional<Decimal> amount = l.amount();
        out << cformat(u"%s%-5.5s%-2s%-12.12s%-2s%-57.57s%-2s%-4.5s%-2s%-11s%-3s%-8.8s%s%-10.10s%s",
                       {bar, QString::number(l.id), bar, shownDate(l.warrantyUntil), bar, l.text, bar,
                        l.quantity.toString(), bar, format44(l.price), bar, l.currency, bar,
                        amount ? formatFixed(*amount, p.decimals) : QString(), bar});
    }
    out << QStringLiteral(
        "+-----+-------------+----------------------------------------------------------+-----+"
        "------------+----------+----------+");
    out << QString() << QString() << QString() << QString() << p.totalText << QString() << QString()
        << QString() << QString();
    out << QStringLiteral("      Приел:...........             Предал:..............   ") << QString()
        << QStringLiteral("      /               /              ") + p.operatorName;
    out << QString() << QString() << QString() << QString() << p.footer;
    return out;
}

} // namespace torvika
