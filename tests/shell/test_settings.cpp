// Firm_Data.ini through the typed settings: the readers' defaults, the
// names the table knows, one save for several values, the change signals,
// and a file that cannot be read.

#include "common/dates.h"
#include "common/errors.h"
#include "shell/autostart.h"
#include "shell/firm_data.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

using namespace torvika;

namespace {

QByteArray utf8(const char* text) {
    return QByteArray(text);
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("Firm_Data.ini")); }
    void write(const QByteArray& bytes) {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray content() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    // The directory chooser opens on the nearest directory that exists; the
    // autostart entry runs the program whatever its path holds.
    void directoriesAndAutostart() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("Fiscal/Kasa"));
        QCOMPARE(nearestExistingDirectory(dir.path() + "/Fiscal/Kasa", "/"), dir.path() + "/Fiscal/Kasa");
        QCOMPARE(nearestExistingDirectory(dir.path() + "/Fiscal/Няма/Още", "/"), dir.path() + "/Fiscal");
        QCOMPARE(nearestExistingDirectory("Fiscal/Няма", dir.path()), dir.path() + "/Fiscal");
        QCOMPARE(nearestExistingDirectory("", dir.path()), dir.path());
        QCOMPARE(autostartEntryText("/opt/my \"shop\"/torvika"),
                 QStringLiteral("[Desktop Entry]\nType=Application\nName=ТОРВИКА\n"
                                "Exec=\"/opt/my \\\"shop\\\"/torvika\"\nX-GNOME-Autostart-enabled=true\n"));
    }

    void init() { QFile::remove(path()); }

    // Each key of the table once, whatever the case of its names, and
    // found again by its names; a key that is no setting is a mistake.
    void everyKeyOnce() {
        QSet<QString> seen;
        for (const SettingSpec& s : Settings::table()) {
            const QString name =
                QString::fromUtf16(s.section).toLower() + u'/' + QString::fromUtf16(s.key).toLower();
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen << name;
            QCOMPARE(Settings::find(QString::fromUtf16(s.section).toUpper(), QString::fromUtf16(s.key)),
                     s.id);
        }
        QCOMPARE(Settings::find("dbver", "TERM"), SettingId::Terminal);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, Settings::find("Tuning", "9"));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, Settings::find("Tunning", "20"));
    }

    // What a reader gets from what the file holds: the table's default for
    // a missing key or a number that is none, names matched without regard
    // to case.
    void readersDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("pos");
        QTest::addColumn<QString>("receipts");
        QTest::addColumn<int>("terminal");
        QTest::newRow("no file") << QByteArray() << 2 << false << "C:\\Temp" << 1;
        QTest::newRow("other case")
            << utf8("[VALUES]\r\n9=4\r\n[tuning]\r\n20=1\r\n19=Bons\r\n[dbver]\r\nterm=3\r\n") << 4 << true
            << "Bons" << 3;
        QTest::newRow("not numbers") << utf8("[Values]\r\n9=две\r\n[Tuning]\r\n20=да\r\n[DBVer]\r\nTerm=\r\n")
                                     << 2 << false << "C:\\Temp" << 1;
        QTest::newRow("blanks and any non-zero")
            << utf8("[Values]\r\n9= 3 \r\n[Tuning]\r\n20=-1\r\n19=\r\n") << 3 << true << "" << 1;
    }
    void readersDefaults() {
        QFETCH(QByteArray, file);
        QFETCH(int, decimals);
        QFETCH(bool, pos);
        QFETCH(QString, receipts);
        QFETCH(int, terminal);
        if (!file.isNull())
            write(file);
        const Settings settings(path());
        QCOMPARE(settings.get(setting::kAmountDecimals), decimals);
        QCOMPARE(settings.get(setting::kPointOfSaleMode), pos);
        QCOMPARE(settings.get(setting::kReceiptDirectory), receipts);
        QCOMPARE(settings.get(setting::kTerminal), terminal);
        const QDate today(2026, 12, 9);
        QCOMPARE(settings.lastWorkingDateText(today), shortDate(today));
    }

    // Several values in one save: every other line stays as it was, and
    // a change is said once the file holds it, only for a value that is
    // another now.
    void severalValuesInOneSave() {
        write(utf8("; kept\r\n[Tuning]\r\n20=1\r\nextra=x\r\n[Values]\r\n9=2\r\n"));
        Settings settings(path());
        QSignalSpy changed(&settings, &Settings::changed);
        QList<QByteArray> seenByListener;
        connect(&settings, &Settings::changed, this, [&] { seenByListener << content(); });
        Settings::Changes c;
        c.set(setting::kPointOfSaleMode, true)       // the same
            .set(setting::kAmountDecimals, 2)        // the same
            .set(setting::kTerminal, 1)              // missing, the default: the same for readers
            .set(setting::kShutdownAtExit, true)     // new
            .set(setting::kCompanyName, "Алфа ЕООД") // new section
            .setText(SettingId::FiscalDeviceType, "14: ДАТЕКС - Фискален принтер FP 3530");
        settings.save(c);
        const QByteArray expected =
            utf8("; kept\r\n[Tuning]\r\n20=1\r\nextra=x\r\n13=1\r\n24=14: ДАТЕКС - Фискален "
                 "принтер FP 3530\r\n[Values]\r\n9=2\r\n[DBVer]\r\nTerm=1\r\n[Firm_Data]\r\n"
                 "Name=Алфа ЕООД\r\n");
        QCOMPARE(content(), expected);
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed[0][0].value<SettingId>(), SettingId::CompanyName);
        QCOMPARE(changed[1][0].value<SettingId>(), SettingId::ShutdownAtExit);
        QCOMPARE(changed[2][0].value<SettingId>(), SettingId::FiscalDeviceType);
        QCOMPARE(seenByListener, QList<QByteArray>(3, expected));

        changed.clear();
        settings.remove(SettingId::ShutdownAtExit);
        QCOMPARE(settings.get(setting::kShutdownAtExit), false);
        QCOMPARE(changed.size(), 1);
        settings.set(setting::kAmountDecimals, 4);
        settings.set(setting::kAmountDecimals, 4);
        QCOMPARE(changed.size(), 2);
    }

    // A file that is there but cannot be read answers no default and is
    // never written over; nothing is said to have changed.
    void unreadableFileIsAnError() {
        const QByteArray kept = utf8("[Store]\r\nActive=3\r\n");
        write(kept);
        Settings settings(path(), [](const QString& p) -> std::optional<QByteArray> {
            throw EInOutError(QStringLiteral("Входно-изходна грешка при четене на ") + p);
        });
        QSignalSpy changed(&settings, &Settings::changed);
        QVERIFY_THROWS_EXCEPTION(EInOutError, settings.get(setting::kActiveWarehouse));
        QVERIFY_THROWS_EXCEPTION(EInOutError, settings.set(setting::kActiveWarehouse, 5));
        QVERIFY_THROWS_EXCEPTION(EInOutError, settings.setLastWorkingDate(QDate(2026, 12, 9)));
        QCOMPARE(content(), kept);
        QCOMPARE(changed.size(), 0);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
