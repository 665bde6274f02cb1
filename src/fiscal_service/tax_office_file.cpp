#include "fiscal_service/tax_office_file.h"

#include "common/cp1251.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/sql.h"
#include "fiscal_service/texts.h"

#include <QSaveFile>

namespace torvika {

namespace {

// The devices of the period with every row the file needs (inner joins).
const QString kDevicesFrom = QStringLiteral(" FROM Reg_EKA"
                                            " JOIN Firmi ON Firmi.ID = Reg_EKA.ID_Kontrag"
                                            " JOIN Klienti ON Klienti.ID = Firmi.ID_Mol"
                                            " JOIN Kontrag_Sklad ON Kontrag_Sklad.ID_Sk = Reg_EKA.ID_Sklad"
                                            " AND Kontrag_Sklad.ID_Kontrag = Reg_EKA.ID_Kontrag"
                                            " JOIN SV_BIM ON SV_BIM.ID = Reg_EKA.Model"
                                            " JOIN Firmi Plomb ON Plomb.ID = SV_BIM.ID_Plomb"
                                            " JOIN Firmi Serv ON Serv.ID = Reg_EKA.ID_Serv"
                                            " JOIN Firmi TDD ON TDD.ID = Reg_EKA.TDD_ID"
                                            " WHERE Reg_EKA.Data_Reg BETWEEN ? AND ?");

// The text in exactly `width` bytes of Windows-1251: padded with blanks on
// the right or cut to its first bytes.
QByteArray field(const QString& text, int width) {
    QByteArray bytes = toCp1251(text);
    bytes.truncate(width);
    return bytes.leftJustified(width, ' ');
}

QByteArray blanks(int width) {
    return QByteArray(width, ' ');
}

QByteArray dateField(const QDate& date) {
    return field(date.isValid() ? shortDate(date) : QString(), 10);
}

QString text(const QVariant& v) {
    return v.toString().trimmed();
}

} // namespace

QList<TaxOfficeDevice> taxOfficeDevices(const QSqlDatabase& db, const QDate& from, const QDate& to) {
    QSqlQuery q = execSql(
        db,
        QStringLiteral("SELECT Klienti.EGN, Firmi.EIK, Firmi.Ime_Firma, Firmi.Grad, Firmi.Adres_Firma, "
                       "Klienti.Ime_Klient, Kontrag_Sklad.Opisanie_Sk, Kontrag_Sklad.Grad_SK, "
                       "Kontrag_Sklad.Adres_SK, Kontrag_Sklad.Tel_SK, TDD.Ime_Firma, SV_BIM.Model_Opis, "
                       "SV_BIM.SV_ID, SV_BIM.SV_Data, Reg_EKA.EKA, Reg_EKA.MFP, Serv.Ime_Firma, Serv.Grad, "
                       "Serv.Adres_Firma, Serv.Telefon, Reg_EKA.Data_Reg") +
            kDevicesFrom +
            QStringLiteral(" ORDER BY Reg_EKA.Data_Reg, Reg_EKA.Time_Reg, Reg_EKA.Dosie_ID, Reg_EKA.EKA"),
        {isoDate(from), isoDate(to)});
    QList<TaxOfficeDevice> devices;
    while (q.next()) {
        TaxOfficeDevice d;
        int i = 0;
        for (QString* t : {&d.ownerPersonEgn, &d.ownerEik, &d.ownerName, &d.ownerTown, &d.ownerAddress,
                           &d.ownerPersonName, &d.siteName, &d.siteTown, &d.siteAddress, &d.sitePhone,
                           &d.taxOfficeName, &d.model, &d.certificate})
            *t = text(q.value(i++));
        d.certificateDate = QDate::fromString(text(q.value(i++)), Qt::ISODate);
        for (QString* t :
             {&d.device, &d.fiscalMemory, &d.serviceName, &d.serviceTown, &d.serviceAddress, &d.servicePhone})
            *t = text(q.value(i++));
        d.registered = QDate::fromString(text(q.value(i++)), Qt::ISODate);
        devices.append(d);
    }
    return devices;
}

int taxOfficeDevicesLeftOut(const QSqlDatabase& db, const QDate& from, const QDate& to, int devicesInFile) {
    const int all =
        scalarSql(db, QStringLiteral("SELECT COUNT(*) FROM Reg_EKA WHERE Data_Reg BETWEEN ? AND ?"),
                  {isoDate(from), isoDate(to)}, 0)
            .toInt();
    return qMax(0, all - devicesInFile);
}

QByteArray taxOfficeFileBytes(const TaxOfficeCompany& company, const QDate& from, const QDate& to,
                              const QList<TaxOfficeDevice>& devices) {
    if (company.eik.trimmed().isEmpty())
        throw EConvertError(texts::kTaxOfficeNoEik);
    if (devices.size() > kTaxOfficeMaxDevices)
        throw EConvertError(texts::kTaxOfficeTooManyDevices.arg(devices.size()).arg(kTaxOfficeMaxDevices));
    const QByteArray crlf("\r\n");
    QByteArray out;
    out.reserve(220 + devices.size() * 1000);
    out += "00" + blanks(10) + field(company.eik, 9) + field(company.name, 50) + field(company.address, 80) +
           field(company.phone, 15) + field(company.phone, 30) + dateField(from) + dateField(to) +
           QByteArray::number(devices.size()).rightJustified(4, '0') + crlf;
    for (const TaxOfficeDevice& d : devices) {
        out += "01" + blanks(10) + field(d.ownerPersonEgn, 10) + field(d.ownerEik, 9) + crlf;
        out += "02" + field(d.ownerName, 50) + field(d.ownerTown, 25) + field(d.ownerAddress, 50) +
               field(d.ownerPersonName, 50) + crlf;
        out += "03" + field(d.siteName, 50) + field(d.siteTown, 25) + field(d.siteAddress, 50) +
               field(d.sitePhone, 15) + crlf;
        out += "04" + field(d.taxOfficeName, 25) + crlf;
        out += "05" + field(d.model, 30) + blanks(30) + crlf;
        out += "06" + blanks(240) + crlf;
        out += "07" + field(d.certificate, 6) + dateField(d.certificateDate) + crlf;
        out += "08" + field(d.device, 8) + field(d.fiscalMemory, 8) + crlf;
        out += "09" + field(d.serviceName, 50) + field(d.serviceTown, 25) + field(d.serviceAddress, 50) +
               field(d.servicePhone, 15) + crlf;
        out += "10" + field(company.responsiblePerson, 50) + crlf;
        out += "11" + dateField(d.registered) + blanks(10) + blanks(10) + "0" + crlf;
    }
    out += "99" + crlf;
    return out;
}

void writeTaxOfficeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EInOutError(texts::kTaxOfficeWriteFailed + QStringLiteral(" (") + f.errorString() + u')');
}

} // namespace torvika
