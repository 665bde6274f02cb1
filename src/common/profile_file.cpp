#include "common/profile_file.h"

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace torvika {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquote(QString v) {
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

ProfileData ProfileData::parse(const QByteArray& raw) {
    QByteArray bytes = raw;
    bool bom = false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        bom = true;
    }
    ProfileData d = parseText(decodeUtf8OrCp1251(bytes));
    d.bom_ = bom;
    if (!bytes.contains("\r\n") && bytes.contains('\n'))
        d.eol_ = QStringLiteral("\n");
    return d;
}

ProfileData ProfileData::parseText(const QString& text) {
    ProfileData d;
    QString current;
    const QStringList rows = text.split(u'\n');
    for (int i = 0; i < rows.size(); ++i) {
        QString row = rows[i];
        if (row.endsWith(u'\r'))
            row.chop(1);
        // A final line break does not open another line.
        if (i == rows.size() - 1 && row.isEmpty())
            break;
        Line line;
        line.text = row;
        const QString t = row.trimmed();
        if (t.startsWith(u'[')) {
            int close = t.indexOf(u']');
            current = close < 0 ? QString() : t.mid(1, close - 1).trimmed();
            line.section = current;
            line.header = true;
            line.broken = close < 0;
        } else if (!t.startsWith(u';')) {
            int eq = row.indexOf(u'=');
            if (eq > 0 && !row.left(eq).trimmed().isEmpty()) {
                line.key = row.left(eq).trimmed();
                line.value = unquote(row.mid(eq + 1).trimmed());
                line.section = current;
            }
        }
        d.lines_.append(line);
    }
    return d;
}

int ProfileData::sectionLine(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_[i].header && !lines_[i].broken && sameName(lines_[i].section, section))
            return i;
    return -1;
}

int ProfileData::sectionEnd(int header) const {
    int i = header + 1;
    while (i < lines_.size() && !lines_[i].header)
        ++i;
    return i;
}

int ProfileData::keyLine(const QString& section, const QString& key) const {
    int h = sectionLine(section);
    if (h < 0)
        return -1;
    int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i)
        if (!lines_[i].key.isEmpty() && sameName(lines_[i].key, key))
            return i;
    return -1;
}

bool ProfileData::hasKey(const QString& section, const QString& key) const {
    return keyLine(section, key) >= 0;
}

QString ProfileData::value(const QString& section, const QString& key, const QString& def) const {
    int i = keyLine(section, key);
    return i < 0 ? def : lines_[i].value;
}

ProfileIndex::ProfileIndex(const ProfileData& data) {
    // The section whose keys the lines now give; none after a broken header
    // or a later section of a name already seen.
    std::optional<QString> current;
    for (const ProfileData::Line& l : data.lines_) {
        if (l.header) {
            current.reset();
            const QString name = l.section.toCaseFolded();
            if (!l.broken && !sections_.contains(name)) {
                sections_.insert(name, {});
                current = name;
            }
        } else if (current && !l.key.isEmpty()) {
            QHash<QString, QString>& keys = sections_[*current];
            const QString key = l.key.toCaseFolded();
            if (!keys.contains(key))
                keys.insert(key, l.value);
        }
    }
}

bool ProfileIndex::hasSection(const QString& section) const {
    return sections_.contains(section.toCaseFolded());
}

bool ProfileIndex::hasKey(const QString& section, const QString& key) const {
    const auto s = sections_.constFind(section.toCaseFolded());
    return s != sections_.constEnd() && s->contains(key.toCaseFolded());
}

QString ProfileIndex::value(const QString& section, const QString& key, const QString& def) const {
    const auto s = sections_.constFind(section.toCaseFolded());
    if (s == sections_.constEnd())
        return def;
    return s->value(key.toCaseFolded(), def);
}

bool ProfileData::hasSection(const QString& section) const {
    return sectionLine(section) >= 0;
}

