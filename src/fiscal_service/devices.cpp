#include "fiscal_service/devices.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "fiscal_service/texts.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace torvika {

namespace {

const QString kRegEka = QStringLiteral("Reg_EKA");
const QString kDogovor = QStringLiteral("Dogovor");

// One column of the device statement: its table (or the table's alias in
// the statement), its column and the name it is selected as.
struct DeviceColumn {
    const char* table;
    const char* column;
    const char* as = nullptr;
};

// The device with everything it refers to. A column of a second Firmi row
// (service centre, tax office, sealing company) or of a name taken twice is
// selected under a name of its own.
const DeviceColumn kDeviceColumns[] = {
    {"Reg_EKA", "Dosie_ID"},
    {"Reg_EKA", "EKA"},
    {"Reg_EKA", "MFP"},
    {"Reg_EKA", "Model"},
    {"Reg_EKA", "Svid_N"},
    {"Reg_EKA", "Data_Reg"},
    {"Reg_EKA", "Time_Reg"},
    {"Reg_EKA", "ID_Serv"},
    {"Reg_EKA", "TDD_ID"},
    {"Reg_EKA", "ID_Kontrag"},
    {"Reg_EKA", "ID_Sklad"},
    {"Firmi", "ID"},
    {"Firmi", "Ime_Firma"},
    {"Firmi", "Grad"},
    {"Firmi", "Adres_Firma"},
    {"Firmi", "EIK"},
    {"Firmi", "Dan_N"},
    {"Firmi", "Telefon"},
    {"Firmi", "Banka_Ime"},
    {"Firmi", "Banka_Kod"},
    {"Firmi", "Banka_Smetka"},
    {"Firmi", "T_O"},
    {"Firmi", "ID_Mol"},
    {"Firmi", "Nomer_Grupa"},
    {"Klienti", "ID", "Klienti_ID"},
    {"Klienti", "Ime_Klient"},
    {"Klienti", "Grad", "Grad_Klient"},
    {"Klienti", "Adres_Klient"},
    {"Klienti", "Telefon_Klient"},
    {"Klienti", "EGN"},
    {"Kontrag_Sklad", "ID_Sk"},
    {"Kontrag_Sklad", "Opisanie_Sk"},
    {"Kontrag_Sklad", "Grad_SK"},
    {"Kontrag_Sklad", "Adres_SK"},
    {"Kontrag_Sklad", "Tel_SK"},
    {"Kontrag_Sklad", "MOL_SK"},
    {"Kontrag_Sklad", "EGN_MOL_SK"},
    {"Kontrag_Sklad", "LK_Mol_Sk"},
    {"Kontrag_Sklad", "LK_Izd_Ot"},
    {"SV_BIM", "ID", "Model_ID"},
    {"SV_BIM", "Model_Opis"},
    {"SV_BIM", "SV_ID"},
    {"SV_BIM", "SV_Data"},
    {"SV_BIM", "ID_Plomb"},
    {"Serv", "ID", "Serv_ID"},
    {"Serv", "Ime_Firma", "Serv_Ime"},
    {"Serv", "Grad", "Serv_grad"},
    {"Serv", "Adres_Firma", "Adres_Serv"},
    {"Serv", "EIK", "Serv_EIK"},
    {"Serv", "Dan_N", "Serv_Dan_N"},
    {"Serv", "Telefon", "Serv_Tel"},
    {"Dogovor", "EKA", "Dog_EKA"},
    {"Dogovor", "Dog_ID"},
    {"Dogovor", "Prefics_ID"},
    {"Dogovor", "Vid_Dog"},
    {"Dogovor", "Dog_Ot"},
    {"Dogovor", "Valid_Do"},
    {"TDD", "ID", "TDD_Key"},
    {"TDD", "Ime_Firma", "TDD_Ime"},
    {"TDD", "Grad", "TDD_grad"},
    {"TDD", "Adres_Firma", "TDD_Adres"},
    {"TDD", "Telefon", "TDD_Tel"},
    {"Plomb", "ID", "Plomb_ID"},
    {"Plomb", "Ime_Firma", "Plomb_Ime"},
    {"Plomb", "Grad", "Plomb_grad"},
    {"Plomb", "Adres_Firma", "Plomb_Adress"},
    {"Plomb", "EIK", "Plomb_EIK"},
    {"Plomb", "Dan_N", "Plomb_Dan_N"},
    {"Plomb", "Telefon", "Plomb_Tel"},
};

const QString kDeviceFrom =
    QStringLiteral(" FROM Reg_EKA "
                   "LEFT JOIN Firmi ON Firmi.ID = Reg_EKA.ID_Kontrag "
                   "LEFT JOIN Klienti ON Klienti.ID = Firmi.ID_Mol "
                   "LEFT JOIN Kontrag_Sklad ON Kontrag_Sklad.ID_Sk = Reg_EKA.ID_Sklad "
                   "AND Kontrag_Sklad.ID_Kontrag = Reg_EKA.ID_Kontrag "
                   "LEFT JOIN SV_BIM ON SV_BIM.ID = Reg_EKA.Model "
                   "LEFT JOIN Firmi Serv ON Serv.ID = Reg_EKA.ID_Serv "
                   "LEFT JOIN Firmi TDD ON TDD.ID = Reg_EKA.TDD_ID "
                   "LEFT JOIN Firmi Plomb ON Plomb.ID = SV_BIM.ID_Plomb "
                   "LEFT JOIN Dogovor ON Dogovor.EKA = Reg_EKA.EKA "
                   "WHERE Reg_EKA.EKA = ?");

QString deviceSelect() {
    QStringList columns;
    for (const DeviceColumn& c : kDeviceColumns)
        columns << QString::fromLatin1(c.table) + u'.' + QString::fromLatin1(c.column) +
                       (c.as ? QStringLiteral(" AS ") + QString::fromLatin1(c.as) : QString());
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + kDeviceFrom;
}

const QString kDeviceSelect = deviceSelect();

QString text(const QVariant& v) {
    return v.isNull() ? QString() : v.toString().trimmed();
}

QDate date(const QVariant& v) {
    return QDate::fromString(text(v), Qt::ISODate);
}

// The number at the end of a stored contract number (the part after a
// date prefix); -1 when it does not end in digits.
qint64 trailingNumber(const QString& stored) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
    const auto m = digits.match(stored.trimmed());
    if (!m.hasMatch())
        return -1;
    bool ok = false;
    const qint64 n = m.captured(1).right(18).toLongLong(&ok);
    return ok ? n : -1;
}

