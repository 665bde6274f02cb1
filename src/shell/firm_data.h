#pragma once
// Firm_Data.ini, the configuration of one installation, as typed settings.
// Every key the program reads or the settings dialog writes is one row of
// the table below: its constant, its type, its section and key, the default
// its readers use when the file lacks it, the value the settings dialog
// shows then, and the dialog's caption. Code reads and writes a setting
// through its constant (settings.get(setting::kPointOfSaleMode)), so a
// misspelled setting does not build, and a change the program makes is the
// signal Settings::changed.
//
// The file keeps the semantics of a Windows profile file (common/profile_file.h):
// each read opens it anew, so a change made by hand shows at the next read;
// several values are written in one atomic save; a file that exists but
// cannot be read is an error, never an empty file to write over. The
// per-operator shortcut sections, whose names are the operators', are read
// through load().

#include "common/profile_file.h"

#include <QDate>
#include <QHashFunctions>
#include <QObject>
#include <optional>
#include <span>
#include <utility>

namespace torvika {

// X(constant, type, section, key, readers' default, the settings dialog's
//   default (nullptr: the readers'), caption in the settings dialog).
// Defaults are written as they are stored: booleans "0" and "1".
// clang-format off
#define TORVIKA_SETTINGS(X) \
    X(CompanyName, Text, u"Firm_Data", u"Name", u"", nullptr, u"Име") \
    X(CompanyEik, Text, u"Firm_Data", u"EIK", u"", nullptr, u"Индент. код") \
    X(CompanyManager, Text, u"Firm_Data", u"Mol", u"", nullptr, u"МОЛ") \
    X(CompanyAddress, Text, u"Firm_Data", u"Adress", u"", nullptr, u"Адрес") \
    X(CompanyPhone, Text, u"Firm_Data", u"Phone", u"", nullptr, u"Телефон") \
    X(CompanyIban, Text, u"Firm_Data", u"IBAN", u"", nullptr, u"IBAN") \
    X(CompanyBic, Text, u"Firm_Data", u"BIC", u"", nullptr, u"BIC") \
    X(CompanyBank, Text, u"Firm_Data", u"Bank", u"", nullptr, u"Банка") \
    X(VatIban, Text, u"Firm_Data", u"IBAN_DDS", u"", nullptr, u"IBAN") \
    X(VatBic, Text, u"Firm_Data", u"BIC_DDS", u"", nullptr, u"BIC") \
    X(VatBank, Text, u"Firm_Data", u"Bank_DDS", u"", nullptr, u"Банка") \
    X(VatPhone, Text, u"Firm_Data", u"Phone_DDS", u"", nullptr, u"Телефон") \
    X(VatPercent, Text, u"Firm_Data", u"DDS", u"0", u"20", u"Стойност на  ДДС") \
    X(ServicePhone, Text, u"Firm_Data", u"Phone_Ser", u"", nullptr, u"Телефон") \
    X(AuthorizeAfterSale, Boolean, u"Tuning", u"1", u"0", nullptr, u"Изисква оторизация след продажба") \
    X(CloseOtherOperatorsBills, Boolean, u"Tuning", u"2", u"0", nullptr, u"Операторът може да приключва сметки на други оператори") \
    X(WarnExpiringGoods, Boolean, u"Tuning", u"3", u"0", nullptr, u"Предупреди за стоки с изтичаща трайност ") \
    X(AutoOrderBelowMinimum, Boolean, u"Tuning", u"4", u"0", nullptr, u"Автоматично изготвяне на заявки при продажба под минималното количество") \
    X(StaleGoodsLossOnDelivery, Boolean, u"Tuning", u"5", u"0", nullptr, u"При Доставка изчисли загуба от застояла стока") \
    X(NoCreditToDebtors, Boolean, u"Tuning", u"6", u"0", nullptr, u"Забрана за консигнация/кредит на клиент с неплатени вноски") \
    X(WatchLateInstalments, Boolean, u"Tuning", u"7", u"0", nullptr, u"Следи за закъснели с вноските клиенти") \
    X(WatchSalesToDebtors, Boolean, u"Tuning", u"8", u"0", nullptr, u"Следи за продажба на клиенти неплатили вноски") \
    X(FixedReceiptNameLength, Boolean, u"Tuning", u"10", u"0", nullptr, u"Фиксирана дължина на касово име до ") \
    X(FixedLabelNameLength, Boolean, u"Tuning", u"11", u"0", nullptr, u"Фиксирана дължина на етикетно име до") \
    X(ReplaceOnImport, Boolean, u"Tuning", u"12", u"0", nullptr, u"Замени старите данни при Импорт") \
    X(ShutdownAtExit, Boolean, u"Tuning", u"13", u"0", nullptr, u"Изключи компютъра при изход") \
    X(WarrantyPeriodAtSale, Boolean, u"Tuning", u"14", u"0", nullptr, u"При продажба въвеждай стойност на Трайност за гаранционни продукти ") \
    X(ContractNumberDigits, Integer, u"Tuning", u"15", u"10", nullptr, u"Брой на цифрите в номера на договора ") \
    X(ContractNumberPrefix, Boolean, u"Tuning", u"16", u"0", nullptr, u"Използвай 10 цифрен префикс в номера на договора") \
    X(ContractNumberWithDate, Boolean, u"Tuning", u"17", u"0", nullptr, u"В номера на договора се съдържа и дата на издаване") \
    X(ContractNumberPerDay, Boolean, u"Tuning", u"18", u"0", nullptr, u"Номер на договор се генерира от дата и пореден номер за деня") \
    X(ReceiptDirectory, Text, u"Tuning", u"19", u"C:\\Temp", nullptr, u"Път към фискален бон") \
    X(PointOfSaleMode, Boolean, u"Tuning", u"20", u"0", u"1", u"Използвай като пос устройство") \
    X(ReceiptCopiesOn, Boolean, u"Tuning", u"21", u"0", nullptr, u"Брой копия на разпечатваният бон") \
    X(ReceiptCopies, Integer, u"Tuning", u"22", u"0", nullptr, u"") \
    X(DepartmentTickets, Boolean, u"Tuning", u"23", u"0", nullptr, u"Печат на бележка за всеки отдел за приготвяне") \
    X(FiscalDeviceType, Text, u"Tuning", u"24", u"0", nullptr, u"Тип на фискално устройство") \
    X(LoginOnPageSwitch, Boolean, u"Tuning", u"25", u"0", nullptr, u"При смяна на работен режим изисква оторизация") \
    X(PreviewDocuments, Boolean, u"Tuning", u"26", u"0", nullptr, u"Преглед на документ преди печат") \
    X(SellEverything, Boolean, u"Tuning", u"27", u"0", nullptr, u"При продажба продавай всичко") \
    X(ShowCurrencyRates, Boolean, u"Tuning", u"ShowRates", u"1", nullptr, u"Показвай курсовете на валутите на екран") \
    X(RecipeEditAtSale, Boolean, u"Tuning", u"RecipeEditAtSale", u"0", nullptr, u"Редакция на Рецепта,Разпад и Пройзводство при продажба") \
    X(ShowProductionElements, Boolean, u"Tuning", u"ShowProductionElements", u"1", nullptr, u"Показвай елементите от Пройзводство") \
    X(FiscalServicePage, Boolean, u"Tuning", u"FiscalServicePage", u"0", nullptr, u"Показвай страницата ФИСКАЛЕН СЕРВИЗ") \
    X(DualPricesUntil, Text, u"Tuning", u"DualPricesUntil", u"2026-12-31", nullptr, u"Суми в евро и в лева до дата (ГГГГ-ММ-ДД, празно: само в основната валута)") \
    X(SaleReceipt, Integer, u"Tuning", u"FB", u"0", nullptr, u"Разпечатваният бон при продажба е :") \
    X(ContractDateFormat, Text, u"Tuning", u"FormatDate", u"ddmmyyyy", nullptr, u"Формат на дата в договора") \
    X(FiscalDeviceNumber, Text, u"Fiscal", u"DeviceNumber", u"", nullptr, u"Индивидуален номер на фискалното устройство (за УНП)") \
    X(FiscalHttpOutput, Boolean, u"Fiscal", u"HttpOutput", u"0", nullptr, u"Касовите бонове се печатат през HTTP фискален сървър (вместо файлове с команди)") \
    X(FiscalServerAddress, Text, u"Fiscal", u"ServerAddress", u"http://127.0.0.1:8001", nullptr, u"Адрес на фискалния сървър") \
    X(FiscalPrinterId, Text, u"Fiscal", u"PrinterId", u"", nullptr, u"Принтер (id) във фискалния сървър") \
    X(FiscalOperator, Text, u"Fiscal", u"Operator", u"1", nullptr, u"Оператор на фискалното устройство") \
    X(FiscalOperatorPassword, Text, u"Fiscal", u"OperatorPassword", u"1", nullptr, u"Парола на оператора на фискалното устройство") \
    X(AmountDecimals, Integer, u"Values", u"9", u"2", u"4", u"Закръгли до ") \
    X(ReceiptNameLength, Integer, u"Values", u"10", u"0", u"20", u"") \
    X(LabelNameLength, Integer, u"Values", u"11", u"0", u"20", u"") \
    X(MessagesListen, Boolean, u"Messages", u"Listen", u"1", nullptr, u"Приемай съобщения от други работни места") \
    X(MessagesPort, Integer, u"Messages", u"Port", u"1024", nullptr, u"Порт за съобщения") \
    X(MessagesAllowed, Text, u"Messages", u"Allowed", u"", nullptr, u"Приемай само от адреси (празно: от локалната мрежа)") \
    X(DatabaseVersion, Text, u"DBVer", u"Ver", u"0", nullptr, u"") \
    X(DatabaseVersionDate, Text, u"DBVer", u"Date", u"0", nullptr, u"") \
    X(DatabasePath, Text, u"DBVer", u"DBPath", u"", nullptr, u"") \
    X(Terminal, Integer, u"DBVer", u"Term", u"1", nullptr, u"Терминал N:") \
    X(ActiveWarehouse, Integer, u"Store", u"Active", u"0", nullptr, u"") \
    X(LastOperator, Text, u"Store", u"ActiveOper", u"", nullptr, u"") \
    X(LastWorkingDate, Text, u"TIME", u"Last", u"", nullptr, u"")

// One value per setting, in the order of the table.
enum class SettingId : int {
#define TORVIKA_SETTING_ID(name, type, section, key, def, dialogDef, caption) name,
    TORVIKA_SETTINGS(TORVIKA_SETTING_ID)
#undef TORVIKA_SETTING_ID
};
// clang-format on

inline size_t qHash(SettingId id, size_t seed = 0) {
    return ::qHash(int(id), seed);
}

enum class SettingType { Text, Integer, Boolean };

// A setting of the type its values have: QString, int or bool.
template <typename T> struct Setting { SettingId id; };

namespace setting {
// clang-format off
#define TORVIKA_SETTING_TYPE_Text QString
#define TORVIKA_SETTING_TYPE_Integer int
#define TORVIKA_SETTING_TYPE_Boolean bool
#define TORVIKA_SETTING_CONSTANT(name, type, section, key, def, dialogDef, caption) \
    inline constexpr Setting<TORVIKA_SETTING_TYPE_##type> k##name{SettingId::name};
TORVIKA_SETTINGS(TORVIKA_SETTING_CONSTANT)
#undef TORVIKA_SETTING_CONSTANT
// clang-format on
} // namespace setting

// A row of the table.
struct SettingSpec {
    SettingId id;
    const char16_t* name; // the constant's name without its "k"
    SettingType type;
    const char16_t* section;
    const char16_t* key;
    const char16_t* defaultValue;  // what readers take for a missing key
    const char16_t* dialogDefault; // what the settings dialog shows for a missing key
    const char16_t* caption;       // the settings dialog's text, empty where there is none
};

class Settings : public QObject {
    Q_OBJECT
public:
    explicit Settings(QString path, ProfileFile::Reader reader = readFileIfExists, QObject* parent = nullptr);

