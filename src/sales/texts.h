#pragma once
// The texts the sales show: messages and questions.

#include <QString>

namespace torvika::texts {

inline const QString kAskCounterpartyDiscounts =
    QStringLiteral("Желаете ли да бъдат въведени отстъпките за посоченият контрагент");

} // namespace torvika::texts
