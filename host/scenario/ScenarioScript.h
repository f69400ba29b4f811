#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <stdexcept>

namespace pla {

// One command line of a scenario: the command word(s), its arguments with the quotes removed,
// and the raw text after the command so that a TEXT argument may also be written unquoted.
struct ScenarioLine {
    int number = 0;
    QStringList words;   // every token, command included, quotes removed
    QStringList quoted;  // parallel to words: "1" when the token was written in quotes
    QString text;        // the line as written, without comment and surrounding blanks

    const QString& Command() const { return words.front(); }
    // The text that follows the first `skip` tokens: the single quoted token when that is all
    // there is, else the rest of the line as written.
    QString RestAfter(int skip) const;
};

// A scenario file that could not be read: carries the file, line and reason.
class ScenarioSyntaxError : public std::runtime_error {
public:
    ScenarioSyntaxError(const QString& file, int line, const QString& reason);
    QString Message() const { return message_; }

private:
    QString message_;
};

// Splits a scenario file into command lines. '#' starts a comment outside quotes; texts with
// spaces go in double quotes, where \" and \\ stand for a quote and a backslash.
class ScenarioScript {
public:
    static QVector<ScenarioLine> Parse(const QString& source, const QString& fileName);
    static ScenarioLine ParseLine(const QString& line, int number, const QString& fileName);
};

} // namespace pla
