#include "tasks/ui/form_newzada4a.h"

#include "common/errors.h"
#include "common/grid_export.h"
#include "common/ref_text.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "counterparties/ui/counterparty_picker.h"
#include "counterparties/ui/quick_search.h"
#include "tasks/texts.h"
#include "ui_form_newzada4a.h"

#include <QDir>
#include <QLineEdit>

namespace torvika {

namespace {

QTime toMinute(const QTime& t) {
    return QTime(t.hour(), t.minute());
}

} // namespace

TForm_NewZada4a::TForm_NewZada4a(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui(new Ui::TForm_NewZada4a) {
    ui->setupUi(this);
    ui->QuickSearch_Vazlojitel->setUp(context, QuickSearchPage::Service, this);
    ui->QuickSearch_Vazlojitel->setNames(QStringLiteral("Edit_Vazlojitel"),
                                         QStringLiteral("ListBox_SelectDostav4ik"));
    for (QStringView r : taskRepetitions)
        ui->ComboBox_Povtorenie->addItem(r.toString());
    resize(640, 420);
    connect(ui->BitBtn_Ok, &QPushButton::clicked, this, &TForm_NewZada4a::BitBtn_OkClick);
    connect(ui->BitBtn_Cancel, &QPushButton::clicked, this, [this] {
        clearFields();
        reject();
    });
    connect(ui->Button2, &QPushButton::clicked, this, &TForm_NewZada4a::Button2Click);
    connect(ui->Button_Nov, &QPushButton::clicked, this, &TForm_NewZada4a::Button_NovClick);
    connect(ui->ComboBox_Povtorenie, &QComboBox::activated, this,
            &TForm_NewZada4a::ComboBox_PovtorenieChange);
}

TForm_NewZada4a::~TForm_NewZada4a() = default;

void TForm_NewZada4a::clearFields() {
    ui->Edit_Opisanie->clear();
    ui->Edit_Izpalnitel->clear();
    ui->QuickSearch_Vazlojitel->field()->clear();
    ui->Memo_Zabel->clear();
    ui->ComboBox_Status->clear();
    ui->ComboBox_Status->addItem(taskStatuses[kTaskAssigned].toString());
}

void TForm_NewZada4a::newTask() {
    setWindowTitle(texts::kNewTaskCaption);
    editedId_ = 0;
    clearFields();
    const QDateTime now = context_.session.now();
    ui->DateTimePicker_D_Vazlagane->setDate(now.date());
    ui->DateTimePicker_D_Izpalnenie->setDate(now.date());
    ui->DateTimePicker_T_Vazlagane->setTime(toMinute(now.time()));
    ui->DateTimePicker_T_Izpalnenie->setTime(toMinute(now.time()));
    ui->ComboBox_Povtorenie->setCurrentIndex(kOnce);
    ui->Edit_Opisanie->setFocus();
}

void TForm_NewZada4a::editTask(const Task& task, const QString& assignerName) {
    setWindowTitle(texts::kEditTaskCaption);
    editedId_ = task.id;
    ui->Edit_Opisanie->setText(task.description);
    ui->Edit_Izpalnitel->setText(task.performers);
    ui->QuickSearch_Vazlojitel->setCounterpartyText(refText(task.assigner, assignerName));
    // Every status, the stored one chosen.
    ui->ComboBox_Status->clear();
    for (QStringView s : taskStatuses)
        ui->ComboBox_Status->addItem(s.toString());
    ui->ComboBox_Status->setCurrentIndex(std::max(0, taskStatusIndex(task.status)));
    ui->ComboBox_Povtorenie->setCurrentIndex(std::clamp(task.repetition, 0, int(taskRepetitions.size()) - 1));
    ui->DateTimePicker_D_Vazlagane->setDate(task.assignedDate);
    ui->DateTimePicker_T_Vazlagane->setTime(task.assignedTime);
    ui->DateTimePicker_D_Izpalnenie->setDate(task.dueDate);
    ui->DateTimePicker_T_Izpalnenie->setTime(task.dueTime);
    ui->Memo_Zabel->setPlainText(task.note);
    ui->Edit_Opisanie->setFocus();
}

Task TForm_NewZada4a::typedTask() const {
    Task t;
    t.id = editedId_;
    t.description = ui->Edit_Opisanie->text();
    t.performers = ui->Edit_Izpalnitel->text();
    t.status = ui->ComboBox_Status->currentText();
    const QString assigner = ui->QuickSearch_Vazlojitel->field()->text();
    t.assigner = assigner.contains(QLatin1Char(':')) ? GetID_MFromTreeNodeName(assigner) : 0;
    t.assignedDate = ui->DateTimePicker_D_Vazlagane->date();
    t.assignedTime = ui->DateTimePicker_T_Vazlagane->time();
    t.dueDate = ui->DateTimePicker_D_Izpalnenie->date();
    t.dueTime = ui->DateTimePicker_T_Izpalnenie->time();
    t.note = ui->Memo_Zabel->toPlainText();
    t.repetition = ui->ComboBox_Povtorenie->currentIndex();
    return t;
}

void TForm_NewZada4a::ComboBox_PovtorenieChange(int index) {
    const QDateTime assigned(ui->DateTimePicker_D_Vazlagane->date(), ui->DateTimePicker_T_Vazlagane->time());
    if (const std::optional<QDateTime> due = repeatedMoment(index, assigned)) {
        ui->DateTimePicker_D_Izpalnenie->setDate(due->date());
        ui->DateTimePicker_T_Izpalnenie->setTime(due->time());
    }
}

void TForm_NewZada4a::Button_NovClick() {
    pickCounterparty(context_, kBrowseCounterparties, this);
}

void TForm_NewZada4a::BitBtn_OkClick() {
    const Task task = typedTask();
    std::optional<TaskRefusal> refusal;
    if (!guarded([&] { refusal = taskRefusal(context_.session.db(), task); }))
        return;
    if (refusal) {
        switch (refusal->field) {
        case TaskRefusal::DueDate:
            ui->DateTimePicker_D_Izpalnenie->setFocus();
            break;
        case TaskRefusal::DueTime:
            ui->DateTimePicker_T_Izpalnenie->setFocus();
            break;
        case TaskRefusal::Assigner:
            ui->QuickSearch_Vazlojitel->field()->setFocus();
            break;
        case TaskRefusal::Status:
            ui->ComboBox_Status->setFocus();
            break;
        }
        showMessage(refusal->message);
        return;
    }
    try {
        if (editedId_ == 0) {
            saved_ = insertTask(context_.session.db(), task);
        } else {
            next_ = updateTask(context_.session.db(), task);
            saved_ = editedId_;
        }
    } catch (const EDatabaseError& e) {
        // What was typed stays for another try.
        reportError(e, texts::kTaskInvalidData);
        return;
    } catch (const Error& e) {
        reportError(e);
        return;
    }
    accept();
}

void TForm_NewZada4a::Button2Click() {
    guarded([this] {
        TaskProtocol p;
        const Settings& settings = context_.session.settings();
        p.companyName = settings.get(setting::kCompanyName);
        p.companyAddress = settings.get(setting::kCompanyAddress);
        p.now = context_.session.now();
        p.task = typedTask();
        p.assignerText = ui->QuickSearch_Vazlojitel->field()->text();
        const QString dir = context_.session.programDir.tempDir();
        QDir().mkpath(dir);
        const QString file = QDir(dir).filePath(QStringLiteral("ProtZadanie.txt"));
        if (!writeExportLines(file, taskProtocolLines(p), ExportWrite::Rewrite))
            throw EInOutError(QStringLiteral("Файлът не може да бъде записан: ") +
                              QDir::toNativeSeparators(file));
        SHELLEXECUTE_OPENFILE(file);
    });
}

} // namespace torvika
