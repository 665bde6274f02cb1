// The scripted message interface fails a test whose script does not fit
// what the program asks.

#include "common/ui/messages.h"
#include "support/scripted_messages.h"

#include <QTest>

using namespace torvika;

class ScriptedMessagesTest : public QObject {
    Q_OBJECT
private slots:
    void fittingScriptPasses() {
        test::ScriptedMessages msgs;
        msgs.answerYes();
        msgs.answer(QStringLiteral("/tmp/a.txt"));
        QVERIFY(askYesNo("Продължаваме?"));
        QCOMPARE(Messages::current().openFileName("Файл", {}, {}), "/tmp/a.txt");
        showMessage("Готово");
        QCOMPARE(msgs.shown, (QStringList{"Продължаваме?", "Готово"}));
    }

    void unexpectedQuestionFails() {
        test::ScriptedMessages msgs;
        QEXPECT_FAIL("", "a question the script does not answer", Continue);
        QVERIFY(!askYesNo("Изтриване?"));
        QCOMPARE(msgs.unexpected, 1);
    }

    void unexpectedDialogFails() {
        test::ScriptedMessages msgs;
        QEXPECT_FAIL("", "a file dialog the script does not answer", Continue);
        QCOMPARE(Messages::current().saveFileName("Запис", {}, {}), QString());
    }

    void answerOfAnotherKindFails() {
        test::ScriptedMessages msgs;
        msgs.answer(QStringLiteral("/tmp/a.txt"));
        QEXPECT_FAIL("", "a file name given to a question", Continue);
        QVERIFY(!askYesNo("Изтриване?"));
    }

    void answerLeftUnusedFails() {
        auto msgs = std::make_unique<test::ScriptedMessages>();
        msgs->answerNo();
        QEXPECT_FAIL("", "an answer never asked for", Continue);
        msgs.reset();
        QVERIFY(!msgs);
    }

    void messageWithoutScriptFails() {
        QEXPECT_FAIL("", "a message box while no script is installed", Continue);
        showMessage("Готово");
        QVERIFY(true);
    }
};

QTEST_MAIN(ScriptedMessagesTest)
#include "test_scripted_messages.moc"
