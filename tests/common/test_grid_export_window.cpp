// The export-kind chooser, a table view written into an export file, and the
// usual print sequence with a recorded opener.

#include "common/ui/desktop.h"
#include "common/ui/form_print_vid_fail.h"
#include "common/ui/grid_file.h"
#include "shell/session_grids.h"
#include "support/fixture.h"
#include "support/modal_script.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace torvika;

namespace {

const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArray crlfLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += (l + QStringLiteral("\r\n")).toUtf8();
    return out;
}

// Once the chooser is up: checks item `item` (when >= 0) and presses the button.
void answerChooser(test::ModalScript& script, int item, const QString& buttonName,
                   int* checkedOnShow = nullptr) {
    script.next<TForm_Print_Vid_Fail>([=](TForm_Print_Vid_Fail* form) {
        if (checkedOnShow)
            *checkedOnShow = form->choice();
        if (item >= 0)
            form->findChild<QRadioButton*>(QStringLiteral("RadioButton_Vid_%1").arg(item))->click();
        form->findChild<QPushButton*>(buttonName)->click();
    });
}

// Three columns; the middle one is hidden.
struct Grid {
    QStandardItemModel model{2, 3};
    QTableView view;
    Grid() {
        model.setHorizontalHeaderLabels(
            {QStringLiteral("Артикул"), QStringLiteral("Скрита"), QStringLiteral("Кол")});
        model.setItem(0, 0, new QStandardItem(QStringLiteral("Мляко")));
        model.setItem(0, 1, new QStandardItem(QStringLiteral("не се вижда")));
        model.setItem(0, 2, new QStandardItem(QStringLiteral("3")));
        model.setItem(1, 0, new QStandardItem(QStringLiteral("Хляб бял нарязан")));
        model.setItem(1, 2, new QStandardItem(QStringLiteral("12")));
        view.setModel(&model);
        view.setColumnHidden(1, true);
        view.horizontalHeader()->setMinimumSectionSize(1);
        view.setColumnWidth(0, 50);
        view.setColumnWidth(2, 25);
    }
};

} // namespace

class GridExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void chooserLayout() {
        TForm_Print_Vid_Fail form;
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form.isModal());
        QCOMPARE(form.findChild<QGroupBox*>()->title(), QStringLiteral("Изберете вид на файла"));
        const QStringList captions{"Текстов файл", "Excel", "Word", "HTML"};
        for (int i = 0; i < captions.size(); ++i) {
            auto* radio = form.findChild<QRadioButton*>(QStringLiteral("RadioButton_Vid_%1").arg(i));
            QCOMPARE(radio->text(), captions.at(i));
            QCOMPARE(radio->isChecked(), i == 0);
        }
        QCOMPARE(form.findChild<QPushButton*>("BitBtn_Priemi")->text(), QStringLiteral("ПРИЕМИ"));
        QCOMPARE(form.findChild<QPushButton*>("BitBtn_Otkaji")->text(), QStringLiteral("ОТКАЖИ"));
    }

    void choose_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("separator");
        // clang-format off
        QTest::newRow("Excel accepted") << -1 << 1 << "BitBtn_Priemi" << true << 1 << ".xls" << "\t";
        QTest::newRow("first item as shown") << -1 << -1 << "BitBtn_Priemi" << true << 0 << ".txt" << "|";
        QTest::newRow("cancel keeps Excel") << 1 << 3 << "BitBtn_Otkaji" << false << 1 << ".xls" << "\t";
        QTest::newRow("cancel before any choice") << -1 << 2 << "BitBtn_Otkaji" << false << 0 << "" << "";
        // clang-format on
    }
    void choose() {
        QFETCH(int, before);
        QFETCH(int, item);
        QFETCH(QString, button);
        QFETCH(bool, accepted);
        QFETCH(int, number);
        QFETCH(QString, extension);
        QFETCH(QString, separator);
        test::Fixture fx(false);
        if (before >= 0)
            fx.session().state<ExportKind>() = exportKindFor(before);
        test::ModalScript script;
        answerChooser(script, item, button);
        QCOMPARE(TForm_Print_Vid_Fail::choose(fx.session().state<ExportKind>()), accepted);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(fx.session().state<ExportKind>().number, number);
        QCOMPARE(fx.session().state<ExportKind>().extension, extension);
        QCOMPARE(fx.session().state<ExportKind>().separator, separator);
    }

    // Shown again, the chooser has the kind in use checked.
    void chooserShowsKindInUse() {
        test::Fixture fx(false);
        fx.session().state<ExportKind>() = exportKindFor(2);
        int checked = -1;
        test::ModalScript script;
        answerChooser(script, -1, QStringLiteral("BitBtn_Otkaji"), &checked);
        TForm_Print_Vid_Fail::choose(fx.session().state<ExportKind>());
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(checked, 2);
    }

    // Visible columns in on-screen order, at their on-screen widths.
    void printIntoTableView() {
        QTemporaryDir dir;
        Grid g;
        g.view.horizontalHeader()->moveSection(2, 0);
        const QString file = dir.filePath(QStringLiteral("Grid.txt"));
        QVERIFY(PRINT_INTO(&g.view, file, exportKindFor(0)));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bom + crlfLines({QString(), "|Кол  |Артикул   ", QString(), "|3    |Мляко     ",
                                               "|12   |Хляб бял н", QString()}));
    }

    void exportGridRunsTheWholeSequence() {
        test::Fixture fx(false);
        Grid g;
        QStringList opened;
        const FileOpener previous = setFileOpener([&](const QString& f) {
            opened << f;
            return true;
        });
        test::ModalScript script;
        answerChooser(script, 1, QStringLiteral("BitBtn_Priemi"));
        const QString file =
            exportGrid(gridContext(fx.session()), nullptr, &g.view,
                       {QStringLiteral("Spr_Test"), {QString(), QStringLiteral("\tСПРАВКА ")}});
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        setFileOpener(previous);
        QCOMPARE(file, fx.root() + "TEMP/Spr_Test.xls");
        QCOMPARE(opened, QStringList{file});
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bom + crlfLines({QString(), "\tСПРАВКА ", QString(), "\tАртикул   \tКол  ",
                                               QString(), "\tМляко     \t3    ", "\tХляб бял н\t12   ",
                                               QString(), QString(), QString(), footerLine()}));
    }
};

QTEST_MAIN(GridExportWindowTest)
#include "test_grid_export_window.moc"