std::optional<QString> validRegistration(const DeviceRegistration& r) {
    if (r.device.isEmpty())
        return texts::kNoDeviceNumber;
    if (r.owner <= 0)
        return texts::kNoOwnerChosen;
    if (r.model <= 0)
        return texts::kNoModelChosen;
    if (!r.date.isValid())
        return texts::kNoRegistrationDate;
    return std::nullopt;
}

std::optional<QString> validContract(const ContractEntry& c) {
    if (!c.start.isValid() || !c.validUntil.isValid())
        return texts::kContractDatesMissing;
    if (c.validUntil < c.start)
        return texts::kContractEndsBeforeStart;
    return std::nullopt;
}

// A dossier typed by the operator that another device has.
bool dossierTaken(const QSqlDatabase& db, qint64 dossier, const QString& device) {
    return scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Reg_EKA WHERE Dosie_ID = ? AND EKA <> ?"),
                     {dossier, device}, 0)
               .toInt() > 0;
}

// Writes the device's one contract row; inside the caller's transaction,
// with both tables locked.
SaveResult storeContract(const QSqlDatabase& db, const QString& device, const ContractEntry& contract,
                         const ContractNumbering& numbering, const QString& proposed) {
    SaveResult result;
    if (const auto refusal = validContract(contract)) {
        result.refusal = *refusal;
        return result;
    }
    QString shown = contract.number.trimmed();
    if (shown.isEmpty() || shown == proposed.trimmed())
        shown = proposeContractNumber(db, numbering, contract.start);
    StoredContractNumber n = splitContractNumber(shown, numbering);
    // An empty prefix is stored as an empty text, never NULL, so that the
    // number compares equal to itself.
    if (n.prefix.isNull())
        n.prefix = QStringLiteral("");
    if (n.number.isEmpty() && n.prefix.isEmpty()) {
        result.refusal = texts::kNoContractNumber;
        return result;
    }
    if (scalarSql(
            db,
            QStringLiteral("SELECT COUNT(*) FROM Dogovor WHERE Dog_ID = ? AND Prefics_ID = ? AND EKA <> ?"),
            {n.number, n.prefix, device}, 0)
            .toInt() > 0) {
        result.refusal = texts::kContractNumberTaken.arg(shown);
        return result;
    }
    const QVariantList values{
        n.number, n.prefix, contract.kind.trimmed(), isoDate(contract.start), isoDate(contract.validUntil),
        device};
    QSqlQuery q =
        execSql(db,
                QStringLiteral("UPDATE Dogovor SET Dog_ID = ?, Prefics_ID = ?, Vid_Dog = ?, Dog_Ot = ?, "
                               "Valid_Do = ? WHERE EKA = ?"),
                values);
    if (q.numRowsAffected() == 0)
        execSql(db,
                QStringLiteral("INSERT INTO Dogovor (Dog_ID, Prefics_ID, Vid_Dog, Dog_Ot, Valid_Do, EKA) "
                               "VALUES (?, ?, ?, ?, ?, ?)"),
                values);
    result.stored = true;
    result.contractNumber = n.prefix + n.number;
    return result;
}

