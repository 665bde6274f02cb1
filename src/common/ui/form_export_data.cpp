#include "common/ui/form_export_data.h"

#include "common/texts.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "common/ui/progress_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvika {

namespace {

// What the operator typed last, kept for the rest of the run.
ExportFormat& lastFormat() {
    static ExportFormat format;
    return format;
}

} // namespace

Form_Export_Data::Form_Export_Data(std::function<QSqlDatabase()> database, QWidget* parent)
    : QDialog(parent), database_(std::move(database)) {
    setObjectName(QStringLiteral("Form_Export_Data"));
    setWindowTitle(texts::kExportDataTitle);

    auto* fields = new QGroupBox(texts::kExportFieldsCaption, this);
    list_ = new QListWidget(fields);
    list_->setObjectName(QStringLiteral("CheckListBox_Fields"));
    list_->setMinimumSize(320, 300);
    auto* markAll = new QPushButton(texts::kExportMarkAll, fields);
    markAll->setObjectName(QStringLiteral("Button_Mark_All"));
    auto* clearAll = new QPushButton(texts::kExportClearAll, fields);
    clearAll->setObjectName(QStringLiteral("Button_Clear_All"));
    auto* marks = new QHBoxLayout;
    marks->addWidget(markAll);
    marks->addWidget(clearAll);
    auto* fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->addWidget(list_);
    fieldsLayout->addLayout(marks);

    prefix_ = new QLineEdit(lastFormat().opener, this);
    prefix_->setObjectName(QStringLiteral("Edit_Prefix"));
    subfix_ = new QLineEdit(lastFormat().closer, this);
    subfix_->setObjectName(QStringLiteral("Edit_Subfix"));
    decimal_ = new QComboBox(this);
    decimal_->setObjectName(QStringLiteral("ComboBox_Decimal"));
    decimal_->addItems({QStringLiteral("."), QStringLiteral(",")});
    decimal_->setCurrentIndex(lastFormat().decimalSeparator == u',' ? 1 : 0);
    auto* form = new QFormLayout;
    form->addRow(texts::kExportPrefix, prefix_);
    form->addRow(texts::kExportSubfix, subfix_);
    form->addRow(texts::kExportDecimal, decimal_);

    export_ = new QPushButton(texts::kExportButton, this);
    export_->setObjectName(QStringLiteral("Button_Export"));
    export_->setDefault(true);
    auto* cancel = new QPushButton(texts::kCancelButton, this);
    cancel->setObjectName(QStringLiteral("Button_Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(export_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(markAll, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(clearAll, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(export_, &QPushButton::clicked, this, &Form_Export_Data::Button_ExportClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The typed values are kept as they change, whichever way the window closes.
    connect(prefix_, &QLineEdit::textChanged, this, [](const QString& t) { lastFormat().opener = t; });
    connect(subfix_, &QLineEdit::textChanged, this, [](const QString& t) { lastFormat().closer = t; });
    connect(decimal_, &QComboBox::currentTextChanged, this, [](const QString& t) {
        if (!t.isEmpty())
            lastFormat().decimalSeparator = t[0];
    });
}

QString Form_Export_Data::SELECTED_EXPORT(const ExportSource& source) {
    source_ = source;
    written_.clear();
    list_->clear();
    for (const ExportField& field : source_.fields) {
        auto* item = new QListWidgetItem(field.caption, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    }
    setAll(true);
    exec();
    return written_;
}

QList<bool> Form_Export_Data::chosen() const {
    QList<bool> out;
    for (int i = 0; i < list_->count(); ++i)
        out << (list_->item(i)->checkState() == Qt::Checked);
    return out;
}

ExportFormat Form_Export_Data::format() const {
    ExportFormat f;
    f.opener = prefix_->text();
    f.closer = subfix_->text();
    f.decimalSeparator = decimal_->currentText().isEmpty() ? QChar(u'.') : decimal_->currentText()[0];
    return f;
}

void Form_Export_Data::setAll(bool ticked) {
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void Form_Export_Data::Button_ExportClick() {
    const QList<bool> fields = chosen();
    if (!fields.contains(true)) {
        showMessage(texts::kExportNoField);
        return;
    }
    const ExportFormat f = format();
    // Checked before the file is chosen: what cannot be carried keeps the
    // window open for the operator to change the choice.
    QList<ExportProblem> problems;
    if (!guarded([&] { problems = checkExport(database_(), source_, fields, f); }))
        return;
    if (!problems.isEmpty()) {
        QStringList lines;
        for (const ExportProblem& p : problems)
            lines << texts::kExportValueCannotBeCarried.arg(p.field, p.record, p.value);
        showMessage(texts::kExportCannotCarry.arg(problems.size()).arg(lines.join(u'\n')));
        return;
    }
    const QString fileName =
        Messages::current().saveFileName(texts::kExportSaveCaption, QString(), texts::kExportSaveFilter);
    if (fileName.isEmpty()) {
        reject();
        return;
    }
    qint64 records = -1;
    const bool done = guarded([&] {
        DialogProgress progress(texts::kExportProgress, this);
        records = writeExport(database_(), source_, fields, f, fileName, progress);
    });
    if (!done)
        return;
    if (records < 0) {
        showMessage(texts::kExportCancelled);
        return;
    }
    written_ = fileName;
    accept();
    SHELLEXECUTE_OPENFILE(fileName);
}

} // namespace torvika
