#pragma once

class QCoreApplication;

// The window speaks French whatever the user's locale, and so must what Qt draws itself.
namespace kit_Language {

// Loads Qt's French catalogue, adds the few texts it lacks (the folder choosers' file types),
// and makes French the default locale, so that dates, sizes and file type names in the
// choosers read as French too. Installs once per application.
void installFrench(QCoreApplication &app);

} // namespace kit_Language
