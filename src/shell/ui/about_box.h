#pragma once
// The about window "ЗА НАС": product name and four-part version.

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace torvika {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

} // namespace torvika
