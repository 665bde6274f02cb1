// The template readers against damaged files: a few thousand files made
// from the shipped templates by random changes (bytes changed, cut out or
// repeated, numbers made extreme, keys given junk), each loaded, laid out
// and its first page drawn under a time limit, and saved again as the
// designer saves it. Never a crash, never a hang:
// a read that takes too long ends the test program at once, naming the
// file it was reading (kept in the system's temporary directory).

#include "documents/report_engine.h"
#include "documents/template_design.h"
#include "documents/template_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

using namespace torvika;

namespace {

const QString kShipped = QStringLiteral(TORVIKA_SOURCE_DIR "/documentations");
constexpr auto kTimeLimit = std::chrono::seconds(20);

// Ends the program when a read is not done within the limit.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              while (!quit_) {
                  if (!deadline_) {
                      wake_.wait(lock);
                      continue;
                  }
                  if (wake_.wait_until(lock, *deadline_) == std::cv_status::timeout && deadline_ &&
                      std::chrono::steady_clock::now() >= *deadline_) {
                      std::fprintf(stderr, "FAIL: a template read took longer than %lld s: %s\n",
                                   static_cast<long long>(kTimeLimit.count()), what_.constData());
                      std::fflush(stderr);
                      std::abort();
                  }
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void arm(const QByteArray& what) {
        std::lock_guard lock(mutex_);
        what_ = what;
        deadline_ = std::chrono::steady_clock::now() + kTimeLimit;
        wake_.notify_all();
    }
    void disarm() {
        std::lock_guard lock(mutex_);
        deadline_.reset();
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    QByteArray what_;
    bool quit_ = false;
    std::thread thread_;
};

// What the designer does with a template it opened, damaged or not: every
// element kept inside the page, then saved. The saved file reads back as
// what was saved, and saving that again writes the same file.
void designAndSave(ReportTemplate t) {
    for (int i = 0; i < t.elements.size(); ++i)
        placeElement(t, i, t.elements[i].band, t.elements[i].geometry);
    const QByteArray first = writePsc({}, t, QStringLiteral("T.hdr"), QStringLiteral("T.ftr"));
    ReportTemplate again;
    readPsc(first, again);
    QCOMPARE(again.elements.size(), t.elements.size());
    for (const ReportElement& e : again.elements) {
        QVERIFY(e.geometry.left() >= 0 && e.geometry.right() < kContentWidth);
        QVERIFY(e.geometry.top() >= 0 && e.geometry.width() >= 1 && e.geometry.height() >= 1);
    }
    QCOMPARE(writePsc({}, again, QStringLiteral("T.hdr"), QStringLiteral("T.ftr")), first);
}

// Loads the template "T" from dir, lays it out over three rows and draws
// its first page, as a print does (drawing only when asked: laying out is
// where sizes are measured, drawing takes longer); opened in the designer,
// it is kept on the page and saved again.
void readAndDraw(const QString& dir, bool draw) {
    QStringList warnings;
    ReportTemplate t;
    try {
        t = LOAD_SELECTED_FILE_PRINT(dir, QStringLiteral("T"), &warnings);
    } catch (const EDocumentError&) {
        return; // refused with a message: that is a sound answer
    }
    designAndSave(t);
    ReportData data;
    data.queried = t.hasDataFields();
    for (const ReportElement& e : t.elements)
        if (const int c = data.columnOf(e);
            e.kind == ElementKind::DataField && c < 0 && !e.dataField.isEmpty())
            data.columns << (tableOfDataSet(e.dataSet) + u'.' + e.dataField.trimmed()).toLower();
    for (int r = 0; r < 3 && data.queried; ++r) {
        QVariantList row;
        for (int c = 0; c < data.columns.size(); ++c)
            row << QStringLiteral("Стойност %1 на ред %2 с няколко думи").arg(c).arg(r);
        data.rows << row;
    }
    ReportValues values;
    values.amounts = splitVatByRate({{1, Decimal(20), Decimal(120)}, {2, Decimal(9), Decimal(10)}});
    values.title = QStringLiteral("T");
    values.stamp = QStringLiteral("ОРИГИНАЛ");
    values.number = QStringLiteral("0000000001");
    const ReportLayout layout(t, data, values);
    if (!draw)
        return;
    QImage page(200, 283, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.scale(0.25, 0.25);
    layout.drawPage(p, 0);
}

// One random change of the bytes.
QByteArray mutate(QByteArray b, QRandomGenerator& rnd) {
    static const char* const extremes[] = {
        "2000000000", "-2000000000", "99999999999", "-1", "0", "32767", "65536", "1e9", "", "-", "NaN"};
    if (b.isEmpty())
        b = "[";
    const auto at = [&] { return qsizetype(rnd.bounded(int(b.size()))); };
    switch (rnd.bounded(7)) {
    case 0: // bytes changed
        for (int i = rnd.bounded(1, 9); i > 0; --i)
            b[at()] = char(rnd.bounded(256));
        break;
    case 1: { // a piece cut out
        const qsizetype from = at();
        b.remove(from, rnd.bounded(1, 400));
        break;
    }
    case 2: { // a piece repeated
        const qsizetype from = at();
        const QByteArray piece = b.mid(from, rnd.bounded(1, 400));
        for (int i = rnd.bounded(1, 20); i > 0; --i)
            b.insert(at(), piece);
        break;
    }
    case 3: { // a number made extreme
        static const QRegularExpression digits(QStringLiteral("-?\\d+"));
        const QString text = QString::fromLatin1(b);
        QList<QRegularExpressionMatch> found;
        for (auto it = digits.globalMatch(text); it.hasNext();)
            found << it.next();
        if (found.isEmpty())
            break;
        const QRegularExpressionMatch m = found[rnd.bounded(int(found.size()))];
        b.replace(m.capturedStart(), m.capturedLength(), extremes[rnd.bounded(int(std::size(extremes)))]);
        break;
    }
    case 4: // cut short
        b.truncate(at());
        break;
    case 5: { // braces and brackets, unbalanced
        const char* marks[] = {"{", "}", "[", "]", "\\", "=", "\r\n", "{{{{{{{{", "\\'", "\\u"};
        b.insert(at(), marks[rnd.bounded(int(std::size(marks)))]);
        break;
    }
    default: { // a section's count or an element's key given another value
        const char* lines[] = {"\r\n[Object_Counts]\r\nMax=2000000000\r\n",
                               "\r\n[Object1]\r\nFont.Size=99999\r\n",
                               "\r\nHeader_Heigth=-99999\r\n",
                               "\r\nQRSubDetail1_Height=0\r\n",
                               "\\fs99999 ",
                               "\\li-99999 \\tx99999999 ",
                               "\\sb2000000000 ",
                               "\\uc99999 "};
        b.insert(at(), lines[rnd.bounded(int(std::size(lines)))]);
        break;
    }
    }
    return b;
}

} // namespace

class TemplateFuzzTest : public QObject {
    Q_OBJECT
    Watchdog watchdog_;
    QTemporaryDir dir_;

