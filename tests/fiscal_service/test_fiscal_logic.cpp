// The fiscal service's logic: registrations with their contracts (one
// transaction, a device never twice, not even from two workstations at
// once), the lookup with missing rows flagged, contract numbering, the
// prefill from the shop's sale, the certificates, the tax-office file byte
// for byte, and the dismantling totals.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/sql.h"
#include "documents/print_run.h"
#include "documents/template_files.h"
#include "fiscal_data.h"
#include "fiscal_service/certificates.h"
#include "fiscal_service/devices.h"
#include "fiscal_service/dismantling.h"
#include "fiscal_service/notifications.h"
#include "fiscal_service/reports.h"
#include "fiscal_service/tax_office_file.h"
#include "fiscal_service/texts.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

using namespace torvika;

namespace {

using test::kModel;
using test::kOwner;
using test::kSealer;
using test::kService;
using test::kSite;
using test::kTaxOffice;

void seed(const QSqlDatabase& db) {
    test::seedFiscalData(db);
}

DeviceRegistration registration(const QString& device, const QDate& date = QDate(2009, 3, 5)) {
    DeviceRegistration r;
    r.device = device;
    r.fiscalMemory = "02123456";
    r.model = kModel;
    r.certificate = "1234";
    r.date = date;
    r.time = QTime(10, 30, 0);
    r.serviceCentre = kService;
    r.taxOffice = kTaxOffice;
    r.owner = kOwner;
    r.site = kSite;
    return r;
}

ContractEntry contract(const QDate& start = QDate(2009, 3, 5), const QDate& until = QDate(2010, 3, 4)) {
    return {QString(), "Абонаментно обслужване", start, until};
}

int count(const QSqlDatabase& db, const QString& table) {
    return scalarSql(db, "SELECT COUNT(*) FROM " + table).toInt();
}

// The value of a named column of the first row (PostgreSQL gives the names
// in lower case).
QVariant firstRow(const SqlRows& rows, const QString& column) {
    for (int i = 0; i < rows.fields.size(); ++i)
        if (rows.fields[i].compare(column, Qt::CaseInsensitive) == 0)
            return rows.rows.value(0).value(i);
    return {};
}

QByteArray cp(const QString& s) {
    return toCp1251(s);
}
// A field of the hand-made file: the text in exactly n characters.
QString f(const QString& text, int n) {
    return text.leftJustified(n, u' ', true);
}

} // namespace

Q_DECLARE_METATYPE(DeviceRegistration)
Q_DECLARE_METATYPE(ContractEntry)

class FiscalLogicTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        seed(db());
    }
    void cleanup() { fx_.reset(); }

    // Registered with its contract, then found by its number in lower case
    // with everything it refers to.
    void registerAndLookUp() {
        const SaveResult r = registerDevice(db(), registration("dt123456"), contract(), {}, 1, QString());
        QVERIFY2(r.stored, qPrintable(r.refusal));
        QCOMPARE(r.dossier, 1);
        QCOMPARE(r.contractNumber, QString("0000000001"));
        const auto d = lookUpDevice(db(), " dt123456 ");
        QVERIFY(d);
        QCOMPARE(d->registration.device, QString("DT123456"));
        QCOMPARE(d->registration.time, QTime(10, 30, 0));
        QCOMPARE(d->owner.name, QString("Роза ЕООД"));
        QCOMPARE(d->owner.personName, QString("Иван Петров"));
        QCOMPARE(d->owner.personEgn, QString("7501011234"));
        QCOMPARE(d->serviceCentre.town, QString("Пловдив"));
        QCOMPARE(d->taxOffice.name, QString("ТДД София"));
        QCOMPARE(d->site.responsible, QString("Мария"));
        QCOMPARE(d->model.sealedByName, QString("Фискален център АД"));
        QCOMPARE(d->model.certificateDate, QDate(2008, 4, 1));
        QVERIFY(d->contract);
        QCOMPARE(d->contract->validUntil, QDate(2010, 3, 4));
        QCOMPARE(d->contract->kind, QString("Абонаментно обслужване"));
        QVERIFY(!lookUpDevice(db(), "DT12345"));
        QCOMPARE(ownerDevices(db(), kOwner, QDate(2011, 1, 1)).devices, QStringList{"DT123456"});
        QCOMPARE(ownerDevices(db(), kOwner, QDate(2011, 1, 1)).expiredContracts, 1);
    }

    // A notification is recorded only for a registered device and with a
    // reason; the device's list shows the latest first.
    void notificationsOfARegisteredDevice() {
        const QDate d(2026, 12, 10);
        QVERIFY(registerDevice(db(), registration("DT1"), contract(), {}, 1, QString()).stored);
        // Registered without a contract: the lookup does not find it either.
        execSql(db(), "INSERT INTO Reg_EKA (Dosie_ID, EKA) VALUES (2, 'DT2')");
        const struct {
            const char* device;
            const char* reason;
            QDate date;
            QString refusal;
        } refused[] = {
            {"", "Ремонт", d, texts::kNoDeviceNumber},
            {"dt1", "  ", d, texts::kNoNotificationReason},
            {"dt1", "Ремонт", QDate(), texts::kNoNotificationDate},
            {"DT2", "Ремонт", d, texts::kDeviceNotRegistered.arg("DT2")},
            {"DT9", "Ремонт", d, texts::kDeviceNotRegistered.arg("DT9")},
        };
        for (const auto& c : refused) {
            const NotificationResult r =
                recordNotification(db(), {c.device, c.date, QTime(9, 0), c.reason, "Иван"});
            QCOMPARE(r.refusal.value_or(QString()), c.refusal);
        }
        QCOMPARE(count(db(), "Uvedomlenia"), 0);

        QVERIFY(recordNotification(db(), {" dt1 ", d, QTime(9, 0), "Ремонт", "Иван"}).id > 0);
        QVERIFY(recordNotification(db(), {"DT1", d, QTime(11, 15), " Смяна на собственика ", "Мария"}).id >
                0);
        const SqlStatement st = notificationsOfDeviceStatement("dt1");
        const SqlRows rows = readRows(db(), st.text, st.values);
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(firstRow(rows, "Pri4ina").toString(), QString("Смяна на собственика"));
        QCOMPARE(firstRow(rows, "Vreme").toString(), QString("11:15:00"));
        QCOMPARE(firstRow(rows, "Operator").toString(), QString("Мария"));
        QCOMPARE(firstRow(rows, "Data").toString(), QString("2026-12-10"));
    }

    // A device whose tax office, site or model row is gone is still found,
    // with the missing row flagged.
    void missingRowsAreFlagged() {
        QVERIFY(registerDevice(db(), registration("DT1"), contract(), {}, 1, QString()).stored);
        execSql(db(), "DELETE FROM Firmi WHERE ID = ?", {kTaxOffice});
        execSql(db(), "DELETE FROM Kontrag_Sklad");
        execSql(db(), "DELETE FROM SV_BIM");
        const auto d = lookUpDevice(db(), "dt1");
        QVERIFY(d);
        QVERIFY(!d->taxOffice.found);
        QVERIFY(!d->site.found);
        QVERIFY(!d->model.found);
        QVERIFY(d->owner.found);
        QVERIFY(d->serviceCentre.found);
    }

    // Refusals store nothing: neither the registration nor the contract.
    void refusalsStoreNothing_data() {
        QTest::addColumn<DeviceRegistration>("reg");
        QTest::addColumn<ContractEntry>("con");
        QTest::addColumn<QString>("refusal");
        DeviceRegistration noOwner = registration("DT2");
        noOwner.owner = 0;
        DeviceRegistration noModel = registration("DT2");
        noModel.model = 0;
        QTest::newRow("end before start")
            << registration("DT2") << contract(QDate(2009, 3, 5), QDate(2009, 3, 4))
            << texts::kContractEndsBeforeStart;
        QTest::newRow("no dates") << registration("DT2") << contract(QDate(), QDate())
                                  << texts::kContractDatesMissing;
        QTest::newRow("no owner") << noOwner << contract() << texts::kNoOwnerChosen;
        QTest::newRow("no model") << noModel << contract() << texts::kNoModelChosen;
        QTest::newRow("no number") << registration("  ") << contract() << texts::kNoDeviceNumber;
    }
    void refusalsStoreNothing() {
        QFETCH(DeviceRegistration, reg);
        QFETCH(ContractEntry, con);
        QFETCH(QString, refusal);
        const SaveResult r = registerDevice(db(), reg, con, {}, 1, QString());
        QVERIFY(!r.stored);
        QCOMPARE(r.refusal, refusal);
        QCOMPARE(count(db(), "Reg_EKA"), 0);
        QCOMPARE(count(db(), "Dogovor"), 0);
    }

    // A device registered already, in any letter case, is refused; a
    // contract number or dossier typed that another device has too.
    void neverTwice() {
        QVERIFY(registerDevice(db(), registration("DT3"), contract(), {}, 1, QString()).stored);
        SaveResult r = registerDevice(db(), registration("dt3"), contract(), {}, 2, QString());
        QCOMPARE(r.refusal, texts::kDeviceAlreadyRegistered.arg("DT3"));
        ContractEntry taken = contract();
        taken.number = "0000000001";
        r = registerDevice(db(), registration("DT4"), taken, {}, 2, "0000000002");
        QCOMPARE(r.refusal, texts::kContractNumberTaken.arg("0000000001"));
        DeviceRegistration dossier = registration("DT4");
        dossier.dossier = 1;
        r = registerDevice(db(), dossier, contract(), {}, 2, QString());
        QCOMPARE(r.refusal, texts::kDossierTaken.arg(1));
        QCOMPARE(count(db(), "Reg_EKA"), 1);
        QCOMPARE(count(db(), "Dogovor"), 1);
        // The unique index stops a writer that skips the check.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, execSql(db(), "INSERT INTO Reg_EKA (EKA) VALUES ('DT3')"));
    }

    // Two workstations registering at once: the same device is stored
    // once; two devices get different dossiers and contract numbers even
    // though both were proposed the same.
    void twoWorkstationsAtOnce_data() {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<int>("stored");
        QTest::newRow("same device") << QStringList{"DT7", "dt7"} << 1;
        QTest::newRow("two devices") << QStringList{"DT8", "DT9"} << 2;
    }
    void twoWorkstationsAtOnce() {
        QFETCH(QStringList, devices);
        QFETCH(int, stored);
        const qint64 dossier = proposeDossier(db());
        const QString number = proposeContractNumber(db(), {}, QDate(2009, 3, 5));
        QList<SaveResult> results(2);
        QList<QString> errors(2);
        QList<QThread*> threads;
        for (int i = 0; i < 2; ++i)
            threads << QThread::create([&, i] {
                const QString name = QString("workstation %1").arg(i);
                try {
                    QSqlDatabase conn = fx_->openWorkstation(name);
                    DeviceRegistration reg = registration(devices[i]);
                    reg.dossier = dossier;
                    ContractEntry con = contract();
                    con.number = number;
                    results[i] = registerDevice(conn, reg, con, {}, dossier, number);
                } catch (const std::exception& e) {
                    errors[i] = QString::fromUtf8(e.what());
                }
                QSqlDatabase::removeDatabase(name);
            });
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(errors, QList<QString>(2));
        QCOMPARE(int(results[0].stored) + int(results[1].stored), stored);
        QCOMPARE(count(db(), "Reg_EKA"), stored);
        QCOMPARE(count(db(), "Dogovor"), stored);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(DISTINCT Dosie_ID) FROM Reg_EKA").toInt(), stored);
        QCOMPARE(scalarSql(db(), "SELECT COUNT(DISTINCT Dog_ID) FROM Dogovor").toInt(), stored);
        if (stored == 1)
            QVERIFY((results[0].stored ? results[1] : results[0]).refusal ==
                    texts::kDeviceAlreadyRegistered.arg("DT7"));
    }

    // A contract valid until today is in force; until yesterday, expired.
    void expiry_data() {
        QTest::addColumn<QDate>("until");
        QTest::addColumn<bool>("expired");
        const QDate today(2009, 6, 1);
        QTest::newRow("until today") << today << false;
        QTest::newRow("until yesterday") << today.addDays(-1) << true;
        QTest::newRow("until tomorrow") << today.addDays(1) << false;
    }
    void expiry() {
        QFETCH(QDate, until);
        QFETCH(bool, expired);
        QVERIFY(
            registerDevice(db(), registration("DT5"), contract(QDate(2009, 1, 1), until), {}, 1, {}).stored);
        QCOMPARE(lookUpDevice(db(), "DT5")->contract->expiredOn(QDate(2009, 6, 1)), expired);
    }

    // Renewing replaces the device's one contract; change of data rewrites
    // the registration.
    void renewAndChange() {
        QVERIFY(registerDevice(db(), registration("DT6"), contract(), {}, 1, {}).stored);
        const QString proposed = proposeContractNumber(db(), {}, QDate(2010, 3, 5));
        QCOMPARE(proposed, QString("0000000002"));
        SaveResult r =
            saveContract(db(), "dt6", contract(QDate(2010, 3, 5), QDate(2011, 3, 4)), {}, proposed);
        QVERIFY2(r.stored, qPrintable(r.refusal));
        QCOMPARE(count(db(), "Dogovor"), 1);
        QCOMPARE(deviceContract(db(), "DT6")->shownNumber(), QString("0000000002"));
        QCOMPARE(deviceContract(db(), "DT6")->validUntil, QDate(2011, 3, 4));
        QCOMPARE(saveContract(db(), "DT99", contract(), {}, {}).refusal,
                 texts::kDeviceNotRegistered.arg("DT99"));

        DeviceRegistration changed = registration("dt6");
        changed.dossier = 7;
        changed.fiscalMemory = "02999999";
        changed.site = 0;
        r = changeRegistration(db(), changed);
        QVERIFY2(r.stored, qPrintable(r.refusal));
        const auto d = lookUpDevice(db(), "DT6");
        QCOMPARE(d->registration.dossier, 7);
        QCOMPARE(d->registration.fiscalMemory, QString("02999999"));
        QCOMPARE(d->registration.site, 0);
        QCOMPARE(changeRegistration(db(), registration("DT98")).refusal, texts::kNoDossier);
    }

    // Contract numbers with the settings of Tuning 15 to 18.
    void contractNumbers_data() {
        QTest::addColumn<int>("digits");
        QTest::addColumn<bool>("split");
        QTest::addColumn<bool>("datePrefix");
        QTest::addColumn<bool>("perDate");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("number");
        QTest::newRow("default") << 10 << false << false << false << "0000000042"
                                 << ""
                                 << "0000000042";
        QTest::newRow("date prefix") << 6 << false << true << false << "05032009--000042"
                                     << ""
                                     << "05032009--000042";
        QTest::newRow("date prefix split") << 6 << true << true << false << "05032009--000042"
                                           << "05032009"
                                           << "000042";
        QTest::newRow("per date, first of the day") << 4 << false << false << true << "0001"
                                                    << ""
                                                    << "0001";
    }
    void contractNumbers() {
        QFETCH(int, digits);
        QFETCH(bool, split);
        QFETCH(bool, datePrefix);
        QFETCH(bool, perDate);
        QFETCH(QString, proposed);
        QFETCH(QString, prefix);
        QFETCH(QString, number);
        execSql(
            db(),
            "INSERT INTO Dogovor (Dog_ID, Prefics_ID, EKA, Dog_Ot) VALUES ('41', '', 'X1', '2009-03-04')");
        execSql(db(),
                "INSERT INTO Dogovor (Dog_ID, Prefics_ID, EKA, Dog_Ot) VALUES ('7', '', 'X2', '2009-03-04')");
        const ContractNumbering n{digits, split, datePrefix, perDate};
        QCOMPARE(proposeContractNumber(db(), n, QDate(2009, 3, 5)), proposed);
        const StoredContractNumber s = splitContractNumber(proposed, n);
        QCOMPARE(s.prefix, prefix);
        QCOMPARE(s.number, number);
        // Stored under the lock as proposed, shown again as it was proposed.
        QVERIFY(registerDevice(db(), registration("DT10"), contract(), n, 1, proposed).stored);
        QCOMPARE(deviceContract(db(), "DT10")->prefix, prefix);
        QCOMPARE(deviceContract(db(), "DT10")->number, number);
    }

    // The shop's sale of a device: the line whose serial number is exactly
    // the device's, in any case; never one that merely contains it.
    void prefillFromSale() {
        execSql(db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, Kol, ID_Klient, Pored_Ot, Pored_Do) "
                "VALUES (1, 1, '2009-03-01', 1, ?, 'dt20', '02000020')",
                {kOwner});
        execSql(db(),
                "INSERT INTO Prodajbi (ID_Prodajba, ID_Art, D_Prodajba, Kol, ID_Klient, Pored_Ot, Pored_Do) "
                "VALUES (2, 1, '2009-03-02', 1, ?, 'DT201', '02000201')",
                {kService});
        const auto sale = deviceSale(db(), "DT20");
        QVERIFY(sale);
        QCOMPARE(sale->fiscalMemory, QString("02000020"));
        QCOMPARE(sale->buyer.id, kOwner);
        QCOMPARE(sale->buyer.eik, QString("123456789"));
        QCOMPARE(sale->buyer.personEgn, QString("7501011234"));
        QVERIFY(!deviceSale(db(), "T20"));
        QVERIFY(!deviceSale(db(), "DT2"));
        QCOMPARE(counterpartySites(db(), kOwner).size(), 1);
    }

    void certificates() {
        const qint64 id = insertCertificate(
            db(), {"Тремол М20 с много дълго име на модела", "77", QDate(2009, 1, 2), kSealer});
        QCOMPARE(id, 2);
        QCOMPARE(models(db()).last().name, QString("Тремол М20 с много дълго име на").left(30));
        updateCertificate(db(), id, {"Тремол М21", "78", QDate(2009, 1, 3), kSealer});
        QCOMPARE(models(db()).last().certificate, QString("78"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, insertCertificate(db(), {"Модел", " ", QDate(), kSealer}));
        QVERIFY_THROWS_EXCEPTION(EConvertError, insertCertificate(db(), {"", "5", QDate(), kSealer}));
        QCOMPARE(devicesOfModel(db(), kModel), 0);
        QVERIFY(registerDevice(db(), registration("DT30"), contract(), {}, 1, {}).stored);
        QCOMPARE(devicesOfModel(db(), kModel), 1);
        setModelForbidden(db(), kModel, true);
        QCOMPARE(readRows(db(), forbiddenModelsStatement().text).rows.size(), 1);
        QVERIFY(models(db()).first().forbidden);
        QCOMPARE(registerDevice(db(), registration("DT31"), contract(), {}, 2, {}).refusal,
                 texts::kModelForbidden);
        deleteCertificate(db(), id);
        QCOMPARE(models(db()).size(), 1);
        QCOMPARE(readRows(db(), certificatesStatement().text).rows.size(), 1);
    }

    // The file compared with one made by hand from the record table; every
    // line its given length; the period's first and last days included; a
    // device with a missing row left out and counted; one without a
    // contract in the file.
    void taxOfficeFile() {
        QVERIFY(registerDevice(db(), registration("DT40", QDate(2009, 3, 1)), contract(), {}, 1, {}).stored);
        DeviceRegistration longName = registration("ZK1234567", QDate(2009, 3, 31));
        QVERIFY(registerDevice(db(), longName, contract(), {}, 2, {}).stored);
        execSql(db(), "DELETE FROM Dogovor WHERE EKA = 'ZK1234567'");
        QVERIFY(registerDevice(db(), registration("DT41", QDate(2009, 4, 1)), contract(), {}, 3, {}).stored);
        DeviceRegistration orphan = registration("DT42", QDate(2009, 3, 15));
        orphan.taxOffice = 99;
        QVERIFY(registerDevice(db(), orphan, contract(), {}, 4, {}).stored);
        execSql(db(), "UPDATE Firmi SET Ime_Firma = ? WHERE ID = ?",
                {"Роза Енергийни и Търговски Решения за Всички Клиенти ЕООД", kOwner});

        const QDate from(2009, 3, 1), to(2009, 3, 31);
        const QList<TaxOfficeDevice> devices = taxOfficeDevices(db(), from, to);
        QCOMPARE(devices.size(), 2);
        QCOMPARE(taxOfficeDevicesLeftOut(db(), from, to, devices.size()), 1);
        const TaxOfficeCompany company{"831234567", "Касов сервиз ООД", "Пловдив, бул. Марица 5", "032 222",
                                       "Петър Георгиев"};
        const QByteArray bytes = taxOfficeFileBytes(company, from, to, devices);

        QStringList lines;
        lines << "00" + f("", 10) + f("831234567", 9) + f("Касов сервиз ООД", 50) +
                     f("Пловдив, бул. Марица 5", 80) + f("032 222", 15) + f("032 222", 30) + "01.03.2009" +
                     "31.03.2009" + "0002";
        for (const QString& device : {QString("DT40"), QString("ZK123456")}) {
            const QString date = device == "DT40" ? "01.03.2009" : "31.03.2009";
            lines << "01" + f("", 10) + f("7501011234", 10) + f("123456789", 9);
            lines << "02" + f("Роза Енергийни и Търговски Решения за Всички Клиенти ЕООД", 50) +
                         f("София", 25) + f("ул. Роза 1", 50) + f("Иван Петров", 50);
            lines << "03" + f("Магазин Роза", 50) + f("София", 25) + f("ул. Лале 3", 50) + f("0888 123", 15);
            lines << "04" + f("ТДД София", 25);
            lines << "05" + f("Датекс DP-05", 30) + f("", 30);
            lines << "06" + f("", 240);
            lines << "07" + f("1234", 6) + "01.04.2008";
            lines << "08" + f(device, 8) + f("02123456", 8);
            lines << "09" + f("Касов сервиз ООД", 50) + f("Пловдив", 25) + f("бул. Марица 5", 50) +
                         f("032 222", 15);
            lines << "10" + f("Петър Георгиев", 50);
            lines << "11" + date + f("", 20) + "0";
        }
        lines << "99";
        QByteArray expected;
        for (const QString& line : lines)
            expected += cp(line) + "\r\n";
        QCOMPARE(bytes, expected);

        const QList<int> lengths{220, 31, 177, 142, 27, 62, 242, 18, 18, 142, 52, 33};
        const QList<QByteArray> written = bytes.split('\n');
        QCOMPARE(written.size(), 1 + 2 * 11 + 1 + 1);
        for (int i = 0; i < written.size() - 1; ++i) {
            const int length = i == 0 ? 220 : i == written.size() - 2 ? 2 : lengths[1 + (i - 1) % 11];
            QCOMPARE(written[i].size(), length + 1);
        }

        // Written whole into place; an old file replaced.
        const QString path = fx_->root() + "FISKAL.SER";
        fx_->writeFile("FISKAL.SER", "old");
        writeTaxOfficeFile(path, bytes);
        QCOMPARE(test::Fixture::readFile(path), bytes);
        QCOMPARE(QDir(fx_->root()).entryList({"FISKAL.SER*"}, QDir::Files), QStringList{"FISKAL.SER"});
    }

    void taxOfficeFileRefusals() {
        const QDate day(2009, 3, 1);
        const QByteArray empty = taxOfficeFileBytes({"1", "", "", "", ""}, day, day, {});
        QCOMPARE(empty,
                 cp("00" + f("", 10) + f("1", 9) + f("", 50 + 80 + 15 + 30) + "01.03.200901.03.20090000") +
                     "\r\n99\r\n");
        QVERIFY_THROWS_EXCEPTION(EConvertError, taxOfficeFileBytes({" ", "Фирма", "", "", ""}, day, day, {}));
        const QList<TaxOfficeDevice> many(kTaxOfficeMaxDevices + 1);
        QVERIFY_THROWS_EXCEPTION(EConvertError, taxOfficeFileBytes({"1", "", "", "", ""}, day, day, many));
        QCOMPARE(taxOfficeFileBytes({"1", "", "", "", ""}, day, day, many.mid(1)).left(220).right(4),
                 QByteArray("9999"));
        // A directory that is not there: an error, and no file.
        const QString path = fx_->root() + "missing/FISKAL.SER";
        QVERIFY_THROWS_EXCEPTION(EInOutError, writeTaxOfficeFile(path, empty));
        QVERIFY(!QFile::exists(path));
    }

    // The lists of devices: filtered by number or owner and period, the
    // contracts expired by a date (and devices without one), the devices at
    // the service desk and a device's repairs.
    void deviceLists() {
        QVERIFY(registerDevice(db(), registration("DT50", QDate(2009, 1, 10)),
                               contract(QDate(2009, 1, 10), QDate(2010, 1, 9)), {}, 1, {})
                    .stored);
        QVERIFY(registerDevice(db(), registration("ZK51", QDate(2009, 2, 10)),
                               contract(QDate(2009, 2, 10), QDate(2011, 2, 9)), {}, 2, {})
                    .stored);
        QVERIFY(registerDevice(db(), registration("ZK52", QDate(2009, 3, 10)), contract(), {}, 3, {}).stored);
        execSql(db(), "DELETE FROM Dogovor WHERE EKA = 'ZK52'");
        auto devices = [this](const SqlStatement& s) {
            QStringList out;
            for (const QVariantList& row : readRows(db(), s.text, s.values).rows)
                out << row[0].toString();
            return out;
        };
        QCOMPARE(devices(devicesStatement({})), (QStringList{"DT50", "ZK51", "ZK52"}));
        QCOMPARE(devices(devicesStatement({"zk", {}, {}})), (QStringList{"ZK51", "ZK52"}));
        QCOMPARE(devices(devicesStatement({"роза", QDate(2009, 2, 1), QDate(2009, 2, 28)})),
                 QStringList{"ZK51"});
        QCOMPARE(devices(devicesStatement({"50%", {}, {}})), QStringList());
        const SqlStatement one = devicesStatement({"DT50", {}, {}});
        const SqlRows rows = readRows(db(), one.text, one.values);
        QCOMPARE(firstRow(rows, "Dog_N").toString(), QString("0000000001"));
        QCOMPARE(devices(expiredContractsStatement(QDate(2010, 1, 10))), (QStringList{"DT50", "ZK52"}));
        QCOMPARE(devices(expiredContractsStatement(QDate(2010, 1, 9))), QStringList{"ZK52"});
        QCOMPARE(devices(expiredContractsStatement(QDate(2012, 1, 1), QDate(2011, 1, 1))),
                 QStringList{"ZK51"});

        execSql(
            db(),
            "INSERT INTO Priem_Ser (N_Prodajba, S_N, Pri4ina, Data_Priem) VALUES (7, ' zk51', 'Не печата', "
            "'2009-05-01')");
        execSql(db(), "INSERT INTO Priem_Ser (N_Prodajba, S_N, Pri4ina, Data_Priem) VALUES (8, 'ABC', '', "
                      "'2009-05-01')");
        QCOMPARE(devices(devicesInServiceStatement()), QStringList{"ZK51"});
        execSql(db(), "INSERT INTO R_Priem (N_Priem, S_N, Pri4ina, Data_Izd) VALUES (3, 'dt50', 'Не пали', "
                      "'2009-06-01')");
        execSql(
            db(),
            "INSERT INTO R_Remont (N_Priem, Remont, Kol, ED_Cena) VALUES (3, 'Смяна на захранване', 1, 20)");
        const SqlStatement repairs = repairsOfDeviceStatement("dt50");
        const SqlRows done = readRows(db(), repairs.text, repairs.values);
        QCOMPARE(done.rows.size(), 1);
        QCOMPARE(firstRow(done, "Remont").toString(), QString("Смяна на захранване"));
    }

    void contractPeriod_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("months");
        QTest::addColumn<QDate>("end");
        QTest::newRow("a year") << QDate(2009, 3, 5) << 12 << QDate(2010, 3, 4);
        QTest::newRow("a leap year") << QDate(2008, 3, 1) << 12 << QDate(2009, 2, 28);
        QTest::newRow("no months") << QDate(2009, 3, 5) << 0 << QDate();
        QTest::newRow("no start") << QDate() << 12 << QDate();
    }
    void contractPeriod() {
        QFETCH(QDate, start);
        QFETCH(int, months);
        QFETCH(QDate, end);
        QCOMPARE(contractEnd(start, months), end);
    }

    // A fiscal-service document fed with the device in the field: its data
    // fields name the device's columns, the service centre's through its
    // alias; a device not registered gives an empty document.
    void deviceDocument() {
        QVERIFY(registerDevice(db(), registration("DT60"), contract(), {}, 1, {}).stored);
        auto field = [](const QString& set, const QString& column) {
            ReportElement e;
            e.kind = ElementKind::DataField;
            e.name = set + column;
            e.band = ReportBand::Detail;
            e.dataSet = set;
            e.dataField = column;
            return e;
        };
        ReportTemplate t;
        t.name = "Регистрация ЕКА";
        t.detailHeight = 20;
        t.elements = {field("Reg_EKA.db", "EKA"), field("Firmi", "Ime_Firma"), field("Serv", "Ime_Firma"),
                      field("Reg_EKA", "TDD_Ime"), field("Dogovor", "Valid_Do")};
        const QString dir = fx_->session().programDir.documentationsDir();
        saveTemplate(db(), dir, t, {}, "0");
        PrintRequest r;
        r.context = PrintContext::FiscalService;
        r.templateDir = dir;
        r.rows = [](const QSqlDatabase& db) { return deviceReportData(db, "dt60"); };
        const PreparedDocument doc = prepareDocument(db(), r, t.name, {});
        QVERIFY(!doc.empty());
        QStringList printed;
        for (const ReportElement& e : doc.report.elements)
            printed << doc.data.rows.value(0).value(doc.data.columnOf(e)).toString();
        QCOMPARE(printed, (QStringList{"DT60", "Роза ЕООД", "Касов сервиз ООД", "ТДД София", "2010-03-04"}));
        r.rows = [](const QSqlDatabase& db) { return deviceReportData(db, "DT61"); };
        QVERIFY(prepareDocument(db(), r, t.name, {}).empty());
    }

    void dismantlingTotals() {
        DismantlingTotals t;
        QCOMPARE(t.totalText(), QString("0.00"));
        const QStringList typed{"1.5", "2.25", "0", "0"};
        for (int i = 0; i < 4; ++i)
            t.amounts[i] = *dismantlingAmount(typed[i]);
        QCOMPARE(t.totalText(), QString("3.75"));
        QCOMPARE(t.totalWords(), QString("три лева и 75 стотинки "));
        QCOMPARE(*dismantlingAmount("12,50"), Decimal("12.5"));
        QVERIFY(!dismantlingAmount("12.5лв"));
        QVERIFY(!dismantlingAmount(""));
    }
};

QTEST_GUILESS_MAIN(FiscalLogicTest)
#include "test_fiscal_logic.moc"
