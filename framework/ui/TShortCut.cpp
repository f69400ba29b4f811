#include "framework/ui/TShortCut.h"

#include <QStringList>
#include <utility>

namespace {

struct KeyName {
    const char* name;
    int vk;
    Qt::Key qt;
};

const KeyName kNames[] = {
    {"Backspace", VK_BACK, Qt::Key_Backspace},
    {"Tab", VK_TAB, Qt::Key_Tab},
    {"Enter", VK_RETURN, Qt::Key_Return},
    {"Return", VK_RETURN, Qt::Key_Return},
    {"Escape", VK_ESCAPE, Qt::Key_Escape},
    {"Esc", VK_ESCAPE, Qt::Key_Escape},
    {"Space", VK_SPACE, Qt::Key_Space},
    {"PageUp", VK_PRIOR, Qt::Key_PageUp},
    {"PageDown", VK_NEXT, Qt::Key_PageDown},
    {"End", VK_END, Qt::Key_End},
    {"Home", VK_HOME, Qt::Key_Home},
    {"Left", VK_LEFT, Qt::Key_Left},
    {"Up", VK_UP, Qt::Key_Up},
    {"Right", VK_RIGHT, Qt::Key_Right},
    {"Down", VK_DOWN, Qt::Key_Down},
    {"Insert", VK_INSERT, Qt::Key_Insert},
    {"Delete", VK_DELETE, Qt::Key_Delete},
    {"Del", VK_DELETE, Qt::Key_Delete},
};

std::optional<int> KeyFromName(const QString& n) {
    for (const KeyName& k : kNames)
        if (n.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.vk;
    if (n.size() == 1) {
        QChar c = n.at(0).toUpper();
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return c.unicode();
    }
    if (n.size() >= 2 && (n.at(0) == QLatin1Char('F') || n.at(0) == QLatin1Char('f'))) {
        bool ok = false;
        int f = n.mid(1).toInt(&ok);
        if (ok && f >= 1 && f <= 12) return VK_F1 + f - 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<TShortCut> TShortCut::Parse(const QString& text) {
    QStringList parts = text.trimmed().split(QLatin1Char('+'));
    if (parts.isEmpty()) return std::nullopt;
    // "Ctrl++" is not supported; a trailing empty part means a malformed text.
    TShortCut s;
    for (int i = 0; i < parts.size() - 1; ++i) {
        QString m = parts.at(i).trimmed();
        if (m.compare(QLatin1String("Ctrl"), Qt::CaseInsensitive) == 0)
            s.Shift |= ssCtrl;
        else if (m.compare(QLatin1String("Shift"), Qt::CaseInsensitive) == 0)
            s.Shift |= ssShift;
        else if (m.compare(QLatin1String("Alt"), Qt::CaseInsensitive) == 0)
            s.Shift |= ssAlt;
        else
            return std::nullopt;
    }
    std::optional<int> k = KeyFromName(parts.last().trimmed());
    if (!k) return std::nullopt;
    s.Key = *k;
    return s;
}

QString TShortCut::ToText() const {
    if (Key == 0) return {};
    QString out;
    if (Shift & ssCtrl) out += QLatin1String("Ctrl+");
    if (Shift & ssShift) out += QLatin1String("Shift+");
    if (Shift & ssAlt) out += QLatin1String("Alt+");
    for (const KeyName& k : kNames)
        if (k.vk == Key) return out + QLatin1String(k.name);
    if (Key >= VK_F1 && Key <= VK_F12) return out + QStringLiteral("F%1").arg(Key - VK_F1 + 1);
    return out + QChar(Key);
}

QKeySequence TShortCut::ToKeySequence() const {
    if (Key == 0) return {};
    int qt = 0;
    for (const KeyName& k : kNames)
        if (k.vk == Key) {
            qt = k.qt;
            break;
        }
    if (!qt) qt = (Key >= VK_F1 && Key <= VK_F12) ? Qt::Key_F1 + (Key - VK_F1) : Key;
    Qt::KeyboardModifiers m;
    if (Shift & ssCtrl) m |= Qt::ControlModifier;
    if (Shift & ssShift) m |= Qt::ShiftModifier;
    if (Shift & ssAlt) m |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(m, static_cast<Qt::Key>(qt)));
}

std::optional<TShortCut> TShortCut::FromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    TShortCut s;
    if (modifiers & Qt::ControlModifier) s.Shift |= ssCtrl;
    if (modifiers & Qt::ShiftModifier) s.Shift |= ssShift;
    if (modifiers & Qt::AltModifier) s.Shift |= ssAlt;
    if (qtKey == Qt::Key_Enter) qtKey = Qt::Key_Return;
    if (qtKey == Qt::Key_Backtab) {
        qtKey = Qt::Key_Tab;
        s.Shift |= ssShift;
    }
    for (const KeyName& k : kNames)
        if (k.qt == qtKey) {
            s.Key = k.vk;
            return s;
        }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        s.Key = qtKey; // Qt uses the same codes for letters and digits
        return s;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        s.Key = VK_F1 + (qtKey - Qt::Key_F1);
        return s;
    }
    return std::nullopt;
}
