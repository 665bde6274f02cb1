// Exceptions that reach the event loop are logged, one line each, and the
// program goes on.

#include "common/errors.h"
#include "common/exception_log.h"
#include "common/ui/messages.h"
#include "shell/ui/application.h"

#include <QDialog>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace torvika;

namespace {
class Thrower : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++handled;
            throw EDatabaseError(QStringLiteral("Таблицата не съществува"));
        }
        if (e->type() == QEvent::User + 1) {
            ++handled;
            throw std::out_of_range("index 7");
        }
        return QObject::event(e);
    }
};
} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void twoExceptionsAppendTwoLines() {
        QTemporaryDir dir;
        const QString log = dir.filePath("Exceptions.log");
        {
            QFile f(log);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier line\r\n");
        }
        QVERIFY(Application::instance());
        setExceptionLog(log);
        Thrower t;
        QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&t, new QEvent(QEvent::Type(QEvent::User + 1)));
        QCoreApplication::processEvents();
        QCOMPARE(t.handled, 2);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n");
        QCOMPARE(lines.size(), 4); // three lines and the empty text after the last CR LF
        QCOMPARE(lines[0], QStringLiteral("earlier line"));
        const QString stamp = R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d:)";
        QVERIFY2(QRegularExpression(stamp + "EDatabaseError: !Таблицата не съществува!$")
                     .match(lines[1])
                     .hasMatch(),
                 qPrintable(lines[1]));
        QVERIFY2(QRegularExpression(stamp + "std::out_of_range: !index 7!$").match(lines[2]).hasMatch(),
                 qPrintable(lines[2]));
        QCOMPARE(lines[3], QString());
    }

    // Message boxes are titled with the application title; window titles
    // stay as the windows set them.
    void messageBoxTitle() {
        QString title;
        QTimer::singleShot(0, [&title] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                box->done(0);
            }
        });
        DialogMessages().message(QStringLiteral("Невалидни данни"));
        QCOMPARE(title, QStringLiteral("ТОРВИКА"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    // Qt's own texts, such as the buttons of the program's questions, are
    // Bulgarian.
    void qtTextsInBulgarian() {
        const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(translations + "/qtbase_bg.qm"))
            QSKIP(qPrintable("Qt's Bulgarian translation is not installed in " + translations +
                             " (Debian package qt6-translations-l10n)"));
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                    if (QAbstractButton* button = box->button(b))
                        buttons << button->text().remove(u'&');
                box->done(QMessageBox::Cancel);
            }
        });
        DialogMessages().question(QStringLiteral("Желаете ли да продължите?"), true);
        QCOMPARE(buttons, (QStringList{"Да", "Не", "Отказ"}));
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_application.moc"
