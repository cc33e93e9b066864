#pragma once
// Window places of the engine's windows, kept in the user's settings under
// RegistryRootKey + "\Form\" + the window's class name: "XPosition",
// "YPosition", "Width", "Height" and "Maximized".
#include <QRect>
#include <QString>

class QSettings;
class QWidget;

// The settings key the engine keeps window and toolbar places under: RegistryRootKey, or the
// engine's own while nothing has set one ("Software\OrvReport").
QString frRegistryRoot();
// A stored integer, or `current` when it is missing or unreadable.
int frReadInt(QSettings &s, const QString &name, int current);
// The rectangle moved and cut to fit the available area of the screen it lands on.
QRect frFitToScreen(QRect r);

// The settings group of a window class ("Software/OrvReport/Form/TfrPreviewForm").
QString frFormStateGroup(const QString &className);

// Writes the window's bounds (its normal bounds while maximised) and whether it is maximised.
void SaveFormState(QWidget *form);
// Restores what SaveFormState wrote. A stored "Maximized" of false makes the
// window normal; a missing one leaves the window state as it is. Missing or
// unreadable values keep the current bounds; restored bounds are moved and cut
// to fit the available area of the screen they land on.
void RestoreFormState(QWidget *form);
