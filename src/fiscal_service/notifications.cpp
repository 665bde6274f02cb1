#include "fiscal_service/notifications.h"

#include "common/dates.h"
#include "common/sql.h"
#include "fiscal_service/devices.h"
#include "fiscal_service/texts.h"

namespace torvika {

QStringList notificationReasons() {
    return {texts::kReasonRepair,        texts::kReasonFiscalMemory,   texts::kReasonSite,
            texts::kReasonOwner,         texts::kReasonDeregistration, texts::kReasonBlocked,
            texts::kReasonDeviceReplaced};
}

NotificationResult recordNotification(const QSqlDatabase& db, DeviceNotification n) {
    NotificationResult result;
    n.device = deviceNumber(n.device);
    n.reason = n.reason.trimmed();
    if (n.device.isEmpty()) {
        result.refusal = texts::kNoDeviceNumber;
        return result;
    }
    if (n.reason.isEmpty()) {
        result.refusal = texts::kNoNotificationReason;
        return result;
    }
    if (!n.date.isValid()) {
        result.refusal = texts::kNoNotificationDate;
        return result;
    }
    // Only a device the lookup finds (registration and contract) can be the
    // subject of a notification.
    const bool registered =
        scalarSql(db,
                  QStringLiteral("SELECT COUNT(*) FROM Reg_EKA JOIN Dogovor ON Dogovor.EKA = Reg_EKA.EKA "
                                 "WHERE Reg_EKA.EKA = ?"),
                  {n.device})
            .toLongLong() > 0;
    if (!registered) {
        result.refusal = texts::kDeviceNotRegistered.arg(n.device);
        return result;
    }
    result.id = insertReturningKey(
        db,
        QStringLiteral(
            "INSERT INTO Uvedomlenia (EKA, Data, Vreme, Pri4ina, Operator) VALUES (?, ?, ?, ?, ?)"),
        {n.device, isoDate(n.date), n.time.isValid() ? shortTime(n.time) : QString(), n.reason,
         n.operatorName},
        QStringLiteral("ID"));
    return result;
}

SqlStatement notificationsOfDeviceStatement(const QString& typedDevice) {
    return {QStringLiteral("SELECT ID, Data, Vreme, Pri4ina, Operator FROM Uvedomlenia WHERE EKA = ? "
                           "ORDER BY Data DESC, Vreme DESC, ID DESC"),
            {deviceNumber(typedDevice)},
            QStringLiteral("ID")};
}

} // namespace torvika
