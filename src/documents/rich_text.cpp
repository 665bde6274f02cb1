#include "documents/rich_text.h"

#include "common/cp1251.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>

namespace torvika {

namespace {

// Twips (1/1440 inch) per unit of the document (a pixel of a 96 dpi screen).
constexpr double kTwipsPerUnit = 15.0;
// What a text may ask for, as word processors allow it: a damaged file lays
// out within these bounds.
constexpr int kMaxHalfPoints = 3276; // 1638 points
constexpr int kMaxTwips = 31680;     // 22 inches
constexpr int kMaxTabsPerParagraph = 64;

enum class CodePage { Cp1251, Latin1 };

struct Font {
    QString name;
    CodePage codePage = CodePage::Latin1;
};

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int font = -1; // -1: the default font
    int halfPoints = 24;
    int color = 0; // 0: automatic
};

enum class Destination { Text, Skip, FontTable, ColorTable };

struct Group {
    CharState chars;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0, right = 0, first = 0, before = 0, after = 0; // twips
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTab = QTextOption::LeftTab;
};

const char* const kSkippedDestinations[] = {
    "stylesheet",   "info",      "pict",      "header",     "headerl",
    "headerr",      "headerf",   "footer",    "footerl",    "footerr",
    "footerf",      "fldinst",   "object",    "listtable",  "listoverridetable",
    "rsidtbl",      "generator", "xmlnstbl",  "themedata",  "colorschememapping",
    "latentstyles", "datastore", "footnote",  "annotation", "shp",
    "nonshppict",   "filetbl",   "revtbl",    "pgdsctbl",   "bkmkstart",
    "bkmkend",      "atnid",     "atnauthor", "template",   "userprops",
    "docvar",       "mmathPr",   "panose"};

bool skippedDestination(const QByteArray& word) {
    for (const char* d : kSkippedDestinations)
        if (word == d)
            return true;
    return false;
}

class RtfReader {
public:
    RtfReader(const QByteArray& rtf, QTextDocument& doc) : in_(rtf), doc_(doc), cursor_(&doc) {}

    void run() {
        groups_.append(Group{});
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                flushBytes();
                groups_.append(groups_.isEmpty() ? Group{} : groups_.last());
                ++pos_;
            } else if (c == '}') {
                flushBytes();
                endGroup();
                ++pos_;
            } else if (c == '\\') {
                controlWord();
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                plainChar(c);
                ++pos_;
            }
        }
        flushBytes();
        finish();
    }

