#pragma once
// Opening a file with the application the desktop associates with it (the
// program's "open" of files: exports, protocols, help texts).

#include <QString>
#include <functional>

namespace torvika {

// Opens the file with its associated application. Without an association
// nothing happens and the file stays where it is; the result says whether
// an application was started.
bool SHELLEXECUTE_OPENFILE(const QString& fileName);

// Replaces what SHELLEXECUTE_OPENFILE does (tests record instead of
// launching); an empty opener restores the desktop's. Returns the previous.
using FileOpener = std::function<bool(const QString& fileName)>;
FileOpener setFileOpener(FileOpener opener);

} // namespace torvika
