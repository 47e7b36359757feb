#pragma once

#include <QString>
#include <QStringList>

// The learner file of a learner: programFolder + name + ".kmu".
QString learnerFilePath(const QString& programFolder, const QString& learnerName);

// The learner's round log (formats/RoundLog.h): programFolder + name + ".kmr".
QString roundLogPath(const QString& programFolder, const QString& learnerName);

// The learners who have a learner file in the folder, in the order of its
// listing by name.
QStringList existingLearners(const QString& programFolder);

// Why a name cannot be a learner's, or "" when it can: it must not be empty
// and must not hold any of the eleven characters file names cannot.
QString learnerNameError(const QString& name);

// The File menu's item for switching, naming the current learner.
QString changeUserCaption(const QString& learnerName);

// The status bar's line after the switching dialog closes.
QString currentLearnerStatus(const QString& learnerName);
