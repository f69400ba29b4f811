#pragma once

#include <QDate>
#include <QString>

class TfrmImpDistEmbCard;

// The single print screen: null until the first CriaImpDistEmbCard, and again after it is
// destroyed.
extern TfrmImpDistEmbCard* frmImpDistEmbCard;

// Opens the print screen modally (creating it on the first call) on branch and date (the
// user's branch and today when not given) and returns when it is closed. A failure while
// creating it travels on to the caller.
void CriaImpDistEmbCard(const QString& branch = QString(), const QDate& date = QDate());
