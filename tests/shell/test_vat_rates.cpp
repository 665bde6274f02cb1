// The VAT rates of the tax groups: kept once for the company in its
// database, the same for every workstation; none for a company not
// registered for VAT; an older database gets the table from the update.

#include "common/errors.h"
#include "common/sql.h"
#include "common/texts.h"
#include "shell/company_databases.h"
#include "shell/nts_script.h"
#include "shell/vat_rates.h"
#include "shell/version.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

class VatRatesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    QSqlDatabase db() { return fx_->db(); }

    static VatRates rates(int a, int b, int v, int g) {
        VatRates r;
        r.groups = {Decimal(a), Decimal(b), Decimal(v), Decimal(g)};
        return r;
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        fx_->firmData().writeString("Firm_Data", "DDS", "20");
    }
    void cleanup() { fx_.reset(); }

    // A new company has А 0 %, Б 20 %, В 20 %, Г 9 %; a rate set on one
    // workstation is the rate of every other at once; a company whose DDS
    // is 0 charges no VAT in any group.
    void ratesOfTheCompany() {
        QCOMPARE(companyVatRates(fx_->session()), VatRates::defaults());
        setVatRates(db(), rates(0, 20, 20, 20));
        {
            QSqlDatabase other = fx_->openWorkstation("other till");
            QCOMPARE(storedVatRates(other), rates(0, 20, 20, 20));
        }
        QSqlDatabase::removeDatabase("other till");
        fx_->firmData().writeString("Firm_Data", "DDS", "0");
        QCOMPARE(companyVatRates(fx_->session()), VatRates::uniform(0));
    }

    // Rates outside 0 to 100 are refused, stored or given.
    void badRates() {
        QVERIFY_THROWS_EXCEPTION(EConvertError, setVatRates(db(), rates(0, 20, 101, 9)));
        QVERIFY_THROWS_EXCEPTION(EConvertError, setVatRates(db(), rates(-1, 20, 20, 9)));
        QCOMPARE(storedVatRates(db()), VatRates::defaults());
        execSql(db(), "UPDATE Dan_Grupi SET Stavka = -5 WHERE ID = 3");
        try {
            companyVatRates(fx_->session());
            QFAIL("no exception");
        } catch (const EConvertError& e) {
            QCOMPARE(e.message(), texts::kGroupRateInvalid.arg("Г", "-5"));
        }
    }

    // A database from before the rates were kept: the defaults until the
    // update, which adds the table with them and keeps rates already set.
    void olderDatabase() {
        execScriptStatement(db(), "DROP TABLE Dan_Grupi");
        QCOMPARE(companyVatRates(fx_->session()), VatRates::defaults());
        const int release = fileVersion().releaseNumber();
        storeDatabaseVersion(db(), release - 1);
        fx_->settings().set(setting::kDatabaseVersion, QString::number(release - 1));
        DbOperationResult r = updateCompanyDatabase(fx_->session(), fx_->session().programDir.sqlsDir());
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(storedVatRates(db()), VatRates::defaults());
        execSql(db(), "UPDATE Dan_Grupi SET Stavka = 20 WHERE ID = 3");
        r = updateCompanyDatabase(fx_->session(), fx_->session().programDir.sqlsDir());
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(storedVatRates(db()).of(3), Decimal(20));
    }
};

QTEST_GUILESS_MAIN(VatRatesTest)
#include "test_vat_rates.moc"
