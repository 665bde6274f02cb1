#include "shell/ui/form_messages.h"

#include "common/ui/error_edge.h"
#include "shell/texts.h"
#include "ui_form_messages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStatusBar>

namespace torvika {

namespace {

// "host" or "host:port" (an IPv6 address in brackets when it has a port).
std::pair<QString, quint16> hostAndPort(const QString& typed, quint16 port) {
    const QString text = typed.trimmed();
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && text.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        const uint p = text.mid(colon + 1).toUInt(&ok);
        if (ok && p > 0 && p < 65536)
            return {text.left(colon), quint16(p)};
    }
    if (text.startsWith(QLatin1Char('[')) && text.contains(QStringLiteral("]:"))) {
        const int end = text.indexOf(QStringLiteral("]:"));
        bool ok = false;
        const uint p = text.mid(end + 2).toUInt(&ok);
        if (ok && p > 0 && p < 65536)
            return {text.mid(1, end - 1), quint16(p)};
    }
    return {text, port};
}

} // namespace

TForm_Messages::TForm_Messages(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui(new Ui::TForm_Messages) {
    ui->setupUi(this);
    setModal(false);
    resize(620, 420);
    ui->Memo_Send_Message->installEventFilter(this);
    connect(ui->ListBox_Active_Users, &QListWidget::itemClicked, this,
            &TForm_Messages::ListBox_Active_UsersClick);
    connect(&listener_, &MessageListener::received, this, &TForm_Messages::received);
    connect(&listener_, &MessageListener::refused, this, [this](const QString& peer, const QString& why) {
        ui->StatusBar1->showMessage(texts::kMessageRefused.arg(peer, why));
    });
    connect(&sender_, &MessageSender::sent, this,
            [this](const QString& host) { ui->StatusBar1->showMessage(texts::kMessageSent + host); });
    connect(&sender_, &MessageSender::failed, this, [this](const QString& host, const QString& why) {
        const QString text = texts::kMessageNotSent.arg(host, why);
        ui->StatusBar1->showMessage(text);
        appendConversation(text);
    });
    connect(&context.session.settings(), &Settings::changed, this, [this](SettingId id) {
        if (id == SettingId::MessagesListen || id == SettingId::MessagesPort ||
            id == SettingId::MessagesAllowed)
            applySettings();
    });
}

TForm_Messages::~TForm_Messages() = default;

void TForm_Messages::applySettings() {
    bool listen = true;
    int port = kMessagingPort;
    QString allowed;
    logged([&] {
        const Settings& s = context_.session.settings();
        listen = s.get(setting::kMessagesListen);
        port = s.get(setting::kMessagesPort);
        allowed = s.get(setting::kMessagesAllowed);
    });
    if (!listen) {
        listener_.close();
        ui->StatusBar1->showMessage(texts::kNotListening);
        return;
    }
    if (listener_.isListening() && listener_.port() == port) {
        listener_.setAllowed(allowed);
        return;
    }
    if (port <= 0 || port > 65535 || !listener_.listen(quint16(port), allowed)) {
        const QString why = texts::kPortNotTaken.arg(port).arg(listener_.errorText());
        // Said in the panel's status line, where the operator looks for it.
        ui->StatusBar1->showMessage(why);
        return;
    }
    ui->StatusBar1->showMessage(texts::kListening.arg(port));
}

void TForm_Messages::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    emit shownChanged(true);
}

void TForm_Messages::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    emit shownChanged(false);
}

bool TForm_Messages::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Memo_Send_Message && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & Qt::ShiftModifier)) {
            sendTyped();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Messages::sendTyped() {
    const QString text = ui->Memo_Send_Message->toPlainText();
    if (text.trimmed().isEmpty())
        return;
    int port = kMessagingPort;
    logged([&] { port = context_.session.settings().get(setting::kMessagesPort); });
    const auto [host, toPort] = hostAndPort(ui->Edit_Host->text(), quint16(port));
    if (host.isEmpty()) {
        ui->StatusBar1->showMessage(texts::kNoMessageHost);
        ui->Edit_Host->setFocus();
        return;
    }
    const QString name = context_.session.operatorName();
    sender_.send(host, toPort, encodeMessage(name, text));
    ui->Memo_Send_Message->clear();
    appendConversation(name + QStringLiteral(":\n") + text);
    addStation(ui->Edit_Host->text().trimmed());
}

void TForm_Messages::received(const QString& peer, const QString& text) {
    QApplication::beep();
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    appendConversation(texts::kMessageFrom.arg(peer) + shown);
    addStation(peer);
    if (ui->Edit_Host->text().trimmed().isEmpty())
        ui->Edit_Host->setText(peer);
    if (!isVisible()) {
        // Shown without taking the focus from the work under way.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void TForm_Messages::appendConversation(const QString& text) {
    // Plain text: nothing received is taken as markup.
    ui->Memo_Recive_Message->appendPlainText(QString());
    ui->Memo_Recive_Message->appendPlainText(text);
}

void TForm_Messages::addStation(const QString& address) {
    if (address.isEmpty() || !ui->ListBox_Active_Users->findItems(address, Qt::MatchExactly).isEmpty())
        return;
    ui->ListBox_Active_Users->addItem(address);
}

void TForm_Messages::ListBox_Active_UsersClick() {
    if (QListWidgetItem* item = ui->ListBox_Active_Users->currentItem()) {
        ui->Edit_Host->setText(item->text());
        ui->Memo_Send_Message->setFocus();
    }
}

} // namespace torvika
