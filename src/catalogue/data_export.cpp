#include "catalogue/data_export.h"

#include "catalogue/texts.h"

namespace torvika {

ExportSource articleExportSource() {
    using V = ExportValue;
    ExportSource source;
    source.fields = {
        {1, QStringLiteral("1: Арт. номер"), V::Number},
        {2, QStringLiteral("2: Каталожен номер"), V::Text},
        {3, QStringLiteral("3: Описание"), V::Text},
        {4, QStringLiteral("4: Ед. цена"), V::Number},
        {5, QStringLiteral("5: Валута"), V::Text},
        {6, QStringLiteral("6: Мярка"), V::Text},
        {7, QStringLiteral("7: Име на група"), V::Text},
        {10, QStringLiteral("10: Доставчик"), V::Number},
        {11, QStringLiteral("11: Минимално количество"), V::Number},
        {12, QStringLiteral("12: Гаранционен"), V::Mark},
        {13, QStringLiteral("13: Поредица"), V::Mark},
        {14, QStringLiteral("14: Данъчна група"), V::Number},
        {15, QStringLiteral("15: Къде се приготвя"), V::Number},
        {16, QStringLiteral("16: Трайност/Гаранция"), V::Text},
        {17, QStringLiteral("17: Максимална отстъпка"), V::Number},
        {18, QStringLiteral("18: Кода за везна"), V::Number},
        {19, QStringLiteral("19: Етикетно име"), V::Text},
        {20, QStringLiteral("20: Касово име"), V::Text},
    };
    source.statement = {
        QStringLiteral(
            "SELECT Produkti.ID, Produkti.Nomenkl_N, Produkti.Opisanie, Produkti.Ed_Cena, "
            "Produkti.Valuta_P, Produkti.Mqrka, Grupi.Opisanie AS Grupa_Name, Produkti.Dostav4ik, "
            "Produkti.Min_Kol, Produkti.Garancionen, Produkti.Poredica, Produkti.Dan_Grup, "
            "Produkti.Prigotvq_Se, Produkti.Trajnost, Produkti.Max_TO, Produkti.Kod_Vezna, "
            "Produkti.Etiketno_Ime, Produkti.Kasovo_Ime, Produkti.ID AS Label_ID, "
            "Produkti.Opisanie AS Label_Name "
            "FROM Produkti LEFT JOIN Grupi ON Grupi.ID = Produkti.Nomer_Grupa\nORDER BY Produkti.ID"),
        {},
        QStringLiteral("Produkti.ID")};
    source.recordLabel = texts::kExportArticleLabel;
    return source;
}

} // namespace torvika
