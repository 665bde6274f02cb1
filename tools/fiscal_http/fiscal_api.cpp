#include "fiscal_http/fiscal_api.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrlQuery>
#include <cmath>
#include <stdexcept>

namespace torvika::fiscal_http {

namespace {

const QStringList kPrintingCalls{QStringLiteral("receipt"),   QStringLiteral("reversalreceipt"),
                                 QStringLiteral("xreport"),   QStringLiteral("zreport"),
                                 QStringLiteral("duplicate"), QStringLiteral("deposit"),
                                 QStringLiteral("withdraw")};
const QStringList kPaymentTypes{
    QStringLiteral("cash"),        QStringLiteral("check"),     QStringLiteral("coupons"),
    QStringLiteral("ext-coupons"), QStringLiteral("packaging"), QStringLiteral("internal-usage"),
    QStringLiteral("damage"),      QStringLiteral("card"),      QStringLiteral("bank"),
    QStringLiteral("reserved1"),   QStringLiteral("reserved2")};
const QStringList kModifiers{QStringLiteral("none"), QStringLiteral("discount-percent"),
                             QStringLiteral("discount-amount"), QStringLiteral("surcharge-percent"),
                             QStringLiteral("surcharge-amount")};
const QStringList kReasons{QStringLiteral("operator-error"), QStringLiteral("refund"),
                           QStringLiteral("tax-base-reduction")};

QJsonObject message(const QString& type, const QString& code, const QString& text) {
    return QJsonObject{
        {QStringLiteral("type"), type}, {QStringLiteral("code"), code}, {QStringLiteral("text"), text}};
}

Reply refused(int status, const QString& code, const QString& text) {
    return Reply{status, QJsonObject{{QStringLiteral("ok"), false},
                                     {QStringLiteral("messages"),
                                      QJsonArray{message(QStringLiteral("error"), code, text)}}}};
}

double money(qint64 cents) {
    return double(cents) / 100.0;
}

QString isoTime(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace

qint64 cents(double amount) {
    return std::llround(amount * 100.0);
}

qint64 itemCents(double quantity, double unitPrice, const QString& modifierType, double modifierValue) {
    const qint64 milli = std::llround(quantity * 1000.0);
    const qint64 price = cents(unitPrice);
    qint64 amount = (milli * price + (milli * price >= 0 ? 500 : -500)) / 1000;
    const auto percentOf = [&amount](double percent) {
        const qint64 hundredths = std::llround(percent * 100.0);
        return (amount * hundredths + 5000) / 10000;
    };
    if (modifierType == u"discount-percent")
        amount -= percentOf(modifierValue);
    else if (modifierType == u"surcharge-percent")
        amount += percentOf(modifierValue);
    else if (modifierType == u"discount-amount")
        amount -= cents(modifierValue);
    else if (modifierType == u"surcharge-amount")
        amount += cents(modifierValue);
    return amount;
}

QJsonObject PrinterInfo::toJson() const {
    QJsonArray payments;
    for (const QString& p : kPaymentTypes)
        payments << p;
    return QJsonObject{{QStringLiteral("uri"), QStringLiteral("stand-in://") + id},
                       {QStringLiteral("serialNumber"), serialNumber},
                       {QStringLiteral("fiscalMemorySerialNumber"), fiscalMemorySerialNumber},
                       {QStringLiteral("manufacturer"), QStringLiteral("TORVIKA")},
                       {QStringLiteral("model"), model},
                       {QStringLiteral("firmwareVersion"), QStringLiteral("1.0")},
                       {QStringLiteral("itemTextMaxLength"), itemTextMaxLength},
                       {QStringLiteral("commentTextMaxLength"), commentTextMaxLength},
                       {QStringLiteral("operatorPasswordMaxLength"), 8},
                       {QStringLiteral("taxIdentificationNumber"), QStringLiteral("000000000")},
                       {QStringLiteral("supportedPaymentTypes"), payments}};
}

FiscalApi::FiscalApi(PrinterInfo printer, QString journal)
    : printer_(std::move(printer)), journal_(std::move(journal)) {
    QFile state(journal_ + QStringLiteral(".state"));
    if (!state.exists())
        return;
    if (!state.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + state.fileName().toStdString());
    const QJsonObject s = QJsonDocument::fromJson(state.readAll()).object();
    lastReceipt_ = s.value(QStringLiteral("lastReceipt")).toInteger();
    lastZReport_ = s.value(QStringLiteral("lastZReport")).toInteger();
    taskCounter_ = s.value(QStringLiteral("taskCounter")).toInteger();
    cashInDrawer_ = s.value(QStringLiteral("cashInDrawer")).toDouble();
    lastReceiptEntry_ = s.value(QStringLiteral("lastReceiptEntry")).toObject();
    const QJsonObject tasks = s.value(QStringLiteral("tasks")).toObject();
    for (auto it = tasks.begin(); it != tasks.end(); ++it)
        tasks_.insert(it.key(), it.value().toObject());
    for (const QJsonValue& v : s.value(QStringLiteral("saleNumbers")).toArray())
        usedSaleNumbers_.insert(v.toString());
}

void FiscalApi::saveState() const {
    QJsonObject tasks;
    for (auto it = tasks_.begin(); it != tasks_.end(); ++it)
        tasks.insert(it.key(), it.value());
    QJsonArray numbers;
    for (const QString& n : usedSaleNumbers_)
        numbers << n;
    const QJsonObject s{{QStringLiteral("lastReceipt"), lastReceipt_},
                        {QStringLiteral("lastZReport"), lastZReport_},
                        {QStringLiteral("taskCounter"), taskCounter_},
                        {QStringLiteral("cashInDrawer"), cashInDrawer_},
                        {QStringLiteral("lastReceiptEntry"), lastReceiptEntry_},
                        {QStringLiteral("tasks"), tasks},
                        {QStringLiteral("saleNumbers"), numbers}};
    QSaveFile f(journal_ + QStringLiteral(".state"));
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(s).toJson(QJsonDocument::Compact)) < 0 ||
        !f.commit())
        throw std::runtime_error("cannot write " + f.fileName().toStdString());
}

void FiscalApi::journal(const QJsonObject& entry) {
    QFile f(journal_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) ||
        f.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n') < 0)
        throw std::runtime_error("cannot write " + journal_.toStdString());
}

QString FiscalApi::newTaskId() {
    ++taskCounter_;
    return QStringLiteral("task-%1").arg(taskCounter_);
}

Reply FiscalApi::printers() const {
    return Reply{200, QJsonObject{{printer_.id, printer_.toJson()}}};
}

Reply FiscalApi::taskInfo(const QString& query) const {
    const QString id = QUrlQuery(query).queryItemValue(QStringLiteral("id"), QUrl::FullyDecoded);
    if (tasks_.contains(id))
        return Reply{200, QJsonObject{{QStringLiteral("taskId"), id},
                                      {QStringLiteral("taskStatus"), QStringLiteral("finished")},
                                      {QStringLiteral("result"), tasks_.value(id)}}};
    if (running_.contains(id))
        return Reply{200, QJsonObject{{QStringLiteral("taskId"), id},
                                      {QStringLiteral("taskStatus"), QStringLiteral("running")}}};
    return Reply{404, QJsonObject{{QStringLiteral("taskId"), id},
                                  {QStringLiteral("taskStatus"), QStringLiteral("unknown")}}};
}

Reply FiscalApi::handle(const QString& method, const QString& path, const QString& query,
                        const QByteArray& body) {
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.value(0) != u"printers")
        return refused(404, QStringLiteral("E404"), QStringLiteral("no such resource"));
    if (method == u"GET") {
        if (parts.size() == 1)
            return printers();
        if (parts.size() == 2 && parts[1] == u"taskinfo")
            return taskInfo(query);
        if (parts[1] != printer_.id)
            return refused(404, QStringLiteral("E404"), QStringLiteral("unknown printer: ") + parts[1]);
        if (parts.size() == 2)
            return Reply{200, printer_.toJson()};
        if (parts.size() == 3 && parts[2] == u"status")
            return Reply{200, QJsonObject{{QStringLiteral("ok"), true},
                                          {QStringLiteral("messages"), QJsonArray()},
                                          {QStringLiteral("deviceDateTime"), isoTime(now())}}};
        return refused(404, QStringLiteral("E404"), QStringLiteral("no such resource"));
    }
    if (method != u"POST")
        return refused(405, QStringLiteral("E405"), QStringLiteral("method not allowed"));
    std::variant<Job, Reply> job = printingJob(path, query, body);
    if (Reply* r = std::get_if<Reply>(&job))
        return *r;
    const Job& j = std::get<Job>(job);
    if (!j.taskId.isEmpty() && hasTask(j.taskId))
        return taskAnswer(j.taskId);
    return print(j);
}

