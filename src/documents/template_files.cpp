#include "documents/template_files.h"

#include "common/new_keys.h"
#include "common/profile_file.h"
#include "common/sql.h"
#include "common/texts.h"
#include "documents/report_query.h"
#include "documents/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace torvika {

namespace {

const QString kHeaderSection = QStringLiteral("Text_Header");
const QString kFooterSection = QStringLiteral("Text_Footer");
const QString kDetailSection = QStringLiteral("Text_QRSubDetail1");
const QString kCountsSection = QStringLiteral("Object_Counts");
const QString kOriginalSection = QStringLiteral("Original");
const QString kCounterpartySection = QStringLiteral("Kontragent");
const QString kFixedNumberPrompt = QStringLiteral("Въведете число за изписване с думи");

QString objectSection(int number) {
    return QStringLiteral("Object") + QString::number(number);
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

struct Named {
    const char* text;
    int value;
};

constexpr Named kAlignments[] = {{"taLeftJustify", int(ElementAlignment::Left)},
                                 {"taRightJustify", int(ElementAlignment::Right)},
                                 {"taCenter", int(ElementAlignment::Center)}};
constexpr Named kFrameStyles[] = {{"psSolid", int(FrameStyle::Solid)},
                                  {"psDash", int(FrameStyle::Dash)},
                                  {"psDot", int(FrameStyle::Dot)},
                                  {"psDashDot", int(FrameStyle::DashDot)},
                                  {"psDashDotDot", int(FrameStyle::DashDotDot)},
                                  {"psClear", int(FrameStyle::Clear)},
                                  {"psInsideFrame", int(FrameStyle::InsideFrame)}};

template <size_t N> QString nameOf(const Named (&table)[N], int value) {
    for (const Named& n : table)
        if (n.value == value)
            return QString::fromLatin1(n.text);
    return QString::fromLatin1(table[0].text);
}

template <size_t N> std::optional<int> valueOf(const Named (&table)[N], const QString& text) {
    for (const Named& n : table)
        if (text.trimmed().compare(QLatin1String(n.text), Qt::CaseInsensitive) == 0)
            return n.value;
    return std::nullopt;
}

std::optional<ElementKind> kindOf(const QString& text) {
    for (ElementKind k :
         {ElementKind::DataField, ElementKind::Label, ElementKind::SystemData, ElementKind::Image})
        if (text.trimmed().compare(elementKindName(k), Qt::CaseInsensitive) == 0)
            return k;
    return std::nullopt;
}

std::optional<ReportBand> bandOf(const QString& text) {
    for (ReportBand b : {ReportBand::Header, ReportBand::Detail, ReportBand::Footer})
        if (text.trimmed().compare(bandParentName(b), Qt::CaseInsensitive) == 0)
            return b;
    return std::nullopt;
}

// The bounds of what a template may hold: a damaged file (a count of two
// billion, a font of a million points) prints within them.
constexpr int kMaxBandHeight = 20000;
constexpr int kMaxPosition = 20000;
constexpr int kMaxFontSize = 400;
constexpr int kMaxFrameWidth = 50;
// The largest template file read: templates are a few kilobytes, band
// texts with pictures a few megabytes.
constexpr qint64 kMaxTemplateFileSize = 64 * 1024 * 1024;

std::optional<int> integerOf(const ProfileIndex& data, const QString& section, const QString& key) {
    if (!data.hasKey(section, key))
        return std::nullopt;
    bool ok = false;
    const int v = data.value(section, key, QString()).trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// Reads an element's keys over the element as it stands.
void readElement(const ProfileIndex& data, const QString& s, ReportElement& e) {
    auto integer = [&](const char* key, int& target, int low, int high) {
        if (auto v = integerOf(data, s, QString::fromLatin1(key)))
            target = std::clamp(*v, low, high);
    };
    auto boolean = [&](const char* key, bool& target) {
        if (auto v = integerOf(data, s, QString::fromLatin1(key)))
            target = *v == 1;
    };
    int left = e.geometry.left(), top = e.geometry.top(), width = e.geometry.width(),
        height = e.geometry.height();
    integer("Left", left, -kMaxPosition, kMaxPosition);
    integer("Top", top, -kMaxPosition, kMaxPosition);
    integer("Width", width, 0, kMaxPosition);
    integer("Height", height, 0, kMaxPosition);
    e.geometry = QRect(left, top, width, height);
    e.autoSize = data.value(s, QStringLiteral("AutoSize"), QString()).trimmed() == QLatin1String("True");
    if (auto a = valueOf(kAlignments, data.value(s, QStringLiteral("Alignment"), QString())))
        e.alignment = ElementAlignment(*a);
    boolean("Frame.DrawLeft", e.frame.left);
    boolean("Frame.DrawRight", e.frame.right);
    boolean("Frame.DrawTop", e.frame.top);
    boolean("Frame.DrawBottom", e.frame.bottom);
    if (auto st = valueOf(kFrameStyles, data.value(s, QStringLiteral("Frame.Style"), QString())))
        e.frame.style = FrameStyle(*st);
    integer("Frame.Width", e.frame.width, 0, kMaxFrameWidth);
    integer("Font.Size", e.font.size, 1, kMaxFontSize);
    boolean("fsBold", e.font.bold);
    boolean("fsItalic", e.font.italic);
    boolean("fsUnderline", e.font.underline);
    boolean("fsStrikeOut", e.font.strikeOut);
}

} // namespace

QString bandParentName(ReportBand band) {
    switch (band) {
    case ReportBand::Header:
        return QStringLiteral("Form_GeneralForm_Dokumentaciq.GroupHeaderBand1");
    case ReportBand::Detail:
        return QStringLiteral("Form_GeneralForm_Dokumentaciq.QRSubDetail1");
    case ReportBand::Footer:
        return QStringLiteral("Form_GeneralForm_Dokumentaciq.GroupFooterBand1");
    }
    return {};
}

void readPsc(const QByteArray& bytes, ReportTemplate& report) {
    const ProfileIndex data(ProfileData::parse(bytes));
    report.elements.clear();
    auto height = [&](const QString& section, const char* key, ReportBand band) {
        if (auto h = integerOf(data, section, QString::fromLatin1(key)))
            report.setBandHeight(band, std::min(*h, kMaxBandHeight));
    };
    height(kHeaderSection, "Header_Heigth", ReportBand::Header);
    height(kFooterSection, "Footer_Heigth", ReportBand::Footer);
    height(kDetailSection, "QRSubDetail1_Height", ReportBand::Detail);
    // "1" shows the stamp, "0" or nothing hides it, anything else leaves it.
    const QString vis = data.value(kOriginalSection, QStringLiteral("Vis"), QStringLiteral("0")).trimmed();
    if (vis == QLatin1String("1"))
        report.stampEnabled = true;
    else if (vis == QLatin1String("0"))
        report.stampEnabled = false;
    report.needsCounterparty =
        data.value(kCounterpartySection, QStringLiteral("Nujen"), QString()).trimmed() == QLatin1String("1");

    // Max counts the elements, but never more than the file has sections:
    // a damaged count makes no elements out of nothing.
    const qint64 max = std::min<qint64>(integerOf(data, kCountsSection, QStringLiteral("Max")).value_or(0),
                                        data.sectionCount());
    ReportBand band = ReportBand::Detail;
    ElementKind kind = ElementKind::DataField;
    for (int k = 1; k <= max; ++k) {
        const QString s = objectSection(k);
        if (auto b = bandOf(data.value(s, QStringLiteral("Parent"), QString())))
            band = *b;
        if (!data.hasKey(s, QStringLiteral("Type_Object")))
            kind = ElementKind::DataField;
        else if (auto t = kindOf(data.value(s, QStringLiteral("Type_Object"), QString())))
            kind = *t;
        ReportElement e;
        e.kind = kind;
        e.band = band;
        e.name = data.value(s, QStringLiteral("Name"), elementKindName(kind) + QString::number(k));
        if (kind != ElementKind::DataField)
            e.geometry.setWidth(10);
        const int code = integerOf(data, s, QStringLiteral("Data")).value_or(0);
        switch (kind) {
        case ElementKind::DataField:
            e.dataSet = data.value(s, QStringLiteral("DataSet"), QString());
            e.dataField = data.value(s, QStringLiteral("DataField"), QString());
            break;
        case ElementKind::Label:
            e.code = code;
            e.caption = code == kLabelFreeText || code == kLabelNumberWords
                            ? data.value(s, QStringLiteral("Caption"), QString())
                            : labelKindItem(code);
            break;
        case ElementKind::SystemData:
            e.code = code >= kSysDate && code <= kSysTime ? code : kSysTime;
            break;
        case ElementKind::Image:
            e.picture = data.value(s, QStringLiteral("Picture"), QString());
            break;
        }
        readElement(data, s, e);
        report.elements.append(e);
    }
}

QByteArray writePsc(const QByteArray& earlier, const ReportTemplate& report, const QString& headerFile,
                    const QString& footerFile) {
    ProfileData data = ProfileData::parse(earlier);
    auto set = [&data](const QString& section, const char* key, const QString& value) {
        data.setValue(section, QString::fromLatin1(key), value);
    };
    set(kHeaderSection, "Header_Heigth", QString::number(report.headerHeight));
    set(kFooterSection, "Footer_Heigth", QString::number(report.footerHeight));
    set(kDetailSection, "QRSubDetail1_Height", QString::number(report.detailHeight));
    set(kHeaderSection, "NameOfFile", headerFile);
    set(kFooterSection, "NameOfFile", footerFile);
    for (int i = 0; i < report.elements.size(); ++i) {
        const ReportElement& e = report.elements[i];
        const QString s = objectSection(i + 1);
        // The section keeps its place in the file but nothing of what it held.
        for (const QString& key : data.keys(s))
            data.removeKey(s, key);
        set(s, "Type_Object", elementKindName(e.kind));
        set(s, "Name", e.name);
        set(s, "Parent", bandParentName(e.band));
        if (e.kind == ElementKind::DataField) {
            set(s, "DataSet", e.dataSet);
            set(s, "DataField", e.dataField);
        } else if (e.kind == ElementKind::Label) {
            // Every label keeps its code, also one of no known kind: left
            // out, it would read back as the amount without VAT.
            set(s, "Data", QString::number(e.code));
            if (e.code == kLabelFreeText)
                set(s, "Caption", e.caption);
            else if (e.code == kLabelNumberWords)
                set(s, "Caption", kFixedNumberPrompt);
        } else if (e.kind == ElementKind::SystemData) {
            set(s, "Data", QString::number(e.code));
        } else if (e.kind == ElementKind::Image) {
            set(s, "Picture", e.picture);
        }
        set(s, "Height", QString::number(e.geometry.height()));
        set(s, "Width", QString::number(e.geometry.width()));
        set(s, "Left", QString::number(e.geometry.left()));
        set(s, "Top", QString::number(e.geometry.top()));
        set(s, "AutoSize", e.autoSize ? QStringLiteral("True") : QStringLiteral("False"));
        set(s, "Alignment", nameOf(kAlignments, int(e.alignment)));
        set(s, "Frame.DrawLeft", flag(e.frame.left));
        set(s, "Frame.DrawRight", flag(e.frame.right));
        set(s, "Frame.DrawTop", flag(e.frame.top));
        set(s, "Frame.DrawBottom", flag(e.frame.bottom));
        set(s, "Frame.Style", nameOf(kFrameStyles, int(e.frame.style)));
        set(s, "Frame.Width", QString::number(e.frame.width));
        set(s, "Font.Size", QString::number(e.font.size));
        set(s, "fsBold", flag(e.font.bold));
        set(s, "fsItalic", flag(e.font.italic));
        set(s, "fsUnderline", flag(e.font.underline));
        set(s, "fsStrikeOut", flag(e.font.strikeOut));
    }
    set(kCountsSection, "Max", QString::number(report.elements.size()));
    return data.toBytes();
}

QString templatePath(const QString& dir, const QString& name, const char* extension) {
    return QDir(dir).filePath(name + QLatin1String(extension));
}

bool isValidTemplateName(const QString& name) {
    if (name.trimmed().isEmpty() || name.contains(QStringLiteral("..")))
        return false;
    for (QChar c : QStringLiteral("\\/:*?\"<>|"))
        if (name.contains(c))
            return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 32; });
}

