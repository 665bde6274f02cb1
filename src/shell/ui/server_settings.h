#pragma once
// The address of a company database on a PostgreSQL server, as the
// database dialogs take it: server, port, database, user, password (kept
// for the run only) and SSL mode. Ticked, the dialog works on the server;
// the directory chosen beside it holds the company's text files.

#include "shell/workspace.h"

#include <QGroupBox>
#include <memory>

namespace Ui {
class ServerSettings;
}

namespace torvika {

class ServerSettings : public QGroupBox {
    Q_OBJECT
public:
    explicit ServerSettings(QWidget* parent = nullptr);
    ~ServerSettings() override;

    bool useServer() const { return isChecked(); }
    // The alias of the server's database with the company directory.
    Alias alias(const QString& companyDirectory) const;
    QString password() const;
    // Shows an alias (ticked when it is on a server).
    void setAlias(const Alias& alias);

private:
    std::unique_ptr<Ui::ServerSettings> ui;
};

} // namespace torvika