std::variant<FiscalApi::Job, Reply> FiscalApi::printingJob(const QString& path, const QString& query,
                                                           const QByteArray& body) {
    Q_UNUSED(query);
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.size() != 3 || parts[0] != u"printers" || !kPrintingCalls.contains(parts[2]))
        return refused(404, QStringLiteral("E404"), QStringLiteral("no such resource"));
    if (parts[1] != printer_.id)
        return refused(404, QStringLiteral("E404"), QStringLiteral("unknown printer: ") + parts[1]);
    Job job;
    job.printer = parts[1];
    job.kind = parts[2];
    if (!body.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return refused(400, QStringLiteral("E400"), QStringLiteral("the body is no JSON object"));
        job.request = doc.object();
    }
    const QJsonValue task = job.request.value(QStringLiteral("taskId"));
    job.taskId = task.isString()   ? task.toString()
                 : task.isDouble() ? QString::number(task.toInteger())
                                   : QString();
    if (job.request.contains(QStringLiteral("asyncTimeout")))
        job.asyncTimeout = job.request.value(QStringLiteral("asyncTimeout")).toInt(-1);
    return job;
}

Reply FiscalApi::check(const Job& job, QJsonObject& printed) const {
    const QJsonObject& r = job.request;
    const auto error = [](const QString& code, const QString& text) { return refused(200, code, text); };
    if (job.kind == u"deposit" || job.kind == u"withdraw") {
        const double amount = r.value(QStringLiteral("amount")).toDouble(-1);
        if (!r.value(QStringLiteral("amount")).isDouble() || amount <= 0)
            return error(QStringLiteral("E411"), QStringLiteral("amount must be a positive number"));
        if (job.kind == u"withdraw" && cents(amount) > cents(cashInDrawer_))
            return error(QStringLiteral("E412"), QStringLiteral("not enough cash in the drawer"));
        printed.insert(QStringLiteral("amount"), money(cents(amount)));
        return Reply{};
    }
    if (job.kind == u"duplicate") {
        if (lastReceiptEntry_.isEmpty())
            return error(QStringLiteral("E413"), QStringLiteral("no receipt to duplicate"));
        printed.insert(QStringLiteral("original"), lastReceiptEntry_.value(QStringLiteral("receiptNumber")));
        return Reply{};
    }
    if (job.kind == u"xreport" || job.kind == u"zreport")
        return Reply{};

    // A receipt or a reversal receipt.
    static const QRegularExpression unpPattern(QStringLiteral("^[A-Z]{2}[0-9]{6}-[A-Z0-9]{4}-[0-9]{7}$"));
    const QString unp = r.value(QStringLiteral("uniqueSaleNumber")).toString();
    if (!unpPattern.match(unp).hasMatch())
        return error(QStringLiteral("E401"), QStringLiteral("invalid uniqueSaleNumber: ") + unp);
    if (job.kind == u"receipt" && usedSaleNumbers_.contains(unp))
        return error(QStringLiteral("E402"),
                     QStringLiteral("a receipt with this uniqueSaleNumber was printed: ") + unp);
    if (job.kind == u"reversalreceipt") {
        for (const char* key : {"receiptNumber", "receiptDateTime", "fiscalMemorySerialNumber"})
            if (r.value(QLatin1String(key)).toString().trimmed().isEmpty())
                return error(QStringLiteral("E403"),
                             QStringLiteral("the original receipt's %1 is missing").arg(QLatin1String(key)));
        if (!kReasons.contains(r.value(QStringLiteral("reason")).toString()))
            return error(QStringLiteral("E404"), QStringLiteral("invalid reason"));
        if (!QDateTime::fromString(r.value(QStringLiteral("receiptDateTime")).toString(), Qt::ISODate)
                 .isValid())
            return error(QStringLiteral("E403"), QStringLiteral("invalid receiptDateTime"));
    }
    const QJsonArray items = r.value(QStringLiteral("items")).toArray();
    qint64 total = 0;
    int sold = 0;
    QJsonArray printedItems;
    for (const QJsonValue& v : items) {
        const QJsonObject item = v.toObject();
        const QString text = item.value(QStringLiteral("text")).toString();
        if (item.value(QStringLiteral("type")).toString() == u"comment") {
            printedItems << QJsonObject{{QStringLiteral("type"), QStringLiteral("comment")},
                                        {QStringLiteral("text"), text.left(printer_.commentTextMaxLength)}};
            continue;
        }
        const int group = item.value(QStringLiteral("taxGroup")).toInt(0);
        const double quantity = item.value(QStringLiteral("quantity")).toDouble(1);
        const double price = item.value(QStringLiteral("unitPrice")).toDouble(-1);
        const QString modifier =
            item.value(QStringLiteral("priceModifierType")).toString(QStringLiteral("none"));
        const double modifierValue = item.value(QStringLiteral("priceModifierValue")).toDouble(0);
        if (text.trimmed().isEmpty())
            return error(QStringLiteral("E405"), QStringLiteral("an item without text"));
        if (group < 1 || group > 8)
            return error(QStringLiteral("E406"), QStringLiteral("taxGroup must be 1 to 8: ") + text);
        if (!(quantity > 0) || !(price >= 0) || !item.value(QStringLiteral("unitPrice")).isDouble())
            return error(QStringLiteral("E407"), QStringLiteral("invalid quantity or unitPrice: ") + text);
        if (!kModifiers.contains(modifier) || modifierValue < 0)
            return error(QStringLiteral("E408"), QStringLiteral("invalid priceModifierType: ") + text);
        const qint64 amount = itemCents(quantity, price, modifier, modifierValue);
        if (amount < 0)
            return error(QStringLiteral("E407"), QStringLiteral("a negative item amount: ") + text);
        total += amount;
        ++sold;
        QJsonObject p{{QStringLiteral("text"), text.left(printer_.itemTextMaxLength)},
                      {QStringLiteral("quantity"), quantity},
                      {QStringLiteral("unitPrice"), money(cents(price))},
                      {QStringLiteral("taxGroup"), group},
                      {QStringLiteral("amount"), money(amount)}};
        if (modifier != u"none") {
            p.insert(QStringLiteral("priceModifierType"), modifier);
            p.insert(QStringLiteral("priceModifierValue"), modifierValue);
        }
        printedItems << p;
    }
    if (sold == 0)
        return error(QStringLiteral("E405"), QStringLiteral("a receipt without items"));
    QJsonArray payments = r.value(QStringLiteral("payments")).toArray();
    if (payments.isEmpty()) {
        payments << QJsonObject{{QStringLiteral("amount"), money(total)},
                                {QStringLiteral("paymentType"), QStringLiteral("cash")}};
    } else {
        qint64 paid = 0;
        for (const QJsonValue& v : payments) {
            const QJsonObject p = v.toObject();
            if (!kPaymentTypes.contains(
                    p.value(QStringLiteral("paymentType")).toString(QStringLiteral("cash"))))
                return error(QStringLiteral("E409"), QStringLiteral("invalid paymentType"));
            if (!p.value(QStringLiteral("amount")).isDouble() ||
                p.value(QStringLiteral("amount")).toDouble() < 0)
                return error(QStringLiteral("E409"), QStringLiteral("invalid payment amount"));
            paid += cents(p.value(QStringLiteral("amount")).toDouble());
        }
        if (paid != total)
            return error(QStringLiteral("E410"), QStringLiteral("the payments %1 do not equal the total %2")
                                                     .arg(QString::number(money(paid), 'f', 2),
                                                          QString::number(money(total), 'f', 2)));
    }
    printed.insert(QStringLiteral("uniqueSaleNumber"), unp);
    printed.insert(QStringLiteral("operator"), r.value(QStringLiteral("operator")));
    printed.insert(QStringLiteral("items"), printedItems);
    printed.insert(QStringLiteral("payments"), payments);
    printed.insert(QStringLiteral("total"), money(total));
    if (job.kind == u"reversalreceipt")
        for (const char* key : {"receiptNumber", "receiptDateTime", "fiscalMemorySerialNumber", "reason"})
            printed.insert(QStringLiteral("original_") + QLatin1String(key), r.value(QLatin1String(key)));
    return Reply{};
}

