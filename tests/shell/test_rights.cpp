// Rights strings, the rights tree's click rules, passwords and the login
// check, shortcut texts and the per-operator shortcut sections.

#include "common/errors.h"
#include "common/sql.h"
#include "shell/menu_tree.h"
#include "shell/operators.h"
#include "shell/rights.h"
#include "shell/shortcut_text.h"
#include "support/fixture.h"

#include <QTest>

using namespace torvika;

namespace {

// One letter per node: L leave, E enable, D disable.
QString changeCodes(const QList<RightChange>& changes) {
    QString s;
    for (RightChange c : changes)
        s += c == RightChange::Leave ? u'L' : c == RightChange::Enable ? u'E' : u'D';
    return s;
}

QString rightsDenying(const QList<int>& nodes, int count = menuTreeNodeCount()) {
    QList<bool> denied(count, false);
    for (int n : nodes)
        denied[n] = true;
    return buildRightsString(denied);
}

QList<int> deniedList(const QList<bool>& denied) {
    QList<int> result;
    for (int n = 0; n < denied.size(); ++n)
        if (denied[n])
            result.append(n);
    return result;
}

QList<int> range(int from, int to) {
    QList<int> r;
    for (int n = from; n <= to; ++n)
        r.append(n);
    return r;
}

} // namespace

