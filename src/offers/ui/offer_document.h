#pragma once
// A saved offer printed through the documents engine: the printed offer's
// heading as the upper text, one detail row per line (number, catalogue
// number, description, quantity, price, currency, supplier) under column
// titles, and the closing lines as the lower text; written as a PDF file.

#include "offers/offers.h"

#include <QString>

namespace torvika {

// Writes the document into the PDF file; false when the file cannot be
// painted on. Throws EDatabaseError.
bool printOfferDocument(const QSqlDatabase& db, const StoredOffer& offer, const OfferPrint& print,
                        const QString& pdfFile);

} // namespace torvika