private:
    Group& group() { return groups_.last(); }

    void endGroup() {
        if (group().destination == Destination::FontTable && !fontName_.isEmpty())
            storeFontName();
        if (groups_.size() > 1)
            groups_.removeLast();
    }

    void plainChar(char c) {
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        switch (group().destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == ';')
                storeFontName();
            else
                fontName_.append(c);
            return;
        case Destination::ColorTable:
            if (c == ';') {
                colors_.append(colorPending_ ? QColor(red_, green_, blue_) : QColor());
                colorPending_ = false;
                red_ = green_ = blue_ = 0;
            }
            return;
        case Destination::Text:
            bytes_.append(c);
            return;
        }
    }

    void storeFontName() {
        QString name = decode(fontName_.trimmed(), fontCodePage(currentFont_));
        if (name.endsWith(u';'))
            name.chop(1);
        fonts_[currentFont_].name = name.trimmed();
        fontName_.clear();
    }

    CodePage fontCodePage(int font) const {
        auto it = fonts_.find(font);
        return it != fonts_.end() ? it->codePage : codePage_;
    }

    CodePage currentCodePage() const {
        const int f = groups_.last().chars.font >= 0 ? groups_.last().chars.font : defaultFont_;
        return fontCodePage(f);
    }

    static QString decode(const QByteArray& bytes, CodePage cp) {
        return cp == CodePage::Cp1251 ? fromCp1251(bytes) : QString::fromLatin1(bytes);
    }

    void flushBytes() {
        if (bytes_.isEmpty())
            return;
        const QByteArray b = bytes_;
        bytes_.clear();
        insertText(decode(b, currentCodePage()));
    }

    void insertText(const QString& text) {
        if (text.isEmpty() || group().destination != Destination::Text)
            return;
        applyBlockFormat();
        cursor_.insertText(text, charFormat());
        blockHasText_ = true;
    }

    QTextCharFormat charFormat() const {
        const CharState& s = groups_.last().chars;
        QTextCharFormat f;
        const int font = s.font >= 0 ? s.font : defaultFont_;
        const QString family = fonts_.value(font).name;
        f.setFontFamilies({family.isEmpty() ? QStringLiteral("Arial") : family});
        f.setFontPointSize(s.halfPoints / 2.0);
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontStrikeOut(s.strike);
        if (s.color > 0 && s.color < colors_.size() && colors_[s.color].isValid())
            f.setForeground(colors_[s.color]);
        return f;
    }

    void applyBlockFormat() {
        QTextBlockFormat f;
        f.setAlignment(para_.alignment);
        f.setLeftMargin(para_.left / kTwipsPerUnit);
        f.setRightMargin(para_.right / kTwipsPerUnit);
        f.setTextIndent(para_.first / kTwipsPerUnit);
        f.setTopMargin(para_.before / kTwipsPerUnit);
        f.setBottomMargin(para_.after / kTwipsPerUnit);
        f.setTabPositions(para_.tabs);
        cursor_.setBlockFormat(f);
        cursor_.setBlockCharFormat(charFormat());
    }

    void paragraph() {
        flushBytes();
        if (group().destination != Destination::Text)
            return;
        applyBlockFormat();
        cursor_.insertBlock();
        applyBlockFormat();
        blockHasText_ = false;
        endedWithParagraph_ = true;
    }

    void finish() {
        // Word processors end the text with a paragraph mark: the empty
        // paragraph after it is none of the text's.
        if (endedWithParagraph_ && !blockHasText_ && doc_.blockCount() > 1) {
            cursor_.movePosition(QTextCursor::End);
            cursor_.deletePreviousChar();
        }
    }

    void controlWord() {
        ++pos_; // the backslash
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        QByteArray word;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])))
            word.append(in_[pos_++]);
        bool hasParam = false;
        int param = 0;
        if (pos_ < in_.size() && (in_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(in_[pos_])))) {
            QByteArray digits;
            digits.append(in_[pos_++]);
            while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_])))
                digits.append(in_[pos_++]);
            param = digits.toInt();
            hasParam = true;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        word_(word, hasParam, param);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\'': {
            const QByteArray hex = in_.mid(pos_, 2);
            pos_ += 2;
            if (skipCount_ > 0) {
                --skipCount_;
                return;
            }
            bool ok = false;
            const char byte = char(hex.toInt(&ok, 16));
            if (!ok)
                return;
            if (group().destination == Destination::FontTable)
                fontName_.append(byte);
            else if (group().destination == Destination::Text)
                bytes_.append(byte);
            return;
        }
        case '*':
            group().destination = Destination::Skip;
            return;
        case '~':
            text(QString(QChar(0x00A0)));
            return;
        case '_':
            text(QString(QChar(0x2011)));
            return;
        case '-':
            return;
        case '\\':
        case '{':
        case '}':
            plainChar(c);
            return;
        case '\r':
        case '\n':
            paragraph();
            return;
        default:
            return;
        }
    }

    void text(const QString& t) {
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        flushBytes();
        insertText(t);
    }

    static int twips(int param) { return std::clamp(param, -kMaxTwips, kMaxTwips); }

    void word_(const QByteArray& w, bool hasParam, int param) {
        Group& g = group();
        CharState& s = g.chars;
        const bool on = !hasParam || param != 0;
        if (skippedDestination(w)) {
            g.destination = Destination::Skip;
        } else if (w == "fonttbl") {
            g.destination = Destination::FontTable;
        } else if (w == "colortbl") {
            g.destination = Destination::ColorTable;
        } else if (g.destination == Destination::FontTable) {
            if (w == "f") {
                if (!fontName_.isEmpty())
                    storeFontName();
                currentFont_ = param;
                fonts_[param].codePage = codePage_;
            } else if (w == "fcharset") {
                fonts_[currentFont_].codePage = param == 204 ? CodePage::Cp1251 : CodePage::Latin1;
            }
        } else if (g.destination == Destination::ColorTable) {
            colorPending_ = true;
            if (w == "red")
                red_ = std::clamp(param, 0, 255);
            else if (w == "green")
                green_ = std::clamp(param, 0, 255);
            else if (w == "blue")
                blue_ = std::clamp(param, 0, 255);
        } else if (w == "ansicpg") {
            codePage_ = param == 1251 ? CodePage::Cp1251 : CodePage::Latin1;
        } else if (w == "deff") {
            defaultFont_ = param;
        } else if (w == "uc") {
            g.unicodeSkip = param;
        } else if (w == "u") {
            if (g.destination == Destination::Text) {
                flushBytes();
                insertText(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
            }
            skipCount_ = g.unicodeSkip;
            return;
        } else if (g.destination != Destination::Text) {
            return;
        } else if (w == "par" || w == "row" || w == "page" || w == "sect") {
            paragraph();
        } else if (w == "line") {
            text(QString(QChar::LineSeparator));
        } else if (w == "tab" || w == "cell") {
            text(QStringLiteral("\t"));
        } else if (w == "emdash") {
            text(QString(QChar(0x2014)));
        } else if (w == "endash") {
            text(QString(QChar(0x2013)));
        } else if (w == "bullet") {
            text(QString(QChar(0x2022)));
        } else if (w == "lquote") {
            text(QString(QChar(0x2018)));
        } else if (w == "rquote") {
            text(QString(QChar(0x2019)));
        } else if (w == "ldblquote") {
            text(QString(QChar(0x201C)));
        } else if (w == "rdblquote") {
            text(QString(QChar(0x201D)));
        } else {
            flushBytes();
            if (w == "b")
                s.bold = on;
            else if (w == "i")
                s.italic = on;
            else if (w == "ulnone")
                s.underline = false;
            else if (w.startsWith("ul") && w != "ulc")
                s.underline = on;
            else if (w == "strike")
                s.strike = on;
            else if (w == "f")
                s.font = param;
            else if (w == "fs")
                s.halfPoints = param > 0 ? std::min(param, kMaxHalfPoints) : 24;
            else if (w == "cf")
                s.color = param;
            else if (w == "plain")
                s = CharState{};
            else if (w == "pard")
                para_ = ParagraphState{};
            else if (w == "ql")
                para_.alignment = Qt::AlignLeft;
            else if (w == "qr")
                para_.alignment = Qt::AlignRight;
            else if (w == "qc")
                para_.alignment = Qt::AlignHCenter;
            else if (w == "qj")
                para_.alignment = Qt::AlignJustify;
            else if (w == "li")
                para_.left = twips(param);
            else if (w == "ri")
                para_.right = twips(param);
            else if (w == "fi")
                para_.first = twips(param);
            else if (w == "sb")
                para_.before = std::clamp(param, 0, kMaxTwips);
            else if (w == "sa")
                para_.after = std::clamp(param, 0, kMaxTwips);
            else if (w == "tqr")
                para_.nextTab = QTextOption::RightTab;
            else if (w == "tqc")
                para_.nextTab = QTextOption::CenterTab;
            else if (w == "tqdec")
                para_.nextTab = QTextOption::DelimiterTab;
            else if (w == "tx" && para_.tabs.size() < kMaxTabsPerParagraph) {
                QTextOption::Tab tab(std::clamp(param, 0, kMaxTwips) / kTwipsPerUnit, para_.nextTab,
                                     para_.nextTab == QTextOption::DelimiterTab ? QChar(u'.') : QChar());
                para_.tabs.append(tab);
                para_.nextTab = QTextOption::LeftTab;
            }
        }
    }

    const QByteArray& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    qsizetype pos_ = 0;
    QList<Group> groups_;
    ParagraphState para_;
    QByteArray bytes_;
    int skipCount_ = 0;
    CodePage codePage_ = CodePage::Latin1;
    int defaultFont_ = 0;
    QHash<int, Font> fonts_;
    int currentFont_ = 0;
    QByteArray fontName_;
    QList<QColor> colors_;
    bool colorPending_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool blockHasText_ = false;
    bool endedWithParagraph_ = false;
};

