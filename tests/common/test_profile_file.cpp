// Profile (INI) files: lookups, writes that keep the rest of the file, the two
// encodings, and files that are damaged.

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/profile_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <stdexcept>

using namespace torvika;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray utf8(const char* text) {
    return QByteArray(text);
}

} // namespace

class ProfileFileTest : public QObject {
    Q_OBJECT
private slots:
    void readString_data();
    void readString();
    void readNumbers_data();
    void readNumbers();
    void missingFileGivesDefaults();
    void listsSectionsAndKeys();
    void write_data();
    void write();
    void firstWriteCreatesFile();
    void writeToImpossiblePathThrows();
    void unreadableFileIsAnError_data();
    void unreadableFileIsAnError();
    void failedReadIsNeverWrittenOver_data();
    void failedReadIsNeverWrittenOver();
    void deleteKeyAndSectionKeepTheRest();
    void writeNumbersReadBack();

private:
    QTemporaryDir dir_;
};

void ProfileFileTest::readString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString def = QStringLiteral("<def>");
    static const char garbage[] = "\x00\xFF\xFE[\x01=\x02\n\x9A\x00]\r\n[S\x00]\r\n\x80K\x00=1";
    QTest::newRow("plain") << utf8("[Store]\r\nActive=3\r\n") << "Store"
                           << "Active"
                           << "3";
    QTest::newRow("section case") << utf8("[DBVer]\r\nVer=23\r\n") << "DBVEr"
                                  << "Ver"
                                  << "23";
    QTest::newRow("key case") << utf8("[Firm_Data]\r\nBank=ОББ\r\n") << "firm_data"
                              << "BANK"
                              << "ОББ";
    QTest::newRow("cyrillic section case") << utf8("[Оператор: Иван]\r\nCounts=4\r\n") << "ОПЕРАТОР: иван"
                                           << "counts"
                                           << "4";
    QTest::newRow("cyrillic key case") << utf8("[S]\r\nКлюч=стойност\r\n") << "S"
                                       << "кЛЮЧ"
                                       << "стойност";
    QTest::newRow("duplicate key: first wins") << utf8("[S]\r\nK=first\r\nk=second\r\n") << "S"
                                               << "K"
                                               << "first";
    QTest::newRow("duplicate section: first wins")
        << utf8("[S]\r\nK=first\r\n[Other]\r\nK=other\r\n[s]\r\nK=second\r\n") << "S"
        << "K"
        << "first";
    QTest::newRow("key only in a later duplicate section") << utf8("[S]\r\nA=1\r\n[s]\r\nB=2\r\n") << "S"
                                                           << "B" << def;
    QTest::newRow("blanks around key and value") << utf8("[ S ]\r\n   K   =   v a l   \r\n") << "S"
                                                 << "K"
                                                 << "v a l";
    QTest::newRow("quotes removed") << utf8("[S]\r\nK=\"  x  \"\r\n") << "S"
                                    << "K"
                                    << "  x  ";
    QTest::newRow("lone quote kept") << utf8("[S]\r\nK=\"\r\n") << "S"
                                     << "K"
                                     << "\"";
    QTest::newRow("unbalanced quote kept") << utf8("[S]\r\nK=\"abc\r\n") << "S"
                                           << "K"
                                           << "\"abc";
    QTest::newRow("equals sign in value") << utf8("[S]\r\nSQL=SELECT * FROM T WHERE A=1\r\n") << "S"
                                          << "SQL"
                                          << "SELECT * FROM T WHERE A=1";
    QTest::newRow("empty value is not missing") << utf8("[S]\r\nK=\r\n") << "S"
                                                << "K"
                                                << "";
    QTest::newRow("missing key") << utf8("[S]\r\nK=1\r\n") << "S"
                                 << "Other" << def;
    QTest::newRow("missing section") << utf8("[S]\r\nK=1\r\n") << "T"
                                     << "K" << def;
    QTest::newRow("commented key") << utf8("[S]\r\n;K=1\r\n") << "S"
                                   << "K" << def;
    QTest::newRow("key before any section") << utf8("K=1\r\n[S]\r\n") << "S"
                                            << "K" << def;
    QTest::newRow("key of the next section") << utf8("[S]\r\n[T]\r\nK=1\r\n") << "S"
                                             << "K" << def;
    QTest::newRow("LF line ends") << utf8("[S]\nA=1\nK=2\n") << "S"
                                  << "K"
                                  << "2";
    QTest::newRow("no final line end") << utf8("[S]\r\nK=2") << "S"
                                       << "K"
                                       << "2";
    QTest::newRow("UTF-8 BOM") << utf8("\xEF\xBB\xBF[Store]\r\nActive=5\r\n") << "Store"
                               << "Active"
                               << "5";
    QTest::newRow("Windows-1251 script") << toCp1251(u"[1]\r\nSQL=INSERT INTO Grupi VALUES (1, \"Всички "
                                                     u"артикули\")\r\n[Раздел]\r\nКлюч=Чаша №5\r\n")
                                         << "1"
                                         << "sql"
                                         << "INSERT INTO Grupi VALUES (1, \"Всички артикули\")";
    QTest::newRow("Windows-1251 cyrillic names")
        << toCp1251(u"[1]\r\nSQL=x\r\n[Раздел]\r\nКлюч=Чаша №5\r\n") << "раздел"
        << "КЛЮЧ"
        << "Чаша №5";
    QTest::newRow("binary garbage") << QByteArray(garbage, sizeof garbage - 1) << "S"
                                    << "K" << def;
    QTest::newRow("lines without equals sign") << utf8("[S]\r\njunk\r\nK\r\nK=1\r\n") << "S"
                                               << "K"
                                               << "1";
    QTest::newRow("bracket never closed") << utf8("[Store\r\nActive=3\r\n") << "Store"
                                          << "Active" << def;
    QTest::newRow("bracket never closed ends the section") << utf8("[S]\r\nA=1\r\n[Broken\r\nK=3\r\n") << "S"
                                                           << "K" << def;
    QTest::newRow("text after the header") << utf8("[S] ; note\r\nK=1\r\n") << "S"
                                           << "K"
                                           << "1";
}

