#pragma once

// Makes screen readers see the program's controls as a person sees them.
// Qt's own interfaces name a combo box by its current item on Linux, and
// report a greyed tab as available and let it be opened; ours name a combo
// box by its label or accessible name and keep a disabled tab closed. Takes
// effect for controls first asked for after the call; calling it again does
// nothing.
void installAccessibleInterfaces();
