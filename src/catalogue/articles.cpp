#include "catalogue/articles.h"

#include "common/base_currency.h"
#include "common/vat.h"

#include "catalogue/texts.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/new_keys.h"
#include "common/number_column.h"
#include "common/ref_text.h"
#include "common/sql.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <algorithm>

namespace torvika {

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QString boolText(bool b) {
    return b ? kTrue : kFalse;
}

bool isTrue(const QVariant& v) {
    return v.toString().trimmed().compare(kTrue, Qt::CaseInsensitive) == 0;
}

// Every column of an article but its picture.
const QString kArticleColumns = QStringLiteral(
    "ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, Ed_Cena, Valuta_P, Mqrka, Garancionen, "
    "Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, Min_Kol, Max_TO, Trajnost, Kod_Vezna, Dan_Grup, "
    "Prigotvq_Se, "
    "DDS");

// The rows that carry an article: its movements and the documents, lines
// and recipes that name it. An article with any of them keeps its number.
struct HistoryTable {
    const char* table;
    const char* column;
};
constexpr HistoryTable kHistory[] = {
    {"Store_Kol", "Art_ID"},
    {"Prodajbi", "ID_Art"},
    {"Prodajbi_Vremenni", "Barkod"},
    {"Invalidate_Sales", "ID_Art"},
    {"Dostavka_Art", "Nomer_Produkt"},
    {"DostavkiTMP", "Nomer_Produkt"},
    {"Revision_Art", "Art_ID"},
    {"Rezept_Art", "ID_Art"},
    {"Rezept_El", "ID_El"},
    {"Zaqvki_All", "Art_ID"},
    {"Serials", "ID"},
    {"Priem_Ser_Vremen", "Barkod"},
    {"Priem_Ser", "Barkod"},
    {"R_Priem", "Barkod"},
    {"Printed_Dok", "ID_Art"},
};

// The condition that the article whose number is the expression has a history.
// Its tables are locked against writers first (lockArticleHistory), so that
// a sale or a delivery committed between the check and the change is never
// left naming an article that is gone.
QString historyCondition(const QString& article) {
    QStringList parts;
    for (const HistoryTable& h : kHistory)
        parts << QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %1.%2 = %3)")
                     .arg(QLatin1String(h.table), QLatin1String(h.column), article);
    return u'(' + parts.join(QStringLiteral(" OR ")) + u')';
}

QStringList historyTables() {
    QStringList tables;
    for (const HistoryTable& h : kHistory)
        tables << QString::fromLatin1(h.table);
    return tables;
}

Article articleFrom(const QSqlQuery& q) {
    Article a;
    a.id = q.value(0).toLongLong();
    a.catalogueNumber = q.value(1).toString();
    a.group = q.value(2).toLongLong();
    a.description = q.value(3).toString();
    a.deliveryPrice = fromNumberColumn(q.value(4));
    a.deliveryCurrency = q.value(5).toString();
    a.price = fromNumberColumn(q.value(6));
    a.currency = q.value(7).toString();
    a.unit = q.value(8).toString();
    a.warranty = isTrue(q.value(9));
    a.receiptName = q.value(10).toString();
    a.labelName = q.value(11).toString();
    a.supplier = q.value(12).toLongLong();
    a.series = isTrue(q.value(13));
    a.minQuantity = q.value(14).toInt();
    a.maxDiscount = fromNumberColumn(q.value(15));
    a.shelfLife = q.value(16).toString();
    a.scaleCode = q.value(17).toLongLong();
    a.vatGroup = q.value(18).toInt();
    a.preparation = q.value(19).toInt();
    a.vatIncluded = isTrue(q.value(20));
    return a;
}

bool groupExists(const QSqlDatabase& db, qint64 group) {
    return CHECK_REPEATED_NUMBERS(db, QStringLiteral("Grupi"), QStringLiteral("ID"), group);
}

QString cleanCode(const QString& code) {
    return code.trimmed();
}

