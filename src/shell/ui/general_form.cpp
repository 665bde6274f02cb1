#include "shell/ui/general_form.h"
namespace torvika {
TGeneral_Form::TGeneral_Form(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {}
bool TGeneral_Form::start() { return true; }
} // namespace torvika
