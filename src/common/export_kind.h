#pragma once
// The export kind chosen for grid files: a number, an extension and a
// column separator. Before the first choice of a run it is 0 with an empty
// extension and separator.

#include <QString>

namespace torvika {

struct ExportKind {
    int number = 0;
    QString extension;
    QString separator;
};

} // namespace torvika