// Adds the barcodes and counterparty numbers to the article; a code another
// article has refuses the whole save.
std::optional<ArticleRefusal> addCodes(const QSqlDatabase& db, qint64 id, const QStringList& barcodes,
                                       const QList<CounterpartyNumber>& numbers) {
    if (!barcodes.isEmpty()) {
        lockTableForWriting(db, QStringLiteral("Barkodes"));
        for (const QString& raw : barcodes) {
            const QString code = cleanCode(raw);
            if (code.isEmpty())
                continue;
            if (const std::optional<qint64> owner = barcodeOwner(db, code, id))
                return ArticleRefusal{ArticleRefusal::Barcodes,
                                      texts::kBarcodeTaken.arg(code, QString::number(*owner))};
            // Already the article's own (added meanwhile, or typed twice).
            if (scalarSql(db, QStringLiteral("SELECT 1 FROM Barkodes WHERE ID = ? AND Barkode = ?"),
                          {id, code})
                    .isValid())
                continue;
            execSql(db, QStringLiteral("INSERT INTO Barkodes (ID, Barkode) VALUES (?, ?)"), {id, code});
        }
    }
    if (!numbers.isEmpty()) {
        lockTableForWriting(db, QStringLiteral("Nomenklatures"));
        for (const CounterpartyNumber& n : numbers) {
            const QString number = cleanCode(n.number);
            if (number.isEmpty())
                continue;
            if (const std::optional<qint64> owner = counterpartyNumberOwner(db, number, n.counterparty, id))
                return ArticleRefusal{
                    ArticleRefusal::CounterpartyNumbers,
                    texts::kCounterpartyNumberTaken.arg(number, counterpartyRefText(db, n.counterparty),
                                                        QString::number(*owner))};
            if (scalarSql(
                    db,
                    QStringLiteral(
                        "SELECT 1 FROM Nomenklatures WHERE ID = ? AND Nomenkl_N = ? AND ID_Kontrag = ?"),
                    {id, number, n.counterparty})
                    .isValid())
                continue;
            execSql(db,
                    QStringLiteral("INSERT INTO Nomenklatures (ID, Nomenkl_N, ID_Kontrag) VALUES (?, ?, ?)"),
                    {id, number, n.counterparty});
        }
    }
    return std::nullopt;
}

// Removes the article's rows that belong to it alone.
void deleteOwnRows(const QSqlDatabase& db, const QString& condition, const QVariant& value) {
    execSql(db, QStringLiteral("DELETE FROM Barkodes WHERE ID %1").arg(condition), {value});
    execSql(db, QStringLiteral("DELETE FROM Nomenklatures WHERE ID %1").arg(condition), {value});
    execSql(db,
            QStringLiteral("DELETE FROM Sp_Otstapka WHERE Otnasq_se_za = ? AND ID_Art_Gr %1").arg(condition),
            {QStringLiteral("A"), value});
}

QString plainGtinDigits(const QString& code) {
    for (QChar c : code)
        if (c < u'0' || c > u'9')
            return {};
    return code;
}

} // namespace

QStringList vatGroupItems(const VatRates& rates) {
    QStringList items;
    for (int g = 0; g < kTaxGroupCount; ++g)
        items << QStringLiteral("%1:Данъчна група %2 - %3 %")
                     .arg(g)
                     .arg(taxGroupLetter(g), rates.of(g).toString());
    return items;
}

QStringList durationUnitItems() {
    return {QStringLiteral("в часове"), QStringLiteral("в дни"), QStringLiteral("в месеци"),
            QStringLiteral("в години")};
}

QString baseCurrency(const QSqlDatabase& db) {
    return baseCurrencyRowName(db);
}

