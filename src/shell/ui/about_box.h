#pragma once
// The about window "ЗА НАС": product name and four-part version.

#include <QDialog>

namespace torvika {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace torvika
