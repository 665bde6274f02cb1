#pragma once
// The texts of the documents: the fixed footer of the text exports.

#include <QString>

namespace torvika::texts {

// The last line of every text export (101 characters).
inline const QString kDocumentFooter =
    QStringLiteral("Този документ е издаден от програма \"Торвика\"."
                   "  E-mail: office@torvika.bg, тел./факс: +359 2 000 0000");

} // namespace torvika::texts