namespace {

std::optional<QByteArray> readTemplateFile(const QString& path) {
    if (QFileInfo(path).size() > kMaxTemplateFileSize)
        throw EDocumentError(texts::kTemplateFileTooLarge.arg(QDir::toNativeSeparators(path)));
    try {
        return readFileIfExists(path);
    } catch (const EInOutError& e) {
        throw EDocumentError(e.message());
    }
}

void writeTemplateFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(QDir::toNativeSeparators(path), f.errorString()));
}

} // namespace

ReportTemplate LOAD_SELECTED_FILE_PRINT(const QString& dir, const QString& name, QStringList* warnings) {
    if (!isValidTemplateName(name))
        throw EDocumentError(texts::kBadTemplateName.arg(name));
    ReportTemplate report;
    report.name = name;
    if (auto psc = readTemplateFile(templatePath(dir, name, ".psc")))
        readPsc(*psc, report);
    for (auto [ext, target] :
         {std::pair{".hdr", &report.headerText}, std::pair{".ftr", &report.footerText}}) {
        const QString path = templatePath(dir, name, ext);
        if (auto text = readTemplateFile(path))
            *target = *text;
        else if (warnings)
            warnings->append(texts::kMissingBandText.arg(QDir::toNativeSeparators(path)));
    }
    return report;
}

