#pragma once
// Starting the program with the desktop session: an XDG autostart entry
// (torvika.desktop in $XDG_CONFIG_HOME/autostart, ~/.config/autostart when
// the variable is not set) that runs the program's executable.

#include <QString>

namespace torvika {

QString autostartEntryPath();
// Whether the entry is there.
bool hasAutostartEntry();
// Writes the entry for the program (atomically), or removes it. Throws
// EInOutError when the file cannot be written or removed.
void setAutostartEntry(bool on, const QString& program);
// The text of the entry for the program.
QString autostartEntryText(const QString& program);

// The directory itself when it exists, otherwise its nearest existing
// parent (the root at worst); a relative path is taken from base.
QString nearestExistingDirectory(const QString& path, const QString& base);

} // namespace torvika
