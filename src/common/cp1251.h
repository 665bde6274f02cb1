#pragma once
// Windows-1251, the code page of the files this program shares with fiscal
// print servers, other workstations and older installations.

#include <QByteArray>
#include <QString>

namespace torvika {

// Characters that Windows-1251 cannot hold become '?'.
QByteArray toCp1251(QStringView text);
QString fromCp1251(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8, Windows-1251 otherwise.
QString decodeUtf8OrCp1251(const QByteArray& bytes);

} // namespace torvika
