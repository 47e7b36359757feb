#pragma once

#include "formats/AnswerLog.h"
#include "formats/LearnerFile.h"

#include <QString>
#include <QStringList>

// The learner file of a learner: programFolder + name + ".kmu".
QString learnerFilePath(const QString& programFolder, const QString& learnerName);

// The learner's round log (formats/RoundLog.h): programFolder + name + ".kmr".
QString roundLogPath(const QString& programFolder, const QString& learnerName);

// The learner's answer log (formats/AnswerLog.h): programFolder + name + ".kma".
QString answerLogPath(const QString& programFolder, const QString& learnerName);

// Appends one judged answer to the learner's answer log while holding the
// lock the learner file is saved under, so that two programs of one
// learner take turns. The outcome names the log.
LearnerFileOutcome logAnswer(const QString& programFolder, const QString& learnerName,
                             const AnswerLine& line);
// Appends many answers, in their order, under one taking of the lock.
LearnerFileOutcome logAnswers(const QString& programFolder, const QString& learnerName,
                              const QVector<AnswerLine>& lines);

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