QVariantList registrationValues(const DeviceRegistration& r) {
    return {r.dossier,       r.fiscalMemory.trimmed(),
            r.model,         r.certificate.trimmed(),
            isoDate(r.date), r.time.isValid() ? shortTime(r.time) : QString(),
            r.serviceCentre, r.taxOffice,
            r.owner,         r.site,
            r.device};
}

void lockDevices(const QSqlDatabase& db) {
    lockTablesAgainstWriters(db, {kRegEka, kDogovor});
}

CounterpartyInfo counterpartyFrom(const QSqlRecord& r, const QString& id, const QString& name,
                                  const QString& town, const QString& address, const QString& eik,
                                  const QString& phone) {
    CounterpartyInfo c;
    c.found = !r.value(id).isNull();
    c.id = r.value(id).toLongLong();
    c.name = text(r.value(name));
    c.town = text(r.value(town));
    c.address = text(r.value(address));
    if (!eik.isEmpty())
        c.eik = text(r.value(eik));
    c.phone = text(r.value(phone));
    return c;
}

} // namespace

std::optional<QString> registrationRefusal(const DeviceRegistration& registration) {
    DeviceRegistration r = registration;
    r.device = deviceNumber(r.device);
    return validRegistration(r);
}

QString deviceNumber(const QString& typed) {
    return typed.trimmed().toUpper();
}

QString proposeContractNumber(const QSqlDatabase& db, const ContractNumbering& numbering, const QDate& date) {
    QSqlQuery q =
        numbering.perDate
            ? execSql(db, QStringLiteral("SELECT Dog_ID FROM Dogovor WHERE Dog_Ot = ?"), {isoDate(date)})
            : execSql(db, QStringLiteral("SELECT Dog_ID FROM Dogovor"));
    qint64 max = 0;
    while (q.next())
        max = qMax(max, trailingNumber(q.value(0).toString()));
    const QString serial = QString::number(max + 1).rightJustified(qBound(1, numbering.digits, 18), u'0');
    if (!numbering.datePrefix)
        return serial;
    return date.toString(QStringLiteral("ddMMyyyy")) + QStringLiteral("--") + serial;
}

StoredContractNumber splitContractNumber(const QString& shown, const ContractNumbering& numbering) {
    const QString t = shown.trimmed();
    if (!numbering.splitPrefix)
        return {QString(), t};
    QString prefix = t.left(10);
    if (prefix.mid(8, 2) == QStringLiteral("--"))
        prefix.truncate(8);
    return {prefix, t.mid(10)};
}

qint64 proposeDossier(const QSqlDatabase& db) {
    return GET_MAX_NUMBER(db, kRegEka, QStringLiteral("Dosie_ID"));
}

