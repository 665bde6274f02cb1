// The registry of follow-ups: what it refuses, and which window a
// follow-up receives as the opener.

#include "common/ui/follow_ups.h"

#include <QDialog>
#include <QTest>
#include <stdexcept>

using namespace torvika;

namespace {

struct TwoModes {
    using Choice = QString;
    static constexpr const char* kName = "test picker";
    static QList<int> modes() { return {0, 1}; }
};

class Receiver : public QDialog {
    Q_OBJECT
};

} // namespace

class FollowUpsTest : public QObject {
    Q_OBJECT
private slots:
    // Registrations that would leave a mode without its receiver, or give
    // it two, are refused at start-up.
    void mistakesAreRefused() {
        FollowUpRegistry registry;
        auto& followUps = registry.of<TwoModes>();
        QStringList got;
        followUps.add(0, [&](QWidget*, const QString& c) { got << c; });
        QVERIFY_THROWS_EXCEPTION(std::logic_error, followUps.add(0, [](QWidget*, const QString&) {}));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, followUps.add(2, [](QWidget*, const QString&) {}));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, followUps.add(-1, [](QWidget*, const QString&) {}));
        QCOMPARE(followUps.unserved(), QList<int>{1});
        registry.close();
        QVERIFY_THROWS_EXCEPTION(std::logic_error, followUps.add(1, [](QWidget*, const QString&) {}));
        // The kind is the same object however it is reached.
        QVERIFY(registry.of<TwoModes>().run(0, nullptr, "a"));
        QVERIFY(!registry.of<TwoModes>().run(1, nullptr, "b"));
        QCOMPARE(got, QStringList{"a"});
    }

    // The receiving window is the opener or the window the opener sits in;
    // any other opener is a follow-up registered for the wrong window.
    void openerWindowIsFound() {
        Receiver receiver;
        auto* inside = new QWidget(&receiver);
        QCOMPARE(&openerWindow<Receiver>(&receiver), &receiver);
        QCOMPARE(&openerWindow<Receiver>(inside), &receiver);
        QDialog other;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, openerWindow<Receiver>(&other));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, openerWindow<Receiver>(nullptr));
    }
};

QTEST_MAIN(FollowUpsTest)
#include "test_follow_ups.moc"
