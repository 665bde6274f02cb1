#pragma once
// The import statistics panel: a read-only, flat text panel of 500 x 270
// pixels that the imports fill line by line; Esc hides it. The main window
// makes it at the first import and reuses it.

#include "common/import_report.h"

#include <QPlainTextEdit>

namespace torvika {

class ImportStatisticPanel : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ImportStatisticPanel(QWidget* parent = nullptr);

    // Empties the panel and shows it, at the start of an import.
    void begin();
    // The report's lines in place of what the panel held, then SHOW_STATISTIC.
    void showReport(const ImportReport& report);
    // Centres the panel on the screen (or on its parent), shows it and
    // gives it the focus.
    void SHOW_STATISTIC();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace torvika
