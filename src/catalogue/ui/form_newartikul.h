#pragma once
// "Редакция артикули": a new article or an existing one, with its barcodes,
// the numbers under which counterparties know it, its serial numbers, its
// picture and its stock. Barcodes and counterparty numbers are kept in the
// dialog and stored with the article by "Приеми", in one transaction.

#include "catalogue/articles.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_NewArtikul;
}

class QLineEdit;
class QPushButton;

namespace torvika {

class StatementModel;

class TForm_NewArtikul : public QDialog {
    Q_OBJECT
public:
    explicit TForm_NewArtikul(const WindowContext& context, QWidget* parent = nullptr);
    ~TForm_NewArtikul() override;

    // Registers what the counterparty list opened by the dialog delivers to
    // it (its module does, while it is installed).
    static void addFollowUps(FollowUpRegistry& followUps);

    enum Mode { New, Edit };
    Mode mode() const { return mode_; }
    // A new article in the group (a node "<ID>:<Opisanie>"), numbered
    // after the highest number of all groups.
    void openNew(qint64 group);
    // The stored article; false when it is gone.
    bool openEdit(qint64 id);

    // The number the article was stored under by "Приеми"; -1 before.
    qint64 savedId() const { return savedId_; }
    const ArticleCodes& codes() const { return codes_; }
    StatementModel* serials() const { return serials_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc closes an open barcode or counterparty-number input first.
    void keyPressEvent(QKeyEvent* e) override;
    // While the free numbers are searched, closing the dialog (Esc, the
    // window's close button) stops the search instead; the dialog stays.
    void reject() override;

private slots:
    void Button_PriemiClick();
    void Button_PrekasniClick();
    // The checks run when a field is left: false after a refusal (the
    // message is shown and the caret stays).
    bool Edit_Art_NExit();
    bool Edit_OpisanieExit();
    bool Edit_CenaExit();
    void Edit_Nom_NExit();
    void Button_Nom_IztriiClick();
    void Button_Nom_RedakciaClick();
    void Label_Select_KontragClick();
    void ComboBox_SkladChange();
    void DBGrid_SerialsClick(const QModelIndex& index);
    void Button_PomoshtClick();
    void SpdBtn_Posleden_NomerClick();
    void SpdBtn_Svobodni_NomeraClick();
    // The barcode and counterparty-number pages: "Добави" / "Приеми",
    // "Изтрии" / "Откажи", "Редакция".
    void Button_Barkod_DobaviClick();
    void Button_Barkod_IztriiClick();
    void Button_Barkod_RedakciaClick();
    void Button_Nom_DobaviClick();
    void Button_Snimka_RedaktirajClick();
    void Button_Snimka_IztriiClick();

private:
    class SearchProgress;

    void fillChoices();
    void setGroup(qint64 group);
    void setNumber(const QString& text);
    void numberEdited(const QString& text);
    void descriptionEdited(const QString& text);
    void setNameLimits();
    bool readArticle(Article& a);
    void showBarcodes();
    void showCounterpartyNumbers();
    void setCodeInput(bool barcode, bool open, const QString& old = {});
    bool barcodeEditing() const;
    bool numberEditing() const;
    void acceptBarcode();
    void acceptCounterpartyNumber();
    void showPicture(const QByteArray& png);
    void showStock();
    QString helpClip() const;

    std::unique_ptr<Ui::TForm_NewArtikul> ui;
    const WindowContext context_;
    Session& session_;
    Mode mode_ = New;
    qint64 oldId_ = -1;
    qint64 group_ = 0;
    qint64 savedId_ = -1;
    Article stored_;
    ArticleCodes storedCodes_;
    ArticleCodes codes_;
    // The number and description the derived fields were last made from.
    QString derivedNumber_;
    QString derivedDescription_;
    int receiptLimit_ = 0;
    int labelLimit_ = 0;
    // The value being edited on the barcode and counterparty-number pages.
    std::optional<QString> oldBarcode_;
    std::optional<CounterpartyNumber> oldNumber_;
    bool barcodeOpen_ = false;
    bool numberOpen_ = false;
    bool checking_ = false;
    bool searchCancelled_ = false;
    bool searching_ = false;
    StatementModel* serials_;
};

} // namespace torvika
