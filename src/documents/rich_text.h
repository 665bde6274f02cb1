#pragma once
// The rich text of a template's upper and lower bands, kept as RTF as word
// processors write it. Read: paragraphs and line breaks, alignment, indents
// and tab stops, bold, italic, underline, strike-out, font, size and colour,
// Cyrillic text in the Windows-1251 code page or as Unicode, tabs; groups
// the text does not use (style sheets, pictures, document information,
// headers, fields' instructions) are skipped. Written: the same, so that a
// text written and read again is the text that was read.

#include <QByteArray>

class QTextDocument;

namespace torvika {

// Fills the document with the RTF text (the document is emptied first). A
// text that is not RTF is taken as plain text.
void readRtf(const QByteArray& rtf, QTextDocument& document);
// The document as RTF (Windows-1251 for Cyrillic, Unicode escapes for
// anything beyond it).
QByteArray writeRtf(const QTextDocument& document);

} // namespace torvika
