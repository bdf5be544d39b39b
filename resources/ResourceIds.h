/* Resource and control ids shared by the resource script and the code. Plain macros, so that
   the resource compiler reads this file too. */
#pragma once

#define kIdbLicenseMicrophone 102
#define kIdbLicenseTitle 103
#define kIdiSetup 1

#define kIdcDocument 1000
#define kIdcInstallFolder 1003
#define kIdcProgress 1005
#define kIdcLanguageItaliano 1006
#define kIdcLanguageEnglish 1007
#define kIdcLanguageFrench 1008
#define kIdcLanguageEspanol 1009
#define kIdcChangeFolder 3
