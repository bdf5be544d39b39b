/* Ids of the probe's dialog: the same numbers as the setup's dialogs use, so that the driver's
   steps are tried on the controls they will meet there. */
#pragma once

#define kProbeDialog 100
#define kProbeFolder 1003
#define kProbeProgress 1005
#define kProbeFirstRadio 1006
#define kProbeSecondRadio 1007
