#include "documents/ui/band_text_editor.h"

#include "common/ui/error_edge.h"
#include "common/ui/messages.h"
#include "documents/rich_text.h"
#include "documents/template_design.h"
#include "documents/texts.h"
#include "ui_band_text_editor.h"

#include <QIntValidator>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

namespace torvika {

TForm_Band_Text::TForm_Band_Text(const QString& title, const QByteArray& rtf, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm_Band_Text>()) {
    ui->setupUi(this);
    setWindowTitle(title);
    QTextDocument* doc = ui->RichEdit_Text->document();
    QFont base(QStringLiteral("Arial"));
    base.setPointSize(10);
    doc->setDefaultFont(base);
    readRtf(rtf, *doc);
    for (int size = 8; size <= 72; size += 2)
        ui->ComboBox_Size->addItem(QString::number(size));
    ui->ComboBox_Size->setValidator(new QIntValidator(1, 400, ui->ComboBox_Size));

    auto merge = [this](const QTextCharFormat& f) {
        ui->RichEdit_Text->mergeCurrentCharFormat(f);
        ui->RichEdit_Text->setFocus();
    };
    connect(ui->ComboBox_WinFonts, &QFontComboBox::currentFontChanged, this, [merge](const QFont& font) {
        QTextCharFormat f;
        f.setFontFamilies({font.family()});
        merge(f);
    });
    connect(ui->ComboBox_Size, &QComboBox::textActivated, this, [merge](const QString& text) {
        if (const int size = text.toInt(); size > 0) {
            QTextCharFormat f;
            f.setFontPointSize(size);
            merge(f);
        }
    });
    connect(ui->SpeedButton_Bold, &QToolButton::clicked, this, [merge](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        merge(f);
    });
    connect(ui->SpeedButton_Italic, &QToolButton::clicked, this, [merge](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        merge(f);
    });
    connect(ui->SpeedButton_Underline, &QToolButton::clicked, this, [merge](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        merge(f);
    });
    const std::pair<QToolButton*, Qt::Alignment> aligns[] = {{ui->SpeedButton_Left, Qt::AlignLeft},
                                                             {ui->SpeedButton_Center, Qt::AlignHCenter},
                                                             {ui->SpeedButton_Right, Qt::AlignRight}};
    for (auto [button, align] : aligns)
        connect(button, &QToolButton::clicked, this, [this, align] {
            ui->RichEdit_Text->setAlignment(align);
            showFormat();
        });
    connect(ui->RichEdit_Text, &QTextEdit::cursorPositionChanged, this, &TForm_Band_Text::showFormat);
    connect(ui->RichEdit_Text, &QTextEdit::currentCharFormatChanged, this, &TForm_Band_Text::showFormat);
    connect(ui->Button_Ot_Fajl, &QPushButton::clicked, this, &TForm_Band_Text::loadFile);
    connect(ui->Button_Priemi, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Button_Otkaz, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 500);
    showFormat();
}

TForm_Band_Text::~TForm_Band_Text() = default;

QByteArray TForm_Band_Text::rtf() const {
    return writeRtf(*ui->RichEdit_Text->document());
}

void TForm_Band_Text::loadFile() {
    const QString path =
        Messages::current().openFileName(texts::kOpenBandText, QString(), texts::kBandTextFilter);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    if (guarded([&] { bytes = bandTextFromFile(path); }))
        readRtf(bytes, *ui->RichEdit_Text->document());
}

void TForm_Band_Text::showFormat() {
    const QTextCharFormat f = ui->RichEdit_Text->currentCharFormat();
    const QSignalBlocker b1(ui->ComboBox_WinFonts), b2(ui->ComboBox_Size);
    if (!f.fontFamilies().toStringList().isEmpty())
        ui->ComboBox_WinFonts->setCurrentFont(QFont(f.fontFamilies().toStringList().constFirst()));
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : 10;
    ui->ComboBox_Size->setEditText(QString::number(qRound(size)));
    ui->SpeedButton_Bold->setChecked(f.fontWeight() >= QFont::Bold);
    ui->SpeedButton_Italic->setChecked(f.fontItalic());
    ui->SpeedButton_Underline->setChecked(f.fontUnderline());
    const Qt::Alignment a = ui->RichEdit_Text->alignment();
    ui->SpeedButton_Left->setChecked(!(a & (Qt::AlignHCenter | Qt::AlignRight)));
    ui->SpeedButton_Center->setChecked(bool(a & Qt::AlignHCenter));
    ui->SpeedButton_Right->setChecked(bool(a & Qt::AlignRight));
}

} // namespace torvika
