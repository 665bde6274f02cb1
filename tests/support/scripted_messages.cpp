#include "support/scripted_messages.h"

namespace torvika::test {

QVariant ScriptedMessages::next() {
    if (answers_.isEmpty()) {
        ++unexpected;
        return {};
    }
    return answers_.takeFirst();
}

void ScriptedMessages::message(const QString& text) {
    shown << text;
    messages << text;
}

Messages::Answer ScriptedMessages::question(const QString& text, bool withCancel) {
    shown << text;
    questions << text;
    QVariant a = next();
    if (!a.isValid())
        return withCancel ? Cancel : No;
    return Answer(a.toInt());
}

QString ScriptedMessages::openFileName(const QString&, const QString&, const QString&) {
    return next().toString();
}

QString ScriptedMessages::saveFileName(const QString&, const QString&, const QString&) {
    return next().toString();
}

QString ScriptedMessages::existingDirectory(const QString&, const QString&) {
    return next().toString();
}

std::optional<QString> ScriptedMessages::inputText(const QString&, const QString& label, const QString&) {
    shown << label;
    QVariant a = next();
    if (!a.isValid())
        return std::nullopt;
    return a.toString();
}

std::optional<QString> ScriptedMessages::inputPassword(const QString&, const QString& label) {
    shown << label;
    QVariant a = next();
    if (!a.isValid())
        return std::nullopt;
    return a.toString();
}

} // namespace torvika::test
