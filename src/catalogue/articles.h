#pragma once
// The articles (Produkti) with their barcodes (Barkodes), the numbers under
// which counterparties know them (Nomenklatures) and their pictures; their
// numbering, saving, deleting and moving between groups; and the lookups by
// number, barcode, serial number and catalogue number.
//
// Codes (barcodes, serial numbers, catalogue numbers) are matched as typed,
// blanks around them aside, so that every lookup is served by a plain index
// on either engine.

#include "common/decimal.h"
#include "common/progress.h"
#include "common/sql_statement.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvika {

struct VatRates;

struct Article {
    qint64 id = 0;
    QString catalogueNumber; // Nomenkl_N
    qint64 group = 0;        // Nomer_Grupa
    QString description;     // Opisanie
    Decimal deliveryPrice;
    QString deliveryCurrency;
    Decimal price;    // Ed_Cena
    QString currency; // Valuta_P
    QString unit;     // Mqrka
    bool warranty = false;
    QString receiptName; // Kasovo_Ime
    QString labelName;   // Etiketno_Ime
    qint64 supplier = 0; // Dostav4ik
    bool series = false; // Poredica
    int minQuantity = 1;
    Decimal maxDiscount; // Max_TO, per cent
    QString shelfLife;   // Trajnost, "<unit>:<count>"
    qint64 scaleCode = 0;
    int vatGroup = 1;
    int preparation = 0;
    bool vatIncluded = false; // DDS
};

// A number under which a counterparty knows an article.
struct CounterpartyNumber {
    QString number;
    qint64 counterparty = 0;
    QString counterpartyName; // shown only
    bool operator==(const CounterpartyNumber& o) const {
        return number == o.number && counterparty == o.counterparty;
    }
};

// The codes the article dialog edits beside the article's row.
struct ArticleCodes {
    QStringList barcodes;
    QList<CounterpartyNumber> counterpartyNumbers;
};

// Why a save was refused, and which field the caret goes to.
struct ArticleRefusal {
    enum Field { Number, Barcodes, CounterpartyNumbers, Group } field;
    QString message;
};

// The fixed choices of the article dialog.
// "0:Данъчна група А - 0 %" ... "3:Данъчна група Г - 9 %" with the company's
// rates; the code is the number.
QStringList vatGroupItems(const VatRates& rates);
// "в часове", "в дни", "в месеци", "в години": the unit of a shelf life or warranty period.
QStringList durationUnitItems();
// The base currency (Osn true), preselected for a new article; empty when none.
QString baseCurrency(const QSqlDatabase& db);
// The usual units and every unit already used, sorted, without duplicates.
QStringList unitItems(const QSqlDatabase& db);

// A shelf life "<unit>:<count>" read back: the unit (the number before ":",
// -1 when the text is empty) and the count (the text from the third
// character on).
struct ShelfLife {
    int unit = -1;
    QString count;
};
ShelfLife parseShelfLife(const QString& text);
QString shelfLifeText(int unit, int count);

// The largest article or group number: the columns are 32-bit integers.
inline constexpr qint64 kMaxKeyNumber = 2147483647;
// A whole number from 1 to kMaxKeyNumber (an article or group number); none otherwise.
std::optional<qint64> parseKeyNumber(const QString& text);
// The default catalogue number of an article: "<group>_<number>".
QString defaultCatalogueNumber(qint64 group, const QString& number);
// A name derived from the description: the description cut to limit
// characters (0: no limit).
QString nameFromDescription(const QString& description, int limit);

std::optional<Article> loadArticle(const QSqlDatabase& db, qint64 id);
ArticleCodes loadArticleCodes(const QSqlDatabase& db, qint64 id);
bool articleExists(const QSqlDatabase& db, qint64 id);
// Whether rows elsewhere carry the article: stock, sales and pending sale
// lines, deliveries and the delivery being entered, revisions, recipes,
// orders, serial numbers, service items, printed documents, special
// discounts.
bool articleHasHistory(const QSqlDatabase& db, qint64 id);
// Inside a Transaction, before articleHasHistory or removeGroupArticles:
// keeps other workstations from writing the history tables (and the tables
// given) until the transaction ends, so that what the check finds holds
// when the articles change.
void lockArticleHistory(const QSqlDatabase& db, const QStringList& alsoTables = {});

// Numbering.
// The next number across all groups: MAX + 1 (1 for an empty table).
qint64 nextArticleNumber(const QSqlDatabase& db);
// The number after the group's highest (1 for an empty group), or the first
// number after it that no article of any group has.
qint64 lastNumberInGroup(const QSqlDatabase& db, qint64 group);
// The numbers between the group's lowest and highest that no article of
// any group has, in order; at most limit of them. Reads the articles in
// pages, one statement each, reporting the position and stopping (with what
// it found so far) when the operator cancels.
QList<qint64> freeNumbersInGroup(const QSqlDatabase& db, qint64 group, Progress& progress,
                                 int limit = 100000);
