#include "catalogue/ui/form_revision.h"

#include "catalogue/articles.h"
#include "catalogue/reference_lists.h"
#include "catalogue/texts.h"
#include "catalogue/ui/article_picker.h"
#include "common/cformat.h"
#include "common/dates.h"
#include "common/ref_text.h"
#include "common/texts.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_get_kol.h"
#include "common/ui/messages.h"
#include "common/ui/progress_dialog.h"
#include "shell/session_grids.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace torvika {

QList<GridColumnSpec> revisionLineColumns(int decimals) {
    return {
        {QStringLiteral("Art_ID"), QStringLiteral("Арт. N"), 8, GridColumnSpec::Integer},
        {QStringLiteral("Art_Opis"), QStringLiteral("Описание"), 30},
        {QStringLiteral("Difrents"), QStringLiteral("Разлика"), 10, GridColumnSpec::Number, 3},
        {QStringLiteral("Nal_Kol"), QStringLiteral("Налично кол."), 10, GridColumnSpec::Number, 3},
        {QStringLiteral("Otkr_Kol"), QStringLiteral("Открито кол."), 10, GridColumnSpec::Number, 3},
        {QStringLiteral("Mqrka"), QStringLiteral("Мярка"), 6},
        {QStringLiteral("Ed_Cena"), QStringLiteral("Цена"), 10, GridColumnSpec::Number, decimals},
        {QStringLiteral("Valuta"), QStringLiteral("Валута"), 6},
        {QStringLiteral("Nal_Sum"), QStringLiteral("Сума налично"), 12, GridColumnSpec::Number, decimals},
        {QStringLiteral("Otkr_Sum"), QStringLiteral("Сума открито"), 12, GridColumnSpec::Number, decimals}};
}

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* makeSum(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(QStringLiteral("0.0000"), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    return e;
}

} // namespace