QStringList unitItems(const QSqlDatabase& db) {
    QStringList units{QStringLiteral("бр."),   QStringLiteral("кг."),   QStringLiteral("гр."),
                      QStringLiteral("л."),    QStringLiteral("пакет"), QStringLiteral("стек"),
                      QStringLiteral("кашон"), QStringLiteral("кв.м.")};
    QSqlQuery q = execSql(db, QStringLiteral("SELECT DISTINCT Mqrka FROM Produkti WHERE Mqrka IS NOT NULL"));
    while (q.next())
        units << q.value(0).toString();
    units.removeAll(QString());
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    return units;
}

ShelfLife parseShelfLife(const QString& text) {
    if (text.trimmed().isEmpty())
        return {};
    return {GetID_MFromTreeNodeName(text), text.mid(2)};
}

QString shelfLifeText(int unit, int count) {
    return QString::number(unit) + u':' + QString::number(count);
}

std::optional<qint64> parseKeyNumber(const QString& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < 1 || n > kMaxKeyNumber)
        return std::nullopt;
    return n;
}

QString defaultCatalogueNumber(qint64 group, const QString& number) {
    return QString::number(group) + u'_' + number.trimmed();
}

QString nameFromDescription(const QString& description, int limit) {
    return limit > 0 ? description.left(limit) : description;
}

std::optional<Article> loadArticle(const QSqlDatabase& db, qint64 id) {
    QSqlQuery q =
        execSql(db, QStringLiteral("SELECT %1 FROM Produkti WHERE ID = ?").arg(kArticleColumns), {id});
    if (!q.next())
        return std::nullopt;
    return articleFrom(q);
}

ArticleCodes loadArticleCodes(const QSqlDatabase& db, qint64 id) {
    ArticleCodes codes;
    QSqlQuery b =
        execSql(db, QStringLiteral("SELECT Barkode FROM Barkodes WHERE ID = ? ORDER BY Barkode"), {id});
    while (b.next())
        codes.barcodes << b.value(0).toString();
    QSqlQuery n =
        execSql(db,
                QStringLiteral("SELECT Nomenklatures.Nomenkl_N, Nomenklatures.ID_Kontrag, Firmi.Ime_Firma "
                               "FROM Nomenklatures LEFT JOIN Firmi ON Firmi.ID = Nomenklatures.ID_Kontrag "
                               "WHERE Nomenklatures.ID = ? "
                               "ORDER BY Nomenklatures.ID_Kontrag, Nomenklatures.Nomenkl_N"),
                {id});
    while (n.next())
        codes.counterpartyNumbers << CounterpartyNumber{n.value(0).toString(), n.value(1).toLongLong(),
                                                        n.value(2).toString()};
    return codes;
}

bool articleExists(const QSqlDatabase& db, qint64 id) {
    return CHECK_REPEATED_NUMBERS(db, QStringLiteral("Produkti"), QStringLiteral("ID"), id);
}

void lockArticleHistory(const QSqlDatabase& db, const QStringList& alsoTables) {
    lockTablesAgainstWriters(db, historyTables() + alsoTables);
}

bool articleHasHistory(const QSqlDatabase& db, qint64 id) {
    return scalarSql(db,
                     QStringLiteral("SELECT 1 FROM Produkti WHERE Produkti.ID = ? AND %1")
                         .arg(historyCondition(QStringLiteral("Produkti.ID"))),
                     {id})
        .isValid();
}

qint64 nextArticleNumber(const QSqlDatabase& db) {
    return nextKey(db, QStringLiteral("Produkti"), QStringLiteral("ID"));
}

qint64 lastNumberInGroup(const QSqlDatabase& db, qint64 group) {
    const QVariant max =
        scalarSql(db, QStringLiteral("SELECT MAX(ID) FROM Produkti WHERE Nomer_Grupa = ?"), {group});
    const qint64 candidate = max.isNull() ? 1 : max.toLongLong() + 1;
    if (!articleExists(db, candidate))
        return candidate;
    // The first gap after the candidate: the first used number whose
    // successor is free, walking the key upwards.
    return scalarSql(db,
                     QStringLiteral("SELECT p.ID + 1 FROM Produkti p WHERE p.ID >= ? AND NOT EXISTS "
                                    "(SELECT 1 FROM Produkti q WHERE q.ID = p.ID + 1) ORDER BY p.ID LIMIT 1"),
                     {candidate})
        .toLongLong();
}

