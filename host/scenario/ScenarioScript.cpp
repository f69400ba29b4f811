#include "host/scenario/ScenarioScript.h"

namespace pla {

ScenarioSyntaxError::ScenarioSyntaxError(const QString& file, int line, const QString& reason)
    : std::runtime_error(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(reason).toStdString()),
      message_(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(reason)) {}

QString ScenarioLine::RestAfter(int skip) const {
    if (words.size() == skip + 1 && quoted.at(skip) == QLatin1String("1")) return words.at(skip);
    // Re-find the text after the first `skip` tokens in the raw line.
    QString rest = text;
    for (int i = 0; i < skip && !rest.isEmpty(); ++i) {
        rest = rest.trimmed();
        if (rest.startsWith(QLatin1Char('"'))) {
            int j = 1;
            while (j < rest.size() && rest.at(j) != QLatin1Char('"'))
                j += rest.at(j) == QLatin1Char('\\') ? 2 : 1;
            rest = rest.mid(j + 1);
        } else {
            const int space = rest.indexOf(QLatin1Char(' '));
            rest = space < 0 ? QString() : rest.mid(space);
        }
    }
    return rest.trimmed();
}

ScenarioLine ScenarioScript::ParseLine(const QString& raw, int number, const QString& fileName) {
    ScenarioLine line;
    line.number = number;
    QString token;
    bool inQuotes = false, hasToken = false, tokenQuoted = false;
    int end = raw.size();
    auto flush = [&] {
        if (hasToken) {
            line.words << token;
            line.quoted << (tokenQuoted ? QStringLiteral("1") : QStringLiteral("0"));
        }
        token.clear();
        hasToken = tokenQuoted = false;
    };
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < raw.size() &&
                (raw.at(i + 1) == QLatin1Char('"') || raw.at(i + 1) == QLatin1Char('\\'))) {
                token += raw.at(++i);
            } else if (c == QLatin1Char('\\') && i + 1 < raw.size() &&
                       raw.at(i + 1) == QLatin1Char('n')) {
                // A message of several lines is written on one: "\n" is its line break.
                token += QLatin1Char('\n');
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                token += c;
            }
        } else if (c == QLatin1Char('#')) {
            end = i;
            break;
        } else if (c == QLatin1Char('"')) {
            inQuotes = hasToken = tokenQuoted = true;
        } else if (c.isSpace()) {
            flush();
        } else {
            token += c;
            hasToken = true;
        }
    }
    if (inQuotes)
        throw ScenarioSyntaxError(fileName, number, QStringLiteral("aspas sem fechamento"));
    flush();
    line.text = raw.left(end).trimmed();
    return line;
}

QVector<ScenarioLine> ScenarioScript::Parse(const QString& source, const QString& fileName) {
    QVector<ScenarioLine> lines;
    const QStringList raw = source.split(QLatin1Char('\n'));
    for (int i = 0; i < raw.size(); ++i) {
        QString text = raw.at(i);
        if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
        ScenarioLine line = ParseLine(text, i + 1, fileName);
        if (!line.words.isEmpty()) lines << line;
    }
    return lines;
}

} // namespace pla
