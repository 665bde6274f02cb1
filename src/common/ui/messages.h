#pragma once
// Every message box, question, file chooser and small input dialog goes
// through this interface. The program installs the one that shows Qt
// dialogs; tests install a scripted one that records each text and answers
// in order.

#include <QString>
#include <optional>

class QWidget;

namespace torvika {

class Messages {
public:
    enum Answer { Yes, No, Cancel, Ok };

    virtual ~Messages() = default;
    // An information box with one OK button.
    virtual void message(const QString& text) = 0;
    // A confirmation with Yes and No (or Yes, No and Cancel).
    virtual Answer question(const QString& text, bool withCancel = false) = 0;
    // Empty when cancelled.
    virtual QString openFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString existingDirectory(const QString& caption, const QString& dir) = 0;
    virtual std::optional<QString> inputText(const QString& caption, const QString& label,
                                             const QString& text) = 0;
    // A password, typed as stars; empty when cancelled.
    virtual std::optional<QString> inputPassword(const QString& caption, const QString& label) = 0;

    static Messages& current();
    // Installs m (not owned); nullptr restores the dialogs.
    static void install(Messages* m);
};

// The application's property holding the title of the message boxes.
inline constexpr char kApplicationTitleProperty[] = "applicationTitle";

inline void showMessage(const QString& text) {
    Messages::current().message(text);
}
inline bool askYesNo(const QString& text) {
    return Messages::current().question(text) == Messages::Yes;
}

// The real dialogs, parented to the active window.
class DialogMessages : public Messages {
public:
    void message(const QString& text) override;
    Answer question(const QString& text, bool withCancel) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& caption, const QString& dir) override;
    std::optional<QString> inputText(const QString& caption, const QString& label,
                                     const QString& text) override;
    std::optional<QString> inputPassword(const QString& caption, const QString& label) override;
};

} // namespace torvika
