// Creating, updating and switching company databases.

#include "common/sql.h"
#include "shell/company_databases.h"
#include "shell/nts_script.h"
#include "shell/version.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

class CompanyDatabasesTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesDataDatabase() {
        test::Fixture fx;
        QVERIFY(isCompanyDatabase(fx.root() + "Data"));
        QCOMPARE(fx.session().workspace.directory(), QDir::cleanPath(fx.root() + "Data"));
        QCOMPARE(storedDatabaseVersion(fx.db()), fileVersion().releaseNumber());
        QCOMPARE(fx.firmData().dbVerText(), QString::number(fileVersion().releaseNumber()));
        QCOMPARE(test::Fixture::readFile(fx.root() + "Data/Opis.pdt"), QStringLiteral("Всички артикули\r\n").toUtf8());
        // The alias is created once and kept.
        EngineConfig cfg(fx.session().programDir.engineConfig());
        QVERIFY(cfg.hasAlias("Service"));
        QCOMPARE(cfg.alias("Service").path, QDir::cleanPath(fx.root() + "Data"));
    }
};

QTEST_GUILESS_MAIN(CompanyDatabasesTest)
#include "test_company_databases.moc"
