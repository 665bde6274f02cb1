// The article dialog, driven offscreen on either engine: a new article with
// its barcodes, counterparty numbers and derived fields stored in one go,
// bad input refused with nothing written, an existing article keeping what
// the dialog does not edit, the barcode and counterparty-number pages, the
// numbering helpers, the picture, the stock and the serial numbers.

#include "catalogue/articles.h"
#include "catalogue/stock.h"
#include "catalogue/texts.h"
#include "catalogue/ui/form_free_art_id.h"
#include "catalogue/ui/form_newartikul.h"
#include "common/errors.h"
#include "common/sql.h"
#include "common/ui/statement_model.h"
#include "counterparties/ui/form_kontrakents.h"
#include "support/fixture.h"
#include "support/host_stand_in.h"
#include "support/modal_script.h"
#include "support/scripted_messages.h"
#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

using namespace torvika;

class ArticleDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Fixture> fx_;
    std::unique_ptr<test::ScriptedMessages> msg_;
    QSqlDatabase db() { return fx_->db(); }
    int count(const QString& sql) { return scalarSql(db(), sql).toInt(); }
    template <typename T = QLineEdit> static T* field(const QWidget& w, const char* name) {
        return test::control<T>(w, name);
    }

    void article(qint64 id, qint64 group, const QString& name) {
        execSql(
            db(),
            "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, "
            "Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, "
            "Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se) VALUES (?, ?, ?, ?, 0, 'Лева', 3, 'Лева', 'бр.', "
            "'False', ?, ?, 0, 'False', 1, 0, '1:30', ?, 1, 0)",
            {id, QString::number(group) + u'_' + QString::number(id), group, name, name, name, id});
    }

    // Picks counterparty 7 in the counterparty list the next time it opens.
    void pickSupplierNext(test::ModalScript& script) {
        script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) {
            QCOMPARE(list->mode(), 14);
            QVERIFY(list->positionOn(7));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
    }

