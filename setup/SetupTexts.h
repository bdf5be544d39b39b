// The driver's messages that are not in the dictionary, with their exact bytes.
#pragma once

// The warning on systems outside the Windows NT family. Windows-1252; the second and third lines
// keep their trailing blanks.
constexpr const char* kPlatformCheckCaption = "ZarBel PC Setup - Info";
constexpr const char* kPlatformCheckText =
    "ZarBel PC \xE8 compatibile con i sistemi operativi\n"
    "Windows 2000, Windows XP o superiori.         \n"
    "Con altri sistemi operativi il funzionamento non \xE8 garantito.           \n";

// Used when the string table has no text of its own for the message.
constexpr const char* kFallbackCaption = "ZarBelPC Setup";
constexpr const char* kFallbackLicenseNotShown =
    "The license agreement cannot be shown, so Setup cannot go on.\nNothing has been installed.";
