// The window kit offscreen, its controls pressed by name: the record
// window's navigator (moving, inserting, editing by typing, posting,
// cancelling, deleting with its question, refreshing), its row buttons and
// locked fields, its in-place grid; and the list window's title sort, search
// line and print. The windows here are small ones over the towns table.

#include "common/errors.h"
#include "common/sql.h"
#include "common/ui/desktop.h"
#include "common/ui/error_edge.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/list_window.h"
#include "common/ui/messages.h"
#include "common/ui/record_window.h"
#include "shell/session_grids.h"
#include "support/fixture.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

using namespace torvika;

namespace {

const QString kRefused = QStringLiteral("Въведете име");
const QString kKept = QStringLiteral("Градът се пази");

qint64 addTown(const QSqlDatabase& db, const QString& name, const QString& pk = QString()) {
    execSql(db, "INSERT INTO Grad (Opisanie, PK, TK) VALUES (?, ?, '')", {name, pk});
    return scalarSql(db, "SELECT MAX(ID) FROM Grad").toLongLong();
}

QList<qint64> ids(const QList<QVariant>& keys) {
    QList<qint64> out;
    for (const QVariant& k : keys)
        out << k.toLongLong();
    return out;
}

QStringList towns(const QSqlDatabase& db) {
    QStringList out;
    QSqlQuery q = execSql(db, "SELECT Opisanie, PK FROM Grad ORDER BY Opisanie");
    while (q.next())
        out << q.value(0).toString() + u'/' + q.value(1).toString();
    return out;
}

// The towns by name, edited in two fields. An empty name is refused, the
// name "грешка" fails as the database would, a town whose code is "пази"
// is not deleted.
class TownsWindow : public RecordWindow {
public:
    TownsWindow(Session& session, Style style, bool ask = false) {
        auto* layout = new QVBoxLayout(this);
        auto* navigator = new RecordNavigator(this);
        navigator->setObjectName("DBNavigator");
        auto* grid = new QTableView(this);
        grid->setObjectName("DBGrid");
        auto* name = new QLineEdit(this);
        name->setObjectName("Edit_Name");
        auto* code = new QLineEdit(this);
        code->setObjectName("Edit_Code");
        auto* insert = new QPushButton(this);
        insert->setObjectName("Button_Nov");
        auto* remove = new QPushButton(this);
        remove->setObjectName("Button_Iztrii");
        auto* edit = new QPushButton(this);
        edit->setObjectName("Button_Redaktirai");
        for (QWidget* w : std::initializer_list<QWidget*>{navigator, grid, name, code, insert, remove, edit})
            layout->addWidget(w);

        const QSqlDatabase db = session.db();
        Records towns;
        towns.statement = [] {
            return SqlStatement{QStringLiteral("SELECT ID, Opisanie, PK FROM Grad ORDER BY Opisanie, ID"),
                                {},
                                QStringLiteral("ID")};
        };
        towns.show = [this, name, code](int row) {
            name->setText(model()->value(row, QStringLiteral("Opisanie")).toString());
            code->setText(model()->value(row, QStringLiteral("PK")).toString());
        };
        towns.store = [db, name, code](const QVariant& key) -> std::optional<QVariant> {
            if (name->text().trimmed().isEmpty()) {
                refuseField(kRefused, name);
                return std::nullopt;
            }
            if (name->text() == QStringLiteral("грешка"))
                throw EDatabaseError(QStringLiteral("отказан запис"));
            if (!key.isValid())
                return addTown(db, name->text(), code->text());
            execSql(db, "UPDATE Grad SET Opisanie = ?, PK = ? WHERE ID = ?",
                    {name->text(), code->text(), key});
            return key;
        };
        towns.add = [this, db]() -> std::optional<QVariant> {
            const std::optional<QString> typed =
                Messages::current().inputText(windowTitle(), QStringLiteral("Име:"), {});
            if (!typed)
                return std::nullopt;
            return addTown(db, *typed);
        };
        towns.storeField = [db](const QVariant& key, const QString& field, const QString& text) {
            if (text.isEmpty())
                throw EDatabaseError(kRefused);
            execSql(db, QStringLiteral("UPDATE Grad SET %1 = ? WHERE ID = ?").arg(field), {text, key});
        };
        towns.remove = [db](const QVariant& key) {
            if (scalarSql(db, "SELECT PK FROM Grad WHERE ID = ?", {key}).toString() ==
                QStringLiteral("пази")) {
                showMessage(kKept);
                return false;
            }
            execSql(db, "DELETE FROM Grad WHERE ID = ?", {key});
            return true;
        };
        if (ask)
            towns.question = [this](int row) {
                return QStringLiteral("Изтриване на %1?")
                    .arg(model()->value(row, QStringLiteral("Opisanie")).toString());
            };
        setUpRecords(gridContext(session), grid,
                     {{QStringLiteral("Opisanie"), QStringLiteral("Име")},
                      {QStringLiteral("PK"), QStringLiteral("Код")}},
                     QStringLiteral("ID"), style, towns);
        if (style == Style::InPlace)
            setEditableFields({QStringLiteral("PK")});
        else
            setRecordFields({name, code}, code);
        if (style == Style::LockedFields) {
            navigator->hide();
            setRowButtons(insert, remove);
            bindButton(edit, RecordCommand::Edit);
        } else {
            setNavigator(navigator);
            bindButton(insert, RecordCommand::Insert);
            bindButton(remove, RecordCommand::Delete);
            bindButton(edit, RecordCommand::Edit);
        }
        reread();
    }
};

// The towns whose name holds the text, or whose postal code compares with
// the number (or lies between the two numbers).
SqlStatement townsFound(int comparison, const QString& from, const QString& to) {
    const QString select = QStringLiteral("SELECT ID, Opisanie, PK, TK FROM Grad WHERE ");
    const QString order = QStringLiteral("\nORDER BY ID");
    if (comparison < 0)
        return {select + QStringLiteral("Opisanie LIKE ? ESCAPE '\\'") + order,
                {likeContains(from)},
                QStringLiteral("ID")};
    QVariantList values;
    for (const QString& text :
         comparison == int(ValueComparison::Between) ? QStringList{from, to} : QStringList{from}) {
        bool ok = false;
        values << text.toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("\"%1\" не е число").arg(text));
    }
    return {select + valueCondition(QStringLiteral("CAST(PK AS INTEGER)"), ValueComparison(comparison)) +
                order,
            values, QStringLiteral("ID")};
}

