/* Resource and control ids shared by the resource script and the code. Plain macros, so that
   the resource compiler reads this file too. */
#pragma once

#define kIdbLicenseMicrophone 102
#define kIdbLicenseTitle 103
#define kIdiSetup 1

/* Controls without an id (pictures, the icon). */
#define kIdcNone -1

/* Buttons 1 and 2 are the dialogs' OK and Cancel commands (also Enter and Escape). */
#define kIdcOk 1
#define kIdcCancel 2
#define kIdcAccept 1
#define kIdcDecline 2
#define kIdcInstall 1
#define kIdcChangeFolder 3

#define kIdcDocument 1000
#define kIdcInstallFolder 1003
#define kIdcProgress 1005
#define kIdcLanguageItaliano 1006
#define kIdcLanguageEnglish 1007
#define kIdcLanguageFrench 1008
#define kIdcLanguageEspanol 1009