QString placesText(const DocumentPlaces& places) {
    return (places.shop ? texts::kPlaceShop : QString()) + QStringLiteral(" ,") +
           (places.service ? texts::kPlaceService : QString()) + QStringLiteral(" ,") +
           (places.fiscalService ? texts::kPlaceFiscalService : QString());
}

QStringList unjoinedTables(const ReportTemplate& report) {
    QStringList out;
    for (const QString& t : report.tables())
        if (!isJoinedTable(tableOfDataSet(t)))
            out.append(t);
    return out;
}

TemplateSaveResult saveTemplate(const QSqlDatabase& db, const QString& dir, const ReportTemplate& report,
                                const DocumentPlaces& places, const QString& formattedNumber) {
    if (!isValidTemplateName(report.name))
        throw EDocumentError(texts::kBadTemplateName.arg(report.name));
    QDir().mkpath(dir);
    const QString hdr = templatePath(dir, report.name, ".hdr");
    const QString ftr = templatePath(dir, report.name, ".ftr");
    const QString psc = templatePath(dir, report.name, ".psc");
    writeTemplateFile(hdr, report.headerText);
    writeTemplateFile(ftr, report.footerText);
    const QByteArray earlier = readTemplateFile(psc).value_or(QByteArray());
    writeTemplateFile(
        psc, writePsc(earlier, report, QDir::toNativeSeparators(hdr), QDir::toNativeSeparators(ftr)));

    TemplateSaveResult result;
    result.unjoinedTables = unjoinedTables(report);
    // One row per kind: a save of an existing kind changes where it is
    // offered and never its running number.
    Transaction tx(db);
    // Taking the key first makes the writers of Dokumenti wait for each
    // other, so two workstations saving one new kind register it once.
    const qint64 key = nextKey(db, QStringLiteral("Dokumenti"), QStringLiteral("ID_Dokument"));
    execSql(db, QStringLiteral("UPDATE Dokumenti SET Kade_se_izpolzva = ? WHERE Opisanie = ?"),
            {placesText(places), report.name});
    const bool exists =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Dokumenti WHERE Opisanie = ?"), {report.name})
            .toLongLong() > 0;
    if (!exists) {
        execSql(
            db,
            QStringLiteral("INSERT INTO Dokumenti (ID_Dokument, Opisanie, Kade_se_izpolzva, N_Dok, N_Copies) "
                           "VALUES (?, ?, ?, ?, 0)"),
            {key, report.name, placesText(places), formattedNumber});
        result.registered = true;
    }
    tx.commit();
    return result;
}

} // namespace torvika
