#pragma once
// Firm_Data.ini, the configuration of one installation: its sections, keys
// and the defaults their readers use. Other subsystems read their own keys
// through the same profile file; the names are kept here in one place.

#include "common/profile_file.h"

#include <QDate>

namespace torvika {

namespace ini {
inline const QString kFirmData = QStringLiteral("Firm_Data");
inline const QString kTuning = QStringLiteral("Tuning");
inline const QString kValues = QStringLiteral("Values");
inline const QString kDBVer = QStringLiteral("DBVer");
inline const QString kStore = QStringLiteral("Store");
inline const QString kTime = QStringLiteral("TIME");
} // namespace ini

// One key of Firm_Data.ini with the default its main reader uses.
struct FirmDataKey {
    QString section;
    QString key;
    enum Kind { Text, Integer, Boolean } kind;
    QString defaultValue;
    QString caption; // the settings-dialog text, where there is one
};

// Every key the program uses, in the order of the settings they belong to.
const QList<FirmDataKey>& firmDataKeys();

class FirmData : public ProfileFile {
public:
    using ProfileFile::ProfileFile;

    // TIME/Last, the last working date, as stored (default: today's text).
    QString lastWorkingDateText(const QDate& today) const;
    void setLastWorkingDate(const QDate& today);

    // DBVer
    QString dbVerText() const { return readString(ini::kDBVer, QStringLiteral("Ver"), QStringLiteral("0")); }
    QString dbVerDate() const { return readString(ini::kDBVer, QStringLiteral("Date"), QStringLiteral("0")); }
    void setDbVer(int version) { writeString(ini::kDBVer, QStringLiteral("Ver"), QString::number(version)); }
    void setDbPath(const QString& dir) { writeString(ini::kDBVer, QStringLiteral("DBPath"), dir); }
    int terminal() const { return readInteger(ini::kDBVer, QStringLiteral("Term"), 1); }

    // Store
    int activeStore() const { return readInteger(ini::kStore, QStringLiteral("Active"), 0); }
    QString activeOperator() const { return readString(ini::kStore, QStringLiteral("ActiveOper")); }
    void setActiveOperator(const QString& name) {
        writeString(ini::kStore, QStringLiteral("ActiveOper"), name);
    }

    // Tuning switches read by the shell.
    bool posMode() const { return readBool(ini::kTuning, QStringLiteral("20"), false); }
    bool shutdownAtExit() const { return readBool(ini::kTuning, QStringLiteral("13"), false); }
    bool loginOnPageSwitch() const { return readBool(ini::kTuning, QStringLiteral("25"), false); }

    // Firm_Data/DDS as text (default "0") and Values/"9" (default 2).
    QString vatText() const { return readString(ini::kFirmData, QStringLiteral("DDS"), QStringLiteral("0")); }
    int roundingDecimals() const { return readInteger(ini::kValues, QStringLiteral("9"), 2); }
};

} // namespace torvika
