#pragma once
// FISKAL.SER, the fixed-width file of the devices registered in a period that
// the tax office takes: one record per line, each beginning with its
// two-digit code, texts in Windows-1251, lines ended by CR LF. A text field is
// the text left-justified in its width, padded with blanks or cut to it;
// dates are short dates (dd.MM.yyyy).
//
//   "00" header: 10 blanks, EIK (9), name (50), address (80), service phone
//        (15), service phone again (30), period start (10), end (10), the
//        number of devices (4, zeros in front)                    220 bytes
//   per device, in registration order:
//   "01" 10 blanks, the owner's person's EGN (10), the owner's EIK (9)   31
//   "02" owner's name (50), town (25), address (50), person's name (50) 177
//   "03" site's name (50), town (25), address (50), phone (15)         142
//   "04" tax office's name (25)                                         27
//   "05" model (30), 30 blanks                                          62
//   "06" 240 blanks                                                    242
//   "07" model certificate number (6), its date (10)                    18
//   "08" device number (8), fiscal memory number (8)                    18
//   "09" service centre's name (50), town (25), address (50), phone (15) 142
//   "10" the service's responsible person (50)                          52
//   "11" registration date (10), 10 blanks, 10 blanks, "0"              33
//   "99" closing record                                                  2
//
// A device is in the file when its owner with the owner's person, its site,
// its model certificate with the sealing company, its service centre and its
// tax office all exist; a contract is not needed.

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace torvika {

// The company's part of the header and the responsible person of record
// "10", from the company settings.
struct TaxOfficeCompany {
    QString eik;
    QString name;
    QString address;
    QString phone;             // the service's phone
    QString responsiblePerson; // record "10"
};

// One device of the file, with the texts its records carry.
struct TaxOfficeDevice {
    QString ownerPersonEgn, ownerEik;
    QString ownerName, ownerTown, ownerAddress, ownerPersonName;
    QString siteName, siteTown, siteAddress, sitePhone;
    QString taxOfficeName;
    QString model;
    QString certificate;
    QDate certificateDate;
    QString device, fiscalMemory;
    QString serviceName, serviceTown, serviceAddress, servicePhone;
    QDate registered;
};

// The most devices the header's four-digit count can say.
inline constexpr int kTaxOfficeMaxDevices = 9999;

// The devices registered from `from` to `to`, both included, in the order
// of registration (date, time, dossier). Throws EDatabaseError.
QList<TaxOfficeDevice> taxOfficeDevices(const QSqlDatabase& db, const QDate& from, const QDate& to);
// How many devices registered in the period are left out of the file
// because a row they need is missing.
int taxOfficeDevicesLeftOut(const QSqlDatabase& db, const QDate& from, const QDate& to, int devicesInFile);

// The file's bytes. Throws EConvertError when there are more devices than
// the header's count can say, and when the company has no EIK.
QByteArray taxOfficeFileBytes(const TaxOfficeCompany& company, const QDate& from, const QDate& to,
                              const QList<TaxOfficeDevice>& devices);

// Writes the file's bytes to the path through a temporary file in the same
// directory, renamed into place: the file is whole or not there, and an old
// file stays until the new one replaces it. Throws EInOutError.
void writeTaxOfficeFile(const QString& path, const QByteArray& bytes);

} // namespace torvika