// The towns listed, searched by name or postal code, sorted, printed.
class TownsList : public ListWindow {
public:
    explicit TownsList(Session& session) {
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(this);
        label->setObjectName("Label_Tarsene_Po");
        auto* comparison = new QComboBox(this);
        comparison->setObjectName("ComboBox_Uslovie");
        comparison->addItems({"равно", "по - малко", "по - голямо", "между"});
        auto* from = new QLineEdit(this);
        from->setObjectName("Edit_Ot");
        auto* to = new QLineEdit(this);
        to->setObjectName("Edit_Do");
        auto* find = new QPushButton(this);
        find->setObjectName("Button_Tarsi");
        auto* grid = new QTableView(this);
        grid->setObjectName("DBGrid");
        auto* print = new QPushButton(this);
        print->setObjectName("Button_Pe4at");
        for (QWidget* w : std::initializer_list<QWidget*>{label, comparison, from, to, find, grid, print})
            layout->addWidget(w);
        setUpList(gridContext(session), grid,
                  {{QStringLiteral("Opisanie"), QStringLiteral("Име")},
                   {QStringLiteral("PK"), QStringLiteral("Код")},
                   {QStringLiteral("TK"), QStringLiteral("Тел. код")}},
                  QStringLiteral("ID"), true);
        setSearchLine({label, comparison, int(ValueComparison::Between), {to}});
        // A click on a cell searches in its column; the postal code by value.
        connect(grid, &QTableView::clicked, this, [this](const QModelIndex& i) {
            setSearchColumn(i.column(), model()->headerData(i.column(), Qt::Horizontal).toString(),
                            i.column() == 1);
        });
        connect(find, &QPushButton::clicked, this, [this, from, to] {
            search([&] { return townsFound(this->comparison(), from->text(), to->text()); },
                   QStringLiteral("Некоректни данни"));
        });
        connect(print, &QPushButton::clicked, this,
                [this] { printed = printList({QStringLiteral("Gradove")}); });
        setSearchColumn(0, QStringLiteral("Име"), false);
        guarded([this] { open(townsFound(-1, {}, {})); });
    }
    using ListWindow::searchColumn;
    QString printed;

protected:
    // The telephone code is not sorted.
    QString sortField(int column) const override {
        return column == 2 ? QString() : ListWindow::sortField(column);
    }
};