// ---- writing

QByteArray escaped(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out.append('\\').append(char(u));
        } else if (u == '\t') {
            out.append("\\tab ");
        } else if (u == QChar::LineSeparator || u == '\n') {
            out.append("\\line ");
        } else if (u == 0x00A0) {
            out.append("\\~");
        } else if (u >= 0x20 && u < 0x80) {
            out.append(char(u));
        } else if (u < 0x20) {
            continue;
        } else {
            // The Unicode value, with the Windows-1251 byte for readers of
            // the code page alone.
            const QByteArray cp = toCp1251(QString(c));
            out.append("\\u").append(QByteArray::number(qint16(u))).append(' ');
            if (cp.size() == 1 && cp[0] != '?')
                out.append("\\'").append(QByteArray::number(uchar(cp[0]), 16).rightJustified(2, '0'));
            else
                out.append('?');
        }
    }
    return out;
}

QString familyOf(const QTextCharFormat& f, const QTextDocument& doc) {
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return doc.defaultFont().family().isEmpty() ? QStringLiteral("Arial") : doc.defaultFont().family();
}

double pointSizeOf(const QTextCharFormat& f, const QTextDocument& doc) {
    if (f.fontPointSize() > 0)
        return f.fontPointSize();
    return doc.defaultFont().pointSizeF() > 0 ? doc.defaultFont().pointSizeF() : 12.0;
}

} // namespace

