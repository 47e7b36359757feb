#pragma once

#include <QString>
#include <QVector>

// A review another program logged: when, and the grade as the answer log
// keeps it (1 wrong, 2 to 4 right, from hard to easy).
struct ImportedReview {
    qint64 time = 0; // seconds since 1970-01-01T00:00:00Z
    int grade = 3;
};

// What another program knew of how one question was learned: its reviews
// with their times, oldest first, where the file logs them, and the
// answers and right answers they add to the learner's counts.
struct QuestionHistory {
    QString key; // the question's key, once the editor has given it one
    QVector<ImportedReview> reviews;
    qint64 answered = 0;
    qint64 right = 0;

    bool isEmpty() const { return answered == 0; }
};