QStringList ProfileData::sections() const {
    QStringList out;
    for (const Line& l : lines_)
        if (l.header && !l.broken) {
            bool seen = false;
            for (const QString& s : out)
                seen = seen || sameName(s, l.section);
            if (!seen)
                out.append(l.section);
        }
    return out;
}

QStringList ProfileData::keys(const QString& section) const {
    QStringList out;
    int h = sectionLine(section);
    if (h < 0)
        return out;
    int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i)
        if (!lines_[i].key.isEmpty())
            out.append(lines_[i].key);
    return out;
}

void ProfileData::setValue(const QString& section, const QString& key, const QString& value) {
    Line line;
    line.section = section;
    line.key = key;
    line.value = value;
    int k = keyLine(section, key);
    if (k >= 0) {
        line.key = lines_[k].key;
        line.section = lines_[k].section;
        line.text = line.key + u'=' + value;
        lines_[k] = line;
        return;
    }
    line.text = key + u'=' + value;
    int h = sectionLine(section);
    if (h < 0) {
        Line header;
        header.section = section;
        header.header = true;
        header.text = u'[' + section + u']';
        lines_.append(header);
        lines_.append(line);
        return;
    }
    // After the last non-empty line of the section.
    int pos = sectionEnd(h);
    while (pos - 1 > h && lines_[pos - 1].text.trimmed().isEmpty())
        --pos;
    line.section = lines_[h].section;
    lines_.insert(pos, line);
}

void ProfileData::removeKey(const QString& section, const QString& key) {
    int k = keyLine(section, key);
    if (k >= 0)
        lines_.removeAt(k);
}

void ProfileData::removeSection(const QString& section) {
    int h = sectionLine(section);
    if (h < 0)
        return;
    lines_.remove(h, sectionEnd(h) - h);
}

QByteArray ProfileData::toBytes() const {
    QString text;
    for (const Line& l : lines_) {
        text += l.text;
        text += eol_;
    }
    QByteArray out = text.toUtf8();
    if (bom_)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

std::optional<QByteArray> readFileIfExists(const QString& path) {
    // A dangling link is nothing at the path, like a missing file.
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QFile f(path);
    auto fail = [&] {
        return EInOutError(texts::kFileUnreadable.arg(QDir::toNativeSeparators(path), f.errorString()));
    };
    if (!f.open(QIODevice::ReadOnly))
        throw fail();
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw fail();
    return bytes;
}

ProfileData ProfileFile::load() const {
    const std::optional<QByteArray> bytes = reader_(path_);
    return bytes ? ProfileData::parse(*bytes) : ProfileData();
}

void ProfileFile::save(const ProfileData& data) {
    QSaveFile f(path_);
    // Replaced as a whole where the directory allows it, else written in place.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(data.toBytes()) < 0 || !f.commit())
        throw EInOutError(texts::kFileUnwritable.arg(QDir::toNativeSeparators(path_), f.errorString()));
}

QString ProfileFile::readString(const QString& section, const QString& key, const QString& def) const {
    return load().value(section, key, def);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    int v = readString(section, key, QString()).trimmed().toInt(&ok);
    return ok ? v : def;
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool ProfileFile::hasKey(const QString& section, const QString& key) const {
    return load().hasKey(section, key);
}

bool ProfileFile::sectionExists(const QString& section) const {
    return load().hasSection(section);
}

QStringList ProfileFile::readSections() const {
    return load().sections();
}

QStringList ProfileFile::readSection(const QString& section) const {
    return load().keys(section);
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    ProfileData d = load();
    d.setValue(section, key, value);
    save(d);
}

void ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::deleteKey(const QString& section, const QString& key) {
    ProfileData d = load();
    d.removeKey(section, key);
    save(d);
}

void ProfileFile::update(const std::function<void(ProfileData&)>& change) {
    ProfileData d = load();
    change(d);
    save(d);
}

void ProfileFile::eraseSection(const QString& section) {
    ProfileData d = load();
    d.removeSection(section);
    save(d);
}

} // namespace torvika
