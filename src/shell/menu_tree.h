#pragma once
// The main menu MainMenu_General as data: its items in the order of the
// menu tree walk (depth first, pre-order). The node number of an item is its
// position in this list plus one; node 0 is the root "Основни менюта". The
// order is the stored format of every operator's rights string.
//
// The tree is the one list of command names: Command has a constant for
// each item (Command::N_Prodajba), so a misspelled command does not build.

#include <QHashFunctions>
#include <QString>
#include <optional>
#include <span>

namespace torvika {

// X(depth, objectName, caption, default shortcut, hidden) for items 1 .. 139;
// depth 0 is a top-level item.
// clang-format off
#define TORVIKA_MENU_TREE(X) \
    X(0, N16, u"Действия", u"", false) /* 1 */ \
    X(1, Enter1, u"Добавяне в списък ", u"", false) /* 2 */ \
    X(1, N39, u"Отвори сметка", u"", false) /* 3 */ \
    X(1, N_Prodajba, u"Продажба", u"Ins", false) /* 4 */ \
    X(1, N_Cancel_Prodajba, u"Откажи", u"Del", false) /* 5 */ \
    X(1, N_Select_All, u"Избери всичко", u"Ctrl+S", false) /* 6 */ \
    X(1, N_Ob6ta_TO, u"Свободна отстъпка", u"F11", false) /* 7 */ \
    X(1, N_Refresh, u"Обнови", u"F12", false) /* 8 */ \
    X(1, N_Dokumenti, u"Печат на документи", u"Ctrl+P", false) /* 9 */ \
    X(1, N_Show_Gre6ni_Danni, u"Покажи всички данни", u"", false) /* 10 */ \
    X(1, N_Select_Kontrag, u"Избор клиенти", u"", true) /* 11 */ \
    X(1, N_Select_artikuli, u"Избор артикули", u"", true) /* 12 */ \
    X(1, N68, u"Копие на последен бон", u"", false) /* 13 */ \
    X(1, N70, u"Издай служебен бон", u"", false) /* 14 */ \
    X(1, N62, u"Отчети", u"", false) /* 15 */ \
    X(2, N_ot4et_bez_Nula, u"Дневен отчет без нулиране", u"", false) /* 16 */ \
    X(2, N_ot4et_s_Nula, u"Дневен отчет с нулиране", u"", false) /* 17 */ \
    X(0, N8, u"Номенклатури", u"", false) /* 18 */ \
    X(1, N_Artikuli, u"Артикули ...", u"", false) /* 19 */ \
    X(1, N_Klienti, u"Контрагенти...", u"Ctrl+K", false) /* 20 */ \
    X(1, N_Karti, u"Клиентски карти", u"Ctrl+C", false) /* 21 */ \
    X(1, N_TO, u"Отстъпки/Надбавки...", u"Ctrl+O", false) /* 22 */ \
    X(1, N_Sklad, u"Складове...", u"", false) /* 23 */ \
    X(1, N6, u"Ценови групи ...", u"", false) /* 24 */ \
    X(1, N_Dokumentacia, u"Документация...", u"Ctrl+D", false) /* 25 */ \
    X(0, N40, u"Операции", u"", false) /* 26 */ \
    X(1, N65, u"Основни", u"", false) /* 27 */ \
    X(2, N_Dostavka, u"Доставки...", u"", false) /* 28 */ \
    X(2, N_Revizia, u"Ревизия...", u"", false) /* 29 */ \
    X(2, N_Brak, u"Брак...", u"", false) /* 30 */ \
    X(2, N_Transfer, u"Трансфер...", u"", false) /* 31 */ \
    X(2, N_Projzvodstvo, u"Пройзводство...", u"", false) /* 32 */ \
    X(2, N7, u"Анулиране", u"", true) /* 33 */ \
    X(3, N_Invalidate_Sales, u"Продажба", u"", false) /* 34 */ \
    X(3, N_Invalidate_Dokuments, u"Документ", u"", false) /* 35 */ \
    X(2, N80, u"Изтриване", u"", true) /* 36 */ \
    X(3, N_Del_Oferta, u"Оферта към клиент", u"", false) /* 37 */ \
    X(3, N_Del_Zaqvka, u"Заявка към доставчик", u"", false) /* 38 */ \
    X(1, N66, u"Помощни", u"", false) /* 39 */ \
    X(2, N_Zada4i, u"Задачи...", u"Ctrl+Z", false) /* 40 */ \
    X(2, N_Zaqvki_All, u"Поръчки...", u"", false) /* 41 */ \
    X(2, N_Oferti, u"Оферти...", u"", false) /* 42 */ \
    X(2, N_Gar_Prod, u"Гаранционни продукти...", u"", false) /* 43 */ \
    X(1, N46, u"Импорт на данни", u"", false) /* 44 */ \
    X(2, N_Import_art, u"Артикули", u"", false) /* 45 */ \
    X(2, N_Import_Kontragents, u"Контрагенти", u"", false) /* 46 */ \
    X(2, N19, u"Документация", u"", true) /* 47 */ \
    X(2, N18, u"Отстъпки/ Надбавки", u"", true) /* 48 */ \
    X(2, N_Import_Garanc_Prod, u"Гаранционни продукти", u"", false) /* 49 */ \
    X(2, N_Imp_Nomenkl_Kontrag, u"Номенклатура на контрагент", u"", false) /* 50 */ \
    X(2, N35, u"Продажби", u"", true) /* 51 */ \
    X(2, N48, u"Доставки", u"", true) /* 52 */ \
    X(1, N37, u"Експорт на данни", u"", false) /* 53 */ \
    X(2, N_Export_art, u"Артикули", u"", false) /* 54 */ \
    X(2, N_Export_Kontrag, u"Контрагенти", u"", false) /* 55 */ \
    X(2, N52, u"Специални отстъпки", u"", true) /* 56 */ \
    X(2, N29, u"Продажби", u"", true) /* 57 */ \
    X(2, N30, u"Доставки", u"", true) /* 58 */ \
    X(2, N47, u"Ревизия", u"", true) /* 59 */ \
    X(2, N49, u"Трансфер", u"", true) /* 60 */ \
    X(2, N51, u"Брак", u"", true) /* 61 */ \
    X(1, N4, u"Плащания към доставчици", u"", true) /* 62 */ \
    X(1, N53, u"Задължения към", u"", true) /* 63 */ \
    X(2, N55, u"Клиенти", u"", false) /* 64 */ \
    X(2, N54, u"Фирмата", u"", true) /* 65 */ \
    X(1, N3, u"Кредитиране", u"", false) /* 66 */ \
    X(2, N5, u"Изплащане вноски", u"", false) /* 67 */ \
    X(0, N1, u"Справки", u"", false) /* 68 */ \
    X(1, N33, u"Операции", u"", false) /* 69 */ \
    X(2, N76, u"Основни", u"", false) /* 70 */ \
    X(3, N_Spravka_Prodajba, u"Продажби", u"", false) /* 71 */ \
    X(3, N_SprDostavka, u"Доставки", u"", false) /* 72 */ \
    X(3, N31, u"Ревизия", u"", false) /* 73 */ \
    X(3, N32, u"Трансфер", u"", false) /* 74 */ \
    X(3, N_Nali4nosti, u"Брак", u"", false) /* 75 */ \
    X(2, N77, u"Помощни", u"", false) /* 76 */ \
    X(3, N78, u"Изпълнени задачи", u"", false) /* 77 */ \
    X(3, N_Izgotveni_Oferti, u"Оферти към клиенти", u"", false) /* 78 */ \
    X(3, N_Izpalneni_Oferti, u"Заявки към доставчици", u"", false) /* 79 */ \
    X(1, N_Spr_Serviz, u"Сервизни", u"", false) /* 80 */ \
    X(2, N_Spr_Izdadeni_Ser, u"Издадени", u"", false) /* 81 */ \
    X(2, N59, u"За ремонт", u"", false) /* 82 */ \
    X(2, N60, u"Оборотни", u"", true) /* 83 */ \
    X(1, N71, u"Фискален сервиз", u"", false) /* 84 */ \
    X(2, N72, u"Устройства и собственици", u"", false) /* 85 */ \
    X(2, N74, u"Устройства в сервиз", u"", false) /* 86 */ \
    X(2, N73, u"Изтекли договори", u"", false) /* 87 */ \
    X(1, N42, u"Анулирани ", u"", false) /* 88 */ \
    X(2, N_Spr_Invalidate_Sales, u"Продажби", u"", false) /* 89 */ \
    X(2, N_Spr_Invalidate_Dokuments, u"Документи", u"", false) /* 90 */ \
    X(1, N_Spr_Nali4nosti_Art, u"Наличност артикули", u"", false) /* 91 */ \
    X(1, N_Garanc_Prod, u"Гаранционни продукти", u"", false) /* 92 */ \
    X(1, N_Spr_Izd_Dok, u"Издадени документи", u"", false) /* 93 */ \
    X(1, N24, u"Застояла стока", u"", true) /* 94 */ \
    X(1, N_Konsignation, u"Задължения", u"", true) /* 95 */ \
    X(1, N_Kasa, u"Каса", u"", true) /* 96 */ \
    X(1, N41, u"Плащания ", u"", true) /* 97 */ \
    X(2, N56, u"Към доставчици", u"", false) /* 98 */ \
    X(2, N57, u"От клиенти", u"", false) /* 99 */ \
    X(1, N_Zarabotki, u"Постъпления", u"", true) /* 100 */ \
    X(2, N26, u"Служители", u"", false) /* 101 */ \
    X(2, N27, u"Клиенти", u"", false) /* 102 */ \
    X(1, N79, u"Собствени справки ...", u"", false) /* 103 */ \
    X(0, N9, u"Настройки", u"", false) /* 104 */ \
    X(1, N10, u"База данни", u"", false) /* 105 */ \
    X(2, N_Open_DataBase, u"Отвори", u"", false) /* 106 */ \
    X(2, N14, u"Архивиране", u"", false) /* 107 */ \
    X(2, N_Update_DB, u"Обновяване на база данни", u"", false) /* 108 */ \
    X(2, N_Nova_Baza, u"Нова база", u"", false) /* 109 */ \
    X(2, N23, u"Нова база с номенклатури", u"", false) /* 110 */ \
    X(1, N_Operatori, u"Достъп оператори", u"", false) /* 111 */ \
    X(1, N21, u"Системни", u"", false) /* 112 */ \
    X(2, N_Valuti, u"Валутни курсове ...", u"", false) /* 113 */ \
    X(2, N25, u"Работни документи ...", u"", false) /* 114 */ \
    X(2, N63, u"Отдели за изготвяне на продукция ...", u"", false) /* 115 */ \
    X(2, N2, u"Изчистване на период ...", u"", false) /* 116 */ \
    X(2, N64, u"Начален номер на документ...", u"", false) /* 117 */ \
    X(2, N82, u"Промоции ...", u"", false) /* 118 */ \
    X(2, N34, u"Бързи бутони...", u"", false) /* 119 */ \
    X(2, N_Masa_And_Places, u"Дизайн на масите...", u"", false) /* 120 */ \
    X(2, N67, u"Създай собствени справки ...", u"", false) /* 121 */ \
    X(2, N_Sistemni_Nastr, u"Системни...", u"", false) /* 122 */ \
    X(2, N_Nastr_SERVICE, u"СЕРВИЗ", u"", false) /* 123 */ \
    X(3, N_Sastoqnie_Remont, u"Състояние при сервиз", u"", false) /* 124 */ \
    X(2, N_Nastr_Fisk_Ser, u"ФИСКАЛЕН СЕРВИЗ", u"", false) /* 125 */ \
    X(3, N_SV_BIM, u"N: на свидетелство на БИМ", u"", false) /* 126 */ \
    X(3, N17, u"Забранени модели", u"", false) /* 127 */ \
    X(0, N_dostap, u"Достъп", u"", true) /* 128 */ \
    X(0, Sklad, u"Помощници", u"", false) /* 129 */ \
    X(1, N_SendMessage, u"Изпрати съобщение...", u"", false) /* 130 */ \
    X(1, Open_Exe, u"Отвори програма...", u"", false) /* 131 */ \
    X(1, N_Calc, u"Калкулатор", u"", false) /* 132 */ \
    X(1, N_Notepad, u"Бележник", u"", false) /* 133 */ \
    X(1, N45, u"Контакти...", u"", true) /* 134 */ \
    X(0, N13, u"Помощ", u"", false) /* 135 */ \
    X(1, N43, u"За програмата", u"", false) /* 136 */ \
    X(1, N_Help, u"Помощ", u"", false) /* 137 */ \
    X(1, N_Send_Reports, u"Изпрати рапорт", u"", false) /* 138 */ \
    X(0, N_Izhod, u"Изход", u"", false) /* 139 */
// The tool buttons whose operation is no menu command's, by the button's
// objectName.
#define TORVIKA_TOOL_COMMANDS(X) \
    X(SpdBtn_Smetka) \
    X(SpdBtn_Kasa)

// A command of the main window: an item of the menu tree, or a tool button
// that has no menu command.
enum class Command : int {
#define TORVIKA_MENU_COMMAND(depth, name, caption, shortcut, hidden) name,
    TORVIKA_MENU_TREE(TORVIKA_MENU_COMMAND)
#undef TORVIKA_MENU_COMMAND
#define TORVIKA_TOOL_COMMAND(name) name,
    TORVIKA_TOOL_COMMANDS(TORVIKA_TOOL_COMMAND)
#undef TORVIKA_TOOL_COMMAND
};
// clang-format on

inline size_t qHash(Command command, size_t seed = 0) {
    return ::qHash(int(command), seed);
}

struct MenuNode {
    int depth; // 0 for a top-level item
    const char16_t* name;
    const char16_t* caption;
    const char16_t* shortcut; // default keyboard shortcut, empty for none
    bool hidden;
};

inline const QString kMenuRootText = QStringLiteral("Основни менюта");

// Items 1 .. 139 of the tree; mainMenuNodes()[n - 1] is node n.
std::span<const MenuNode> mainMenuNodes();
// The number of tree nodes, the root included (140).
int menuTreeNodeCount();
// The node number of an item, -1 when there is none.
int menuNodeNumber(const QString& name);
// The parent's node number (0 for a top-level item; -1 for the root).
int menuParentNode(int node);

// The command's objectName.
QString commandName(Command command);
// The command's node in the menu tree; none for a tool button's own command.
std::optional<int> menuNode(Command command);
// The command of node 1 .. 139.
Command menuCommand(int node);
// Every command, the menu's in tree order first.
std::span<const Command> allCommands();

} // namespace torvika
