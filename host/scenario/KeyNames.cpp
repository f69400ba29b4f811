#include "host/scenario/KeyNames.h"

#include <QHash>
#include <QStringList>

namespace pla {

bool ParseKeyName(const QString& name, int& key, TShiftState& shift) {
    static const QHash<QString, int> named = {
        {QStringLiteral("delete"), VK_DELETE},   {QStringLiteral("del"), VK_DELETE},
        {QStringLiteral("backspace"), VK_BACK},  {QStringLiteral("space"), VK_SPACE},
        {QStringLiteral("enter"), VK_RETURN},    {QStringLiteral("return"), VK_RETURN},
        {QStringLiteral("tab"), VK_TAB},         {QStringLiteral("escape"), VK_ESCAPE},
        {QStringLiteral("esc"), VK_ESCAPE},      {QStringLiteral("up"), VK_UP},
        {QStringLiteral("down"), VK_DOWN},       {QStringLiteral("left"), VK_LEFT},
        {QStringLiteral("right"), VK_RIGHT},     {QStringLiteral("home"), VK_HOME},
        {QStringLiteral("end"), VK_END},         {QStringLiteral("pageup"), VK_PRIOR},
        {QStringLiteral("pagedown"), VK_NEXT},   {QStringLiteral("insert"), VK_INSERT},
    };
    shift = ssNone;
    QStringList parts = name.split(QLatin1Char('+'));
    // "Ctrl++" is not a key we need; a trailing empty part means a malformed name.
    QString last = parts.takeLast().toLower();
    for (const QString& p : parts) {
        const QString m = p.toLower();
        if (m == QLatin1String("ctrl")) shift |= ssCtrl;
        else if (m == QLatin1String("shift")) shift |= ssShift;
        else if (m == QLatin1String("alt")) shift |= ssAlt;
        else return false;
    }
    if (named.contains(last)) {
        key = named.value(last);
        return true;
    }
    if (last.size() >= 2 && last.at(0) == QLatin1Char('f')) {
        bool ok = false;
        const int n = last.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12) {
            key = VK_F1 + n - 1;
            return true;
        }
    }
    if (last.size() == 1 && last.at(0).isLetterOrNumber() && last.at(0).unicode() < 128) {
        key = last.at(0).toUpper().unicode();
        return true;
    }
    return false;
}

} // namespace pla
