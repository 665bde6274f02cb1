#pragma once
// Drives the modal dialogs that a call opens: each step runs on the next
// modal dialog that appears. A step that fails (a QVERIFY or QCOMPARE inside
// it), a dialog the script does not expect, or a dialog still open a while
// after its step, closes every modal dialog at once, so the call returns and
// the test fails instead of waiting for the CTest time-out.
//
//     test::ModalScript script;
//     script.next<TForm_Kontrakents>([](TForm_Kontrakents* list) { ...; test::click(*list, "BitBtn_Izberi");
//     }); page.openTheList();            // runs the dialog modally QVERIFY(script.finished());   // every
//     step ran, nothing failed

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace torvika::test {

class ModalScript : public QObject {
    Q_OBJECT
public:
    // How long a dialog may stay open after its step has run.
    explicit ModalScript(int patienceMs = 3000);
    ~ModalScript() override;

    void next(std::function<void(QWidget* dialog)> step, const QString& what = {});
    // A step for a dialog of type T (objectName may narrow it further).
    template <typename T> void next(std::function<void(T* dialog)> step) {
        next([step](QWidget* w) {
            T* d = qobject_cast<T*>(w);
            if (!d) {
                failStep(QStringLiteral("the modal window %1 is not a %2")
                             .arg(w->metaObject()->className(), T::staticMetaObject.className()));
                return;
            }
            step(d);
        });
    }

    // Every step ran and nothing went wrong.
    bool finished() const { return steps_.isEmpty() && failure_.isEmpty(); }
    // What went wrong, for QVERIFY2.
    QString failure() const;

    // Called by a step that finds its dialog wrong.
    static void failStep(const QString& why);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();
    void closeAll();

    struct Step {
        std::function<void(QWidget*)> run;
        QString what;
    };
    QList<Step> steps_;
    QTimer timer_;
    // Dialogs whose step has run (or is running: a step may open a further
    // dialog, whose own step then runs inside it).
    QList<QPointer<QWidget>> handled_;
    QList<QWidget*> inStep_;
    QPointer<QWidget> waitingOn_;
    int openFor_ = 0;
    int patience_;
    QString failure_;
};

} // namespace torvika::test
