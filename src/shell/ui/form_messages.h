#pragma once
// The message panel of "Изпрати съобщение...": the conversation with the
// other workstations (received and sent messages as plain text), the
// address to send to, the send field (Enter sends, Shift+Enter starts a
// new line), the workstations met in this run ("Активни в момента", a click
// takes the address) and the status line. The window is not modal: a
// message that arrives while it is closed opens it without taking the
// focus, and further ones queue up in it.

#include "shell/messaging.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Messages;
}

namespace torvika {

class TForm_Messages : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Messages(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_Messages() override;

    // Starts or stops listening as the settings say; a port that cannot be
    // taken is said in the status line and logged.
    void applySettings();
    bool isListening() const { return listener_.isListening(); }
    quint16 listeningPort() const { return listener_.port(); }

signals:
    void shownChanged(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private slots:
    void sendTyped();
    void ListBox_Active_UsersClick();

private:
    void received(const QString& peer, const QString& text);
    void addStation(const QString& address);
    void appendConversation(const QString& text);

    const WindowContext context_;
    std::unique_ptr<Ui::TForm_Messages> ui;
    MessageListener listener_;
    MessageSender sender_;
};

} // namespace torvika
