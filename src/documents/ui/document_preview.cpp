#include "documents/ui/document_preview.h"

#include "documents/texts.h"
#include "ui_document_preview.h"

#include <QPageLayout>
#include <QPrintPreviewWidget>

namespace torvika {

DocumentPreview::DocumentPreview(const QString& title, const QStringList& printers, const QString& printer,
                                 QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::DocumentPreview>()), device_(QPrinter::HighResolution) {
    ui->setupUi(this);
    setWindowTitle(title);
    // The preview paints through its own engine: nothing reaches a printer
    // or a file from here.
    device_.setOutputFormat(QPrinter::PdfFormat);
    device_.setFullPage(true);
    device_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    view_ = new QPrintPreviewWidget(&device_, ui->PreviewArea);
    view_->setObjectName(QStringLiteral("PreviewPages"));
    ui->PreviewLayout->addWidget(view_);
    ui->ComboBox_Printer->addItems(printers);
    ui->ComboBox_Printer->setCurrentIndex(std::max(0, int(printers.indexOf(printer))));
    connect(view_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
        if (paint_)
            paint_(p);
    });
    connect(ui->Button_Zoom_In, &QPushButton::clicked, view_, [this] { view_->zoomIn(); });
    connect(ui->Button_Zoom_Out, &QPushButton::clicked, view_, [this] { view_->zoomOut(); });
    connect(ui->Button_Fit_Width, &QPushButton::clicked, view_, &QPrintPreviewWidget::fitToWidth);
    connect(ui->Button_Fit_Page, &QPushButton::clicked, view_, &QPrintPreviewWidget::fitInView);
    connect(ui->Button_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button_Print, &QPushButton::clicked, this,
            [this] { emit printRequested(ui->ComboBox_Printer->currentText()); });
    resize(900, 1000);
    view_->fitToWidth();
}

DocumentPreview::~DocumentPreview() = default;

void DocumentPreview::setPages(std::function<void(QPrinter*)> paint, int pageCount) {
    paint_ = std::move(paint);
    ui->Label_Pages->setText(texts::kPreviewPages.arg(pageCount));
    view_->updatePreview();
}

QString DocumentPreview::chosenPrinter() const {
    return ui->ComboBox_Printer->currentText();
}

} // namespace torvika
