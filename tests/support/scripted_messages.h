#pragma once
// A Messages implementation for tests: records every text it is shown and
// gives the queued answers in order. A question with no queued answer is
// recorded as unexpected and answered No (or Cancel, or empty).

#include "common/ui/messages.h"

#include <QStringList>
#include <QVariant>

namespace torvika::test {

class ScriptedMessages : public Messages {
public:
    ScriptedMessages() { Messages::install(this); }
    ~ScriptedMessages() override { Messages::install(nullptr); }

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
    QVariant next();
    QList<QVariant> answers_;
};

} // namespace torvika::test
