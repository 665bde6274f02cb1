#pragma once
// The save dialog of the designer: the document kind's name, and for a new
// kind its first number and the number's width, with the number as it will
// print. The number of a kind that exists is its own and is not changed
// here, so the two boxes are disabled while the name is of such a kind.

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class TName_Of_Dokument;
}

namespace torvika {

class TName_Of_Dokument : public QDialog {
    Q_OBJECT
public:
    // existing: the kinds registered now.
    TName_Of_Dokument(const QString& name, const QStringList& existing, QWidget* parent = nullptr);
    ~TName_Of_Dokument() override;

    QString name() const;
    // The start number padded to its width ("0001").
    QString formattedNumber() const;

private:
    void update();

    std::unique_ptr<Ui::TName_Of_Dokument> ui;
    QStringList existing_;
};

} // namespace torvika