private slots:
    void init() {
        fx_ = std::make_unique<test::Fixture>();
        msg_ = std::make_unique<test::ScriptedMessages>();
        TForm_NewArtikul::addFollowUps(test::host(fx_->session()).followUps());
        execSql(db(), "INSERT INTO Grupi (ID, Opisanie) VALUES (1, 'Напитки'), (2, 'Храни')");
        execSql(db(), "INSERT INTO Firmi (ID, Ime_Firma, ID_Mol, Nomer_Grupa) VALUES (7, 'Доставчик', 7, 0)");
        article(1, 2, "Хляб");
        article(4, 1, "Кола");
    }
    void cleanup() {
        QCOMPARE(msg_->unexpected, 0);
        msg_.reset();
        fx_.reset();
    }

    void newArticleWithItsCodes() {
        // The receipt name is limited to 8 characters, the label name is not.
        fx_->firmData().writeBool("Tuning", "10", true);
        fx_->firmData().writeInteger("Values", "10", 8);
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        d.show();
        QCOMPARE(d.windowTitle(), "Редакция артикули");
        QCOMPARE(field<QLabel>(d, "Label_Grupa")->text(), "Група: 1:Напитки");
        QCOMPARE(field(d, "Edit_Art_N")->text(), "5");
        QCOMPARE(field(d, "Edit_Nom_N")->text(), "1_5");
        QCOMPARE(field(d, "Edit_Kod_Vezna")->text(), "5");
        QCOMPARE(field(d, "Edit_Cena")->text(), "0");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Valuta")->currentText(), "Лева");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Mqrka")->currentText(), "бр.");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Dan_Grupa")->currentText(), "1:Данъчна група Б - 20 %");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Prigotvq_Se")->currentText(), "0:Не се приготвя");
        QCOMPARE(field<QSpinBox>(d, "SpinEdit_Min_Kol")->value(), 1);
        QCOMPARE(field(d, "Edit_Max_TO")->text(), "0.0000");
        QVERIFY(!field<QWidget>(d, "Panel_Snimka")->isEnabled());
        QVERIFY(!field<QTabWidget>(d, "PageControl_Artikul")->isTabVisible(3));

        // The number's derived fields follow it; the names follow the description.
        field(d, "Edit_Art_N")->selectAll();
        test::typeText(field(d, "Edit_Art_N"), "50");
        QCOMPARE(field(d, "Edit_Nom_N")->text(), "1_50");
        QCOMPARE(field(d, "Edit_Kod_Vezna")->text(), "50");
        test::typeText(field(d, "Edit_Opisanie"), "Бира \"Ариана\" 0.5");
        QCOMPARE(field(d, "Edit_Opisanie")->text(), "Бира 'Ариана' 0.5");
        QCOMPARE(field(d, "Edit_Kasovo_Ime")->text(), "Бира 'Ар");
        QCOMPARE(field(d, "Edit_Etiket")->text(), "Бира 'Ариана' 0.5");
        field(d, "Edit_Etiket")->setText("Ариана");
        test::typeText(field(d, "Edit_Opisanie"), " л");
        QCOMPARE(field(d, "Edit_Etiket")->text(), "Ариана"); // typed by the operator: kept
        field(d, "Edit_Cena")->setText("1,7");

        // Barcodes and counterparty numbers are entered before the article exists.
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        QCOMPARE(field<QPushButton>(d, "Button_Barkod_Dobavi")->text(), "Приеми");
        QCOMPARE(field<QPushButton>(d, "Button_Barkod_Iztrii")->text(), "Откажи");
        field(d, "Edit_Barkod")->setText("3800000000010");
        QTest::keyClick(field(d, "Edit_Barkod"), Qt::Key_Return);
        QCOMPARE(field<QPushButton>(d, "Button_Barkod_Dobavi")->text(), "Добави");
        test::control<QAbstractButton>(d, "Button_Nom_Dobavi")->click();
        QCOMPARE(field<QLabel>(d, "Label_ID_Kontragent")->text(), "0: Няма избран контрагент");
        field(d, "Edit_Nomenklatura")->setText("D-50");
        test::ModalScript script;
        pickSupplierNext(script);
        QTest::mouseClick(field<QLabel>(d, "Label_Select_Kontrag"), Qt::LeftButton);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(field<QLabel>(d, "Label_ID_Kontragent")->text(), "7:Доставчик");
        test::control<QAbstractButton>(d, "Button_Nom_Dobavi")->click();
        QCOMPARE(field<QTreeWidget>(d, "Grid_Nomenklaturi")->topLevelItem(0)->text(1), "7:Доставчик");
        QCOMPARE(field<QLabel>(d, "Label_ID_Kontragent")->text(), "0: Няма избран контрагент");
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes"), 0);

        field<QPushButton>(d, "Button_Priemi")->click();
        QCOMPARE(msg_->shown, QStringList{});
        QVERIFY(!d.isVisible());
        QCOMPARE(d.savedId(), qint64(50));
        const Article a = *loadArticle(db(), 50);
        QCOMPARE(a.group, qint64(1));
        QCOMPARE(a.catalogueNumber, "1_50");
        QCOMPARE(a.description, "Бира 'Ариана' 0.5 л");
        QCOMPARE(a.receiptName, "Бира 'Ар");
        QCOMPARE(a.labelName, "Ариана");
        QCOMPARE(a.price, Decimal("1.7"));
        QCOMPARE(a.scaleCode, qint64(50));
        QCOMPARE(a.shelfLife, "0:0");
        QCOMPARE(loadArticleCodes(db(), 50).barcodes, QStringList{"3800000000010"});
        QCOMPARE(count("SELECT COUNT(*) FROM Nomenklatures WHERE ID = 50 AND ID_Kontrag = 7"), 1);
    }

    // "Откажи", or a changed number, leaves no codes behind for the next
    // article with that number.
    void cancelLeavesNoCodes() {
        {
            TForm_NewArtikul d(test::context(fx_->session()));
            d.openNew(1);
            d.show();
            test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
            field(d, "Edit_Barkod")->setText("12345");
            test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
            field<QPushButton>(d, "Button_Otkaji")->click();
        }
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes"), 0);
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        QCOMPARE(d.codes().barcodes, QStringList{});
        QCOMPARE(field<QListWidget>(d, "ListBox_Barkodes")->count(), 0);
    }

    void badInputWritesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("number not a number") << "Edit_Art_N"
                                             << "5а"
                                             << "Некоректен номер за артикул!";
        QTest::newRow("number 0") << "Edit_Art_N"
                                  << "0"
                                  << "Некоректен номер за артикул!";
        QTest::newRow("number used") << "Edit_Art_N"
                                     << "4"
                                     << "Некоректен номер за артикул!";
        QTest::newRow("no description") << "Edit_Opisanie"
                                        << "  "
                                        << "Въведете описание за артикул";
        QTest::newRow("no price") << "Edit_Cena"
                                  << ""
                                  << "Въведете цена за артикул";
        QTest::newRow("price not a number") << "Edit_Cena"
                                            << "1.2.3" << texts::kBadPrice;
        QTest::newRow("negative price") << "Edit_Cena"
                                        << "-1" << texts::kBadPrice;
        QTest::newRow("discount above 100") << "Edit_Max_TO"
                                            << "101" << texts::kBadMaxDiscount;
        QTest::newRow("discount not a number") << "Edit_Max_TO"
                                               << "пет" << texts::kBadMaxDiscount;
        QTest::newRow("scale code") << "Edit_Kod_Vezna"
                                    << "1.5" << texts::kBadScaleCode;
    }
    void badInputWritesNothing() {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, message);
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        d.show();
        field(d, "Edit_Opisanie")->setText("Сок");
        field(d, "Edit_Cena")->setText("2");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        field(d, "Edit_Barkod")->setText("77");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        auto* edit = d.findChild<QLineEdit*>(name);
        edit->setText(value);
        test::control<QAbstractButton>(d, "Button_Priemi")->click();
        QCOMPARE(msg_->shown, QStringList{message});
        QVERIFY(d.isVisible());
        QCOMPARE(d.focusWidget(), edit);
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti"), 2);
        QCOMPARE(count("SELECT COUNT(*) FROM Barkodes"), 0);
    }

    // The checks when a field is left.
    void fieldChecksOnLeaving() {
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        // Types the text into the field and leaves it with Tab; whether the
        // caret moved on (a refusal keeps it in the field).
        auto leave = [&d](const char* name, const QString& text) {
            QLineEdit* f = field(d, name);
            f->setFocus();
            f->setText(text);
            QTest::keyClick(f, Qt::Key_Tab);
            return QApplication::focusWidget() != f;
        };
        QVERIFY(!leave("Edit_Art_N", "4"));
        QVERIFY(!leave("Edit_Art_N", ""));
        QCOMPARE(msg_->shown, QStringList(2, "Въведете коректен номер за артикул"));
        QVERIFY(leave("Edit_Art_N", "6"));
        QVERIFY(leave("Edit_Cena", "3,5"));
        QCOMPARE(field(d, "Edit_Cena")->text(), "3.5000");
        msg_->clear();
        QVERIFY(!leave("Edit_Opisanie", ""));
        QCOMPARE(msg_->shown, QStringList{texts::kEnterDescription});
        field(d, "Edit_Opisanie")->setText("Кола");
        leave("Edit_Nom_N", "");
        QCOMPARE(field(d, "Edit_Nom_N")->text(), "1_6");
    }

    // An existing article shows and keeps what is stored: its names,
    // catalogue number, scale code, supplier and delivery price.
    void editKeepsStoredValues() {
        execSql(db(),
                "UPDATE Produkti SET Kasovo_Ime = 'КОЛА', Etiketno_Ime = 'Кола 0.33', Nomenkl_N = 'CC-4', "
                "Kod_Vezna = 0, Dostav4ik = 7, Dostavna_Cena = 0.8, Valuta_D = 'EUR', Max_TO = 12.675, "
                "Trajnost = '2:400', Dan_Grup = 0, Prigotvq_Se = 2 WHERE ID = 4");
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (4, 'OLD')");
        TForm_NewArtikul d(test::context(fx_->session()));
        QVERIFY(d.openEdit(4));
        d.show();
        QCOMPARE(field(d, "Edit_Kasovo_Ime")->text(), "КОЛА");
        QCOMPARE(field(d, "Edit_Etiket")->text(), "Кола 0.33");
        QCOMPARE(field(d, "Edit_Nom_N")->text(), "CC-4");
        QCOMPARE(field(d, "Edit_Kod_Vezna")->text(), "0");
        QCOMPARE(field(d, "Edit_Cena")->text(), "3.0000");
        // Rounded as the decimal stored, not as its nearest double (12.67).
        QCOMPARE(field(d, "Edit_Max_TO")->text(), "12.68");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Trajnost")->currentText(), "в месеци");
        QCOMPARE(field<QSpinBox>(d, "SpinEdit_Trajnost")->value(), 400);
        QCOMPARE(field<QComboBox>(d, "ComboBox_Dan_Grupa")->currentIndex(), 0);
        QCOMPARE(field<QComboBox>(d, "ComboBox_Prigotvq_Se")->currentText(), "2:Бар");
        QCOMPARE(field<QLabel>(d, "Label_Grupa")->text(), "Група: 1:Напитки");
        QCOMPARE(field<QLabel>(d, "Label_Dostav4ik")->text(), "7:Доставчик");
        QCOMPARE(field<QLabel>(d, "Label_Dostavna_Cena")->text(), "0.80 EUR");
        QCOMPARE(field<QListWidget>(d, "ListBox_Barkodes")->item(0)->text(), "OLD");
        field(d, "Edit_Opisanie")->end(false);
        test::typeText(field(d, "Edit_Opisanie"), " Зиро");
        QCOMPARE(field(d, "Edit_Kasovo_Ime")->text(), "КОЛА");
        test::control<QAbstractButton>(d, "Button_Priemi")->click();
        QCOMPARE(msg_->shown, QStringList{});
        const Article a = *loadArticle(db(), 4);
        QCOMPARE(a.description, "Кола Зиро");
        QCOMPARE(a.receiptName, "КОЛА");
        QCOMPARE(a.labelName, "Кола 0.33");
        QCOMPARE(a.catalogueNumber, "CC-4");
        QCOMPARE(a.scaleCode, qint64(0));
        QCOMPARE(a.supplier, qint64(7));
        QCOMPARE(a.deliveryPrice, Decimal("0.8"));
        QCOMPARE(a.deliveryCurrency, "EUR");
        QCOMPARE(a.shelfLife, "2:400");
        QCOMPARE(a.preparation, 2);

        // A new number: the codes follow; derived fields follow only while
        // they hold what the old number gave them.
        TForm_NewArtikul again(test::context(fx_->session()));
        QVERIFY(again.openEdit(1));
        again.show();
        field(again, "Edit_Art_N")->selectAll();
        test::typeText(field(again, "Edit_Art_N"), "11");
        QCOMPARE(field(again, "Edit_Nom_N")->text(), "2_11");
        QCOMPARE(field(again, "Edit_Kod_Vezna")->text(), "11");
        test::control<QAbstractButton>(again, "Button_Priemi")->click();
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 11 AND Nomer_Grupa = 2"), 1);
        QVERIFY(!articleExists(db(), 1));
    }

    void barcodePage() {
        execSql(db(), "INSERT INTO Barkodes (ID, Barkode) VALUES (1, '4006381333931')");
        TForm_NewArtikul d(test::context(fx_->session()));
        QVERIFY(d.openEdit(4));
        d.show();
        auto* input = field(d, "Edit_Barkod");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click(); // empty
        input->setText("4006381333931");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click(); // another article's
        input->setText("4006381333932");
        msg_->answerNo();
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click(); // a wrong check digit, not taken
        QCOMPARE(msg_->shown,
                 (QStringList{"Въведете баркод!", "Баркодът 4006381333931 вече е въведен за артикул 1!",
                              texts::kAskBarcodeCheckDigit.arg("4006381333932")}));
        QVERIFY(!input->isHidden());
        msg_->answerYes();
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click(); // taken after all
        QCOMPARE(d.codes().barcodes, QStringList{"4006381333932"});
        // "Редакция" replaces the current one; "Изтрии" removes it.
        test::control<QAbstractButton>(d, "Button_Barkod_Redakcia")->click();
        QCOMPARE(input->text(), "4006381333932");
        input->setText("73513537");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        QCOMPARE(d.codes().barcodes, QStringList{"73513537"});
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        input->setText("73513537"); // twice on the same article
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        QCOMPARE(msg_->shown.last(), "Баркодът 73513537 вече е въведен за артикул 4!");
        test::control<QAbstractButton>(d, "Button_Barkod_Iztrii")->click(); // "Откажи"
        QVERIFY(input->isHidden());
        test::control<QAbstractButton>(d, "Button_Barkod_Iztrii")->click();
        QCOMPARE(d.codes().barcodes, QStringList{});
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        input->setText("73513537");
        test::control<QAbstractButton>(d, "Button_Barkod_Dobavi")->click();
        test::control<QAbstractButton>(d, "Button_Priemi")->click();
        QCOMPARE(loadArticleCodes(db(), 4).barcodes, QStringList{"73513537"});
    }

    // A number without a counterparty asks for one, and is stored with it.
    void counterpartyNumberAsksTheCounterparty() {
        TForm_NewArtikul d(test::context(fx_->session()));
        QVERIFY(d.openEdit(4));
        d.show();
        test::control<QAbstractButton>(d, "Button_Nom_Dobavi")->click();
        field(d, "Edit_Nomenklatura")->setText("K-4");
        test::ModalScript script;
        pickSupplierNext(script);
        test::control<QAbstractButton>(d, "Button_Nom_Dobavi")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(msg_->shown, QStringList{"Изберете контрагент на когото е посоченият номер!"});
        QCOMPARE(d.codes().counterpartyNumbers.size(), 1);
        QCOMPARE(d.codes().counterpartyNumbers.front().counterparty, qint64(7));
        test::control<QAbstractButton>(d, "Button_Priemi")->click();
        // The same number of the same counterparty on another article is refused.
        TForm_NewArtikul other(test::context(fx_->session()));
        QVERIFY(other.openEdit(1));
        other.show();
        test::control<QAbstractButton>(other, "Button_Nom_Dobavi")->click();
        field(other, "Edit_Nomenklatura")->setText("K-4");
        field<QLabel>(other, "Label_ID_Kontragent")->setText("7:Доставчик");
        test::control<QAbstractButton>(other, "Button_Nom_Dobavi")->click();
        QCOMPARE(msg_->shown.last(), "Номерът K-4 на контрагент 7:Доставчик вече е въведен за артикул 4!");
        QCOMPARE(other.codes().counterpartyNumbers.size(), 0);
    }

    void picture() {
        const QString text = fx_->writeFile("notes.png", "not a picture");
        QImage image(900, 300, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString picture = fx_->writeFile("cola.png", png);
        TForm_NewArtikul d(test::context(fx_->session()));
        QVERIFY(d.openEdit(4));
        d.show();
        QVERIFY(field<QWidget>(d, "Panel_Snimka")->isEnabled());
        msg_->answer(text);
        test::control<QAbstractButton>(d, "Button_Snimka_Redaktiraj")->click();
        QCOMPARE(msg_->shown, QStringList{texts::kNotAPicture.arg(QDir::toNativeSeparators(text))});
        QVERIFY(articlePicture(db(), 4).isEmpty());
        msg_->answer(picture);
        test::control<QAbstractButton>(d, "Button_Snimka_Redaktiraj")->click();
        QImage stored;
        QVERIFY(stored.loadFromData(articlePicture(db(), 4)));
        QCOMPARE(stored.size(), QSize(640, 213));
        QVERIFY(!field<QLabel>(d, "Image_Snimka")->pixmap().isNull());
        msg_->answer(QVariant()); // the chooser cancelled
        test::control<QAbstractButton>(d, "Button_Snimka_Redaktiraj")->click();
        test::control<QAbstractButton>(d, "Button_Snimka_Iztrii")->click();
        QVERIFY(articlePicture(db(), 4).isEmpty());
    }

    void numberingHelpers() {
        article(2, 1, "Вода");
        article(7, 1, "Сок");
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        d.show();
        test::control<QAbstractButton>(d, "SpdBtn_Posleden_Nomer")->click();
        QCOMPARE(field(d, "Edit_Art_N")->text(), "8");
        test::ModalScript script;
        script.next<TForm_Free_Art_ID>([](TForm_Free_Art_ID* list) {
            QCOMPARE(list->windowTitle(), "Свободни артикулни номера");
            QList<qint64> numbers;
            for (int row = 0; row < list->model()->rowCount(); ++row)
                numbers << list->model()->value(row, "Art_ID").toLongLong();
            QCOMPARE(numbers, (QList<qint64>{3, 5, 6})); // between the lowest and the highest
            QCOMPARE(list->model()->value(0, "Grupa_Ime").toString(), "Напитки");
            QVERIFY(list->positionOn(5));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        test::control<QAbstractButton>(d, "SpdBtn_Svobodni_Nomera")->click();
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QCOMPARE(field(d, "Edit_Art_N")->text(), "5");
        QCOMPARE(field(d, "Edit_Nom_N")->text(), "1_5");
        QVERIFY(!field<QPushButton>(d, "Button_Prekasni")->isVisible());
        // The working table is gone with the dialog.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, execSql(db(), "SELECT COUNT(*) FROM Free_Art"));
    }

    // While the free numbers are searched, "Приеми", "Откажи" and Esc cannot
    // overtake the search: nothing is saved and the dialog stays; Esc stops
    // the search, whose numbers found so far are offered.
    void freeNumberSearchNotOvertaken() {
        article(2, 1, "Вода");
        article(7, 1, "Сок");
        TForm_NewArtikul d(test::context(fx_->session()));
        d.openNew(1);
        d.show();
        field(d, "Edit_Opisanie")->setText("Сода");
        const QString proposed = field(d, "Edit_Art_N")->text();
        auto* accept = field<QPushButton>(d, "Button_Priemi");
        auto* cancel = field<QPushButton>(d, "Button_Otkaji");
        bool waited = false;
        QTimer::singleShot(0, &d, [&] {
            waited = !accept->isEnabled() && !cancel->isEnabled();
            QTest::mouseClick(accept, Qt::LeftButton);
            QTest::mouseClick(cancel, Qt::LeftButton);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        test::ModalScript script;
        script.next<TForm_Free_Art_ID>([](TForm_Free_Art_ID* list) {
            QVERIFY(list->positionOn(5));
            test::control<QPushButton>(*list, "BitBtn_Izberi")->click();
        });
        QTest::mouseClick(field<QPushButton>(d, "SpdBtn_Svobodni_Nomera"), Qt::LeftButton);
        QVERIFY2(script.finished(), qPrintable(script.failure()));
        QVERIFY(waited);
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID IN (5, " + proposed + ")"), 0);
        QCOMPARE(field(d, "Edit_Art_N")->text(), "5");
        QVERIFY(accept->isEnabled() && cancel->isEnabled());
        QTest::mouseClick(accept, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(count("SELECT COUNT(*) FROM Produkti WHERE ID = 5"), 1);
    }

    void stockAndSerials() {
        execSql(db(), "INSERT INTO Sklad (ID_Sklad, Opis_Sklad) VALUES (2, 'Бус')");
        execSql(db(), "UPDATE Produkti SET Garancionen = 'True' WHERE ID = 4");
        GET_NALI4NOST(db(), 4, 1, kAddStock, 2);
        GET_NALI4NOST(db(), 4, 2, kAddStock, Decimal("3.5"));
        execSql(db(), "INSERT INTO Garancia_dostavtchik (ID, ID_Kontrag, Vid_Dok, ID_Dok, Data, Zabel) "
                      "VALUES (1, 7, 1, 'F-1', '2026-01-02', '')");
        execSql(db(),
                "INSERT INTO Serials (ID_Karta, ID, Serial_ID, Data) VALUES (1, 4, 'SN-9', '2027-01-02')");
        fx_->session().setActiveWarehouse(2, "2:Бус");
        TForm_NewArtikul d(test::context(fx_->session()));
        QVERIFY(d.openEdit(4));
        d.show();
        QCOMPARE(field<QLabel>(d, "Label_Obshta_Nal")->text(), "5.50");
        QCOMPARE(field<QComboBox>(d, "ComboBox_Sklad")->currentText(), "2:Бус");
        QCOMPARE(field<QLabel>(d, "Label_Nal_Sklad")->text(), "3.50");
        field<QComboBox>(d, "ComboBox_Sklad")->setCurrentIndex(0);
        QCOMPARE(field<QLabel>(d, "Label_Nal_Sklad")->text(), "2.00");
        QVERIFY(field<QTabWidget>(d, "PageControl_Artikul")->isTabVisible(3));
        QCOMPARE(d.serials()->rowCount(), 1);
        test::clickCell(field<QTableView>(d, "DBGrid_Serials"), d.serials()->index(0, 0));
        QCOMPARE(d.toolTip(), "Вид документ: Фактура;\nОт Дата: 02.01.2026;\nНомер на документ: F-1;\n"
                              "Доставчик: Доставчик;\nВалиден до: 02.01.2027;\nЗабележка: ;");
        TForm_NewArtikul plain(test::context(fx_->session()));
        QVERIFY(plain.openEdit(1));
        QVERIFY(!field<QTabWidget>(plain, "PageControl_Artikul")->isTabVisible(3));
        QVERIFY(!plain.openEdit(99));
    }
};

QTEST_MAIN(ArticleDialogTest)
#include "test_article_dialog.moc"
