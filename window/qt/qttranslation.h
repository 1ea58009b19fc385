#pragma once

class QCoreApplication;

// Installs Qt's own Italian texts (the file dialog, the fields' context menus, the
// message box's button) from Qt's translations folder, whatever the system's
// language: the rest of the interface is Italian and does not follow the locale
// either. Returns false when the translation is not installed (Debian package
// qt6-translations-l10n); Qt's texts then stay English.
bool installQtItalian(QCoreApplication &app);