class RightsTest : public QObject {
    Q_OBJECT
private slots:
    void getRights_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("two entries") << "0=0,1=1," << QStringList{"0=0", "1=1"};
        QTest::newRow("text after the last comma ignored") << "0=0,1=1" << QStringList{"0=0"};
        QTest::newRow("no comma") << "0=0" << QStringList{};
        QTest::newRow("empty entries kept") << ",5=1," << QStringList{"", "5=1"};
    }
    void getRights() {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QCOMPARE(GETRIGHTS(text), entries);
    }

    void setMenuVisible_data() {
        QTest::addColumn<QString>("rights");
        QTest::addColumn<int>("nodeCount");
        QTest::addColumn<QString>("codes");
        QTest::newRow("empty string leaves all") << "" << 6 << "LLLLLL";
        QTest::newRow("root never applied") << "0=1,1=0,2=1,3=0,4=0,5=0," << 6 << "LEDEEE";
        // Node n is applied for n up to the number of entries - 1.
        QTest::newRow("short string leaves higher nodes") << "0=0,1=1,2=1," << 6 << "LDDLLL";
        QTest::newRow("malformed value ends the walk") << "0=0,1=1,2=x,3=1,4=1,5=1," << 6 << "LDLLLL";
        QTest::newRow("missing entry ends the walk") << "0=0,1=1,3=1,4=1,5=1,6=1," << 6 << "LDLLLL";
        QTest::newRow("other numbers leave and go on") << "0=0,1=2,2=-1,3=1,4=0,5=0," << 6 << "LLLDEE";
        QTest::newRow("entries beyond the tree end the walk")
            << "0=0,1=1,2=1,3=1,4=1,5=1,6=1,7=1," << 4 << "LDDD";
        QTest::newRow("entries found by name") << "0=0,2=1,1=0,3=1," << 4 << "LEDD";
    }
    void setMenuVisible() {
        QFETCH(QString, rights);
        QFETCH(int, nodeCount);
        QFETCH(QString, codes);
        QCOMPARE(changeCodes(SetMenuVisible(GETRIGHTS(rights), nodeCount)), codes);
    }

    void fullStringDenyingOneCommand() {
        const QList<RightChange> changes =
            SetMenuVisible(GETRIGHTS(rightsDenying({19})), menuTreeNodeCount());
        QString expected = u'L' + QString(menuTreeNodeCount() - 1, u'E');
        expected[19] = u'D';
        QCOMPARE(changeCodes(changes), expected);
        QCOMPARE(menuNodeNumber("N_Artikuli"), 19);
    }

    void rightsStringFormat() {
        const QString all = allAllowedRights(menuTreeNodeCount());
        QVERIFY(all.startsWith("0=0,1=0,2=0,"));
        QVERIFY(all.endsWith(",139=0,"));
        QCOMPARE(GETRIGHTS(all).size(), 140);
        QVERIFY(rightsDenying({2}).startsWith("0=0,1=0,2=1,3=0,"));
        // What the tree shows reads back what it saved.
        const QList<bool> flags = deniedFlags(GETRIGHTS(rightsDenying({0, 18, 139})), menuTreeNodeCount());
        QCOMPARE(deniedList(flags), (QList<int>{0, 18, 139}));
        // Nodes a short string does not cover show allowed.
        QCOMPARE(deniedList(deniedFlags(GETRIGHTS("0=0,1=1,"), 5)), QList<int>{1});
    }

    void treeClick_data() {
        QTest::addColumn<QList<int>>("initiallyDenied");
        QTest::addColumn<int>("node");
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<QList<int>>("denied");
        // N8 "Номенклатури" is node 18 with the commands 19 to 25.
        QTest::newRow("top-level node denies all its commands")
            << QList<int>{} << 18 << true << range(18, 25);
        QTest::newRow("one command under an allowed submenu") << QList<int>{} << 19 << true << QList<int>{19};
        QTest::newRow("last allowed command denies the submenu")
            << (QList<int>{19, 21, 22, 23, 24, 25}) << 20 << true << range(19, 25) + QList<int>{18};
        QTest::newRow("collapsed parent: only the node") << QList<int>{} << 27 << false << QList<int>{27};
        QTest::newRow("root changes only itself") << QList<int>{} << 0 << true << QList<int>{0};
        QTest::newRow("root back to allowed") << (QList<int>{0, 5}) << 0 << true << QList<int>{5};
        // 124 under 123 under 112: the grandparent 112 is never touched.
        QTest::newRow("grandparent untouched when denying")
            << range(113, 122) + range(125, 127) << 124 << true
            << range(113, 122) + QList<int>{123, 124} + range(125, 127);
        QTest::newRow("allowing allows the parent, not the grandparent")
            << (QList<int>{27, 33, 34, 35}) << 34 << true << (QList<int>{27, 35});
        QTest::newRow("allowing a submenu allows its commands")
            << range(18, 25) << 18 << true << QList<int>{};
        QTest::newRow("allowing a top-level node allows the root")
            << (QList<int>{0, 139}) << 139 << true << QList<int>{};
    }
    void treeClick() {
        QFETCH(QList<int>, initiallyDenied);
        QFETCH(int, node);
        QFETCH(bool, expanded);
        QFETCH(QList<int>, denied);
        QList<bool> flags(menuTreeNodeCount(), false);
        for (int n : initiallyDenied)
            flags[n] = true;
        TreeView_MenuesClick(flags, node, [&](int) { return expanded; });
        QList<int> sorted = denied;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(deniedList(flags), sorted);
    }

    void passwordHash() {
        const QString h = hashPassword("тайна");
        QVERIFY(h.startsWith(QStringLiteral("pbkdf2-sha256$%1$").arg(kPasswordIterations)));
        QVERIFY(isPasswordHash(h));
        QVERIFY(verifyPassword(h, "тайна"));
        QVERIFY(!verifyPassword(h, "тайнa")); // Latin a
        QVERIFY(!verifyPassword(h, ""));
        QVERIFY(hashPassword("тайна") != h); // salted
        // Plain text of an older database.
        QVERIFY(!isPasswordHash("1"));
        QVERIFY(!isPasswordHash("pbkdf2-sha256$x$AAAA$AAAA"));
        QVERIFY(verifyPassword("1", "1"));
        QVERIFY(!verifyPassword("1", "1 "));
    }

    void loginCheck() {
        test::Fixture fx;
        QSqlDatabase db = fx.db();
        // Plain text, as an older database keeps it.
        execSql(db, "INSERT INTO Operators (Ime, Par, Prava) VALUES (?, ?, ?)", {"Стар", "1", "0=0,"});
        const qint64 hashed = insertOperator(db, "Нов", "pa\"ss", "0=0,1=1,");

        QVERIFY(!checkCredentials(db, "Стар", "2"));
        QCOMPARE(findOperatorByName(db, "Стар")->par, QString("1"));
        auto row = checkCredentials(db, "Стар", "1");
        QVERIFY(row);
        QCOMPARE(row->prava, QString("0=0,"));
        // Accepted once and stored hashed at once.
        const QString stored = findOperatorByName(db, "Стар")->par;
        QVERIFY(isPasswordHash(stored));
        QCOMPARE(row->par, stored);
        QVERIFY(checkCredentials(db, "Стар", "1"));
        QVERIFY(!checkCredentials(db, "Стар", stored)); // the stored text is not the password

        // Quotes are just characters of a name or a password.
        auto quoted = checkCredentials(db, "Нов", "pa\"ss");
        QVERIFY(quoted);
        QCOMPARE(quoted->id, hashed);
        QVERIFY(!checkCredentials(db, "Нов", "\" OR \"1\"=\"1"));
        QVERIFY(!checkCredentials(db, "Нов\" OR Ime=\"Стар", "1"));
        QVERIFY(!checkCredentials(db, "", ""));
    }

    void sameNameTwice() {
        test::Fixture fx;
        QSqlDatabase db = fx.db();
        insertOperator(db, "Иван", "a", "0=0,1=0,");
        insertOperator(db, "Иван", "b", "0=0,1=1,");
        QCOMPARE(checkCredentials(db, "Иван", "a")->prava, QString("0=0,1=0,"));
        QCOMPARE(checkCredentials(db, "Иван", "b")->prava, QString("0=0,1=1,"));
    }

    void operatorsTable() {
        test::Fixture fx;
        QSqlDatabase db = fx.db();
        const int before = int(listOperators(db).size());
        const qint64 a = insertOperator(db, "А", "1", "0=0,");
        const qint64 b = insertOperator(db, "Б", "2", "0=1,");
        QVERIFY(b > a);
        const QList<OperatorRow> all = listOperators(db);
        QCOMPARE(all.size(), before + 2);
        QCOMPARE(all.at(before).ime, QString("А"));
        QCOMPARE(all.at(before + 1).ime, QString("Б"));

        const QString par = findOperatorById(db, a)->par;
        updateOperator(db, a, "А2", std::nullopt, "0=0,1=1,");
        QCOMPARE(findOperatorById(db, a)->par, par);
        QCOMPARE(findOperatorById(db, a)->ime, QString("А2"));
        QCOMPARE(findOperatorById(db, a)->prava, QString("0=0,1=1,"));
        updateOperator(db, a, "А2", QString("нова"), "0=0,");
        QVERIFY(checkCredentials(db, "А2", "нова"));
        QVERIFY(!checkCredentials(db, "А2", "1"));
        QVERIFY(!findOperatorById(db, 9999));
    }

    // A correct login stays correct when the plain-text password cannot be
    // stored hashed at that moment; the failure goes to the caller's log.
    void loginSurvivesFailedUpgrade_data() {
        QTest::addColumn<QString>("cause");
        QTest::newRow("read-only database") << "read-only";
        QTest::newRow("update refused") << "trigger";
    }
    void loginSurvivesFailedUpgrade() {
        QFETCH(QString, cause);
        test::Fixture fx;
        execSql(fx.db(), "INSERT INTO Operators (Ime, Par, Prava) VALUES (?, ?, ?)", {"Стар", "1", "0=0,"});
        QSqlDatabase db = fx.db();
        const QString connection = QStringLiteral("read-only-check");
        if (cause == "read-only")
            db = fx.openReadOnly(connection);
        else
            test::refuseUpdates(db, "Operators", "заключена таблица");
        QStringList failures;
        auto log = [&failures](const std::exception& e) { failures << exceptionClassName(e); };

        QVERIFY(!checkCredentials(db, "Стар", "2", log));
        QVERIFY(failures.isEmpty());
        const std::optional<OperatorRow> row = checkCredentials(db, "Стар", "1", log);
        QVERIFY(row);
        QCOMPARE(row->prava, QString("0=0,"));
        QCOMPARE(failures, QStringList{"EDatabaseError"});
        // Still plain: the next login tries again.
        QCOMPARE(findOperatorByName(fx.db(), "Стар")->par, QString("1"));
        QVERIFY(checkCredentials(db, "Стар", "1"));

        db = QSqlDatabase();
        closeConnection(connection);
    }

    // Nobody can log in as an operator stored without a password.
    void newOperatorNeedsPassword() {
        test::Fixture fx;
        QSqlDatabase db = fx.db();
        const int before = int(listOperators(db).size());
        QVERIFY_THROWS_EXCEPTION(Error, insertOperator(db, "Без парола", "", "0=0,"));
        QCOMPARE(int(listOperators(db).size()), before);
        QVERIFY(!findOperatorByName(db, "Без парола"));
    }

    void shortcutText_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << "Ctrl+S";
        QTest::newRow("F11") << int(Qt::Key_F11) << 0 << "F11";
        QTest::newRow("F24") << int(Qt::Key_F24) << 0 << "F24";
        QTest::newRow("Ins") << int(Qt::Key_Insert) << 0 << "Ins";
        QTest::newRow("Del") << int(Qt::Key_Delete) << 0 << "Del";
        QTest::newRow("modifier order")
            << int(Qt::Key_F5) << int(Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)
            << "Shift+Ctrl+Alt+F5";
        QTest::newRow("PgDn") << int(Qt::Key_PageDown) << 0 << "PgDn";
        QTest::newRow("BkSp") << int(Qt::Key_Backspace) << int(Qt::AltModifier) << "Alt+BkSp";
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "Enter";
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "Esc";
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::ShiftModifier) << "Shift+Space";
        QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::ControlModifier) << "Ctrl+7";
        QTest::newRow("plus") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << "Ctrl++";
        QTest::newRow("national letter") << 0x427 << int(Qt::ControlModifier) << "Ctrl+Ч";
    }
    void shortcutText() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        const QKeyCombination combination{Qt::KeyboardModifiers(modifiers), Qt::Key(key)};
        QCOMPARE(torvika::shortcutText(combination), text);
        QCOMPARE(parseShortcutText(text), std::optional<QKeyCombination>(combination));
    }

    void shortcutTextReading() {
        // Numeric-pad digits are written as digits.
        QCOMPARE(torvika::shortcutText(QKeyCombination(Qt::KeypadModifier, Qt::Key_3)), QString("3"));
        QCOMPARE(torvika::shortcutText(QKeyCombination()), QString());
        QCOMPARE(parseShortcutText(""), std::optional<QKeyCombination>(QKeyCombination()));
        QCOMPARE(parseShortcutText("ctrl+s"),
                 std::optional<QKeyCombination>(QKeyCombination(Qt::ControlModifier, Qt::Key_S)));
        QCOMPARE(parseShortcutText("Alt+Shift+PgDown"),
                 std::optional<QKeyCombination>(
                     QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_PageDown)));
        QVERIFY(!parseShortcutText("Ctrl+"));
        QVERIFY(!parseShortcutText("Bogus"));
        QVERIFY(!parseShortcutText("F25"));
    }

    void operatorShortcutSection() {
        test::Fixture fx(false);
        fx.writeFile("Firm_Data.ini", "[Оператор: Ана]\r\nCounts=5\r\n0=Ctrl+A\r\n1=Ctrl+Q\r\n3=\r\n5=F2\r\n"
                                      "[Оператор: Без брой]\r\n1=F3\r\n");
        const QHash<int, QString> stored = readOperatorShortcuts(fx.settings(), "Ана", menuTreeNodeCount());
        // The root carries no command; key 5 is beyond Counts.
        QCOMPARE(stored, (QHash<int, QString>{{1, "Ctrl+Q"}, {3, ""}}));
        QVERIFY(readOperatorShortcuts(fx.settings(), "Без брой", menuTreeNodeCount()).isEmpty());
        QVERIFY(readOperatorShortcuts(fx.settings(), "Никой", menuTreeNodeCount()).isEmpty());
        QCOMPARE(torvika::operatorShortcutSection("Ана"), QString("Оператор: Ана"));
    }
};

QTEST_GUILESS_MAIN(RightsTest)
#include "test_rights.moc"
