#pragma once
// Mutation fuzzing for the readers of files other programs or people wrote:
// a few thousand inputs made from seeds by flipping, inserting, deleting and
// repeating bytes, each handed to the reader. The reader may refuse an input
// with an exception of the program's own kind; it must never crash, and an
// input still being read after the hang limit ends the run naming it.

#include "common/errors.h"
#include "support/hang_guard.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <functional>
#include <typeinfo>

namespace torvika::test {

// A mutation of one seed: a few random edits, with bytes that matter to text
// formats ("[", "]", ":", digits, line ends, braces, NUL, high bytes) more
// likely than others.
inline QByteArray mutate(QByteArray data, QRandomGenerator& rng) {
    static const QByteArray kInteresting = QByteArrayLiteral("[]:{}\\=0123456789\r\n\t \x00\xff\xc0\xd0");
    auto anyByte = [&]() -> char {
        if (rng.bounded(2) == 0)
            return kInteresting[int(rng.bounded(kInteresting.size()))];
        return char(rng.bounded(256));
    };
    const int edits = 1 + int(rng.bounded(8));
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = data.isEmpty() ? 0 : qsizetype(rng.bounded(quint32(data.size())));
        switch (rng.bounded(6)) {
        case 0:
            if (!data.isEmpty())
                data[at] = anyByte();
            break;
        case 1:
            data.insert(at, anyByte());
            break;
        case 2:
            data.remove(at, 1 + qsizetype(rng.bounded(16)));
            break;
        case 3: { // repeat a piece: nesting, long runs, huge counts
            const qsizetype len = 1 + qsizetype(rng.bounded(8));
            const QByteArray piece = data.mid(at, len);
            data.insert(at, piece.repeated(1 + int(rng.bounded(64))));
            break;
        }
        case 4: // a large number where a small one stood
            data.insert(at, QByteArray::number(quint64(rng.generate64()) >> rng.bounded(60)));
            break;
        default:
            data.truncate(at);
            break;
        }
    }
    return data;
}

struct FuzzResult {
    int cases = 0;
    int refused = 0; // inputs the reader refused with the program's own error
    QString failure; // empty when every case passed
};

// Runs `read` on `count` mutations of the seeds (and on the seeds
// themselves). A case that throws something other than torvika::Error is a
// failure; one still being read after the hang limit ends the program
// (HangGuard), naming its input.
inline FuzzResult fuzz(const QList<QByteArray>& seeds, int count,
                       const std::function<void(const QByteArray&)>& read, quint32 seed = 20261210,
                       std::chrono::milliseconds hangLimit = std::chrono::seconds(10)) {
    FuzzResult result;
    QRandomGenerator rng(seed);
    HangGuard guard(hangLimit);
    auto runOne = [&](const QByteArray& input) {
        ++result.cases;
        guard.begin(QString::fromLatin1(input.left(60).toHex()));
        try {
            read(input);
        } catch (const Error&) {
            ++result.refused;
        } catch (const std::exception& e) {
            result.failure = QStringLiteral("case %1 threw %2: %3")
                                 .arg(result.cases)
                                 .arg(typeid(e).name(), QString::fromUtf8(e.what()));
        }
        guard.end();
    };
    for (const auto& s : seeds) {
        runOne(s);
        if (!result.failure.isEmpty())
            return result;
    }
    for (int i = 0; i < count && result.failure.isEmpty(); ++i)
        runOne(mutate(seeds[int(rng.bounded(seeds.size()))], rng));
    return result;
}

} // namespace torvika::test