void ProfileFileTest::readString() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = dir_.filePath(QStringLiteral("read.ini"));
    writeAll(path, content);
    ProfileFile ini(path);
    QCOMPARE(ini.readString(section, key, QStringLiteral("<def>")), expected);
    QCOMPARE(ini.hasKey(section, key), expected != QStringLiteral("<def>"));
    // The index of large files answers as the text does.
    const ProfileIndex index(ProfileData::parse(content));
    QCOMPARE(index.value(section, key, QStringLiteral("<def>")), expected);
    QCOMPARE(index.hasKey(section, key), expected != QStringLiteral("<def>"));
    QCOMPARE(index.hasSection(section), ProfileData::parse(content).hasSection(section));
}

void ProfileFileTest::readNumbers_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("integer"); // read with the default 77
    QTest::addColumn<bool>("withFalse");
    QTest::addColumn<bool>("withTrue");

    QTest::newRow("zero") << utf8("K=0") << 0 << false << false;
    QTest::newRow("one") << utf8("K=1") << 1 << true << true;
    QTest::newRow("other non-zero") << utf8("K=2") << 2 << true << true;
    QTest::newRow("negative") << utf8("K= -3 ") << -3 << true << true;
    QTest::newRow("quoted") << utf8("K=\"12\"") << 12 << true << true;
    QTest::newRow("empty") << utf8("K=") << 77 << false << true;
    QTest::newRow("word") << utf8("K=True") << 77 << false << true;
    QTest::newRow("trailing letters") << utf8("K=12abc") << 77 << false << true;
    QTest::newRow("decimal") << utf8("K=1.5") << 77 << false << true;
    QTest::newRow("too large") << utf8("K=99999999999") << 77 << false << true;
    QTest::newRow("missing") << utf8("Other=1") << 77 << false << true;
}

void ProfileFileTest::readNumbers() {
    QFETCH(QByteArray, line);
    QFETCH(int, integer);
    QFETCH(bool, withFalse);
    QFETCH(bool, withTrue);
    const QString path = dir_.filePath(QStringLiteral("numbers.ini"));
    writeAll(path, "[Tuning]\r\n" + line + "\r\n");
    ProfileFile ini(path);
    QCOMPARE(ini.readInteger(QStringLiteral("Tuning"), QStringLiteral("K"), 77), integer);
    QCOMPARE(ini.readBool(QStringLiteral("Tuning"), QStringLiteral("K"), false), withFalse);
    QCOMPARE(ini.readBool(QStringLiteral("Tuning"), QStringLiteral("K"), true), withTrue);
}

