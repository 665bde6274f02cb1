#include "support/scripted_messages.h"

#include <QCoreApplication>
#include <QTest>

namespace torvika::test {

namespace {

// Fails the test function that runs now.
void fail(const QString& why) {
    if (QTest::currentTestFunction())
        QTest::qFail(qPrintable(why), __FILE__, __LINE__);
    else
        qCritical("%s", qPrintable(why));
}

// What a test program shows while no script is installed: nothing. A real
// box would wait for a person; whatever asks for one fails the test.
class NoScript : public Messages {
public:
    void message(const QString& text) override { refuse(text); }
    Answer question(const QString& text, bool withCancel) override {
        refuse(text);
        return withCancel ? Cancel : No;
    }
    QString openFileName(const QString& caption, const QString&, const QString&) override {
        refuse(caption);
        return {};
    }
    QString saveFileName(const QString& caption, const QString&, const QString&) override {
        refuse(caption);
        return {};
    }
    QString existingDirectory(const QString& caption, const QString&) override {
        refuse(caption);
        return {};
    }
    std::optional<QString> inputText(const QString&, const QString& label, const QString&) override {
        refuse(label);
        return std::nullopt;
    }
    std::optional<QString> inputPassword(const QString&, const QString& label) override {
        refuse(label);
        return std::nullopt;
    }

private:
    static void refuse(const QString& text) { fail(QStringLiteral("a message box with no script: ") + text); }
};

Messages& noScript() {
    static NoScript none;
    return none;
}

void installNoScript() {
    Messages::install(&noScript());
}
Q_COREAPP_STARTUP_FUNCTION(installNoScript)

} // namespace

ScriptedMessages::~ScriptedMessages() {
    Messages::install(&noScript());
    if (answers_.isEmpty() || QTest::currentTestFailed())
        return;
    QStringList left;
    for (const QVariant& a : std::as_const(answers_))
        left << (a.isValid() ? a.toString() : QStringLiteral("<cancel>"));
    fail(QStringLiteral("scripted answers never asked for: %1").arg(left.join(QStringLiteral(", "))));
}

QVariant ScriptedMessages::next(const QString& asked, bool question) {
    if (answers_.isEmpty()) {
        ++unexpected;
        fail(QStringLiteral("unexpected %1: %2")
                 .arg(question ? QStringLiteral("question") : QStringLiteral("dialog"), asked));
        return {};
    }
    const QVariant a = answers_.takeFirst();
    // A cancelled dialog and a question answered by default take an invalid answer.
    const bool fits =
        !a.isValid() || (question ? a.typeId() == QMetaType::Int : a.typeId() == QMetaType::QString);
    if (!fits) {
        fail(QStringLiteral("the answer %1 does not fit the %2: %3")
                 .arg(a.toString(), question ? QStringLiteral("question") : QStringLiteral("dialog"), asked));
        return {};
    }
    return a;
}

void ScriptedMessages::message(const QString& text) {
    shown << text;
    messages << text;
}

Messages::Answer ScriptedMessages::question(const QString& text, bool withCancel) {
    shown << text;
    questions << text;
    QVariant a = next(text, true);
    if (!a.isValid())
        return withCancel ? Cancel : No;
    return Answer(a.toInt());
}

QString ScriptedMessages::openFileName(const QString& caption, const QString&, const QString&) {
    return next(caption, false).toString();
}

QString ScriptedMessages::saveFileName(const QString& caption, const QString&, const QString&) {
    return next(caption, false).toString();
}

QString ScriptedMessages::existingDirectory(const QString& caption, const QString&) {
    return next(caption, false).toString();
}

std::optional<QString> ScriptedMessages::inputText(const QString&, const QString& label, const QString&) {
    shown << label;
    QVariant a = next(label, false);
    if (!a.isValid())
        return std::nullopt;
    return a.toString();
}

std::optional<QString> ScriptedMessages::inputPassword(const QString&, const QString& label) {
    shown << label;
    QVariant a = next(label, false);
    if (!a.isValid())
        return std::nullopt;
    return a.toString();
}

} // namespace torvika::test
