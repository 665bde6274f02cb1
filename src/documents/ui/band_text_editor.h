#pragma once
// The text of the upper or lower band edited as rich text: font, size,
// bold, italic, underline and alignment of the selection, or the whole text
// taken from a file (RTF, or plain text). "ПРИЕМИ" keeps the text for the
// band; it is written to the template's .hdr or .ftr when it is saved.

#include <QByteArray>
#include <QDialog>
#include <memory>

namespace Ui {
class TForm_Band_Text;
}

namespace torvika {

class TForm_Band_Text : public QDialog {
    Q_OBJECT
public:
    TForm_Band_Text(const QString& title, const QByteArray& rtf, QWidget* parent = nullptr);
    ~TForm_Band_Text() override;

    QByteArray rtf() const;
    // Takes the text of a file in place of the one edited ("От файл...").
    void loadFile();

private:
    void showFormat();

    std::unique_ptr<Ui::TForm_Band_Text> ui;
};

} // namespace torvika
