#include "catalogue/price_formula.h"

#include "catalogue/texts.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

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

// The formula as a tree of spans of its text, read by the same grammar as
// Reader (for a formula Reader has found well formed), and the money in it:
// the prices are amounts, a constant takes the dimension of what it is
// added to, a factor or divisor is a pure number.
class MoneyReader {
public:
    explicit MoneyReader(const QString& text) : text_(text) {}

    std::optional<QString> restated(const Decimal& rate) {
        rate_ = rate;
        const int root = expression().node;
        const Dim d = infer(root);
        if (d.constant)
            assign(root, 1);
        else if (d.degree != 1)
            irregular_ = true;
        if (irregular_)
            return std::nullopt;
        QString out = text_;
        std::sort(replacements_.begin(), replacements_.end(),
                  [](const Replacement& a, const Replacement& b) { return a.start > b.start; });
        for (const Replacement& r : replacements_)
            out.replace(r.start, r.end - r.start, r.text);
        if (out.size() > kFormulaMaxLength)
            return std::nullopt;
        return out;
    }

private:
    enum Kind { Number, Price, Group, Negative, Percent, Add, Sub, AddPercent, SubPercent, Mul, Div };
    struct Node {
        Kind kind;
        int a = -1, b = -1;
        qsizetype start = 0, end = 0;
    };
    struct Read {
        int node;
        bool percent = false; // a lone percentage ("20%")
    };
    struct Dim {
        bool constant = true;
        int degree = 0; // of money: 1 an amount, 0 a pure number
    };
    struct Replacement {
        qsizetype start, end;
        QString text;
    };

    QChar peek() const { return pos_ < text_.size() ? text_[pos_] : QChar(); }
    int add(Kind kind, qsizetype start, int a = -1, int b = -1) {
        nodes_.push_back(Node{kind, a, b, start, pos_});
        return int(nodes_.size()) - 1;
    }

    Read expression() {
        const qsizetype start = pos_;
        int left = term().node;
        while (peek() == u'+' || peek() == u'-') {
            const bool plus = peek() == u'+';
            ++pos_;
            const Read right = term();
            left = add(right.percent ? (plus ? AddPercent : SubPercent) : (plus ? Add : Sub), start, left,
                       right.node);
        }
        return {left};
    }
    Read term() {
        const qsizetype start = pos_;
        Read first = signedOperand();
        while (peek() == u'*' || peek() == u'/') {
            const bool times = peek() == u'*';
            ++pos_;
            const int right = signedOperand().node;
            first = {add(times ? Mul : Div, start, first.node, right), false};
        }
        return first;
    }
    Read signedOperand() {
        const qsizetype start = pos_;
        bool minus = false;
        bool signs = false;
        while (peek() == u'+' || peek() == u'-') {
            minus = minus != (peek() == u'-');
            signs = true;
            ++pos_;
        }
        Read v{primary()};
        if (peek() == u'%') {
            ++pos_;
            v = {add(Percent, start, v.node), true};
        }
        if (signs)
            v.node = add(minus ? Negative : Group, start, v.node);
        return v;
    }
    int primary() {
        const qsizetype start = pos_;
        if (peek() == u'P' || peek() == u'D') {
            ++pos_;
            return add(Price, start);
        }
        if (peek() == u'(') {
            ++pos_;
            const int inner = expression().node;
            ++pos_; // ")"
            return add(Group, start, inner);
        }
        while (isDigit(peek()) || peek() == u'.')
            ++pos_;
        return add(Number, start);
    }

    Dim infer(int n) {
        const Node node = nodes_[size_t(n)];
        switch (node.kind) {
        case Number:
            return {};
        case Price:
            return {false, 1};
        case Group:
        case Negative:
        case Percent:
            return infer(node.a);
        case Mul:
        case Div: {
            const Dim l = infer(node.a);
            const Dim r = infer(node.b);
            if (l.constant && r.constant)
                return {};
            if (r.constant)
                return l;
            const int right = node.kind == Mul ? r.degree : -r.degree;
            return {false, l.constant ? right : l.degree + right};
        }
        case Add:
        case Sub: {
            const Dim l = infer(node.a);
            const Dim r = infer(node.b);
            if (l.constant && r.constant)
                return {};
            if (l.constant) {
                assign(node.a, r.degree);
                return r;
            }
            if (r.constant) {
                assign(node.b, l.degree);
                return l;
            }
            if (l.degree != r.degree)
                irregular_ = true;
            return l;
        }
        case AddPercent:
        case SubPercent: {
            // "a + b%" is a times (1 + b/100): b is a pure number.
            const Dim l = infer(node.a);
            const Dim r = infer(node.b);
            if (r.constant)
                return l;
            irregular_ = true;
            return l;
        }
        }
        return {};
    }

    // The constant of the node is an amount of money to that degree: its
    // value in the new currency replaces its text.
    void assign(int n, int degree) {
        if (degree == 0)
            return;
        const Node& node = nodes_[size_t(n)];
        const FormulaResult r = GETRESULT_FORMULA(text_.mid(node.start, node.end - node.start), 0, 0);
        if (!r.value) {
            irregular_ = true;
            return;
        }
        Decimal v = *r.value;
        try {
            for (int i = 0; i < std::abs(degree); ++i)
                v = degree > 0 ? v.divided(rate_, kFormulaScale) : (v * rate_).rounded(kFormulaScale);
        } catch (const std::overflow_error&) {
            irregular_ = true;
            return;
        }
        const QString number = v.toString();
        replacements_.push_back({node.start, node.end, v.sign() < 0 ? u'(' + number + u')' : number});
    }

    const QString& text_;
    qsizetype pos_ = 0;
    Decimal rate_;
    std::vector<Node> nodes_;
    std::vector<Replacement> replacements_;
    bool irregular_ = false;
};

} // namespace

std::optional<QString> formulaInOtherCurrency(const QString& formula, const Decimal& rate) {
    const FormulaResult check = GETRESULT_FORMULA(formula, 1, 1);
    if (check.fault == FormulaResult::Syntax || rate.isZero())
        return std::nullopt;
    return MoneyReader(formula).restated(rate);
}

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
