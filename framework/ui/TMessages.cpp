#include "framework/ui/TMessages.h"

TMessages::TMessages(TComponent* owner) : TComponent(owner) {}

void TMessages::SetLines(const QStringList& lines) {
    lines_ = lines;
    Rebuild();
}

void TMessages::Add(const QString& key, const QString& text) {
    lines_.append(key + QLatin1Char('|') + text);
    if (!map_.contains(key)) map_.insert(key, text);
}

QString TMessages::Msg(const QString& key) const {
    return map_.value(key);
}

bool TMessages::Contains(const QString& key) const {
    return map_.contains(key);
}

void TMessages::Rebuild() {
    map_.clear();
    for (const QString& line : lines_) {
        int bar = line.indexOf(QLatin1Char('|'));
        if (bar < 0) continue;
        QString key = line.left(bar);
        if (!map_.contains(key)) map_.insert(key, line.mid(bar + 1));
    }
}
