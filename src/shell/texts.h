#pragma once
// The texts the shell shows: messages, questions, the log lines of the
// company-database dialogs and the prefixes of the status line. Captions of
// the windows stay in their forms.

#include <QString>

namespace torvika::texts {

// Status line. The operator panel's text also names the operator's section
// of shortcuts in Firm_Data.ini.
inline const QString kOperatorPrefix = QStringLiteral("Оператор: ");
inline const QString kWarehousePrefix = QStringLiteral("Склад: ");
inline const QString kDatabasePrefix = QStringLiteral("База данни: ");
// Between the date and the time of the date panel.
inline const QString kDateTimeSeparator = QStringLiteral(" - ");

// Login.
inline const QString kInvalidLogin = QStringLiteral("Невалидни данни");
inline const QString kQuitQuestion = QStringLiteral("Найстина ли желаете да приключите работа");

// Operators window.
inline const QString kOperatorEditQuestion =
    QStringLiteral("1. За въвеждане на нов оператор натиснете Yes!\r"
                   "2. За редакция на избраният оператор натиснете No!\r"
                   "3. За отказ от операцията натиснете Cancel!");
inline const QString kOperatorNotSaved = QStringLiteral("Операторът не беше записан: ");
inline const QString kNewOperatorNeedsPassword = QStringLiteral("Въведете парола за новия оператор");
inline const QString kBadOperatorCode =
    QStringLiteral("Кодът на оператора е от 4 латински букви или цифри (например 0001) или празен.");

// Main window commands.
inline const QString kOpenProgramCaption = QStringLiteral("Отвори програма...");
inline const QString kOpenProgramFilter = QStringLiteral("All Files (*);;Text Files (*.txt)");
inline const QString kProgramNotStarted = QStringLiteral("Програмата не може да бъде стартирана: ");
inline const QString kSendReportsMessage =
    QStringLiteral("Желаете ли да уведомите разработчика за възникнали грешки при работа?");
inline const QString kNoCalculator = QStringLiteral("Не е намерен калкулатор на тази система");
inline const QString kNoTextEditor = QStringLiteral("Не е намерен текстов редактор на тази система");
inline const QString kNoDateTimeSettings =
    QStringLiteral("Не са намерени настройките за дата и час на тази система");
inline const QString kCannotEndSession = QStringLiteral("Сесията не може да бъде прекратена");

// About window: "Ver." and the four-part version.
inline const QString kVersionPrefix = QStringLiteral("Ver.");

// Working date: %1 today, %2 the last working date as stored; each
// question ends with kContinueQuestion.
inline const QString kTodayOlderThanLastDate =
    QStringLiteral("Настоящата дата %1 е по стара от последната дата с която e работено:%2");
inline const QString kWorkingDateChanged = QStringLiteral(
    "Извършена е промяна на работната дата !\rАктивна дата :%1\rПоследна дата с която e работено:%2");
inline const QString kContinueQuestion = QStringLiteral("\rЖелаете ли да продължите?");
// The conversion errors of a stored date or version, logged.
inline const QString kNotValidDate = QStringLiteral("'%1' is not a valid date");
inline const QString kNotValidInteger = QStringLiteral("'%1' is not a valid integer value");

// Program directory and workspace; %1 is the directory or file.
inline const QString kCannotCreateDirectory = QStringLiteral("Не може да бъде създадена директорията %1");
inline const QString kNoWriteAccess = QStringLiteral("Няма права за запис в директорията %1");
inline const QString kCannotCopyFile = QStringLiteral("Не може да бъде копиран файлът %1");
inline const QString kNoDatabaseIn = QStringLiteral("Няма база данни в %1");

// Opening a company database: why it cannot be opened. %1 is how the
// status line names the database (a directory, or "<database> на
// <host>:<port>").
inline const QString kOnServerWord = QStringLiteral(" на ");
inline const QString kServerRefusedLogin = QStringLiteral("Сървърът %1 не прие потребителя %2 или паролата");
inline const QString kNoServerDatabase = QStringLiteral("На сървъра няма база данни %1");
// %2 the driver's reason.
inline const QString kServerUnreachable = QStringLiteral("Няма връзка със сървъра %1: %2");
inline const QString kNoPostgresDriver = QStringLiteral("Липсва драйверът за PostgreSQL (libqt6sql6-psql)");
// %2 the oldest major version the program works with.
inline const QString kServerTooOld = QStringLiteral("Сървърът %1 е с версия, по-стара от %2: не се поддържа");
inline const QString kNotCompanyDatabase = QStringLiteral("%1 не е база данни на програмата");
// The login found the working database closed: %1 the reason.
inline const QString kWorkspaceNotOpened = QStringLiteral(
    "Работната база данни не може да бъде отворена:\r%1\r\rПрограмата работи без база данни, докато не "
    "изберете друга с „Отвори“ в менюто „Настройки“ → „База данни“.");
// The status line while another workstation holds the database.
inline const QString kWaitingForBusyDatabase =
    QStringLiteral("Базата данни е заета от друга работна станция – изчакване…");

// Moving a company database to a server.
inline const QString kCopyCancelled =
    QStringLiteral("Копирането е прекъснато: новата база данни не е създадена");
inline const QString kCopyNeedsServer = QStringLiteral("Базата данни се пренася на сървър PostgreSQL");
// %1 the database, %2 the release it must have.
inline const QString kCopyNeedsUpdate =
    QStringLiteral("Базата данни %1 трябва първо да бъде актуализирана с версия N:%2");

// Company databases: the database dialogs' titles by mode.
inline const QString kCreateDatabaseTitle = QStringLiteral("Създаване на нова база данни");
inline const QString kUpdateDatabaseTitle = QStringLiteral("Актуализация на база данни");
// The log lines of a creation or update: one per statement run (%1 its
// number), then the closing line, or the error line and the line that says
// what was undone.
inline const QString kOperationOk = QStringLiteral("ОПЕРАЦИЯ: %1- БЕШЕ УСПЕШНА");
inline const QString kDatabaseCreated = QStringLiteral("СЪЗДАВАНЕТО НА НОВАТА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО");
inline const QString kOperationError = QStringLiteral("ГРЕШКА: ");
inline const QString kCreationCancelled =
    QStringLiteral("Операцията е прекратена: новата база данни не е създадена");
inline const QString kUpdateCancelled =
    QStringLiteral("Операцията е прекратена: базата данни не е променена");
// Messages of the operations.
inline const QString kDatabaseUpdated = QStringLiteral("АКТУАЛИЗАЦИЯТА НА БАЗА ДАННИ ЗАВЪРШИ УСПЕШНО");
// %1 the number of the failed statement, %2 the statement.
inline const QString kUpdateAbortedAt =
    QStringLiteral("Прекратена актуализация при изпълнението на \rОПЕРАЦИЯ: %1\r:%2");
inline const QString kUpdateStopped = QStringLiteral("Прекратена актуализация: ");
inline const QString kSwitchFailed = QStringLiteral("Неуспешна смяна на базата данни");
inline const QString kNoUpdateFile = QStringLiteral("Не беше открит файл за актуализация");
// %1 the release the program expects, %2 the date of the database's version.
inline const QString kUpdateRequest =
    QStringLiteral("Необходимо е базата данни да бъде актуализирана с версия N:%1 от %2");
// Failures of a creation; %1 is the directory, file or name.
inline const QString kCannotWriteFile = QStringLiteral("Не може да бъде записан файлът %1");
inline const QString kInvalidDatabaseName = QStringLiteral("Невалидно име на базата данни: %1");
inline const QString kDirectoryMissing = QStringLiteral("Директорията %1 не съществува");
inline const QString kDatabaseAlreadyThere = QStringLiteral("В директорията %1 вече има база данни");
inline const QString kCopyingToServer = QStringLiteral("Пренасяне на работната база в %1 ...");
inline const QString kCopiedToServer =
    QStringLiteral("Пренесени са %1 реда в %2.\rЖелаете ли да работите с новата база на сървъра?");
inline const QString kServerPasswordCaption = QStringLiteral("Сървър на базата данни");
inline const QString kServerPasswordPrompt = QStringLiteral("Парола за %1:");
inline const QString kServerDatabaseExists = QStringLiteral("Базата данни %1 вече съществува на сървъра %2");
inline const QString kFileNotFound = QStringLiteral("Не е намерен файлът %1");
inline const QString kFileIsNoDatabase = QStringLiteral("Файлът %1 не е база данни");
inline const QString kCannotCreateDatabaseFile =
    QStringLiteral("Не може да бъде създадена база данни във файла %1");
inline const QString kScriptCreatesNoOperators = QStringLiteral("Скриптът %1 не създава таблицата Operators");
inline const QString kFileIsNoProgramDatabase = QStringLiteral("Файлът %1 не е база данни на програмата");
// The root of a new database's article group tree.
inline const QString kAllArticlesGroup = QStringLiteral("Всички артикули");

// Workstation messages.
inline const QString kListening = QStringLiteral("Приема съобщения на порт %1");
inline const QString kNotListening = QStringLiteral("Приемането на съобщения е изключено");
inline const QString kPortNotTaken =
    QStringLiteral("Съобщения не се приемат: портът %1 не може да бъде зает (%2)");
inline const QString kMessageSent = QStringLiteral("Изпратено до ");
inline const QString kMessageNotSent = QStringLiteral("Съобщението до %1 не беше изпратено: %2");
inline const QString kMessageRefused = QStringLiteral("Отказано съобщение от %1: %2");
inline const QString kNoMessageHost = QStringLiteral("Въведете IP адрес на работното място");
inline const QString kMessageFrom = QStringLiteral("[%1] ");

} // namespace torvika::texts
