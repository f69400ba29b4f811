#pragma once

#include "framework/ui/TComponent.h"

#include <QHash>
#include <QStringList>

// A screen's message catalogue: lines "key|text"; messages are shown by key.
class TMessages : public TComponent {
public:
    explicit TMessages(TComponent* owner);

    const QStringList& Lines() const { return lines_; }
    // Replaces the catalogue. Lines without a bar are kept but hold no message; the first
    // line of a repeated key wins.
    void SetLines(const QStringList& lines);
    // Appends "key|text".
    void Add(const QString& key, const QString& text);
    // The text stored for key (everything after the first bar, exactly as stored), or an
    // empty text when the catalogue has no such key. Keys match exactly.
    QString Msg(const QString& key) const;
    bool Contains(const QString& key) const;

private:
    void Rebuild();
    QStringList lines_;
    QHash<QString, QString> map_;
};