Reply FiscalApi::print(const Job& job) {
    QJsonObject printed;
    Reply refusedReply = check(job, printed);
    if (!refusedReply.body.isEmpty()) {
        // A refusal is an answer of the task as well: the same request
        // gives the same answer.
        if (!job.taskId.isEmpty()) {
            running_.remove(job.taskId);
            tasks_.insert(job.taskId, refusedReply.body);
            saveState();
        }
        return refusedReply;
    }
    const QDateTime at = now();
    QJsonObject answer{{QStringLiteral("ok"), true}, {QStringLiteral("messages"), QJsonArray()}};
    printed.insert(QStringLiteral("kind"), job.kind);
    printed.insert(QStringLiteral("printer"), job.printer);
    printed.insert(QStringLiteral("time"), isoTime(at));
    if (!job.taskId.isEmpty())
        printed.insert(QStringLiteral("taskId"), job.taskId);
    if (job.kind == u"receipt" || job.kind == u"reversalreceipt") {
        ++lastReceipt_;
        const QString number = QStringLiteral("%1").arg(lastReceipt_, 7, 10, QChar(u'0'));
        printed.insert(QStringLiteral("receiptNumber"), number);
        printed.insert(QStringLiteral("fiscalMemorySerialNumber"), printer_.fiscalMemorySerialNumber);
        const qint64 total = cents(printed.value(QStringLiteral("total")).toDouble());
        qint64 cash = 0;
        for (const QJsonValue& p : printed.value(QStringLiteral("payments")).toArray())
            if (p.toObject().value(QStringLiteral("paymentType")).toString(QStringLiteral("cash")) == u"cash")
                cash += cents(p.toObject().value(QStringLiteral("amount")).toDouble());
        cashInDrawer_ += money(job.kind == u"receipt" ? cash : -cash);
        answer.insert(QStringLiteral("receiptNumber"), number);
        answer.insert(QStringLiteral("receiptDateTime"), isoTime(at));
        answer.insert(QStringLiteral("receiptAmount"), money(total));
        answer.insert(QStringLiteral("fiscalMemorySerialNumber"), printer_.fiscalMemorySerialNumber);
        if (job.kind == u"receipt") {
            usedSaleNumbers_.insert(printed.value(QStringLiteral("uniqueSaleNumber")).toString());
            lastReceiptEntry_ = printed;
        }
    } else if (job.kind == u"deposit") {
        cashInDrawer_ += printed.value(QStringLiteral("amount")).toDouble();
    } else if (job.kind == u"withdraw") {
        cashInDrawer_ -= printed.value(QStringLiteral("amount")).toDouble();
    } else if (job.kind == u"zreport") {
        ++lastZReport_;
        printed.insert(QStringLiteral("zReportNumber"), lastZReport_);
        answer.insert(QStringLiteral("zReportNumber"), lastZReport_);
    }
    printed.insert(QStringLiteral("cashInDrawer"), cashInDrawer_);
    journal(printed);
    if (!job.taskId.isEmpty()) {
        running_.remove(job.taskId);
        tasks_.insert(job.taskId, answer);
    }
    saveState();
    return Reply{200, answer};
}

} // namespace torvika::fiscal_http
