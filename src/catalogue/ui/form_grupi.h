#pragma once
// "Група": a new article group or sub-group (number and name), or the
// number and name of an existing group. The group and its node in the tree
// file are stored together; the catalogue window shows the tree stored.

#include "common/tree_file.h"
#include "shell/ui/host.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Grupi;
}

namespace torvika {

class TForm_Grupi : public QDialog {
    Q_OBJECT
public:
    // A new group: kind is the caption of the menu entry used ("Група" or
    // "Подгрупа"); the number proposed is the next free one. Its node is the
    // last child of parentNode, or of the top level when that is empty.
    TForm_Grupi(const WindowContext& context, const QString& kind, const QString& parentNode,
                QWidget* parent = nullptr);
    // An existing group, to be renumbered or renamed.
    TForm_Grupi(const WindowContext& context, qint64 group, const QString& name, QWidget* parent = nullptr);
    ~TForm_Grupi() override;

    bool editing() const { return oldNumber_ > 0; }
    qint64 oldNumber() const { return oldNumber_; }
    qint64 number() const { return number_; }
    QString name() const;
    // The tree as stored with the group's node, once accepted.
    const QList<TreeLine>& tree() const { return tree_; }

    // "ПРИЕМИ": stores the group and accepts. A number that is not a whole
    // number of at least 1, or that another group has, and an empty name
    // are refused with a message and the caret on the field.
    void Button_PriemiClick();

private:
    TForm_Grupi(const WindowContext& context, QWidget* parent);

    std::unique_ptr<Ui::TForm_Grupi> ui;
    Session& session_;
    qint64 oldNumber_ = 0;
    qint64 number_ = 0;
    QString parentNode_;
    QList<TreeLine> tree_;
};

} // namespace torvika