// The free numbers as the temporary table Free_Art of the connection, for
// the free-numbers dialog's grid; dropped when the dialog closes.
void fillFreeNumbersTable(const QSqlDatabase& db, qint64 group, const QList<qint64>& numbers);
void dropFreeNumbersTable(const QSqlDatabase& db);
// The grid's rows of Free_Art: the number and the group's name.
SqlStatement freeNumbersStatement(qint64 group);

// Barcodes.
// Whether a code of 8, 12 or 13 digits has the check digit of EAN-8, UPC-A
// or EAN-13; true for every other code, which has none to check.
bool barcodeCheckDigitOk(const QString& code);
// The article that has the barcode, other than except; none when no other has it.
std::optional<qint64> barcodeOwner(const QSqlDatabase& db, const QString& code, qint64 except);
// The article that has the counterparty's number, other than except.
std::optional<qint64> counterpartyNumberOwner(const QSqlDatabase& db, const QString& number,
                                              qint64 counterparty, qint64 except);

// Saving. Each is one transaction: the article's row with its barcodes and
// counterparty numbers, all or nothing. Refusals are returned; failures of
// the database throw EDatabaseError.
//
// A new article under its number, in its group.
std::optional<ArticleRefusal> createArticle(const QSqlDatabase& db, const Article& article,
                                            const ArticleCodes& codes);
// Rewrites the article stored as oldId (its group, last supplier and
// delivery price stay as stored), and changes its codes from before to
// after, keeping what another workstation added meanwhile. A new number is
// refused when another article has it, or when the article has a history;
// its barcodes, counterparty numbers and special discounts follow it.
std::optional<ArticleRefusal> updateArticle(const QSqlDatabase& db, qint64 oldId, const Article& article,
                                            const ArticleCodes& before, const ArticleCodes& after);

// What deleting groups or articles did.
struct ArticleRemoval {
    int deleted = 0; // articles removed with their barcodes and counterparty numbers
    int binned = 0;  // articles with a history, moved to the bin
};
// The group of the articles in the bin: no group has it.
inline constexpr qint64 kBinGroup = 0;
// Inside the caller's transaction, after lockArticleHistory: removes the
// articles of the groups, or moves those with a history to the bin.
ArticleRemoval removeGroupArticles(const QSqlDatabase& db, const QList<qint64>& groups);

// Deleting: an article with a history is moved to the bin instead, whole
// (its codes stay, so that it can be brought back by moving it to a group).
enum class ArticleDeletion { Deleted, Binned, Gone };
ArticleDeletion deleteArticle(const QSqlDatabase& db, qint64 id);
// Moves the articles to the group, in one transaction; refused when the
// group does not exist.
std::optional<ArticleRefusal> moveArticlesToGroup(const QSqlDatabase& db, const QList<qint64>& ids,
                                                  qint64 group);

// Pictures: stored as PNG, scaled to fit kPictureSide pixels.
inline constexpr int kPictureSide = 640;
inline constexpr qint64 kPictureFileLimitMb = 20;
// The picture of a PNG, JPEG, BMP or ICO file ready to store. Throws
// EConvertError with the message to show when the file is too large or not
// a picture.
QByteArray pictureFromFile(const QString& fileName);
// Stores the picture (an empty one clears it). Throws EDatabaseError.
void setArticlePicture(const QSqlDatabase& db, qint64 id, const QByteArray& png);
QByteArray articlePicture(const QSqlDatabase& db, qint64 id);

// Serial numbers: the hint of one (its warranty document), six lines.
QString serialHint(const QSqlDatabase& db, const QString& serial);

// The reference text "<ID>:<Ime_Firma>" of a counterparty; "<ID>:" when it
// is gone.
QString counterpartyRefText(const QSqlDatabase& db, qint64 id);

// Lookups by code, each through one plain index: the article numbers found.
std::optional<qint64> articleByNumber(const QSqlDatabase& db, qint64 number);
QList<qint64> articlesByBarcode(const QSqlDatabase& db, const QString& code);
QList<qint64> articlesBySerial(const QSqlDatabase& db, const QString& serial);
// The article's serial numbers with their warranty cards, for the dialog's list.
SqlStatement articleSerialsStatement(qint64 article);
QList<qint64> articlesByCatalogueNumber(const QSqlDatabase& db, const QString& number);

// The fields a picker hands to its caller, for the given articles in the
// order given (missing ones are left out).
struct ArticleSummary {
    qint64 id = 0;
    QString catalogueNumber;
    QString description;
    Decimal price;
    QString currency;
    QString unit;
    bool warranty = false;
    qint64 group = 0;
};
QList<ArticleSummary> articleSummaries(const QSqlDatabase& db, const QList<qint64>& ids);

} // namespace torvika
