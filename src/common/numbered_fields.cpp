#include "common/numbered_fields.h"

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/texts.h"

#include <QStringDecoder>

namespace torvika {

std::optional<QString> NumberedFields::find(QStringView number) const {
    for (const auto& [key, value] : fields_)
        if (key == number)
            return value;
    return std::nullopt;
}

NumberedFields GET_IMPORTED_DATA(QStringView line) {
    NumberedFields result;
    QString key; // the number of the field whose value comes next
    bool keySet = false;
    bool inValue = false;
    QString value;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inValue) {
            if (c == u']') {
                inValue = false;
                bool seen = false;
                for (const auto& field : result.fields_)
                    if (field.first == key) {
                        seen = true;
                        break;
                    }
                if (!seen)
                    result.fields_.append({key, value});
            } else {
                value.append(c);
            }
            continue;
        }
        if (c == u':') {
            // The digits directly before the ":" are the field's number.
            qsizetype from = i;
            while (from > 0 && line[from - 1].isDigit() && line[from - 1].unicode() < 128)
                --from;
            key = line.mid(from, i - from).toString();
            keySet = !key.isEmpty();
        } else if (c == u'[' && keySet) {
            inValue = true;
            value.clear();
        }
    }
    if (inValue)
        result.unterminatedField_ = key;
    return result;
}

bool numberedFieldCanCarry(QStringView value) {
    for (QChar c : value)
        if (c == u']' || c == u'\r' || c == u'\n')
            return false;
    return true;
}

QString numberedFieldLine(const QList<NumberedField>& fields) {
    QString line;
    for (const auto& field : fields) {
        if (!numberedFieldCanCarry(field.value))
            throw EConvertError(texts::kNumberedFieldCannotCarry.arg(field.number).arg(field.value));
        if (!line.isEmpty())
            line.append(u'\t');
        line.append(QString::number(field.number)).append(u":[").append(field.value).append(u']');
    }
    return line;
}

QByteArray numberedFieldFileLine(const QString& line) {
    QByteArray bytes = toCp1251(line);
    if (fromCp1251(bytes) != line) {
        for (QChar c : line)
            if (fromCp1251(toCp1251(QString(c))) != QString(c))
                throw EConvertError(texts::kNotInCp1251.arg(c).arg(line));
    }
    return bytes + "\r\n";
}

namespace {
constexpr qint64 kChunk = 1 << 20;
}

NumberedFieldFile::NumberedFieldFile(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        throw EInOutError(texts::kFileUnreadable.arg(path, file_.errorString()));
    size_ = file_.size();
    // One pass over the file decides its encoding and that it is text.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QByteArray head = file_.peek(3);
    const bool bom = head.startsWith("\xEF\xBB\xBF");
    bool validUtf8 = true;
    while (true) {
        QByteArray chunk = file_.read(qMin<qint64>(kChunk, size_ + 1));
        if (chunk.isEmpty())
            break;
        if (chunk.contains('\0'))
            throw EConvertError(texts::kNotATextFile.arg(path));
        if (validUtf8 && !bom) {
            const QString decoded = utf8.decode(chunk); // decodes only when taken as text
            validUtf8 = !utf8.hasError();
        }
    }
    if (file_.error() != QFileDevice::NoError)
        throw EInOutError(texts::kFileUnreadable.arg(path, file_.errorString()));
    utf8_ = bom || validUtf8;
    file_.seek(bom ? 3 : 0);
    consumed_ = bom ? 3 : 0;
}

bool NumberedFieldFile::fill() {
    if (eof_)
        return false;
    QByteArray chunk = file_.read(qMin<qint64>(kChunk, size_ + 1));
    if (file_.error() != QFileDevice::NoError)
        throw EInOutError(texts::kFileUnreadable.arg(file_.fileName(), file_.errorString()));
    if (chunk.isEmpty()) {
        eof_ = true;
        return false;
    }
    buffer_ = buffer_.mid(start_) + chunk;
    start_ = 0;
    return true;
}

std::optional<QString> NumberedFieldFile::nextLine() {
    qsizetype end;
    while ((end = buffer_.indexOf('\n', start_)) < 0) {
        if (buffer_.size() - start_ > kMaxLineBytes)
            throw EConvertError(texts::kNumberedLineTooLong.arg(lineNumber_ + 1)
                                    .arg(file_.fileName())
                                    .arg(kMaxLineBytes >> 20));
        if (!fill()) {
            if (start_ >= buffer_.size())
                return std::nullopt;
            end = buffer_.size();
            break;
        }
    }
    if (end - start_ > kMaxLineBytes)
        throw EConvertError(
            texts::kNumberedLineTooLong.arg(lineNumber_ + 1).arg(file_.fileName()).arg(kMaxLineBytes >> 20));
    QByteArray bytes = buffer_.mid(start_, end - start_);
    consumed_ += end - start_ + (end < buffer_.size() ? 1 : 0);
    start_ = end + 1;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    ++lineNumber_;
    return utf8_ ? QString::fromUtf8(bytes) : fromCp1251(bytes);
}

} // namespace torvika
