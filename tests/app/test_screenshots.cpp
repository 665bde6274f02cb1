// The pictures of the README, made from the real windows as a cashier uses
// them: the login, the shop page with a bill, the invoice of the bill as its
// PDF page, and the pages of the other subsystems. With TORVIKA_SCREENSHOTS naming a
// directory the pictures are written there (`./setup.sh screenshots`);
// otherwise into a temporary directory, so that the suite still shows that
// every window opens and paints.

#include "catalogue/stock.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/texts.h"
#include "documents/texts.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "shell/ui/login.h"
#include "support/fixture.h"
#include "support/login_script.h"
#include "support/main_window.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

void tickOnly(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(list->item(i)->text() == text ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    QString out_;
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    std::unique_ptr<test::MainWindow> main_;
    QSqlDatabase db() { return fx_->db(); }
    ShopPage* page() { return main_->modules.get<SalesModule>().shopPage(); }

    // Saves the picture and checks that it is one.
    void save(const QImage& image, const char* name) {
        QVERIFY(!image.isNull());
        const QString path = out_ + u'/' + QString::fromLatin1(name) + QStringLiteral(".png");
        QVERIFY2(image.save(path), qPrintable(path));
    }
    void shoot(QWidget* w, const char* name) {
        QCoreApplication::processEvents();
        save(w->grab().toImage(), name);
    }
    void typeAndEnter(const char* field, const QString& text) {
        QLineEdit* e = test::control<QLineEdit>(main_->form, field);
        e->setFocus();
        e->selectAll();
        test::typeText(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    void addBill(const QList<std::pair<const char*, const char*>>& bill) {
        for (const auto& [article, quantity] : bill) {
            typeAndEnter("Edit_Barkod", QString::fromLatin1(article));
            typeAndEnter("Edit_Broj", QString::fromLatin1(quantity));
            QTest::keyClick(test::control<QLineEdit>(main_->form, "Edit_Cena_Nula"), Qt::Key_Return);
        }
    }
    void showPage(const QString& tabText) {
        auto* tabs = test::control<QTabWidget>(main_->form, "PageControl1");
        QTabBar* bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == tabText) {
                // A tab a new company hides until its settings ask for it.
                tabs->setTabVisible(i, true);
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                QTRY_COMPARE(tabs->currentIndex(), i);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no page ") + tabText));
    }

private slots:
    void initTestCase() {
        out_ = qEnvironmentVariable("TORVIKA_SCREENSHOTS");
        if (out_.isEmpty())
            out_ = scratch_.path();
        QVERIFY(QDir().mkpath(out_));
    }

    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        const QString docs = fx_->session().programDir.documentationsDir();
        QDir().mkpath(docs);
        for (const QString& f : QDir(TORVIKA_SOURCE_DIR "/documentations").entryList(QDir::Files))
            QFile::copy(TORVIKA_SOURCE_DIR "/documentations/" + f, docs + u'/' + f);
        ProfileFile firm = fx_->firmData();
        firm.writeString("Firm_Data", "Name", "Алфа ЕООД");
        firm.writeString("Firm_Data", "EIK", "201234567");
        firm.writeString("Firm_Data", "Adress", "ул. Главна 1, Пловдив");
        firm.writeString("Firm_Data", "DDS", "20");
        firm.writeString("Tuning", "19", "Bons");
        firm.writeString("Tuning", "FB", "2");
        firm.writeString("Store", "Active", "1");
        execSql(db(), "UPDATE Sklad SET Grad = 'Пловдив' WHERE ID_Sklad = 1");
        execSql(db(), "DELETE FROM Valuti");
        execSql(db(), "INSERT INTO Valuti (Opisanie, Kurs, Osn) VALUES ('Лева', 1, 'True')");
        execSql(db(),
                "INSERT INTO Firmi (ID, Ime_Firma, Adres_Firma, EIK, Dan_N, ID_Mol, Nomer_Grupa) VALUES "
                "(5, 'Бета Трейд ООД', 'ул. Витоша 12, София', '123456789', 'BG123456789', 7, 0)");
        execSql(db(), "INSERT INTO Klienti (ID, Ime_Klient) VALUES (7, 'Петър Петров')");
        execSql(db(), "UPDATE Dokumenti SET N_Dok = '000125' WHERE Opisanie = 'Фактура'");
        execSql(db(), "INSERT INTO Produkti (ID, Opisanie, Nomer_Grupa, Ed_Cena, Valuta_P, Mqrka, Max_TO, "
                      "Dan_Grup, Prigotvq_Se, Min_Kol) VALUES "
                      "(10, 'Кафе мляно 250 г', 1, 7.49, 'Лева', 'бр.', 0, 1, 0, 0), "
                      "(11, 'Чай зелен 20 пак.', 1, 3.20, 'Лева', 'бр.', 0, 3, 0, 0), "
                      "(12, 'Захар 1 кг', 1, 2.35, 'Лева', 'бр.', 0, 3, 0, 0)");
        for (int article : {10, 11, 12})
            GET_NALI4NOST(db(), article, 1, 1, 100);
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        main_.reset();
        msg_.reset();
        fx_.reset();
    }

    void programWindows() {
        main_ = std::make_unique<test::MainWindow>(fx_->session());
        // The login, as the program opens it.
        test::ModalScript login;
        login.next<TForm_Dostap_Operators>([this](TForm_Dostap_Operators* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("ComboBox_Operators"));
            combo->setCurrentIndex(combo->findText(test::kFirstOperator));
            auto* password = d->findChild<QLineEdit*>(QStringLiteral("Edit_Password"));
            test::typeText(password, test::kFirstPassword);
            shoot(d, "login");
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
        });
        QVERIFY(main_->form.start());
        QVERIFY2(login.finished(), qPrintable(login.failure()));
        main_->form.resize(1280, 800);
        main_->form.show();
        main_->form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main_->form));

        // A bill of three articles for a company client.
        fx_->session().setSaleCounterparty("5:Бета Трейд ООД");
        page()->refresh();
        const QList<std::pair<const char*, const char*>> bill{{"10", "2"}, {"11", "3"}, {"12", "5"}};
        addBill(bill);
        QTRY_COMPARE(page()->findChild<QTableView*>("DBGrid1")->model()->rowCount(), 3);
        shoot(&main_->form, "shop");

        // Its invoice printed to a PDF file; the first page as a picture.
        const QString pdf = fx_->root() + "invoice.pdf";
        QTableView* grid = page()->findChild<QTableView*>("DBGrid1");
        grid->selectAll();
        auto* toggle = page()->findChild<QToolButton*>("SpdBtn_Pokaji_Dokuments");
        if (!toggle->isChecked())
            QTest::mouseClick(toggle, Qt::LeftButton);
        tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), "Фактура");
        tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), texts::kPdfPrinter);
        msg_->answer(QStringLiteral("в брой"));
        msg_->answer(pdf);
        QTest::mouseClick(page()->findChild<QPushButton*>("Button_Pe4at_Dokumenti"), Qt::LeftButton);
        QVERIFY2(QFileInfo::exists(pdf), qPrintable(msg_->shown.join(u'\n')));
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                      QStringLiteral("-singlefile"), pdf, fx_->root() + QStringLiteral("invoice")});
        QVERIFY(raster.waitForFinished(60000));
        QCOMPARE(raster.exitCode(), 0);
        save(QImage(fx_->root() + QStringLiteral("invoice.png")), "invoice");

        // The pages of the service desk and the fiscal-device service centre.
        showPage(QStringLiteral("СЕРВИЗ"));
        shoot(&main_->form, "service");
        showPage(QStringLiteral("ФИСКАЛЕН СЕРВИЗ"));
        shoot(&main_->form, "fiscal-service");
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "test_screenshots.moc"
