// The pictures of the README, made from the real windows as a cashier uses
// them: the login, the shop page with a bill, the invoice of the bill as its
// PDF page, its receipt in the stand-in fiscal printer's journal, the pages
// of the other subsystems and the repairs window. With TORVIKA_SCREENSHOTS naming a
// directory the pictures are written there (`./setup.sh screenshots`);
// otherwise into a temporary directory, so that the suite still shows that
// every window opens and paints.

#include "catalogue/stock.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/texts.h"
#include "documents/texts.h"
#include "documents/ui/design_model.h"
#include "documents/ui/document_designer.h"
#include "documents/ui/element_settings.h"
#include "sales/ui/form_pay_type.h"
#include "sales/ui/sales_module.h"
#include "sales/ui/shop_page.h"
#include "service/ui/form_remont.h"
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
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace torvika;

namespace {

// The journal's text as the printer's paper strip: black on white, in a
// fixed-width font, as wide as its longest line.
QImage paperStrip(const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(15);
    const QFontMetrics m(font);
    const QStringList lines = text.split(u'\n');
    int width = 0;
    for (const QString& l : lines)
        width = std::max(width, m.horizontalAdvance(l));
    QImage image(width + 48, int(lines.size()) * m.lineSpacing() + 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    for (qsizetype i = 0; i < lines.size(); ++i)
        p.drawText(24, 24 + int(i) * m.lineSpacing() + m.ascent(), lines[i]);
    return image;
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
        {
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
        }
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
        test::tickOnly(page()->findChild<QListWidget*>("ChkListBox_Pokaj_Dokum"), "Фактура");
        test::tickOnly(page()->findChild<QListWidget*>("CheckListBox_Printers"), texts::kPdfPrinter);
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

        // The bill sold in cash; its receipt as the stand-in fiscal printer
        // prints it into its journal, drawn as the paper strip.
        const QString journal = fx_->root() + "journal.txt";
        const QString bons = fx_->root() + "Bons";
        QDir().mkpath(bons);
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral(TORVIKA_FISCAL_PRINTER),
                     {"--receipts", bons, "--journal", journal, "--interval", "100"});
        QVERIFY(server.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));
        {
            page()->selectOwnLines();
            test::ModalScript sale;
            sale.next<TForm_Pay_Type>([](TForm_Pay_Type* d) {
                d->findChild<QRadioButton*>("Pay_Cash")->click();
                QTest::mouseClick(d->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
            });
            test::scriptLogin(sale);
            main_->form.runCommand(Command::N_Prodajba);
            QVERIFY2(sale.finished(), qPrintable(sale.failure()));
        }
        QVERIFY(
            QTest::qWaitFor([&] { return QDir(bons).entryList({"*.bon"}, QDir::Files).isEmpty(); }, 30000));
        server.terminate();
        QVERIFY(server.waitForFinished(30000));
        const QString printed = QString::fromUtf8(test::Fixture::readFile(journal)).trimmed();
        QVERIFY2(printed.contains("ФИСКАЛЕН БОН"), qPrintable(printed));
        // The journal names the command file by its path; the picture by its name.
        save(paperStrip(QString(printed).replace(bons + u'/', QString())), "receipt");

        // The pages of the service desk and the fiscal-device service centre.
        showPage(QStringLiteral("СЕРВИЗ"));
        shoot(&main_->form, "service");
        showPage(QStringLiteral("ФИСКАЛЕН СЕРВИЗ"));
        shoot(&main_->form, "fiscal-service");

        // The repairs window with two items in service, one of them overdue.
        execSql(db(),
                "INSERT INTO Priem_Ser (N_Prodajba, Barkod, S_N, Opisanie, Pri4ina, Gar, Gar_Dok_N, "
                "Data_Gar_Dok, ID_Kontrag, Data_Priem, Time_Priem, Operator, Pred_Cena_Remont, Valuta, "
                "ID_Dostav4ik, Model, Partida, Status, Krai_Data) VALUES "
                "(101, -1, 'LNV-5CG8213', 'Лаптоп Lenovo', 'Не зарежда', 'True', '', '', 5, ?, '09:10:00', "
                "'Администратор', 60, 'Лева', 0, 'IdeaPad 3', '', 1, ?), "
                "(102, -1, 'PRN-X22871', 'Принтер HP', 'Засяда хартия', 'False', '', '', 5, ?, "
                "'11:40:00', 'Администратор', 35, 'Лева', 0, 'LaserJet 1020', '', 1, ?)",
                {fx_->session().today().addDays(-3).toString(Qt::ISODate),
                 fx_->session().today().addDays(4).toString(Qt::ISODate),
                 fx_->session().today().addDays(-12).toString(Qt::ISODate),
                 fx_->session().today().addDays(-2).toString(Qt::ISODate)});
        {
            test::ModalScript repairs;
            repairs.next<TForm_Remont>([this](TForm_Remont* w) {
                w->resize(1200, 700);
                QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {},
                                  w->grid()->visualRect(w->grid()->model()->index(0, 1)).center());
                shoot(w, "repairs");
                w->reject();
            });
            QVERIFY(main_->form.command(Command::N59)->isEnabled());
            main_->form.runCommand(Command::N59);
            QVERIFY2(repairs.finished(), qPrintable(repairs.failure()));
        }

        // The document designer with the invoice open and its number chosen,
        // beside its tool window "Добавяне на елементи".
        test::ModalScript designer;
        designer.next<TForm_GeneralForm_Dokumentaciq>([this](TForm_GeneralForm_Dokumentaciq* d) {
            d->setWindowState(Qt::WindowNoState);
            d->resize(1000, 900);
            d->LOAD_SELECTED_FILE_PRINT(QStringLiteral("Фактура"));
            d->model().select(d->model().report().indexOf(QStringLiteral("QRDBText1")));
            QCoreApplication::processEvents();
            const QImage window = d->grab().toImage();
            const QImage tools = d->settingsWindow()->grab().toImage();
            QImage both(window.width() + tools.width() + 16, std::max(window.height(), tools.height()),
                        QImage::Format_RGB32);
            both.fill(QColor(0xd0, 0xd0, 0xd0));
            QPainter p(&both);
            p.drawImage(0, 0, window);
            p.drawImage(window.width() + 16, 0, tools);
            p.end();
            save(both, "designer");
            d->close();
        });
        QVERIFY(main_->form.command(Command::N_Dokumentacia)->isEnabled());
        main_->form.runCommand(Command::N_Dokumentacia);
        QVERIFY2(designer.finished(), qPrintable(designer.failure()));
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "test_screenshots.moc"
