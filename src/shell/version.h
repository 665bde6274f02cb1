#pragma once
// The program's four-part file version, taken from the build.

#include <QString>

namespace torvika {

struct FileVersion {
    QString major, minor, release, build;
    QString text() const { return major + u'.' + minor + u'.' + release + u'.' + build; }
    // The release is the database version the program expects.
    int releaseNumber() const { return release.toInt(); }
};

const FileVersion& fileVersion();
// The four parts joined by ".": "3.0.24.0".
QString GETFILEVERSION();

// A database version written as text (DBVer/Ver of Firm_Data.ini): a
// decimal integer, blanks around it allowed. Throws EConvertError for any
// other text, the empty one included.
int databaseVersionFromText(const QString& text);

} // namespace torvika