Form_Revision::Form_Revision(WindowContext context, QWidget* parent) : ListWindow(parent), context_(context) {
    setObjectName(QStringLiteral("Form_Revision"));
    setWindowTitle(texts::kRevisionTitle);
    const QSqlDatabase db = context_.session.db();

    auto* data = new QGroupBox(texts::kRevisionDataBox, this);
    number_ = new QLineEdit(data);
    number_->setObjectName(QStringLiteral("Edit_Nomer"));
    number_->setReadOnly(true);
    reason_ = new QComboBox(data);
    reason_->setObjectName(QStringLiteral("ComboBox_Osnovanie"));
    reason_->setEditable(true);
    reason_->lineEdit()->setMaxLength(kRevisionReasonWidth);
    date_ = new QDateEdit(data);
    date_->setObjectName(QStringLiteral("DateEdit_Data"));
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    date_->setCalendarPopup(true);
    time_ = new QTimeEdit(data);
    time_->setObjectName(QStringLiteral("TimeEdit_Chas"));
    time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    warehouse_ = new QComboBox(data);
    warehouse_->setObjectName(QStringLiteral("ComboBox_Sklad"));
    auto* dataForm = new QFormLayout(data);
    dataForm->addRow(texts::kRevisionNumberCaption, number_);
    dataForm->addRow(texts::kRevisionReasonCaption, reason_);
    dataForm->addRow(texts::kRevisionDateCaption, date_);
    dataForm->addRow(texts::kRevisionTimeCaption, time_);
    dataForm->addRow(texts::kRevisionWarehouseCaption, warehouse_);

    auto* value = new QGroupBox(texts::kRevisionValueBox, this);
    recorded_ = makeSum(value, "Edit_Nalichno");
    counted_ = makeSum(value, "Edit_Otkrito");
    difference_ = makeSum(value, "Edit_Razlika");
    auto* valueForm = new QFormLayout(value);
    valueForm->addRow(texts::kRevisionRecordedCaption, recorded_);
    valueForm->addRow(texts::kRevisionCountedCaption, counted_);
    valueForm->addRow(texts::kRevisionDifferenceCaption, difference_);

    article_ = new QLineEdit(QStringLiteral("0"), this);
    article_->setObjectName(QStringLiteral("Edit_Artikul"));
    article_->setToolTip(texts::kRevisionArticleHint);
    article_->setPlaceholderText(texts::kRevisionArticleHint);
    articleLabel_ = new QLabel(texts::kNoArticleChosen, this);
    articleLabel_->setObjectName(QStringLiteral("Label_Artikul"));
    quantity_ = new QLineEdit(QStringLiteral("1"), this);
    quantity_->setObjectName(QStringLiteral("Edit_Kol"));
    quantity_->setToolTip(texts::kRevisionQuantityHint);
    quantity_->setPlaceholderText(texts::kRevisionQuantityHint);
    quantity_->setEnabled(false);
    auto* entry = new QHBoxLayout;
    entry->addWidget(article_);
    entry->addWidget(articleLabel_, 1);
    entry->addWidget(quantity_);

    auto* grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid_Revision"));
    grid->setMinimumSize(720, 260);
    auto* pick = makeButton(this, "Button_Izberi", texts::kRevisionPick);
    auto* print = makeButton(this, "Button_Pe4at", texts::kRevisionPrint);
    auto* edit = makeButton(this, "Button_Redaktirai", texts::kRevisionEdit);
    auto* remove = makeButton(this, "Button_Iztrii", texts::kRevisionDelete);
    auto* import = makeButton(this, "Button_Import", texts::kRevisionImport);
    auto* exportButton = makeButton(this, "Button_Export", texts::kRevisionExport);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {pick, print, edit, remove, import, exportButton})
        side->addWidget(b);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(grid, 1);
    middle->addLayout(side);

    auto* saveButton = makeButton(this, "Button_Zapis", texts::kRevisionSave);
    auto* cancel = makeButton(this, "Button_Otkaz", texts::kCancelButton);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(saveButton);
    bottom->addWidget(cancel);

    auto* top = new QHBoxLayout;
    top->addWidget(data, 1);
    top->addWidget(value);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(entry);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    const int decimals = context_.session.displayDecimals();
    setUpList(gridContext(context_.session), grid, revisionLineColumns(decimals), QStringLiteral("Art_ID"),
              true);

    guarded([&] {
        warehouse_->addItems(warehouseItems(db));
        number_->setText(QString::number(expectedRevisionNumber(db)));
        reason_->addItems(revisionReasons(db));
    });
    warehouse_->setCurrentIndex(warehouse_->count() > 0 ? 0 : -1);
    const QDateTime now = context_.session.now();
    date_->setDate(now.date());
    time_->setTime(now.time());
    const qint64 chosen = warehouse_->count() > 0 ? GetID_MFromTreeNodeName(warehouse_->currentText()) : 0;
    guarded([&] { draft_ = std::make_unique<RevisionDraft>(db, chosen); });
    refresh();

    article_->installEventFilter(this);
    quantity_->installEventFilter(this);
    grid->installEventFilter(this);
    connect(grid, &QTableView::doubleClicked, this, &Form_Revision::editLine);
    connect(warehouse_, &QComboBox::currentIndexChanged, this, &Form_Revision::warehouseChosen);
    connect(pick, &QPushButton::clicked, this, &Form_Revision::pickArticles);
    connect(print, &QPushButton::clicked, this, &Form_Revision::print);
    connect(edit, &QPushButton::clicked, this, &Form_Revision::editLine);
    connect(remove, &QPushButton::clicked, this, &Form_Revision::deleteLines);
    connect(import, &QPushButton::clicked, this, &Form_Revision::importFile);
    connect(exportButton, &QPushButton::clicked, this, &Form_Revision::exportFile);
    connect(saveButton, &QPushButton::clicked, this, &Form_Revision::save);
    connect(cancel, &QPushButton::clicked, this, &Form_Revision::reject);
    article_->setFocus();
    article_->selectAll();
}

