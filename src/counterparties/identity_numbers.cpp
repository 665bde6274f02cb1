#include "counterparties/identity_numbers.h"

#include <array>

namespace torvika {

namespace {

bool isDecimalDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int digit(QChar c) {
    return c.unicode() - u'0';
}

} // namespace

int Get_EIK(QStringView text, int shift, bool second) {
    const qsizetype count = qMin<qsizetype>(text.size() - 1, 8);
    int sum = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (!isDecimalDigit(text[i]))
            return -1;
        sum += digit(text[i]) * (shift + 1 + int(i));
    }
    const int r = sum % 11;
    return second && r == 10 ? 0 : r;
}

bool Check_EIK(QStringView text, bool* showMessage) {
    if (showMessage)
        *showMessage = false;
    if (text.size() != 9)
        return false;
    for (qsizetype i = 0; i < 8; ++i) {
        if (!isDecimalDigit(text[i])) {
            if (showMessage)
                *showMessage = true;
            return false;
        }
    }
    if (!isDecimalDigit(text[8]))
        return false;
    int check = Get_EIK(text, 0, false);
    if (check == 10)
        check = Get_EIK(text, 2, true);
    return check == digit(text[8]);
}

bool Check_EGN(QStringView text) {
    // The weights of the nine leading digits.
    static constexpr std::array<int, 9> weights{2, 4, 8, 5, 10, 9, 7, 3, 6};
    if (text.size() != 10)
        return false;
    for (QChar c : text) {
        if (!isDecimalDigit(c))
            return false;
    }
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += digit(text[i]) * weights[size_t(i)];
    const int r = sum % 11;
    return (r == 10 ? 0 : r) == digit(text[9]);
}

} // namespace torvika
