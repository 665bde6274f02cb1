#include "shell/firm_data.h"

#include "common/dates.h"

namespace torvika {

QString FirmData::lastWorkingDateText(const QDate& today) const {
    return readString(ini::kTime, QStringLiteral("Last"), shortDate(today));
}

void FirmData::setLastWorkingDate(const QDate& today) {
    writeString(ini::kTime, QStringLiteral("Last"), shortDate(today));
}

const QList<FirmDataKey>& firmDataKeys() {
    using K = FirmDataKey;
    static const QList<FirmDataKey> keys = [] {
        QList<FirmDataKey> k;
        auto text = [&](const QString& s, const QString& key, const QString& def = {},
                        const QString& cap = {}) {
            k.append({s, key, K::Text, def, cap});
        };
        auto boolean = [&](const QString& key, const QString& cap, const QString& def = QStringLiteral("0")) {
            k.append({ini::kTuning, key, K::Boolean, def, cap});
        };
        auto integer = [&](const QString& s, const QString& key, const QString& def,
                           const QString& cap = {}) {
            k.append({s, key, K::Integer, def, cap});
        };
        for (const char* key : {"Name", "EIK", "Mol", "Adress", "Phone", "IBAN", "BIC", "Bank", "IBAN_DDS",
                                "BIC_DDS", "Bank_DDS", "Phone_DDS"})
            text(ini::kFirmData, QString::fromLatin1(key));
        text(ini::kFirmData, QStringLiteral("DDS"), QStringLiteral("0"));
        text(ini::kFirmData, QStringLiteral("Phone_Ser"));
        boolean(QStringLiteral("1"), QStringLiteral("Изисква оторизация след продажба"));
        boolean(QStringLiteral("2"),
                QStringLiteral("Операторът може да приключва сметки на други оператори"));
        boolean(QStringLiteral("3"), QStringLiteral("Предупреди за стоки с изтичаща трайност "));
        boolean(QStringLiteral("4"),
                QStringLiteral("Автоматично изготвяне на заявки при продажба под минималното количество"));
        boolean(QStringLiteral("5"), QStringLiteral("При Доставка изчисли загуба от застояла стока"));
        boolean(QStringLiteral("6"),
                QStringLiteral("Забрана за консигнация/кредит на клиент с неплатени вноски"));
        boolean(QStringLiteral("7"), QStringLiteral("Следи за закъснели с вноските клиенти"));
        boolean(QStringLiteral("8"), QStringLiteral("Следи за продажба на клиенти неплатили вноски"));
        boolean(QStringLiteral("10"), QStringLiteral("Фиксирана дължина на касово име до "));
        boolean(QStringLiteral("11"), QStringLiteral("Фиксирана дължина на етикетно име до"));
        boolean(QStringLiteral("12"), QStringLiteral("Замени старите данни при Импорт"));
        boolean(QStringLiteral("13"), QStringLiteral("Изключи компютъра при изход"));
        boolean(QStringLiteral("14"),
                QStringLiteral("При продажба въвеждай стойност на Трайност за гаранционни продукти "));
        integer(ini::kTuning, QStringLiteral("15"), QStringLiteral("10"),
                QStringLiteral("Брой на цифрите в номера на договора "));
        boolean(QStringLiteral("16"), QStringLiteral("Използвай 10 цифрен префикс в номера на договора"));
        boolean(QStringLiteral("17"), QStringLiteral("В номера на договора се съдържа и дата на издаване"));
        boolean(QStringLiteral("18"),
                QStringLiteral("Номер на договор се генерира от дата и пореден номер за деня"));
        text(ini::kTuning, QStringLiteral("19"), QStringLiteral("C:\\Temp"),
             QStringLiteral("Път към фискален бон"));
        boolean(QStringLiteral("20"), QStringLiteral("Използвай като пос устройство"));
        boolean(QStringLiteral("21"), QStringLiteral("Брой копия на разпечатваният бон"));
        integer(ini::kTuning, QStringLiteral("22"), QStringLiteral("0"));
        boolean(QStringLiteral("23"), QStringLiteral("Печат на бележка за всеки отдел за приготвяне"));
        text(ini::kTuning, QStringLiteral("24"), QStringLiteral("0"));
        boolean(QStringLiteral("25"), QStringLiteral("При смяна на работен режим изисква оторизация"));
        boolean(QStringLiteral("26"), QStringLiteral("Преглед на документ преди печат"));
        boolean(QStringLiteral("27"), QStringLiteral("При продажба продавай всичко"));
        integer(ini::kTuning, QStringLiteral("FB"), QStringLiteral("0"));
        text(ini::kTuning, QStringLiteral("FormatDate"), QStringLiteral("ddmmyyyy"));
        integer(ini::kValues, QStringLiteral("9"), QStringLiteral("2"), QStringLiteral("Закръгли до "));
        integer(ini::kValues, QStringLiteral("10"), QStringLiteral("0"));
        integer(ini::kValues, QStringLiteral("11"), QStringLiteral("0"));
        text(ini::kDBVer, QStringLiteral("Ver"), QStringLiteral("0"));
        text(ini::kDBVer, QStringLiteral("Date"), QStringLiteral("0"));
        text(ini::kDBVer, QStringLiteral("DBPath"));
        integer(ini::kDBVer, QStringLiteral("Term"), QStringLiteral("1"));
        integer(ini::kStore, QStringLiteral("Active"), QStringLiteral("0"));
        text(ini::kStore, QStringLiteral("ActiveOper"));
        text(ini::kTime, QStringLiteral("Last"));
        return k;
    }();
    return keys;
}

} // namespace torvika
