// Two workstations on one machine, each listening on its own port as its
// settings say, exchange messages both ways through the message panel; a
// message that arrives while the panel is closed opens it without a modal
// box; "Изпрати съобщение..." shows and hides the panel, checked while
// shown; a port in use is said in the panel.

#include "shell/ui/form_messages.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/main_window.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>

using namespace torvika;

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void listenOn(test::Fixture& fx, quint16 port) {
    fx.settings().save(
        Settings::Changes().set(setting::kMessagesListen, true).set(setting::kMessagesPort, int(port)));
}

void send(TForm_Messages& w, const QString& host, const QString& text) {
    QLineEdit* address = test::control<QLineEdit>(w, "Edit_Host");
    address->setText(host);
    QPlainTextEdit* field = test::control<QPlainTextEdit>(w, "Memo_Send_Message");
    field->setFocus();
    test::typeText(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QString conversation(const TForm_Messages& w) {
    return test::control<QPlainTextEdit>(w, "Memo_Recive_Message")->toPlainText();
}

} // namespace

class MessagesWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ScriptedMessages> msg_;

private slots:
    void init() { msg_ = std::make_unique<test::ScriptedMessages>(); }
    void cleanup() { msg_.reset(); }

    void twoWorkstations() {
        test::Fixture a, b;
        const quint16 portA = freePort(), portB = freePort();
        listenOn(a, portA);
        listenOn(b, portB);
        TForm_Messages wa(test::context(a.session()));
        TForm_Messages wb(test::context(b.session()));
        wa.applySettings();
        wb.applySettings();
        QVERIFY(wa.isListening() && wb.isListening());
        wa.show();
        const QString sender = a.session().operatorName();

        send(wa, QStringLiteral("127.0.0.1:%1").arg(portB), "Здравей от А");
        QVERIFY(test::control<QPlainTextEdit>(wa, "Memo_Send_Message")->toPlainText().isEmpty());
        // B's panel was closed: it opens by itself with the message.
        QTRY_VERIFY(wb.isVisible());
        QVERIFY(conversation(wb).contains(sender + ":\nЗдравей от А"));
        QCOMPARE(test::control<QListWidget>(wb, "ListBox_Active_Users")->count(), 1);
        QVERIFY(msg_->shown.isEmpty());

        // B answers to A's port.
        send(wb, QStringLiteral("127.0.0.1:%1").arg(portA), "Здравей, А");
        QTRY_VERIFY(conversation(wa).contains("Здравей, А"));
        QVERIFY(conversation(wa).contains("Здравей от А")); // both sides shown

        if (const QString dir = qEnvironmentVariable("TORVIKA_PICTURES"); !dir.isEmpty())
            QVERIFY(wb.grab().save(dir + "/messages.png"));

        // A send that fails says so.
        const quint16 nobody = freePort();
        send(wa, QStringLiteral("127.0.0.1:%1").arg(nobody), "никой");
        QTRY_VERIFY(conversation(wa).contains("не беше изпратено"));

        // Listening off: the port is given back.
        a.settings().set(setting::kMessagesListen, false);
        QVERIFY(!wa.isListening());
    }

    void portInUse() {
        test::Fixture fx;
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any, 0));
        listenOn(fx, taken.serverPort());
        TForm_Messages w(test::context(fx.session()));
        w.applySettings();
        QVERIFY(!w.isListening());
        QVERIFY(test::control<QStatusBar>(w, "StatusBar1")
                    ->currentMessage()
                    .contains(QString::number(taken.serverPort())));
    }

    void menuCommand() {
        test::Fixture fx;
        listenOn(fx, freePort());
        test::MainWindow main(fx.session());
        QVERIFY(main.start());
        QAction* command = main.form.command(Command::N_SendMessage);
        QVERIFY(command->isCheckable() && !command->isChecked());
        command->trigger();
        auto* panel = main.form.findChild<TForm_Messages*>();
        QVERIFY(panel && panel->isVisible() && panel->isListening());
        QVERIFY(command->isChecked());
        command->trigger();
        QVERIFY(!panel->isVisible());
        QVERIFY(!command->isChecked());
    }
};

QTEST_MAIN(MessagesWindowTest)
#include "test_messages_window.moc"