SaveResult registerDevice(const QSqlDatabase& db, DeviceRegistration registration,
                          const ContractEntry& contract, const ContractNumbering& numbering,
                          qint64 proposedDossier, const QString& proposedContract) {
    SaveResult result;
    registration.device = deviceNumber(registration.device);
    if (auto refusal = validRegistration(registration); refusal || (refusal = validContract(contract))) {
        result.refusal = *refusal;
        return result;
    }
    Transaction t(db);
    lockDevices(db);
    if (CHECK_REPEATED_NUMBERS(db, kRegEka, QStringLiteral("EKA"), registration.device) ||
        CHECK_REPEATED_NUMBERS(db, kDogovor, QStringLiteral("EKA"), registration.device)) {
        result.refusal = texts::kDeviceAlreadyRegistered.arg(registration.device);
        return result;
    }
    if (scalarSql(db, QStringLiteral("SELECT Zabranen FROM SV_BIM WHERE ID = ?"), {registration.model})
            .toString() == QStringLiteral("True")) {
        result.refusal = texts::kModelForbidden;
        return result;
    }
    if (registration.dossier <= 0 || registration.dossier == proposedDossier)
        registration.dossier = nextKey(db, kRegEka, QStringLiteral("Dosie_ID"));
    else if (dossierTaken(db, registration.dossier, registration.device)) {
        result.refusal = texts::kDossierTaken.arg(registration.dossier);
        return result;
    }
    execSql(db,
            QStringLiteral(
                "INSERT INTO Reg_EKA (Dosie_ID, MFP, Model, Svid_N, Data_Reg, Time_Reg, ID_Serv, TDD_ID, "
                "ID_Kontrag, ID_Sklad, EKA) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            registrationValues(registration));
    result = storeContract(db, registration.device, contract, numbering, proposedContract);
    if (!result.stored)
        return result;
    t.commit();
    result.dossier = registration.dossier;
    return result;
}

SaveResult changeRegistration(const QSqlDatabase& db, DeviceRegistration registration) {
    SaveResult result;
    registration.device = deviceNumber(registration.device);
    if (const auto refusal = validRegistration(registration)) {
        result.refusal = *refusal;
        return result;
    }
    Transaction t(db);
    lockDevices(db);
    if (registration.dossier <= 0) {
        result.refusal = texts::kNoDossier;
        return result;
    }
    if (dossierTaken(db, registration.dossier, registration.device)) {
        result.refusal = texts::kDossierTaken.arg(registration.dossier);
        return result;
    }
    QSqlQuery q =
        execSql(db,
                QStringLiteral("UPDATE Reg_EKA SET Dosie_ID = ?, MFP = ?, Model = ?, Svid_N = ?, "
                               "Data_Reg = ?, Time_Reg = ?, ID_Serv = ?, TDD_ID = ?, ID_Kontrag = ?, "
                               "ID_Sklad = ? WHERE EKA = ?"),
                registrationValues(registration));
    if (q.numRowsAffected() == 0) {
        result.refusal = texts::kDeviceNotRegistered.arg(registration.device);
        return result;
    }
    t.commit();
    result.stored = true;
    result.dossier = registration.dossier;
    return result;
}

SaveResult saveContract(const QSqlDatabase& db, const QString& typed, const ContractEntry& contract,
                        const ContractNumbering& numbering, const QString& proposedContract) {
    const QString device = deviceNumber(typed);
    Transaction t(db);
    lockDevices(db);
    if (!CHECK_REPEATED_NUMBERS(db, kRegEka, QStringLiteral("EKA"), device)) {
        SaveResult result;
        result.refusal = texts::kDeviceNotRegistered.arg(device);
        return result;
    }
    SaveResult result = storeContract(db, device, contract, numbering, proposedContract);
    if (result.stored)
        t.commit();
    return result;
}

std::optional<Contract> deviceContract(const QSqlDatabase& db, const QString& typed) {
    QSqlQuery q = execSql(
        db, QStringLiteral("SELECT Prefics_ID, Dog_ID, Vid_Dog, Dog_Ot, Valid_Do FROM Dogovor WHERE EKA = ?"),
        {deviceNumber(typed)});
    if (!q.next())
        return std::nullopt;
    return Contract{text(q.value(0)), text(q.value(1)), text(q.value(2)), date(q.value(3)), date(q.value(4))};
}

SqlStatement deviceDocumentStatement(const QString& typed) {
    return {kDeviceSelect, {deviceNumber(typed)}};
}

ReportData deviceReportData(const QSqlDatabase& db, const QString& typed) {
    const SqlRows rows = readRows(db, kDeviceSelect, {deviceNumber(typed)});
    ReportData data;
    // Each column under its table's name; one selected under a name of its
    // own also under the device's table, as "Reg_EKA.<name>".
    QList<int> sources;
    for (int i = 0; i < int(std::size(kDeviceColumns)); ++i) {
        const DeviceColumn& c = kDeviceColumns[i];
        data.columns << (QString::fromLatin1(c.table) + u'.' + QString::fromLatin1(c.column)).toLower();
        sources << i;
        if (c.as) {
            data.columns << (QStringLiteral("Reg_EKA.") + QString::fromLatin1(c.as)).toLower();
            sources << i;
        }
    }
    for (const QVariantList& row : rows.rows) {
        QVariantList out;
        for (int source : sources)
            out << row.value(source);
        data.rows << out;
    }
    data.queried = true;
    return data;
}

std::optional<DeviceRecord> lookUpDevice(const QSqlDatabase& db, const QString& typed) {
    QSqlQuery q = execSql(db, kDeviceSelect, {deviceNumber(typed)});
    if (!q.next())
        return std::nullopt;
    const QSqlRecord r = q.record();
    DeviceRecord d;
    DeviceRegistration& g = d.registration;
    g.device = text(r.value(QStringLiteral("EKA")));
    g.dossier = r.value(QStringLiteral("Dosie_ID")).toLongLong();
    g.fiscalMemory = text(r.value(QStringLiteral("MFP")));
    g.model = r.value(QStringLiteral("Model")).toLongLong();
    g.certificate = text(r.value(QStringLiteral("Svid_N")));
    g.date = date(r.value(QStringLiteral("Data_Reg")));
    g.time = QTime::fromString(text(r.value(QStringLiteral("Time_Reg"))), QStringLiteral("HH:mm:ss"));
    g.serviceCentre = r.value(QStringLiteral("ID_Serv")).toLongLong();
    g.taxOffice = r.value(QStringLiteral("TDD_ID")).toLongLong();
    g.owner = r.value(QStringLiteral("ID_Kontrag")).toLongLong();
    g.site = r.value(QStringLiteral("ID_Sklad")).toLongLong();

    d.owner =
        counterpartyFrom(r, QStringLiteral("ID"), QStringLiteral("Ime_Firma"), QStringLiteral("Grad"),
                         QStringLiteral("Adres_Firma"), QStringLiteral("EIK"), QStringLiteral("Telefon"));
    d.owner.personName = text(r.value(QStringLiteral("Ime_Klient")));
    d.owner.personEgn = text(r.value(QStringLiteral("EGN")));
    d.serviceCentre = counterpartyFrom(r, QStringLiteral("Serv_ID"), QStringLiteral("Serv_Ime"),
                                       QStringLiteral("Serv_grad"), QStringLiteral("Adres_Serv"),
                                       QStringLiteral("Serv_EIK"), QStringLiteral("Serv_Tel"));
    d.taxOffice =
        counterpartyFrom(r, QStringLiteral("TDD_Key"), QStringLiteral("TDD_Ime"), QStringLiteral("TDD_grad"),
                         QStringLiteral("TDD_Adres"), QString(), QStringLiteral("TDD_Tel"));

    d.site.found = !r.value(QStringLiteral("ID_Sk")).isNull();
    d.site.id = g.site;
    d.site.name = text(r.value(QStringLiteral("Opisanie_Sk")));
    d.site.town = text(r.value(QStringLiteral("Grad_SK")));
    d.site.address = text(r.value(QStringLiteral("Adres_SK")));
    d.site.phone = text(r.value(QStringLiteral("Tel_SK")));
    d.site.responsible = text(r.value(QStringLiteral("MOL_SK")));

    d.model.found = !r.value(QStringLiteral("Model_ID")).isNull();
    d.model.id = g.model;
    d.model.name = text(r.value(QStringLiteral("Model_Opis")));
    d.model.certificate = text(r.value(QStringLiteral("SV_ID")));
    d.model.certificateDate = date(r.value(QStringLiteral("SV_Data")));
    d.model.sealedBy = r.value(QStringLiteral("ID_Plomb")).toLongLong();
    d.model.sealedByName = text(r.value(QStringLiteral("Plomb_Ime")));

    if (!r.value(QStringLiteral("Dog_EKA")).isNull())
        d.contract =
            Contract{text(r.value(QStringLiteral("Prefics_ID"))), text(r.value(QStringLiteral("Dog_ID"))),
                     text(r.value(QStringLiteral("Vid_Dog"))), date(r.value(QStringLiteral("Dog_Ot"))),
                     date(r.value(QStringLiteral("Valid_Do")))};
    return d;
}

std::optional<DeviceSale> deviceSale(const QSqlDatabase& db, const QString& typed) {
    const QString device = deviceNumber(typed);
    if (device.isEmpty())
        return std::nullopt;
    // The latest sale line whose serial number is the device's, in any
    // letter case (through the serial's UPPER index, which the service desk
    // shares); exactly, never a number that merely contains it.
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT Pored_Do, ID_Klient FROM Prodajbi WHERE UPPER(Pored_Ot) = ? "
                                         "ORDER BY D_Prodajba DESC, ID_Prodajba DESC"),
                          {device.toUpper()});
    if (!q.next())
        return std::nullopt;
    DeviceSale sale;
    sale.fiscalMemory = text(q.value(0));
    const qint64 buyer = q.value(1).toLongLong();
    if (buyer > 0)
        sale.buyer = counterpartyInfo(db, buyer);
    return sale;
}

