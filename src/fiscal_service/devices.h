#pragma once
// The registration of fiscal devices (cash registers) and their service
// contracts: a device's registration row (Reg_EKA) and its one contract row
// (Dogovor), the lookup of a device by its number with everything shown
// about it, the prefill of a new registration from the shop's sale of the
// device, and the numbering of contracts.
//
// Device numbers are kept in upper case and are unique in both tables (an
// index): a device is never registered twice, not even by two workstations
// at once. A registration and its first contract are stored together in one
// transaction; dossier and contract numbers left as proposed are taken when
// saving, under the tables' lock.

#include "common/sql_statement.h"
#include "documents/report_query.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTime>
#include <optional>

namespace torvika {

// The device number as stored and compared: trimmed, in upper case.
QString deviceNumber(const QString& typed);

// What the registration row holds (numbers are Firmi, Kontrag_Sklad and
// SV_BIM keys; 0: none chosen).
struct DeviceRegistration {
    QString device;
    qint64 dossier = 0;
    QString fiscalMemory;
    qint64 model = 0;
    QString certificate; // the model's certificate number at registration
    QDate date;
    QTime time;
    qint64 serviceCentre = 0;
    qint64 taxOffice = 0;
    qint64 owner = 0;
    qint64 site = 0;
};

// A contract as the operator enters it: its number as shown (prefix and
// number), kind and dates.
struct ContractEntry {
    QString number;
    QString kind;
    QDate start;
    QDate validUntil;
};

// The contract settings of Firm_Data.ini (Tuning 15 to 18).
struct ContractNumbering {
    int digits = 10;          // width of the serial part
    bool splitPrefix = false; // store the first 10 characters as the prefix
    bool datePrefix = false;  // "ddMMyyyy--" in front of new numbers
    bool perDate = false;     // count per start date instead of overall
};

// The number proposed for a new contract starting on `date`.
QString proposeContractNumber(const QSqlDatabase& db, const ContractNumbering& numbering, const QDate& date);
// The prefix and the number a shown contract number is stored as.
struct StoredContractNumber {
    QString prefix;
    QString number;
};
StoredContractNumber splitContractNumber(const QString& shown, const ContractNumbering& numbering);

// The dossier number proposed for a new registration.
qint64 proposeDossier(const QSqlDatabase& db);

// What a save did: stored, or refused with the reason (a text to show).
struct SaveResult {
    bool stored = false;
    QString refusal;
    qint64 dossier = 0;     // the dossier stored
    QString contractNumber; // the contract number stored, as shown
};

// Why the registration cannot be stored (no device number, owner, model or
// date); nothing when it can.
std::optional<QString> registrationRefusal(const DeviceRegistration& registration);

// Stores a new registration with its contract in one transaction. A dossier
// or contract number equal to the proposal given (`proposedDossier`,
// `proposedContract`) is taken anew at saving; one typed by the operator is
// refused when another device has it. Refused: a device already
// registered, a contract ending before it starts, missing owner or model, a
// forbidden model.
// Throws EDatabaseError.
SaveResult registerDevice(const QSqlDatabase& db, DeviceRegistration registration,
                          const ContractEntry& contract, const ContractNumbering& numbering,
                          qint64 proposedDossier, const QString& proposedContract);
// Rewrites a registered device's registration ("change of data").
SaveResult changeRegistration(const QSqlDatabase& db, DeviceRegistration registration);
// Stores the contract of a registered device: its one contract row is
// written or rewritten (a renewal replaces an expired contract).
SaveResult saveContract(const QSqlDatabase& db, const QString& device, const ContractEntry& contract,
                        const ContractNumbering& numbering, const QString& proposedContract);

// The contract row of a device, if it has one.
struct Contract {
    QString prefix;
    QString number;
    QString kind;
    QDate start;
    QDate validUntil;
    QString shownNumber() const { return prefix + number; }
    // Expired when today is later than the valid-until date.
    bool expiredOn(const QDate& today) const { return validUntil.isValid() && today > validUntil; }
};
std::optional<Contract> deviceContract(const QSqlDatabase& db, const QString& device);

// A counterparty as the page shows it, with its natural person.
struct CounterpartyInfo {
    qint64 id = 0;
    bool found = false;
    QString name, town, address, eik, phone;
    QString personName, personEgn;
};
struct SiteInfo {
    qint64 id = 0;
    bool found = false;
    QString name, town, address, phone, responsible;
};
struct ModelInfo {
    qint64 id = 0;
    bool found = false;
    QString name, certificate;
    QDate certificateDate;
    qint64 sealedBy = 0;
    QString sealedByName;
    bool forbidden = false;
};

// Everything shown about a registered device. A row it refers to that is
// missing is reported as not found (the device is still registered).
struct DeviceRecord {
    DeviceRegistration registration;
    CounterpartyInfo owner, serviceCentre, taxOffice;
    SiteInfo site;
    ModelInfo model;
    std::optional<Contract> contract;
};

// The registered device with this number (any letter case), or nothing.
std::optional<DeviceRecord> lookUpDevice(const QSqlDatabase& db, const QString& typed);

// The statement the fiscal-service documents print from: the device with
// its owner, person, site, model, service centre, tax office, sealing
// company and contract, one row (none for an unknown device).
SqlStatement deviceDocumentStatement(const QString& typed);
// That statement's row as the documents engine takes it: each column named
// "<table>.<column>" in lower case, the service centre's, tax office's and
// sealing company's under their aliases in the statement ("serv.ime_firma",
// "tdd.ime_firma", "plomb.ime_firma"); a column selected under a name of its
// own is also "reg_eka.<name>" ("reg_eka.serv_ime").
ReportData deviceReportData(const QSqlDatabase& db, const QString& typed);

// The shop's sale of a device not yet registered: the buyer and the fiscal
// memory number of the sale line whose serial number is the device number.
struct DeviceSale {
    QString fiscalMemory;
    CounterpartyInfo buyer;
};
std::optional<DeviceSale> deviceSale(const QSqlDatabase& db, const QString& typed);

// A counterparty with its person; found is false when there is no row.
CounterpartyInfo counterpartyInfo(const QSqlDatabase& db, qint64 id);
// The sites of a counterparty, ordered by key.
QList<SiteInfo> counterpartySites(const QSqlDatabase& db, qint64 counterparty);
// The model certificates, ordered by key.
QList<ModelInfo> models(const QSqlDatabase& db);

// The devices an owner has registered, with the counts the page shows.
struct OwnerDevices {
    QStringList devices;
    int expiredContracts = 0;
};
OwnerDevices ownerDevices(const QSqlDatabase& db, qint64 owner, const QDate& today);

} // namespace torvika
