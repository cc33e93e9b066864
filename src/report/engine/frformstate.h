#pragma once
// Window places of the engine's windows, kept in the user's settings under
// RegistryRootKey + "\Form\" + the window's class name: "XPosition",
// "YPosition", "Width", "Height" and "Maximized".
#include <QString>

class QWidget;

// The settings group of a window class ("Software/OrvReport/Form/TfrPreviewForm").
QString frFormStateGroup(const QString &className);

// Writes the window's bounds (its normal bounds while maximised) and whether it is maximised.
void SaveFormState(QWidget *form);
// Restores what SaveFormState wrote. A stored "Maximized" of false makes the
// window normal; a missing one leaves the window state as it is. Missing or
// unreadable values keep the current bounds; restored bounds are moved and cut
// to fit the available area of the screen they land on.
void RestoreFormState(QWidget *form);