CounterpartyInfo counterpartyInfo(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT Firmi.ID, Firmi.Ime_Firma, Firmi.Grad, Firmi.Adres_Firma, Firmi.EIK, "
                               "Firmi.Telefon, Klienti.Ime_Klient, Klienti.EGN FROM Firmi "
                               "LEFT JOIN Klienti ON Klienti.ID = Firmi.ID_Mol WHERE Firmi.ID = ?"),
                {id});
    CounterpartyInfo c;
    c.id = id;
    if (!q.next())
        return c;
    c.found = true;
    c.name = text(q.value(1));
    c.town = text(q.value(2));
    c.address = text(q.value(3));
    c.eik = text(q.value(4));
    c.phone = text(q.value(5));
    c.personName = text(q.value(6));
    c.personEgn = text(q.value(7));
    return c;
}

QList<SiteInfo> counterpartySites(const QSqlDatabase& db, qint64 counterparty) {
    QSqlQuery q = execSql(db,
                          QStringLiteral("SELECT ID_Sk, Opisanie_Sk, Grad_SK, Adres_SK, Tel_SK, MOL_SK FROM "
                                         "Kontrag_Sklad WHERE ID_Kontrag = ? ORDER BY ID_Sk"),
                          {counterparty});
    QList<SiteInfo> sites;
    while (q.next())
        sites.append({q.value(0).toLongLong(), true, text(q.value(1)), text(q.value(2)), text(q.value(3)),
                      text(q.value(4)), text(q.value(5))});
    return sites;
}

