#include "tasks/tasks.h"

#include "common/dates.h"
#include "common/errors.h"
#include "common/grid_export.h"
#include "common/sql.h"
#include "common/sql_dialect.h"
#include "tasks/texts.h"

namespace torvika {

namespace {

const QString kKey = QStringLiteral("Zada4i_Zadanie.ID");
// One line: the title sort keeps the first line of the statement.
const QString kListSelect = QStringLiteral(
    "SELECT Zada4i_Zadanie.ID, Zada4i_Zadanie.Opisanie_Z, Zada4i_Zadanie.Vazlojil_Klient, "
    "Zada4i_Zadanie.Izpalniteli, Zada4i_Zadanie.Status, Zada4i_Zadanie.D_Izpalnenie, "
    "Zada4i_Zadanie.T_Izpalnenie, Zada4i_Zadanie.D_Vazlagane, Zada4i_Zadanie.T_Vazlagane, Firmi.Ime_Firma, "
    "Zada4i_Zadanie.Zabel, Zada4i_Zadanie.Povtorenie FROM Zada4i_Zadanie JOIN Firmi ON "
    "Zada4i_Zadanie.Vazlojil_Klient = Firmi.ID");

QString timeText(const QTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QVariantList taskValues(const Task& t) {
    return {t.description,
            t.performers,
            t.status,
            t.assigner,
            isoDate(t.assignedDate),
            timeText(t.assignedTime),
            isoDate(t.dueDate),
            timeText(t.dueTime),
            t.note,
            t.repetition};
}

void checkTask(const QSqlDatabase& db, const Task& task) {
    if (const std::optional<TaskRefusal> r = taskRefusal(db, task))
        throw EConvertError(r->message);
}

qint64 insertRow(const QSqlDatabase& db, const Task& task) {
    return insertReturningKey(
        db,
        QStringLiteral("INSERT INTO Zada4i_Zadanie (Opisanie_Z, Izpalniteli, Status, "
                       "Vazlojil_Klient, D_Vazlagane, T_Vazlagane, D_Izpalnenie, "
                       "T_Izpalnenie, Zabel, Povtorenie) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        taskValues(task), QStringLiteral("ID"));
}

QDateTime shifted(int repetition, const QDateTime& moment) {
    switch (repetition) {
    case kHourly:
        return moment.addSecs(3600);
    case kDaily:
        return moment.addDays(1);
    case kWeekly:
        return moment.addDays(7);
    case kMonthly:
        return moment.addDays(30);
    default:
        return moment;
    }
}

} // namespace

int taskStatusIndex(const QString& text) {
    for (int i = 0; i < int(taskStatuses.size()); ++i)
        if (text.trimmed().compare(taskStatuses[i], Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QDateTime> repeatedMoment(int repetition, const QDateTime& assigned) {
    if (repetition <= kOnce || repetition > kMonthly)
        return std::nullopt;
    return shifted(repetition, assigned);
}

TaskMark taskMark(const QString& status, const QDate& due, const QDate& today) {
    switch (taskStatusIndex(status)) {
    case kTaskAssigned:
        return due.isValid() && due <= today ? TaskMark::Overdue : TaskMark::None;
    case kTaskRunning:
        return TaskMark::Running;
    case kTaskPostponed:
        return TaskMark::Postponed;
    default:
        return TaskMark::None;
    }
}

std::optional<TaskRefusal> taskRefusal(const QSqlDatabase& db, const Task& task) {
    if (task.dueDate < task.assignedDate)
        return TaskRefusal{TaskRefusal::DueDate, texts::kDueDateBeforeAssignment};
    if (task.dueDate == task.assignedDate && task.dueTime < task.assignedTime)
        return TaskRefusal{TaskRefusal::DueTime, texts::kDueTimeBeforeAssignment};
    if (taskStatusIndex(task.status) < 0)
        return TaskRefusal{TaskRefusal::Status, texts::kTaskBadStatus.arg(task.status)};
    if (task.assigner <= 0)
        return TaskRefusal{TaskRefusal::Assigner, texts::kNoTaskAssigner};
    if (!scalarSql(db, QStringLiteral("SELECT ID FROM Firmi WHERE ID = ?"), {task.assigner}).isValid())
        return TaskRefusal{TaskRefusal::Assigner, texts::kTaskAssignerMissing.arg(task.assigner)};
    return std::nullopt;
}

qint64 insertTask(const QSqlDatabase& db, const Task& task) {
    checkTask(db, task);
    return insertRow(db, task);
}

std::optional<qint64> updateTask(const QSqlDatabase& db, const Task& task) {
    checkTask(db, task);
    Transaction tx(db);
    const std::optional<Task> before = loadTask(db, task.id);
    if (!before)
        throw EDatabaseError(texts::kTaskNotFound);
    QVariantList values = taskValues(task);
    values << task.id;
    execSql(db,
            QStringLiteral("UPDATE Zada4i_Zadanie SET Opisanie_Z = ?, Izpalniteli = ?, Status = ?, "
                           "Vazlojil_Klient = ?, D_Vazlagane = ?, T_Vazlagane = ?, D_Izpalnenie = ?, "
                           "T_Izpalnenie = ?, Zabel = ?, Povtorenie = ? WHERE ID = ?"),
            values);
    std::optional<qint64> next;
    const bool doneNow =
        taskStatusIndex(task.status) == kTaskDone && taskStatusIndex(before->status) != kTaskDone;
    if (doneNow && repeatedMoment(task.repetition, QDateTime(task.assignedDate, task.assignedTime))) {
        Task following = task;
        following.id = 0;
        following.status = taskStatuses[kTaskAssigned].toString();
        const QDateTime assigned = shifted(task.repetition, QDateTime(task.assignedDate, task.assignedTime));
        const QDateTime due = shifted(task.repetition, QDateTime(task.dueDate, task.dueTime));
        following.assignedDate = assigned.date();
        following.assignedTime = assigned.time();
        following.dueDate = due.date();
        following.dueTime = due.time();
        next = insertRow(db, following);
    }
    tx.commit();
    return next;
}

std::optional<Task> loadTask(const QSqlDatabase& db, qint64 id) {
    const SqlRows rows =
        readRows(db,
                 QStringLiteral("SELECT ID, Opisanie_Z, Izpalniteli, Status, Vazlojil_Klient, "
                                "D_Vazlagane, T_Vazlagane, D_Izpalnenie, T_Izpalnenie, Zabel, "
                                "Povtorenie FROM Zada4i_Zadanie WHERE ID = ?"),
                 {id});
    if (rows.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rows.rows.front();
    Task t;
    t.id = r[0].toLongLong();
    t.description = r[1].toString();
    t.performers = r[2].toString();
    t.status = r[3].toString();
    t.assigner = r[4].toLongLong();
    t.assignedDate = QDate::fromString(r[5].toString(), Qt::ISODate);
    t.assignedTime = QTime::fromString(r[6].toString(), QStringLiteral("HH:mm:ss"));
    t.dueDate = QDate::fromString(r[7].toString(), Qt::ISODate);
    t.dueTime = QTime::fromString(r[8].toString(), QStringLiteral("HH:mm:ss"));
    t.note = r[9].toString();
    t.repetition = r[10].toInt();
    return t;
}

SqlStatement tasksStatement() {
    return {kListSelect + QStringLiteral("\nORDER BY ") + kKey, {}, kKey};
}

TaskColumnKind taskColumnKind(TaskColumn column) {
    switch (column) {
    case TaskColumn::DueDate:
    case TaskColumn::AssignedDate:
        return TaskColumnKind::Date;
    case TaskColumn::DueTime:
    case TaskColumn::AssignedTime:
        return TaskColumnKind::Time;
    default:
        return TaskColumnKind::Text;
    }
}

QString taskColumnField(TaskColumn column) {
    switch (column) {
    case TaskColumn::Description:
        return QStringLiteral("Zada4i_Zadanie.Opisanie_Z");
    case TaskColumn::Assigner:
        return QStringLiteral("Firmi.Ime_Firma");
    case TaskColumn::Performers:
        return QStringLiteral("Zada4i_Zadanie.Izpalniteli");
    case TaskColumn::Status:
        return QStringLiteral("Zada4i_Zadanie.Status");
    case TaskColumn::DueDate:
        return QStringLiteral("Zada4i_Zadanie.D_Izpalnenie");
    case TaskColumn::DueTime:
        return QStringLiteral("Zada4i_Zadanie.T_Izpalnenie");
    case TaskColumn::AssignedDate:
        return QStringLiteral("Zada4i_Zadanie.D_Vazlagane");
    case TaskColumn::AssignedTime:
        return QStringLiteral("Zada4i_Zadanie.T_Vazlagane");
    case TaskColumn::Note:
        return QStringLiteral("Zada4i_Zadanie.Zabel");
    }
    return kKey;
}

SqlStatement taskSearchStatement(const TaskSearch& search) {
    const QString field = taskColumnField(search.column);
    const TaskColumnKind kind = taskColumnKind(search.column);
    QString condition;
    QVariantList values;
    if (kind == TaskColumnKind::Text) {
        if (search.text.trimmed().isEmpty())
            throw EConvertError(texts::kTaskNoSearchValue);
        const ContainsCondition c = likeCondition(field, likeContains(search.text.trimmed().toUpper()));
        condition = c.sql;
        values << c.value;
    } else {
        const bool between = search.comparison == TaskComparison::Between;
        QVariant from, to;
        if (kind == TaskColumnKind::Date) {
            if (!search.fromDate.isValid() || (between && !search.toDate.isValid()))
                throw EConvertError(texts::kTaskNoSearchValue);
            from = isoDate(search.fromDate);
            to = isoDate(search.toDate);
        } else {
            if (!search.fromTime.isValid() || (between && !search.toTime.isValid()))
                throw EConvertError(texts::kTaskNoSearchValue);
            // Times compare to the minute, as the pickers show them.
            from = search.fromTime.toString(QStringLiteral("HH:mm"));
            to = search.toTime.toString(QStringLiteral("HH:mm"));
        }
        const QString compared =
            kind == TaskColumnKind::Time ? QStringLiteral("SUBSTR(%1, 1, 5)").arg(field) : field;
        switch (search.comparison) {
        case TaskComparison::Equal:
            condition = compared + QStringLiteral(" = ?");
            values << from;
            break;
        case TaskComparison::Greater:
            condition = compared + QStringLiteral(" > ?");
            values << from;
            break;
        case TaskComparison::Less:
            condition = compared + QStringLiteral(" < ?");
            values << from;
            break;
        case TaskComparison::Between:
            condition = compared + QStringLiteral(" BETWEEN ? AND ?");
            values << from << to;
            break;
        }
    }
    return {kListSelect + QStringLiteral(" WHERE ") + condition + QStringLiteral("\nORDER BY ") + kKey,
            values, kKey};
}

int overdueTaskCount(const QSqlDatabase& db, const QDate& today) {
    return scalarSql(
               db,
               QStringLiteral("SELECT COUNT(*) FROM Zada4i_Zadanie JOIN Firmi ON "
                              "Zada4i_Zadanie.Vazlojil_Klient = Firmi.ID WHERE Zada4i_Zadanie.Status = ? "
                              "AND Zada4i_Zadanie.D_Izpalnenie <= ?"),
               {taskStatuses[kTaskAssigned].toString(), isoDate(today)}, 0)
        .toInt();
}

QStringList taskProtocolLines(const TaskProtocol& p) {
    const QString head =
        QStringLiteral("|N|------------------ВЛОЖЕНИ ЕЛЕМЕНТИ--------------------|---КОЛ---|--ЕД.ЦЕНА---|"
                       "----ОБЩО----|");
    QStringList lines;
    auto line = [&lines](const QString& text) { lines << QStringLiteral("\t") + text; };
    line(QString());
    line(p.companyName.toUpper() + QStringLiteral("\t") + p.companyAddress.toUpper());
    line(QString());
    line(QStringLiteral("ПРОТОКОЛ ЗА ИЗПЪЛНЕНИЕ НА ВЪЗЛОЖЕНА ДЕЙНОСТ \tДата:") + shortDate(p.now.date()) +
         QStringLiteral(" ") + shortTime(p.now.time()));
    line(QStringLiteral("ЗАДАНИЕ N:") + QString::number(p.task.id) + QStringLiteral("\tОт дата:") +
         shortDate(p.task.assignedDate));
    line(QStringLiteral("ВЪЗЛОЖИТЕЛ: ") + p.assignerText);
    line(QStringLiteral("ЗАДАНИЕ: ") + p.task.description);
    line(QStringLiteral("ИЗПЪЛНИТЕЛИ: ") + p.task.performers);
    line(QString());
    line(QStringLiteral("Престой:От ............. До ............. "));
    line(QStringLiteral("Труд /на час/:..................."));
    line(QStringLiteral("Разстояние /в км/ :.............."));
    line(QString());
    line(head);
    // The numbered rows: dots in every column of the head.
    const QStringList cells = head.split(QLatin1Char('|'));
    for (int n = 1; n <= 4; ++n) {
        QString row = QStringLiteral("|") + QString::number(n) + QStringLiteral("|");
        for (int c = 2; c < cells.size() - 1; ++c)
            row += QString(cells[c].size(), u'.') + QStringLiteral("|");
        line(row);
    }
    line(QString());
    line(QStringLiteral("Общо дължима сума:.............."));
    line(QStringLiteral("Вид плащане:.............."));
    line(QStringLiteral("Документ N:................; От дата : ............ г"));
    line(QString());
    const QString assigner = QStringLiteral("ВЪЗЛОЖИТЕЛ:................");
    const QString gap(24, u' ');
    line(assigner + gap + QStringLiteral("ИЗПЪЛНИТЕЛ:................"));
    const QString under = QStringLiteral("   /   име/подпис  /");
    line(under + QString(assigner.size() + gap.size() - under.size(), u' ') + under);
    line(QString());
    line(footerLine());
    return lines;
}

} // namespace torvika
