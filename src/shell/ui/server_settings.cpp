#include "shell/ui/server_settings.h"

#include "ui_server_settings.h"

namespace torvika {

ServerSettings::ServerSettings(QWidget* parent) : QGroupBox(parent), ui(new Ui::ServerSettings) {
    ui->setupUi(this);
}

ServerSettings::~ServerSettings() = default;

Alias ServerSettings::alias(const QString& companyDirectory) const {
    Alias a{kServiceAlias, kPostgresDriver, companyDirectory};
    a.host = ui->Edit_Server_Host->text().trimmed();
    a.port = ui->SpinBox_Server_Port->value();
    a.database = ui->Edit_Server_Database->text().trimmed();
    a.user = ui->Edit_Server_User->text().trimmed();
    a.sslMode = ui->ComboBox_Server_SSL->currentText();
    return a;
}

QString ServerSettings::password() const {
    return ui->Edit_Server_Password->text();
}

void ServerSettings::setAlias(const Alias& a) {
    setChecked(a.isPostgres());
    if (!a.isPostgres())
        return;
    ui->Edit_Server_Host->setText(a.host);
    ui->SpinBox_Server_Port->setValue(a.port);
    ui->Edit_Server_Database->setText(a.database);
    ui->Edit_Server_User->setText(a.user);
    ui->ComboBox_Server_SSL->setCurrentText(a.sslMode);
}

} // namespace torvika