    void write(const QString& ext, const QByteArray& bytes) {
        QFile f(dir_.filePath(QStringLiteral("T") + ext));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Reads the files written, under the time limit; the file being read
    // stays in the directory named should it hang.
    void read(const QString& what, bool draw = true) {
        watchdog_.arm((what + u' ' + dir_.path()).toLocal8Bit());
        readAndDraw(dir_.path(), draw);
        watchdog_.disarm();
    }

private slots:
    void initTestCase() {
        dir_.setAutoRemove(false);
        QVERIFY(dir_.isValid());
    }
    void cleanupTestCase() { dir_.remove(); }

    // Damage that has been seen: counts of two billion, negative heights,
    // fonts of a million points; loaded at once, every count and size kept
    // within what the file holds and the page allows.
    void damagedTemplate() {
        write(".psc", "[Text_Header]\r\nHeader_Heigth=-50\r\n[Text_Footer]\r\nFooter_Heigth=-2000000000\r\n"
                      "[Text_QRSubDetail1]\r\nQRSubDetail1_Height=2000000000\r\n"
                      "[Object1]\r\nType_Object=TQRLabel\r\nData=2\r\nFont.Size=2000000000\r\nWidth=-5\r\n"
                      "Height=2000000000\r\nLeft=-2000000000\r\nFrame.Width=99999\r\n"
                      "Parent=Form_GeneralForm_Dokumentaciq.QRSubDetail1\r\n"
                      "[Object_Counts]\r\nMax=2000000000\r\n");
        write(".hdr",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\fs2000000 \\li-2000000000 \\sb99999999 Текст\\par}");
        write(".ftr", "{\\rtf1{{{{{{{{{{{{{{{{{{{{\\fs99999 x");
        ReportTemplate t;
        read(QStringLiteral("the damaged template"));
        t = LOAD_SELECTED_FILE_PRINT(dir_.path(), QStringLiteral("T"));
        QCOMPARE(t.headerHeight, 0);
        QCOMPARE(t.footerHeight, 0);
        QVERIFY(t.detailHeight <= 20000);
        QVERIFY(t.elements.size() <= 5); // no more than the file's sections
        const ReportElement& e = t.elements.first();
        QVERIFY(e.font.size <= 400);
        QCOMPARE(e.geometry.width(), 0);
        QVERIFY(e.geometry.height() <= 20000 && e.geometry.left() >= -20000);
        QVERIFY(e.frame.width <= 50);
    }

    // A few thousand damaged copies of the shipped templates' files.
    void mutatedTemplates() {
        const QStringList names{QStringLiteral("Фактура"), QStringLiteral("Стокова разписка"),
                                QStringLiteral("Гаранционна карта")};
        const QStringList extensions{QStringLiteral(".psc"), QStringLiteral(".hdr"), QStringLiteral(".ftr")};
        QHash<QString, QByteArray> shipped;
        for (const QString& n : names)
            for (const QString& ext : extensions) {
                QFile f(kShipped + u'/' + n + ext);
                QVERIFY(f.open(QIODevice::ReadOnly));
                shipped.insert(n + ext, f.readAll());
            }
        QRandomGenerator rnd(17);
        constexpr int kFiles = 2000;
        for (int i = 0; i < kFiles; ++i) {
            const QString& name = names[i % names.size()];
            const QString& damaged = extensions[(i / names.size()) % extensions.size()];
            for (const QString& ext : extensions) {
                QByteArray bytes = shipped.value(name + ext);
                if (ext == damaged)
                    for (int m = rnd.bounded(1, 4); m > 0; --m)
                        bytes = mutate(bytes, rnd);
                write(ext, bytes);
            }
            read(QStringLiteral("file %1 (%2%3)").arg(i).arg(name, damaged), i % 5 == 0);
        }
    }
};

QTEST_MAIN(TemplateFuzzTest)
#include "test_template_fuzz.moc"