Form_Revision::~Form_Revision() = default;

bool Form_Revision::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == article_ && enter) {
            articleEntered();
            return true;
        }
        if (watched == quantity_ && enter) {
            quantityEntered();
            return true;
        }
        if (watched == grid()) {
            if (enter) {
                editLine();
                return true;
            }
            if (key == Qt::Key_Delete) {
                deleteLines();
                return true;
            }
        }
    }
    return ListWindow::eventFilter(watched, event);
}

QString Form_Revision::articleLabel(qint64 article) const {
    const std::optional<Article> a = loadArticle(context_.session.db(), article);
    return a ? QStringLiteral("%1:%2").arg(article).arg(a->description) : QString::number(article);
}

void Form_Revision::articleEntered() {
    if (!draft_)
        return;
    const std::optional<qint64> id = parseKeyNumber(article_->text());
    std::optional<Article> found;
    if (id && !guarded([&] { found = loadArticle(context_.session.db(), *id); }))
        return;
    if (!found) {
        showMessage(texts::kRevisionNoSuchArticle);
        pickArticles();
        return;
    }
    const QString label = QStringLiteral("%1:%2").arg(*id).arg(found->description);
    articleLabel_->setText(label);
    std::optional<Decimal> counted;
    Decimal recorded;
    if (!guarded([&] {
            counted = draft_->countedQuantity(*id);
            if (!counted)
                recorded = draft_->recordedQuantity(*id);
        }))
        return;
    if (counted) {
        if (askYesNo(texts::kRevisionArticleEntered.arg(label)))
            editArticle(*id, label);
        else {
            article_->setFocus();
            article_->selectAll();
        }
        return;
    }
    typed_ = *id;
    quantity_->setEnabled(true);
    quantity_->setText(formatFixed(recorded, 2));
    quantity_->setFocus();
    quantity_->selectAll();
}

void Form_Revision::quantityEntered() {
    if (!typed_ || !draft_)
        return;
    const std::optional<Decimal> q = Decimal::parse(quantity_->text());
    if (!q || q->sign() < 0) {
        showMessage(texts::kRevisionBadQuantity);
        quantity_->setFocus();
        quantity_->selectAll();
        return;
    }
    bool added = false;
    if (!guarded([&] { added = draft_->addCount(*typed_, *q); }))
        return;
    if (!added)
        showMessage(texts::kRevisionNoSuchArticle);
    typed_.reset();
    quantity_->setEnabled(false);
    refresh();
    article_->setFocus();
    article_->selectAll();
}

void Form_Revision::pickArticles() {
    if (!draft_)
        return;
    const std::optional<ArticleChoice> choice =
        torvika::pickArticles(context_, kSelectRevisionArticles, this);
    if (!choice)
        return;
    guarded([&] {
        for (const PickedArticle& a : choice->articles)
            if (a.quantity)
                draft_->addCount(a.id, *a.quantity);
    });
    refresh();
}

void Form_Revision::editArticle(qint64 article, const QString& label) {
    const std::optional<Decimal> q = askQuantity(label, this);
    if (!q)
        return;
    guarded([&] { draft_->setCount(article, *q); });
    refresh();
}

void Form_Revision::editLine() {
    const QVariant key = currentKey();
    if (!key.isValid() || !draft_)
        return;
    const qint64 article = key.toLongLong();
    editArticle(article,
                QStringLiteral("%1:%2").arg(article).arg(
                    model()->value(grid()->currentIndex().row(), QStringLiteral("Art_Opis")).toString()));
}

void Form_Revision::deleteLines() {
    const QList<QVariant> marked = markedKeys();
    if (marked.isEmpty() || !draft_ || !askYesNo(texts::kRevisionDeleteQuestion))
        return;
    QList<qint64> articles;
    for (const QVariant& k : marked)
        articles << k.toLongLong();
    guarded([&] { draft_->removeLines(articles); });
    refresh();
}