void ProfileFileTest::missingFileGivesDefaults() {
    ProfileFile ini(dir_.filePath(QStringLiteral("none/Firm_Data.ini")));
    QCOMPARE(ini.readString(QStringLiteral("Store"), QStringLiteral("ActiveOper"), QStringLiteral("x")),
             QStringLiteral("x"));
    QCOMPARE(ini.readInteger(QStringLiteral("Values"), QStringLiteral("9"), 2), 2);
    QCOMPARE(ini.readBool(QStringLiteral("Tuning"), QStringLiteral("20"), true), true);
    QVERIFY(!ini.sectionExists(QStringLiteral("Store")));
    QVERIFY(ini.readSections().isEmpty());
    QVERIFY(!QFile::exists(ini.path()));
}

void ProfileFileTest::listsSectionsAndKeys() {
    const QString path = dir_.filePath(QStringLiteral("lists.ini"));
    writeAll(path, "[A]\r\nx=1\r\ny=2\r\n[Broken\r\nz=3\r\n[B]\r\n[a]\r\nw=4\r\n");
    ProfileFile ini(path);
    QCOMPARE(ini.readSections(), QStringList({"A", "B"}));
    QCOMPARE(ini.readSection(QStringLiteral("a")), QStringList({"x", "y"}));
    QVERIFY(ini.sectionExists(QStringLiteral("b")));
    QVERIFY(!ini.sectionExists(QStringLiteral("Broken")));
}

void ProfileFileTest::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("update in place keeps everything else")
        << utf8("; settings\r\n\r\n[Firm_Data]\r\nName=Фирма\r\n; phone "
                "below\r\nPhone=123\r\n\r\n[Store]\r\nActive=1\r\n")
        << "Store"
        << "Active"
        << "4"
        << utf8("; settings\r\n\r\n[Firm_Data]\r\nName=Фирма\r\n; phone "
                "below\r\nPhone=123\r\n\r\n[Store]\r\nActive=4\r\n");
    QTest::newRow("update keeps the file's spelling of the names")
        << utf8("[DBVer]\r\nVer=22\r\nDate=0\r\n") << "DBVEr"
        << "VER"
        << "23" << utf8("[DBVer]\r\nVer=23\r\nDate=0\r\n");
    QTest::newRow("update of a cyrillic key")
        << utf8("[Оператор: Иван]\r\nCounts=3\r\n0=Ctrl+N\r\n") << "оператор: ИВАН"
        << "COUNTS"
        << "5" << utf8("[Оператор: Иван]\r\nCounts=5\r\n0=Ctrl+N\r\n");
    QTest::newRow("new key after the last non-empty line")
        << utf8("[A]\r\nx=1\r\n; end of A\r\n\r\n\r\n[B]\r\ny=2\r\n") << "A"
        << "z"
        << "3" << utf8("[A]\r\nx=1\r\n; end of A\r\nz=3\r\n\r\n\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key in the last section") << utf8("[A]\r\nx=1\r\n\r\n") << "a"
                                                 << "z"
                                                 << "3" << utf8("[A]\r\nx=1\r\nz=3\r\n\r\n");
    QTest::newRow("new key in an empty section") << utf8("[A]\r\n[B]\r\ny=2\r\n") << "A"
                                                 << "z"
                                                 << "3" << utf8("[A]\r\nz=3\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new section at the end") << utf8("[A]\r\nx=1\r\n") << "Store"
                                            << "Active"
                                            << "2" << utf8("[A]\r\nx=1\r\n[Store]\r\nActive=2\r\n");
    QTest::newRow("empty file") << QByteArray() << "S"
                                << "K"
                                << "v" << utf8("[S]\r\nK=v\r\n");
    QTest::newRow("LF line ends stay LF") << utf8("[A]\nx=1\n\n[B]\ny=2\n") << "A"
                                          << "x"
                                          << "9" << utf8("[A]\nx=9\n\n[B]\ny=2\n");
    QTest::newRow("duplicate key: only the first changes") << utf8("[A]\r\nx=1\r\nX=2\r\n") << "A"
                                                           << "x"
                                                           << "5" << utf8("[A]\r\nx=5\r\nX=2\r\n");
    QTest::newRow("duplicate section: the first gets the key")
        << utf8("[A]\r\nx=1\r\n[a]\r\ny=2\r\n") << "A"
        << "y"
        << "5" << utf8("[A]\r\nx=1\r\ny=5\r\n[a]\r\ny=2\r\n");
    QTest::newRow("quoted value replaced") << utf8("[A]\r\nx = \"old\"\r\n") << "A"
                                           << "x"
                                           << "new" << utf8("[A]\r\nx=new\r\n");
    QTest::newRow("Windows-1251 file rewritten as UTF-8")
        << toCp1251(u"[Firm_Data]\r\nName=Чаша ЕООД\r\nMol=Иван\r\n") << "Firm_Data"
        << "Mol"
        << "Петър" << utf8("[Firm_Data]\r\nName=Чаша ЕООД\r\nMol=Петър\r\n");
    QTest::newRow("BOM kept") << utf8("\xEF\xBB\xBF[A]\r\nx=1\r\n") << "A"
                              << "x"
                              << "2" << utf8("\xEF\xBB\xBF[A]\r\nx=2\r\n");
    QTest::newRow("no final line end") << utf8("[A]\r\nx=1") << "A"
                                       << "y"
                                       << "2" << utf8("[A]\r\nx=1\r\ny=2\r\n");
    QTest::newRow("bracket never closed is kept")
        << utf8("[A]\r\nx=1\r\n[Store\r\nActive=3\r\n") << "Store"
        << "Active"
        << "5" << utf8("[A]\r\nx=1\r\n[Store\r\nActive=3\r\n[Store]\r\nActive=5\r\n");
    QTest::newRow("key added before a broken header")
        << utf8("[A]\r\nx=1\r\n[Broken\r\ny=3\r\n") << "A"
        << "y"
        << "5" << utf8("[A]\r\nx=1\r\ny=5\r\n[Broken\r\ny=3\r\n");
}

