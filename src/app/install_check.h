#pragma once
// The installation check (torvika --check): the program starts as a user
// would start it, and the login window is answered with the password read
// from standard input, through its own controls. Any other question or
// message during the start ends the check with that text.

#include <QObject>
#include <QString>

class QTimer;

namespace torvika {

class InstallCheck : public QObject {
    Q_OBJECT
public:
    // Starts watching for the login window at once.
    InstallCheck(const QString& password, QObject* parent = nullptr);

private:
    void look();
    [[noreturn]] void fail(const QString& why);

    QString password_;
    QTimer* timer_;
    int looks_ = 0;
    bool answered_ = false;
};

// The first line of standard input, without its line end.
QString readPasswordLine();

} // namespace torvika
