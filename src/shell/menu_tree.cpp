#include "shell/menu_tree.h"

#include <QHash>
#include <array>

namespace torvika {

namespace {

// clang-format off
constexpr std::array<MenuNode, 139> kNodes = {{
        {0, u"N16", u"Действия", u"", false}, // 1
        {1, u"Enter1", u"Добавяне в списък ", u"", false}, // 2
        {1, u"N39", u"Отвори сметка", u"", false}, // 3
        {1, u"N_Prodajba", u"Продажба", u"Ins", false}, // 4
        {1, u"N_Cancel_Prodajba", u"Откажи", u"Del", false}, // 5
        {1, u"N_Select_All", u"Избери всичко", u"Ctrl+S", false}, // 6
        {1, u"N_Ob6ta_TO", u"Свободна отстъпка", u"F11", false}, // 7
        {1, u"N_Refresh", u"Обнови", u"F12", false}, // 8
        {1, u"N_Dokumenti", u"Печат на документи", u"Ctrl+P", false}, // 9
        {1, u"N_Show_Gre6ni_Danni", u"Покажи всички данни", u"", false}, // 10
        {1, u"N_Select_Kontrag", u"Избор клиенти", u"", true}, // 11
        {1, u"N_Select_artikuli", u"Избор артикули", u"", true}, // 12
        {1, u"N68", u"Копие на последен бон", u"", false}, // 13
        {1, u"N70", u"Издай служебен бон", u"", false}, // 14
        {1, u"N62", u"Отчети", u"", false}, // 15
        {2, u"N_ot4et_bez_Nula", u"Дневен отчет без нулиране", u"", false}, // 16
        {2, u"N_ot4et_s_Nula", u"Дневен отчет с нулиране", u"", false}, // 17
        {0, u"N8", u"Номенклатури", u"", false}, // 18
        {1, u"N_Artikuli", u"Артикули ...", u"", false}, // 19
        {1, u"N_Klienti", u"Контрагенти...", u"Ctrl+K", false}, // 20
        {1, u"N_Karti", u"Клиентски карти", u"Ctrl+C", false}, // 21
        {1, u"N_TO", u"Отстъпки/Надбавки...", u"Ctrl+O", false}, // 22
        {1, u"N_Sklad", u"Складове...", u"", false}, // 23
        {1, u"N6", u"Ценови групи ...", u"", false}, // 24
        {1, u"N_Dokumentacia", u"Документация...", u"Ctrl+D", false}, // 25
        {0, u"N40", u"Операции", u"", false}, // 26
        {1, u"N65", u"Основни", u"", false}, // 27
        {2, u"N_Dostavka", u"Доставки...", u"", false}, // 28
        {2, u"N_Revizia", u"Ревизия...", u"", false}, // 29
        {2, u"N_Brak", u"Брак...", u"", false}, // 30
        {2, u"N_Transfer", u"Трансфер...", u"", false}, // 31
        {2, u"N_Projzvodstvo", u"Пройзводство...", u"", false}, // 32
        {2, u"N7", u"Анулиране", u"", true}, // 33
        {3, u"N_Invalidate_Sales", u"Продажба", u"", false}, // 34
        {3, u"N_Invalidate_Dokuments", u"Документ", u"", false}, // 35
        {2, u"N80", u"Изтриване", u"", true}, // 36
        {3, u"N_Del_Oferta", u"Оферта към клиент", u"", false}, // 37
        {3, u"N_Del_Zaqvka", u"Заявка към доставчик", u"", false}, // 38
        {1, u"N66", u"Помощни", u"", false}, // 39
        {2, u"N_Zada4i", u"Задачи...", u"Ctrl+Z", false}, // 40
        {2, u"N_Zaqvki_All", u"Поръчки...", u"", false}, // 41
        {2, u"N_Oferti", u"Оферти...", u"", false}, // 42
        {2, u"N_Gar_Prod", u"Гаранционни продукти...", u"", false}, // 43
        {1, u"N46", u"Импорт на данни", u"", false}, // 44
        {2, u"N_Import_art", u"Артикули", u"", false}, // 45
        {2, u"N_Import_Kontragents", u"Контрагенти", u"", false}, // 46
        {2, u"N19", u"Документация", u"", true}, // 47
        {2, u"N18", u"Отстъпки/ Надбавки", u"", true}, // 48
        {2, u"N_Import_Garanc_Prod", u"Гаранционни продукти", u"", false}, // 49
        {2, u"N_Imp_Nomenkl_Kontrag", u"Номенклатура на контрагент", u"", false}, // 50
        {2, u"N35", u"Продажби", u"", true}, // 51
        {2, u"N48", u"Доставки", u"", true}, // 52
        {1, u"N37", u"Експорт на данни", u"", false}, // 53
        {2, u"N_Export_art", u"Артикули", u"", false}, // 54
        {2, u"N_Export_Kontrag", u"Контрагенти", u"", false}, // 55
        {2, u"N52", u"Специални отстъпки", u"", true}, // 56
        {2, u"N29", u"Продажби", u"", true}, // 57
        {2, u"N30", u"Доставки", u"", true}, // 58
        {2, u"N47", u"Ревизия", u"", true}, // 59
        {2, u"N49", u"Трансфер", u"", true}, // 60
        {2, u"N51", u"Брак", u"", true}, // 61
        {1, u"N4", u"Плащания към доставчици", u"", true}, // 62
        {1, u"N53", u"Задължения към", u"", true}, // 63
        {2, u"N55", u"Клиенти", u"", false}, // 64
        {2, u"N54", u"Фирмата", u"", true}, // 65
        {1, u"N3", u"Кредитиране", u"", false}, // 66
        {2, u"N5", u"Изплащане вноски", u"", false}, // 67
        {0, u"N1", u"Справки", u"", false}, // 68
        {1, u"N33", u"Операции", u"", false}, // 69
        {2, u"N76", u"Основни", u"", false}, // 70
        {3, u"N_Spravka_Prodajba", u"Продажби", u"", false}, // 71
        {3, u"N_SprDostavka", u"Доставки", u"", false}, // 72
        {3, u"N31", u"Ревизия", u"", false}, // 73
        {3, u"N32", u"Трансфер", u"", false}, // 74
        {3, u"N_Nali4nosti", u"Брак", u"", false}, // 75
        {2, u"N77", u"Помощни", u"", false}, // 76
        {3, u"N78", u"Изпълнени задачи", u"", false}, // 77
        {3, u"N_Izgotveni_Oferti", u"Оферти към клиенти", u"", false}, // 78
        {3, u"N_Izpalneni_Oferti", u"Заявки към доставчици", u"", false}, // 79
        {1, u"N_Spr_Serviz", u"Сервизни", u"", false}, // 80
        {2, u"N_Spr_Izdadeni_Ser", u"Издадени", u"", false}, // 81
        {2, u"N59", u"За ремонт", u"", false}, // 82
        {2, u"N60", u"Оборотни", u"", true}, // 83
        {1, u"N71", u"Фискален сервиз", u"", false}, // 84
        {2, u"N72", u"Устройства и собственици", u"", false}, // 85
        {2, u"N74", u"Устройства в сервиз", u"", false}, // 86
        {2, u"N73", u"Изтекли договори", u"", false}, // 87
        {1, u"N42", u"Анулирани ", u"", false}, // 88
        {2, u"N_Spr_Invalidate_Sales", u"Продажби", u"", false}, // 89
        {2, u"N_Spr_Invalidate_Dokuments", u"Документи", u"", false}, // 90
        {1, u"N_Spr_Nali4nosti_Art", u"Наличност артикули", u"", false}, // 91
        {1, u"N_Garanc_Prod", u"Гаранционни продукти", u"", false}, // 92
        {1, u"N_Spr_Izd_Dok", u"Издадени документи", u"", false}, // 93
        {1, u"N24", u"Застояла стока", u"", true}, // 94
        {1, u"N_Konsignation", u"Задължения", u"", true}, // 95
        {1, u"N_Kasa", u"Каса", u"", true}, // 96
        {1, u"N41", u"Плащания ", u"", true}, // 97
        {2, u"N56", u"Към доставчици", u"", false}, // 98
        {2, u"N57", u"От клиенти", u"", false}, // 99
        {1, u"N_Zarabotki", u"Постъпления", u"", true}, // 100
        {2, u"N26", u"Служители", u"", false}, // 101
        {2, u"N27", u"Клиенти", u"", false}, // 102
        {1, u"N79", u"Собствени справки ...", u"", false}, // 103
        {0, u"N9", u"Настройки", u"", false}, // 104
        {1, u"N10", u"База данни", u"", false}, // 105
        {2, u"N_Open_DataBase", u"Отвори", u"", false}, // 106
        {2, u"N14", u"Архивиране", u"", false}, // 107
        {2, u"N_Update_DB", u"Обновяване на база данни", u"", false}, // 108
        {2, u"N_Nova_Baza", u"Нова база", u"", false}, // 109
        {2, u"N23", u"Нова база с номенклатури", u"", false}, // 110
        {1, u"N_Operatori", u"Достъп оператори", u"", false}, // 111
        {1, u"N21", u"Системни", u"", false}, // 112
        {2, u"N_Valuti", u"Валутни курсове ...", u"", false}, // 113
        {2, u"N25", u"Работни документи ...", u"", false}, // 114
        {2, u"N63", u"Отдели за изготвяне на продукция ...", u"", false}, // 115
        {2, u"N2", u"Изчистване на период ...", u"", false}, // 116
        {2, u"N64", u"Начален номер на документ...", u"", false}, // 117
        {2, u"N82", u"Промоции ...", u"", false}, // 118
        {2, u"N34", u"Бързи бутони...", u"", false}, // 119
        {2, u"N_Masa_And_Places", u"Дизайн на масите...", u"", false}, // 120
        {2, u"N67", u"Създай собствени справки ...", u"", false}, // 121
        {2, u"N_Sistemni_Nastr", u"Системни...", u"", false}, // 122
        {2, u"N_Nastr_SERVICE", u"СЕРВИЗ", u"", false}, // 123
        {3, u"N_Sastoqnie_Remont", u"Състояние при сервиз", u"", false}, // 124
        {2, u"N_Nastr_Fisk_Ser", u"ФИСКАЛЕН СЕРВИЗ", u"", false}, // 125
        {3, u"N_SV_BIM", u"N: на свидетелство на БИМ", u"", false}, // 126
        {3, u"N17", u"Забранени модели", u"", false}, // 127
        {0, u"N_dostap", u"Достъп", u"", true}, // 128
        {0, u"Sklad", u"Помощници", u"", false}, // 129
        {1, u"N_SendMessage", u"Изпрати съобщение...", u"", false}, // 130
        {1, u"Open_Exe", u"Отвори програма...", u"", false}, // 131
        {1, u"N_Calc", u"Калкулатор", u"", false}, // 132
        {1, u"N_Notepad", u"Бележник", u"", false}, // 133
        {1, u"N45", u"Контакти...", u"", true}, // 134
        {0, u"N13", u"Помощ", u"", false}, // 135
        {1, u"N43", u"За програмата", u"", false}, // 136
        {1, u"N_Help", u"Помощ", u"", false}, // 137
        {1, u"N_Send_Reports", u"Изпрати рапорт", u"", false}, // 138
        {0, u"N_Izhod", u"Изход", u"", false}, // 139
}};
// clang-format on

} // namespace

std::span<const MenuNode> mainMenuNodes() {
    return kNodes;
}

int menuTreeNodeCount() {
    return int(kNodes.size()) + 1;
}

int menuNodeNumber(const QString& name) {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (size_t i = 0; i < kNodes.size(); ++i)
            h.insert(QString::fromUtf16(kNodes[i].name), int(i) + 1);
        return h;
    }();
    return index.value(name, -1);
}

int menuParentNode(int node) {
    if (node <= 0 || node > int(kNodes.size()))
        return -1;
    const int depth = kNodes[node - 1].depth;
    for (int n = node - 1; n >= 1; --n)
        if (kNodes[n - 1].depth < depth)
            return n;
    return 0;
}

} // namespace torvika