void ProfileFileTest::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = dir_.filePath(QStringLiteral("write.ini"));
    writeAll(path, before);
    ProfileFile ini(path);
    ini.writeString(section, key, value);
    QCOMPARE(readAll(path), after);
    QCOMPARE(ini.readString(section, key, QStringLiteral("<def>")), value);
}

void ProfileFileTest::firstWriteCreatesFile() {
    const QString path = dir_.filePath(QStringLiteral("Firm_Data.ini"));
    QFile::remove(path);
    ProfileFile ini(path);
    ini.writeString(QStringLiteral("Store"), QStringLiteral("ActiveOper"), QStringLiteral("Иван"));
    ini.writeBool(QStringLiteral("Tuning"), QStringLiteral("20"), true);
    QCOMPARE(readAll(path), utf8("[Store]\r\nActiveOper=Иван\r\n[Tuning]\r\n20=1\r\n"));
}

void ProfileFileTest::writeToImpossiblePathThrows() {
    ProfileFile ini(dir_.filePath(QStringLiteral("no such dir/Firm_Data.ini")));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             ini.writeString(QStringLiteral("S"), QStringLiteral("K"), "v"));
}

// The readers and writers of a profile file, each run on one file.
using Operation = std::function<void(ProfileFile&)>;
Q_DECLARE_METATYPE(Operation)

