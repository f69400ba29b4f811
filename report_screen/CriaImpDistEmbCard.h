#pragma once

class TfrmImpDistEmbCard;

// The single print screen: null until the first CriaImpDistEmbCard, and again after it is
// destroyed.
extern TfrmImpDistEmbCard* frmImpDistEmbCard;

// Opens the print screen modally (creating it on the first call) and returns when it is
// closed. A failure while creating it travels on to the caller.
void CriaImpDistEmbCard();
