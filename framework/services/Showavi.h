#pragma once

class TComponent;

// The busy animation shown while the screen waits for the application server.
namespace Showavi {

// Shows the busy animation of the given kind over the host's main window (through the
// installed dialog service). Calls nest: each one needs its own DeactiveShowAvi, and the
// animation goes away with the last. Without a dialog service nothing is shown.
void ActiveShowAvi(TComponent* mainWindow, int kind);

// Removes one level of the busy animation. Extra calls, with nothing shown, do nothing.
void DeactiveShowAvi();

// How many ActiveShowAvi calls are still waiting for their DeactiveShowAvi.
int Depth();

} // namespace Showavi