namespace {

void addReaders() {
    QTest::newRow("readString") << Operation([](ProfileFile& f) { f.readString("Store", "Active", "1"); });
    QTest::newRow("readInteger") << Operation([](ProfileFile& f) { f.readInteger("Values", "9", 2); });
    QTest::newRow("readBool") << Operation([](ProfileFile& f) { f.readBool("Tuning", "20", false); });
    QTest::newRow("hasKey") << Operation([](ProfileFile& f) { f.hasKey("Store", "Active"); });
    QTest::newRow("sectionExists") << Operation([](ProfileFile& f) { f.sectionExists("Store"); });
    QTest::newRow("readSections") << Operation([](ProfileFile& f) { f.readSections(); });
    QTest::newRow("readSection") << Operation([](ProfileFile& f) { f.readSection("Store"); });
    QTest::newRow("load") << Operation([](ProfileFile& f) { f.load(); });
}

void addWriters() {
    QTest::newRow("writeString") << Operation(
        [](ProfileFile& f) { f.writeString("TIME", "Last", "01.02.2025"); });
    QTest::newRow("writeInteger") << Operation([](ProfileFile& f) { f.writeInteger("DBVer", "Ver", 24); });
    QTest::newRow("writeBool") << Operation([](ProfileFile& f) { f.writeBool("Tuning", "20", true); });
    QTest::newRow("deleteKey") << Operation([](ProfileFile& f) { f.deleteKey("Store", "Active"); });
    QTest::newRow("eraseSection") << Operation([](ProfileFile& f) { f.eraseSection("Store"); });
    QTest::newRow("update") << Operation([](ProfileFile& f) {
        f.update([](ProfileData& d) {
            d.setValue("TIME", "Last", "01.02.2025");
            d.setValue("Store", "ActiveOper", "Мария");
        });
    });
}

} // namespace

// Something at the file's path that cannot be read is not a missing file:
// no reader answers with its default and no writer replaces it.
void ProfileFileTest::unreadableFileIsAnError_data() {
    QTest::addColumn<Operation>("operation");
    addReaders();
    addWriters();
}

void ProfileFileTest::unreadableFileIsAnError() {
    QFETCH(Operation, operation);
    const QString path = dir_.filePath(QStringLiteral("dir-in-place/Firm_Data.ini"));
    QVERIFY(QDir().mkpath(path));
    ProfileFile ini(path);
    QVERIFY_THROWS_EXCEPTION(EInOutError, operation(ini));
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QDir(path).isEmpty());
}

// A read that fails half-way (an I/O error of the disk or the network)
// must not turn a write into a new file holding one key.
void ProfileFileTest::failedReadIsNeverWrittenOver_data() {
    QTest::addColumn<Operation>("operation");
    addWriters();
}

void ProfileFileTest::failedReadIsNeverWrittenOver() {
    QFETCH(Operation, operation);
    const QString path = dir_.filePath(QStringLiteral("io-error.ini"));
    const QByteArray content = "[Firm_Data]\r\nName=Фирма\r\n[Store]\r\nActive=3\r\nActiveOper=Иван\r\n"
                               "[TIME]\r\nLast=01.01.2025\r\n";
    writeAll(path, content);
    ProfileFile ini(path, [](const QString& p) -> std::optional<QByteArray> {
        throw EInOutError(QStringLiteral("Входно-изходна грешка при четене на ") + p);
    });
    QVERIFY_THROWS_EXCEPTION(EInOutError, operation(ini));
    QCOMPARE(readAll(path), content);
}

void ProfileFileTest::deleteKeyAndSectionKeepTheRest() {
    const QString path = dir_.filePath(QStringLiteral("delete.ini"));
    writeAll(path, "; top\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ProfileFile ini(path);
    ini.deleteKey(QStringLiteral("a"), QStringLiteral("X"));
    ini.deleteKey(QStringLiteral("A"), QStringLiteral("missing"));
    ini.eraseSection(QStringLiteral("b"));
    ini.eraseSection(QStringLiteral("missing"));
    QCOMPARE(readAll(path), utf8("; top\r\n[A]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n"));
}

void ProfileFileTest::writeNumbersReadBack() {
    const QString path = dir_.filePath(QStringLiteral("numbers-rw.ini"));
    QFile::remove(path);
    ProfileFile ini(path);
    ini.writeInteger(QStringLiteral("Values"), QStringLiteral("9"), -3);
    ini.writeBool(QStringLiteral("Tuning"), QStringLiteral("1"), false);
    ini.writeBool(QStringLiteral("Tuning"), QStringLiteral("2"), true);
    QCOMPARE(ini.readInteger(QStringLiteral("values"), QStringLiteral("9"), 2), -3);
    QCOMPARE(ini.readBool(QStringLiteral("TUNING"), QStringLiteral("1"), true), false);
    QCOMPARE(ini.readBool(QStringLiteral("tuning"), QStringLiteral("2"), false), true);
    QCOMPARE(readAll(path), utf8("[Values]\r\n9=-3\r\n[Tuning]\r\n1=0\r\n2=1\r\n"));
}

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "test_profile_file.moc"
