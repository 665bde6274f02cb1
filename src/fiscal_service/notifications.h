#pragma once
// Notifications to the tax office about a registered device: the service
// centre records why and when it notified (a repair, a replaced fiscal
// memory, a new site or owner, ...), and the page lists a device's
// notifications under its data.

#include "common/sql_statement.h"

#include <QDate>
#include <QSqlDatabase>
#include <QStringList>
#include <QTime>

#include <optional>

namespace torvika {

// The reasons offered in the page's list; the operator may type another.
QStringList notificationReasons();

struct DeviceNotification {
    QString device;
    QDate date;
    QTime time;
    QString reason;
    QString operatorName;
};

// Records a notification for a registered device and returns its key, or
// the refusal (no device, no reason, a device that is not registered).
struct NotificationResult {
    qint64 id = 0;
    std::optional<QString> refusal;
};
NotificationResult recordNotification(const QSqlDatabase& db, DeviceNotification notification);

// The notifications of a device, the latest first. Columns: ID, Data,
// Vreme, Pri4ina, Operator.
SqlStatement notificationsOfDeviceStatement(const QString& typedDevice);

} // namespace torvika