QPushButton* button(const QWidget& w, const char* name) {
    return test::control<QPushButton>(w, name);
}
QLineEdit* field(const QWidget& w, const char* name) {
    return test::control<QLineEdit>(w, name);
}
QTableView* gridOf(const QWidget& w) {
    return test::control<QTableView>(w, "DBGrid");
}

void clickRow(QTableView* grid, int row, int column = 0) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, column)).center());
}

// Which of the navigator's buttons can be pressed, in its order.
QString enabledCommands(const QWidget& w) {
    QString out;
    for (const char* name : {"DBNavigator_First", "DBNavigator_Prior", "DBNavigator_Next", "DBNavigator_Last",
                             "DBNavigator_Insert", "DBNavigator_Delete", "DBNavigator_Edit",
                             "DBNavigator_Post", "DBNavigator_Cancel", "DBNavigator_Refresh"})
        out += button(w, name)->isEnabled() ? u'1' : u'0';
    return out;
}

} // namespace

class WindowKitTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    // First, prior, next and last move the current record; each button can
    // be pressed only where it acts.
    void navigatorMoves() {
        for (const char* name : {"Варна", "Бургас", "Русе"})
            addTown(db(), name);
        TownsWindow w(fx_->session(), RecordWindow::Style::OpenFields);
        w.show();
        QCOMPARE(field(w, "Edit_Name")->text(), "Бургас"); // the first row
        QCOMPARE(enabledCommands(w), "0011111001");
        button(w, "DBNavigator_Next")->click();
        QCOMPARE(field(w, "Edit_Name")->text(), "Варна");
        QCOMPARE(enabledCommands(w), "1111111001");
        button(w, "DBNavigator_Last")->click();
        QCOMPARE(field(w, "Edit_Name")->text(), "Русе");
        QCOMPARE(enabledCommands(w), "1100111001");
        button(w, "DBNavigator_Prior")->click();
        QCOMPARE(field(w, "Edit_Name")->text(), "Варна");
        button(w, "DBNavigator_First")->click();
        QCOMPARE(field(w, "Edit_Name")->text(), "Бургас");

        // An empty table: only a new record and a refresh.
        execSql(db(), "DELETE FROM Grad");
        button(w, "DBNavigator_Refresh")->click();
        QCOMPARE(enabledCommands(w), "0000100001");
        QCOMPARE(field(w, "Edit_Name")->text(), "");
    }

    // Insert, post; typing edits the current record, cancel puts it back,
    // moving to another row abandons what was typed.
    void insertEditPostCancel() {
        addTown(db(), "Варна", "9000");
        TownsWindow w(fx_->session(), RecordWindow::Style::OpenFields);
        w.show();
        button(w, "DBNavigator_Insert")->click();
        QCOMPARE(w.state(), RecordWindow::Insert);
        QCOMPARE(field(w, "Edit_Name")->text(), "");
        QCOMPARE(w.focusWidget(), field(w, "Edit_Name"));
        QCOMPARE(enabledCommands(w), "0000000110");
        test::typeText(field(w, "Edit_Name"), "Бургас");
        test::typeText(field(w, "Edit_Code"), "8000");
        button(w, "DBNavigator_Post")->click();
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(towns(db()), (QStringList{"Бургас/8000", "Варна/9000"}));
        QCOMPARE(w.model()->rowCount(), 2);
        QCOMPARE(field(w, "Edit_Name")->text(), "Бургас"); // the stored town is current

        test::typeText(field(w, "Edit_Code"), "1");
        QCOMPARE(w.state(), RecordWindow::Edit);
        button(w, "DBNavigator_Cancel")->click();
        QCOMPARE(field(w, "Edit_Code")->text(), "8000");

        button(w, "DBNavigator_Edit")->click();
        QCOMPARE(w.focusWidget(), field(w, "Edit_Code")); // the edit's own field
        test::typeText(field(w, "Edit_Code"), "8001");
        clickRow(gridOf(w), 1);
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(field(w, "Edit_Name")->text(), "Варна");
        button(w, "DBNavigator_First")->click();
        QCOMPARE(field(w, "Edit_Code")->text(), "8000");

        button(w, "DBNavigator_Edit")->click();
        test::typeText(field(w, "Edit_Code"), "8001");
        button(w, "DBNavigator_Post")->click();
        QCOMPARE(towns(db()), (QStringList{"Бургас/8001", "Варна/9000"}));

        // Closing abandons a record not posted.
        button(w, "DBNavigator_Insert")->click();
        test::typeText(field(w, "Edit_Name"), "Русе");
        w.reject();
        QCOMPARE(towns(db()).size(), 2);
        QCOMPARE(msg_->shown, QStringList{});
    }

    // A post refused by the window, or failing in the database, keeps the
    // record open with what was typed and writes nothing.
    void refusedOrFailedPost_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("logged");
        QTest::newRow("refused") << "" << kRefused << false;
        QTest::newRow("failed") << "грешка"
                                << "отказан запис" << true;
    }
    void refusedOrFailedPost() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, logged);
        addTown(db(), "Варна");
        TownsWindow w(fx_->session(), RecordWindow::Style::OpenFields);
        w.show();
        button(w, "DBNavigator_Edit")->click();
        field(w, "Edit_Name")->clear();
        test::typeText(field(w, "Edit_Name"), name);
        test::typeText(field(w, "Edit_Code"), "1");
        button(w, "DBNavigator_Post")->click();
        QCOMPARE(msg_->shown, QStringList{message});
        QCOMPARE(w.state(), RecordWindow::Edit);
        QCOMPARE(field(w, "Edit_Name")->text(), name);
        QCOMPARE(field(w, "Edit_Code")->text(), "1");
        QCOMPARE(towns(db()), QStringList{"Варна/"});
        QCOMPARE(QFile::exists(fx_->session().programDir.exceptionsLog()), logged);
    }

    // "Delete" asks when the window has a question; the row that takes the
    // deleted one's place becomes current (the one before, for the last);
    // a refusal leaves the row current, read anew.
    void deleteMovesOn_data() {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QVariant>("answer");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("current");
        const QStringList all{"Бургас/", "Варна/пази", "Русе/"};
        QTest::newRow("no question") << false << QVariant() << 0 << QStringList{"Варна/пази", "Русе/"}
                                     << "Варна";
        QTest::newRow("answered yes")
            << true << QVariant(int(Messages::Yes)) << 0 << QStringList{"Варна/пази", "Русе/"} << "Варна";
        QTest::newRow("answered no") << true << QVariant(int(Messages::No)) << 0 << all << "Бургас";
        QTest::newRow("the last row")
            << false << QVariant() << 2 << QStringList{"Бургас/", "Варна/пази"} << "Варна";
        QTest::newRow("refused") << false << QVariant() << 1 << all << "Варна";
    }
    void deleteMovesOn() {
        QFETCH(bool, ask);
        QFETCH(QVariant, answer);
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(QString, current);
        addTown(db(), "Бургас");
        addTown(db(), "Варна", "пази");
        addTown(db(), "Русе");
        TownsWindow w(fx_->session(), RecordWindow::Style::OpenFields, ask);
        w.show();
        clickRow(gridOf(w), row);
        if (answer.isValid())
            msg_->answer(answer);
        button(w, "DBNavigator_Delete")->click();
        QCOMPARE(towns(db()), left);
        QCOMPARE(field(w, "Edit_Name")->text(), current);
        QCOMPARE(msg_->questions, ask ? QStringList{"Изтриване на Бургас?"} : QStringList{});
        QCOMPARE(msg_->messages, row == 1 ? QStringList{kKept} : QStringList{});
    }

    // "Refresh" shows what another workstation stored, on the same record.
    void refreshKeepsTheRecord() {
        addTown(db(), "Варна");
        const qint64 ruse = addTown(db(), "Русе");
        TownsWindow w(fx_->session(), RecordWindow::Style::OpenFields);
        w.show();
        QVERIFY(w.positionOn(ruse));
        addTown(db(), "Бургас");
        button(w, "DBNavigator_Refresh")->click();
        QCOMPARE(w.model()->rowCount(), 3);
        QCOMPARE(w.currentKey().toLongLong(), ruse);
        QCOMPARE(field(w, "Edit_Name")->text(), "Русе");
    }

    // Row buttons: "Нов" and "Изтрии" turn into "Приеми" and "Откажи" while
    // a record is open; the fields are read-only while browsing and the grid
    // holds still while a record is open.
    void rowButtonsAndLockedFields() {
        TownsWindow w(fx_->session(), RecordWindow::Style::LockedFields);
        w.show();
        QVERIFY(field(w, "Edit_Name")->isReadOnly());
        QCOMPARE(button(w, "Button_Nov")->text(), "Нов");
        QCOMPARE(button(w, "Button_Iztrii")->text(), "Изтрии");
        QVERIFY(!button(w, "Button_Iztrii")->isEnabled()); // nothing to delete
        QVERIFY(!button(w, "Button_Redaktirai")->isEnabled());

        button(w, "Button_Nov")->click();
        QCOMPARE(w.state(), RecordWindow::Insert);
        QCOMPARE(button(w, "Button_Nov")->text(), "Приеми");
        QCOMPARE(button(w, "Button_Iztrii")->text(), "Откажи");
        QVERIFY(button(w, "Button_Iztrii")->isEnabled());
        QVERIFY(!field(w, "Edit_Name")->isReadOnly());
        QVERIFY(!gridOf(w)->isEnabled());
        test::typeText(field(w, "Edit_Name"), "Варна");
        button(w, "Button_Nov")->click(); // "Приеми"
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(towns(db()), QStringList{"Варна/"});
        QVERIFY(gridOf(w)->isEnabled());
        QVERIFY(field(w, "Edit_Name")->isReadOnly());
        QVERIFY(button(w, "Button_Redaktirai")->isEnabled());

        button(w, "Button_Redaktirai")->click();
        QCOMPARE(w.state(), RecordWindow::Edit);
        QCOMPARE(w.focusWidget(), field(w, "Edit_Code"));
        test::typeText(field(w, "Edit_Code"), "9000");
        button(w, "Button_Iztrii")->click(); // "Откажи"
        QCOMPARE(w.state(), RecordWindow::Browse);
        QCOMPARE(field(w, "Edit_Code")->text(), "");
        QCOMPARE(w.focusWidget(), gridOf(w));

        // Typing into a locked field changes nothing.
        test::typeText(field(w, "Edit_Name"), "x");
        QCOMPARE(w.state(), RecordWindow::Browse);
        button(w, "Button_Iztrii")->click(); // "Изтрии"
        QCOMPARE(towns(db()), QStringList{});
        QCOMPARE(msg_->shown, QStringList{});
    }

    // In place: a cell typed into is stored through the window and the grid
    // read again on the same cell; "insert" adds a record at once.
    void inPlace() {
        addTown(db(), "Бургас", "8000");
        addTown(db(), "Варна", "9000");
        TownsWindow w(fx_->session(), RecordWindow::Style::InPlace);
        w.show();
        QTableView* grid = gridOf(w);
        // The cell's editor, opened by the key that edits.
        auto editCell = [grid](int row, const QString& text) {
            grid->setCurrentIndex(grid->model()->index(row, 1));
            QTest::keyClick(grid, Qt::Key_F2);
            auto* editor = grid->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Delete);
            test::typeText(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
        };
        editCell(1, "9001");
        QTRY_COMPARE(towns(db()), (QStringList{"Бургас/8000", "Варна/9001"}));
        QTRY_COMPARE(w.model()->index(1, 1).data().toString(), "9001");
        QCOMPARE(grid->currentIndex(), w.model()->index(1, 1));
        // The name column is not edited in place.
        QVERIFY(!(w.model()->flags(w.model()->index(1, 0)) & Qt::ItemIsEditable));

        // A refused text: the message, the grid as stored.
        editCell(0, "");
        QTRY_COMPARE(msg_->shown, QStringList{kRefused});
        QCOMPARE(w.model()->index(0, 1).data().toString(), "8000");

        msg_->answer(QStringLiteral("Русе"));
        button(w, "Button_Nov")->click();
        QCOMPARE(towns(db()), (QStringList{"Бургас/8000", "Варна/9001", "Русе/"}));
        QCOMPARE(w.currentKey(), w.model()->value(2, QStringLiteral("ID")));
        QCOMPARE(w.state(), RecordWindow::Browse);
        msg_->answer(QVariant()); // given up
        button(w, "Button_Nov")->click();
        QCOMPARE(towns(db()).size(), 3);
    }

    // A click on a title sorts the list shown by its field, ascending and
    // descending in turn, on the same row; a column without a field is not
    // sorted; a sort that cannot be read is said and the rows stay.
    void titleClickSorts() {
        addTown(db(), "Русе", "7000");
        addTown(db(), "Бургас", "8000");
        const qint64 varna = addTown(db(), "Варна", "9000");
        TownsList w(fx_->session());
        w.show();
        QVERIFY(w.positionOn(varna));
        QHeaderView* header = gridOf(w)->horizontalHeader();
        auto clickTitle = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickTitle(0);
        QVERIFY2(w.statement().text.endsWith("\nORDER BY Opisanie ASC, ID"), qPrintable(w.statement().text));
        QCOMPARE(w.shownKeys().value(0).toLongLong(), 2);
        QCOMPARE(w.currentKey().toLongLong(), varna);
        clickTitle(1);
        QVERIFY(w.statement().text.endsWith("\nORDER BY PK DESC, ID"));
        QCOMPARE(w.currentKey().toLongLong(), varna);
        QCOMPARE(gridOf(w)->currentIndex().row(), 0);
        clickTitle(2);
        QVERIFY(w.statement().text.endsWith("\nORDER BY PK DESC, ID"));

        execSql(db(), "DROP TABLE Grad");
        clickTitle(0);
        QCOMPARE(msg_->shown, QStringList{"Няма данни за подреждане"});
        QCOMPARE(w.model()->rowCount(), 3);
    }

    // The search line: the column searched in named and its title marked,
    // the comparison offered from "равно" for a column compared by value,
    // the second value shown for "между" only; a search shows what it
    // finds, and one that cannot be made is said with the rows left shown.
    void searchLine() {
        addTown(db(), "Варна", "9000");
        addTown(db(), "Русе", "7000");
        addTown(db(), "Бургас", "8000");
        TownsList w(fx_->session());
        w.show();
        auto* comparison = test::control<QComboBox>(w, "ComboBox_Uslovie");
        auto* from = field(w, "Edit_Ot");
        auto* label = test::control<QLabel>(w, "Label_Tarsene_Po");
        QCOMPARE(label->text(), "Търсене по: Име");
        QVERIFY(!comparison->isEnabled());
        test::typeText(from, "Ру");
        button(w, "Button_Tarsi")->click();
        QCOMPARE(ids(w.shownKeys()), QList<qint64>{2});

        clickRow(gridOf(w), 0, 1);
        QCOMPARE(label->text(), "Търсене по: Код");
        QCOMPARE(w.model()->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
        QVERIFY(!w.model()->headerData(0, Qt::Horizontal, Qt::ForegroundRole).isValid());
        QVERIFY(comparison->isEnabled());
        QVERIFY(!field(w, "Edit_Do")->isVisible());
        comparison->setCurrentIndex(3); // "между"
        QVERIFY(field(w, "Edit_Do")->isVisible());
        from->clear();
        test::typeText(from, "7500");
        test::typeText(field(w, "Edit_Do"), "9000");
        button(w, "Button_Tarsi")->click();
        QCOMPARE(ids(w.shownKeys()), (QList<qint64>{1, 3}));
        comparison->setCurrentIndex(1); // "по - малко"
        QVERIFY(!field(w, "Edit_Do")->isVisible());
        from->clear();
        test::typeText(from, "8000");
        button(w, "Button_Tarsi")->click();
        QCOMPARE(ids(w.shownKeys()), (QList<qint64>{2, 3}));

        // A number that is none: the message, the rows shown stay.
        from->clear();
        test::typeText(from, "абв");
        button(w, "Button_Tarsi")->click();
        QCOMPARE(msg_->shown, QStringList{"Некоректни данни"});
        QCOMPARE(ids(w.shownKeys()), (QList<qint64>{2, 3}));

        // Another column starts from "равно", without the comparison for a
        // column not compared by value.
        clickRow(gridOf(w), 0, 0);
        QCOMPARE(w.searchColumn(), 0);
        QCOMPARE(comparison->currentIndex(), 0);
        QVERIFY(!comparison->isEnabled());
        QVERIFY(!w.model()->headerData(1, Qt::Horizontal, Qt::ForegroundRole).isValid());
    }

    // "Печат": nothing to print is said; otherwise the kind is chosen and the
    // list written and opened.
    void print() {
        QStringList opened;
        const FileOpener previous = setFileOpener([&opened](const QString& f) {
            opened << f;
            return true;
        });
        TownsList w(fx_->session());
        w.show();
        button(w, "Button_Pe4at")->click();
        QCOMPARE(msg_->shown, QStringList{"Няма данни за печат"});
        QCOMPARE(w.printed, QString());

        addTown(db(), "Варна", "9000");
        button(w, "Button_Tarsi")->click();
        test::ModalScript script;
        script.next<TForm_Print_Vid_Fail>(
            [](TForm_Print_Vid_Fail* chooser) { button(*chooser, "BitBtn_Priemi")->click(); });
        button(w, "Button_Pe4at")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(w.printed, fx_->root() + "TEMP/Gradove.txt");
        QCOMPARE(opened, QStringList{w.printed});
        QVERIFY(QString::fromUtf8(test::Fixture::readFile(w.printed)).contains("|Варна"));
    }
};

QTEST_MAIN(WindowKitTest)
#include "test_window_kit.moc"
