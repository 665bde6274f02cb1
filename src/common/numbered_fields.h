#pragma once
// Numbered-field text: the line format of the files the program imports and
// exports (articles, counterparties, counterparty numbers, count files,
// warranty serial numbers, supplier price lists). Each value carries its
// field number: "1:[15]\t4:[3.5]". Between fields anything but digits, ":",
// "[" and "]" may stand and is ignored; the export puts a tab there.
//
// Reading: the field number is the run of digits directly before the ":"
// that precedes the value's "["; inside a value every character belongs to
// it (":" and "[" too) up to the first "]"; the first occurrence of a number
// in a line counts; "01" and "1" are different numbers.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace torvika {

class NumberedFields {
public:
    // The value of a field, or nothing when the line has no such field.
    std::optional<QString> find(QStringView number) const;
    std::optional<QString> find(int number) const { return find(QString::number(number)); }
    bool has(int number) const { return find(number).has_value(); }
    // The value, empty when the field is absent.
    QString value(int number) const { return find(number).value_or(QString()); }

    // The fields in the order they stand in the line (first occurrences).
    const QList<std::pair<QString, QString>>& fields() const { return fields_; }
    bool isEmpty() const { return fields_.isEmpty(); }

    // The line ended inside a value ("3:[abc"): that value is not a field,
    // and the caller reports the line instead of importing it short.
    bool unterminated() const { return !unterminatedField_.isNull(); }
    // The number of the field left open (empty text when it had none).
    const QString& unterminatedField() const { return unterminatedField_; }

private:
    friend NumberedFields GET_IMPORTED_DATA(QStringView line);
    QList<std::pair<QString, QString>> fields_;
    QString unterminatedField_;
};

// Splits one line into its fields. Each call starts with no fields.
NumberedFields GET_IMPORTED_DATA(QStringView line);

// Writing: a value this format can carry holds no "]" and no line break.
bool numberedFieldCanCarry(QStringView value);

struct NumberedField {
    int number;
    QString value;
};
// "1:[a]\t2:[b]" (without the line end). Throws EConvertError for a value the
// format cannot carry: the caller checks its records before it writes any.
QString numberedFieldLine(const QList<NumberedField>& fields);

// Reads a numbered-field file line by line, in Windows-1251 or UTF-8 (a
// byte-order mark, or bytes that are valid UTF-8 throughout, mean UTF-8),
// with CR LF or LF line ends. A file holding NUL bytes is no text file: the
// constructor throws EConvertError; a file that cannot be opened throws
// EInOutError. Long files are read in pieces, never whole; a line longer
// than kMaxLineBytes (no record is) makes nextLine() throw EConvertError
// instead of filling the memory with it.
class NumberedFieldFile {
public:
    static constexpr qsizetype kMaxLineBytes = qsizetype(4) << 20;

    explicit NumberedFieldFile(const QString& path);

    // The next line without its line end, or nothing at the end of the file.
    std::optional<QString> nextLine();
    // The 1-based number of the line nextLine() returned last.
    qint64 lineNumber() const { return lineNumber_; }
    // Bytes read so far and the file's size, for a progress bar.
    qint64 position() const { return consumed_; }
    qint64 size() const { return size_; }
    bool isUtf8() const { return utf8_; }

private:
    bool fill();

    QFile file_;
    bool utf8_ = false;
    QByteArray buffer_;
    qsizetype start_ = 0;
    bool eof_ = false;
    qint64 lineNumber_ = 0;
    qint64 consumed_ = 0;
    qint64 size_ = 0;
};

// The lines a numbered-field file is written with: Windows-1251, CR LF.
// A character Windows-1251 cannot hold is refused before anything is
// written (EConvertError naming it), so what is exported imports back.
QByteArray numberedFieldFileLine(const QString& line);

} // namespace torvika