QList<qint64> freeNumbersInGroup(const QSqlDatabase& db, qint64 group, Progress& progress, int limit) {
    QList<qint64> free;
    QSqlQuery range =
        execSql(db, QStringLiteral("SELECT MIN(ID), MAX(ID) FROM Produkti WHERE Nomer_Grupa = ?"), {group});
    if (!range.next() || range.value(0).isNull())
        return free;
    const qint64 low = range.value(0).toLongLong();
    const qint64 high = range.value(1).toLongLong();
    range.finish();
    constexpr int kScale = 1000;
    constexpr int kGapsPerPage = 1000;
    progress.start(kScale);
    // Each page finds the next gaps: the used numbers whose successor is
    // free, each with the next used number after it.
    const QString gaps = QStringLiteral(
        "SELECT p.ID, (SELECT MIN(q.ID) FROM Produkti q WHERE q.ID > p.ID) FROM Produkti p "
        "WHERE p.ID >= ? AND p.ID < ? AND NOT EXISTS (SELECT 1 FROM Produkti q WHERE q.ID = p.ID + 1) "
        "ORDER BY p.ID LIMIT ?");
    qint64 from = low;
    while (from < high && free.size() < limit) {
        const SqlRows page = readRows(db, gaps, {from, high, kGapsPerPage});
        for (const QVariantList& row : page.rows) {
            const qint64 used = row[0].toLongLong();
            const qint64 next = row[1].isNull() ? high + 1 : qMin(row[1].toLongLong(), high + 1);
            for (qint64 n = used + 1; n < next && free.size() < limit; ++n)
                free << n;
            from = used + 1;
        }
        if (page.rows.size() < kGapsPerPage)
            from = high;
        progress.setValue(int(double(from - low) / double(qMax<qint64>(1, high - low)) * kScale));
        if (progress.cancelled())
            break;
    }
    progress.finish();
    return free;
}

void fillFreeNumbersTable(const QSqlDatabase& db, qint64 group, const QList<qint64>& numbers) {
    execScriptStatement(db, QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS Free_Art "
                                           "(Art_ID INTEGER, Grupa_ID INTEGER)"));
    execScriptStatement(db, QStringLiteral("DELETE FROM Free_Art"));
    constexpr int kRowsPerStatement = 400;
    for (qsizetype i = 0; i < numbers.size(); i += kRowsPerStatement) {
        const qsizetype n = qMin<qsizetype>(kRowsPerStatement, numbers.size() - i);
        QStringList rows;
        QVariantList values;
        for (qsizetype k = 0; k < n; ++k) {
            rows << QStringLiteral("(?, ?)");
            values << numbers[i + k] << group;
        }
        execSql(db, QStringLiteral("INSERT INTO Free_Art (Art_ID, Grupa_ID) VALUES ") + rows.join(u','),
                values);
    }
}

void dropFreeNumbersTable(const QSqlDatabase& db) {
    execScriptStatement(db, QStringLiteral("DROP TABLE IF EXISTS Free_Art"));
}

SqlStatement freeNumbersStatement(qint64 group) {
    return {QStringLiteral("SELECT Free_Art.Art_ID, Grupi.Opisanie AS Grupa_Ime FROM Free_Art, Grupi "
                           "WHERE Grupi.ID = ?\nORDER BY Free_Art.Art_ID"),
            {group},
            QStringLiteral("Free_Art.Art_ID")};
}

SqlStatement articleSerialsStatement(qint64 article) {
    return {
        QStringLiteral("SELECT Serial_ID, ID_Karta FROM Serials WHERE ID = ?\nORDER BY Serial_ID, ID_Karta"),
        {article}};
}

