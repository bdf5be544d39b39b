// The package layer's messages that are not in the dictionary, with their exact bytes: the
// resource extraction's, the dictionary loader's (fixed, since the table that would translate
// them is what failed) and the archive extraction's.
#pragma once

// Resource extraction: no owner, the error icon. The formats stay literals (macros) so that the
// compiler checks their arguments.
constexpr char kFilecopyCaption[] = "Error: Filecopy";
#define ZB_NOT_FOUND_FORMAT "Can't find resource attach '%s':'%s'\n"
#define ZB_CANNOT_CREATE_FORMAT "Can't create '%s'\n"
#define ZB_CANNOT_WRITE_FORMAT "Can't write '%s'\n"

// The dictionary loader, and what a lookup returns for a missing key or text.
constexpr const char* kDictionaryErrorCaption = "ZarBelPC Error";
constexpr const char* kDictionaryCannotOpen = "Cannot open DICT.DIC";
constexpr const char* kDictionaryDamaged =
    "Error while opening DICT.DIC\nThe file may be corrupted\nReinstall ZarBelPC\n";
constexpr const char* kMissTextSuffix = ": String Error";
constexpr const char* kMissingText = "String Error!";

// The archive extraction, all owned by the progress window, with the error icon. The first
// names RESOURCE.DAT whatever file was asked for: the user knows the archive by that name.
constexpr char kArchiveCaption[] = "ZarBelPC - Setup";
constexpr char kWriteErrorCaption[] = "ERRORE DI SCRITTURA";
constexpr char kArchiveCannotOpen[] = "Impossibile accedere al file RESOURCE.DAT";
constexpr char kArchiveOutOfMemory[] = "Memoria insufficiente";
constexpr char kArchiveDamaged[] =
    "RESOURCE.DAT is damaged: the installation cannot continue.\n"
    "Please obtain a new copy of the setup program.";
