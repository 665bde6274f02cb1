#include "catalogue/price_formula.h"

#include "catalogue/texts.h"

#include <QRegularExpression>
#include <cmath>

namespace torvika {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A recursive-descent reader that evaluates as it reads:
//   expression := term (("+" | "-") term)*
//   term       := signed (("*" | "/") signed)*
//   signed     := ("+" | "-") signed | operand
//   operand    := primary ["%"]
//   primary    := number | "P" | "D" | "(" expression ")"
// The first fault of syntax ends the reading; a division by zero is noted
// and the reading goes on, so that a later fault of syntax still wins.
class Reader {
public:
    Reader(const QString& text, double P, double D) : text_(text), P_(P), D_(D) {}

    FormulaResult run() {
        FormulaResult r;
        if (text_.isEmpty()) {
            r.fault = FormulaResult::Syntax;
            r.message = texts::kFormulaEmpty;
            r.position = 0;
            return r;
        }
        const double value = expression();
        if (!syntax_ && pos_ < text_.size())
            unexpected();
        if (syntax_) {
            r.fault = FormulaResult::Syntax;
            r.message = message_;
            r.position = faultAt_;
        } else if (divisionByZero_) {
            r.fault = FormulaResult::Arithmetic;
            r.message = texts::kFormulaDivisionByZero;
        } else if (!std::isfinite(value)) {
            r.fault = FormulaResult::Arithmetic;
            r.message = texts::kFormulaOutOfRange;
        } else {
            r.value = value == 0 ? 0.0 : value; // no "-0"
        }
        return r;
    }

private:
    // A term's value, and whether it is a lone percentage ("20%", "-5%").
    struct Value {
        double value = 0;
        bool percent = false;
    };

    QChar peek() const { return pos_ < text_.size() ? text_[pos_] : QChar(); }
    bool atEnd() const { return pos_ >= text_.size(); }

    void fail(const QString& message) {
        if (syntax_)
            return;
        syntax_ = true;
        message_ = message;
        faultAt_ = int(pos_);
    }
    void unexpected() {
        if (atEnd())
            fail(texts::kFormulaIncomplete);
        else
            fail(texts::kFormulaUnexpected.arg(peek()).arg(pos_ + 1));
    }

    double expression() {
        double value = term().value;
        while (!syntax_ && (peek() == u'+' || peek() == u'-')) {
            const bool plus = peek() == u'+';
            ++pos_;
            const Value right = term();
            // "a + b%" is a raised by b per cent of itself.
            const double amount = right.percent ? value * right.value : right.value;
            value = plus ? value + amount : value - amount;
        }
        return value;
    }

    Value term() {
        Value first = signedOperand();
        double value = first.value;
        bool lone = true;
        while (!syntax_ && (peek() == u'*' || peek() == u'/')) {
            const bool times = peek() == u'*';
            ++pos_;
            const double right = signedOperand().value;
            lone = false;
            if (times) {
                value *= right;
            } else if (right == 0) {
                divisionByZero_ = true;
                value = 0;
            } else {
                value /= right;
            }
        }
        return {value, lone && first.percent};
    }

    Value signedOperand() {
        if (peek() == u'+' || peek() == u'-') {
            const bool minus = peek() == u'-';
            ++pos_;
            Value v = signedOperand();
            if (minus)
                v.value = -v.value;
            return v;
        }
        Value v{primary(), false};
        if (!syntax_ && peek() == u'%') {
            ++pos_;
            v.value /= 100;
            v.percent = true;
        }
        return v;
    }

    double primary() {
        if (syntax_)
            return 0;
        const QChar c = peek();
        if (c == u'P' || c == u'D') {
            ++pos_;
            return c == u'P' ? P_ : D_;
        }
        if (c == u'(') {
            ++pos_;
            const double v = expression();
            if (syntax_)
                return 0;
            if (peek() != u')') {
                if (atEnd())
                    fail(texts::kFormulaUnclosed);
                else
                    unexpected();
                return 0;
            }
            ++pos_;
            return v;
        }
        if (isDigit(c) || c == u'.')
            return number();
        unexpected();
        return 0;
    }

    // Digits with at most one "." and at least one digit.
    double number() {
        const qsizetype start = pos_;
        bool digits = false;
        while (isDigit(peek())) {
            ++pos_;
            digits = true;
        }
        if (peek() == u'.') {
            ++pos_;
            while (isDigit(peek())) {
                ++pos_;
                digits = true;
            }
        }
        if (!digits) {
            pos_ = start;
            unexpected();
            return 0;
        }
        return QStringView(text_).mid(start, pos_ - start).toDouble();
    }

    const QString& text_;
    const double P_, D_;
    qsizetype pos_ = 0;
    bool syntax_ = false;
    bool divisionByZero_ = false;
    QString message_;
    int faultAt_ = -1;
};

} // namespace

FormulaResult GETRESULT_FORMULA(const QString& formula, double P, double D) {
    return Reader(formula, P, D).run();
}

std::optional<FormulaResult> formulaSyntaxFault(const QString& formula) {
    FormulaResult r = GETRESULT_FORMULA(formula, 1, 1);
    if (r.fault != FormulaResult::Syntax)
        return std::nullopt;
    return r;
}

bool isFormulaCharacter(QChar c) {
    static const QString allowed = QStringLiteral("0123456789.+-*/%()PDpd");
    return allowed.contains(c);
}

QString formulaInput(const QString& typed) {
    QString out;
    out.reserve(typed.size());
    for (QChar c : typed)
        if (isFormulaCharacter(c))
            out += c.toUpper();
    return out;
}

std::optional<double> typedDecimal(const QString& typed) {
    static const QRegularExpression pattern(QStringLiteral(R"(^[+-]?(\d+([.,]\d*)?|[.,]\d+)$)"));
    QString text = typed.trimmed();
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace torvika
