#pragma once
// A Messages implementation for tests: records every text it is shown and
// gives the queued answers in order. The script must fit what the program
// asks: a question (or file or input dialog) with no answer queued, an
// answer of the wrong kind, and an answer still queued when the script ends
// (at the end of the test function that holds it, or in its cleanup) each
// fail the test, saying which. An unanswered question is then answered No
// (or Cancel, or empty) so the test runs on to its end. While no script is
// installed, any message box fails the test.

#include "common/ui/messages.h"

#include <QStringList>
#include <QVariant>

namespace torvika::test {

class ScriptedMessages : public Messages {
public:
    ScriptedMessages() { Messages::install(this); }
    ~ScriptedMessages() override;

    // Answers, in order: Messages::Answer for questions, QString for file,
    // directory and input dialogs (an invalid QVariant cancels them).
    void answer(const QVariant& a) { answers_.append(a); }
    void answerYes() { answer(QVariant::fromValue(int(Yes))); }
    void answerNo() { answer(QVariant::fromValue(int(No))); }
    void answerCancel() { answer(QVariant::fromValue(int(Cancel))); }

    // Every text shown, in order: messages and questions alike.
    QStringList shown;
    QStringList messages;
    QStringList questions;
    // Questions and dialogs that found no answer queued.
    int unexpected = 0;

    void message(const QString& text) override;
    Answer question(const QString& text, bool withCancel) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& caption, const QString& dir) override;
    std::optional<QString> inputText(const QString& caption, const QString& label,
                                     const QString& text) override;
    std::optional<QString> inputPassword(const QString& caption, const QString& label) override;

    void clear() {
        shown.clear();
        messages.clear();
        questions.clear();
    }

private:
    // The next answer for a question (Messages::Answer) or a dialog
    // (QString); what is asked is named when the script has no fitting one.
    QVariant next(const QString& asked, bool question);
    QList<QVariant> answers_;
};

} // namespace torvika::test
