#pragma once
// The register of model certificates (SV_BIM): for each approved model of
// cash register its certificate number and date and the counterparty that
// seals devices of the model.

#include "common/sql_statement.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

inline constexpr int kModelNameLength = 30;

struct Certificate {
    QString model;
    QString number;
    QDate date;
    qint64 sealedBy = 0;    // Firmi.ID
    bool forbidden = false; // no new device of the model may be registered
};

// The register's grid: every certificate with its sealing company's name,
// ordered by key ("ID").
SqlStatement certificatesStatement();

// Stores a new certificate and returns its key. Throws EConvertError for a
// certificate without model or number, EDatabaseError.
qint64 insertCertificate(const QSqlDatabase& db, const Certificate& c);
void updateCertificate(const QSqlDatabase& db, qint64 id, const Certificate& c);
// Deletes the certificate with this key.
void deleteCertificate(const QSqlDatabase& db, qint64 id);
// The models whose new registrations are refused ("Забранени модели"),
// ordered by key; columns as certificatesStatement.
SqlStatement forbiddenModelsStatement();
void setModelForbidden(const QSqlDatabase& db, qint64 id, bool forbidden);
// How many registered devices are of this model.
int devicesOfModel(const QSqlDatabase& db, qint64 id);

} // namespace torvika
