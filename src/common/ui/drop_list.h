#pragma once
// The list of matches that the quick searches lay over their window right
// under the field being typed in.

#include <QStringList>

class QListWidget;
class QWidget;

namespace torvika {

// Fills the list and shows it under the field (placed in host's
// coordinates), with its first item current; hides it when there are no
// items. Returns whether it is shown.
bool showListUnder(QListWidget* list, const QWidget* field, const QWidget* host, const QStringList& items,
                   int height);

} // namespace torvika
