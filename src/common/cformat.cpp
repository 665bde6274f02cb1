#include "common/cformat.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvika {

namespace {

struct Spec {
    bool left = false;
    std::string flags;
    int width = -1;
    int precision = -1;
    char conv = 0;
};

QString pad(QString s, const Spec& spec) {
    if (spec.width > s.size()) {
        QString fill(spec.width - s.size(), u' ');
        s = spec.left ? s + fill : fill + s;
    }
    return s;
}

QString number(const Spec& spec, const QVariant& v) {
    std::string f = "%" + spec.flags;
    if (spec.width >= 0)
        f += std::to_string(spec.width);
    if (spec.precision >= 0)
        f += "." + std::to_string(spec.precision);
    char buf[512];
    switch (spec.conv) {
    case 'd':
    case 'i':
        f += "lld";
        std::snprintf(buf, sizeof buf, f.c_str(), static_cast<long long>(v.toLongLong()));
        break;
    case 'u':
        f += "llu";
        std::snprintf(buf, sizeof buf, f.c_str(), static_cast<unsigned long long>(v.toULongLong()));
        break;
    default:
        f += spec.conv;
        std::snprintf(buf, sizeof buf, f.c_str(), v.toDouble());
        break;
    }
    return QString::fromLatin1(buf);
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
        Spec spec;
        while (i < fmt.size() && QStringView(u"-0+ #").contains(fmt[i])) {
            if (fmt[i] == u'-')
                spec.left = true;
            spec.flags += char(fmt[i].unicode());
            ++i;
        }
        auto readNumber = [&](int& target) {
            if (i < fmt.size() && fmt[i] == u'*') {
                target = take().toInt();
                ++i;
                return;
            }
            int n = -1;
            while (i < fmt.size() && fmt[i].isDigit()) {
                n = (n < 0 ? 0 : n * 10) + fmt[i].digitValue();
                ++i;
            }
            target = n;
        };
        readNumber(spec.width);
        if (spec.width < -1) { // "*" with a negative argument means left alignment
            spec.left = true;
            spec.flags += '-';
            spec.width = -spec.width;
        }
        if (i < fmt.size() && fmt[i] == u'.') {
            ++i;
            readNumber(spec.precision);
            if (spec.precision < 0)
                spec.precision = 0;
        }
        if (i >= fmt.size())
            throw std::invalid_argument("cformat: incomplete conversion");
        spec.conv = char(fmt[i].unicode());
        switch (spec.conv) {
        case 's': {
            QString s = take().toString();
            if (spec.precision >= 0 && s.size() > spec.precision)
                s.truncate(spec.precision);
            out += pad(s, spec);
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'f':
        case 'e':
        case 'g':
            out += number(spec, take());
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

} // namespace torvika