bool barcodeCheckDigitOk(const QString& raw) {
    const QString code = plainGtinDigits(cleanCode(raw));
    if (code.size() != 8 && code.size() != 12 && code.size() != 13)
        return true;
    // From the digit before the check digit leftwards the weights are 3, 1, 3, ...
    int sum = 0;
    int weight = 3;
    for (qsizetype i = code.size() - 2; i >= 0; --i) {
        sum += (code[i].unicode() - u'0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10 == code.back().unicode() - u'0';
}

std::optional<qint64> barcodeOwner(const QSqlDatabase& db, const QString& code, qint64 except) {
    const QVariant id = scalarSql(db, QStringLiteral("SELECT ID FROM Barkodes WHERE Barkode = ? AND ID <> ?"),
                                  {cleanCode(code), except});
    if (!id.isValid())
        return std::nullopt;
    return id.toLongLong();
}

std::optional<qint64> counterpartyNumberOwner(const QSqlDatabase& db, const QString& number,
                                              qint64 counterparty, qint64 except) {
    const QVariant id = scalarSql(
        db, QStringLiteral("SELECT ID FROM Nomenklatures WHERE Nomenkl_N = ? AND ID_Kontrag = ? AND ID <> ?"),
        {cleanCode(number), counterparty, except});
    if (!id.isValid())
        return std::nullopt;
    return id.toLongLong();
}

std::optional<ArticleRefusal> createArticle(const QSqlDatabase& db, const Article& a,
                                            const ArticleCodes& codes) {
    if (a.id < 1 || a.id > kMaxKeyNumber)
        return ArticleRefusal{ArticleRefusal::Number, texts::kBadArticleNumber};
    Transaction t(db);
    lockTableForWriting(db, QStringLiteral("Produkti"));
    if (articleExists(db, a.id))
        return ArticleRefusal{ArticleRefusal::Number, texts::kBadArticleNumber};
    if (!groupExists(db, a.group))
        return ArticleRefusal{ArticleRefusal::Group, texts::kGroupIsGone};
    execSql(db,
            QStringLiteral(
                "INSERT INTO Produkti (ID, Nomenkl_N, Nomer_Grupa, Opisanie, Dostavna_Cena, Valuta_D, "
                "Ed_Cena, Valuta_P, Mqrka, Garancionen, Kasovo_Ime, Etiketno_Ime, Dostav4ik, Poredica, "
                "Min_Kol, Max_TO, Trajnost, Kod_Vezna, Dan_Grup, Prigotvq_Se) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {a.id,
             a.catalogueNumber,
             a.group,
             a.description,
             0.0,
             a.currency,
             numberColumnValue(a.price.rounded(4)),
             a.currency,
             a.unit,
             boolText(a.warranty),
             a.receiptName,
             a.labelName,
             0,
             boolText(a.series),
             a.minQuantity,
             numberColumnValue(a.maxDiscount),
             a.shelfLife,
             a.scaleCode,
             a.vatGroup,
             a.preparation});
    if (std::optional<ArticleRefusal> refused = addCodes(db, a.id, codes.barcodes, codes.counterpartyNumbers))
        return refused;
    t.commit();
    return std::nullopt;
}

std::optional<ArticleRefusal> updateArticle(const QSqlDatabase& db, qint64 oldId, const Article& a,
                                            const ArticleCodes& before, const ArticleCodes& after) {
    if (a.id < 1 || a.id > kMaxKeyNumber)
        return ArticleRefusal{ArticleRefusal::Number, texts::kBadArticleNumber};
    Transaction t(db);
    lockTableForWriting(db, QStringLiteral("Produkti"));
    if (!articleExists(db, oldId))
        return ArticleRefusal{ArticleRefusal::Number, texts::kArticleIsGone};
    if (a.id != oldId) {
        if (articleExists(db, a.id))
            return ArticleRefusal{ArticleRefusal::Number, texts::kBadArticleNumber};
        lockArticleHistory(db);
        if (articleHasHistory(db, oldId))
            return ArticleRefusal{ArticleRefusal::Number, texts::kRenumberWithHistory};
    }
    // The group, the last supplier and delivery price, the VAT mark and the
    // picture stay as stored.
    execSql(
        db,
        QStringLiteral("UPDATE Produkti SET ID = ?, Nomenkl_N = ?, Opisanie = ?, Ed_Cena = ?, Valuta_P = ?, "
                       "Mqrka = ?, Garancionen = ?, Kasovo_Ime = ?, Etiketno_Ime = ?, Poredica = ?, "
                       "Min_Kol = ?, Max_TO = ?, Trajnost = ?, Kod_Vezna = ?, Dan_Grup = ?, Prigotvq_Se = ? "
                       "WHERE ID = ?"),
        {a.id, a.catalogueNumber, a.description, numberColumnValue(a.price.rounded(4)), a.currency, a.unit,
         boolText(a.warranty), a.receiptName, a.labelName, boolText(a.series), a.minQuantity,
         numberColumnValue(a.maxDiscount), a.shelfLife, a.scaleCode, a.vatGroup, a.preparation, oldId});
    if (a.id != oldId) {
        // The rows that belong to the article alone follow its number.
        execSql(db, QStringLiteral("UPDATE Barkodes SET ID = ? WHERE ID = ?"), {a.id, oldId});
        execSql(db, QStringLiteral("UPDATE Nomenklatures SET ID = ? WHERE ID = ?"), {a.id, oldId});
        execSql(
            db,
            QStringLiteral("UPDATE Sp_Otstapka SET ID_Art_Gr = ? WHERE Otnasq_se_za = ? AND ID_Art_Gr = ?"),
            {a.id, QStringLiteral("A"), oldId});
    }
    // The codes removed in the dialog go; those added come, beside any
    // another workstation added meanwhile.
    for (const QString& code : before.barcodes)
        if (!after.barcodes.contains(code))
            execSql(db, QStringLiteral("DELETE FROM Barkodes WHERE ID = ? AND Barkode = ?"), {a.id, code});
    for (const CounterpartyNumber& n : before.counterpartyNumbers)
        if (!after.counterpartyNumbers.contains(n))
            execSql(
                db,
                QStringLiteral("DELETE FROM Nomenklatures WHERE ID = ? AND Nomenkl_N = ? AND ID_Kontrag = ?"),
                {a.id, n.number, n.counterparty});
    QStringList addedBarcodes;
    for (const QString& code : after.barcodes)
        if (!before.barcodes.contains(code))
            addedBarcodes << code;
    QList<CounterpartyNumber> addedNumbers;
    for (const CounterpartyNumber& n : after.counterpartyNumbers)
        if (!before.counterpartyNumbers.contains(n))
            addedNumbers << n;
    if (std::optional<ArticleRefusal> refused = addCodes(db, a.id, addedBarcodes, addedNumbers))
        return refused;
    t.commit();
    return std::nullopt;
}

ArticleRemoval removeGroupArticles(const QSqlDatabase& db, const QList<qint64>& groups) {
    ArticleRemoval removal;
    const QString inGroup = QStringLiteral("IN (SELECT ID FROM Produkti WHERE Nomer_Grupa = ?)");
    for (qint64 g : groups) {
        QSqlQuery binned =
            execSql(db,
                    QStringLiteral("UPDATE Produkti SET Nomer_Grupa = ? WHERE Nomer_Grupa = ? AND %1")
                        .arg(historyCondition(QStringLiteral("Produkti.ID"))),
                    {kBinGroup, g});
        removal.binned += qMax(0, binned.numRowsAffected());
        deleteOwnRows(db, inGroup, g);
        QSqlQuery deleted = execSql(db, QStringLiteral("DELETE FROM Produkti WHERE Nomer_Grupa = ?"), {g});
        removal.deleted += qMax(0, deleted.numRowsAffected());
    }
    return removal;
}

ArticleDeletion deleteArticle(const QSqlDatabase& db, qint64 id) {
    Transaction t(db);
    lockArticleHistory(db);
    if (!articleExists(db, id))
        return ArticleDeletion::Gone;
    if (articleHasHistory(db, id)) {
        execSql(db, QStringLiteral("UPDATE Produkti SET Nomer_Grupa = ? WHERE ID = ?"), {kBinGroup, id});
        t.commit();
        return ArticleDeletion::Binned;
    }
    deleteOwnRows(db, QStringLiteral("= ?"), id);
    execSql(db, QStringLiteral("DELETE FROM Produkti WHERE ID = ?"), {id});
    t.commit();
    return ArticleDeletion::Deleted;
}

std::optional<ArticleRefusal> moveArticlesToGroup(const QSqlDatabase& db, const QList<qint64>& ids,
                                                  qint64 group) {
    Transaction t(db);
    // The group stays until the articles are in it.
    lockTablesAgainstWriters(db, {QStringLiteral("Grupi")});
    if (group < 1 || !groupExists(db, group))
        return ArticleRefusal{ArticleRefusal::Group, texts::kGroupIsGone};
    constexpr int kChunk = 500;
    for (qsizetype i = 0; i < ids.size(); i += kChunk) {
        const QList<qint64> chunk = ids.mid(i, kChunk);
        QVariantList values{group};
        for (qint64 id : chunk)
            values << id;
        execSql(db,
                QStringLiteral("UPDATE Produkti SET Nomer_Grupa = ? WHERE ID IN (%1)")
                    .arg(QStringList(chunk.size(), QStringLiteral("?")).join(u',')),
                values);
    }
    t.commit();
    return std::nullopt;
}

QByteArray pictureFromFile(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.size() > kPictureFileLimitMb * 1024 * 1024)
        throw EConvertError(
            texts::kPictureTooLarge.arg(QDir::toNativeSeparators(fileName)).arg(kPictureFileLimitMb));
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    static const QList<QByteArray> kFormats{"png", "jpeg", "jpg", "bmp", "ico", "cur"};
    if (!kFormats.contains(reader.format().toLower()))
        throw EConvertError(texts::kNotAPicture.arg(QDir::toNativeSeparators(fileName)));
    QImage image = reader.read();
    if (image.isNull())
        throw EConvertError(texts::kNotAPicture.arg(QDir::toNativeSeparators(fileName)));
    if (image.width() > kPictureSide || image.height() > kPictureSide)
        image = image.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void setArticlePicture(const QSqlDatabase& db, qint64 id, const QByteArray& png) {
    const QVariant value = png.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(png);
    QSqlQuery q = execSql(db, QStringLiteral("UPDATE Produkti SET Snimka = ? WHERE ID = ?"), {value, id});
    if (q.numRowsAffected() < 1)
        throw EDatabaseError(texts::kArticleIsGone);
}

QByteArray articlePicture(const QSqlDatabase& db, qint64 id) {
    return scalarSql(db, QStringLiteral("SELECT Snimka FROM Produkti WHERE ID = ?"), {id}).toByteArray();
}

QString serialHint(const QSqlDatabase& db, const QString& serial) {
    QSqlQuery q =
        execSql(db,
                QStringLiteral(
                    "SELECT Rab_Dokumenti.Opisanie, Garancia_dostavtchik.Data, Garancia_dostavtchik.ID_Dok, "
                    "Firmi.Ime_Firma, Serials.Data, Garancia_dostavtchik.Zabel "
                    "FROM Serials, Garancia_dostavtchik, Firmi, Rab_Dokumenti "
                    "WHERE Serials.Serial_ID = ? AND Garancia_dostavtchik.ID = Serials.ID_Karta "
                    "AND Garancia_dostavtchik.ID_Kontrag = Firmi.ID "
                    "AND Garancia_dostavtchik.Vid_Dok = Rab_Dokumenti.ID"),
                {serial});
    if (!q.next())
        return {};
    auto date = [](const QVariant& v) {
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? shortDate(d) : v.toString();
    };
    return QStringList{texts::kSerialDocument + q.value(0).toString() + u';',
                       texts::kSerialDate + date(q.value(1)) + u';',
                       texts::kSerialDocumentNumber + q.value(2).toString() + u';',
                       texts::kSerialSupplier + q.value(3).toString() + u';',
                       texts::kSerialValidUntil + date(q.value(4)) + u';',
                       texts::kSerialNote + q.value(5).toString() + u';'}
        .join(u'\n');
}

QString counterpartyRefText(const QSqlDatabase& db, qint64 id) {
    return refText(
        id, scalarSql(db, QStringLiteral("SELECT Ime_Firma FROM Firmi WHERE ID = ?"), {id}).toString());
}

std::optional<qint64> articleByNumber(const QSqlDatabase& db, qint64 number) {
    const QVariant id = scalarSql(db, QStringLiteral("SELECT ID FROM Produkti WHERE ID = ?"), {number});
    if (!id.isValid())
        return std::nullopt;
    return id.toLongLong();
}

namespace {
QList<qint64> ids(QSqlQuery q) {
    QList<qint64> out;
    while (q.next())
        out << q.value(0).toLongLong();
    return out;
}
} // namespace

QList<qint64> articlesByBarcode(const QSqlDatabase& db, const QString& code) {
    return ids(execSql(db, QStringLiteral("SELECT ID FROM Barkodes WHERE Barkode = ?"), {cleanCode(code)}));
}

QList<qint64> articlesBySerial(const QSqlDatabase& db, const QString& serial) {
    return ids(
        execSql(db, QStringLiteral("SELECT ID FROM Serials WHERE Serial_ID = ?"), {cleanCode(serial)}));
}

QList<qint64> articlesByCatalogueNumber(const QSqlDatabase& db, const QString& number) {
    return ids(
        execSql(db, QStringLiteral("SELECT ID FROM Produkti WHERE Nomenkl_N = ?"), {cleanCode(number)}));
}

QList<ArticleSummary> articleSummaries(const QSqlDatabase& db, const QList<qint64>& wanted) {
    QHash<qint64, ArticleSummary> found;
    constexpr int kChunk = 500;
    for (qsizetype i = 0; i < wanted.size(); i += kChunk) {
        const QList<qint64> chunk = wanted.mid(i, kChunk);
        QVariantList values;
        for (qint64 id : chunk)
            values << id;
        const QString marks = QStringList(chunk.size(), QStringLiteral("?")).join(u',');
        QSqlQuery q =
            execSql(db,
                    QStringLiteral("SELECT ID, Nomenkl_N, Opisanie, Ed_Cena, Valuta_P, Mqrka, Garancionen, "
                                   "Nomer_Grupa FROM Produkti WHERE ID IN (%1)")
                        .arg(marks),
                    values);
        while (q.next())
            found.insert(q.value(0).toLongLong(),
                         {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                          fromNumberColumn(q.value(3)), q.value(4).toString(), q.value(5).toString(),
                          isTrue(q.value(6)), q.value(7).toLongLong()});
    }
    QList<ArticleSummary> out;
    for (qint64 id : wanted)
        if (found.contains(id))
            out << found.value(id);
    return out;
}

QString shelfLifeWarrantyText(const QString& shelfLife) {
    static const char16_t* const kUnits[] = {u", часа", u", дни", u", месеца", u", години"};
    const qsizetype colon = shelfLife.indexOf(u':');
    if (colon < 0)
        return {};
    bool ok = false;
    const int unit = shelfLife.left(colon).trimmed().toInt(&ok);
    if (!ok || unit < 0 || unit > 3)
        return {};
    return shelfLife.mid(colon + 1).trimmed() + QString::fromUtf16(kUnits[unit]);
}

} // namespace torvika