QList<ModelInfo> models(const QSqlDatabase& db) {
    QSqlQuery q =
        execSql(db, QStringLiteral("SELECT SV_BIM.ID, SV_BIM.Model_Opis, SV_BIM.SV_ID, SV_BIM.SV_Data, "
                                   "SV_BIM.ID_Plomb, Firmi.Ime_Firma, SV_BIM.Zabranen FROM SV_BIM "
                                   "LEFT JOIN Firmi ON Firmi.ID = SV_BIM.ID_Plomb ORDER BY SV_BIM.ID"));
    QList<ModelInfo> list;
    while (q.next())
        list.append({q.value(0).toLongLong(), true, text(q.value(1)), text(q.value(2)), date(q.value(3)),
                     q.value(4).toLongLong(), text(q.value(5)), text(q.value(6)) == QStringLiteral("True")});
    return list;
}

OwnerDevices ownerDevices(const QSqlDatabase& db, qint64 owner, const QDate& today) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral("SELECT Reg_EKA.EKA, Dogovor.Valid_Do FROM Reg_EKA LEFT JOIN Dogovor ON "
                               "Dogovor.EKA = Reg_EKA.EKA WHERE Reg_EKA.ID_Kontrag = ? ORDER BY Reg_EKA.EKA"),
                {owner});
    OwnerDevices o;
    while (q.next()) {
        o.devices.append(text(q.value(0)));
        const QDate until = date(q.value(1));
        if (until.isValid() && today > until)
            ++o.expiredContracts;
    }
    return o;
}

} // namespace torvika
