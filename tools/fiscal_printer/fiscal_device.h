#pragma once
// The fiscal device of the stand-in print server: what it makes of the
// command files the program writes. A file is checked against the layouts
// the program writes (an unknown line, a malformed item line or lines of
// different layouts mixed make it a file the device refuses, whole); a
// sound file is printed: a fiscal receipt with its running number, its
// items and its totals per VAT group, a service receipt or a department
// ticket as text, the daily report with or without zeroing, or a copy of
// the last fiscal receipt. The device keeps its figures between runs the
// way a real one does.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace torvika::fiscal_printer {

// Where a file was found: the receipt directory takes every kind of file,
// a department directory only text tickets.
enum class Place { Receipts, Department };

// A sale item of a fiscal receipt: "%<article>^<name>^<price>^<quantity>^<group>^".
struct Item {
    QString article;
    QString name;
    qint64 price = 0;    // stotinki
    qint64 quantity = 0; // thousandths
    int vatGroup = 0;    // 0 to 3: А, Б, В, Г
    // price × quantity, rounded to the stotinka.
    qint64 amount() const { return (price * quantity + 500) / 1000; }
};

struct PrintLine {
    bool isItem = false;
    QString text; // a text line, without its command prefix
    Item item;
};

struct CommandFile {
    enum Kind { Empty, FiscalReceipt, TextReceipt, DailyZeroing, DailyReport, CopyLast, ReversalReceipt };
    Kind kind = Empty;
    // A reversal receipt: "#S,<reason>" as its first line (operator-error,
    // refund or tax-base-reduction), then the ":" lines naming the original
    // receipt (":Сторно на бон: …" is required) and the items given back.
    QString reversalReason;
    QList<PrintLine> lines;
};

// Why a file is refused: the line (from 1; 0 for the file as a whole) and
// what is wrong with it.
struct FileError {
    int line = 0;
    QString reason;
};

// Reads a command file (Windows-1251, every line ended by CR LF). Either
// the file or the error is set.
struct ParsedFile {
    std::optional<CommandFile> file;
    std::optional<FileError> error;
};
ParsedFile parseCommandFile(const QByteArray& bytes, Place place);

// The letter of a VAT group.
QString vatGroupLetter(int group);
// Stotinki as leva: "4.04", "-0.50".
QString money(qint64 stotinki);

class FiscalDevice {
public:
    struct Figures {
        qint64 lastReceipt = 0;            // the number of the last fiscal receipt (reversals count too)
        qint64 lastZeroing = 0;            // the number of the last daily report with zeroing
        qint64 dayReceipts = 0;            // fiscal receipts since the last zeroing
        std::array<qint64, 4> dayTotals{}; // per VAT group since the last zeroing, stotinki
        QStringList lastReceiptBody;       // the body of the last fiscal receipt, for its copy
        bool operator==(const Figures&) const = default;
    };

    FiscalDevice() = default;
    explicit FiscalDevice(Figures figures) : figures_(std::move(figures)) {}

    // The lines the device prints for the file, its figures updated. The
    // source names the file in the printout's header.
    QStringList print(const CommandFile& file, Place place, const QString& source, const QDateTime& now);
    const Figures& figures() const { return figures_; }

    // The figures kept in a file beside the journal; a missing file gives
    // a new device. Throws std::runtime_error when the file cannot be
    // read or written.
    static Figures load(const QString& path);
    static void save(const Figures& figures, const QString& path);

private:
    QStringList report(bool zeroing, const QString& source, const QDateTime& now);
    Figures figures_;
};

} // namespace torvika::fiscal_printer
