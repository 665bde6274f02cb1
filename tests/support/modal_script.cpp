#include "support/modal_script.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

namespace torvika::test {

namespace {
constexpr int kTick = 10;
QString& stepFailure() {
    static QString why;
    return why;
}
} // namespace

ModalScript::ModalScript(int patienceMs) : patience_(patienceMs) {
    timer_.setInterval(kTick);
    connect(&timer_, &QTimer::timeout, this, &ModalScript::poll);
    timer_.start();
}

ModalScript::~ModalScript() {
    closeAll();
}

void ModalScript::next(std::function<void(QWidget*)> step, const QString& what) {
    steps_.append({std::move(step), what});
}

void ModalScript::failStep(const QString& why) {
    stepFailure() = why;
    QTest::qFail(qPrintable(why), __FILE__, __LINE__);
}

QString ModalScript::failure() const {
    if (!failure_.isEmpty())
        return failure_;
    if (!steps_.isEmpty())
        return QStringLiteral("%1 modal step(s) never ran").arg(steps_.size());
    return {};
}

void ModalScript::closeAll() {
    // Closes from the innermost dialog out; each exec() returns in turn.
    for (int guard = 0; guard < 20; ++guard) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* d = qobject_cast<QDialog*>(w))
            d->done(QDialog::Rejected);
        else
            w->close();
        if (QApplication::activeModalWidget() == w)
            w->hide();
    }
}

bool ModalScript::eventFilter(QObject* watched, QEvent* event) {
    // A dialog kept for the run and shown again is a new showing.
    if (event->type() == QEvent::Hide)
        handled_.removeIf([watched](const QPointer<QWidget>& h) { return !h || h == watched; });
    return false;
}

void ModalScript::poll() {
    handled_.removeIf([](const QPointer<QWidget>& h) { return !h || !h->isVisible(); });
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || inStep_.contains(w)) {
        waitingOn_ = nullptr;
        openFor_ = 0;
        return;
    }
    if (handled_.contains(w)) {
        // Its step ran and it is still open.
        if (waitingOn_ != w) {
            waitingOn_ = w;
            openFor_ = 0;
        }
        openFor_ += kTick;
        if (openFor_ > patience_) {
            failure_ = QStringLiteral("the modal window %1 stayed open").arg(w->objectName());
            closeAll();
        }
        return;
    }
    handled_.append(w);
    w->installEventFilter(this);
    if (!failure_.isEmpty()) {
        closeAll();
        return;
    }
    if (steps_.isEmpty()) {
        failure_ =
            QStringLiteral("an unexpected modal window: %1 \"%2\"").arg(w->objectName(), w->windowTitle());
        closeAll();
        return;
    }
    const Step step = steps_.takeFirst();
    inStep_.append(w);
    stepFailure().clear();
    {
        // Qt does not fire a timer again while its own timeout runs: a
        // dialog the step opens is watched by a timer of its own.
        QTimer nested;
        nested.setInterval(kTick);
        connect(&nested, &QTimer::timeout, this, &ModalScript::poll);
        nested.start();
        step.run(w);
    }
    inStep_.removeOne(w);
    if (QTest::currentTestFailed() || !stepFailure().isEmpty()) {
        if (failure_.isEmpty())
            failure_ = stepFailure().isEmpty() ? QStringLiteral("a step failed on %1").arg(w->objectName())
                                               : stepFailure();
        closeAll();
    }
}

} // namespace torvika::test
