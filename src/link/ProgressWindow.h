#pragma once

class ScreenModel;

// The progress window frmSplash as the model holds it. While it is open the main window takes
// no input, so the user cannot switch modes under a download that is still arriving.

// Opens it, unless it is open already: the opening steps run once per opening.
void openProgressWindow(ScreenModel &model);

// Closes it, for whatever reason (the reception pass, the user, the system). Closing is never
// refused; closing a window that is not open changes nothing.
void closeProgressWindow(ScreenModel &model);
