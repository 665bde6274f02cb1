#pragma once
// The preview of a document before it is printed: its pages as they will
// print, and a choice of where to print them. Looking prints nothing and
// registers nothing; "Печат" is the operator's print, on the printer chosen
// in the window (which may be another than the one ticked), and what it
// does is the caller's (printRequested).

#include <QDialog>
#include <QPrinter>
#include <QStringList>
#include <functional>
#include <memory>

class QPrintPreviewWidget;

namespace Ui {
class DocumentPreview;
}

namespace torvika {

class DocumentPreview : public QDialog {
    Q_OBJECT
public:
    // printers: the destinations offered; printer: the one chosen at first.
    DocumentPreview(const QString& title, const QStringList& printers, const QString& printer,
                    QWidget* parent = nullptr);
    ~DocumentPreview() override;

    // What draws the pages (on the preview's own device) and how many there are.
    void setPages(std::function<void(QPrinter*)> paint, int pageCount);
    QString chosenPrinter() const;

signals:
    // "Печат" was pressed: the caller prints on the chosen printer and
    // closes the preview once the document is printed.
    void printRequested(const QString& printer);

private:
    std::unique_ptr<Ui::DocumentPreview> ui;
    QPrinter device_;
    QPrintPreviewWidget* view_;
    std::function<void(QPrinter*)> paint_;
};

} // namespace torvika