    const QString& path() const { return file_.path(); }

    // The table, in order; the row of a setting.
    static std::span<const SettingSpec> table();
    static const SettingSpec& definition(SettingId id);
    // The setting stored under the section and key (matched without regard
    // to case). Throws std::logic_error for a key that is no setting.
    static SettingId find(const QString& section, const QString& key);

    // The stored value; the readers' default when the file lacks the key.
    // A stored integer that is not one gives the default; a boolean is true
    // when its integer is not zero. Throws EInOutError when the file is
    // there but cannot be read.
    QString get(Setting<QString> s) const;
    int get(Setting<int> s) const;
    bool get(Setting<bool> s) const;
    // The stored text of any setting, or def when the file lacks it.
    QString text(SettingId id, const QString& def) const;
    bool has(SettingId id) const;

    // Several values written with one save of the file.
    class Changes {
    public:
        Changes& set(Setting<QString> s, const QString& value);
        Changes& set(Setting<int> s, int value);
        Changes& set(Setting<bool> s, bool value);
        // Stores the text of any setting as it is (the settings dialog).
        Changes& setText(SettingId id, const QString& value);
        Changes& remove(SettingId id);
        bool isEmpty() const { return values_.isEmpty(); }

    private:
        friend class Settings;
        QList<std::pair<SettingId, std::optional<QString>>> values_;
    };
    // Reads the file, changes it and replaces it in one save; then says
    // changed() for each setting whose value is another now. Throws
    // EInOutError when the file cannot be read or written, and then
    // changes nothing.
    void save(const Changes& changes);
    void set(Setting<QString> s, const QString& value) { save(Changes().set(s, value)); }
    void set(Setting<int> s, int value) { save(Changes().set(s, value)); }
    void set(Setting<bool> s, bool value) { save(Changes().set(s, value)); }
    void remove(SettingId id) { save(Changes().remove(id)); }

    // TIME/Last, the last working date as stored; today's text when missing.
    QString lastWorkingDateText(const QDate& today) const;
    void setLastWorkingDate(const QDate& today);

    // The whole file, for the sections that are not in the table (the
    // per-operator shortcuts).
    ProfileData load() const { return file_.load(); }
    // Writes keys of a section that is not in the table (an operator's
    // shortcuts) in one save. Throws EInOutError.
    void saveSection(const QString& section, const QList<std::pair<QString, QString>>& values);

signals:
    // The program stored another value of the setting.
    void changed(torvika::SettingId id);

private:
    ProfileFile file_;
};

} // namespace torvika
