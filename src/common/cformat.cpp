#include "common/cformat.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvika {

namespace {

// Widths and precisions beyond this are mistakes, not layouts.
constexpr int kMaxField = 100000;

struct Directive {
    bool left = false;
    std::string flags;
    int width = -1;
    int precision = -1;
    char conv = 0;
};

QString pad(QString s, const Directive& directive) {
    if (directive.width > s.size()) {
        QString fill(directive.width - s.size(), u' ');
        s = directive.left ? s + fill : fill + s;
    }
    return s;
}

// snprintf into a buffer as large as the text needs.
template <typename T> std::string printed(const std::string& f, T value) {
    std::string buf(64, '\0');
    int n = std::snprintf(buf.data(), buf.size(), f.c_str(), value);
    if (n < 0)
        throw std::invalid_argument("cformat: cannot format a number");
    if (size_t(n) >= buf.size()) {
        buf.assign(size_t(n) + 1, '\0');
        std::snprintf(buf.data(), buf.size(), f.c_str(), value);
    }
    buf.resize(size_t(n));
    return buf;
}

// C's decimal point follows the process locale, which the application takes
// from the environment (a comma in Bulgarian); ours is always ".".
void useDecimalDot(std::string& s) {
    const char* point = std::localeconv()->decimal_point;
    if (!point || !*point || std::strcmp(point, ".") == 0)
        return;
    if (size_t at = s.find(point); at != std::string::npos)
        s.replace(at, std::strlen(point), ".");
}

QString number(const Directive& directive, const QVariant& v) {
    const bool integer = directive.conv == 'd' || directive.conv == 'i' || directive.conv == 'u';
    const long long n = directive.conv == 'u' ? 0 : v.toLongLong();
    const unsigned long long u = directive.conv == 'u' ? v.toULongLong() : 0;
    int precision = directive.precision;
    // A zero keeps its digit when the precision is 0 ("%1.0d" of 0 is "0").
    if (integer && precision == 0 && n == 0 && u == 0)
        precision = 1;
    std::string f = "%" + directive.flags;
    if (directive.width >= 0)
        f += std::to_string(directive.width);
    if (precision >= 0)
        f += "." + std::to_string(precision);
    if (directive.conv == 'u')
        return QString::fromLatin1(printed(f + "llu", u));
    if (integer)
        return QString::fromLatin1(printed(f + "lld", n));
    f += directive.conv;
    const double x = v.toDouble();
    std::string s = printed(f, x);
    // A value that rounds to zero is written without its minus sign.
    if (std::signbit(x) && std::isfinite(x) && s.find_first_of("123456789") == std::string::npos)
        s = printed(f, 0.0);
    useDecimalDot(s);
    return QString::fromLatin1(s);
}

} // namespace

QString cformat(QStringView fmt, std::initializer_list<QVariant> argList) {
    std::vector<QVariant> args(argList);
    size_t next = 0;
    auto take = [&]() -> const QVariant& {
        if (next >= args.size())
            throw std::invalid_argument("cformat: missing argument");
        return args[next++];
    };
    QString out;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        QChar c = fmt[i];
        if (c != u'%') {
            out.append(c);
            continue;
        }
        if (++i >= fmt.size())
            throw std::invalid_argument("cformat: format ends after %");
        if (fmt[i] == u'%') {
            out.append(u'%');
            continue;
        }
        Directive directive;
        while (i < fmt.size() && QStringView(u"-0+ #").contains(fmt[i])) {
            if (fmt[i] == u'-')
                directive.left = true;
            directive.flags += char(fmt[i].unicode());
            ++i;
        }
        // Digits or "*"; -1 when there are none. Returns true for "*".
        auto readNumber = [&](int& target) {
            if (i < fmt.size() && fmt[i] == u'*') {
                target = take().toInt();
                if (target > kMaxField || target < -kMaxField)
                    throw std::invalid_argument("cformat: width or precision too large");
                ++i;
                return true;
            }
            int n = -1;
            while (i < fmt.size() && fmt[i].isDigit()) {
                n = (n < 0 ? 0 : n * 10) + fmt[i].digitValue();
                if (n > kMaxField)
                    throw std::invalid_argument("cformat: width or precision too large");
                ++i;
            }
            target = n;
            return false;
        };
        if (readNumber(directive.width) && directive.width < 0) { // a negative "*" width aligns left
            directive.left = true;
            directive.flags += '-';
            directive.width = -directive.width;
        }
        if (i < fmt.size() && fmt[i] == u'.') {
            ++i;
            if (readNumber(directive.precision)) {
                if (directive.precision < 0) // a negative "*" precision counts as none
                    directive.precision = -1;
            } else if (directive.precision < 0) { // "." alone is precision 0
                directive.precision = 0;
            }
        }
        if (i >= fmt.size())
            throw std::invalid_argument("cformat: incomplete conversion");
        directive.conv = fmt[i].unicode() < 0x80 ? char(fmt[i].unicode()) : '?';
        switch (directive.conv) {
        case 's': {
            QString s = take().toString();
            if (directive.precision >= 0 && s.size() > directive.precision)
                s.truncate(directive.precision);
            out += pad(s, directive);
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'f':
        case 'e':
        case 'g':
            out += number(directive, take());
            break;
        default:
            throw std::invalid_argument("cformat: unknown conversion");
        }
    }
    return out;
}

QString formatFixed(double value, int decimals, int width) {
    return cformat(u"%*.*f", {width, decimals, value});
}

QString formatFixed(const Decimal& value, int decimals, int width) {
    if (decimals > kMaxField || width > kMaxField || width < -kMaxField)
        throw std::invalid_argument("formatFixed: width or precision too large");
    Directive directive;
    directive.left = width < 0;
    directive.width = width < 0 ? -width : width;
    return pad(value.toFixed(decimals < 0 ? 6 : decimals), directive);
}

} // namespace torvika
