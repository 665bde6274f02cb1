#pragma once
#include "shell/session.h"
#include <QMainWindow>
namespace torvika {
class TGeneral_Form : public QMainWindow {
    Q_OBJECT
public:
    explicit TGeneral_Form(Session& session, QWidget* parent = nullptr);
    bool start();
private:
    Session& session_;
};
} // namespace torvika
