#pragma once
// The articles file the export writes ("Експорт на данни" -> "Артикули"
// and the catalogue's "Експорт ..."): one line per article, every article
// (those without a group too, with an empty group name), by number. The
// fields are those the article import reads (catalogue/data_import.h).

#include "common/numbered_export.h"

namespace torvika {

ExportSource articleExportSource();

} // namespace torvika
