#pragma once
// Special discounts and surcharges of a counterparty (Sp_Otstapka): a
// percentage for one article ("A") or for a whole article group ("G"), on
// top of the counterparty's standing discount; the sale takes them through
// counterpartyDiscount (sale_counterparty.h).
//
// They are edited in a working copy of one counterparty's rows: a temporary
// table of the connection (T0_TMP), which no other workstation sees, and
// which is written back to Sp_Otstapka as one transaction.

#include "common/decimal.h"
#include "common/sql.h"
#include "common/sql_statement.h"
#include "common/working_table.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace torvika {

// Otnasq_se_za: what a row is for.
inline const QString kDiscountForArticle = QStringLiteral("A");
inline const QString kDiscountForGroup = QStringLiteral("G");

// The Changed column of a working-copy row.
enum class DiscountRowState : int {
    Added = 0,  // entered in the window, not stored yet
    Loaded = 1, // as stored
    Edited = 2, // stored, with new values
    Removed = 3 // stored, to be deleted from Sp_Otstapka (not shown)
};

struct DiscountRow {
    qint64 por = 0; // the row's key in the working copy ("N")
    DiscountRowState state = DiscountRowState::Added;
    QString kind;          // kDiscountForArticle or kDiscountForGroup
    qint64 item = 0;       // the article or group number
    QString name;          // its description; empty when it is gone from the catalogue
    Decimal discount;      // in percent; negative: a surcharge
    Decimal purchaseAbove; // Suma_Up: the purchase amount the discount is meant for
};

// A percentage or amount as typed, "," or "." alike, to the 4 decimals it is
// kept with; none when the text is no number.
std::optional<Decimal> typedDiscountValue(const QString& text);
// Whether a percentage may be stored: a discount of at most 100 % (any surcharge).
inline bool discountAllowed(const Decimal& percent) {
    return percent <= Decimal(100);
}

class SpecialDiscountsCopy {
public:
    // Creates an empty working copy on the connection. Each copy open at the
    // same time has a table of its own. Throws EDatabaseError.
    explicit SpecialDiscountsCopy(const QSqlDatabase& db);
    // Drops the table; a failure is logged, never thrown.
    ~SpecialDiscountsCopy();
    SpecialDiscountsCopy(const SpecialDiscountsCopy&) = delete;
    SpecialDiscountsCopy& operator=(const SpecialDiscountsCopy&) = delete;

    // The table, qualified as the connection's temporary table.
    const QString& table() const { return table_; }

    // The counterparty whose rows the copy holds: 0 and an empty text while
    // none is loaded.
    qint64 counterparty() const { return counterparty_; }
    const QString& counterpartyText() const { return counterpartyText_; }

    // Replaces the copy by the counterparty's stored rows (articles first,
    // then groups, by number), under its reference text. Whatever the copy
    // held is dropped: ask before. Throws EDatabaseError.
    void load(qint64 counterparty, const QString& refText);
    // Empties the copy and forgets the counterparty.
    void clear();
    // Whether the copy holds a row added, edited or removed since loading.
    bool hasUnsavedChanges() const;

    // Adds a row for the article or group, or, when the copy already has one
    // for it, gives that row the values (a removed one comes back). Returns
    // the row's Por. Throws EConvertError for a discount above 100 % and
    // std::logic_error while no counterparty is loaded.
    qint64 add(const QString& kind, qint64 item, const QString& name, const Decimal& discount,
               const Decimal& purchaseAbove);
    // Gives the row new values; false when the copy shows no such row.
    // Throws EConvertError for a discount above 100 %.
    bool edit(qint64 por, const Decimal& discount, const Decimal& purchaseAbove);
    // Takes the row out of the copy; a stored row is deleted from
    // Sp_Otstapka by store(). False when the copy shows no such row.
    bool remove(qint64 por);

    std::optional<DiscountRow> row(qint64 por) const;
    // The rows shown, by Por.
    QList<DiscountRow> rows() const;
    // The rows shown, for the grid: Por, Otnasq_se_za, ID_Art_Gr, Opisanie,
    // T_O, Suma_Up, Changed.
    SqlStatement rowsStatement() const;

    // Writes the changes for the loaded counterparty in one transaction:
    // an added or edited row replaces the stored one for its article or
    // group (never a second row), a removed row is deleted, an untouched
    // row is not written. Then empties the copy and forgets the
    // counterparty. Throws EDatabaseError; nothing is stored then and the
    // copy stays as it was.
    void store();

private:
    std::optional<DiscountRow> find(const QString& condition, const QVariantList& values) const;
    void checkDiscount(const Decimal& percent) const;

    QSqlDatabase db_;
    WorkingTable working_;
    QString table_;
    qint64 counterparty_ = 0;
    QString counterpartyText_;
};

// The counterparties that have stored special discounts, by number, as
// "ID", "Ime_Firma"; with a search text, those whose name contains it (in
// any letter case, the text taken as typed).
SqlStatement discountCounterpartiesStatement(SqlEngine engine, const QString& search = {});
// The stored rows of a counterparty in the columns of the working copy
// (Por numbering them from 1, Changed 1), articles first, then groups, by
// number; the name is empty for an article or group no longer in the
// catalogue.
SqlStatement storedDiscountsStatement(qint64 counterparty);

} // namespace torvika