void Form_Revision::importFile() {
    if (!draft_)
        return;
    const QString fileName = Messages::current().openFileName(texts::kRevisionCountFileCaption, QString(),
                                                              texts::kImportFileFilter);
    if (fileName.isEmpty())
        return;
    CountFileImport result;
    const bool read = guarded([&] {
        DialogProgress progress(texts::kRevisionCountFileProgress, this);
        result = draft_->importCountFile(fileName, progress);
    });
    refresh();
    if (!read)
        return;
    if (result.cancelled) {
        showMessage(texts::kRevisionCountFileCancelled);
        return;
    }
    QString text = texts::kRevisionCountFileRead.arg(result.lines).arg(result.articles);
    if (!result.problems.isEmpty())
        text += u'\n' + texts::kRevisionCountFileLeftOut.arg(result.problems.join(u'\n'));
    showMessage(text);
}

void Form_Revision::exportFile() {
    if (!draft_)
        return;
    if (draft_->isEmpty()) {
        showMessage(texts::kNothingToPrint);
        return;
    }
    const QString fileName = Messages::current().saveFileName(texts::kRevisionCountFileCaption, QString(),
                                                              texts::kImportFileFilter);
    if (fileName.isEmpty())
        return;
    guarded([&] { draft_->exportCountFile(fileName); });
}

void Form_Revision::print() {
    GridExport what;
    what.name = QStringLiteral("Revision");
    what.heading = {QString(), texts::kRevisionPrintNumber.arg(number_->text()), QString(),
                    texts::kRevisionPrintDate.arg(shortDate(date_->date()), shortTime(time_->time()))};
    what.closing = {QString(), texts::kRevisionPrintRecorded.arg(recorded_->text()),
                    QString(), texts::kRevisionPrintCounted.arg(counted_->text()),
                    QString(), texts::kRevisionPrintDifference.arg(difference_->text()),
                    QString()};
    what.footerPrefix = QStringLiteral("\t");
    printList(what);
}

void Form_Revision::save() {
    if (!draft_)
        return;
    bool empty = true;
    if (!guarded([&] { empty = draft_->isEmpty(); }))
        return;
    if (!empty) {
        std::optional<qint64> saved;
        if (!guarded([&] { saved = draft_->save(date_->date(), time_->time(), reason_->currentText()); }))
            return;
    }
    closing_ = true;
    accept();
}

void Form_Revision::reject() {
    if (!closing_ && draft_) {
        bool empty = true;
        guarded([&] { empty = draft_->isEmpty(); });
        if (!empty && !askYesNo(texts::kRevisionCloseQuestion))
            return;
    }
    closing_ = true;
    ListWindow::reject();
}

void Form_Revision::closeEvent(QCloseEvent* event) {
    if (closing_) {
        ListWindow::closeEvent(event);
        return;
    }
    event->ignore();
    reject();
}

void Form_Revision::warehouseChosen() {
    if (!draft_ || warehouse_->currentIndex() < 0)
        return;
    const qint64 chosen = GetID_MFromTreeNodeName(warehouse_->currentText());
    if (!draft_->setWarehouse(chosen)) {
        // Lines exist: the counted warehouse stays.
        const QSignalBlocker block(warehouse_);
        for (int i = 0; i < warehouse_->count(); ++i)
            if (GetID_MFromTreeNodeName(warehouse_->itemText(i)) == draft_->warehouse())
                warehouse_->setCurrentIndex(i);
    }
}

void Form_Revision::refresh() {
    if (!draft_)
        return;
    guarded([&] {
        const RevisionTotals t = draft_->totals();
        const int decimals = context_.session.displayDecimals();
        recorded_->setText(formatFixed(t.recorded, decimals));
        counted_->setText(formatFixed(t.counted, decimals));
        difference_->setText(formatFixed(t.difference(), decimals));
        open(draft_->linesStatement());
        warehouse_->setEnabled(draft_->isEmpty());
    });
}

} // namespace torvika
