#include "catalogue/price_formula.h"

#include "catalogue/texts.h"

#include <stdexcept>

namespace torvika {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A recursive-descent reader that evaluates as it reads:
//   expression := term (("+" | "-") term)*
//   term       := signed (("*" | "/") signed)*
//   signed     := ("+" | "-")* operand
//   operand    := primary ["%"]
//   primary    := number | "P" | "D" | "(" expression ")"
// The first fault of syntax ends the reading; a division by zero or a value
// out of range is noted and the reading goes on, so that a later fault of
// syntax still wins. Each "(" and each run of signs is one level deeper;
// past kFormulaMaxDepth the reading stops with a fault, so the recursion
// stays small whatever the text.
class Reader {
public:
    Reader(const QString& text, const Decimal& P, const Decimal& D)
        : text_(text), P_(exact(P)), D_(exact(D)) {}

    FormulaResult run() {
        FormulaResult r;
        if (text_.isEmpty()) {
            r.fault = FormulaResult::Syntax;
            r.message = texts::kFormulaEmpty;
            r.position = 0;
            return r;
        }
        if (text_.size() > kFormulaMaxLength) {
            r.fault = FormulaResult::Syntax;
            r.message = texts::kPriceGroupFormulaTooLong.arg(kFormulaMaxLength);
            r.position = kFormulaMaxLength;
            return r;
        }
        const Decimal value = expression();
        if (!syntax_ && pos_ < text_.size())
            unexpected();
        if (syntax_) {
            r.fault = FormulaResult::Syntax;
            r.message = message_;
            r.position = faultAt_;
        } else if (divisionByZero_) {
            r.fault = FormulaResult::Arithmetic;
            r.message = texts::kFormulaDivisionByZero;
        } else if (outOfRange_) {
            r.fault = FormulaResult::Arithmetic;
            r.message = texts::kFormulaOutOfRange;
        } else {
            r.value = value;
        }
        return r;
    }

private:
    // A term's value, and whether it is a lone percentage ("20%", "-5%").
    struct Value {
        Decimal value;
        bool percent = false;
    };

    // A value with the formula's decimals; one that cannot be held is out of range.
    Decimal exact(const Decimal& v) { return v.rounded(kFormulaScale); }
    template <typename Op> Decimal computed(Op op) {
        try {
            return exact(op());
        } catch (const std::overflow_error&) {
            outOfRange_ = true;
            return {};
        }
    }

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
    // One level deeper; false (with a fault) past the deepest.
    bool deeper() {
        if (++depth_ <= kFormulaMaxDepth)
            return true;
        fail(texts::kFormulaTooDeep.arg(kFormulaMaxDepth));
        return false;
    }

    Decimal expression() {
        Decimal value = term().value;
        while (!syntax_ && (peek() == u'+' || peek() == u'-')) {
            const bool plus = peek() == u'+';
            ++pos_;
            const Value right = term();
            // "a + b%" is a raised by b per cent of itself.
            const Decimal amount =
                right.percent ? computed([&] { return value * right.value; }) : right.value;
            value = computed([&] { return plus ? value + amount : value - amount; });
        }
        return value;
    }

    Value term() {
        const Value first = signedOperand();
        Decimal value = first.value;
        bool lone = true;
        while (!syntax_ && (peek() == u'*' || peek() == u'/')) {
            const bool times = peek() == u'*';
            ++pos_;
            const Decimal right = signedOperand().value;
            lone = false;
            if (times) {
                value = computed([&] { return value * right; });
            } else if (right.isZero()) {
                divisionByZero_ = true;
                value = {};
            } else {
                value = computed([&] { return value.divided(right, kFormulaScale); });
            }
        }
        return {value, lone && first.percent};
    }

    Value signedOperand() {
        bool minus = false;
        const bool signs = peek() == u'+' || peek() == u'-';
        if (signs) {
            if (!deeper())
                return {};
            while (peek() == u'+' || peek() == u'-') {
                minus = minus != (peek() == u'-');
                ++pos_;
            }
        }
        Value v{primary(), false};
        if (!syntax_ && peek() == u'%') {
            ++pos_;
            v.value = computed([&] { return v.value.divided(100, kFormulaScale); });
            v.percent = true;
        }
        if (minus)
            v.value = -v.value;
        if (signs)
            --depth_;
        return v;
    }

    Decimal primary() {
        if (syntax_)
            return {};
        const QChar c = peek();
        if (c == u'P' || c == u'D') {
            ++pos_;
            return c == u'P' ? P_ : D_;
        }
        if (c == u'(') {
            if (!deeper())
                return {};
            ++pos_;
            const Decimal v = expression();
            if (syntax_)
                return {};
            if (peek() != u')') {
                if (atEnd())
                    fail(texts::kFormulaUnclosed);
                else
                    unexpected();
                return {};
            }
            ++pos_;
            --depth_;
            return v;
        }
        if (isDigit(c) || c == u'.')
            return number();
        unexpected();
        return {};
    }

    // Digits with at most one "." and at least one digit.
    Decimal number() {
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
            return {};
        }
        // Too many digits to hold: out of range, like a product too large.
        const std::optional<Decimal> v = Decimal::parse(QStringView(text_).mid(start, pos_ - start));
        if (!v) {
            outOfRange_ = true;
            return {};
        }
        return computed([&] { return *v; });
    }

    const QString& text_;
    bool syntax_ = false;
    bool divisionByZero_ = false;
    bool outOfRange_ = false;
    const Decimal P_, D_;
    qsizetype pos_ = 0;
    int depth_ = 0;
    QString message_;
    int faultAt_ = -1;
};

} // namespace

FormulaResult GETRESULT_FORMULA(const QString& formula, const Decimal& P, const Decimal& D) {
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

std::optional<Decimal> typedDecimal(const QString& typed) {
    return Decimal::parse(typed);
}

} // namespace torvika
