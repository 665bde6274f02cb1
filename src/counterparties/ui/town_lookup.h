#pragma once
// The town lookup of a "Град" field: a list of towns from Grad under the
// field, by part of the name as it is typed, every town for a space, or by
// part of the telephone ("+<code>") or postal ("-<code>") code on Enter.
// The town is stored as text; a name that is not in Grad is accepted.

#include <QObject>
#include <QSqlDatabase>
#include <functional>

class QLineEdit;
class QListWidget;
class QWidget;

namespace torvika {

class TownLookup : public QObject {
    Q_OBJECT
public:
    // The list is created as a child of host (an ancestor of the field).
    TownLookup(std::function<QSqlDatabase()> db, QLineEdit* field, QWidget* host, const QString& listName);

    QListWidget* list() const { return list_; }

    // Handlers, public so that tests drive them.
    void fieldChanged(const QString& text);
    void fieldEnter();
    void takeFromList();

signals:
    // After Enter in the field or a town taken from the list.
    void entered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTowns(const QStringList& towns, bool focusList);
    void hideList();

    std::function<QSqlDatabase()> db_;
    QLineEdit* field_;
    QWidget* host_;
    QListWidget* list_;
};

} // namespace torvika