void readRtf(const QByteArray& rtf, QTextDocument& document) {
    document.clear();
    if (!rtf.trimmed().startsWith("{\\rtf")) {
        document.setPlainText(decodeUtf8OrCp1251(rtf));
        return;
    }
    RtfReader(rtf, document).run();
}

QByteArray writeRtf(const QTextDocument& document) {
    QStringList fonts;
    QList<QColor> colors;
    auto fontIndex = [&fonts](const QString& family) {
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts.append(family);
            i = fonts.size() - 1;
        }
        return int(i);
    };
    auto colorIndex = [&colors](const QColor& color) {
        qsizetype i = colors.indexOf(color);
        if (i < 0) {
            colors.append(color);
            i = colors.size() - 1;
        }
        return int(i) + 1;
    };

    QByteArray body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        body.append("\\pard");
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight)
            body.append("\\qr");
        else if (a & Qt::AlignHCenter)
            body.append("\\qc");
        else if (a & Qt::AlignJustify)
            body.append("\\qj");
        auto twips = [](double units) { return QByteArray::number(qRound(units * kTwipsPerUnit)); };
        if (bf.leftMargin() != 0)
            body.append("\\li").append(twips(bf.leftMargin()));
        if (bf.rightMargin() != 0)
            body.append("\\ri").append(twips(bf.rightMargin()));
        if (bf.textIndent() != 0)
            body.append("\\fi").append(twips(bf.textIndent()));
        if (bf.topMargin() != 0)
            body.append("\\sb").append(twips(bf.topMargin()));
        if (bf.bottomMargin() != 0)
            body.append("\\sa").append(twips(bf.bottomMargin()));
        for (const QTextOption::Tab& tab : bf.tabPositions()) {
            if (tab.type == QTextOption::RightTab)
                body.append("\\tqr");
            else if (tab.type == QTextOption::CenterTab)
                body.append("\\tqc");
            else if (tab.type == QTextOption::DelimiterTab)
                body.append("\\tqdec");
            body.append("\\tx").append(twips(tab.position));
        }
        // An empty paragraph keeps its font, which sets its height.
        QList<std::pair<QTextCharFormat, QString>> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid())
                runs.append({it.fragment().charFormat(), it.fragment().text()});
        if (runs.isEmpty())
            runs.append({block.charFormat(), QString()});
        for (const auto& [f, text] : runs) {
            body.append("\\plain\\f").append(QByteArray::number(fontIndex(familyOf(f, document))));
            body.append("\\fs").append(QByteArray::number(qRound(pointSizeOf(f, document) * 2)));
            if (f.fontWeight() >= QFont::DemiBold)
                body.append("\\b");
            if (f.fontItalic())
                body.append("\\i");
            if (f.fontUnderline())
                body.append("\\ul");
            if (f.fontStrikeOut())
                body.append("\\strike");
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                body.append("\\cf").append(QByteArray::number(colorIndex(f.foreground().color())));
            body.append(' ').append(escaped(text));
        }
        if (block.next().isValid())
            body.append("\\par\r\n");
    }

    QByteArray out("{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\r\n{\\fonttbl");
    if (fonts.isEmpty())
        fonts.append(QStringLiteral("Arial"));
    for (int i = 0; i < fonts.size(); ++i)
        out.append("{\\f")
            .append(QByteArray::number(i))
            .append("\\fnil\\fcharset204 ")
            .append(escaped(fonts[i]))
            .append(";}");
    out.append("}\r\n");
    if (!colors.isEmpty()) {
        out.append("{\\colortbl ;");
        for (const QColor& c : colors)
            out.append("\\red")
                .append(QByteArray::number(c.red()))
                .append("\\green")
                .append(QByteArray::number(c.green()))
                .append("\\blue")
                .append(QByteArray::number(c.blue()))
                .append(';');
        out.append("}\r\n");
    }
    out.append(body).append("\\par\r\n}\r\n");
    return out;
}

} // namespace torvika
