#include "shell/session.h"

#include "common/exception_log.h"
#include "common/texts.h"

namespace torvika {

Session::Session(const ProgramDir& dir, QObject* parent)
    : QObject(parent), programDir(dir), workspace(dir), settings_(dir.firmDataIni()) {
    setExceptionLog(programDir.exceptionsLog(), [this] { return now(); });
    connect(&workspace, &Workspace::opened, this, [this](const QString& directory) {
        if (directory == databaseDirectory_)
            return;
        databaseDirectory_ = directory;
        emit databaseChanged(directory);
    });
}

Session::~Session() {
    if (exceptionLogPath() == programDir.exceptionsLog())
        setExceptionLog(programDir.exceptionsLog());
}

void Session::setOperator(const QString& name, const QStringList& rights) {
    operatorName_ = name;
    rights_ = rights;
    emit operatorChanged(name);
}

void Session::setActiveWarehouse(int id, const QString& refText) {
    warehouseId_ = id;
    warehouseText_ = refText;
    emit activeWarehouseChanged(id, refText);
}

QString Session::saleCounterparty(const QString& operatorName) const {
    return saleCounterparties_.value(operatorName, texts::kNoCounterpartyChosen);
}

void Session::setSaleCounterparty(const QString& refText) {
    saleCounterparties_[operatorName_] = refText;
    emit saleCounterpartyChanged(operatorName_, refText);
}

} // namespace torvika
